// The dwell count drawn inside the cell it runs on: empty when the pointer
// arrives, half full half-way, full when the cell is confirmed; taken off a
// cell the pointer left; on the board, the list and the prediction row.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U8(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

struct DwellRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  DwellRig() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    form.Modes().MnuEditM10Click();  // dwell, 1 s
    fake.pointer.position = Point{150, 250};
  }
  void MoveTo(int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
  }
  void Tick() {
    fake.clock.now += fake.tmrInput0.interval;
    if (fake.tmrInput0.running) form.Pointer().Tick();
  }
  int Board(int col, int row) const {
    const auto it = fake.sgd00.dwell.find({col, row});
    return it == fake.sgd00.dwell.end() ? 0 : it->second;
  }
};

TEST(DwellFeedback, TheCountFillsTheCellItRunsOnAndLeavesTheCellsLeft) {
  DwellRig r;
  r.MoveTo(19, 1);  // "0": inserted at once when confirmed
  EXPECT_EQ(r.Board(19, 1), 0) << "nothing yet";
  r.Tick();
  EXPECT_EQ(r.Board(19, 1), 50);
  EXPECT_EQ(r.form.Pointer().Percent(), 50);
  // Moving on takes the count off the cell left; the new one starts empty.
  r.MoveTo(20, 1);
  EXPECT_EQ(r.Board(19, 1), 0);
  EXPECT_TRUE(r.fake.sgd00.dwell.empty());
  r.Tick();
  r.Tick();
  EXPECT_EQ(r.Board(20, 1), 0) << "the count gives way to the done mark";
  EXPECT_EQ(r.fake.sgd00.marks.done.count({20, 1}), 1u);
  EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "5");
  // A dwell time of 2 s fills a quarter a tick.
  r.form.Modes().MnuEditM20Click();
  r.MoveTo(19, 1);
  r.Tick();
  EXPECT_EQ(r.Board(19, 1), 25);
  EXPECT_EQ(r.Board(20, 1), 0);
  // Beside the cells nothing is drawn.
  PointerAt(r.fake, r.form, OnGrid(r.fake, 100000, 10));
  EXPECT_TRUE(r.fake.sgd00.dwell.empty());
}

TEST(DwellFeedback, TheListAndThePredictionRowShowTheirCountsToo) {
  DwellRig r;
  r.MoveTo(2, 1);  // か: its list
  r.Tick();
  r.Tick();
  ASSERT_TRUE(r.fake.sgd01.visible);
  // The list under the still pointer counts nothing; a move starts it.
  r.fake.pointer.position = Point{160, 260};
  PointerAt(r.fake, r.form, OnList(r.fake, 6, 6));
  r.Tick();
  ASSERT_EQ(r.fake.sgd01.dwell.size(), 1u);
  EXPECT_EQ(r.fake.sgd01.dwell.begin()->second, 50);
  r.Tick();
  EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "か");

  r.fake.predictor.completions["か"] = {"蚊"};
  r.form.Row().Refresh();
  r.fake.pointer.position = Point{170, 250};
  PointerAt(r.fake, r.form, OnRow(r.fake, 50, 20));
  r.Tick();
  ASSERT_EQ(r.fake.predictionRow.dwell.count(0), 1u);
  EXPECT_EQ(r.fake.predictionRow.dwell.at(0), 50);
  EXPECT_TRUE(r.fake.sgd01.dwell.empty()) << "taken off the list";
  r.Tick();
  EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "蚊");
}

