// Scanning with one switch (or two), driven by a scripted clock: the scan
// timer's ticks are called by hand. The highlight steps over the rows, a
// press chooses a row and then a cell, exactly as a confirmation of it; lists
// are scanned entry by entry; rows passed without a press give way, and
// three empty rounds pause scanning until the next press.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

struct ScanRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  explicit ScanRig(const char* switches = "1") {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.State().settings.SetNamed(named::kPredictionCells, "0");
    form.State().settings.SetNamed(named::kScan, "1");
    form.State().settings.SetNamed(named::kScanSwitches, switches);
    form.FormShow();
  }
  Scanner& Scan() { return form.Scan(); }
  void Tick() {
    if (fake.scanTimer.running) Scan().Tick();
  }
  bool Press(SwitchInput input = SwitchInput::Space) { return form.SwitchPressed(input, false); }
  // One switch: waits for the row, presses, waits for the cell, presses.
  void Choose(int row, int col) {
    for (int i = 0; i < 20 && Scan().Highlight().row != row; ++i) Tick();
    ASSERT_EQ(Scan().Highlight().row, row);
    Press();
    for (int i = 0; i < 40 && Scan().Highlight().col != col; ++i) Tick();
    ASSERT_EQ(Scan().Highlight().col, col);
    Press();
  }
  std::string Text() const { return U(fake.memMain.text); }
};

TEST(Scanning, RowThenCellThenTheVariantListWritesA) {
  ScanRig r;
  ASSERT_TRUE(r.Scan().Active());
  EXPECT_TRUE(r.fake.scanTimer.running);
  EXPECT_EQ(r.fake.scanTimer.interval, 1500);
  // The first row is highlighted whole.
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "この行を選ぶ");
  r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 2}));
  r.Tick();
  r.Tick();
  r.Tick();
  r.Tick();
  r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 7}));
  r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1})) << "round again from the first row";

  // The row: its first cell; the status line says what a press does there.
  EXPECT_TRUE(r.Press());
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{1, 1}));
  EXPECT_EQ(r.fake.sgd00.Col(), 1);
  EXPECT_EQ(r.Text(), "");
  // The cell: its list opens, scanned from its first entry.
  EXPECT_TRUE(r.Press());
  ASSERT_TRUE(r.fake.sgd01.visible);
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{0, 0}));
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, -1})) << "one highlight at a time";
  EXPECT_TRUE(r.Press());
  EXPECT_EQ(r.Text(), "あ");
  EXPECT_FALSE(r.fake.sgd01.visible);
  // After every selection: the first row again.
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));

  // The second entry of a list: か's list, one tick along the first row.
  r.Press();
  r.Tick();
  r.Press();  // か
  ASSERT_TRUE(r.fake.sgd01.visible);
  r.Tick();
  const std::string second = U(r.fake.sgd01.CellText(1, 0));
  r.Press();
  EXPECT_EQ(r.Text(), "あ" + second);
}

TEST(Scanning, OnlyTheSwitchChoosesAndAHeldKeyChoosesOnce) {
  ScanRig r;
  EXPECT_FALSE(r.Press(SwitchInput::Enter)) << "Enter is not the switch: it goes on to the window";
  EXPECT_FALSE(r.Press(SwitchInput::Mouse));
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_TRUE(r.Press());
  EXPECT_TRUE(r.form.SwitchPressed(SwitchInput::Space, true)) << "a repeat is taken";
  EXPECT_FALSE(r.fake.sgd01.visible) << "but does nothing";
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{1, 1}));

  r.form.State().settings.SetNamed(named::kScanSwitch, "mouse");
  EXPECT_FALSE(r.Press(SwitchInput::Space));
  EXPECT_TRUE(r.Press(SwitchInput::Mouse));
  EXPECT_TRUE(r.fake.sgd01.visible);
  r.form.State().settings.SetNamed(named::kScanSwitch, "any-key");
  EXPECT_FALSE(r.Press(SwitchInput::Mouse));
  EXPECT_TRUE(r.Press(SwitchInput::OtherKey));
  EXPECT_EQ(r.Text(), "あ");

  // Another mode chosen in the menu ends scanning; nothing is taken then.
  r.form.Modes().MnuEditClickClick();
  EXPECT_FALSE(r.Scan().Active());
  EXPECT_FALSE(r.fake.scanTimer.running);
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, -1}));
  EXPECT_FALSE(r.Press(SwitchInput::OtherKey));
}

