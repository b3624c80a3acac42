// The selection engine: turns pointer moves, presses, timer ticks and keys into
// confirmations of one board cell or variant, keeps the status line telling
// what the cell under the pointer would do, opens the variant list and the
// slot board, and executes what was confirmed.
#pragma once

#include <string>

#include "core/Commands.h"
#include "core/InputMode.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "board/BoardDisplay.h"
#include "document/Documents.h"
#include "document/EditView.h"
#include "input/Conversion.h"
#include "input/PredictionRow.h"
#include "input/SettingsBoard.h"

namespace velkor {

class Selection {
 public:
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
    IInputBox& edtInp;
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
    IStatusLine& pnlMsg;
    IVariantList& sgd01;
    IPointer& pointer;
    ITimer& tmrInput0;
    ISpeech& speech;
    IPredictionRow& predictionRow;
    IClock& clock;
  };

  Selection(ProgramState& state, Ports ports, BoardDisplay& board, EditView& edit, TextEdits& edits,
            Documents& documents, Conversion& conversion, PredictionRow& row, SettingsBoard& settings,
            ICommands& commands);

  // Board events (pointer coordinates relative to the grid).
  void SGd00MouseMove(int x, int y);
  void SGd00MouseDown(int x, int y);
  void SGd00Click() { DescribeBoardCell(); }
  void TmrInput0Timer();
  // The status line for the board's current cell.
  void DescribeBoardCell();
  // How far the dwell count has come, in percent of the dwell time: 0 with
  // dwell off or no count, 100 when it confirms.
  int DwellPercent() const;
  // What the status line says for a board cell text.
  StatusText BoardCellStatus(const std::string& cellText) const;

  // A confirmed board cell: executed at once, or its variants offered.
  void ConfirmBoardCell();
  // The board's second face: the hundred document slots for PendingCommand.
  void ShowSlotBoard();

  // Prediction-row events (pointer coordinates relative to the row).
  void RowMouseMove(int x, int y);
  void RowMouseDown(int x, int y);
  // The status line for the row's current cell.
  void DescribeRowCell();
  // The row's tracked cell confirmed: its candidate is written.
  void ChooseRowCell();

  // Variant-list events (pointer coordinates relative to the list).
  void SGd01MouseMove(int x, int y);
  void SGd01MouseDown(int x, int y);
  void SGd01KeyDown(Key key);
  void SGd01KeyUp(Key key);
  void SGd01Click() { DescribeVariant(); }
  void DescribeVariant();

  // Executes the confirmed cell or variant: inserts its text or runs its command.
  void ExecuteSelection();

  // What the board's commands run (through the command runner).
  // Inserts text at the caret as one change, replacing the selection.
  void InsertText(const std::string& text);
  // 《~ and 》~: the tab before or after the current one, round.
  void SwitchTab(int step);
  // 話~: reads the selection, the caret's line or the whole text aloud; a
  // second 話~ while speaking stops.
  void Speak();
  // 変~: converts the reading before the caret in the conversion list.
  void StartConversion();
  // The slot board for 開~, 書~ or 名~: the next slot chosen is opened or
  // saved to.
  void ChooseSlotFor(Command command);
  // ☆~: the slot choice is given up and the board comes back.
  void CancelSlotChoice();
  // 設~: the settings board over the board.
  void ShowSettingsBoard();
  // The list over the board is given up; the board's cell is current again.
  void LeaveList();
  // No dwell count runs or is drawn any more (another mode began).
  void StopDwell();

  // The shape of the variant list for a number of variants: columns and rows.
  static CellPos ListShape(int variants);

 private:
  bool DwellMode() const { return DwellModeOn(state_.settings); }
  bool ArrowKeyMode() const { return ArrowKeyModeOn(state_.settings); }
  bool ClickMode() const { return ClickModeOn(state_.settings); }
  bool ScanMode() const { return ScanModeOn(state_.settings); }
  // The tracked board cell while the pointer rests beside the cells.
  static constexpr int kNoCell = -1;
  // Pixels the pointer may move, after a list opens, without being taken
  // for a movement of the user's.
  static constexpr int kStillTolerance = 3;
  // The input timer's tick: 500 ms for whole and half seconds, 100 ms for
  // dwell times in other tenths.
  int TickMs() const;
  // How long the count has run, in tenths of a second.
  int ElapsedTenths() const;
  // Starts (or restarts) the input timer at the tick of the dwell time.
  void StartCount();
  // A count running on the cell being left is kept for Access/DwellMemoryMs.
  void KeepCount();
  // The ticks a count on this cell goes on from: the kept ones when it was
  // left less than the dwell memory ago, else 0. The kept count is used up.
  int ResumedTicks(int place, int col, int row);
  // After the list opened or was refilled: nothing on it counts until the
  // pointer moves.
  void HoldListUntilMoved();
  void OpenVariantList(const StringList& variants);
  void OpenList(const StringList& cells, CellPos shape);
  void FillList(const StringList& cells, CellPos shape);
  // Hides the variant list; a conversion shown in it ends there.
  void HideList();
  void ChooseConversionCell(const std::string& text);
  void RunCommand(std::string text);
  void ChooseSlot(const std::string& cellText);
  void Finish();
  // Draws the dwell count inside the cell it runs on (board, list or row),
  // and takes it off the cell it ran on before.
  void ShowDwell();
  // Resting (休~): a confirmation of this cell does nothing.
  bool Suspended(const std::string& cellText) const;
  // Quitting and printing take a second confirmation on the cell itself
  // where no dialog can be answered (dwell mode, with Access/ConfirmTwice);
  // true when this confirmation only armed the cell.
  bool ArmedFirst(const std::string& cellText);
  // Gives up an armed 終~ or 印~: the cell reads its token again.
  void Disarm();
  // After a board cell was confirmed by dwell: whether it confirms again
  // while still dwelt on (a character or an editing command, with
  // Access/RepeatMs set, and the board still showing it).
  bool Repeats() const;
  // A dwell count begins here: the pointer's place is where the tolerance
  // is measured from.
  void AnchorDwell();
  // The pointer is still within the dwell tolerance of where the count
  // began (never with a tolerance of 0, the default).
  bool WithinDwellTolerance() const;

  ProgramState& state_;
  Ports p_;
  BoardDisplay& board_;
  EditView& edit_;
  TextEdits& edits_;
  Documents& docs_;
  Conversion& conversion_;
  PredictionRow& row_;
  SettingsBoard& settings_;
  ICommands& commands_;
  // Where the dwell count was last drawn.
  struct DwellMark {
    int place = kOnBoard;
    int col = -1;
    int row = -1;
    int percent = 0;
  };
  DwellMark dwellMark_;
};

}  // namespace velkor
