// The selection engine over the fakes: what a confirmation of each kind of
// cell does and what the status line promises for it, the pointer (click and
// dwell), the arrow keys, the variant list and the slot board.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "board/BoardModel.h"
#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

constexpr Colour kBlue = colours::Rgb(0, 0, 255);
constexpr Colour kRed = colours::Rgb(255, 0, 0);
constexpr Colour kBlack = colours::Rgb(0, 0, 0);
constexpr Point kRest{150, 250};  // over the fake board grid

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

// "0.5秒", "1.0秒", ... for a number of ticks.
std::string Seconds(int ticks) { return std::to_string(ticks / 2) + (ticks % 2 ? ".5秒" : ".0秒"); }

using ModeHandler = void (InputModes::*)();

// A shown main window over the fakes. The default board font gives 33-pixel
// cells after the 5-pixel fixed column and row.
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
    return OnGrid(fake, r.left + r.width / 2, r.top + r.height / 2);
  }
  void Move(int col, int row) { PointerAt(fake, form, Centre(col, row)); }
  void Press(int col, int row) { PressAt(fake, form, Centre(col, row)); }
  void Click(int col, int row) { Move(col, row), Press(col, row); }
  // Timer ticks, as the timer gives them while it runs.
  void Tick(int times = 1) {
    for (int i = 0; i < times && fake.tmrInput0.running; ++i) form.Pointer().Tick();
  }
  // Over a list cell (cells from a 5-pixel margin).
  void ListMove(int col, int row) {
    const FakeVariantList& l = fake.sgd01;
    PointerAt(fake, form,
              OnList(fake, 5 + col * l.cellWidth + l.cellWidth / 2, 5 + row * l.cellHeight + l.cellHeight / 2));
  }
  void ListPress(int col, int row) {
    const FakeVariantList& l = fake.sgd01;
    PressAt(fake, form,
            OnList(fake, 5 + col * l.cellWidth + l.cellWidth / 2, 5 + row * l.cellHeight + l.cellHeight / 2));
  }
  // A key pressed and released where the board's keys arrive.
  void Key(velkor::Key key) {
    form.Keys().KeyDown(key);
    form.Keys().KeyUp(key);
  }
  // User tab 1 shown, its cell (col, row) holding `utf8`.
  void UserCell(int col, int row, const std::string& utf8) {
    std::string& content = S().settings.crtList.at(crt::kTab1Content);
    StringList items = board::ReadTabContent(content);
    items.at(static_cast<std::size_t>(board::CellIndex(row, col))) = Sj(utf8);
    content = WriteCommaText(items);
    fake.tabC00.index = 1;
    form.Board().FillBoard();
  }
  std::string Text() const { return U(fake.memMain.text); }
  std::string Status() const { return U(fake.pnlMsg.text); }
};

// Built-in board cells used below.
constexpr CellPos kPlus{18, 1};   // "＋", one variant
constexpr CellPos kGroupA{1, 1};  // "あ,ぁ,ア,ァ"
constexpr CellPos kEmpty{8, 2};   // "~"

// ---------------------------------------------------------------- pointer

TEST(SelectionTest, ThePointerIsTrackedInClickAndDwellModeOnly) {
  const struct {
    const char* name;
    ModeHandler mode;
    bool tracked;
    bool counts;
  } cases[] = {
      {"click", &InputModes::MnuEditClickClick, true, false},
      {"dwell", &InputModes::MnuEditM10Click, true, true},
      {"arrow keys", &InputModes::MnuEditYaClick, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.Mode(c.mode);
    r.fake.pnlMsg.text = "before";
    r.Move(3, 1);
    EXPECT_EQ(r.Status(), c.tracked ? "「さ,ざ,サ,ザ」を入力" : "before");
    EXPECT_EQ(r.fake.tmrInput0.running, c.counts);
    if (c.tracked) {
      EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), (CellPos{3, 1}));
    }
    // Within the cell nothing new happens; another cell is described.
    const int starts = r.fake.tmrInput0.starts;
    PointerAt(r.fake, r.form, {r.Centre(3, 1).x + 3, r.Centre(3, 1).y - 2});
    EXPECT_EQ(r.fake.tmrInput0.starts, starts);
    r.Move(4, 1);
    EXPECT_EQ(r.Status(), c.tracked ? "「た,だ,タ,ダ」を入力" : "before");
    EXPECT_EQ(r.fake.tmrInput0.starts - starts, c.counts ? 1 : 0);
  }
}

