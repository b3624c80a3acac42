// The one dwell tracker over every surface, with the fakes and a scripted
// clock: whatever changes under a still, trembling pointer, nothing counts
// until the pointer enters another cell; then it counts as ever, with dwell
// memory and tolerance; the status line and the count mark follow the
// pointer. And every input source makes the same confirmation of a cell.
#include <gtest/gtest.h>

#include <functional>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

struct TrackerRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  explicit TrackerRig(const char* option = "0,1,0,1,0,0,0,0,0,0") {  // dwell, 1 s
    fake.store.SetCp932("Option", option);
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    fake.converter.script[Sj("さんをよんで")] = {
        {Sj("さんを"), {Sj("さんを"), Sj("三を")}},
        {Sj("よんで"), {Sj("呼んで"), Sj("読んで")}},
    };
  }
  Point Centre(int col, int row) const {
    const Rect r = fake.sgd00.CellRect(col, row);
    return OnGrid(fake, r.left + r.width / 2, r.top + r.height / 2);
  }
  Point ListCentre(int col, int row) const {
    const FakeVariantList& l = fake.sgd01;
    return OnList(fake, 5 + col * l.cellWidth + l.cellWidth / 2, 5 + row * l.cellHeight + l.cellHeight / 2);
  }
  void Move(Point at) { PointerAt(fake, form, at); }
  // Rests at `at` for `ms` with a tremor of ±2 pixels every 50 ms, as the
  // timer ticks while it runs; the clock runs with it.
  void Rest(Point at, int ms) {
    static const Point kShake[] = {{1, 0}, {0, 1}, {-1, 1}, {-2, 0}, {0, -2}, {2, -1}, {0, 0}, {2, 2}, {-2, -1}};
    int sinceTick = 0;
    for (int t = 50, i = 0; t <= ms; t += 50, ++i) {
      Move({at.x + kShake[i % 9].x, at.y + kShake[i % 9].y});
      fake.clock.now += 50;
      sinceTick += 50;
      if (sinceTick >= fake.tmrInput0.interval) {
        sinceTick = 0;
        if (fake.tmrInput0.running) form.Pointer().Tick();
      }
    }
  }
  std::string Text() const { return U(fake.memMain.text); }
  std::string Status() const { return U(fake.pnlMsg.text); }
};

