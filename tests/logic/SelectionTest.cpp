// The selection engine over the fakes: pointer tracking, the dwell count,
// presses and keys, the status line, the variant list and the slot board.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

constexpr Colour kBlue = colours::Rgb(0, 0, 255);
constexpr Colour kRed = colours::Rgb(255, 0, 0);
constexpr Colour kBlack = colours::Rgb(0, 0, 0);
constexpr Point kRest{150, 250};  // inside the fake window's board area

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

// "0.5秒", "1.0秒", ... for a number of ticks.
std::string Seconds(int ticks) { return std::to_string(ticks / 2) + (ticks % 2 ? ".5秒" : ".0秒"); }

using ModeHandler = void (InputModes::*)();

// A shown main window over the fakes, the click reports of both grids reaching
// the engine as they do in the real window. The default board font gives
// 33-pixel cells after the 5-pixel fixed column and row.
struct Rig {
  FakePlatform fake;
  MainForm form{fake.Get()};

  Rig() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    fake.pointer.position = kRest;
  }
  ProgramState& S() { return form.State(); }
  Selection& Sel() { return form.Select(); }
  void Mode(ModeHandler handler) { (form.Modes().*handler)(); }
  Point Centre(int col, int row) const {
    const Rect r = fake.sgd00.CellRect(col, row);
    return {r.left + r.width / 2, r.top + r.height / 2};
  }
  void Move(int col, int row) { Sel().SGd00MouseMove(Centre(col, row).x, Centre(col, row).y); }
  void Press(int col, int row) { Sel().SGd00MouseDown(Centre(col, row).x, Centre(col, row).y); }
  void Click(int col, int row) { Move(col, row), Press(col, row); }
  void Tick(int times = 1) {
    for (int i = 0; i < times; ++i) Sel().TmrInput0Timer();
  }
  // Over a list cell, in the list's coordinates (cells from a 5-pixel margin).
  void ListMove(int col, int row) {
    const FakeVariantList& l = fake.sgd01;
    Sel().SGd01MouseMove(5 + col * l.cellWidth + l.cellWidth / 2, 5 + row * l.cellHeight + l.cellHeight / 2);
  }
  // A key pressed and released in the edit area.
  void Key(velkor::Key key) {
    form.Edit().MemMainKeyDown(key);
    form.Edit().MemMainKeyUp(key);
  }
  // A user tab whose cell (col, row) holds `utf8`.
  void UserCell(int col, int row, const std::string& utf8) {
    fake.tabC00.index = 1;
    form.Board().FillBoard();
    fake.sgd00.SetCellText(col, row, Sj(utf8));
  }
  std::string Text() const { return U(fake.memMain.text); }
  std::string Status() const { return U(fake.pnlMsg.text); }
};

// Built-in board cells used below.
constexpr CellPos kPlus{18, 1};   // "＋", one variant
constexpr CellPos kGroupA{1, 1};  // "あ,ぁ,ア,ァ"
constexpr CellPos kEmpty{8, 2};   // "~"

// ---------------------------------------------------------------- pointer

TEST(SelectionTest, PointerMovesFollowTheModeAndTheCell) {
  struct Case {
    const char* name;
    ModeHandler mode;
    bool otherCell;
    int boardCol;
    bool timerRuns;
    int newStarts;
    int dwellTicks;
    bool listShown;
    int onCandidates;
    const char* status;
  } cases[] = {
      {"click, other cell", &InputModes::MnuEditClickClick, true, 4, false, 0, 5, false, 0, "「た,だ,タ,ダ」を入力"},
      {"dwell, other cell", &InputModes::MnuEditM10Click, true, 4, true, 1, 0, false, 0, "「た,だ,タ,ダ」を入力"},
      {"click, same cell", &InputModes::MnuEditClickClick, false, 3, true, 0, 5, true, 0, "「さ,ざ,サ,ザ」を入力"},
      {"dwell, same cell", &InputModes::MnuEditM10Click, false, 3, true, 0, 5, true, 0, "「さ,ざ,サ,ザ」を入力"},
      {"arrow keys", &InputModes::MnuEditYaClick, true, 99, true, 0, 5, true, 1, "before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.Mode(c.mode);
    r.Move(3, 1);
    r.fake.tmrInput0.running = true;
    r.S().dwellTicks = 5;
    r.fake.sgd01.visible = true;
    r.S().onCandidates = 1;
    r.fake.pnlMsg.text = "before";
    const int starts = r.fake.tmrInput0.starts;

    r.Move(c.otherCell ? 4 : 3, 1);
    EXPECT_EQ(r.S().boardCol, c.boardCol);
    EXPECT_EQ(r.fake.tmrInput0.running, c.timerRuns);
    EXPECT_EQ(r.fake.tmrInput0.starts - starts, c.newStarts);
    EXPECT_EQ(r.S().dwellTicks, c.dwellTicks);
    EXPECT_EQ(r.fake.sgd01.visible, c.listShown);
    EXPECT_EQ(r.S().onCandidates, c.onCandidates);
    EXPECT_EQ(r.Status(), c.status);
  }
}

TEST(SelectionTest, FirstMoveAfterStartIsANewCell) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  ASSERT_EQ(r.fake.sgd00.col, 1);
  ASSERT_EQ(r.fake.sgd00.row, 1);
  r.Move(1, 1);
  EXPECT_TRUE(r.fake.tmrInput0.running);
  EXPECT_EQ(r.fake.tmrInput0.starts, 1);
  EXPECT_EQ(r.Status(), "「あ,ぁ,ア,ァ」を入力");
}