// The fixed row and column count as row 1 or column 1.
TEST(SelectionTest, PointerOnTheHeadersIsTrackedOnRowOrColumnOne) {
  Rig r;
  const struct {
    const char* name;
    Point at;
    CellPos tracked;
  } cases[] = {
      {"header row over column 5", {r.Centre(5, 1).x, OnGrid(r.fake, 0, 2).y}, {5, 1}},
      {"header corner", OnGrid(r.fake, 2, 2), {1, 1}},
      {"fixed column on row 4", {OnGrid(r.fake, 2, 0).x, r.Centre(1, 4).y}, {1, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PointerAt(r.fake, r.form, c.at);
    ASSERT_TRUE(r.form.Pointer().Under().has_value());
    EXPECT_EQ(r.form.Pointer().Under()->cell, c.tracked);
    EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), c.tracked);
  }
}

// Space right of the last column and below the last row is no cell: a rest
// there confirms nothing, a press there neither, and the status line
// promises nothing.
TEST(SelectionTest, RestingBesideTheCellsConfirmsNothing) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  const Rect last = r.fake.sgd00.CellRect(20, 7);
  const Point spaces[] = {OnGrid(r.fake, last.left + last.width + 30, 20),
                          OnGrid(r.fake, 60, last.top + last.height + 30)};
  for (const Point at : spaces) {
    r.Move(3, 3);
    PointerAt(r.fake, r.form, at);
    EXPECT_FALSE(r.fake.tmrInput0.running);
    EXPECT_EQ(r.Status(), "");
    for (int tick = 0; tick < 6; ++tick) r.form.Pointer().Tick();
    PressAt(r.fake, r.form, at);
    EXPECT_EQ(r.Text(), "");
    EXPECT_FALSE(r.fake.sgd01.visible);
  }
  const int starts = r.fake.tmrInput0.starts;
  r.Move(3, 3);
  EXPECT_EQ(r.fake.tmrInput0.starts, starts + 1);
}

TEST(SelectionTest, APressConfirmsOnlyTheCellTheStatusLineDescribes) {
  Rig r;
  r.Move(kPlus.col, kPlus.row);
  r.Press(kPlus.col + 1, kPlus.row);  // no move reported there yet
  EXPECT_EQ(r.Text(), "");
  r.Press(kPlus.col, kPlus.row);
  EXPECT_EQ(r.Text(), "＋");
  r.Press(kPlus.col, kPlus.row);  // a click may repeat
  EXPECT_EQ(r.Text(), "＋＋");
}

// ---------------------------------------------------------------- dwell

// The count confirms once at the dwell time; the cell is then marked done
// and the status line says that another choice needs leaving it first.
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
    EXPECT_EQ(r.Status(), "もう一度は、いったん離れてから");
    EXPECT_EQ(r.fake.sgd00.marks.done.count({kPlus.col, kPlus.row}), 1u);

    // Resting on, and trembling within the cell, starts nothing; entering
    // another cell and coming back starts a new count.
    PointerAt(r.fake, r.form, {r.Centre(kPlus.col, kPlus.row).x + 2, r.Centre(kPlus.col, kPlus.row).y + 1});
    EXPECT_FALSE(r.fake.tmrInput0.running);
    r.Move(kPlus.col + 1, kPlus.row);
    EXPECT_TRUE(r.fake.sgd00.marks.done.empty()) << "the done mark goes with the pointer";
    r.Move(kPlus.col, kPlus.row);
    EXPECT_EQ(r.Status(), "「＋」を入力");
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
      EXPECT_FALSE(r.fake.tmrInput0.running) << "no dwell time, no count";
    }
  }
}

