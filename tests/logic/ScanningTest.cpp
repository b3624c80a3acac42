// Scanning with one switch (or two), driven by a scripted clock: the scan
// timer's ticks are called by hand. The highlight steps over the rows, a
// press chooses a row and then a cell, exactly as a confirmation of it; the
// shortcut line lights its board cells in place before the board's rows;
// lists are scanned row then cell (a list of one row cell by cell); rows
// passed without a press give way, and three empty rounds pause scanning
// until the next press.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "board/BoardModel.h"

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

// Without the prediction row; without the shortcut line unless asked, so
// that the lines are the board's own rows 1 to 7.
struct ScanRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  explicit ScanRig(const char* switches = "1", bool shortcuts = false, bool quickKana = false) {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    Settings& s = form.State().settings;
    s.SetNamed(named::kPredictionCells, "0");
    s.SetNamed(named::kScan, "1");
    s.SetNamed(named::kScanSwitches, switches);
    s.SetNamed(named::kScanShortcuts, shortcuts ? "1" : "0");
    s.SetNamed(named::kQuickKana, quickKana ? "1" : "0");
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
    seenStatus = U(fake.pnlMsg.text);
    Press();
  }
  // The same through the shortcut line: its `place`-th cell.
  void ChooseShortcut(int place) {
    for (int i = 0; i < 20 && fake.sgd00.scanCells.empty(); ++i) Tick();
    ASSERT_FALSE(fake.sgd00.scanCells.empty());
    Press();
    for (int i = 0; i < place; ++i) Tick();
    seenStatus = U(fake.pnlMsg.text);
    Press();
  }
  std::string seenStatus;  // the status line over the cell as it was chosen
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
  // The cell: its list opens (two rows of two); a list this small is
  // stepped entry by entry, from its first.
  EXPECT_TRUE(r.Press());
  ASSERT_TRUE(r.fake.sgd01.visible);
  ASSERT_EQ(r.fake.sgd01.rows, 2);
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{0, 0}));
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, -1})) << "one highlight at a time";
  EXPECT_TRUE(r.Press());
  EXPECT_EQ(r.Text(), "あ");
  EXPECT_FALSE(r.fake.sgd01.visible);
  // After every selection: the first row again.
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));

  // The last entry of a list: か's list, one tick along the first row, then
  // three steps over its entries, row after row.
  r.Press();
  r.Tick();
  r.Press();  // か
  ASSERT_TRUE(r.fake.sgd01.visible);
  r.Tick();
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{1, 0}));
  r.Tick();
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{0, 1}));
  r.Tick();
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{1, 1}));
  const std::string last = U(r.fake.sgd01.CellText(1, 1));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「" + last + "」を入力");
  r.Press();
  EXPECT_EQ(r.Text(), "あ" + last);
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
  EXPECT_TRUE(r.Press(SwitchInput::OtherKey));  // the list's first row
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
  EXPECT_TRUE(r.Press(SwitchInput::Enter));  // the list's first row
  EXPECT_TRUE(r.Press(SwitchInput::Enter));
  EXPECT_EQ(r.fake.memMain.text, r.fake.sgd01.CellText(0, 0));
  EXPECT_FALSE(r.Press(SwitchInput::Mouse));
  // Rounds without a press never pause two-switch scanning.
  for (int i = 0; i < 30; ++i) r.Press(SwitchInput::Space);
  EXPECT_FALSE(r.Scan().Paused());
}

