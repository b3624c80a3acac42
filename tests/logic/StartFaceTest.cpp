// The start face of the very first start: large choices that any input can
// reach, whatever mode the program starts in, stored at once.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/InputMode.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

using cp932::ToUtf8;

struct FirstStart {
  FakePlatform fake;
  MainForm form{fake.Get()};

  explicit FirstStart(bool noSettings = true) {
    fake.store.fileExists = !noSettings;
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
  }
  std::string Cell(int col, int row = 1) const { return ToUtf8(fake.sgd00.CellText(col, row)); }
  Point Centre(int col) const {
    const Rect r = fake.sgd00.CellRect(col, 1);
    return OnGrid(fake, r.left + r.width / 2, r.top + r.height / 2);
  }
  // Rests on a choice with a tremor of a pixel, arriving from beside it.
  void RestOn(int col, int ticks) {
    const Point c = Centre(col);
    PointerAt(fake, form, {c.x - 60, c.y});
    PointerAt(fake, form, c);
    for (int i = 0; i < ticks; ++i) {
      PointerAt(fake, form, {c.x + (i % 2), c.y + 1 - (i % 3)});
      form.Pointer().Tick();
    }
  }
  void Key(velkor::Key key) {
    form.Keys().KeyDown(key);
    form.Keys().KeyUp(key);
  }
  Settings& S() { return form.State().settings; }
};

// How each input chooses the second choice (注視で使う) on the start face
// of a program that starts in click mode.
enum class How { Click, Rest, ArrowKeys, ScanSpace };

void ChooseSecond(FirstStart& f, How how) {
  switch (how) {
    case How::Click:
      PointerAt(f.fake, f.form, f.Centre(2));
      PressAt(f.fake, f.form, f.Centre(2));
      break;
    case How::Rest: f.RestOn(2, 4); break;  // 2.0 s in half seconds
    case How::ArrowKeys:
      f.Key(Key::Right);
      f.Key(Key::Other);
      break;
    case How::ScanSpace:
      // Nothing for 5 s, then the highlight steps every 1.5 s.
      ASSERT_TRUE(f.fake.scanTimer.running);
      EXPECT_EQ(f.fake.scanTimer.interval, StartFace::kScanWaitMs);
      f.form.ScanTick();
      EXPECT_EQ(f.fake.scanTimer.interval, StartFace::kScanStepMs);
      f.form.ScanTick();
      EXPECT_EQ(f.fake.sgd00.scan, (std::pair{2, 1}));
      EXPECT_FALSE(f.form.SwitchPressed(SwitchInput::Space, false)) << "the keys' own, not the scanner's";
      f.Key(Key::Other);  // Space
      break;
  }
}

TEST(StartFace, EveryInputChoosesDwellOnTheFirstStartAndItIsStoredAtOnce) {
  for (How how : {How::Click, How::Rest, How::ArrowKeys, How::ScanSpace}) {
    SCOPED_TRACE(static_cast<int>(how));
    FirstStart f;
    ASSERT_TRUE(f.form.Start().Shown());
    EXPECT_FALSE(f.fake.tabC00.visible);
    EXPECT_EQ(f.Cell(1), "クリックで使う");
    EXPECT_EQ(f.Cell(4), "スイッチで使う");
    EXPECT_EQ(f.Cell(5), "");
    EXPECT_EQ(f.Cell(1, 2), "");
    // A quarter of the board area each, filling its height.
    EXPECT_GE(f.fake.sgd00.ColWidth(1) * 4, f.fake.sgd00.AreaWidth() - 8);
    EXPECT_GE(f.fake.sgd00.RowHeight(1), f.fake.sgd00.AreaHeight() - 8);
    ASSERT_TRUE(ClickModeOn(f.S()));

    const int writes = f.fake.store.writeOpens;
    ChooseSecond(f, how);
    EXPECT_TRUE(DwellModeOn(f.S()));
    EXPECT_FALSE(ClickModeOn(f.S()));
    EXPECT_EQ(f.S().DwellTenths(), 15);
    EXPECT_GT(f.fake.store.writeOpens, writes) << "stored at once";
    EXPECT_EQ(f.fake.store.Cp932("Option").substr(0, 6), "0,1.5,");
    // The size question follows.
    EXPECT_EQ(f.Cell(1), "大きいセル");
    EXPECT_EQ(f.Cell(2), "いまのまま");
    EXPECT_EQ(f.Cell(3), "");
    EXPECT_EQ(f.fake.memMain.text, "") << "nothing was written";
  }
}