// A tick looks where the pointer is: off every surface (or with no pointer
// to be had) the count stops and is cleared, and the status line with it;
// coming back onto the same cell starts a new count.
TEST(SelectionTest, TheCountStopsWhereThePointerLeftEverySurface) {
  const struct {
    std::optional<Point> pointer;
    bool counts;
  } cases[] = {
      {Point{100, 200}, true},  {Point{99, 300}, false}, {Point{950, 300}, false},
      {Point{300, 120}, false}, {std::nullopt, false},
  };
  for (const auto& c : cases) {
    Rig r;
    r.Mode(&InputModes::MnuEditM50Click);
    r.Move(1, 1);
    r.Tick();
    r.fake.pointer.position = c.pointer;
    r.form.Pointer().Tick();
    EXPECT_EQ(r.fake.tmrInput0.running, c.counts);
    EXPECT_EQ(U(r.fake.pnlMsg.timeText), c.counts ? "1.0秒" : "");
    EXPECT_TRUE(r.fake.sgd00.dwell.empty() != c.counts);
    if (!c.counts && c.pointer) {
      EXPECT_EQ(r.Status(), "");
      r.fake.clock.now += 1000;  // longer than the dwell memory
      r.Move(1, 1);
      EXPECT_TRUE(r.fake.tmrInput0.running);
      EXPECT_EQ(r.form.Pointer().Percent(), 0);
    }
  }
}

// Another input mode stops the count; a press in dwell mode confirms, and the
// count cannot confirm the same cell a second time.
TEST(SelectionTest, ACountEndsWithItsModeAndWithAPress) {
  {
    Rig r;
    r.Mode(&InputModes::MnuEditM10Click);
    r.Move(kPlus.col, kPlus.row);
    r.Tick();
    r.Mode(&InputModes::MnuEditClickClick);
    EXPECT_FALSE(r.fake.tmrInput0.running);
    EXPECT_TRUE(r.fake.sgd00.dwell.empty());
    for (int i = 0; i < 3; ++i) r.form.Pointer().Tick();
    EXPECT_EQ(r.Text(), "");
  }
  {
    Rig r;
    r.Mode(&InputModes::MnuEditM10Click);
    r.Move(kPlus.col, kPlus.row);
    r.Tick();
    r.Press(kPlus.col, kPlus.row);
    EXPECT_EQ(r.Text(), "＋");
    EXPECT_FALSE(r.fake.tmrInput0.running);
    r.Tick(4);
    EXPECT_EQ(r.Text(), "＋");
  }
}

// ---------------------------------------------------------------- arrow keys

TEST(SelectionTest, ArrowKeyModeIgnoresThePointerAndConfirmsByKey) {
  Rig r;
  r.Mode(&InputModes::MnuEditYaClick);
  r.fake.pnlMsg.text = "before";
  r.Move(kPlus.col, kPlus.row);
  r.Press(kPlus.col, kPlus.row);
  EXPECT_EQ(r.fake.tmrInput0.starts, 0);
  EXPECT_EQ(r.Status(), "before");
  EXPECT_EQ(r.Text(), "");

  r.form.Keys().KeyDown(Key::Right);  // the cursor moves and is described
  EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), (CellPos{2, 1}));
  EXPECT_EQ(r.Status(), "「か,が,カ,ガ,ヵ」を入力");
  r.form.Keys().KeyUp(Key::Right);
  EXPECT_EQ(r.Text(), "");

  r.fake.sgd00.SetCol(kPlus.col);
  r.Key(Key::Other);
  EXPECT_EQ(r.Text(), "＋");
  r.Key(Key::Other);
  EXPECT_EQ(r.Text(), "＋＋") << "a key may repeat";
}

