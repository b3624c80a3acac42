// The selection engine: turns pointer moves, presses, timer ticks and keys into
// confirmations of one board cell or variant, keeps the status line telling
// what the cell under the pointer would do, opens the variant list and the
// slot board, and executes what was confirmed.
#pragma once

#include <string>

#include "core/InputMode.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "board/BoardDisplay.h"
#include "document/Documents.h"
#include "document/EditView.h"
#include "document/Journal.h"
#include "input/Conversion.h"

namespace velkor {

// Status-line colours.
namespace status {
inline constexpr Colour kBlue = colours::Rgb(0, 0, 255);
inline constexpr Colour kRed = colours::Rgb(255, 0, 0);
inline constexpr Colour kBlack = colours::Rgb(0, 0, 0);
}  // namespace status

// The status text and colour for a board cell text, or nothing when the text
// is not one of the fixed rows (commands, cancel, empty).
struct StatusText {
  std::string text;
  Colour colour;
};

class Selection {
 public:
  Selection(ProgramState& state, Platform& platform, BoardDisplay& board, EditView& edit, Journal& journal,
            Documents& documents, Conversion& conversion);

  // Board events (pointer coordinates relative to the grid).
  void SGd00MouseMove(int x, int y);
  void SGd00MouseDown(int x, int y);
  void SGd00Click() { DescribeBoardCell(); }
  void TmrInput0Timer();
  // The status line for the board's current cell.
  void DescribeBoardCell();
  // What the status line says for a board cell text.
  StatusText BoardCellStatus(const std::string& cellText) const;

  // A confirmed board cell: executed at once, or its variants offered.
  void ConfirmBoardCell();
  // The board's second face: the hundred document slots for PendingCommand.
  void ShowSlotBoard();

  // Variant-list events (pointer coordinates relative to the list).
  void SGd01MouseMove(int x, int y);
  void SGd01MouseDown(int x, int y);
  void SGd01KeyDown(Key key);
  void SGd01KeyUp(Key key);
  void SGd01Click() { DescribeVariant(); }
  void DescribeVariant();

  // Executes the confirmed cell or variant: inserts its text or runs its command.
  void ExecuteSelection();

  // The shape of the variant list for a number of variants: columns and rows.
  static CellPos ListShape(int variants);

 private:
  bool DwellMode() const { return DwellModeOn(state_.settings); }
  bool ArrowKeyMode() const { return ArrowKeyModeOn(state_.settings); }
  bool ClickMode() const { return ClickModeOn(state_.settings); }
  // The tracked board cell while the pointer rests beside the cells.
  static constexpr int kNoCell = -1;
  // Pixels the pointer may move, after a list opens, without being taken
  // for a movement of the user's.
  static constexpr int kStillTolerance = 3;
  // After the list opened or was refilled: nothing on it counts until the
  // pointer moves.
  void HoldListUntilMoved();
  void OpenVariantList(const StringList& variants);
  void OpenList(const StringList& cells, CellPos shape);
  void FillList(const StringList& cells, CellPos shape);
  // Hides the variant list; a conversion shown in it ends there.
  void HideList();
  void ChooseConversionCell(const std::string& text);
  void InsertText(const std::string& text);
  void RunCommand(std::string text);
  void ChooseSlot(const std::string& cellText);
  void SwitchTab(int step);
  void Finish();
  void Speak();

  ProgramState& state_;
  Platform& p_;
  BoardDisplay& board_;
  EditView& edit_;
  Journal& journal_;
  Documents& docs_;
  Conversion& conversion_;
};

}  // namespace velkor
