#include "input/Scanner.h"

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "core/InputMode.h"

namespace velkor {

namespace {

using cp932::Sj;

// Rounds of the rows without a press before scanning pauses, and rounds of
// one row's cells before it gives way to row scanning again.
constexpr int kRowRounds = 3;
constexpr int kCellRounds = 2;

}  // namespace

Scanner::Scanner(ProgramState& state, Ports ports, Selection& selection)
    : state_(state), p_(ports), selection_(selection) {}

bool Scanner::InList() const { return selection_.ListShown(); }

std::vector<Scanner::Line> Scanner::Lines() const {
  std::vector<Line> lines;
  if (InList()) {
    Line entries{0, {}};
    const CellPos shape = selection_.ListShape();
    for (int r = 0; r < shape.row; ++r) {
      for (int c = 0; c < shape.col; ++c) {
        if (selection_.Offers({Place::List, {c, r}})) entries.cols.push_back(r * shape.col + c);
      }
    }
    if (!entries.cols.empty()) lines.push_back(std::move(entries));
    return lines;
  }
  // Only the face on show is scanned: the row belongs to the board's own.
  Line predictions{-1, {}};
  for (int cell = 0; cell < p_.predictionRow.CellCount(); ++cell) {
    if (selection_.Offers({Place::Row, {cell, 0}})) predictions.cols.push_back(cell);
  }
  if (!predictions.cols.empty()) lines.push_back(std::move(predictions));
  const Place face = selection_.Face();
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    Line line{row, {}};
    for (int col = 1; col <= board::kContentCols; ++col) {
      if (selection_.Offers({face, {col, row}})) line.cols.push_back(col);
    }
    if (!line.cols.empty()) lines.push_back(std::move(line));
  }
  return lines;
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
  phase_ = inList_ ? Phase::Cells : Phase::Rows;
  line_ = 0;
  cell_ = 0;
  // The slot board for saving starts on its first empty slot: its row first,
  // then, once the row is chosen, that slot.
  start_ = selection_.ScanStart();
  if (start_) {
    const std::vector<Line> lines = Lines();
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
      if (++rounds_ >= kRowRounds && oneSwitch) {
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
    const auto& cols = lines[static_cast<std::size_t>(line_)].cols;
    if (++cell_ >= static_cast<int>(cols.size())) {
      cell_ = 0;
      if (++rounds_ >= kCellRounds) {
        // Not this row after all: back to the rows (a list is given up).
        if (InList()) {
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
  if (!start_ || line.row != start_->row) return 0;
  for (std::size_t i = 0; i < line.cols.size(); ++i) {
    if (line.cols[i] == start_->col) return static_cast<int>(i);
  }
  return 0;
}

Scanner::Mark Scanner::Highlight() const {
  Mark mark;
  if (!active_ || phase_ == Phase::Paused) return mark;
  const std::vector<Line> lines = Lines();
  if (static_cast<std::size_t>(line_) >= lines.size()) return mark;
  const Line& line = lines[static_cast<std::size_t>(line_)];
  const bool onCell = phase_ == Phase::Cells && static_cast<std::size_t>(cell_) < line.cols.size();
  if (InList()) {
    // A list's entries are numbered across its rows.
    if (!onCell) return mark;
    const int cols = selection_.ListShape().col;
    const int at = line.cols[static_cast<std::size_t>(cell_)];
    return Mark{true, at / cols, at % cols};
  }
  mark.row = line.row;
  if (onCell) mark.col = line.cols[static_cast<std::size_t>(cell_)];
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
  // Nothing to highlight (nothing offered at all).
  if (static_cast<std::size_t>(line_) >= Lines().size()) return;
  // The prediction row is the surface's row 0.
  SurfaceOf(mark).SetScanMark({mark.inList || mark.row >= 0 ? mark.row : 0, mark.col});
}

void Scanner::Speak(const Mark& mark) {
  if (phase_ == Phase::Rows) {
    // A row by its place: the prediction row, or its number on the face.
    onSpeak_(mark.row < 0 ? Sj("予測") : std::to_string(mark.row) + Sj("行"));
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