// A tremor across a cell border: with no tolerance (the default) the count
// starts again on the other cell; within the tolerance it goes on, on the
// cell where it began, and confirms that cell; beyond it the cell changes.
TEST(DwellTolerance, ATremorWithinTheToleranceStaysOnTheCellTheCountBeganOn) {
  for (const int tolerance : {0, 10}) {
    SCOPED_TRACE(tolerance);
    DwellRig r;
    r.form.State().settings.SetNamed(named::kDwellTolerancePx, std::to_string(tolerance));
    const Rect zero = r.fake.sgd00.CellRect(19, 1);  // "0"
    const Rect five = r.fake.sgd00.CellRect(20, 1);  // "5"
    const int y = zero.top + 1;
    r.fake.pointer.position = Point{300, 250};
    PointerAt(r.fake, r.form, OnGrid(r.fake, zero.left + zero.width - 2, y));
    r.Tick();
    // 4 pixels to the right: over the border, onto "5".
    r.fake.pointer.position = Point{304, 250};
    PointerAt(r.fake, r.form, OnGrid(r.fake, five.left + 2, y));
    r.Tick();
    if (tolerance == 0) {
      EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "") << "the count started again on 5";
      r.Tick();
      EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "5");
    } else {
      EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "0") << "the count went on, on 0";
      EXPECT_EQ(r.fake.sgd00.Col(), 19);
      // 12 pixels away is a move: the cell under the pointer counts.
      r.fake.pointer.position = Point{312, 250};
      PointerAt(r.fake, r.form, OnGrid(r.fake, five.left + 10, y));
      r.Tick();
      r.Tick();
      EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "05");
    }
  }
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// 休~ suspends every confirmation but its own, in each input mode, and the
// status line says so until it is confirmed again.
// Resting with a dwell tolerance: the pointer leaves 休~ for another cell,
// where no count is drawn, and comes back to where it began: 休~ resumes.
TEST(PauseCell, WithAToleranceTheWayBackToThePauseCellStaysOpen) {
  DwellRig r;
  r.form.State().settings.SetNamed(named::kDwellTolerancePx, "8");
  const Rect pause = r.fake.sgd00.CellRect(9, 7);
  const Rect zero = r.fake.sgd00.CellRect(19, 1);
  const auto restOn = [&r](const Rect& cell, Point screen) {
    r.fake.pointer.position = screen;
    PointerAt(r.fake, r.form, OnGrid(r.fake, cell.left + 1, cell.top + 1));
    r.Tick();
    r.Tick();
  };
  restOn(pause, Point{200, 400});
  ASSERT_TRUE(r.form.Select().Paused());
  restOn(zero, Point{500, 250});
  EXPECT_TRUE(r.fake.sgd00.dwell.empty()) << "no count drawn on a suspended cell";
  EXPECT_EQ(r.fake.memMain.text, "");
  restOn(pause, Point{200, 400});
  EXPECT_FALSE(r.form.Select().Paused()) << "resumed";
}

