#include "input/Selection.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "board/BoardModel.h"
#include "document/CaretMoves.h"
#include "core/Cp932.h"
#include "document/TextFile.h"
#include "input/EditCommands.h"
#include "input/Speech.h"

namespace velkor {

namespace {

std::string Sj(const char* utf8) { return cp932::FromUtf8(utf8); }

std::string Quoted(const std::string& text) { return Sj("「") + text + Sj("」を入力"); }

bool IsFileOrQuitToken(const std::string& text) {
  auto command = board::CommandOfText(text);
  return command && (*command == Command::New || *command == Command::Open || *command == Command::Save ||
                     *command == Command::SaveAs || *command == Command::Print || *command == Command::Quit);
}

}  // namespace

Selection::Selection(ProgramState& state, Ports ports, BoardDisplay& board, EditView& edit, TextEdits& edits,
                     Documents& documents, Conversion& conversion, PredictionRow& row, SettingsBoard& settings,
                     ICommands& commands)
    : state_(state),
      p_(ports),
      board_(board),
      edit_(edit),
      edits_(edits),
      docs_(documents),
      conversion_(conversion),
      row_(row),
      settings_(settings),
      commands_(commands) {}

void Selection::HideList() {
  p_.sgd01.SetVisible(false);
  if (conversion_.Abandon()) docs_.Message(Sj("変換を終了しました"));
}

// ---------------------------------------------------------------- the board

void Selection::SGd00MouseMove(int x, int y) {
  // Walking and scanning move the current cell themselves.
  if (ArrowKeyMode() || ScanMode()) return;
  // A tremor across a border within the tolerance stays on the cell the
  // count began on.
  if (state_.onCandidates == kOnBoard && state_.boardCol != kNoCell && WithinDwellTolerance()) {
    ShowDwell();
    return;
  }
  state_.onCandidates = kOnBoard;
  p_.predictionRow.SetCurrent(-1);
  const int oldCol = state_.boardCol;
  const int oldRow = state_.boardRow;
  CellPos cell = p_.sgd00.CellAt(x, y);
  if (cell.col < 0 || cell.row < 0) {
    // Space beyond the last cell is no cell: resting there confirms
    // nothing, and the status line promises nothing.
    KeepCount();
    p_.tmrInput0.Stop();
    state_.dwellTicks = 0;
    state_.boardCol = state_.boardRow = kNoCell;
    p_.pnlMsg.SetText("", status::kBlack);
    ShowDwell();
    return;
  }
  // The fixed row and column count as column 1 or row 1.
  cell.col = std::max(cell.col, board::kFixedCount);
  cell.row = std::max(cell.row, board::kFixedCount);
  p_.sgd00.SetCol(cell.col);
  p_.sgd00.SetRow(cell.row);
  state_.boardCol = cell.col;
  state_.boardRow = cell.row;
  if (cell.col != oldCol || cell.row != oldRow) {
    KeepCount();
    p_.tmrInput0.Stop();
    state_.repeating = false;
    HideList();
    // A new cell: the count (if any) begins here, or goes on where it
    // stopped when the cell was left only a moment ago, and the tolerance is
    // measured from here. While resting only 休~ counts.
    AnchorDwell();
    if (DwellMode()) {
      state_.dwellTicks = ResumedTicks(kOnBoard, cell.col, cell.row);
      if (!Suspended(p_.sgd00.CellText(cell.col, cell.row))) StartCount();
    }
  }
  ShowDwell();
  DescribeBoardCell();
}

void Selection::SGd00MouseDown(int x, int y) {
  state_.onCandidates = 0;
  const CellPos cell = p_.sgd00.CellAt(x, y);
  if (cell.col == state_.boardCol && cell.row == state_.boardRow) {
    DescribeBoardCell();
    ConfirmBoardCell();
  }
}

void Selection::TmrInput0Timer() {
  const auto pointer = p_.pointer.Position();
  const Rect area = p_.window.BoardAreaOnScreen();
  const bool inside = pointer && area.top <= pointer->y && pointer->y <= area.top + area.height &&
                      area.left <= pointer->x && pointer->x <= area.left + area.width;
  // Resting beside the cells never confirms the cell left before.
  const bool besideTheCells = (state_.onCandidates == kOnBoard && state_.boardCol == kNoCell) ||
                              (state_.onCandidates == kOnPredictionRow && state_.rowCell < 0);
  if (!inside || besideTheCells) {
    p_.tmrInput0.Stop();
    state_.dwellTicks = 0;
    ShowDwell();
    return;
  }
  if (state_.repeating) {
    // Still dwelt on after its confirmation: again every Access/RepeatMs.
    ++state_.repeatTicks;
    if (state_.repeatTicks * TickMs() < state_.settings.RepeatMs()) return;
    state_.repeatTicks = 0;
    DescribeBoardCell();
    ConfirmBoardCell();
    if (!Repeats()) {
      state_.repeating = false;
      p_.tmrInput0.Stop();
    }
    return;
  }
  ++state_.dwellTicks;
  ShowDwell();
  // Tenths of a second as "0.5", "1.0", ...: written out by hand, since the
  // process's locale may write a decimal comma.
  const int elapsed = ElapsedTenths();
  const std::string count = std::to_string(elapsed / 10) + "." + std::to_string(elapsed % 10);
  p_.pnlMsg.SetTimeText(count + Sj("秒"), status::kBlue);

  // The count confirms when it reaches the dwell time exactly; a slot that
  // holds no dwell time means dwell is off.
  const auto tenths = state_.settings.DwellTenths();
  if (!tenths || elapsed != *tenths) return;

  p_.tmrInput0.Stop();
  if (state_.onCandidates == kOnPredictionRow) {
    ChooseRowCell();
  } else if (state_.onCandidates == kOnBoard) {
    DescribeBoardCell();
    ConfirmBoardCell();
    if (Repeats()) {
      state_.repeating = true;
      state_.repeatTicks = 0;
      StartCount();
    }
  } else {
    DescribeBoardCell();
    ExecuteSelection();
    // A conversion goes on in the list for the next segment: the pointer
    // stays there; it goes back over the confirmed cell when the list is done.
    if (!conversion_.Active()) p_.pointer.MoveTo({state_.returnCursorX, state_.returnCursorY});
  }
  p_.pnlMsg.SetTimeText("", status::kBlue);
}

int Selection::DwellPercent() const {
  if (!DwellMode()) return 0;
  const auto tenths = state_.settings.DwellTenths();
  if (!tenths) return 0;
  return std::min(100, ElapsedTenths() * 100 / *tenths);
}

int Selection::TickMs() const {
  // Whole and half seconds count in half seconds, as they always have;
  // other tenths (0.3 s, 1.2 s) in tenths.
  const auto tenths = state_.settings.DwellTenths();
  return tenths && *tenths % 5 != 0 ? 100 : 500;
}

int Selection::ElapsedTenths() const { return state_.dwellTicks * TickMs() / 100; }

void Selection::StartCount() {
  p_.tmrInput0.SetIntervalMs(TickMs());
  p_.tmrInput0.Start();
}

void Selection::KeepCount() {
  // Only a count still running (not one that confirmed) is kept.
  if (!p_.tmrInput0.Running() || state_.repeating || state_.dwellTicks <= 0 || dwellMark_.col < 0) return;
  state_.keptCount = {true, dwellMark_.place, dwellMark_.col, dwellMark_.row, state_.dwellTicks, p_.clock.NowMs()};
}

int Selection::ResumedTicks(int place, int col, int row) {
  // A cell crossed on the way (left before its first tick) keeps nothing of
  // its own, so the count kept is still the one of the cell before it.
  ProgramState::KeptCount& kept = state_.keptCount;
  if (!kept.valid || kept.place != place || kept.col != col || kept.row != row) return 0;
  kept.valid = false;
  return p_.clock.NowMs() - kept.leftAtMs < state_.settings.DwellMemoryMs() ? kept.ticks : 0;
}

void Selection::AnchorDwell() {
  const auto pointer = p_.pointer.Position();
  state_.dwellAnchored = pointer.has_value();
  if (pointer) {
    state_.dwellAnchorX = pointer->x;
    state_.dwellAnchorY = pointer->y;
  }
}

bool Selection::WithinDwellTolerance() const {
  const long long tolerance = state_.settings.DwellTolerancePx();
  if (tolerance <= 0 || !DwellMode() || !state_.dwellAnchored) return false;
  const auto pointer = p_.pointer.Position();
  if (!pointer) return false;
  const long long dx = pointer->x - state_.dwellAnchorX;
  const long long dy = pointer->y - state_.dwellAnchorY;
  return dx * dx + dy * dy <= tolerance * tolerance;
}

void Selection::ShowDwell() {
  DwellMark now;
  now.place = state_.onCandidates;
  if (now.place == kOnBoard) {
    now.col = state_.boardCol;
    now.row = state_.boardRow;
  } else if (now.place == kOnList) {
    now.col = state_.candCol;
    now.row = state_.candRow;
  } else {
    now.col = state_.rowCell;
  }
  now.percent = now.col >= 0 ? DwellPercent() : 0;
  const auto draw = [this](const DwellMark& mark, int percent) {
    if (mark.col < 0) return;
    if (mark.place == kOnBoard) {
      p_.sgd00.SetDwellProgress(mark.col, mark.row, percent);
    } else if (mark.place == kOnList) {
      p_.sgd01.SetDwellProgress(mark.col, mark.row, percent);
    } else {
      p_.predictionRow.SetDwellProgress(mark.col, percent);
    }
  };
  const bool samePlace = now.place == dwellMark_.place && now.col == dwellMark_.col && now.row == dwellMark_.row;
  if (!samePlace && dwellMark_.percent > 0) draw(dwellMark_, 0);
  if (!samePlace || now.percent != dwellMark_.percent) draw(now, now.percent);
  dwellMark_ = now;
}

StatusText Selection::BoardCellStatus(const std::string& t) const {
  if (state_.settingsBoard) return settings_.Status(p_.sgd00.Col(), p_.sgd00.Row());
  if (state_.armedCommand >= 0 && p_.sgd00.Col() == state_.armedCol && p_.sgd00.Row() == state_.armedRow) {
    return {t, status::kRed};  // もう一度で終了, もう一度で印刷
  }
  const auto command = board::CommandOfText(t);
  if (command == Command::CancelSlot) return {Sj("キャンセル"), status::kBlue};
  if (!state_.pendingCommand.empty()) {
    if (t.empty()) return {"", status::kRed};
    if (auto slot = SlotNumberOf(t)) {
      const std::size_t n = static_cast<std::size_t>(*slot);
      return {n < state_.slotPreviewList.size() ? state_.slotPreviewList[n] : std::string(), status::kRed};
    }
    // Any other cell (the board was refilled while the choice is pending)
    // cancels the choice when confirmed, and the status line says so.
    return {Sj("キャンセル"), status::kBlue};
  }
  if (command == Command::Pause && state_.paused) return {Sj("入力を再開"), EntryOf(*command).colour};
  if (command) return {Sj(EntryOf(*command).status), EntryOf(*command).colour};
  if (t.empty()) return {"", status::kBlack};
  if (p_.tabC00.Visible() && p_.tabC00.Index() == board::kBuiltInTab) {
    const int k = board::CellIndex(p_.sgd00.Row(), p_.sgd00.Col());
    if (k >= 0 && static_cast<std::size_t>(k) < state_.defaultBoardList.size()) {
      // With one selection a kana, a kana cell writes its first variant, and
      // the status line says so.
      const StringList variants = board::Variants(state_.defaultBoardList[k]);
      if (state_.settings.QuickKana() && variants.size() >= 2 && IsKana(variants.front())) {
        return {Quoted(variants.front()), status::kBlack};
      }
      return {Quoted(state_.defaultBoardList[k]), status::kBlack};
    }
  }
  return {Quoted(t), status::kBlack};
}

void Selection::DescribeBoardCell() {
  const std::string t = p_.sgd00.CellText(p_.sgd00.Col(), p_.sgd00.Row());
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
  const StatusText status = BoardCellStatus(t);
  p_.pnlMsg.SetText(status.text, status.colour);
}

// ---------------------------------------------------------------- confirming

CellPos Selection::ListShape(int m) {
  if (m <= 2) return {2, 1};
  if (m <= 4) return {2, 2};
  if (m == 5) return {2, 3};
  if (m == 6) return {3, 2};
  if (m <= 9) return {3, 3};
  return {4, 4};
}

bool Selection::Suspended(const std::string& cellText) const {
  return state_.paused && board::CommandOfText(cellText) != Command::Pause;
}

bool Selection::Repeats() const {
  if (state_.settings.RepeatMs() <= 0 || state_.onCandidates != kOnBoard || state_.boardCol == kNoCell ||
      p_.sgd01.Visible() || !p_.tabC00.Visible() || !state_.pendingCommand.empty() || state_.paused) {
    return false;
  }
  const std::string text = p_.sgd00.CellText(state_.boardCol, state_.boardRow);
  const auto command = board::CommandOfText(text);
  if (!command) return !text.empty();
  switch (*command) {
    case Command::NewLine:
    case Command::Left:
    case Command::Right:
    case Command::Up:
    case Command::Down:
    case Command::Blank:
    case Command::Delete:
    case Command::BackSpace:
    case Command::Undo:
    case Command::Redo: return true;
    default: return false;
  }
}

bool Selection::ArmedFirst(const std::string& cellText) {
  const int col = p_.sgd00.Col();
  const int row = p_.sgd00.Row();
  if (state_.armedCommand >= 0 && state_.armedCol == col && state_.armedRow == row) {
    // The second confirmation: the command runs.
    Disarm();
    return false;
  }
  Disarm();
  const auto command = board::CommandOfText(cellText);
  // Scanning always asks twice: a switch cannot answer a dialog.
  const bool twice = ScanMode() || (DwellMode() && state_.settings.ConfirmTwice());
  if (!twice || !state_.pendingCommand.empty() || (command != Command::Quit && command != Command::Print)) {
    return false;
  }
  state_.armedCommand = static_cast<int>(*command);
  state_.armedCol = col;
  state_.armedRow = row;
  p_.sgd00.SetCellText(col, row, Sj(command == Command::Quit ? "もう一度で終了" : "もう一度で印刷"));
  DescribeBoardCell();
  return true;
}

void Selection::Disarm() {
  if (state_.armedCommand < 0) return;
  p_.sgd00.SetCellText(state_.armedCol, state_.armedRow,
                       board::CommandToken(static_cast<Command>(state_.armedCommand)));
  state_.armedCommand = -1;
}

void Selection::ConfirmBoardCell() {
  // A confirmation ends every count kept for a return.
  state_.keptCount.valid = false;
  std::string t = p_.sgd00.CellText(p_.sgd00.Col(), p_.sgd00.Row());
  if (t.empty()) return;
  // Resting: nothing but 休~ is confirmed, and the status line says why.
  if (Suspended(t)) {
    p_.pnlMsg.SetMessage(Sj("休止中"));
    return;
  }
  if (state_.settingsBoard) {
    // A setting changes (or the board comes back), exactly as the status
    // line said; the cell under the pointer is then described anew.
    p_.pnlMsg.SetMessage("");
    HideList();
    settings_.Choose(p_.sgd00.Col(), p_.sgd00.Row());
    // While scanning the status line tells what the highlight is on.
    if (!ScanMode()) DescribeBoardCell();
    return;
  }
  if (ArmedFirst(t)) return;
  t = p_.sgd00.CellText(p_.sgd00.Col(), p_.sgd00.Row());
  p_.pnlMsg.SetMessage("");
  if (auto pointer = p_.pointer.Position()) {
    state_.returnCursorX = pointer->x;
    state_.returnCursorY = pointer->y;
  }
  HideList();
  state_.candJustOpened = false;

  StringList variants;
  bool atOnce = false;
  if (p_.tabC00.Visible()) {
    if (p_.tabC00.Index() != board::kBuiltInTab) {
      variants = board::Variants(t);
    } else {
      const int k = (p_.sgd00.Row() - board::kFixedCount) * (p_.sgd00.ColCount() - board::kFixedCount) +
                    (p_.sgd00.Col() - board::kFixedCount);
      variants = k >= 0 && static_cast<std::size_t>(k) < state_.defaultBoardList.size()
                     ? board::Variants(state_.defaultBoardList[k])
                     : board::Variants(t);
    }
    atOnce = !variants.empty() && IsFileOrQuitToken(variants.front());
  } else {
    atOnce = true;  // the slot board
  }
  if (atOnce || variants.size() < 2) {
    ExecuteSelection();
    return;
  }
  if (state_.settings.QuickKana() && IsKana(variants.front())) {
    // One selection per kana: the first variant goes in at once; ゛~ turns
    // it into the others.
    InsertText(variants.front());
    Finish();
    return;
  }
  OpenVariantList(variants);
}

void Selection::OpenVariantList(const StringList& variants) {
  OpenList(variants, ListShape(static_cast<int>(variants.size())));
}

void Selection::FillList(const StringList& cells, CellPos shape) {
  IVariantList& list = p_.sgd01;
  for (int r = 0; r < shape.row; ++r) {
    list.ClearRow(r);
    for (int c = 0; c < shape.col; ++c) {
      const std::size_t i = static_cast<std::size_t>(r * shape.col + c);
      if (i < cells.size()) list.SetCellText(c, r, cells[i]);
    }
  }
}

void Selection::OpenList(const StringList& cells, CellPos shape) {
  IVariantList& list = p_.sgd01;
  const int cellWidth = p_.sgd00.ColWidth(p_.sgd00.Col());
  const int cellHeight = p_.sgd00.RowHeight(p_.sgd00.Row());
  list.SetCellSize(cellWidth, cellHeight);
  list.SetFont(p_.sgd00.Font());
  list.SetShape(shape.col, shape.row);
  FillList(cells, shape);
  const Rect cell = p_.sgd00.CellRect(p_.sgd00.Col(), p_.sgd00.Row());
  list.SetGeometry({cell.left, cell.top, cellWidth * shape.col + 10, cellHeight * shape.row + 10});
  list.SetCol(0);
  list.SetRow(0);
  HoldListUntilMoved();
  list.SetVisible(true);
  list.SetFocus();
}

void Selection::ShowSlotBoard() {
  state_.slotPreviewList.clear();
  const bool open = state_.pendingCommand == board::CommandToken(Command::Open);
  p_.sgd00.SetFixedColour(open ? colours::clBtnFace : colours::Rgb(166, 202, 240));
  const std::string prefix = Sj(open ? "開く：" : "保存：");
  const int size = p_.sgd00.DefaultRowHeight();
  for (int row = 1; row <= board::kContentRows; ++row) {
    p_.sgd00.SetRowHeight(row, size);
    for (int col = 1; col <= board::kContentCols; ++col) {
      p_.sgd00.SetColWidth(col, size);
      const int n = board::CellIndex(row, col);
      char digits[4];
      std::snprintf(digits, sizeof digits, "%.2d", n);
      p_.sgd00.SetCellText(col, row, digits);
      state_.slotPreviewList.push_back(docs_.SlotPreviewOf(n, prefix));
    }
  }
  for (int row = board::kFirstCommandRow; row <= board::kLastCommandRow; ++row) {
    for (int col = 1; col <= board::kContentCols; ++col) {
      p_.sgd00.SetCellText(col, row, board::CommandToken(Command::CancelSlot));
    }
  }
  p_.sgd00.SetCol(1);
  p_.sgd00.SetRow(1);
  p_.tabC00.SetVisible(false);
}

// ---------------------------------------------------------------- the prediction row

void Selection::RowMouseMove(int x, int y) {
  if (ArrowKeyMode() || ScanMode()) return;
  if (state_.onCandidates == kOnPredictionRow && state_.rowCell >= 0 && WithinDwellTolerance()) {
    ShowDwell();
    return;
  }
  const bool entering = state_.onCandidates != kOnPredictionRow;
  state_.repeating = false;
  const int oldCell = state_.rowCell;
  const int cell = p_.predictionRow.CellAt(x, y);
  state_.onCandidates = kOnPredictionRow;
  state_.rowCell = cell;
  p_.predictionRow.SetCurrent(cell);
  // A list over the board stays open: choosing on the row closes it.
  bool moved = false;
  if (state_.rowJustFilled) {
    // Candidates that appeared under a still pointer choose nothing: the
    // first real movement starts the count, on the cell it was on as well.
    const auto pointer = p_.pointer.Position();
    if (!pointer || (std::abs(state_.rowAnchorX - pointer->x) <= kStillTolerance &&
                     std::abs(state_.rowAnchorY - pointer->y) <= kStillTolerance)) {
      ShowDwell();
      DescribeRowCell();
      return;
    }
    state_.rowJustFilled = false;
    moved = true;
  }
  if (entering || cell != oldCell || moved) {
    KeepCount();
    p_.tmrInput0.Stop();
    state_.dwellTicks = moved ? 0 : ResumedTicks(kOnPredictionRow, cell, -1);
    AnchorDwell();
    // An empty cell, or the space beside the cells, confirms nothing.
    if (DwellMode() && cell >= 0 && !row_.CellText(cell).empty() && !state_.paused) StartCount();
  }
  ShowDwell();
  DescribeRowCell();
}

void Selection::RowMouseDown(int x, int y) {
  state_.onCandidates = kOnPredictionRow;
  state_.rowCell = p_.predictionRow.CellAt(x, y);
  ChooseRowCell();
}

void Selection::DescribeRowCell() {
  const std::string text = state_.rowCell >= 0 ? row_.CellText(state_.rowCell) : std::string();
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
  p_.pnlMsg.SetText(text.empty() ? std::string() : Quoted(text), status::kBlack);
}

void Selection::ChooseRowCell() {
  state_.keptCount.valid = false;
  const int cell = state_.rowCell;
  const std::string promised = cell >= 0 ? row_.CellText(cell) : std::string();
  if (promised.empty()) return;
  if (state_.paused) {
    p_.pnlMsg.SetMessage(Sj("休止中"));
    return;
  }
  Disarm();
  p_.pnlMsg.SetMessage("");
  // A list over the board closes (a conversion ends there, its caret after
  // the reading left); the row is then filled for the caret as it is now,
  // and only the candidate the status line promised is written.
  HideList();
  row_.Refresh();
  if (row_.CellText(cell) == promised) row_.Choose(cell);
  Finish();
  DescribeRowCell();
}

// ---------------------------------------------------------------- the list

void Selection::SGd01MouseMove(int x, int y) {
  if (ScanMode()) return;
  state_.repeating = false;
  if (state_.onCandidates == kOnList && !state_.candJustOpened && WithinDwellTolerance()) {
    ShowDwell();
    return;
  }
  state_.onCandidates = 1;
  const int oldCol = state_.candCol;
  const int oldRow = state_.candRow;
  const CellPos cell = p_.sgd01.CellAt(x, y);
  if (cell.col < 0 || cell.row < 0) return;
  p_.sgd01.SetCol(cell.col);
  p_.sgd01.SetRow(cell.row);
  state_.candCol = cell.col;
  state_.candRow = cell.row;
  bool moved = false;
  if (state_.candJustOpened) {
    // A list that opened, or was refilled, under a still pointer chooses
    // nothing: the user has not read it yet. The first real movement starts
    // the count, on the cell it was already on as well.
    const auto pointer = p_.pointer.Position();
    if (!pointer || (std::abs(state_.listAnchorX - pointer->x) <= kStillTolerance &&
                     std::abs(state_.listAnchorY - pointer->y) <= kStillTolerance)) {
      return;
    }
    moved = true;
    state_.candJustOpened = false;
  }
  if (cell.col == oldCol && cell.row == oldRow && !moved) {
    ShowDwell();
    return;
  }
  if (DwellMode()) {
    KeepCount();
    state_.dwellTicks = moved ? 0 : ResumedTicks(kOnList, cell.col, cell.row);
    StartCount();
    AnchorDwell();
  }
  ShowDwell();
}

void Selection::HoldListUntilMoved() {
  state_.candJustOpened = true;
  state_.keptCount.valid = false;
  state_.dwellAnchored = false;
  p_.tmrInput0.Stop();
  state_.dwellTicks = 0;
  ShowDwell();
  if (const auto pointer = p_.pointer.Position()) {
    state_.listAnchorX = pointer->x;
    state_.listAnchorY = pointer->y;
  }
}

void Selection::SGd01MouseDown(int /*x*/, int /*y*/) {
  state_.onCandidates = 1;
  state_.candCol = p_.sgd01.Col();
  state_.candRow = p_.sgd01.Row();
  ExecuteSelection();
}

void Selection::StopDwell() {
  p_.tmrInput0.Stop();
  state_.repeating = false;
  state_.dwellTicks = 0;
  state_.keptCount.valid = false;
  p_.pnlMsg.SetTimeText("", status::kBlue);
  ShowDwell();
}

void Selection::LeaveList() {
  HideList();
  p_.sgd00.SetCol(state_.boardCol);
  p_.sgd00.SetRow(state_.boardRow);
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
}

void Selection::SGd01KeyDown(Key key) {
  if (!ArrowKeyMode()) return;
  IVariantList& list = p_.sgd01;
  const bool againstEdge = (key == Key::Right && list.Col() == list.ColCount() - 1) ||
                           (key == Key::Left && list.Col() == 0) || (key == Key::Up && list.Row() == 0) ||
                           (key == Key::Down && list.Row() == list.RowCount() - 1);
  if (!againstEdge) return;
  LeaveList();
}

void Selection::SGd01KeyUp(Key key) {
  if (!ArrowKeyMode()) return;
  if (key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down) return;
  state_.onCandidates = 1;
  state_.candCol = p_.sgd01.Col();
  state_.candRow = p_.sgd01.Row();
  ExecuteSelection();
}

void Selection::DescribeVariant() {
  const std::string v = p_.sgd01.CellText(p_.sgd01.Col(), p_.sgd01.Row());
  if (conversion_.Active()) {
    bool control = false;
    const std::string text = conversion_.Describe(v, &control);
    p_.pnlMsg.SetText(text, control ? status::kBlue : status::kRed);
    return;
  }
  if (v.empty()) {
    p_.pnlMsg.SetText("", status::kRed);
  } else if (!state_.pendingCommand.empty()) {
    if (auto slot = SlotNumberOf(v)) {
      const std::size_t n = static_cast<std::size_t>(*slot);
      p_.pnlMsg.SetText(n < state_.slotPreviewList.size() ? state_.slotPreviewList[n] : std::string(), status::kRed);
    } else {
      p_.pnlMsg.SetText(Sj("キャンセル"), status::kBlue);
    }
  } else {
    p_.pnlMsg.SetText(Quoted(v), status::kRed);
  }
}

// ---------------------------------------------------------------- executing

void Selection::ExecuteSelection() {
  state_.keptCount.valid = false;
  // A message stays until the next confirmation.
  p_.pnlMsg.SetMessage("");
  std::string text;
  if (state_.onCandidates != 0) {
    p_.sgd01.SetCol(state_.candCol);
    p_.sgd01.SetRow(state_.candRow);
    text = p_.sgd01.CellText(p_.sgd01.Col(), p_.sgd01.Row());
    if (conversion_.Active()) {
      ChooseConversionCell(text);
      return;
    }
    p_.sgd01.SetVisible(false);
  } else {
    p_.sgd00.SetCol(state_.boardCol);
    p_.sgd00.SetRow(state_.boardRow);
    text = p_.sgd00.CellText(p_.sgd00.Col(), p_.sgd00.Row());
  }

  const auto command = board::CommandOfText(text);
  if (command == Command::NewLine) {
    text = "\r\n";
  } else if (command == Command::Blank) {
    text = " ";
  }
  const bool insertable = !command || command == Command::NewLine || command == Command::Blank;
  if (insertable && state_.pendingCommand.empty()) {
    if (!text.empty()) InsertText(text);
  } else {
    RunCommand(text);
  }
  Finish();
}

void Selection::Finish() {
  // The caret may have moved without a change of the text.
  row_.Refresh();
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
  // A conversion goes on in the list: the keys go on working there.
  if (conversion_.Active()) p_.sgd01.SetFocus();
}

void Selection::ChooseConversionCell(const std::string& text) {
  if (conversion_.Choose(text)) {
    FillList(conversion_.Cells(), {Conversion::kCols, Conversion::kRows});
    p_.sgd01.FitToText();
    HoldListUntilMoved();
    DescribeVariant();
  } else {
    p_.sgd01.SetVisible(false);
  }
  Finish();
}

void Selection::InsertText(const std::string& text) {
  // Through the staging box and the clipboard, so the insertion is one change
  // of the edit area, replacing its selection, exactly as a paste is.
  p_.edtInp.SetText(text);
  p_.edtInp.SelectAll();
  p_.edtInp.CutToClipboard();
  edits_.PasteFromClipboard();
  row_.Wrote();
}

void Selection::RunCommand(std::string text) {
  const auto command = board::CommandOfText(text);
  if (command == Command::CancelSlot) {
    CancelSlotChoice();
    return;
  }
  if (command == Command::Pause && state_.pendingCommand.empty()) {
    state_.paused = !state_.paused;
    p_.pnlMsg.SetMessage(state_.paused ? Sj("休止中") : std::string());
    DescribeBoardCell();
    return;
  }
  if (!state_.pendingCommand.empty()) {
    // While a slot choice is pending every confirmed cell chooses: a slot
    // number opens or saves it, anything else cancels.
    ChooseSlot(text);
    return;
  }
  if (command) commands_.Run(*command, CommandSource::Board);
}

void Selection::CancelSlotChoice() {
  state_.pendingCommand.clear();
  board_.FillBoard();
  // The cell under the pointer is another one now: say what it does.
  DescribeBoardCell();
}

void Selection::ShowSettingsBoard() {
  HideList();
  settings_.Show();
  DescribeBoardCell();
}

void Selection::ChooseSlotFor(Command command) {
  state_.pendingCommand = board::CommandToken(command);
  ShowSlotBoard();
}

void Selection::StartConversion() {
  const std::string message = conversion_.Start();
  if (!message.empty()) {
    docs_.Message(message);
    return;
  }
  OpenList(conversion_.Cells(), {Conversion::kCols, Conversion::kRows});
  p_.sgd01.FitToText();
  DescribeVariant();  // the status line tells what the first cell enters
}

void Selection::ChooseSlot(const std::string& cellText) {
  // Only a two-digit slot number names a slot; no other cell text ever
  // reaches a file name, so nothing outside the data folder is touched.
  const auto slot = SlotNumberOf(cellText);
  if (slot) {
    const std::string path = docs_.SlotPathOf(*slot);
    if (state_.pendingCommand == board::CommandToken(Command::Open)) {
      docs_.OpenDocument(path);
    } else {
      const std::string previous = state_.curFileName;
      state_.curFileName = path;
      // A slot that could not be written does not become the document's file.
      if (!docs_.SaveDocument(path)) state_.curFileName = previous;
    }
  }
  state_.pendingCommand.clear();
  board_.FillBoard();
  if (!slot) DescribeBoardCell();  // cancelled: the board's cell is described again
}

void Selection::Speak() {
  ISpeech& speech = p_.speech;
  // A second confirmation while speaking is the user's way to interrupt.
  if (speech.Speaking()) {
    speech.Stop();
    return;
  }
  // The selection; else the line the caret stands on; an empty line: the
  // whole text.
  const std::string text = p_.memMain.Text();
  const std::size_t start = caret::Snap(text, static_cast<std::size_t>(std::max(0, p_.memMain.SelStart())));
  const std::size_t length = static_cast<std::size_t>(std::max(0, p_.memMain.SelLength()));
  std::string spoken;
  if (length > 0) {
    spoken = text.substr(start, length);
  } else {
    std::size_t lineStart = 0;
    if (start > 0) {
      const std::size_t previousBreak = text.rfind("\r\n", start - 1);
      if (previousBreak != std::string::npos) lineStart = previousBreak + 2;
    }
    const std::size_t lineEnd = std::min(text.find("\r\n", start), text.size());
    spoken = text.substr(lineStart, lineEnd - lineStart);
    if (spoken.empty()) spoken = text;
  }
  if (spoken.empty()) {
    docs_.Message(Sj("読み上げるデータがありません"));
    return;
  }
  const Settings& s = state_.settings;
  if (!speech.Speak(spoken, s.SpeechPercent(option::kSpeechSpeed), s.SpeechPercent(option::kSpeechVolume))) {
    docs_.Message(SpeechFailureMessage(speech.Failure()));
  }
}

void Selection::SwitchTab(int step) {
  board_.SaveTabSizes();
  const int count = static_cast<int>(p_.tabC00.Names().size());
  const int index = p_.tabC00.Index();
  int next;
  if (step < 0) {
    next = index <= 0 ? count - 1 : index - 1;
  } else {
    next = index < count - 1 ? index + 1 : 0;
  }
  p_.tabC00.SetIndex(next);
  board_.FillBoard();
}

}  // namespace velkor