// Walking the board never moves the caret: the edit area acts on no key in
// arrow-key mode, and the release of a key pressed before confirms nothing.
TEST(SelectionTest, ArrowKeysWalkTheBoardAndNeverTheCaret) {
  Rig r;
  r.Mode(&InputModes::MnuEditYaClick);
  r.fake.memMain.Type("1");
  for (int repeat = 0; repeat < 20; ++repeat) EXPECT_TRUE(r.form.Keys().KeyDown(Key::Left));
  EXPECT_EQ(r.fake.sgd00.col, 1) << "twenty steps round the twenty columns";
  EXPECT_TRUE(r.form.Keys().KeyDown(Key::Navigation));
  EXPECT_FALSE(r.form.Keys().KeyDown(Key::Delete)) << "Delete still deletes";
  EXPECT_EQ(r.fake.memMain.selStart, 1);
  r.form.Keys().KeyUp(Key::Left);
  EXPECT_EQ(r.fake.memMain.selStart, 1);

  const std::string before = r.fake.memMain.text;
  r.form.Keys().KeyUp(Key::Other);  // pressed elsewhere: no confirmation
  EXPECT_EQ(r.fake.memMain.text, before);
  EXPECT_FALSE(r.fake.sgd01.visible);

  r.Mode(&InputModes::MnuEditClickClick);
  EXPECT_FALSE(r.form.Keys().KeyDown(Key::Left)) << "other modes leave the keys to the edit area";
}

// ---------------------------------------------------------------- status line

// What the status line says is resolved from the board model: a user tab's
// cell holding each text.
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
      {"書~", "開いたファイルを保存する（今は使えません）", kRed},  // nothing to save yet
      {"名~", "名前を付けて保存する", kRed},
      {"印~", "印刷する", kRed},
      {"終~", "終了する", kRed},
      {"~", "", kBlack},
      {"x", "「x」を入力", kBlack},
      {"☆", "「☆」を入力", kBlack},
      {"戻~", "「戻~」を入力", kBlack},
      // A cell whose first variant is a document command runs it at once.
      {"開~,a", "ファイルを開く", kRed},
      {"a,開~", "「a,開~」を入力", kBlack},
      {"05", "「05」を入力", kBlack},
  };
  Rig r;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    r.UserCell(20, 5, c.cell);
    r.fake.memMain.focused = false;
    r.fake.memMain.caretCharacter.clear();
    r.Sel().Point({Place::Board, {20, 5}});
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
  EXPECT_EQ(r.Status(), "「わ,ゎ,ワ,ヮ」を入力") << "the cell under the still pointer is described anew";

  r.UserCell(1, 1, "ab,cd");
  EXPECT_EQ(r.Status(), "「ab,cd」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kBlack);
}