// Resting counts 2.0 s on the start face whatever the dwell setting, and not
// less; a choice's status line says what it sets up.
TEST(StartFace, RestingTakesTwoSecondsAndTheStatusSaysWhatItSets) {
  FirstStart f;
  f.RestOn(3, 3);
  EXPECT_TRUE(ClickModeOn(f.S())) << "1.5 s is not yet a choice";
  EXPECT_EQ(ToUtf8(f.fake.pnlMsg.text), "矢印キーで動かし、ほかのキーで選ぶ");
  f.form.Pointer().Tick();
  EXPECT_TRUE(ArrowKeyModeOn(f.S()));
  // The size question appeared under the still pointer: nothing counts
  // there until the pointer moves to another choice.
  for (int i = 0; i < 10; ++i) f.form.Pointer().Tick();
  EXPECT_TRUE(f.form.Start().Shown());
}

TEST(StartFace, LargeCellsFillTwoThirdsOfAMaximisedWindowAndTheBoardFollows) {
  for (int size : {1, 2}) {
    SCOPED_TRACE(size);
    FirstStart f;
    f.Key(Key::Other);  // クリックで使う
    ASSERT_EQ(f.Cell(1), "大きいセル");
    if (size == 2) f.Key(Key::Right);
    f.Key(Key::Other);
    EXPECT_FALSE(f.form.Start().Shown());
    EXPECT_TRUE(f.fake.tabC00.visible);
    EXPECT_EQ(f.Cell(1), "あ");
    EXPECT_EQ(f.Cell(1, 6), "改~");
    EXPECT_GE(f.fake.sgd00.RowHeight(7), f.fake.sgd00.DefaultRowHeight()) << "the command rows come back";
    EXPECT_FALSE(f.fake.scanTimer.running);
    EXPECT_EQ(f.S().FitCells(), size == 1);
    EXPECT_EQ(f.fake.window.maximised, size == 1);
    EXPECT_EQ(f.fake.window.boardShare, size == 1 ? 67 : 0);
    EXPECT_EQ(f.fake.store.Cp932("Access/BoardShare"), size == 1 ? "67" : "");
  }
}

// A settings file written by an older version, or any earlier run, starts
// as before; the notice of where documents go is a box only without the
// start face, never one a user who cannot click yet must close.
TEST(StartFace, OnlyTheVeryFirstStartShowsItAndTheSettingsBoardShowsItAgain) {
  FirstStart before(false);
  EXPECT_FALSE(before.form.Start().Shown());
  EXPECT_EQ(before.Cell(1), "あ");
  EXPECT_FALSE(before.fake.window.maximised);
  EXPECT_EQ(before.fake.window.boardShare, 0);

  FirstStart first;
  EXPECT_TRUE(first.fake.window.messages.empty()) << "no box on the start face";

  // はじめ on the settings board.
  before.form.SettingsFace().Show();
  bool found = false;
  for (int col = 1; col <= 20 && !found; ++col) {
    for (int row = 1; row <= 7 && !found; ++row) {
      if (before.Cell(col, row) != "はじめ") continue;
      found = true;
      before.form.Select().Confirm({Place::SettingsBoard, {col, row}});
    }
  }
  ASSERT_TRUE(found);
  EXPECT_TRUE(before.form.Start().Shown());
  EXPECT_EQ(before.Cell(2), "注視で使う");
}

// 使い方 on the settings board opens the guide, as the menu's help does,
// and leaves the settings board where it was.
TEST(StartFace, TheSettingsBoardOpensTheGuide) {
  FirstStart f(false);
  f.form.SettingsFace().Show();
  EXPECT_EQ(f.Cell(19, 4), "使い方");
  EXPECT_EQ(ToUtf8(f.form.SettingsFace().Status(19, 4).text), "使い方のガイドを開く");
  ASSERT_TRUE(f.fake.shell.helpShown.empty());
  f.form.Select().Confirm({Place::SettingsBoard, {19, 4}});
  ASSERT_EQ(f.fake.shell.helpShown.size(), 1U);
  EXPECT_TRUE(f.form.SettingsFace().Shown());
}

// 拡大 with a share of the window's height set on the settings board.
TEST(StartFace, TheBoardShareAppliesOnlyWithLargeCells) {
  FirstStart f(false);
  SettingsBoard& board = f.form.SettingsFace();
  board.Set(SettingsBoard::Item::BoardShare, 75);
  EXPECT_EQ(f.fake.window.boardShare, 0) << "拡大 is off";
  board.Set(SettingsBoard::Item::FitCells, 1);
  EXPECT_EQ(f.fake.window.boardShare, 75);
  EXPECT_EQ(ToUtf8(board.Status(13, 4).text), "拡大のときの文字盤の高さを画面の半分にする");
  board.Choose(13, 4);
  EXPECT_EQ(f.fake.window.boardShare, 50);
  board.Set(SettingsBoard::Item::FitCells, 0);
  EXPECT_EQ(f.fake.window.boardShare, 0);
}

}  // namespace
}  // namespace velkor::testing