// The fixed row and column count as row 1 or column 1.
TEST(SelectionTest, PointerOnTheHeadersIsTrackedOnRowOrColumnOne) {
  Rig r;
  const struct {
    const char* name;
    Point at;
    CellPos tracked;
  } cases[] = {
      {"header row over column 5", {r.Centre(5, 1).x, 2}, {5, 1}},
      {"header corner", {2, 2}, {1, 1}},
      {"fixed column on row 4", {2, r.Centre(1, 4).y}, {1, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    r.Sel().SGd00MouseMove(c.at.x, c.at.y);
    EXPECT_EQ((CellPos{r.S().boardCol, r.S().boardRow}), c.tracked);
    EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), c.tracked);
  }
}

// Space right of the last column and below the last row is no cell: a rest
// there confirms nothing, a press there neither, and coming back into a cell
// starts its count afresh.
TEST(SelectionTest, RestingBesideTheCellsConfirmsNothing) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  const Rect last = r.fake.sgd00.CellRect(20, 7);
  const Point spaces[] = {{last.left + last.width + 30, r.Centre(1, 1).y},
                          {r.Centre(3, 1).x, last.top + last.height + 30}};
  for (const Point at : spaces) {
    r.Move(3, 3);
    r.Sel().SGd00MouseMove(at.x, at.y);
    EXPECT_FALSE(r.fake.tmrInput0.running);
    EXPECT_EQ(r.Status(), "");
    for (int tick = 0; tick < 6; ++tick) r.Sel().TmrInput0Timer();
    r.Sel().SGd00MouseDown(at.x, at.y);
    EXPECT_EQ(r.Text(), "");
    EXPECT_FALSE(r.fake.sgd01.visible);
  }
  const int starts = r.fake.tmrInput0.starts;
  r.Move(3, 3);
  EXPECT_EQ(r.fake.tmrInput0.starts, starts + 1);
}

TEST(SelectionTest, PressConfirmsOnlyTheTrackedCellAndLeavesTheTimer) {
  Rig r;
  r.Move(kPlus.col, kPlus.row);
  r.fake.tmrInput0.running = true;
  r.S().dwellTicks = 1;
  r.S().onCandidates = 1;
  r.Press(kPlus.col + 1, kPlus.row);
  EXPECT_EQ(r.Text(), "");
  EXPECT_EQ(r.S().onCandidates, 0);

  r.Press(kPlus.col, kPlus.row);
  EXPECT_EQ(r.Text(), "＋");
  EXPECT_TRUE(r.fake.tmrInput0.running);
  EXPECT_EQ(r.S().dwellTicks, 1);
}

// ---------------------------------------------------------------- dwell

TEST(SelectionTest, DwellConfirmsOnceAtTheChosenTime) {
  const std::pair<ModeHandler, int> cases[] = {
      {&InputModes::MnuEditM10Click, 2}, {&InputModes::MnuEditM20Click, 4},  {&InputModes::MnuEditM30Click, 6},
      {&InputModes::MnuEditM40Click, 8}, {&InputModes::MnuEditM50Click, 10},
  };
  for (const auto& [mode, confirmTick] : cases) {
    SCOPED_TRACE(confirmTick);
    Rig r;
    r.Mode(mode);
    r.Move(kPlus.col, kPlus.row);
    for (int tick = 1; tick < confirmTick; ++tick) {
      r.Tick();
      EXPECT_EQ(U(r.fake.pnlMsg.timeText), Seconds(tick));
      EXPECT_EQ(r.fake.pnlMsg.timeColour, kBlue);
    }
    EXPECT_EQ(r.Text(), "");
    r.Tick();
    EXPECT_EQ(r.Text(), "＋");
    EXPECT_FALSE(r.fake.tmrInput0.running);
    EXPECT_EQ(r.fake.pnlMsg.timeText, "");
    EXPECT_EQ(r.S().dwellTicks, confirmTick);  // not reset at the confirmation

    // Resting on the cell starts nothing; entering another cell and coming
    // back starts a new count.
    r.Move(kPlus.col, kPlus.row);
    EXPECT_FALSE(r.fake.tmrInput0.running);
    r.Move(kPlus.col + 1, kPlus.row);
    r.Move(kPlus.col, kPlus.row);
    r.Tick(confirmTick);
    EXPECT_EQ(r.Text(), "＋＋");
  }
}

