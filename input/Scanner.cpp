#include "input/Scanner.h"

#include <array>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "core/InputMode.h"

namespace velkor {

namespace {

using cp932::Sj;

// Rounds of the rows without a press before scanning pauses, rounds of one
// row's cells before it gives way to row scanning again, and rounds of a
// list's rows before the list closes.
constexpr int kRowRounds = 3;
constexpr int kCellRounds = 2;
constexpr int kListRounds = 2;

// The shortcut line's places, in order: the commands a one-switch writer
// needs most (each otherwise far along row 6), then the two punctuation
// marks. The place of a board cell in it, or -1.
constexpr std::array<Command, 4> kShortcutCommands = {Command::Modifier, Command::Convert, Command::Undo,
                                                      Command::BackSpace};
constexpr int kShortcutCount = 6;

int ShortcutPlace(const BoardCell& cell) {
  for (std::size_t i = 0; i < kShortcutCommands.size(); ++i) {
    if (cell.command == kShortcutCommands[i]) return static_cast<int>(i);
  }
  if (cell.text == Sj("。")) return 4;
  if (cell.text == Sj("、")) return 5;
  return -1;
}

}  // namespace

Scanner::Scanner(ProgramState& state, Ports ports, Selection& selection)
    : state_(state), p_(ports), selection_(selection) {}

bool Scanner::InList() const { return selection_.ListShown(); }

std::vector<Scanner::Line> Scanner::ListLines() const {
  // Its rows as they are, the empty ones passed over.
  std::vector<Line> lines;
  const CellPos shape = selection_.ListShape();
  for (int r = 0; r < shape.row; ++r) {
    Line line{r, {}};
    for (int c = 0; c < shape.col; ++c) {
      if (selection_.Offers({Place::List, {c, r}})) line.cells.push_back({c, r});
    }
    if (!line.cells.empty()) lines.push_back(std::move(line));
  }
  // A small list (a kana's variants) is quicker stepped entry by entry: a
  // row press first pays only from about seven entries on.
  std::size_t entries = 0;
  for (const Line& line : lines) entries += line.cells.size();
  if (entries <= kFewEntries && lines.size() > 1) {
    Line all{0, {}};
    for (const Line& line : lines) all.cells.insert(all.cells.end(), line.cells.begin(), line.cells.end());
    lines.assign(1, std::move(all));
  }
  return lines;
}

Scanner::Line Scanner::ShortcutLine() const {
  Line line{kShortcutRow, {}};
  if (selection_.Face() != Place::Board || !state_.settings.ScanShortcuts()) return line;
  // Each place takes the first cell offering it on the tab shown; a command
  // greyed now, or a mark the tab lacks, leaves its place out.
  std::array<std::optional<CellPos>, kShortcutCount> found;
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    for (int col = 1; col <= board::kContentCols; ++col) {
      const int place = ShortcutPlace(selection_.BoardCellAt(col, row));
      if (place < 0 || found[static_cast<std::size_t>(place)]) continue;
      if (selection_.Offers({Place::Board, {col, row}})) found[static_cast<std::size_t>(place)] = CellPos{col, row};
    }
  }
  for (const auto& cell : found) {
    if (cell) line.cells.push_back(*cell);
  }
  return line;
}

std::vector<Scanner::Line> Scanner::Lines() const {
  if (InList()) return ListLines();
  std::vector<Line> lines;
  // Only the face on show is scanned: the row belongs to the board's own.
  Line predictions{-1, {}};
  for (int cell = 0; cell < p_.predictionRow.CellCount(); ++cell) {
    if (selection_.Offers({Place::Row, {cell, 0}})) predictions.cells.push_back({cell, -1});
  }
  if (!predictions.cells.empty()) lines.push_back(std::move(predictions));
  Line shortcuts = ShortcutLine();
  if (!shortcuts.cells.empty()) lines.push_back(std::move(shortcuts));
  const Place face = selection_.Face();
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    Line line{row, {}};
    for (int col = 1; col <= board::kContentCols; ++col) {
      if (selection_.Offers({face, {col, row}})) line.cells.push_back({col, row});
    }
    if (!line.cells.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

const Scanner::Line* Scanner::LineAt(const std::vector<Line>& lines) const {
  return line_ >= 0 && static_cast<std::size_t>(line_) < lines.size() ? &lines[static_cast<std::size_t>(line_)]
                                                                       : nullptr;
}

Target Scanner::TargetOf(const Mark& mark) const {
  if (mark.inList) return {Place::List, {mark.col, mark.row}};
  if (mark.row < 0) return {Place::Row, {mark.col, 0}};
  return {selection_.Face(), {mark.col, mark.row}};
}

ICellSurface& Scanner::SurfaceOf(const Mark& mark) const {
  if (mark.inList) return p_.sgd01;
  if (mark.row < 0) return p_.predictionRow;
  return p_.sgd00;
}

void Scanner::Follow() {
  const bool on = ScanModeOn(state_.settings);
  if (on && !active_) {
    active_ = true;
    Restart();
  } else if (!on && active_) {
    active_ = false;
    p_.scanTimer.Stop();
    Clear();
    p_.predictionRow.SetCurrent(-1);
  }
}

void Scanner::Restart() {
  inList_ = InList();
  const std::vector<Line> lines = Lines();
  // A list of more than one row (and more than a few entries) is scanned
  // row then cell, as the board is; a row alone would only cost a press.
  listRows_ = inList_ && lines.size() > 1;
  phase_ = inList_ && !listRows_ ? Phase::Cells : Phase::Rows;
  line_ = 0;
  cell_ = 0;
  // The slot board for saving starts on its first empty slot: its row first,
  // then, once the row is chosen, that slot.
  start_ = selection_.ScanStart();
  if (start_) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].row == start_->row) line_ = static_cast<int>(i);
    }
  }
  rounds_ = 0;
  Draw();
  Describe();
  StartTimer();
}