TEST(Scanning, UnchosenRowsGiveWayAndThreeEmptyRoundsPause) {
  ScanRig r;
  // A row's cells passed twice without a press: back to the rows, there.
  r.Press();
  for (int i = 0; i < 20; ++i) r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{1, 1})) << "round again along the row";
  for (int i = 0; i < 20; ++i) r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  // Three rounds of the seven rows without a press: paused.
  for (int i = 0; i < 20; ++i) r.Tick();
  EXPECT_TRUE(r.fake.scanTimer.running);
  r.Tick();
  EXPECT_TRUE(r.Scan().Paused());
  EXPECT_FALSE(r.fake.scanTimer.running);
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, -1}));
  EXPECT_EQ(U(r.fake.pnlMsg.message), "走査を休止中");
  // The next press wakes it and chooses nothing.
  EXPECT_TRUE(r.Press());
  EXPECT_FALSE(r.Scan().Paused());
  EXPECT_TRUE(r.fake.scanTimer.running);
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_EQ(U(r.fake.pnlMsg.message), "");
  EXPECT_EQ(r.Text(), "");

  // A list passed twice without a press closes: back to the board's rows.
  r.Press();
  r.Press();
  ASSERT_TRUE(r.fake.sgd01.visible);
  const int entries = static_cast<int>(r.fake.sgd01.cells.size());
  ASSERT_GT(entries, 1);
  for (int i = 0; i < 2 * entries && r.fake.sgd01.visible; ++i) r.Tick();
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_EQ(r.Text(), "");
}

TEST(Scanning, TwoSwitchesStepWithSpaceAndChooseWithEnter) {
  ScanRig r("2");
  EXPECT_FALSE(r.fake.scanTimer.running) << "no timer";
  r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_TRUE(r.Press(SwitchInput::Space));
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 2}));
  EXPECT_TRUE(r.Press(SwitchInput::Enter));  // row 2
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{1, 2}));
  EXPECT_TRUE(r.Press(SwitchInput::Space));
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{2, 2}));
  EXPECT_TRUE(r.Press(SwitchInput::Enter));
  ASSERT_TRUE(r.fake.sgd01.visible);
  EXPECT_TRUE(r.Press(SwitchInput::Enter));
  EXPECT_EQ(r.fake.memMain.text, r.fake.sgd01.CellText(0, 0));
  EXPECT_FALSE(r.Press(SwitchInput::Mouse));
  // Rounds without a press never pause two-switch scanning.
  for (int i = 0; i < 30; ++i) r.Press(SwitchInput::Space);
  EXPECT_FALSE(r.Scan().Paused());
}

TEST(Scanning, OverTheSlotBoardADocumentIsSavedWithoutADialog) {
  ScanRig r;
  r.Choose(1, 1);  // あ's list
  r.Press();       // あ
  ASSERT_EQ(r.Text(), "あ");
  r.Choose(7, 6);  // 名~: the slot board
  ASSERT_FALSE(r.fake.tabC00.visible);
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1})) << "the slot board from its first row";
  r.Choose(1, 3);  // slot 02
  EXPECT_TRUE(r.fake.tabC00.visible) << "the board is back";
  const std::string path = r.form.Docs().SlotPathOf(2);
  ASSERT_TRUE(r.fake.files.files.count(path));
  EXPECT_EQ(U(r.fake.files.files[path]), "あ");
  EXPECT_EQ(r.form.State().curFileName, path);
  EXPECT_TRUE(r.fake.window.messages.empty()) << "no message box";
}

TEST(Scanning, QuitTakesASecondPressOnTheCellAndPauseHoldsEverythingElse) {
  ScanRig r;
  r.Choose(7, 8);  // 終~
  EXPECT_EQ(r.fake.window.closeRequests, 0);
  EXPECT_EQ(U(r.fake.sgd00.CellText(8, 7)), "もう一度で終了");
  r.Choose(7, 8);
  EXPECT_EQ(r.fake.window.closeRequests, 1);

  // 休~: every other choice does nothing until it is chosen again.
  ScanRig s;
  s.Choose(7, 9);
  EXPECT_EQ(U(s.fake.pnlMsg.message), "休止中");
  s.Choose(1, 19);  // "0"
  EXPECT_EQ(s.Text(), "");
  s.Choose(7, 9);
  s.Choose(1, 19);
  EXPECT_EQ(s.Text(), "0");
}

