// Puts the board model on the grid: fills it for the current tab, keeps each
// tab's column widths and row heights, mirrors the built-in tab's syllabary on
// request and applies the board font.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Commands.h"
#include "core/Platform.h"
#include "core/ProgramState.h"

namespace velkor {

// What the board grid shows: the board itself (the tab strip's tabs), the
// hundred document slots, the settings board, or the start face's large
// choices.
enum class BoardFace { Board, Slots, Settings, Start, Sentences };

// A cell of the board as the board model holds it (never as read back from
// the grid): its stored text, the variants it offers and the command it
// carries. An empty cell has an empty text.
struct BoardCell {
  std::string text;
  std::string label;  // what the cell shows: the first variant on the built-in tab
  StringList variants;
  std::optional<Command> command;
};

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
    IPredictionRow& predictionRow;
  };

  BoardDisplay(ProgramState& state, Ports ports) : state_(state), p_(ports) {}

  // Fills the grid for the tab shown: cells, sizes, command rows, pop-up menu.
  // The board's own face comes back.
  void FillBoard();
  // The face the grid shows, and another face taking its place (the slot
  // board and the settings board fill the grid themselves).
  BoardFace Face() const { return face_; }
  void ShowFace(BoardFace face);
  // The board's cell (col, row), both from 1, as the model holds it for the
  // tab shown; an empty cell outside the board's own face.
  BoardCell CellAt(int col, int row) const;
  // Where the board learns which commands can run now (the command runner,
  // made after the board).
  void UseCommands(const ICommands& commands) { commands_ = &commands; }
  // The cells of commands that cannot run now are drawn greyed, the others
  // as usual (the board's own face only).
  void ShowCommandStates();
  // Told whenever what the grid shows changed where it lies: its face, its
  // cells' contents, or their sizes. What lies under a still pointer may be
  // another cell now.
  void OnShownChanged(std::function<void()> handler) { shownChanged_.push_back(std::move(handler)); }
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
  // 《~ and 》~: the tab before or after the current one, round.
  void SwitchTab(int step);
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
  // The stored texts of the tab shown, by cell index: the built-in board (as
  // mirrored) or a user tab's content list.
  const StringList& Content() const;
  void ShownChanged();

  ProgramState& state_;
  Ports p_;
  // The cells were grown to the grid's room (Access/FitCells), or the start
  // face resized the rows.
  bool fitted_ = false;
  BoardFace face_ = BoardFace::Board;
  const ICommands* commands_ = nullptr;
  std::vector<std::function<void()>> shownChanged_;
  // A user tab's content list as last read, and the settings text it was
  // read from (read again only when that text changed).
  mutable std::string contentSource_;
  mutable StringList userContent_;
};

}  // namespace velkor
