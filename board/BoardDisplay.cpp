#include "board/BoardDisplay.h"

#include "board/BoardModel.h"

namespace velkor {

namespace {

// Item `i` of a size list when it is a number above 0, else the default size.
int SizeOr(const StringList& sizes, std::size_t i, int fallback) {
  if (i >= sizes.size()) return fallback;
  auto value = ParseDecimal(sizes[i]);
  return value && *value > 0 ? *value : fallback;
}

}  // namespace

int BoardDisplay::DefaultCellSize(int points, int pixelsPerInch) {
  const long long product = static_cast<long long>(points) * pixelsPerInch;
  long long quotient = product / 72;
  const long long remainder = product % 72;
  if (remainder * 2 > 72 || (remainder * 2 == 72 && quotient % 2 != 0)) ++quotient;
  return static_cast<int>(quotient) + 4;
}

int BoardDisplay::CurrentTab() const {
  int tab = p_.tabC00.Index();
  return tab >= 0 && tab < board::kTabCount ? tab : board::kBuiltInTab;
}

void BoardDisplay::FillBoard() {
  IBoardGrid& grid = p_.sgd00;
  // The board's own face replaces the settings board.
  state_.settingsBoard = false;
  grid.SetFixedColour(colours::clBtnFace);
  if (!p_.tabC00.Visible()) {
    grid.SetVisible(false);
    p_.tabC00.SetVisible(true);
    grid.SetVisible(true);
  }

  const int tab = CurrentTab();
  const bool builtIn = tab == board::kBuiltInTab;
  StringList content;
  if (builtIn) {
    grid.SetCellMenuAttached(false);
    state_.defaultBoardList = board::BuiltInBoard();
    content = state_.defaultBoardList;
    if (state_.settings.Option(option::kKanaMirroring) != "0") {
      // The syllabary reads from the right: column j of each row goes to 9 - j.
      for (int row = 0; row < board::kContentRows; ++row) {
        for (int j = 0; j < 10; ++j) {
          content[row * board::kContentCols + 9 - j] = state_.defaultBoardList[row * board::kContentCols + j];
        }
      }
      state_.defaultBoardList = content;
    }
  } else {
    grid.SetCellMenuAttached(true);
    content = board::ReadTabContent(state_.settings.crtList.at(crt::kTab1Content + tab - 1));
  }
  const StringList sizes = ReadCommaText(state_.settings.crtList.at(crt::kTab0Sizes + tab));

  const int defaultSize = grid.DefaultRowHeight();
  for (int row = 1; row <= board::kContentRows; ++row) {
    grid.SetRowHeight(row, SizeOr(sizes, 19 + row, defaultSize));
    for (int col = 1; col <= board::kContentCols; ++col) {
      grid.SetColWidth(col, SizeOr(sizes, col - 1, defaultSize));
      grid.SetCellText(col, row, board::CellLabel(content.at(board::CellIndex(row, col)), builtIn));
    }
  }

  for (int row = board::kFirstCommandRow; row <= board::kLastCommandRow; ++row) {
    for (int col = 1; col <= board::kContentCols; ++col) {
      auto command = board::CommandAt(col, row);
      // The modifier cell belongs to quick kana: without it the board is as designed.
      if (command == Command::Modifier && !state_.settings.QuickKana()) command.reset();
      grid.SetCellText(col, row, command ? board::CommandToken(*command) : std::string());
    }
  }
  if (!state_.settings.FitCells() && fitted_) {
    // Command rows grown to the window before come back to their size.
    for (int row = board::kFirstCommandRow; row <= board::kLastCommandRow; ++row) grid.SetRowHeight(row, defaultSize);
    fitted_ = false;
  }
  FitCells();
}

void BoardDisplay::FitCells() {
  if (!state_.settings.FitCells()) return;
  IBoardGrid& grid = p_.sgd00;
  const int width = (grid.AreaWidth() - board::kFixedSize) / board::kContentCols;
  const int height = (grid.AreaHeight() - board::kFixedSize) / board::kLastCommandRow;
  const int size = grid.DefaultRowHeight();
  fitted_ = true;
  for (int col = 1; col <= board::kContentCols; ++col) grid.SetColWidth(col, std::max(size, width));
  for (int row = 1; row <= board::kLastCommandRow; ++row) grid.SetRowHeight(row, std::max(size, height));
}

void BoardDisplay::SaveTabSizes() {
  // Cells grown to the window are not the tab's own sizes.
  if (state_.settings.FitCells()) return;
  StringList sizes;
  sizes.reserve(board::kContentCols + board::kContentRows);
  for (int col = 1; col <= board::kContentCols; ++col) sizes.push_back(std::to_string(p_.sgd00.ColWidth(col)));
  for (int row = 1; row <= board::kContentRows; ++row) sizes.push_back(std::to_string(p_.sgd00.RowHeight(row)));
  state_.settings.crtList.at(crt::kTab0Sizes + CurrentTab()) = WriteCommaText(sizes);
}

void BoardDisplay::ApplyBoardFont() {
  IBoardGrid& grid = p_.sgd00;
  const FontSpec font = state_.settings.CrtFont(crt::kBoardFontName);
  grid.SetFont(font);
  const int size = DefaultCellSize(font.size, grid.PixelsPerInch());
  grid.SetDefaultRowHeight(size);
  grid.SetDefaultColWidth(size);
  grid.SetColWidth(0, board::kFixedSize);
  grid.SetRowHeight(0, board::kFixedSize);
  p_.pnlMsg.SetFont(font);
  p_.pnlMsg.SetHeight(size + 4);
}

void BoardDisplay::MnuDspHiraClick() {
  const bool on = state_.settings.Option(option::kKanaMirroring) == "0";
  state_.settings.SetOption(option::kKanaMirroring, on ? "1" : "0");
  p_.window.SetChecked(MenuItem::DspHira, on);
  FillBoard();
}

void BoardDisplay::ActDspMojiFontExecute() {
  const auto font = p_.dialogs.ChooseFont(p_.sgd00.Font());
  if (font) SetBoardFont(*font);
}

void BoardDisplay::SetBoardFont(const FontSpec& font) {
  state_.settings.SetCrtFont(crt::kBoardFontName, font);
  ApplyBoardFont();
  // Every tab's cells take the new size.
  for (int tab = 0; tab < board::kTabCount; ++tab) state_.settings.crtList.at(crt::kTab0Sizes + tab) = "0";
}

void BoardDisplay::MnuDspEclrClick(ColourTarget target) {
  const Colour current = target == ColourTarget::EditArea ? p_.memMain.Background() : p_.sgd00.Background();
  const auto colour = p_.dialogs.ChooseColour(current);
  if (!colour) return;
  if (target == ColourTarget::EditArea) {
    p_.memMain.SetBackground(*colour);
  } else {
    p_.sgd00.SetBackground(*colour);
  }
}

}  // namespace velkor
