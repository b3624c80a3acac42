// The settings board, opened by 設~: every setting is changed by selections
// alone, each change does what the status line promised, takes effect at
// once and is in the settings file at once; ☆~ brings the board back. The
// named settings fall back to their defaults when the file holds something
// they may not.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

struct BoardRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  BoardRig() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    fake.pointer.position = Point{150, 250};
  }
  // A click on board cell (col, row); the status line read just before.
  std::string Click(int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
    const std::string promised = U(fake.pnlMsg.text);
    PressAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
    return promised;
  }
  std::string Cell(int col, int row) const { return U(fake.sgd00.CellText(col, row)); }
  std::string Stored(const char* key) {
    const auto it = fake.store.values.find(key);
    return it == fake.store.values.end() ? std::string() : cp932::Utf16ToUtf8(it->second);
  }
  // The settings as the next start reads them.
  Settings Reloaded() {
    Settings s;
    s.Load(fake.store, SettingsEnvironment{});
    return s;
  }
};

TEST(SettingsBoard, OpensFromTheBoardAndLeavesWithTheStar) {
  BoardRig r;
  EXPECT_EQ(r.Cell(10, 7), "設~");
  EXPECT_EQ(r.Click(10, 7), "設定を変える");
  EXPECT_TRUE(r.form.SettingsFace().Shown());
  EXPECT_FALSE(r.fake.tabC00.visible);
  EXPECT_EQ(r.Cell(1, 1), "入力");
  EXPECT_EQ(r.Cell(2, 1), "●クリック") << "the mode in force is marked";
  EXPECT_EQ(r.Cell(9, 1), "1.0秒") << "shown even outside dwell mode";
  EXPECT_EQ(r.Cell(1, 7), "☆~");
  // A label changes nothing and says what the row is.
  EXPECT_EQ(r.Click(1, 1), "入力方法：クリック");
  EXPECT_TRUE(r.form.SettingsFace().Shown());
  EXPECT_EQ(r.Click(5, 7), "設定を終わる");
  EXPECT_FALSE(r.form.SettingsFace().Shown());
  EXPECT_TRUE(r.fake.tabC00.visible);
  EXPECT_EQ(r.Cell(10, 7), "設~");
}

TEST(SettingsBoard, TheInputModeIsChosenOnTheBoardAndTheMenuFollows) {
  BoardRig r;
  r.Click(10, 7);
  // Outside dwell the dwell time cannot be stepped, and says so.
  EXPECT_EQ(r.Click(10, 1), "注視時間：注視入力のときに変えられます");
  EXPECT_EQ(r.Click(3, 1), "入力方法を注視にする");
  EXPECT_TRUE(r.fake.window.IsChecked(Command::ModeDwell1));
  EXPECT_EQ(WriteCommaText(r.form.State().settings.optionList).substr(0, 6), "0,1,0,");
  EXPECT_EQ(r.Stored("Option").substr(0, 6), "0,1,0,") << "stored at once";
  EXPECT_EQ(r.Cell(3, 1), "●注視");

  // Dwell time in tenths: the menu ticks dwell, a whole second its item too.
  r.form.Modes().MnuEditClickClick();  // the rest by clicks
  r.form.State().settings.SetOption(option::kDwellSeconds, "1");
  r.form.SettingsFace().Show();
  EXPECT_EQ(r.Click(8, 1), "注視時間を0.9秒にする");
  EXPECT_EQ(r.form.State().settings.Option(option::kDwellSeconds), "0.9");
  EXPECT_TRUE(r.fake.window.IsChecked(Command::ModeDwell)) << "dwell is ticked";
  EXPECT_FALSE(r.fake.window.IsChecked(Command::ModeDwell1)) << "but no seconds item";
  EXPECT_EQ(r.Cell(9, 1), "0.9秒");
  EXPECT_EQ(r.Reloaded().Option(option::kDwellSeconds), "0.9");
  r.Click(10, 1);
  EXPECT_EQ(r.form.State().settings.Option(option::kDwellSeconds), "1");

  // Scanning: the other modes off, nothing ticked, scanning running.
  EXPECT_EQ(r.Click(5, 1), "入力方法を走査にする");
  EXPECT_TRUE(r.form.Scan().Active());
  EXPECT_FALSE(r.fake.window.IsChecked(Command::ModeClick));
  EXPECT_EQ(r.Stored(named::kScan), "1");
  EXPECT_TRUE(r.Reloaded().Scan());
  // The menu's click mode ends it again.
  r.form.Modes().MnuEditClickClick();
  EXPECT_FALSE(r.form.Scan().Active());
  EXPECT_EQ(r.Stored(named::kScan), "1") << "the menu's choice is stored at close, as before";
  EXPECT_FALSE(r.form.State().settings.Scan());
}