TEST(Scanning, OverTheSlotBoardADocumentIsSavedWithoutADialog) {
  ScanRig r;
  r.Choose(1, 1);  // あ's list, stepped entry by entry
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

// The prediction row is scanned first whenever it offers something, then the
// shortcut line (on by default), then the board's rows.
TEST(Scanning, ThePredictionRowIsTheFirstLineWhenItOffersWords) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.State().settings.SetNamed(named::kScan, "1");
  form.FormShow();
  fake.predictor.completions["あ"] = {"愛", "会う"};
  EXPECT_FALSE(fake.predictionRow.scanOn) << "an empty row is passed over";
  EXPECT_FALSE(fake.sgd00.scanCells.empty()) << "the shortcut line";
  form.Scan().Tick();
  EXPECT_EQ(fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_TRUE(fake.sgd00.scanCells.empty());
  form.SwitchPressed(SwitchInput::Space, false);  // row 1
  form.SwitchPressed(SwitchInput::Space, false);  // あ: its list
  form.SwitchPressed(SwitchInput::Space, false);  // あ
  ASSERT_EQ(U(fake.memMain.text), "あ");
  EXPECT_TRUE(fake.predictionRow.scanOn);
  EXPECT_EQ(fake.predictionRow.scanCell, -1) << "the whole row";
  EXPECT_EQ(fake.sgd00.scan, (std::pair{-1, -1}));
  EXPECT_TRUE(fake.sgd00.scanCells.empty());
  form.Scan().Tick();
  EXPECT_FALSE(fake.predictionRow.scanOn);
  EXPECT_FALSE(fake.sgd00.scanCells.empty()) << "the shortcut line after the prediction row";
  form.Scan().Tick();
  EXPECT_EQ(fake.sgd00.scan, (std::pair{-1, 1}));
  for (int i = 0; i < 7; ++i) form.Scan().Tick();  // round to the prediction row
  ASSERT_TRUE(fake.predictionRow.scanOn);
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
  form.Scan().Tick();                             // the board's first row
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



// ---------------------------------------------------------------- the shortcut line

// ゛~ 変~ 戻 BS~ 。 、 where the built-in tab has them.
const std::vector<CellPos> kBuiltInShortcuts = {{13, 6}, {11, 6}, {9, 6}, {8, 6}, {11, 5}, {12, 5}};

TEST(ScanningShortcuts, TheLineLightsItsBoardCellsInPlaceBeforeTheRows) {
  ScanRig r("1", true, true);
  EXPECT_EQ(r.fake.sgd00.scanCells, kBuiltInShortcuts);
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, -1})) << "no row of the board lit";
  EXPECT_EQ(r.Scan().Highlight(), (Scanner::Mark{false, Scanner::kShortcutRow, -1}));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "この行を選ぶ");
  EXPECT_EQ(U(r.fake.sgd00.CellText(13, 6)), "゛~") << "the board's cells stay where they are";
  EXPECT_EQ(U(r.fake.sgd00.CellText(11, 5)), "。");
  r.Tick();
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_TRUE(r.fake.sgd00.scanCells.empty());
  for (int i = 0; i < 7; ++i) r.Tick();
  EXPECT_EQ(r.fake.sgd00.scanCells, kBuiltInShortcuts) << "round again: the line after row 7";

  // A press: its cells one by one in that order, each the board cell itself.
  r.Press();
  for (const CellPos& cell : kBuiltInShortcuts) {
    EXPECT_EQ(r.fake.sgd00.scan, (std::pair{cell.col, cell.row}));
    EXPECT_TRUE(r.fake.sgd00.scanCells.empty());
    EXPECT_EQ(r.fake.sgd00.Col(), cell.col);
    EXPECT_EQ(r.fake.sgd00.Row(), cell.row);
    r.Tick();
  }
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{13, 6})) << "round again along the line";
  // Passed twice without a press: back to the lines, on the line.
  for (int i = 0; i < static_cast<int>(kBuiltInShortcuts.size()); ++i) r.Tick();
  EXPECT_EQ(r.fake.sgd00.scanCells, kBuiltInShortcuts);
  EXPECT_EQ(r.Text(), "");
}

// What a user sees choosing one command after another, one way or the other.
struct Seen {
  std::string status;   // over the cell as it was chosen
  std::string text;     // afterwards
  std::string message;  // afterwards
  bool listShown = false;
  bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << seen.status << " | " << seen.text << " | " << seen.message << " | " << seen.listShown;
}