// Dwell times that the menu never writes: whole half seconds confirm, other
// values and texts that are no number only count.
TEST(SelectionTest, StoredDwellTimeDecidesTheThreshold) {
  const std::pair<const char*, int> cases[] = {{"2.5", 5}, {"1.25", 0}, {"x", 0}, {"0", 0}, {"-1", 0}, {"", 0}};
  for (const auto& [stored, confirmTick] : cases) {
    SCOPED_TRACE(stored);
    Rig r;
    r.Mode(&InputModes::MnuEditM10Click);
    r.Move(kPlus.col, kPlus.row);
    r.S().settings.SetOption(option::kDwellSeconds, stored);
    int confirmedAt = 0;
    for (int tick = 1; tick <= 12 && confirmedAt == 0; ++tick) {
      r.Tick();
      if (!r.fake.memMain.text.empty()) confirmedAt = tick;
    }
    EXPECT_EQ(confirmedAt, confirmTick);
    if (confirmTick == 0) {
      EXPECT_EQ(U(r.fake.pnlMsg.timeText), "6.0秒");
    }
  }
}

// The fake window's board area is left 100, top 200, 500 wide, 300 high, its
// bounds inclusive.
TEST(SelectionTest, TickOutsideTheBoardAreaStopsAndClearsTheCount) {
  const struct {
    std::optional<Point> pointer;
    bool inside;
  } cases[] = {
      {Point{100, 200}, true},  {Point{600, 500}, true},  {Point{99, 300}, false}, {Point{601, 300}, false},
      {Point{300, 199}, false}, {Point{300, 501}, false}, {std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pointer ? std::to_string(c.pointer->x) + "," + std::to_string(c.pointer->y) : "unavailable");
    Rig r;
    r.Mode(&InputModes::MnuEditM50Click);
    r.Move(kPlus.col, kPlus.row);
    r.Tick();
    r.fake.pointer.position = c.pointer;
    r.Tick();
    EXPECT_EQ(r.fake.tmrInput0.running, c.inside);
    EXPECT_EQ(r.S().dwellTicks, c.inside ? 2 : 0);
    EXPECT_EQ(U(r.fake.pnlMsg.timeText), c.inside ? "1.0秒" : "0.5秒");
  }
}

TEST(SelectionTest, ComingBackAfterLeavingTheAreaNeedsAnotherCell) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  r.Move(kPlus.col, kPlus.row);
  r.fake.pointer.position = Point{0, 0};
  r.Tick();
  r.fake.pointer.position = kRest;
  r.Move(kPlus.col, kPlus.row);
  EXPECT_FALSE(r.fake.tmrInput0.running);
  r.Move(kPlus.col + 1, kPlus.row);
  EXPECT_TRUE(r.fake.tmrInput0.running);
  EXPECT_EQ(r.S().dwellTicks, 0);
}

TEST(SelectionTest, LeavingDwellModeDuringACountOnlyCounts) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  r.Move(kPlus.col, kPlus.row);
  r.Tick();
  r.Mode(&InputModes::MnuEditClickClick);
  r.Tick(3);
  EXPECT_EQ(r.Text(), "");
  EXPECT_TRUE(r.fake.tmrInput0.running);
  EXPECT_EQ(U(r.fake.pnlMsg.timeText), "2.0秒");
}

TEST(SelectionTest, PressDuringACountConfirmsAndTheCountGoesOn) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  r.Move(kPlus.col, kPlus.row);
  r.Tick();
  r.Press(kPlus.col, kPlus.row);
  EXPECT_EQ(r.Text(), "＋");
  EXPECT_TRUE(r.fake.tmrInput0.running);
  r.Tick();
  EXPECT_EQ(r.Text(), "＋＋");
}

// ---------------------------------------------------------------- arrow keys

