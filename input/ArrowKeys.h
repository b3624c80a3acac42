// The arrow keys as an input source (arrow-key mode): they walk a cursor over
// what is shown (the prediction row above the board, the board's face, the
// list over it), and the release of any other key pressed there confirms the
// cell the cursor is on. Keys arrive here from the edit area and from the list.
#pragma once

#include <set>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/Selection.h"
#include "input/Target.h"

namespace velkor {

class ArrowKeys {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    IVariantList& sgd01;
    IPredictionRow& predictionRow;
  };

  ArrowKeys(ProgramState& state, Ports ports, Selection& selection) : state_(state), p_(ports), selection_(selection) {}

  // A key pressed: true when it was taken (the caret keys walk the board
  // instead of moving the caret, however long they are held).
  bool KeyDown(Key key);
  // A key released: any key but the arrows, pressed while walking,
  // confirms the cell under the cursor.
  void KeyUp(Key key);
  // Typed characters are discarded while the keys walk the board.
  bool TakesTyping() const;
  // The cell the cursor is on.
  Target Cursor() const;

 private:
  bool On() const;
  void WalkList(Key key);
  // Onto, along and off the prediction row; false when the key is not for it.
  bool WalkRow(Key key);
  void WalkBoard(Key key);

  ProgramState& state_;
  Ports p_;
  Selection& selection_;
  std::set<Key> keysDown_;  // pressed while walking and not yet released
};

}  // namespace velkor