TEST(PauseCell, RestingSuspendsEveryConfirmationButItsOwnInEachMode) {
  enum class Mode { Click, Dwell, Keys };
  for (const Mode mode : {Mode::Click, Mode::Dwell, Mode::Keys}) {
    SCOPED_TRACE(static_cast<int>(mode));
    DwellRig r;
    if (mode == Mode::Click) r.form.Modes().MnuEditClickClick();
    if (mode == Mode::Keys) r.form.Modes().MnuEditYaClick();
    r.fake.predictor.completions["か"] = {"蚊"};
    // Confirms board cell (col, row) the way the mode does.
    const auto confirm = [&](int col, int row) {
      if (mode == Mode::Keys) {
        r.fake.sgd00.SetCol(col);
        r.fake.sgd00.SetRow(row);
        r.form.Keys().KeyDown(Key::Other);
        r.form.Keys().KeyUp(Key::Other);
        return;
      }
      r.MoveTo(col, row);
      if (mode == Mode::Click) {
        const Rect cell = r.fake.sgd00.CellRect(col, row);
        PressAt(r.fake, r.form, OnGrid(r.fake, cell.left + 1, cell.top + 1));
      } else {
        r.Tick();
        r.Tick();
      }
    };
    EXPECT_EQ(U8(r.fake.sgd00.CellText(9, 7)), "休~");
    confirm(9, 7);
    EXPECT_EQ(U8(r.fake.pnlMsg.message), "休止中");
    if (mode == Mode::Click) {
      EXPECT_EQ(U8(r.fake.pnlMsg.text), "入力を再開");
    }
    if (mode == Mode::Dwell) {
      EXPECT_EQ(U8(r.fake.pnlMsg.text), "もう一度は、いったん離れてから");
    }
    confirm(19, 1);  // "0"
    EXPECT_EQ(U8(r.fake.memMain.text), "") << "suspended";
    EXPECT_EQ(U8(r.fake.pnlMsg.message), "休止中");
    if (mode == Mode::Dwell) {
      EXPECT_FALSE(r.fake.tmrInput0.running) << "no count runs on other cells";
    }
    confirm(9, 7);
    EXPECT_EQ(U8(r.fake.pnlMsg.message), "");
    confirm(19, 1);
    EXPECT_EQ(U8(r.fake.memMain.text), "0") << "resumed";
  }
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// With Access/ConfirmTwice, in dwell mode 終~ and 印~ take a second
// confirmation on the cell itself, which reads もう一度で終了 (もう一度で印刷)
// in between; any other confirmation gives it up. In click mode, or with the
// setting left alone, one confirmation acts, as before.
TEST(TwoStepQuit, QuitAndPrintTakeASecondConfirmationOnTheCellInDwellMode) {
  DwellRig r;
  r.form.State().settings.SetNamed(named::kConfirmTwice, "1");
  const auto dwellOn = [&r](int col, int row) {
    r.MoveTo(19, 2);  // away first, so that the count starts afresh
    r.MoveTo(col, row);
    r.Tick();
    r.Tick();
  };
  dwellOn(8, 7);  // 終~
  EXPECT_EQ(U8(r.fake.sgd00.CellText(8, 7)), "もう一度で終了");
  EXPECT_EQ(U8(r.fake.pnlMsg.text), "もう一度は、いったん離れてから");
  r.MoveTo(19, 2);
  r.MoveTo(8, 7);
  EXPECT_EQ(U8(r.fake.pnlMsg.text), "もう一度で終了") << "what the second confirmation does";
  EXPECT_EQ(r.fake.window.closeRequests, 0);
  dwellOn(19, 1);  // "0": gives it up
  EXPECT_EQ(U8(r.fake.sgd00.CellText(8, 7)), "終~");
  EXPECT_EQ(U8(r.fake.memMain.text), "0");
  dwellOn(8, 7);
  dwellOn(8, 7);
  EXPECT_EQ(r.fake.window.closeRequests, 1) << "the second confirmation quits";
  EXPECT_EQ(U8(r.fake.sgd00.CellText(8, 7)), "終~");

  dwellOn(7, 7);  // 印~
  EXPECT_EQ(U8(r.fake.sgd00.CellText(7, 7)), "もう一度で印刷");
  EXPECT_TRUE(r.fake.printer.jobs.empty());
  dwellOn(7, 7);
  EXPECT_EQ(r.fake.printer.jobs.size(), 1u) << "the board prints at once, as before";

  // Click mode: at once.
  r.form.Modes().MnuEditClickClick();
  const Rect quit = r.fake.sgd00.CellRect(8, 7);
  PointerAt(r.fake, r.form, OnGrid(r.fake, quit.left + 1, quit.top + 1));
  PressAt(r.fake, r.form, OnGrid(r.fake, quit.left + 1, quit.top + 1));
  EXPECT_EQ(r.fake.window.closeRequests, 2);
  // Dwell mode with the setting left alone: at once.
  r.form.Modes().MnuEditM10Click();
  r.form.State().settings.SetNamed(named::kConfirmTwice, "0");
  dwellOn(8, 7);
  EXPECT_EQ(r.fake.window.closeRequests, 3);
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// With Access/RepeatMs, a board cell still dwelt on after its confirmation
// confirms again every so often (BS~ deletes on); moving off stops it. Left
// alone (0), one confirmation a dwell, as designed; 休~ never repeats.
TEST(DwellRepeat, ACellStillDweltOnConfirmsAgainEveryRepeatTime) {
  for (const char* repeat : {"0", "1000"}) {
    SCOPED_TRACE(repeat);
    DwellRig r;
    r.form.State().settings.SetNamed(named::kRepeatMs, repeat);
    r.fake.memMain.text = "abcdef";
    r.fake.memMain.selStart = 6;
    r.MoveTo(8, 6);  // BS~
    for (int tick = 0; tick < 6; ++tick) r.Tick();
    if (std::string(repeat) == "0") {
      EXPECT_EQ(r.fake.memMain.text, "abcde");
      EXPECT_FALSE(r.fake.tmrInput0.running);
    } else {
      EXPECT_EQ(r.fake.memMain.text, "abc") << "at 1 s, then every second";
      r.MoveTo(19, 2);  // away: the repeat stops, a new count starts
      r.MoveTo(8, 6);
      r.Tick();
      EXPECT_EQ(r.fake.memMain.text, "abc");
    }
  }
  DwellRig r;
  r.form.State().settings.SetNamed(named::kRepeatMs, "500");
  r.MoveTo(9, 7);  // 休~
  for (int tick = 0; tick < 6; ++tick) r.Tick();
  EXPECT_TRUE(r.form.Select().Paused()) << "confirmed once, not toggled back and forth";
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

TEST(DwellMemory, ACellLeftForAMomentGoesOnCountingAndOneLeftLongerStartsAfresh) {
  DwellRig r;
  r.form.Modes().MnuEditM20Click();  // 2 s: four ticks
  r.MoveTo(19, 1);                   // "0"
  r.Tick();
  r.Tick();
  EXPECT_EQ(r.Board(19, 1), 50);
  // A tremor over the border and back within 300 ms: the count goes on.
  r.fake.clock.now += 120;
  r.MoveTo(20, 1);
  EXPECT_EQ(r.Board(19, 1), 0) << "the cell left shows no count";
  r.fake.clock.now += 120;
  r.MoveTo(19, 1);
  EXPECT_EQ(r.Board(19, 1), 50) << "resumed where it stopped";
  r.Tick();
  r.Tick();
  EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "0") << "confirmed at 2 s of dwelling in all";

  // Away for 300 ms or more: the count starts afresh.
  r.MoveTo(17, 2);
  r.Tick();
  r.Tick();
  r.MoveTo(18, 2);
  r.fake.clock.now += 300;
  r.MoveTo(17, 2);
  EXPECT_EQ(r.Board(17, 2), 0);
  r.Tick();
  EXPECT_EQ(r.Board(17, 2), 25);

  // A count that confirmed is not resumed: coming back counts the whole
  // dwell time again, so a cell is never confirmed twice by a tremor.
  r.form.Modes().MnuEditM10Click();
  r.MoveTo(17, 3);
  r.Tick();
  r.Tick();
  const std::string written = cp932::ToUtf8(r.fake.memMain.text);
  r.MoveTo(18, 3);
  r.MoveTo(17, 3);
  EXPECT_EQ(r.Board(17, 3), 0);
  r.Tick();
  EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), written);

  // A dwell memory of 0 never resumes.
  r.form.State().settings.SetNamed(named::kDwellMemoryMs, "0");
  r.form.Modes().MnuEditM20Click();
  r.MoveTo(19, 1);
  r.Tick();
  r.MoveTo(20, 1);
  r.MoveTo(19, 1);
  EXPECT_EQ(r.Board(19, 1), 0);
}