TEST(ScanningShortcuts, ChoosingOnTheLineIsChoosingTheBoardCell) {
  ScanRig viaLine("1", true, true);
  ScanRig viaRows("1", false, true);
  std::vector<Seen> line, rows;
  const auto seen = [](ScanRig& r) {
    return Seen{r.seenStatus, r.Text(), U(r.fake.pnlMsg.message), r.fake.sgd01.visible};
  };
  viaLine.Choose(1, 2);  // か
  viaRows.Choose(1, 2);
  // Each place of the line against its cell on the board: ゛~ 。 、 BS~ 戻
  // (undoing the BS~) 変~.
  for (const int place : {0, 4, 5, 3, 2, 1}) {
    const CellPos cell = kBuiltInShortcuts[static_cast<std::size_t>(place)];
    viaLine.ChooseShortcut(place);
    viaRows.Choose(cell.row, cell.col);
    line.push_back(seen(viaLine));
    rows.push_back(seen(viaRows));
  }
  EXPECT_EQ(line, rows);
  ASSERT_EQ(line.size(), 6u);
  EXPECT_EQ(line[0].status, "が にする");
  EXPECT_EQ(line[0].text, "が");
  EXPECT_EQ(line[2].text, "が。、");
  EXPECT_EQ(line[3].status, "直前の１文字削除");
  EXPECT_EQ(line[3].text, "が。");
  EXPECT_EQ(line[4].status, "元に戻す");
  EXPECT_EQ(line[4].text, "が。、");
  EXPECT_EQ(line[5].message, "変換する文字がありません") << "the reading ends at 、";
  // Undo goes back over the same changes either way.
  for (int i = 0; i < 2; ++i) {
    viaLine.ChooseShortcut(2);
    viaRows.Choose(6, 9);
  }
  EXPECT_EQ(viaLine.Text(), "が");
  EXPECT_EQ(viaLine.Text(), viaRows.Text());
  EXPECT_EQ(viaLine.fake.memMain.selStart, viaRows.fake.memMain.selStart);
}

TEST(ScanningShortcuts, TheLineHoldsWhatTheTabShownOffersAndCanBeTurnedOff) {
  // Without quick kana there is no ゛~ on the board, nor on the line.
  ScanRig plain("1", true, false);
  EXPECT_EQ(plain.fake.sgd00.scanCells, std::vector<CellPos>(kBuiltInShortcuts.begin() + 1, kBuiltInShortcuts.end()));
  // User tab 1 has no 。 or 、: the commands alone.
  ScanRig r("1", true, true);
  r.Choose(7, 2);  // 》~
  ASSERT_EQ(r.fake.tabC00.index, 1);
  EXPECT_EQ(r.fake.sgd00.scanCells, std::vector<CellPos>(kBuiltInShortcuts.begin(), kBuiltInShortcuts.begin() + 4));
  r.Choose(7, 1);  // 《~: the built-in tab again
  EXPECT_EQ(r.fake.sgd00.scanCells, kBuiltInShortcuts);

  // Over the settings board there is no line; its 近道 turns it off.
  r.Choose(7, 10);  // 設~
  ASSERT_TRUE(r.form.SettingsFace().Shown());
  EXPECT_TRUE(r.fake.sgd00.scanCells.empty());
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  EXPECT_EQ(U(r.fake.sgd00.CellText(19, 3)), "近道");
  EXPECT_EQ(U(r.fake.sgd00.CellText(20, 3)), "入");
  r.Choose(3, 20);
  EXPECT_EQ(r.seenStatus, "走査の近道（゛~ 変~ 戻 BS~ 。 、）を切にする");
  EXPECT_EQ(U(r.fake.sgd00.CellText(20, 3)), "切");
  EXPECT_FALSE(r.form.State().settings.ScanShortcuts());
  r.Choose(7, 1);  // ☆~
  ASSERT_FALSE(r.form.SettingsFace().Shown());
  EXPECT_TRUE(r.fake.sgd00.scanCells.empty());
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1})) << "the board's rows alone";
}

// ---------------------------------------------------------------- lists

// The rows of the list that hold something, as the user sees them.
std::vector<int> FilledRows(const FakeVariantList& list) {
  std::vector<int> rows;
  for (int row = 0; row < list.rows; ++row) {
    for (int col = 0; col < list.cols; ++col) {
      if (!list.CellText(col, row).empty()) {
        rows.push_back(row);
        break;
      }
    }
  }
  return rows;
}

std::vector<std::pair<int, int>> FilledCells(const FakeVariantList& list, int row) {
  std::vector<std::pair<int, int>> cells;
  for (int col = 0; col < list.cols; ++col) {
    if (!list.CellText(col, row).empty()) cells.emplace_back(col, row);
  }
  return cells;
}

// The conversion list over the board, scanned as the board is.
struct ConversionRig : ScanRig {
  ConversionRig() {
    // Three candidates: with the controls, more entries than a list stepped
    // entry by entry holds.
    fake.converter.script[Sj("かんごし")] = {{Sj("かんごし"), {Sj("看護師"), Sj("監護し"), Sj("看護士")}}};
    fake.memMain.text = Sj("かんごし");
    fake.memMain.selStart = 8;
    Choose(6, 11);  // 変~
  }
};