TEST(SelectionTest, ArrowKeyModeIgnoresThePointerAndConfirmsByKey) {
  Rig r;
  r.Mode(&InputModes::MnuEditYaClick);
  r.fake.pnlMsg.text = "before";
  r.Move(kPlus.col, kPlus.row);
  r.Press(kPlus.col, kPlus.row);  // nothing was confirmed by key yet
  EXPECT_EQ(r.S().boardCol, 99);
  EXPECT_EQ(r.fake.tmrInput0.starts, 0);
  EXPECT_EQ(r.Status(), "before");
  EXPECT_EQ(r.Text(), "");

  r.form.Edit().MemMainKeyDown(Key::Right);  // the cursor moves and is described
  EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), (CellPos{2, 1}));
  EXPECT_EQ(r.Status(), "「か,が,カ,ガ,ヵ」を入力");
  r.form.Edit().MemMainKeyUp(Key::Right);
  EXPECT_EQ(r.S().boardCol, 99);

  r.fake.sgd00.SetCol(kPlus.col);
  r.S().onCandidates = 1;
  r.Key(Key::Other);
  EXPECT_EQ(r.Text(), "＋");
  EXPECT_EQ((CellPos{r.S().boardCol, r.S().boardRow}), kPlus);
  EXPECT_EQ(r.S().onCandidates, 0);

  r.Press(kPlus.col + 1, kPlus.row);
  EXPECT_EQ(r.Text(), "＋");
  r.Press(kPlus.col, kPlus.row);  // the cell last confirmed by key
  EXPECT_EQ(r.Text(), "＋＋");
}

// Walking the board never moves the caret: the edit area acts on no key in
// arrow-key mode, and the release of a key held while the variant list had
// the focus confirms nothing.
TEST(SelectionTest, ArrowKeysWalkTheBoardAndNeverTheCaret) {
  Rig r;
  r.Mode(&InputModes::MnuEditYaClick);
  r.fake.memMain.Type("1");
  for (int repeat = 0; repeat < 20; ++repeat) EXPECT_TRUE(r.form.Edit().MemMainKeyDown(Key::Left));
  EXPECT_TRUE(r.form.Edit().MemMainKeyDown(Key::Navigation));
  EXPECT_FALSE(r.form.Edit().MemMainKeyDown(Key::Delete)) << "Delete still deletes";
  EXPECT_EQ(r.fake.memMain.selStart, 1);
  r.form.Edit().MemMainKeyUp(Key::Left);
  EXPECT_EQ(r.fake.memMain.selStart, 1);

  const std::string before = r.fake.memMain.text;
  r.form.Edit().MemMainKeyUp(Key::Other);  // pressed elsewhere: no confirmation
  EXPECT_EQ(r.fake.memMain.text, before);
  EXPECT_FALSE(r.fake.sgd01.visible);

  r.Mode(&InputModes::MnuEditClickClick);
  EXPECT_FALSE(r.form.Edit().MemMainKeyDown(Key::Left)) << "other modes leave the keys to the edit area";
}

// ---------------------------------------------------------------- status line

TEST(SelectionTest, StatusLineDescribesEveryKindOfCell) {
  const struct {
    const char* cell;
    const char* status;
    Colour colour;
  } cases[] = {
      {"☆~", "キャンセル", kBlue},
      {"改~", "改行", kBlue},
      {"←~", "左にキャレットを移動", kBlue},
      {"→~", "右にキャレットを移動", kBlue},
      {"↑~", "上にキャレットを移動", kBlue},
      {"↓~", "下にキャレットを移動", kBlue},
      {"挿~", "１文字挿入", kBlue},
      {"削~", "１文字削除", kBlue},
      {"BS~", "直前の１文字削除", kBlue},
      {"戻", "元に戻す", kBlue},
      {"直", "元に戻すをやり直す", kBlue},
      {"《~", "文字盤のタブを替える", kRed},
      {"》~", "文字盤のタブを替える", kRed},
      {"新~", "新しいファイル", kRed},
      {"開~", "ファイルを開く", kRed},
      {"書~", "開いたファイルを保存する", kRed},
      {"名~", "名前を付けて保存する", kRed},
      {"印~", "印刷する", kRed},
      {"終~", "終了する", kRed},
      {"", "", kBlack},
      // On the built-in tab a command-row cell that is no command shows its text.
      {"x", "「x」を入力", kBlack},
      {"☆", "「☆」を入力", kBlack},
      {"戻~", "「戻~」を入力", kBlack},
      {"開~,a", "「開~,a」を入力", kBlack},
      {"05", "「05」を入力", kBlack},
  };
  Rig r;
  r.fake.sgd00.col = 20;
  r.fake.sgd00.row = 7;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    r.fake.sgd00.SetCellText(20, 7, Sj(c.cell));
    r.fake.memMain.focused = false;
    r.fake.memMain.caretCharacter.clear();
    r.Sel().DescribeBoardCell();
    EXPECT_EQ(r.Status(), c.status);
    EXPECT_EQ(r.fake.pnlMsg.colour, c.colour);
    EXPECT_TRUE(r.fake.memMain.focused);
    EXPECT_EQ(r.fake.memMain.caretCharacter, "W");
  }
}