// The prediction row is scanned first whenever it offers something.
TEST(Scanning, ThePredictionRowIsTheFirstLineWhenItOffersWords) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.State().settings.SetNamed(named::kScan, "1");
  form.FormShow();
  fake.predictor.completions["あ"] = {"愛", "会う"};
  EXPECT_FALSE(fake.predictionRow.scanOn) << "an empty row is passed over";
  EXPECT_EQ(fake.sgd00.scan, (std::pair{-1, 1}));
  form.SwitchPressed(SwitchInput::Space, false);  // row 1
  form.SwitchPressed(SwitchInput::Space, false);  // あ: its list
  form.SwitchPressed(SwitchInput::Space, false);  // あ
  ASSERT_EQ(U(fake.memMain.text), "あ");
  EXPECT_TRUE(fake.predictionRow.scanOn);
  EXPECT_EQ(fake.predictionRow.scanCell, -1) << "the whole row";
  EXPECT_EQ(fake.sgd00.scan, (std::pair{-1, -1}));
  form.SwitchPressed(SwitchInput::Space, false);
  EXPECT_EQ(fake.predictionRow.scanCell, 0);
  EXPECT_EQ(U(fake.pnlMsg.text), "「愛」を入力");
  form.Scan().Tick();
  EXPECT_EQ(fake.predictionRow.scanCell, 1);
  form.SwitchPressed(SwitchInput::Space, false);
  EXPECT_EQ(U(fake.memMain.text), "会う");

  // Should what is shown change under the highlight, a press chooses
  // nothing and scanning begins again.
  ASSERT_EQ(fake.predictionRow.texts[0], "");
  form.Scan().Tick();                             // the board's second row
  form.SwitchPressed(SwitchInput::Space, false);  // い
  ASSERT_EQ(fake.sgd00.scan, (std::pair{1, 2}));
  fake.predictor.completions["あう"] = {"別"};
  fake.memMain.text = Sj("あう");  // the row offers a word: one line more above it
  fake.memMain.selStart = 4;
  form.Row().Refresh();
  ASSERT_EQ(U(fake.predictionRow.texts[0]), "別");
  form.SwitchPressed(SwitchInput::Space, false);
  EXPECT_FALSE(fake.sgd01.visible) << "neither い's list nor the cell now at the highlight's index";
  EXPECT_EQ(U(fake.memMain.text), "あう");
  EXPECT_TRUE(fake.predictionRow.scanOn) << "begun again at the first line";
}

// A dwell user chooses scanning on the settings board by dwelling: the count
// that confirmed it is taken off the cell, and the highlight begins.
TEST(Scanning, ChosenByDwellOnTheSettingsBoard) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  form.Modes().MnuEditM10Click();
  fake.pointer.position = Point{150, 250};
  const auto dwell = [&](int col, int row) {
    const Rect cell = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, cell.left + 1, cell.top + 1));
    for (int i = 0; i < 2 && fake.tmrInput0.running; ++i) form.Pointer().Tick();
  };
  dwell(10, 7);  // 設~
  ASSERT_TRUE(form.SettingsFace().Shown());
  dwell(5, 1);  // 走査
  EXPECT_TRUE(form.Scan().Active());
  EXPECT_FALSE(fake.tmrInput0.running);
  EXPECT_TRUE(fake.sgd00.dwell.empty()) << "no count left drawn";
  EXPECT_EQ(fake.sgd00.scan, (std::pair{-1, 1}));
  // The pointer no longer moves the current cell or counts.
  const Rect other = fake.sgd00.CellRect(3, 2);
  PointerAt(fake, form, OnGrid(fake, other.left + 1, other.top + 1));
  EXPECT_FALSE(fake.tmrInput0.running);
  EXPECT_EQ(U(fake.pnlMsg.text), "この行を選ぶ");
}

}  // namespace
}  // namespace velkor::testing