TEST(ScanningLists, TheConversionListIsScannedRowThenCellPassingEmptyRows) {
  ConversionRig r;
  ASSERT_TRUE(r.fake.sgd01.visible);
  ASSERT_EQ(r.fake.sgd01.cols, Conversion::kCols);
  ASSERT_EQ(r.fake.sgd01.rows, Conversion::kRows);
  const std::vector<int> rows = FilledRows(r.fake.sgd01);
  ASSERT_GT(rows.size(), 1u);
  ASSERT_LT(static_cast<int>(rows.size()), r.fake.sgd01.rows) << "three candidates leave rows empty";
  ASSERT_GT(FilledCells(r.fake.sgd01, rows[0]).size() + FilledCells(r.fake.sgd01, rows[1]).size() +
                FilledCells(r.fake.sgd01, rows.back()).size(),
            Scanner::kFewEntries);
  // The rows holding something, one after another, then round again.
  for (const int row : rows) {
    EXPECT_EQ(r.fake.sgd01.scan, (std::pair{-1, row}));
    EXPECT_EQ(U(r.fake.pnlMsg.text), "この行を選ぶ");
    r.Tick();
  }
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{-1, rows.front()}));

  // Each row: a press enters it, its cells step (the empty ones passed); a
  // row passed twice gives way to the list's rows again, where it was.
  for (const int row : rows) {
    for (int i = 0; i < 10 && r.fake.sgd01.scan != std::pair{-1, row}; ++i) r.Tick();
    ASSERT_EQ(r.fake.sgd01.scan, (std::pair{-1, row}));
    r.Press();
    const auto cells = FilledCells(r.fake.sgd01, row);
    for (int round = 0; round < 2; ++round) {
      for (const auto& cell : cells) {
        EXPECT_EQ(r.fake.sgd01.scan, cell) << "row " << row << ", round " << round;
        r.Tick();
      }
    }
    EXPECT_EQ(r.fake.sgd01.scan, (std::pair{-1, row}));
    ASSERT_TRUE(r.fake.sgd01.visible);
  }

  // The candidate's row, then the candidate: written.
  int row = -1, col = -1;
  for (const auto& [at, text] : r.fake.sgd01.cells) {
    if (text == Sj("監護し")) col = at.first, row = at.second;
  }
  ASSERT_GE(row, 0);
  for (int i = 0; i < 10 && r.fake.sgd01.scan != std::pair{-1, row}; ++i) r.Tick();
  r.Press();
  for (int i = 0; i < 10 && r.fake.sgd01.scan != std::pair{col, row}; ++i) r.Tick();
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「監護し」を入力");
  r.Press();
  EXPECT_EQ(r.Text(), "監護し");
  EXPECT_FALSE(r.fake.sgd01.visible);
}

TEST(ScanningLists, AListWhoseRowsGoRoundTwiceWithoutAPressCloses) {
  ConversionRig r;
  const std::size_t rows = FilledRows(r.fake.sgd01).size();
  for (std::size_t i = 0; i + 1 < 2 * rows; ++i) r.Tick();
  ASSERT_TRUE(r.fake.sgd01.visible);
  r.Tick();
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_EQ(U(r.fake.pnlMsg.message), "変換を終了しました");
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1})) << "the board's rows again";
  EXPECT_EQ(r.Text(), "かんごし");
}

TEST(ScanningLists, AListOfOneRowStepsItsCellsAtOnce) {
  ScanRig r;
  r.Choose(2, 11);  // G,g
  ASSERT_TRUE(r.fake.sgd01.visible);
  ASSERT_EQ(r.fake.sgd01.rows, 1);
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{0, 0})) << "its first cell, no row to choose";
  r.Tick();
  EXPECT_EQ(r.fake.sgd01.scan, (std::pair{1, 0}));
  r.Tick();
  r.Tick();
  r.Tick();
  EXPECT_FALSE(r.fake.sgd01.visible) << "passed twice: closed";
  EXPECT_EQ(r.fake.sgd00.scan, (std::pair{-1, 1}));
  r.Choose(2, 11);
  r.Tick();
  r.Press();
  EXPECT_EQ(r.Text(), "g");
}

// ---------------------------------------------------------------- writing a sentence

// A one-switch writer who knows where everything is: it waits for the
// highlight to light a line holding the cell it wants (the first such line:
// the shortcut line before the cell's own row), presses, waits for the cell
// and presses again. It counts the steps it waited and its presses.
struct ScanWriter {
  ScanRig& r;
  int ticks = 0;
  int presses = 0;