TEST(SelectionTest, StatusLineNamesTheWholeGroupOnTheBuiltInTab) {
  Rig r;
  r.Move(kGroupA.col, kGroupA.row);
  EXPECT_EQ(r.Status(), "「あ,ぁ,ア,ァ」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kBlack);
  r.form.Board().MnuDspHiraClick();  // mirrored: わ stands in column 1
  r.Sel().DescribeBoardCell();
  EXPECT_EQ(r.Status(), "「わ,ゎ,ワ,ヮ」を入力");

  r.UserCell(1, 1, "ab,cd");
  r.Sel().DescribeBoardCell();
  EXPECT_EQ(r.Status(), "「ab,cd」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kBlack);
}

// While a slot choice is pending only a slot number and an empty cell are
// choices; any other cell cancels and says so.
TEST(SelectionTest, StatusLineWhileASlotChoiceIsPending) {
  const struct {
    const char* cell;
    const char* status;
    Colour colour;
  } cases[] = {
      {"05", "preview 5", kRed},    {"00", "preview 0", kRed},
      {"99", "preview 99", kRed},   {"", "", kRed},
      {"☆~", "キャンセル", kBlue},  {"5", "キャンセル", kBlue},
      {"100", "キャンセル", kBlue}, {"０５", "キャンセル", kBlue},
      {"あ", "キャンセル", kBlue},  {"改~", "キャンセル", kBlue},
      {"終~", "キャンセル", kBlue},
  };
  Rig r;
  r.S().pendingCommand = Sj("開~");
  for (int n = 0; n < 100; ++n) r.S().slotPreviewList.push_back("preview " + std::to_string(n));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    r.fake.sgd00.SetCellText(1, 1, Sj(c.cell));
    r.Sel().DescribeBoardCell();
    EXPECT_EQ(r.Status(), c.status);
    EXPECT_EQ(r.fake.pnlMsg.colour, c.colour);

    r.fake.sgd01.SetCellText(0, 0, Sj(c.cell));
    r.fake.pnlMsg.text.clear();
    r.Sel().DescribeVariant();
    EXPECT_EQ(r.Status(), c.status);
    EXPECT_EQ(r.fake.pnlMsg.colour, c.colour);
  }
}

TEST(SelectionTest, VariantDescriptions) {
  Rig r;
  const std::pair<const char*, const char*> cases[] = {{"ぁ", "「ぁ」を入力"}, {"改~", "「改~」を入力"}, {"", ""}};
  for (const auto& [variant, status] : cases) {
    SCOPED_TRACE(variant);
    r.fake.sgd01.SetCellText(0, 0, Sj(variant));
    r.Sel().DescribeVariant();
    EXPECT_EQ(r.Status(), status);
    EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
  }
}

// ---------------------------------------------------------------- variant list

TEST(SelectionTest, ConfirmingAnEmptyCellDoesNothing) {
  Rig r;
  r.S().returnCursorX = 7;
  r.S().returnCursorY = 8;
  r.Move(kEmpty.col, kEmpty.row);
  r.fake.sgd01.visible = true;
  r.Press(kEmpty.col, kEmpty.row);
  EXPECT_EQ(r.S().returnCursorX, 7);
  EXPECT_EQ(r.S().returnCursorY, 8);
  EXPECT_TRUE(r.fake.sgd01.visible);
  EXPECT_EQ(r.fake.memMain.changeCount, 0);
}

TEST(SelectionTest, VariantListShapeFollowsTheNumberOfVariants) {
  const struct {
    int variants, cols, rows;
  } cases[] = {{2, 2, 1}, {3, 2, 2}, {4, 2, 2}, {5, 2, 3}, {6, 3, 2}, {7, 3, 3}, {9, 3, 3}, {10, 4, 4}, {17, 4, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variants);
    Rig r;
    std::string cell = "v0";
    for (int i = 1; i < c.variants; ++i) cell += ",v" + std::to_string(i);
    r.UserCell(3, 2, cell);
    r.Click(3, 2);
    const FakeVariantList& list = r.fake.sgd01;
    ASSERT_TRUE(list.visible);
    EXPECT_EQ(list.cols, c.cols);
    EXPECT_EQ(list.rows, c.rows);
    EXPECT_EQ(list.geometry.width, 33 * c.cols + 10);
    EXPECT_EQ(list.geometry.height, 33 * c.rows + 10);
    for (int i = 0; i < c.cols * c.rows; ++i) {
      EXPECT_EQ(list.CellText(i % c.cols, i / c.cols), i < c.variants ? "v" + std::to_string(i) : "") << i;
    }
    EXPECT_EQ(r.Text(), "");
  }
}

// Six variants in cells of 40 by 36 pixels: 3 columns by 2 rows, 130 by 82
// pixels, laid over the confirmed cell with its first cell current.
TEST(SelectionTest, VariantListLiesOverTheConfirmedCell) {
  Rig r;
  r.UserCell(3, 2, "a,b,c,d,e,f");
  r.fake.sgd00.SetColWidth(3, 40);
  r.fake.sgd00.SetRowHeight(2, 36);
  r.fake.sgd00.font = {"Board", 17, colours::clGreen};
  r.fake.sgd01.col = 2;
  r.fake.sgd01.row = 1;
  r.Click(3, 2);
  const FakeVariantList& list = r.fake.sgd01;
  EXPECT_EQ(list.geometry, (Rect{5 + 33 + 33, 5 + 33, 130, 82}));
  EXPECT_EQ(list.cellWidth, 40);
  EXPECT_EQ(list.cellHeight, 36);
  EXPECT_EQ(list.font.name, "Board");
  EXPECT_EQ(list.font.size, 17);
  EXPECT_EQ((CellPos{list.col, list.row}), (CellPos{0, 0}));
  EXPECT_TRUE(list.visible);
  EXPECT_TRUE(list.focused);
  EXPECT_TRUE(r.S().candJustOpened);
  EXPECT_EQ(r.Status(), "「a」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
  EXPECT_EQ((Point{r.S().returnCursorX, r.S().returnCursorY}), kRest);
}

TEST(SelectionTest, ListOpeningOnItsCurrentCellKeepsTheBoardDescription) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  EXPECT_TRUE(r.fake.sgd01.visible);
  EXPECT_EQ(r.fake.sgd01.clickReports, 0);
  EXPECT_EQ(r.Status(), "「あ,ぁ,ア,ァ」を入力");
}

// A cell opens the list only with two or more variants, unless its first
// variant is a file or quit command; then its text is executed at once.
TEST(SelectionTest, WhichCellsOpenTheList) {
  const struct {
    const char* cell;
    bool opens;
    const char* inserted;
  } cases[] = {
      {"a,b", true, ""},
      {"a b", true, ""},
      {"\"a b\"", false, "\"a b\""},
      {"ab", false, "ab"},
      {"開~,a,b", false, "開~,a,b"},
      {"終~,x", false, "終~,x"},
      {"改~,x", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    Rig r;
    r.UserCell(2, 2, c.cell);
    r.Click(2, 2);
    EXPECT_EQ(r.fake.sgd01.visible, c.opens);
    EXPECT_EQ(r.Text(), c.inserted);
    EXPECT_EQ(r.fake.window.closeRequests, 0);
  }
}

TEST(SelectionTest, PressOnAVariantInsertsIt) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  r.Sel().SGd01MouseMove(0, 0);  // the list's margin: no cell
  EXPECT_EQ(r.S().onCandidates, 1);
  EXPECT_EQ(r.fake.sgd01.clickReports, 0);
  r.ListMove(1, 0);
  EXPECT_EQ(r.Status(), "「ぁ」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
  EXPECT_EQ((CellPos{r.S().candCol, r.S().candRow}), (CellPos{1, 0}));
  r.fake.tmrInput0.running = true;
  r.S().dwellTicks = 3;
  r.Sel().SGd01MouseDown(0, 0);  // a press on the margin takes the current cell
  EXPECT_TRUE(r.fake.tmrInput0.running);
  EXPECT_EQ(r.S().dwellTicks, 3);
  EXPECT_EQ(r.Text(), "ぁ");
  EXPECT_EQ(U(r.fake.clipboard), "ぁ");
  EXPECT_FALSE(r.fake.sgd01.visible);
}

TEST(SelectionTest, MovingOntoAnotherBoardCellClosesTheList) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  r.ListMove(1, 0);
  r.Move(kGroupA.col, kGroupA.row);  // back over the group cell: the list stays
  EXPECT_TRUE(r.fake.sgd01.visible);
  r.Move(kGroupA.col + 1, kGroupA.row);
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_EQ(r.S().onCandidates, 0);
  EXPECT_EQ(r.Text(), "");
}

// Right after the list opens a count starts when the pointer enters another
// variant than the last tracked one, or first moves more than 3 pixels.
TEST(SelectionTest, DwellCountOnTheListNeedsAMoveOfMoreThanThreePixels) {
  const struct {
    const char* name;
    ModeHandler mode;
    CellPos variant;
    Point pointer;
    bool counts;
  } cases[] = {
      {"3 px right", &InputModes::MnuEditM10Click, {0, 0}, {kRest.x + 3, kRest.y}, false},
      {"3 px up", &InputModes::MnuEditM10Click, {0, 0}, {kRest.x, kRest.y - 3}, false},
      {"4 px left", &InputModes::MnuEditM10Click, {0, 0}, {kRest.x - 4, kRest.y}, true},
      {"4 px down", &InputModes::MnuEditM10Click, {0, 0}, {kRest.x + 3, kRest.y + 4}, true},
      // A list that lands under a still pointer chooses nothing by itself.
      {"other variant under a still pointer", &InputModes::MnuEditM10Click, {1, 0}, kRest, false},
      {"other variant after a move", &InputModes::MnuEditM10Click, {1, 0}, {kRest.x + 12, kRest.y}, true},
      {"click mode", &InputModes::MnuEditClickClick, {1, 1}, {kRest.x + 9, kRest.y}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.Mode(c.mode);
    r.Move(kGroupA.col, kGroupA.row);
    r.Press(kGroupA.col, kGroupA.row);
    r.fake.tmrInput0.running = false;
    r.S().dwellTicks = 7;
    const int starts = r.fake.tmrInput0.starts;
    r.fake.pointer.position = c.pointer;
    r.ListMove(c.variant.col, c.variant.row);
    EXPECT_EQ(r.S().onCandidates, 1);
    EXPECT_EQ((CellPos{r.S().candCol, r.S().candRow}), c.variant);
    EXPECT_EQ(r.fake.tmrInput0.starts - starts, c.counts ? 1 : 0);
    EXPECT_EQ(r.S().dwellTicks, c.counts ? 0 : 7);
    if (c.counts) {
      EXPECT_FALSE(r.S().candJustOpened);
    }

    // A later move of 20 pixels over the same variant starts a count only
    // when none has started since the list opened.
    r.fake.pointer.position = Point{kRest.x + 20, kRest.y};
    r.ListMove(c.variant.col, c.variant.row);
    const bool dwell = c.mode == &InputModes::MnuEditM10Click;
    EXPECT_EQ(r.fake.tmrInput0.starts - starts, dwell ? 1 : 0);
  }
}

TEST(SelectionTest, DwellOnTheListInsertsAndPutsThePointerBack) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  r.Move(kGroupA.col, kGroupA.row);
  r.Tick(2);
  ASSERT_TRUE(r.fake.sgd01.visible);
  EXPECT_FALSE(r.fake.tmrInput0.running);

  r.fake.pointer.position = Point{kRest.x + 40, kRest.y};
  r.ListMove(1, 0);
  r.Tick();
  EXPECT_EQ(r.Text(), "");
  r.Tick();
  EXPECT_EQ(r.Text(), "ぁ");
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_FALSE(r.fake.tmrInput0.running);
  EXPECT_EQ(r.fake.pnlMsg.timeText, "");
  EXPECT_EQ(r.fake.pointer.moves, std::vector<Point>{kRest});

  // The pointer is over the group cell again: no new count there.
  const int starts = r.fake.tmrInput0.starts;
  r.Move(kGroupA.col, kGroupA.row);
  EXPECT_EQ(r.fake.tmrInput0.starts, starts);
  r.Move(kGroupA.col + 1, kGroupA.row);
  r.Move(kGroupA.col, kGroupA.row);
  r.Tick(2);
  EXPECT_TRUE(r.fake.sgd01.visible);
}

// The group は has six variants: a list of 3 columns by 2 rows.
TEST(SelectionTest, CursorKeyAgainstTheListEdgeCancels) {
  const struct {
    CellPos current;
    velkor::Key key;
    bool cancels;
  } cases[] = {
      {{2, 0}, Key::Right, true}, {{0, 1}, Key::Left, true},   {{1, 0}, Key::Up, true},
      {{2, 1}, Key::Down, true},  {{1, 1}, Key::Right, false}, {{1, 1}, Key::Left, false},
      {{2, 1}, Key::Up, false},   {{2, 0}, Key::Down, false},  {{2, 1}, Key::Other, false},
  };
  const CellPos groupHa{6, 1};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.current.col) + "," + std::to_string(c.current.row) + " key " +
                 std::to_string(static_cast<int>(c.key)));
    Rig r;
    r.Mode(&InputModes::MnuEditYaClick);
    r.fake.sgd00.SetCol(groupHa.col);
    r.Key(Key::Other);
    ASSERT_EQ(r.fake.sgd01.cols, 3);
    ASSERT_EQ(r.fake.sgd01.rows, 2);
    r.fake.sgd01.col = c.current.col;
    r.fake.sgd01.row = c.current.row;
    r.fake.sgd00.col = 6;
    r.fake.sgd00.row = 4;
    r.fake.memMain.focused = false;
    r.Sel().SGd01KeyDown(c.key);
    EXPECT_EQ(r.fake.sgd01.visible, !c.cancels);
    EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), c.cancels ? groupHa : (CellPos{6, 4}));
    EXPECT_EQ(r.fake.memMain.focused, c.cancels);
    EXPECT_EQ(r.Text(), "");
  }
}

