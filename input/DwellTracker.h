// The pointer as an input source, for click and dwell: one tracker over every
// surface the pointer can rest on (the board grid with whichever face it
// shows, the list over it, the prediction row). It knows which cell lies
// under the pointer, keeps the status line and the count mark on that cell
// alone, runs the dwell count (tolerance, memory, repeat), and hands the
// selection engine a confirmation of that cell when a click or the count
// confirms it.
//
// Nothing counts that the user did not point at: whenever what lies under
// the pointer changes without the pointer moving (a list opens, is refilled
// or closes; the board changes face; the prediction row is refilled under it;
// a window over the board closes), nothing counts until the pointer has
// entered another cell than the one it was on then (a tremor does not), or
// has left and come back. A cell confirmed by resting on it is marked done
// and counts again only after the pointer has left it, unless it repeats.
#pragma once

#include <optional>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/Selection.h"
#include "input/Target.h"

namespace velkor {

class DwellTracker {
 public:
  struct Ports {
    IPointer& pointer;
    ITimer& tmrInput0;
    IClock& clock;
    IStatusLine& pnlMsg;
    IBoardGrid& sgd00;
    IVariantList& sgd01;
    IPredictionRow& predictionRow;
  };

  // How far (in pixels, on either axis) the pointer must be from where it
  // was when what lay under it changed before another cell counts: beyond a
  // head-mouse tremor of ±2 pixels.
  static constexpr int kStillRadius = 4;

  DwellTracker(ProgramState& state, Ports ports, Selection& selection);

  // The pointer moved over one of the surfaces.
  void PointerMoved();
  // A button press: confirms the cell under the pointer when it is the one
  // tracked (click mode, and dwell mode too).
  void PointerPressed();
  // The input timer's tick: the dwell count goes on.
  void Tick();
  // What is shown at `place` changed without the pointer moving (nothing:
  // anything may have, e.g. a window over the board closed).
  void ShownChanged(std::optional<Place> place);
  // No count runs or is drawn any more (another input mode began).
  void Stop();

  // What lies under the pointer: nothing off every surface; a target that is
  // not on a cell beside the cells.
  std::optional<Target> Under() const { return under_; }
  // How far the count has come, in percent of the dwell time.
  int Percent() const;
  // Nothing counts until the pointer moves to another cell.
  bool Held() const { return hold_.has_value(); }
  // The cell under the pointer was confirmed and wants leaving first.
  bool Done() const { return done_; }

 private:
  struct Hold {
    std::optional<Target> at;  // what lay under the pointer at the change
    Point point;               // where the pointer was then
  };
  // A count on a cell the pointer left (Access/DwellMemoryMs).
  struct Kept {
    bool valid = false;
    Target target;
    int ticks = 0;
    long long leftAtMs = 0;
  };
  bool Tracking() const;
  bool DwellMode() const;
  std::optional<Target> Locate(Point at) const;
  ICellSurface& SurfaceOf(Place place) const;
  // The pointer is on `now` (at `at`): a new cell is entered, or nothing new.
  void Enter(const std::optional<Target>& now, Point at);
  void Leave();
  bool Countable(const Target& target) const;
  bool Released(const std::optional<Target>& now, Point at) const;
  // The pointer is where it was last seen (what lies under it may have
  // changed all the same, and is then held).
  bool Unmoved(Point at);
  bool WithinTolerance(Point at) const;
  int TickMs() const;
  int ElapsedTenths() const;
  void StartCount();
  void StopCount();
  void KeepCount();
  int ResumedTicks(const Target& target);
  // The count reached the dwell time.
  void Confirmed();
  void Repeated();
  // After a confirmation that changed nothing under the pointer.
  void AfterConfirmation(const Target& target);
  // Draws the mark of the cell under the pointer and takes it off the cell
  // it was on before.
  void Mark();
  // The status line says what the cell under the pointer does.
  void Describe();
  // Where the surface draws its current cell: on the one under the pointer.
  void FollowCurrent();

  ProgramState& state_;
  Ports p_;
  Selection& selection_;
  std::optional<Target> under_;
  std::optional<Hold> hold_;
  int holds_ = 0;  // how many holds began: a confirmation that began one changed what is shown
  bool done_ = false;
  bool counting_ = false;
  int ticks_ = 0;
  bool repeating_ = false;
  int repeatTicks_ = 0;
  std::optional<Point> seenAt_;  // where the pointer was last seen
  Point anchor_;                 // where the pointer entered the cell: the tolerance is measured from here
  bool anchored_ = false;
  Kept kept_;
  // Where the pointer was when the board cell that opened a list was
  // confirmed by dwell: after a choice in the list it goes back there.
  std::optional<Point> returnTo_;
  struct Marked {
    std::optional<Target> target;
    DwellMark mark;
  };
  Marked marked_;
};

}  // namespace velkor
