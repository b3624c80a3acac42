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
  face_ = BoardFace::Board;
  grid.SetFixedColour(colours::clBtnFace);
  if (!p_.tabC00.Visible()) {
    grid.SetVisible(false);
    p_.tabC00.SetVisible(true);
    grid.SetVisible(true);
  }

  const int tab = CurrentTab();
  if (tab == board::kBuiltInTab) {
    grid.SetCellMenuAttached(false);
    state_.defaultBoardList = board::BuiltInBoard();
    if (state_.settings.Option(option::kKanaMirroring) != "0") {
      // The syllabary reads from the right: column j of each row goes to 9 - j.
      StringList mirrored = state_.defaultBoardList;
      for (int row = 0; row < board::kContentRows; ++row) {
        for (int j = 0; j < 10; ++j) {
          mirrored[row * board::kContentCols + 9 - j] = state_.defaultBoardList[row * board::kContentCols + j];
        }
      }
      state_.defaultBoardList = std::move(mirrored);
    }
  } else {
    grid.SetCellMenuAttached(true);
  }
  const StringList sizes = ReadCommaText(state_.settings.crtList.at(crt::kTab0Sizes + tab));

  const int defaultSize = grid.DefaultRowHeight();
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    if (row <= board::kContentRows) grid.SetRowHeight(row, SizeOr(sizes, 19 + row, defaultSize));
    for (int col = 1; col <= board::kContentCols; ++col) {
      if (row == 1) grid.SetColWidth(col, SizeOr(sizes, col - 1, defaultSize));
      grid.SetCellText(col, row, CellAt(col, row).label);
    }
  }
  ShowCommandStates();
  if (!state_.settings.FitCells() && fitted_) {
    // Command rows grown to the window before come back to their size.
    for (int row = board::kFirstCommandRow; row <= board::kLastCommandRow; ++row) grid.SetRowHeight(row, defaultSize);
    fitted_ = false;
  }
  // The prediction row as tall as the board's first row.
  if (!state_.settings.FitCells()) p_.predictionRow.SetCellHeight(grid.RowHeight(1));
  FitCells();
  ShownChanged();
}

void BoardDisplay::SwitchTab(int step) {
  SaveTabSizes();
  const int count = static_cast<int>(p_.tabC00.Names().size());
  const int index = p_.tabC00.Index();
  int next;
  if (step < 0) {
    next = index <= 0 ? count - 1 : index - 1;
  } else {
    next = index < count - 1 ? index + 1 : 0;
  }
  p_.tabC00.SetIndex(next);
  FillBoard();
}

void BoardDisplay::ShowCommandStates() {
  if (face_ != BoardFace::Board) return;
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    for (int col = 1; col <= board::kContentCols; ++col) {
      const auto command = CellAt(col, row).command;
      p_.sgd00.SetCellEnabled(col, row, !command || !commands_ || commands_->Enabled(*command));
    }
  }
}

void BoardDisplay::ShowFace(BoardFace face) {
  face_ = face;
  // The start face's choices take every row's height: the command rows come
  // back to their size with the board.
  if (face == BoardFace::Start) fitted_ = true;
  ShownChanged();
}

void BoardDisplay::ShownChanged() {
  for (const auto& handler : shownChanged_) handler();
}

const StringList& BoardDisplay::Content() const {
  if (CurrentTab() == board::kBuiltInTab) return state_.defaultBoardList;
  const std::string& source = state_.settings.crtList.at(crt::kTab1Content + CurrentTab() - 1);
  if (source != contentSource_ || userContent_.empty()) {
    contentSource_ = source;
    userContent_ = board::ReadTabContent(source);
  }
  return userContent_;
}

BoardCell BoardDisplay::CellAt(int col, int row) const {
  BoardCell cell;
  if (face_ != BoardFace::Board) return cell;
  if (board::IsContentCell(col, row)) {
    const StringList& content = Content();
    const std::size_t k = static_cast<std::size_t>(board::CellIndex(row, col));
    if (k < content.size() && content[k] != board::kEmptyMarker) cell.text = content[k];
    cell.command = board::CommandOfText(cell.text);
  } else if (row >= board::kFirstCommandRow && row <= board::kLastCommandRow) {
    cell.command = board::CommandAt(col, row);
    // The modifier cell belongs to quick kana: without it the board is as designed.
    if (cell.command == Command::Modifier && !state_.settings.QuickKana()) cell.command.reset();
    if (cell.command) cell.text = board::CommandToken(*cell.command);
  }
  if (!cell.text.empty()) cell.variants = board::Variants(cell.text);
  cell.label = board::CellLabel(cell.text, CurrentTab() == board::kBuiltInTab || !board::IsContentCell(col, row));
  return cell;
}

void BoardDisplay::FitCells() {
  if (!state_.settings.FitCells()) return;
  IBoardGrid& grid = p_.sgd00;
  const int width = (grid.AreaWidth() - board::kFixedSize) / board::kContentCols;
  // The prediction row is as tall as a board row: the rows divide the grid
  // and the row above it together, so a row grown with them takes its room
  // from the grid and the next fit gives the same height.
  const int row = p_.predictionRow.Height();
  const int height = (grid.AreaHeight() + row - board::kFixedSize) / (board::kLastCommandRow + (row > 0 ? 1 : 0));
  const int size = grid.DefaultRowHeight();
  fitted_ = true;
  for (int col = 1; col <= board::kContentCols; ++col) grid.SetColWidth(col, std::max(size, width));
  for (int r = 1; r <= board::kLastCommandRow; ++r) grid.SetRowHeight(r, std::max(size, height));
  p_.predictionRow.SetCellHeight(std::max(size, height));
  ShownChanged();
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
  ShownChanged();
}

void BoardDisplay::MnuDspHiraClick() {
  const bool on = state_.settings.Option(option::kKanaMirroring) == "0";
  state_.settings.SetOption(option::kKanaMirroring, on ? "1" : "0");
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