TEST(SelectionTest, KeyReleaseInTheListInsertsTheCurrentVariant) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  r.fake.sgd01.col = 1;
  r.fake.sgd01.row = 1;
  r.Sel().SGd01KeyUp(Key::Other);  // click mode: keys only walk the list
  r.Sel().SGd01KeyDown(Key::Right);
  EXPECT_TRUE(r.fake.sgd01.visible);

  r.Mode(&InputModes::MnuEditYaClick);
  r.Sel().SGd01KeyUp(Key::Down);
  EXPECT_TRUE(r.fake.sgd01.visible);
  r.Sel().SGd01KeyUp(Key::Delete);
  EXPECT_EQ(r.Text(), "ァ");
  EXPECT_EQ(r.S().onCandidates, 1);
  EXPECT_EQ((CellPos{r.S().candCol, r.S().candRow}), (CellPos{1, 1}));
  EXPECT_FALSE(r.fake.sgd01.visible);
}

// ---------------------------------------------------------------- slot board

TEST(SelectionTest, SlotBoardFaces) {
  const struct {
    const char* name;
    CellPos command;
    Colour fixed;
    const char* firstStatus;
  } cases[] = {
      {"open", {4, 7}, colours::clBtnFace, "開く：空"},
      {"save as", {6, 7}, colours::Rgb(166, 202, 240), "保存：空"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.fake.memMain.Type("x");
    r.fake.sgd00.SetColWidth(3, 50);
    r.fake.sgd00.SetRowHeight(2, 50);
    r.Click(c.command.col, c.command.row);

    const FakeBoardGrid& g = r.fake.sgd00;
    const std::pair<CellPos, const char*> labels[] = {
        {{1, 1}, "00"}, {{20, 1}, "19"}, {{1, 2}, "20"}, {{20, 5}, "99"}, {{7, 3}, "46"},
        {{1, 6}, "☆~"}, {{20, 6}, "☆~"}, {{1, 7}, "☆~"}, {{20, 7}, "☆~"},
    };
    for (const auto& [cell, label] : labels) EXPECT_EQ(U(g.CellText(cell.col, cell.row)), label);
    EXPECT_EQ(g.fixedColour, c.fixed);
    EXPECT_FALSE(r.fake.tabC00.visible);
    EXPECT_EQ(g.ColWidth(3), 33);
    EXPECT_EQ(g.RowHeight(2), 33);
    EXPECT_EQ((CellPos{g.col, g.row}), (CellPos{1, 1}));
    EXPECT_EQ(r.Status(), c.firstStatus);
    EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
    EXPECT_EQ(r.S().slotPreviewList.size(), 100u);

    // Confirming a slot cell never opens the list.
    r.Click(2, 1);
    EXPECT_FALSE(r.fake.sgd01.visible);
    EXPECT_TRUE(r.fake.tabC00.visible);
  }
}

TEST(SelectionTest, SlotPreviews) {
  const std::string a399(399, 'a');
  const struct {
    const char* name;
    std::optional<std::string> file;  // none: no file
    bool unreadable;
    std::string preview;
  } cases[] = {
      {"missing", std::nullopt, false, "開く：空"},
      {"empty", "", false, "開く："},
      {"one line", "abc", false, "開く：abc\r\n"},
      {"one line and its break", "abc\r\n", false, "開く：abc\r\n"},
      {"lone breaks", "a\nb\rc", false, "開く：a\r\nb\r\nc\r\n"},
      {"cut at 400 bytes", std::string(500, 'x'), false, "開く：" + std::string(400, 'x')},
      {"cut before a split character", a399 + Sj("あい"), false, "開く：" + a399},
      {"double-byte character ending at 400", a399.substr(1) + Sj("あい"), false, "開く：" + a399.substr(1) + "あ"},
      {"unreadable", "abc", true, "開く：読み込めません"},
  };
  Rig r;
  const std::string slots = r.S().dataDir + "文書";
  ASSERT_EQ(slots, "/opt/velkor/Data/文書");
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    const std::string path = slots + "0" + std::to_string(n) + ".txt";
    if (cases[n].file) r.fake.files.files[path] = *cases[n].file;
    if (cases[n].unreadable) r.fake.files.unreadable.insert(path);
  }
  r.Click(4, 7);  // 開~
  ASSERT_EQ(r.S().slotPreviewList.size(), 100u);
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    SCOPED_TRACE(cases[n].name);
    EXPECT_EQ(U(r.S().slotPreviewList[n]), cases[n].preview);
  }
  EXPECT_EQ(U(r.S().slotPreviewList[99]), "開く：空");
  r.Move(3, 1);
  EXPECT_EQ(r.Status(), "開く：abc\r\n");
  EXPECT_EQ(r.fake.pnlMsg.colour, kRed);

  // Every showing reads the files afresh.
  r.Click(1, 6);  // ☆~
  r.fake.files.files[slots + "02.txt"] = "new";
  r.Click(4, 7);
  EXPECT_EQ(U(r.S().slotPreviewList[2]), "開く：new\r\n");
}

}  // namespace
}  // namespace velkor::testing
