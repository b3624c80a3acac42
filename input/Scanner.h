// Row/column scanning, the input mode for one switch (or two): a highlight
// steps over the rows of whatever is shown (the prediction row and the board,
// the slot board, the settings board, or a list over them) at the scan
// interval; a press of the switch chooses the highlighted row, then the
// highlighted cell, exactly as a confirmation of it does.
//
// On the board's own face, with Access/ScanShortcuts, the shortcut line comes
// right after the prediction row: the cells of ゛~, 変~, 戻, BS~, 。 and 、
// wherever they lie on the tab shown, highlighted together in place as one
// row and then stepped in that order; a press on one confirms that very
// board cell. A list over the board is scanned as the board is, row then
// cell, when more than one of its rows holds something; a list of one row
// steps its cells at once.
//
// A row's cells passed through twice without a press give way to row
// scanning again (in a list of one row, the list closes); a list's rows gone
// round twice without a press close it; three rounds of the board's rows
// without a press pause scanning until the next press.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/Selection.h"
#include "input/Target.h"

namespace velkor {

// What a key or button press is, as far as the switch is concerned.
enum class SwitchInput { Space, Enter, OtherKey, Mouse };

class Scanner {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    IVariantList& sgd01;
    IPredictionRow& predictionRow;
    IStatusLine& pnlMsg;
    ITimer& scanTimer;
    ITimer& holdTimer;  // single shot: the switch held down for kBellHoldMs
  };

  Scanner(ProgramState& state, Ports ports, Selection& selection);

  // Scanning starts or stops as the setting says (the mode changed, the
  // window showed): it starts at the first row (the slot board for saving:
  // at the row of its first empty slot).
  void Follow();
  // The scan timer's tick: the highlight steps (one-switch scanning).
  void Tick();
  // A key or button press: true when it was the switch (or one of the two)
  // and so belongs to scanning, whatever it did.
  // A held key's repeats (`repeat`) are taken as the switch's but do nothing.
  bool Press(SwitchInput input, bool repeat = false);
  // The key or button was let go (its repeats' releases aside).
  void Release(SwitchInput input);
  // The hold timer ran out: a switch still held down rings the bell.
  void HoldTick();
  // Told when the switch was held down for kBellHoldMs (Access/BellHold).
  void OnHeld(std::function<void()> handler) { onHeld_ = std::move(handler); }
  // With Access/ScanSpeak: told the short text to read aloud for the row or
  // cell the highlight reached.
  void OnSpeak(std::function<void(const std::string&)> handler) { onSpeak_ = std::move(handler); }
  bool Active() const { return active_; }
  bool Paused() const { return phase_ == Phase::Paused; }

  // Where the highlight is, for tests and the status line: on a row (cell
  // -1) or a cell. The row is a board row, -1 for the prediction row,
  // kShortcutRow for the shortcut line as a whole, or a list row when
  // inList. A cell of the shortcut line is the board cell it is.
  struct Mark {
    bool inList = false;
    int row = -1;
    int col = -1;
    bool operator==(const Mark&) const = default;
  };
  Mark Highlight() const;
  // The shortcut line's row in a Mark: the grid's fixed row, never a board row.
  static constexpr int kShortcutRow = 0;
  // A list of at most this many entries is stepped entry by entry, however
  // many rows it has (a kana's variants).
  static constexpr std::size_t kFewEntries = 6;

 private:
  enum class Phase { Rows, Cells, Paused };
  // A row of what is shown: board rows 1 to 7, -1 for the prediction row,
  // kShortcutRow for the shortcut line; a list's rows from 0.
  struct Line {
    int row;
    // The cells offering something, in scan order, each as a Mark places it
    // (the prediction row's as {cell, -1}).
    std::vector<CellPos> cells;
  };
  // The target a highlight stands for.
  Target TargetOf(const Mark& mark) const;
  ICellSurface& SurfaceOf(const Mark& mark) const;
  std::vector<Line> Lines() const;
  std::vector<Line> ListLines() const;
  // The shortcut line's cells on the board face on show (empty when the
  // setting is off or none of them is offered now).
  Line ShortcutLine() const;
  // The line at the highlight, if there is one.
  const Line* LineAt(const std::vector<Line>& lines) const;
  bool InList() const;
  void Restart();
  void Step();
  void Choose();
  void Draw();
  void Clear();
  void Describe();
  void StartTimer();
  // The index in `line` where its cells begin: the start cell's, on its row.
  int StartCellOf(const Line& line) const;
  // A press of the switch begins: the hold timer starts.
  void StartHold(SwitchInput input);

  ProgramState& state_;
  Ports p_;
  Selection& selection_;
  bool active_ = false;
  bool inList_ = false;  // the highlight began in a list
  Phase phase_ = Phase::Rows;
  int line_ = 0;                  // index into Lines()
  int cell_ = 0;                  // index into the line's cells
  int rounds_ = 0;                // rounds without a press: of the rows, or of the row's cells
  bool listRows_ = false;         // the list's rows are stepped first (more than one holds something)
  Mark drawn_;                    // where the highlight was last drawn
  std::optional<CellPos> start_;  // where the face on show starts, if not at its first row
  std::optional<SwitchInput> held_;  // the switch pressed and not yet let go
  std::function<void()> onHeld_;
  std::function<void(const std::string&)> onSpeak_;
  // What the highlight reached, read aloud briefly.
  void Speak(const Mark& mark);
};

}  // namespace velkor