// Over the slot board a slot says what will happen to it; every cell of the
// command rows cancels. 新~ opens an empty slot as a new document and says so.
TEST(SelectionTest, StatusLineOverTheSlotBoard) {
  Rig r;
  const std::string slots = r.S().dataDir + "文書";
  r.fake.files.files[slots + "05.txt"] = "five";
  r.Sel().Confirm({Place::Board, {4, 7}});  // 開~
  const struct {
    CellPos cell;
    const char* status;
    Colour colour;
  } open[] = {
      {{6, 1}, "開く：five\r\n", kRed}, {{1, 1}, "開く：空", kRed},     {{20, 5}, "開く：空", kRed},
      {{1, 6}, "キャンセル", kBlue},    {{20, 7}, "キャンセル", kBlue},
  };
  for (const auto& c : open) {
    SCOPED_TRACE(U(board::CommandToken(Command::Open)) + std::to_string(c.cell.col) + "," + std::to_string(c.cell.row));
    r.Sel().Point({Place::SlotBoard, c.cell});
    EXPECT_EQ(r.Status(), c.status);
    EXPECT_EQ(r.fake.pnlMsg.colour, c.colour);
  }
  r.Sel().Confirm({Place::SlotBoard, {1, 6}});
  ASSERT_FALSE(r.form.Slots().Shown());

  // 新~ outside click mode: an empty slot is a new document there.
  r.Mode(&InputModes::MnuEditM10Click);
  r.Sel().Confirm({Place::Board, {3, 7}});
  ASSERT_TRUE(r.form.Slots().Shown());
  r.Sel().Point({Place::SlotBoard, {1, 1}});
  EXPECT_EQ(r.Status(), "新規：空");
  r.Sel().Point({Place::SlotBoard, {6, 1}});
  EXPECT_EQ(r.Status(), "開く：five\r\n");
  r.fake.memMain.Type("x");
  r.Sel().Point({Place::SlotBoard, {1, 1}});
  EXPECT_EQ(r.Status(), "新規：無題を閉じて新しく");
}

TEST(SelectionTest, VariantDescriptions) {
  Rig r;
  r.UserCell(3, 2, "ぁ,改~");
  r.Click(3, 2);
  ASSERT_TRUE(r.fake.sgd01.visible);
  const std::pair<CellPos, const char*> cases[] = {{{0, 0}, "「ぁ」を入力"}, {{1, 0}, "「改~」を入力"}, {{0, 1}, ""}};
  for (const auto& [cell, status] : cases) {
    SCOPED_TRACE(status);
    r.Sel().Point({Place::List, cell});
    EXPECT_EQ(r.Status(), status);
    if (*status) {
      EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
    }
  }
}

// ---------------------------------------------------------------- variant list

TEST(SelectionTest, ConfirmingAnEmptyCellDoesNothing) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  ASSERT_TRUE(r.fake.sgd01.visible);
  r.Sel().Confirm({Place::Board, kEmpty});
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
// pixels, laid over the confirmed cell with its first cell current. The
// status line describes what lies under the pointer now: the list's entry.
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
  EXPECT_TRUE(list.visible);
  EXPECT_TRUE(list.focused);
  EXPECT_EQ(r.Status(), "「a」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
  EXPECT_TRUE(r.form.Pointer().Held());
}

// A cell opens the list only with two or more variants, unless its first
// variant is a document or quit command: that runs at once.
TEST(SelectionTest, WhichCellsOpenTheList) {
  const struct {
    const char* cell;
    bool opens;
    const char* inserted;
    bool slots;
    int closeRequests;
  } cases[] = {
      {"a,b", true, "", false, 0},   {"a b", true, "", false, 0},     {"\"a b\"", false, "\"a b\"", false, 0},
      {"ab", false, "ab", false, 0}, {"開~,a,b", false, "", true, 0}, {"終~,x", false, "", false, 1},
      {"改~,x", true, "", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    Rig r;
    r.UserCell(2, 2, c.cell);
    r.Click(2, 2);
    EXPECT_EQ(r.fake.sgd01.visible, c.opens);
    EXPECT_EQ(r.Text(), c.inserted);
    EXPECT_EQ(r.form.Slots().Shown(), c.slots);
    EXPECT_EQ(r.fake.window.closeRequests, c.closeRequests);
  }
}

TEST(SelectionTest, APressOnAVariantWritesIt) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  PointerAt(r.fake, r.form, OnList(r.fake, 1, 1));  // the list's margin: no entry
  EXPECT_EQ(r.Status(), "");
  r.ListMove(1, 0);
  EXPECT_EQ(r.Status(), "「ぁ」を入力");
  EXPECT_EQ(r.fake.pnlMsg.colour, kRed);
  r.ListPress(1, 0);
  EXPECT_EQ(r.Text(), "ぁ");
  EXPECT_EQ(U(r.fake.clipboard), "ぁ");
  EXPECT_FALSE(r.fake.sgd01.visible);
}