  void Press() {
    ++presses;
    r.Press();
  }
  void Wait() {
    ++ticks;
    r.Tick();
  }
  void Board(CellPos cell) {
    const auto& lit = r.fake.sgd00.scanCells;
    for (int i = 0; i < 60; ++i) {
      if (r.fake.sgd00.scan == std::pair{cell.col, cell.row}) return Press();
      if (r.fake.sgd00.scan == std::pair{-1, cell.row} || std::find(lit.begin(), lit.end(), cell) != lit.end()) {
        Press();
      } else {
        Wait();
      }
    }
    FAIL() << "board cell " << cell.col << "," << cell.row << " never lit";
  }
  void List(const char* utf8) {
    std::pair<int, int> at{-1, -1};
    for (const auto& [cell, text] : r.fake.sgd01.cells) {
      if (text == Sj(utf8)) at = cell;
    }
    ASSERT_GE(at.first, 0) << utf8 << " is not in the list";
    for (int i = 0; i < 30; ++i) {
      if (r.fake.sgd01.scan == at) return Press();
      if (r.fake.sgd01.scan == std::pair{-1, at.second}) {
        Press();
      } else {
        Wait();
      }
    }
    FAIL() << utf8 << " never lit";
  }
  // Kana by their cells on the built-in tab (quick kana: a cell writes its
  // first variant), then ゛~ once for each variant past the first.
  void Kana(std::initializer_list<const char*> kana) {
    const StringList cells = board::BuiltInBoard();
    for (const char* one : kana) {
      bool found = false;
      for (std::size_t i = 0; i < cells.size() && !found; ++i) {
        const StringList variants = board::Variants(cells[i]);
        const auto at = std::find(variants.begin(), variants.end(), Sj(one));
        if (at == variants.end()) continue;
        found = true;
        const int index = static_cast<int>(i);
        Board({board::ColOfIndex(index), board::RowOfIndex(index)});
        for (auto k = variants.begin(); k != at; ++k) Board({13, 6});
      }
      ASSERT_TRUE(found) << one;
    }
  }
};

// 看護師さんを呼んでください。 with quick kana, two conversions, the scan
// interval 1.5 s: each step waited and each press takes one interval (the
// highlight shows every line and cell for that long; the press ends it).
ScanWriter WriteTheCallSentence(ScanRig& r) {
  r.fake.converter.script[Sj("かんごし")] = {{Sj("かんごし"), {Sj("看護師"), Sj("監護し")}}};
  r.fake.converter.script[Sj("さんをよんでください")] = {{Sj("さんを"), {Sj("さんを"), Sj("三を")}},
                                                         {Sj("よんで"), {Sj("呼んで"), Sj("読んで")}},
                                                         {Sj("ください"), {Sj("ください"), Sj("下さい")}}};
  ScanWriter w{r};
  w.Kana({"か", "ん", "ご", "し"});
  w.Board({11, 6});  // 変~
  w.List("看護師");
  w.Kana({"さ", "ん", "を", "よ", "ん", "で", "く", "だ", "さ", "い"});
  w.Board({11, 6});
  w.List("さんを");
  w.List("呼んで");
  w.List("ください");
  w.Board({11, 5});  // 。
  return w;
}

TEST(ScanningShortcuts, TheLineShortensTheWaitToWriteACallForHelp) {
  ScanRig on("1", true, true);
  ScanRig off("1", false, true);
  ASSERT_EQ(on.fake.scanTimer.interval, 1500);
  const ScanWriter withLine = WriteTheCallSentence(on);
  const ScanWriter without = WriteTheCallSentence(off);
  EXPECT_EQ(on.Text(), "看護師さんを呼んでください。");
  EXPECT_EQ(off.Text(), "看護師さんを呼んでください。");
  const auto seconds = [](const ScanWriter& w) { return (w.ticks + w.presses) * 1.5; };
  std::printf("shortcut line on:  %d steps, %d presses, %.1f s\n", withLine.ticks, withLine.presses,
              seconds(withLine));
  std::printf("shortcut line off: %d steps, %d presses, %.1f s\n", without.ticks, without.presses, seconds(without));
  EXPECT_EQ(withLine.presses, without.presses) << "the line takes as many presses as the rows";
  EXPECT_LT(withLine.ticks, without.ticks);
}

}  // namespace
}  // namespace velkor::testing