void Scanner::StartTimer() {
  p_.scanTimer.Stop();
  if (!active_ || state_.settings.TwoSwitches()) return;
  p_.scanTimer.SetIntervalMs(state_.settings.ScanIntervalMs());
  p_.scanTimer.Start();
}

void Scanner::Tick() {
  if (!active_ || phase_ == Phase::Paused || state_.settings.TwoSwitches()) return;
  Step();
}

void Scanner::Step() {
  const std::vector<Line> lines = Lines();
  if (lines.empty()) return;
  // What is shown may have changed under the highlight (a list closed, the
  // row refilled): start again from the first row.
  if (static_cast<std::size_t>(line_) >= lines.size() || InList() != inList_) {
    Restart();
    return;
  }
  const bool oneSwitch = !state_.settings.TwoSwitches();
  if (phase_ == Phase::Rows) {
    if (++line_ >= static_cast<int>(lines.size())) {
      line_ = 0;
      ++rounds_;
      if (inList_ && rounds_ >= kListRounds) {
        // Nobody wants the list: it closes, the board's rows come back.
        selection_.LeaveList();
        Restart();
        return;
      }
      if (!inList_ && rounds_ >= kRowRounds && oneSwitch) {
        // Nobody is pressing: the highlight stops until the next press.
        phase_ = Phase::Paused;
        p_.scanTimer.Stop();
        Clear();
        p_.pnlMsg.SetMessage(Sj("走査を休止中"));
        p_.pnlMsg.SetText(Sj("押すと走査を再開"), status::kBlue);
        return;
      }
    }
  } else {
    const auto& cells = lines[static_cast<std::size_t>(line_)].cells;
    if (++cell_ >= static_cast<int>(cells.size())) {
      cell_ = 0;
      if (++rounds_ >= kCellRounds) {
        // Not this row after all: back to the rows (a list of one row is
        // given up).
        if (inList_ && !listRows_) {
          selection_.LeaveList();
          Restart();
          return;
        }
        phase_ = Phase::Rows;
        rounds_ = 0;
      }
    }
  }
  Draw();
  Describe();
}

void Scanner::StartHold(SwitchInput input) {
  p_.holdTimer.Stop();
  held_.reset();
  if (!state_.settings.BellHold()) return;
  // The press does what it always does; held down long enough, it also
  // rings the call bell, whatever scanning is doing (paused too).
  held_ = input;
  p_.holdTimer.SetIntervalMs(kBellHoldMs);
  p_.holdTimer.Start();
}

void Scanner::Release(SwitchInput input) {
  if (held_ != input) return;
  held_.reset();
  p_.holdTimer.Stop();
}

void Scanner::HoldTick() {
  p_.holdTimer.Stop();
  if (!held_ || !active_) return;
  held_.reset();
  if (onHeld_) onHeld_();
}

bool Scanner::Press(SwitchInput input, bool repeat) {
  if (!active_) return false;
  const Settings& s = state_.settings;
  bool choose = false;
  if (s.TwoSwitches()) {
    // Space steps, Enter chooses.
    if (input == SwitchInput::Space) {
      if (repeat) return true;
      StartHold(input);
      if (phase_ == Phase::Paused) {
        Restart();
      } else {
        Step();
      }
      return true;
    }
    choose = input == SwitchInput::Enter;
  } else {
    switch (s.ScanSwitchKind()) {
      case ScanSwitch::Space: choose = input == SwitchInput::Space; break;
      case ScanSwitch::Enter: choose = input == SwitchInput::Enter; break;
      case ScanSwitch::AnyKey: choose = input != SwitchInput::Mouse; break;
      case ScanSwitch::Mouse: choose = input == SwitchInput::Mouse; break;
    }
  }
  if (!choose) return false;
  if (repeat) return true;
  StartHold(input);
  if (phase_ == Phase::Paused) {
    // The press that wakes scanning chooses nothing.
    p_.pnlMsg.SetMessage("");
    Restart();
    return true;
  }
  const std::vector<Line> lines = Lines();
  if (lines.empty() || static_cast<std::size_t>(line_) >= lines.size() || InList() != inList_) {
    Restart();
    return true;
  }
  if (phase_ == Phase::Rows) {
    phase_ = Phase::Cells;
    cell_ = StartCellOf(lines[static_cast<std::size_t>(line_)]);
    rounds_ = 0;
    Draw();
    Describe();
    StartTimer();
    return true;
  }
  Choose();
  return true;
}

