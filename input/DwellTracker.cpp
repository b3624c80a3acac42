#include "input/DwellTracker.h"

#include <algorithm>
#include <cstdlib>

#include "core/Cp932.h"
#include "core/InputMode.h"

namespace velkor {

DwellTracker::DwellTracker(ProgramState& state, Ports ports, Selection& selection)
    : state_(state), p_(ports), selection_(selection) {}

bool DwellTracker::Tracking() const { return !ArrowKeyModeOn(state_.settings) && !ScanModeOn(state_.settings); }

bool DwellTracker::DwellMode() const { return DwellModeOn(state_.settings); }

std::optional<Target> DwellTracker::Locate(Point at) const {
  // The list lies over the board; the row belongs to the board's own face.
  if (selection_.ListShown()) {
    if (const auto cell = p_.sgd01.CellAtScreen(at)) return Target{Place::List, *cell};
  }
  if (selection_.Face() == Place::Board) {
    if (const auto cell = p_.predictionRow.CellAtScreen(at)) {
      return Target{Place::Row, cell->col >= 0 ? CellPos{cell->col, 0} : CellPos{-1, -1}};
    }
  }
  if (const auto cell = p_.sgd00.CellAtScreen(at)) {
    // The fixed row and column count as row 1 and column 1.
    const bool onCell = cell->col >= 0 && cell->row >= 0;
    return Target{selection_.Face(), onCell ? CellPos{std::max(cell->col, 1), std::max(cell->row, 1)} : CellPos{}};
  }
  return std::nullopt;
}

ICellSurface& DwellTracker::SurfaceOf(Place place) const {
  switch (place) {
    case Place::List: return p_.sgd01;
    case Place::Row: return p_.predictionRow;
    default: return p_.sgd00;
  }
}

// ---------------------------------------------------------------- the pointer

void DwellTracker::PointerMoved() {
  if (!Tracking()) return;
  const auto at = p_.pointer.Position();
  if (!at) return;
  if (Unmoved(*at)) return;
  // A tremor within the tolerance of where the count began stays on its cell.
  if (WithinTolerance(*at)) return;
  Enter(Locate(*at), *at);
}

bool DwellTracker::Unmoved(Point at) {
  const bool still = seenAt_ == at;
  seenAt_ = at;
  if (!still) return false;
  // The window reports a pointer that did not move (a list or a window
  // over the board went, and what is below is entered): what lies under it
  // changed by itself.
  if (!WithinTolerance(at) && Locate(at) != under_) ShownChanged(std::nullopt);
  return true;
}

void DwellTracker::Enter(const std::optional<Target>& now, Point at) {
  if (hold_ && Released(now, at)) hold_.reset();
  if (now == under_) return;
  Leave();
  under_ = now;
  done_ = false;
  if (under_ && under_->OnCell() && under_->place != Place::List && under_->place != Place::Row) {
    selection_.PointerLeftList();
  }
  anchor_ = at;
  anchored_ = true;
  FollowCurrent();
  Describe();
  if (under_ && DwellMode() && Countable(*under_)) {
    // The count begins here, or goes on where it stopped when the cell was
    // left only a moment ago.
    ticks_ = ResumedTicks(*under_);
    StartCount();
  }
  Mark();
}

void DwellTracker::Leave() {
  KeepCount();
  StopCount();
}

bool DwellTracker::Released(const std::optional<Target>& now, Point at) const {
  if (now == hold_->at) return false;
  const int radius = std::max<int>(kStillRadius, static_cast<int>(state_.settings.DwellTolerancePx()));
  return std::abs(at.x - hold_->point.x) > radius || std::abs(at.y - hold_->point.y) > radius;
}

bool DwellTracker::Countable(const Target& target) const {
  return target.OnCell() && !hold_ && !done_ && selection_.Offers(target) && !selection_.Suspended(target);
}

bool DwellTracker::WithinTolerance(Point at) const {
  const long long tolerance = state_.settings.DwellTolerancePx();
  if (tolerance <= 0 || !DwellMode() || !anchored_ || !under_ || !under_->OnCell()) return false;
  const long long dx = at.x - anchor_.x;
  const long long dy = at.y - anchor_.y;
  return dx * dx + dy * dy <= tolerance * tolerance;
}

void DwellTracker::PointerPressed() {
  if (!Tracking()) return;
  const auto at = p_.pointer.Position();
  if (!at) return;
  const auto now = Locate(*at);
  // Only the cell the status line describes is confirmed.
  if (!now || !now->OnCell() || now != under_) return;
  kept_.valid = false;
  if (now->place != Place::List && now->place != Place::Row) returnTo_ = *at;
  const int holds = holds_;
  selection_.Confirm(*now);
  // A choice of another input mode leaves the status line to it.
  if (holds_ != holds || !Tracking()) return;
  // In dwell mode the count must not confirm the cell a second time. The
  // status line says what the cell does now (a setting's next value).
  if (DwellMode()) {
    StopCount();
    done_ = true;
  }
  Describe();
  Mark();
}

void DwellTracker::ShownChanged(std::optional<Place> place) {
  if (!Tracking()) return;
  const auto at = p_.pointer.Position();
  const auto now = at ? Locate(*at) : std::nullopt;
  const bool underIt = !place || now != under_ || (under_ && under_->place == *place);
  if (!underIt) return;
  // Nothing counts until the pointer enters another cell.
  StopCount();
  kept_.valid = false;
  under_ = now;
  done_ = false;
  anchored_ = false;
  hold_ = Hold{now, at.value_or(Point{})};
  ++holds_;
  FollowCurrent();
  Describe();
  Mark();
}

void DwellTracker::Stop() {
  StopCount();
  kept_.valid = false;
  done_ = false;
  Mark();
}

// ---------------------------------------------------------------- the count

int DwellTracker::TickMs() const {
  // Whole and half seconds count in half seconds, as they always have;
  // other tenths (0.3 s, 1.2 s) in tenths.
  const auto tenths = state_.settings.DwellTenths();
  return tenths && *tenths % 5 != 0 ? 100 : 500;
}

int DwellTracker::ElapsedTenths() const { return ticks_ * TickMs() / 100; }

int DwellTracker::Percent() const {
  const auto tenths = state_.settings.DwellTenths();
  if (!DwellMode() || !counting_ || repeating_ || !tenths) return 0;
  return std::min(100, ElapsedTenths() * 100 / *tenths);
}

void DwellTracker::StartCount() {
  counting_ = true;
  p_.tmrInput0.SetIntervalMs(TickMs());
  p_.tmrInput0.Start();
}

void DwellTracker::StopCount() {
  counting_ = false;
  repeating_ = false;
  ticks_ = 0;
  p_.tmrInput0.Stop();
  p_.pnlMsg.SetTimeText("", status::kBlue);
}

void DwellTracker::KeepCount() {
  // Only a count still running (not one that confirmed) is kept.
  if (!counting_ || repeating_ || ticks_ <= 0 || !under_) return;
  kept_ = {true, *under_, ticks_, p_.clock.NowMs()};
}

int DwellTracker::ResumedTicks(const Target& target) {
  // A cell crossed on the way (left before its first tick) keeps nothing of
  // its own, so the count kept is still the one of the cell before it.
  if (!kept_.valid || !(kept_.target == target)) return 0;
  kept_.valid = false;
  return p_.clock.NowMs() - kept_.leftAtMs < state_.settings.DwellMemoryMs() ? kept_.ticks : 0;
}

void DwellTracker::Tick() {
  const auto at = p_.pointer.Position();
  if (!DwellMode() || !at) {
    StopCount();
    Mark();
    return;
  }
  // The pointer may have gone where no move reaches the program (off the
  // window): the tick looks where it is.
  if (Unmoved(*at) && !counting_) return;
  if (!WithinTolerance(*at)) {
    const auto now = Locate(*at);
    if (now != under_) {
      Enter(now, *at);
      return;
    }
  }
  if (!counting_ || !under_) return;
  if (repeating_) {
    Repeated();
    return;
  }
  ++ticks_;
  Mark();
  // Tenths of a second as "0.5", "1.0", ...: written out by hand, since the
  // process's locale may write a decimal comma.
  const int elapsed = ElapsedTenths();
  p_.pnlMsg.SetTimeText(std::to_string(elapsed / 10) + "." + std::to_string(elapsed % 10) + cp932::FromUtf8("秒"),
                        status::kBlue);
  const auto tenths = state_.settings.DwellTenths();
  if (tenths && elapsed == *tenths) Confirmed();
}

void DwellTracker::Confirmed() {
  const Target target = *under_;
  StopCount();
  kept_.valid = false;
  if (target.place != Place::List && target.place != Place::Row) returnTo_ = p_.pointer.Position();
  const int holds = holds_;
  selection_.Confirm(target);
  if (holds_ != holds) {
    // What lay under the pointer changed. After a choice in a list that is
    // gone now, the pointer goes back over the cell that opened it, and what
    // lies there now counts only after a move.
    if (target.place == Place::List && !selection_.ListShown() && returnTo_) {
      p_.pointer.MoveTo(*returnTo_);
      returnTo_.reset();
      ShownChanged(std::nullopt);
    }
    return;
  }
  AfterConfirmation(target);
}

void DwellTracker::AfterConfirmation(const Target& target) {
  // A choice of another input mode (on the settings board) leaves the status
  // line to it.
  if (!Tracking()) return;
  switch (selection_.RepeatOf(target)) {
    case Again::OnResting:
      // Every further dwell time turns the character again; the status line
      // names the next form.
      StartCount();
      Describe();
      Mark();
      return;
    case Again::WithSetting:
      if (state_.settings.RepeatMs() > 0) {
        StartCount();
        repeating_ = true;
        repeatTicks_ = 0;
        Describe();
        Mark();
        return;
      }
      break;
    case Again::Never: break;
  }
  done_ = true;
  Describe();
  Mark();
}

void DwellTracker::Repeated() {
  // Still dwelt on after its confirmation: again every Access/RepeatMs.
  if (++repeatTicks_ * TickMs() < state_.settings.RepeatMs()) return;
  repeatTicks_ = 0;
  const Target target = *under_;
  const int holds = holds_;
  selection_.Confirm(target);
  if (holds_ != holds) return;
  if (selection_.RepeatOf(target) != Again::WithSetting) {
    StopCount();
    done_ = true;
    Describe();
    Mark();
  }
}

// ---------------------------------------------------------------- what is drawn

void DwellTracker::Describe() {
  if (done_) {
    p_.pnlMsg.SetText(cp932::FromUtf8("もう一度は、いったん離れてから"), status::kBlue);
  } else if (under_) {
    selection_.Point(*under_);
  } else {
    p_.pnlMsg.SetText("", status::kBlack);
  }
}

void DwellTracker::FollowCurrent() {
  if (!under_ || !under_->OnCell()) return;
  if (under_->place == Place::Row) {
    p_.predictionRow.SetCurrent(under_->cell.col);
    return;
  }
  p_.predictionRow.SetCurrent(-1);
  if (under_->place == Place::List) {
    p_.sgd01.SetCol(under_->cell.col);
    p_.sgd01.SetRow(under_->cell.row);
  } else {
    p_.sgd00.SetCol(under_->cell.col);
    p_.sgd00.SetRow(under_->cell.row);
  }
}

void DwellTracker::Mark() {
  Marked now{under_ && under_->OnCell() ? under_ : std::nullopt, DwellMark{Percent(), done_}};
  if (!now.target) now.mark = {};
  const bool sameCell = now.target == marked_.target;
  if (!sameCell && marked_.target && !(marked_.mark == DwellMark{})) {
    SurfaceOf(marked_.target->place).SetDwellMark(marked_.target->cell, {});
  }
  if (now.target && (!sameCell || !(now.mark == marked_.mark))) {
    SurfaceOf(now.target->place).SetDwellMark(now.target->cell, now.mark);
  }
  marked_ = now;
}

}  // namespace velkor