// Every −/+ setting: one step each way as promised, stored at once, read
// back at the next start; at the end of its range the cell does nothing and
// says so.
TEST(SettingsBoard, EveryStepDoesWhatTheStatusLineSaidAndIsStored) {
  const struct {
    int row, minus;  // the − cell; the value and + follow it
    const char* key;
    const char* before;
    const char* after;   // after +
    const char* status;  // over +
  } cases[] = {
      {1, 13, named::kDwellMemoryMs, "300", "400", "注視の記憶を0.4秒にする"},
      {1, 18, named::kDwellTolerancePx, "0", "2", "注視の許容範囲を2pxにする"},
      {2, 2, named::kRepeatMs, "0", "500", "注視の繰り返しを0.5秒にする"},
      {2, 7, named::kScanInterval, "1.5", "1.6", "走査の間隔を1.6秒にする"},
      {3, 2, named::kPredictionCells, "8", "8", "予測の数：8"},
      {5, 2, named::kBellVolume, "100", "100", "呼び出し音の音量：100%"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    BoardRig r;
    r.Click(10, 7);
    EXPECT_EQ(r.form.State().settings.Named(c.key), c.before);
    EXPECT_EQ(r.Click(c.minus + 2, c.row), c.status);
    EXPECT_EQ(r.form.State().settings.Named(c.key), c.after);
    if (std::string(c.before) != c.after) {
      EXPECT_EQ(r.Stored(c.key), c.after);
      EXPECT_EQ(r.Reloaded().Named(c.key), c.after);
    }
    r.Click(c.minus, c.row);
    r.Click(c.minus, c.row);
    const Settings again = r.Reloaded();
    EXPECT_NE(again.Named(c.key), c.after);
  }
  // Prediction cells down to none: the row goes.
  BoardRig r;
  r.Click(10, 7);
  for (int i = 0; i < 8; ++i) r.Click(2, 3);
  EXPECT_EQ(r.form.State().settings.PredictionCells(), 0);
  EXPECT_EQ(r.fake.predictionRow.CellCount(), 0);
  EXPECT_EQ(r.Click(2, 3), "予測の数：0");
  EXPECT_EQ(r.Stored(named::kPredictionCells), "0");

  // The board's font: two points a step, the cells follow.
  const int size = r.form.State().settings.CrtFont(crt::kBoardFontName).size;
  EXPECT_EQ(r.Click(18, 3), "文字盤の文字の大きさを" + std::to_string(size + 2) + "ptにする");
  EXPECT_EQ(r.fake.sgd00.Font().size, size + 2);
  EXPECT_EQ(r.Reloaded().CrtFont(crt::kBoardFontName).size, size + 2);
  // Speech: ten percent a step.
  EXPECT_EQ(r.Click(4, 4), "読み上げの速さを110%にする");
  EXPECT_EQ(r.Click(7, 4), "読み上げの音量を90%にする");
  EXPECT_EQ(r.Reloaded().SpeechPercent(option::kSpeechSpeed), 110);
  EXPECT_EQ(r.Reloaded().SpeechPercent(option::kSpeechVolume), 90);
}

TEST(SettingsBoard, SwitchesAndOnOffSettings) {
  BoardRig r;
  r.Click(10, 7);
  EXPECT_EQ(r.Click(15, 2), "走査のスイッチをマウスのボタンにする");
  EXPECT_EQ(r.Stored(named::kScanSwitch), "mouse");
  EXPECT_EQ(r.Cell(15, 2), "●マウス");
  EXPECT_EQ(r.Click(19, 2), "スイッチの数を2にする");
  EXPECT_TRUE(r.Reloaded().TwoSwitches());
  EXPECT_EQ(r.Click(7, 3), "かなを一度で入力を入にする");
  EXPECT_TRUE(r.Reloaded().QuickKana());
  EXPECT_EQ(r.Click(13, 3), "終了と印刷の確認を入にする");
  EXPECT_TRUE(r.Reloaded().ConfirmTwice());
  EXPECT_EQ(r.Cell(13, 3), "入");
  // The shortcut line is on from the start: its cell turns it off.
  EXPECT_EQ(r.Cell(19, 3), "近道");
  EXPECT_EQ(r.Cell(20, 3), "入");
  EXPECT_EQ(r.Click(19, 3), "走査の近道（゛~ 変~ 戻 BS~ 。 、）：入");
  EXPECT_EQ(r.Click(20, 3), "走査の近道（゛~ 変~ 戻 BS~ 。 、）を切にする");
  EXPECT_EQ(r.Stored(named::kScanShortcuts), "0");
  EXPECT_FALSE(r.Reloaded().ScanShortcuts());
  EXPECT_EQ(r.Cell(20, 3), "切");
  // Fitting the cells to the grid's room, here and on the board after it;
  // the prediction row above the grid (50 high once fitted) is one of the
  // rows that share it.
  r.fake.sgd00.areaWidth = 20 * 60 + 5;
  r.fake.sgd00.areaHeight = 7 * 50 + 5;
  r.fake.predictionRow.cellHeight = 50;
  EXPECT_EQ(r.Click(10, 3), "セルを広げるを入にする");
  EXPECT_EQ(r.fake.sgd00.ColWidth(1), 60);
  EXPECT_EQ(r.fake.sgd00.RowHeight(7), 50);
  EXPECT_EQ(r.fake.predictionRow.Height(), 50);
  r.Click(1, 7);
  EXPECT_EQ(r.fake.sgd00.ColWidth(20), 60);
  EXPECT_EQ(r.fake.sgd00.RowHeight(1), 50);
  EXPECT_EQ(r.Cell(13, 6), "゛~") << "quick kana's modifier on the board";
  // Grown cells are not the tab's own sizes: they are not stored.
  const std::string sizes = r.form.State().settings.crtList.at(crt::kTab0Sizes);
  r.form.Board().SaveTabSizes();
  EXPECT_EQ(r.form.State().settings.crtList.at(crt::kTab0Sizes), sizes);
  // A room smaller than the cells never shrinks them.
  r.fake.sgd00.areaWidth = 100;
  r.form.Board().FitCells();
  EXPECT_EQ(r.fake.sgd00.ColWidth(1), r.fake.sgd00.DefaultRowHeight());
  // Turned off, the command rows come back to their size with the board.
  r.form.State().settings.SetNamed(named::kFitCells, "0");
  r.form.Board().FillBoard();
  EXPECT_EQ(r.fake.sgd00.RowHeight(7), r.fake.sgd00.DefaultRowHeight());
}

// What the file holds for each named access setting, and what is read.
TEST(SettingsBoard, BadStoredValuesFallBackToTheirDefaults) {
  const struct {
    const char* key;
    const char* good;
    std::vector<const char*> bad;
    const char* fallback;
  } cases[] = {
      {named::kDwellMemoryMs, "1200", {"-1", "2001", "0.3", "abc"}, "300"},
      {named::kDwellTolerancePx, "12", {"-2", "201", "x"}, "0"},
      {named::kRepeatMs, "750", {"-5", "60001", "1.5"}, "0"},
      {named::kScanInterval, "0.5", {"0.4", "10.1", "1.55", "1.", ".5", "-1"}, "1.5"},
      {named::kScanSwitch, "any-key", {"Space", "key", ""}, "space"},
      {named::kScanSwitches, "2", {"3", "0", "two"}, "1"},
      {named::kScan, "1", {"2", "yes"}, "0"},
      {named::kFitCells, "1", {"on"}, "0"},
      {named::kPredictionCells, "3", {"9", "-1"}, "8"},
      {named::kBellVolume, "40", {"101", "-1", "50%", ""}, "100"},
      {named::kBellHold, "0", {"2", "off"}, "1"},
      {named::kSpeakSentenceEnd, "1", {"yes", "2"}, "0"},
      {named::kWriteSentence, "1", {"on"}, "0"},
      {named::kScanSpeak, "1", {"on"}, "0"},
      {named::kScanShortcuts, "0", {"off", "2"}, "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    std::vector<const char*> values = c.bad;
    values.push_back(c.good);
    for (const char* value : values) {
      FakeSettingsStore store;
      store.values["Option"] = u"1,0,0,1,0,0,0,0,0,0";
      store.values[c.key] = cp932::Utf8ToUtf16(value);
      Settings s;
      s.Load(store, SettingsEnvironment{});
      EXPECT_EQ(s.Named(c.key), value == c.good ? c.good : c.fallback) << value;
    }
  }
  // An older file without them: defaults, and written back without them.
  FakeSettingsStore store;
  store.values["Option"] = u"0,2,0,1,0,0,0,0,0,0";
  Settings s;
  s.Load(store, SettingsEnvironment{});
  EXPECT_EQ(s.DwellMemoryMs(), 300);
  EXPECT_EQ(s.ScanIntervalMs(), 1500);
  EXPECT_EQ(s.ScanSwitchKind(), ScanSwitch::Space);
  EXPECT_FALSE(s.Scan());
  EXPECT_EQ(s.DwellTenths(), 20);
  EXPECT_EQ(s.BellVolume(), 100);
  EXPECT_TRUE(s.BellHold());
  EXPECT_FALSE(s.SpeakSentenceEnd());
  EXPECT_TRUE(s.ScanShortcuts()) << "the shortcut line, for older files too";
  s.Write(store);
  for (const auto& c : cases) EXPECT_EQ(store.values.count(c.key), 0u) << c.key;
}

}  // namespace
}  // namespace velkor::testing
