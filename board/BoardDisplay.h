// Puts the board model on the grid: fills it for the current tab, keeps each
// tab's column widths and row heights, mirrors the built-in tab's syllabary on
// request and applies the board font.
#pragma once

#include "core/Platform.h"
#include "core/ProgramState.h"

namespace velkor {

class BoardDisplay {
 public:
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
    IStatusLine& pnlMsg;
    IDialogs& dialogs;
  };

  BoardDisplay(ProgramState& state, Ports ports) : state_(state), p_(ports) {}

  // Fills the grid for the tab shown: cells, sizes, command rows, pop-up menu.
  void FillBoard();
  // Stores the shown tab's 20 column widths and 5 row heights in its size list.
  void SaveTabSizes();
  // Applies the board font of the settings and the default cell size it gives.
  void ApplyBoardFont();
  // A new board font, stored and applied; every tab's stored cell sizes give
  // way to the font's.
  void SetBoardFont(const FontSpec& font);
  // With Access/FitCells the cells grow (never shrink) to share the grid's
  // room evenly, whatever board face is shown; without it nothing changes.
  void FitCells();
  // Before and after the user's click changes the tab.
  void TabC00Changing() { SaveTabSizes(); }
  void TabC00Change() { FillBoard(); }
  // Toggles the mirrored syllabary of the built-in tab.
  void MnuDspHiraClick();
  // The board-font dialog: a new font resets every tab's sizes to the default.
  void ActDspMojiFontExecute();
  // The colour dialog for the background of the edit area or of the board.
  enum class ColourTarget { EditArea, Board };
  void MnuDspEclrClick(ColourTarget target);

  // Font size in points to the default row height in pixels: points times
  // pixels per inch over 72, rounded half to even, plus 4.
  static int DefaultCellSize(int points, int pixelsPerInch);

 private:
  int CurrentTab() const;

  ProgramState& state_;
  Ports p_;
  // The cells were grown to the grid's room (Access/FitCells).
  bool fitted_ = false;
};

}  // namespace velkor