// Every kind of change under a resting, trembling pointer: for five seconds
// nothing is confirmed and no count runs; a move into another cell then
// counts as ever.
TEST(DwellTracker, NothingCountsThatAppearedUnderAStillPointer) {
  const struct {
    const char* name;
    // Puts the pointer somewhere and changes what lies under it; returns
    // the text expected meanwhile.
    std::function<void(TrackerRig&)> change;
  } cases[] = {
      {"a list opens",
       [](TrackerRig& r) {
         r.Move(r.Centre(2, 1));
         r.Rest(r.Centre(2, 1), 1000);  // か: its list opens under the pointer
         ASSERT_TRUE(r.fake.sgd01.visible);
       }},
      {"the conversion list is refilled",
       [](TrackerRig& r) {
         r.fake.memMain.Type(Sj("さんをよんで"));
         r.form.Select().Confirm({Place::Board, {11, 6}});
         r.Move(r.ListCentre(1, 2));
         r.Move(r.ListCentre(0, 2));
         r.Rest(r.ListCentre(0, 2), 1000);  // さんを: the list refills, 呼んで under the pointer
         ASSERT_EQ(r.Text(), "さんをよんで");
         ASSERT_TRUE(r.form.Converting().Active());
       }},
      {"a list closes",
       [](TrackerRig& r) {
         r.form.Select().Confirm({Place::Board, {2, 1}});
         r.Move(r.ListCentre(1, 1));
         r.form.Select().LeaveList();  // the board cell below is uncovered
       }},
      {"the board changes face",
       [](TrackerRig& r) {
         r.Move(r.Centre(10, 7));
         r.Rest(r.Centre(10, 7), 1000);  // 設~: the settings board comes
         ASSERT_TRUE(r.form.SettingsFace().Shown());
       }},
      {"the prediction row is refilled under it",
       [](TrackerRig& r) {
         r.fake.predictor.completions["か"] = {"蚊", "火"};
         r.form.Select().InsertText(Sj("か"));
         r.Move(OnRow(r.fake, 150, 20));
         r.fake.predictor.completions["かか"] = {"書か", "描か"};
         r.form.Select().InsertText(Sj("か"));
       }},
      {"a window over the board goes",
       [](TrackerRig& r) {
         r.Move(r.Centre(18, 1));
         r.form.ShownChanged(std::nullopt);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TrackerRig r;
    c.change(r);
    const Point at = r.fake.pointer.position.value();
    const std::string before = r.Text();
    const bool listBefore = r.fake.sgd01.visible;
    EXPECT_TRUE(r.form.Pointer().Held());
    r.Rest(at, 5000);
    EXPECT_EQ(r.Text(), before) << "nothing chosen under the still pointer";
    EXPECT_EQ(r.fake.sgd01.visible, listBefore);
    EXPECT_FALSE(r.fake.tmrInput0.running);
    EXPECT_TRUE(r.fake.sgd00.dwell.empty() && r.fake.sgd01.dwell.empty() && r.fake.predictionRow.dwell.empty());
    // The status line describes what is under the pointer now.
    const auto under = r.form.Pointer().Under();
    ASSERT_TRUE(under.has_value());
    EXPECT_EQ(r.Status(), U(r.form.Select().Describe(*under).text));
    // Another cell, well beyond the tremor, counts.
    const Point away{at.x + 100, at.y};
    r.Move(away);
    EXPECT_FALSE(r.form.Pointer().Held());
    if (r.form.Select().Offers(*r.form.Pointer().Under())) {
      EXPECT_TRUE(r.fake.tmrInput0.running);
    }
  }
}

// After さんを was chosen the list holds 呼んで under the pointer: resting
// there does not commit it; moving to it from another entry does.
TEST(DwellTracker, ARefilledConversionListCommitsOnlyWhatThePointerMovedTo) {
  TrackerRig r;
  r.fake.memMain.Type(Sj("さんをよんで"));
  r.form.Select().Confirm({Place::Board, {11, 6}});
  r.Move(r.ListCentre(1, 2));
  r.Move(r.ListCentre(0, 2));
  r.Rest(r.ListCentre(0, 2), 1000);
  ASSERT_EQ(r.form.Select().Describe({Place::List, {0, 2}}).text, Sj("「呼んで」を入力"));
  r.Rest(r.ListCentre(0, 2), 3000);
  EXPECT_EQ(r.Text(), "さんをよんで");
  r.Move(r.ListCentre(1, 3));
  r.Move(r.ListCentre(0, 2));
  r.Rest(r.ListCentre(0, 2), 1000);
  EXPECT_EQ(r.Text(), "さんを呼んで");
  EXPECT_FALSE(r.form.Converting().Active());
}

// The status line and the count mark belong to the cell under the pointer:
// taken off a cell it left, never left behind; beside the cells nothing.
TEST(DwellTracker, TheStatusLineAndTheMarkFollowThePointer) {
  TrackerRig r;
  r.Move(r.Centre(18, 1));
  r.Rest(r.Centre(18, 1), 600);
  EXPECT_EQ(r.Status(), "「＋」を入力");
  EXPECT_EQ(r.fake.sgd00.dwell.count({18, 1}), 1u);
  r.Move(r.Centre(19, 1));
  EXPECT_EQ(r.Status(), "「0」を入力");
  EXPECT_EQ(r.fake.sgd00.dwell.count({18, 1}), 0u);
  r.Rest(r.Centre(19, 1), 1000);
  EXPECT_EQ(r.Text(), "0");
  EXPECT_EQ(r.fake.sgd00.marks.done.count({19, 1}), 1u);
  EXPECT_EQ(r.Status(), "もう一度は、いったん離れてから");
  r.Move({r.Centre(19, 1).x, 1000});  // off every surface
  EXPECT_EQ(r.Status(), "");
  EXPECT_TRUE(r.fake.sgd00.marks.done.empty());
  EXPECT_TRUE(r.fake.sgd00.dwell.empty());
}

// Dwell memory and tolerance work as before under the one tracker.
TEST(DwellTracker, MemoryAndToleranceStillWork) {
  {
    TrackerRig r;
    r.Move(r.Centre(18, 1));
    r.Rest(r.Centre(18, 1), 500);  // one tick of two
    r.Move(r.Centre(19, 1));
    r.fake.clock.now += 100;  // back within the 300 ms of memory
    r.Move(r.Centre(18, 1));
    r.form.Pointer().Tick();
    EXPECT_EQ(r.Text(), "＋") << "the count went on where it stopped";
  }
  {
    TrackerRig r;
    r.form.State().settings.SetNamed(named::kDwellTolerancePx, "10");
    const Rect plus = r.fake.sgd00.CellRect(18, 1);
    const Point nearBorder = OnGrid(r.fake, plus.left + plus.width - 2, plus.top + 10);
    r.Move(r.Centre(17, 1));
    r.Move(nearBorder);
    r.Rest(nearBorder, 1000);  // the tremor crosses into "0" and back
    EXPECT_EQ(r.Text(), "＋");
  }
}

// ゛~ turns the character before the caret again after every further dwell
// time of resting on it, each turn one change, and says what it will give.
TEST(DwellTracker, TheModifierTurnsAgainWhileRestedOn) {
  TrackerRig r;
  r.form.State().settings.SetNamed(named::kQuickKana, "1");
  r.form.Board().FillBoard();
  r.form.Select().InsertText(Sj("よ"));
  r.Move(r.Centre(12, 6));
  r.Move(r.Centre(13, 6));
  EXPECT_EQ(r.Status(), "ょ にする");
  const int entries = r.form.UndoLog().Count();
  r.Rest(r.Centre(13, 6), 1000);
  EXPECT_EQ(r.Text(), "ょ");
  EXPECT_EQ(r.Status(), "ヨ にする");
  r.Rest(r.Centre(13, 6), 1000);
  EXPECT_EQ(r.Text(), "ヨ");
  EXPECT_EQ(r.form.UndoLog().Count(), entries + 2);
}

// The same cell confirmed by a click, by dwell, by the arrow keys and by one
// switch does the same: the same text written, the same list opened, the
// same command run.
TEST(InputSources, EachSourceMakesTheSameConfirmationOfACell) {
  enum class Source { Click, Dwell, Keys, Switch };
  const struct {
    CellPos cell;
    const char* text;  // written
    bool list;         // a list opened
    bool slotBoard;    // the slot board shown
  } cells[] = {
      {{18, 1}, "＋", false, false},
      {{2, 1}, "", true, false},
      {{1, 6}, "\r\n", false, false},
      {{4, 7}, "", false, true},
  };
  for (const auto& cell : cells) {
    for (const Source source : {Source::Click, Source::Dwell, Source::Keys, Source::Switch}) {
      SCOPED_TRACE(std::string(cell.text) + " by " + std::to_string(static_cast<int>(source)));
      const char* option = source == Source::Click  ? "1,0,0,1,0,0,0,0,0,0"
                           : source == Source::Keys ? "0,0,1,1,0,0,0,0,0,0"
                                                    : "0,1,0,1,0,0,0,0,0,0";
      TrackerRig r(option);
      r.form.State().settings.SetNamed(named::kPredictionCells, "0");
      r.form.Row().Refresh();
      switch (source) {
        case Source::Click:
          r.Move(r.Centre(cell.cell.col, cell.cell.row));
          PressAt(r.fake, r.form, r.Centre(cell.cell.col, cell.cell.row));
          break;
        case Source::Dwell:
          r.Move(r.Centre(cell.cell.col, cell.cell.row));
          r.Rest(r.Centre(cell.cell.col, cell.cell.row), 1000);
          break;
        case Source::Keys:
          r.fake.sgd00.SetCol(cell.cell.col);
          r.fake.sgd00.SetRow(cell.cell.row);
          r.form.Keys().KeyDown(Key::Other);
          r.form.Keys().KeyUp(Key::Other);
          break;
        case Source::Switch: {
          r.form.State().settings.SetNamed(named::kScan, "1");
          r.form.Scan().Follow();
          for (int i = 0; i < 20 && r.form.Scan().Highlight().row != cell.cell.row; ++i) r.form.Scan().Tick();
          r.form.SwitchPressed(SwitchInput::Space, false);
          for (int i = 0; i < 40 && r.form.Scan().Highlight().col != cell.cell.col; ++i) r.form.Scan().Tick();
          r.form.SwitchPressed(SwitchInput::Space, false);
          break;
        }
      }
      EXPECT_EQ(r.Text(), U(Sj(cell.text)));
      EXPECT_EQ(r.fake.sgd01.visible, cell.list);
      EXPECT_EQ(r.form.Slots().Shown(), cell.slotBoard);
    }
  }
}

}  // namespace
}  // namespace velkor::testing
