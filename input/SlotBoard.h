// The board's second face: the hundred document slots, shown by 新~, 開~, 書~
// (for an untitled document) and 名~. A slot cell opens or saves that slot
// as the command that showed the board asks; every cell of the command rows
// is ☆~ and gives the choice up. What each cell will do is said before it is
// chosen, from the slot's own file. Saving starts on the first empty slot,
// and a slot that holds another document is replaced only after a second
// confirmation (Selection arms the cell) or, in click mode, a yes/no question.
#pragma once

#include <optional>
#include <string>

#include "board/BoardDisplay.h"
#include "core/Commands.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/Documents.h"

namespace velkor {

class SlotBoard {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
    IEditArea& memMain;
    IMainWindow& window;
  };

  SlotBoard(ProgramState& state, Ports ports, BoardDisplay& board, Documents& documents)
      : state_(state), p_(ports), board_(board), docs_(documents) {}

  // Shows the slots for `command` (新~ and 開~ open, 書~ and 名~ save).
  void Show(Command command);
  bool Shown() const { return board_.Face() == BoardFace::Slots; }
  // The command the slots were shown for.
  Command Pending() const { return pending_; }
  // The slot number of a cell; nothing for the ☆~ cells.
  static std::optional<int> SlotAt(CellPos cell);
  // The cell's label: the slot's two digits, or ☆~.
  static std::string Label(CellPos cell);
  // What choosing the cell does: the slot's preview under what will happen
  // to it, or "キャンセル".
  StatusText Describe(CellPos cell) const;
  // Where the arrow cursor and the scan start: for saving, the first empty
  // slot (slot 00 when none is empty); for opening, slot 00.
  CellPos Start() const { return start_; }
  // Choosing the cell would replace a document other than the one shown: a
  // save to a slot whose file exists under another name.
  bool Replaces(CellPos cell) const;
  // A slot opens or is saved to as the command asks; any other cell cancels.
  // Either way the board comes back. In click mode a save that replaces
  // another document asks first, and a "no" leaves the board shown.
  void Choose(CellPos cell);
  // ☆~: the choice is given up and the board comes back.
  void Cancel();

 private:
  bool Opens() const { return pending_ == Command::Open || pending_ == Command::New; }

  ProgramState& state_;
  Ports p_;
  BoardDisplay& board_;
  Documents& docs_;
  Command pending_ = Command::Open;
  // The status texts of the slots, read when the board was shown.
  StringList previews_;
  CellPos start_{1, 1};
};

}  // namespace velkor
