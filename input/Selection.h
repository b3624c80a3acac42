// The selection engine: one confirmation of a target (a cell of the board's
// face on show, of the list over it, or of the prediction row) does exactly
// what describing that target promised. Click and dwell (DwellTracker), the
// arrow keys (ArrowKeys) and scanning (Scanner) only find targets; what a
// cell is and does is resolved here from the board model, the list's and the
// row's own contents, and the command table, never from what a widget shows.
#pragma once

#include <optional>
#include <string>

#include "core/Commands.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "board/BoardDisplay.h"
#include "document/EditView.h"
#include "document/TextEdits.h"
#include "input/BoardLists.h"
#include "input/PredictionRow.h"
#include "input/SentenceBoard.h"
#include "input/SettingsBoard.h"
#include "input/SlotBoard.h"
#include "input/StartFace.h"
#include "input/Target.h"

namespace velkor {

class Selection {
 public:
  struct Ports {
    IEditArea& memMain;
    IInputBox& edtInp;
    IBoardGrid& sgd00;
    IStatusLine& pnlMsg;
  };
  // The parts whose cells it chooses.
  struct Places {
    BoardDisplay& board;
    BoardLists& lists;
    SlotBoard& slotBoard;
    SettingsBoard& settings;
    StartFace& start;
    PredictionRow& row;
    SentenceBoard& sentences;
  };

  Selection(ProgramState& state, Ports ports, Places places, EditView& edit, TextEdits& edits, ICommands& commands);

  // The place the board grid shows now.
  Place Face() const;
  bool ListShown() const { return places_.lists.Visible(); }
  // The start face's choices side by side on row 1 (0 when it is not shown).
  int StartChoices() const { return places_.start.Shown() ? places_.start.Choices() : 0; }
  bool ConversionShown() const { return places_.lists.Shown() == BoardLists::Kind::Conversion; }
  // The list's columns and rows.
  CellPos ListShape() const { return {places_.lists.Cols(), places_.lists.Rows()}; }
  // Where scanning starts on the face on show: the slot board's start cell;
  // nothing elsewhere (the first row).
  std::optional<CellPos> ScanStart() const;
  // The target can be chosen now: its place is on show and the cell holds
  // something.
  bool Offers(const Target& target) const;
  // While input rests (休~) nothing but 休~ itself and the call bell 鈴~ is
  // confirmed.
  bool Suspended(const Target& target) const;
  bool Paused() const { return paused_; }
  // Whether a board cell confirmed by resting on it confirms again while the
  // pointer stays (nothing else does).
  Again RepeatOf(const Target& target) const;

  // The board's cell as the board model holds it.
  BoardCell BoardCellAt(int col, int row) const { return places_.board.CellAt(col, row); }
  // What confirming the target would do, as the status line says it.
  StatusText Describe(const Target& target) const;
  // The user points at the target (the pointer rests on it, the arrow keys
  // or the scan highlight reached it): the status line says what it does.
  void Point(const Target& target);
  // The one confirmation: does what Describe promised.
  void Confirm(const Target& target);

  // What the board's commands run.
  // Writes text at the caret as one change, replacing the selection.
  void InsertText(const std::string& text);
  // 休~: input rests, or goes on.
  void TogglePause();
  // 忘~: forgetting is armed (the next candidate chosen on the prediction
  // row is forgotten instead of written), or given up.
  void ToggleForgetting();
  bool Forgetting() const { return forgetting_; }
  // 変~: the conversion list opens over the cell confirmed last.
  void StartConversion();
  // The list over the board is given up (a conversion in it ends).
  void LeaveList();
  // The pointer went from the list back to the board: a list of variants
  // goes (the group cell offers them again); a conversion stays, since only
  // a confirmation ends it.
  void PointerLeftList();

 private:
  void ConfirmBoardCell(CellPos cell);
  void ChooseRowCell(int cell);
  // While forgetting is armed: the row's candidate is forgotten, where the
  // mode asks twice after a second confirmation; a candidate that was never
  // learned does nothing.
  void ForgetRowCell(int cell);
  StatusText RowCellStatus(int cell) const;
  // Forgetting asks twice where a click, a scan switch or a confirmation
  // that the user set to take two can slip: click mode, scanning, dwell
  // with Access/ConfirmTwice.
  bool ForgetAsksTwice() const;
  // While forgetting is armed, a confirmation of anything but the row (and
  // the call bell, which always rings) only gives it up.
  bool EndsForgetting(const Target& target) const;
  void StopForgetting();
  void ChooseListCell(CellPos cell);
  // Runs a cell's command, or writes its text.
  void Execute(const std::string& text);
  StatusText BoardCellStatus(CellPos cell) const;
  // A cell whose command asks twice takes a second confirmation on the cell
  // itself: it then reads `askTwice` (code page 932; "" when the cell does
  // not ask). True when this confirmation only armed the cell.
  bool ArmedFirst(const Target& target, const std::string& askTwice);
  // The target is armed and still reads `askTwice`.
  bool ArmedOn(const Target& target, const std::string& askTwice) const;
  // Quitting and printing ask twice where no dialog can be answered
  // (scanning; dwell with Access/ConfirmTwice).
  std::string AskTwiceOf(const BoardCell& content) const;
  // A save over another document asks twice in every mode but click mode,
  // which asks its question instead.
  std::string AskTwiceOfSlot(CellPos cell) const;
  // Gives up an armed cell: it shows its own label again.
  void Disarm();
  void Finish();

  ProgramState& state_;
  Ports p_;
  Places places_;
  EditView& edit_;
  TextEdits& edits_;
  ICommands& commands_;
  bool paused_ = false;
  // 終~ or 印~, or a slot holding another document to save over, confirmed
  // once: the cell reads its second-press text until it is confirmed again
  // or anything else is.
  std::optional<Target> armed_;
  bool forgetting_ = false;
  // The row's cell and candidate confirmed once while forgetting, in a mode
  // that asks twice: the next confirmation of it forgets.
  std::optional<std::pair<int, std::string>> forgetAsked_;
};

}  // namespace velkor