// Dwell times in tenths of a second count in 100 ms ticks and confirm at
// that time; whole seconds keep their half-second ticks.
TEST(DwellTenths, ATimeInTenthsConfirmsAtThatTime) {
  for (const char* slot : {"0.3", "1.2", "4.9"}) {
    SCOPED_TRACE(slot);
    DwellRig r;
    r.form.State().settings.SetOption(option::kDwellSeconds, slot);
    const int tenths = *ParseTenths(slot, 3, 50);
    r.MoveTo(19, 1);
    EXPECT_EQ(r.fake.tmrInput0.interval, 100);
    for (int t = 1; t < tenths; ++t) r.Tick();
    EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "");
    EXPECT_EQ(r.Board(19, 1), 100 * (tenths - 1) / tenths);
    r.Tick();
    EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "0");
  }
  DwellRig r;
  r.form.State().settings.SetOption(option::kDwellSeconds, "1.5");
  r.MoveTo(19, 1);
  EXPECT_EQ(r.fake.tmrInput0.interval, 500) << "half seconds keep the half-second tick";
  r.Tick();
  r.Tick();
  EXPECT_EQ(U8(r.fake.pnlMsg.timeText), "1.0秒");
  r.Tick();
  EXPECT_EQ(cp932::ToUtf8(r.fake.memMain.text), "0");
}

}  // namespace
}  // namespace velkor::testing