void Scanner::Choose() {
  // Only the cell the highlight is drawn on is ever chosen: if what is shown
  // changed under it, scanning begins again instead.
  const Mark mark = drawn_;
  if (mark.col < 0 || !(Highlight() == mark)) {
    Restart();
    return;
  }
  p_.scanTimer.Stop();
  Clear();
  const Target target = TargetOf(mark);
  selection_.Confirm(target);
  if (target.place == Place::Row) p_.predictionRow.SetCurrent(-1);
  // The choice may have ended scanning (the settings board); else it begins
  // again at the first row of whatever is shown now.
  if (active_) Restart();
}

int Scanner::StartCellOf(const Line& line) const {
  if (!start_) return 0;
  for (std::size_t i = 0; i < line.cells.size(); ++i) {
    if (line.cells[i] == *start_) return static_cast<int>(i);
  }
  return 0;
}

Scanner::Mark Scanner::Highlight() const {
  Mark mark;
  if (!active_ || phase_ == Phase::Paused) return mark;
  const std::vector<Line> lines = Lines();
  const Line* line = LineAt(lines);
  if (!line) return mark;
  mark.inList = InList();
  if (phase_ == Phase::Cells && cell_ >= 0 && static_cast<std::size_t>(cell_) < line->cells.size()) {
    const CellPos at = line->cells[static_cast<std::size_t>(cell_)];
    mark.row = at.row;
    mark.col = at.col;
  } else {
    mark.row = line->row;
  }
  return mark;
}

void Scanner::Clear() {
  p_.sgd00.SetScanMark({});
  p_.sgd01.SetScanMark({});
  p_.predictionRow.SetScanMark({});
}

void Scanner::Draw() {
  Clear();
  drawn_ = Mark{};
  if (!active_ || phase_ == Phase::Paused) return;
  const Mark mark = Highlight();
  drawn_ = mark;
  const std::vector<Line> lines = Lines();
  const Line* line = LineAt(lines);
  // Nothing to highlight (nothing offered at all).
  if (!line) return;
  if (!mark.inList && mark.row == kShortcutRow) {
    // The shortcut line lights its cells where they lie on the board.
    p_.sgd00.SetScanMark(ScanMark(line->cells));
    return;
  }
  // The prediction row is the surface's row 0.
  SurfaceOf(mark).SetScanMark({mark.inList || mark.row >= 0 ? mark.row : 0, mark.col});
}

void Scanner::Speak(const Mark& mark) {
  if (phase_ == Phase::Rows) {
    // A row by its place: the prediction row, the shortcut line, or its
    // number on the face or in the list.
    if (mark.inList) {
      onSpeak_(std::to_string(mark.row + 1) + Sj("行"));
    } else {
      onSpeak_(mark.row < 0                ? Sj("予測")
               : mark.row == kShortcutRow ? Sj("近道")
                                          : std::to_string(mark.row) + Sj("行"));
    }
    return;
  }
  const Target target = TargetOf(mark);
  if (target.place == Place::Board) {
    // A command by its short name, a cell by what it shows.
    const BoardCell cell = selection_.BoardCellAt(mark.col, mark.row);
    onSpeak_(cell.command ? Sj(EntryOf(*cell.command).status) : cell.label);
    return;
  }
  onSpeak_(selection_.Describe(target).text);
}

void Scanner::Describe() {
  if (!active_ || phase_ == Phase::Paused) return;
  const Mark mark = drawn_;
  if (state_.settings.ScanSpeak() && onSpeak_) Speak(mark);
  if (phase_ == Phase::Rows) {
    p_.predictionRow.SetCurrent(-1);
    p_.pnlMsg.SetText(Sj("この行を選ぶ"), status::kBlue);
    return;
  }
  // The status line says what a press does now, as over a cell; the cell
  // drawn current is the highlighted one.
  const Target target = TargetOf(mark);
  if (mark.inList) {
    p_.sgd01.SetCol(mark.col);
    p_.sgd01.SetRow(mark.row);
  } else if (mark.row < 0) {
    p_.predictionRow.SetCurrent(mark.col);
  } else {
    p_.predictionRow.SetCurrent(-1);
    p_.sgd00.SetCol(mark.col);
    p_.sgd00.SetRow(mark.row);
  }
  selection_.Point(target);
}

}  // namespace velkor
