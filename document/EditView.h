// What the program adds to the edit area: its font, word wrap and block caret.
#pragma once

#include <functional>
#include <set>

#include "core/InputMode.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/TextEdits.h"

namespace velkor {

class EditView {
 public:
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
    IInputBox& edtInp;
    IBoardGrid& sgd00;
    IDialogs& dialogs;
    IPredictionRow& predictionRow;
  };

  EditView(ProgramState& state, Ports ports, TextEdits& edits) : state_(state), p_(ports), edits_(edits) {}

  // Where arrow-key mode hands the board cell under the cursor for confirmation.
  // The cell is on the prediction row when state.onCandidates says so.
  void OnConfirmBoardCell(std::function<void()> confirm) { confirm_ = std::move(confirm); }
  // Told after each step of the arrow keys onto, along or off the prediction
  // row, so that the status line can say what the cell does.
  void OnRowWalked(std::function<void()> walked) { walked_ = std::move(walked); }

  // The edit font of the settings to the edit area and the staging box.
  void ApplyEditFont();
  // The word-wrap check mark to the edit area and option slot 3.
  void ApplyWordWrap();
  void MnuWordWrapClick();
  // A solid caret as wide as the character at the caret ("W" at the end of a
  // line and of the text) and as high as the font.
  void ShowBlockCaret();
  // The edit-font dialog: a new font keeps the text, caret and selection and
  // records nothing in the journal.
  void ActDspFontExecute();

  // Keys in the edit area. In arrow-key mode the arrow keys walk the board's
  // cursor with wrap-around (the prediction row, when shown, is a row above
  // the first) and the release of any other key pressed here
  // confirms the board cell under the cursor; the edit area itself acts on
  // no key that would move its caret (true: the key is the board's). In the
  // other modes they do nothing.
  bool MemMainKeyDown(Key key);
  void MemMainKeyUp(Key key);
  // A typed character: true when it must be discarded (arrow-key mode).
  bool MemMainKeyPress() const;

 private:
  bool ArrowKeyMode() const { return ArrowKeyModeOn(state_.settings); }
  // A step of the arrow keys that starts on or leads onto the prediction
  // row; false when the step is the board's own.
  bool WalkRow(Key key);

  ProgramState& state_;
  Ports p_;
  TextEdits& edits_;
  std::function<void()> confirm_;
  std::function<void()> walked_;
  std::set<Key> keysDown_;  // pressed in the edit area and not yet released
};

}  // namespace velkor