// The pointer going back to the board gives a list of variants up (nothing
// is lost: the group cell offers them again).
TEST(SelectionTest, MovingOntoAnotherBoardCellClosesAVariantList) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  r.ListMove(1, 0);
  EXPECT_TRUE(r.fake.sgd01.visible);
  r.Move(5, 4);
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_EQ(r.Status(), "「ね,ネ」を入力");
  EXPECT_EQ(r.Text(), "");
}

TEST(SelectionTest, DwellOnTheListWritesAndPutsThePointerBack) {
  Rig r;
  r.Mode(&InputModes::MnuEditM10Click);
  r.Move(kGroupA.col, kGroupA.row);
  const Point confirmedAt = r.fake.pointer.position.value();
  r.Tick(2);
  ASSERT_TRUE(r.fake.sgd01.visible);
  EXPECT_FALSE(r.fake.tmrInput0.running) << "the list under the still pointer counts nothing";

  r.ListMove(1, 0);
  r.Tick();
  EXPECT_EQ(r.Text(), "");
  r.Tick();
  EXPECT_EQ(r.Text(), "ぁ");
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_FALSE(r.fake.tmrInput0.running);
  EXPECT_EQ(r.fake.pnlMsg.timeText, "");
  EXPECT_EQ(r.fake.pointer.moves, std::vector<Point>{confirmedAt});

  // The pointer is over the group cell again: no new count there.
  r.Move(kGroupA.col, kGroupA.row);
  r.Tick(4);
  EXPECT_FALSE(r.fake.sgd01.visible);
  r.Move(kGroupA.col + 1, kGroupA.row);
  r.Move(kGroupA.col, kGroupA.row);
  r.Tick(2);
  EXPECT_TRUE(r.fake.sgd01.visible);
}

// The group は has six variants: a list of 3 columns by 2 rows. An arrow
// against its edge gives it up; the board's cursor stays on the group cell.
TEST(SelectionTest, AnArrowAgainstTheEdgeOfAVariantListLeavesIt) {
  const struct {
    CellPos current;
    velkor::Key key;
    bool leaves;
  } cases[] = {
      {{2, 0}, Key::Right, true},  {{0, 1}, Key::Left, true},  {{1, 0}, Key::Up, true},  {{2, 1}, Key::Down, true},
      {{1, 1}, Key::Right, false}, {{1, 1}, Key::Left, false}, {{2, 1}, Key::Up, false}, {{2, 0}, Key::Down, false},
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
    r.fake.memMain.focused = false;
    r.form.Keys().KeyDown(c.key);
    EXPECT_EQ(r.fake.sgd01.visible, !c.leaves);
    EXPECT_EQ((CellPos{r.fake.sgd00.col, r.fake.sgd00.row}), groupHa);
    EXPECT_EQ(r.Text(), "");
    if (c.leaves) {
      EXPECT_EQ(r.Status(), "「は,ば,ぱ,ハ,バ,パ」を入力");
    }
  }
}

TEST(SelectionTest, AKeyReleasedInTheListWritesTheCurrentVariant) {
  Rig r;
  r.Click(kGroupA.col, kGroupA.row);
  r.fake.sgd01.col = 1;
  r.fake.sgd01.row = 1;
  EXPECT_FALSE(r.form.Keys().KeyDown(Key::Right)) << "click mode: the list walks itself";
  r.form.Keys().KeyUp(Key::Right);
  EXPECT_TRUE(r.fake.sgd01.visible);

  r.Mode(&InputModes::MnuEditYaClick);
  r.form.Keys().KeyUp(Key::Delete);  // pressed before: nothing
  EXPECT_TRUE(r.fake.sgd01.visible);
  r.Key(Key::Delete);
  EXPECT_EQ(r.Text(), "ァ");
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
    r.Sel().Point({Place::SlotBoard, {1, 1}});
    EXPECT_EQ(r.Status(), c.firstStatus);
    EXPECT_EQ(r.fake.pnlMsg.colour, kRed);

    // Confirming a slot cell never opens the list.
    r.Click(2, 1);
    EXPECT_FALSE(r.fake.sgd01.visible);
    EXPECT_TRUE(r.fake.tabC00.visible);
  }
}

// 名~ starts on the first empty slot; a slot holding another document takes
// a second confirmation on the same cell outside click mode (any other
// choice gives it up), and a yes/no question in click mode.
TEST(SelectionTest, SavingOverAnotherDocumentTakesASecondConfirmation) {
  const struct {
    const char* name;
    ModeHandler mode;
  } modes[] = {{"dwell", &InputModes::MnuEditM10Click}, {"arrow keys", &InputModes::MnuEditYaClick}};
  for (const auto& m : modes) {
    SCOPED_TRACE(m.name);
    Rig r;
    r.Mode(m.mode);
    const std::string slots = r.S().dataDir + "文書";
    r.fake.files.files[slots + "00.txt"] = "old";
    r.fake.memMain.Type("new");
    r.Sel().Confirm({Place::Board, {6, 7}});  // 名~
    ASSERT_TRUE(r.form.Slots().Shown());
    EXPECT_EQ(r.form.Slots().Start(), (CellPos{2, 1}));
    EXPECT_EQ(r.fake.sgd00.Col(), 2);
    r.Sel().Confirm({Place::SlotBoard, {1, 1}});
    EXPECT_EQ(r.fake.files.files[slots + "00.txt"], "old");
    EXPECT_EQ(U(r.fake.sgd00.CellText(1, 1)), "もう一度で上書き");
    r.Sel().Point({Place::SlotBoard, {1, 1}});
    EXPECT_EQ(r.Status(), "もう一度で上書き");
    r.Sel().Confirm({Place::SlotBoard, {3, 1}});  // another choice gives it up and saves to an empty slot
    EXPECT_EQ(r.fake.files.files[slots + "00.txt"], "old");
    r.Sel().Confirm({Place::Board, {6, 7}});
    r.Sel().Confirm({Place::SlotBoard, {1, 1}});
    r.Sel().Confirm({Place::SlotBoard, {1, 1}});
    EXPECT_EQ(r.fake.files.files[slots + "00.txt"], "new");
  }
  Rig r;
  r.Mode(&InputModes::MnuEditClickClick);
  const std::string slots = r.S().dataDir + "文書";
  r.fake.files.files[slots + "00.txt"] = "old";
  r.fake.memMain.Type("new");
  r.fake.window.answerYes = false;
  r.Sel().Confirm({Place::Board, {6, 7}});
  r.Sel().Confirm({Place::SlotBoard, {1, 1}});
  EXPECT_EQ(r.fake.window.questions, std::vector<std::string>{Sj("文書00 はすでに存在します。上書きしますか？")});
  EXPECT_EQ(r.fake.files.files[slots + "00.txt"], "old");
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
  const auto preview = [&r](int n) { return U(r.form.Slots().Describe({n % 20 + 1, n / 20 + 1}).text); };
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    SCOPED_TRACE(cases[n].name);
    EXPECT_EQ(preview(static_cast<int>(n)), cases[n].preview);
  }
  EXPECT_EQ(preview(99), "開く：空");
  r.Move(3, 1);
  EXPECT_EQ(r.Status(), "開く：abc\r\n");
  EXPECT_EQ(r.fake.pnlMsg.colour, kRed);

  // Every showing reads the files afresh.
  r.Click(1, 6);  // ☆~
  r.fake.files.files[slots + "02.txt"] = "new";
  r.Click(4, 7);
  EXPECT_EQ(preview(2), "開く：new\r\n");
}

}  // namespace
}  // namespace velkor::testing
