#include "board/BoardDisplay.h"

#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "board/BoardModel.h"

using namespace velkor;
using namespace velkor::testing;

namespace {

class BoardDisplayTest : public ::testing::Test {
 protected:
  BoardDisplayTest() {
    SettingsEnvironment env;
    env.screenWidth = 1280;
    env.screenHeight = 1024;
    env.windowWidth = 625;
    env.windowHeight = 351;
    env.editFont = {Sj("ＭＳ ゴシック"), 20, colours::clWindowText};
    env.boardFont = {Sj("ＭＳ ゴシック"), 22, colours::clWindowText};
    env.userTabContent[0] = board::DefaultUserTabContent(1);
    env.userTabContent[1] = board::DefaultUserTabContent(2);
    state.settings.Load(p.store, env);
    p.sgd00.SetShape(board::kColCount, board::kRowCount, 1, 1);
    board.ApplyBoardFont();  // 22 pt at 96 ppi: 33 px cells
  }

  StringList& Crt() { return state.settings.crtList; }
  // The label of a cell as UTF-8, for readable comparisons.
  std::string Label(int col, int row) const { return cp932::ToUtf8(p.sgd00.CellText(col, row)); }
  void ShowTab(int tab) {
    p.tabC00.SetIndex(tab);
    board.FillBoard();
  }
  void SetMirroring(bool on) { state.settings.SetOption(option::kKanaMirroring, on ? "1" : "0"); }

  FakePlatform p;
  ProgramState state;
  BoardDisplay board{state, {p.window, p.memMain, p.sgd00, p.tabC00, p.pnlMsg, p.dialogs, p.predictionRow}};
};

struct CellCase {
  int col, row;
  const char* label;
};

void ExpectLabels(const FakeBoardGrid& grid, std::initializer_list<CellCase> cells) {
  for (const CellCase& c : cells) {
    EXPECT_EQ(cp932::ToUtf8(grid.CellText(c.col, c.row)), c.label) << "row " << c.row << ", column " << c.col;
  }
}

}  // namespace

TEST_F(BoardDisplayTest, BuiltInTabShowsFirstVariants) {
  p.sgd00.cellMenu = true;
  p.sgd00.fixedColour = colours::clRed;
  ShowTab(0);

  ExpectLabels(p.sgd00, {{1, 1, "あ"},  {2, 1, "か"},  {10, 1, "わ"}, {11, 1, "A"},  {16, 1, "F"},  {17, 1, "("},
                         {18, 1, "＋"}, {17, 2, "「"}, {18, 5, "\\"}, {10, 4, "ー"}, {11, 5, "。"}, {14, 5, "？"},
                         {15, 5, "Y"},  {16, 5, "Z"},  {1, 5, "お"},  {10, 5, "ん"}, {8, 2, ""},    {10, 2, ""},
                         {8, 4, ""},    {19, 1, "0"},  {19, 2, "1"},  {19, 3, "2"},  {19, 4, "3"},  {19, 5, "4"},
                         {20, 1, "5"},  {20, 2, "6"},  {20, 3, "7"},  {20, 4, "8"},  {20, 5, "9"}});
  EXPECT_FALSE(p.sgd00.cellMenu);
  EXPECT_EQ(p.sgd00.fixedColour, colours::clBtnFace);
  EXPECT_EQ(state.defaultBoardList, board::BuiltInBoard());
}

// The command rows are the same on every tab; the cells around the commands
// are cleared of whatever the grid held before.
TEST_F(BoardDisplayTest, CommandRowsOnEveryTab) {
  const char* row6[] = {"改~", "←~", "→~", "↑~", "↓~", "挿~", "削~", "BS~", "戻", "直", "変~", "話~"};
  const char* row7[] = {"《~", "》~", "新~", "開~", "書~", "名~", "印~", "終~", "休~", "設~", "鈴~", "文~", "忘~"};
  for (int tab = 0; tab < 3; ++tab) {
    SCOPED_TRACE("tab " + std::to_string(tab));
    for (int row = 6; row <= 7; ++row) {
      for (int col = 1; col <= 20; ++col) p.sgd00.SetCellText(col, row, Sj("☆~"));
    }
    ShowTab(tab);
    for (int col = 1; col <= 20; ++col) {
      EXPECT_EQ(Label(col, 6), col <= 12 ? row6[col - 1] : "") << "row 6, column " << col;
      EXPECT_EQ(Label(col, 7), col <= 13 ? row7[col - 1] : "") << "row 7, column " << col;
    }
  }
}

TEST_F(BoardDisplayTest, MirroredSyllabaryReadsFromTheRight) {
  SetMirroring(true);
  ShowTab(0);
  ExpectLabels(p.sgd00, {{1, 1, "わ"},
                         {2, 1, "ら"},
                         {9, 1, "か"},
                         {10, 1, "あ"},
                         {11, 1, "A"},
                         {20, 1, "5"},
                         {1, 2, ""},
                         {2, 2, "り"},
                         {3, 2, ""},
                         {10, 2, "い"},
                         {1, 4, "ー"},
                         {3, 4, ""},
                         {1, 5, "ん"},
                         {10, 5, "お"},
                         {11, 5, "。"},
                         {18, 5, "\\"}});

  // The list the status line and the variant list read follows the display.
  const StringList& list = state.defaultBoardList;
  ASSERT_EQ(list.size(), 100u);
  EXPECT_EQ(list[board::CellIndex(1, 1)], Sj("わ,ゎ,ワ,ヮ"));
  EXPECT_EQ(list[board::CellIndex(1, 10)], Sj("あ,ぁ,ア,ァ"));
  EXPECT_EQ(list[board::CellIndex(5, 1)], Sj("ん,ン"));
  EXPECT_EQ(list[board::CellIndex(1, 11)], "A,a");
  EXPECT_EQ(list[board::CellIndex(5, 20)], "9");
  for (int row = 1; row <= 5; ++row) {
    for (int col = 1; col <= 20; ++col) {
      EXPECT_EQ(board::CellLabel(list[board::CellIndex(row, col)], true), p.sgd00.CellText(col, row))
          << "row " << row << ", column " << col;
    }
  }
}

TEST_F(BoardDisplayTest, MirroringToggleRefillsTheBoard) {
  ShowTab(0);
  board.MnuDspHiraClick();
  EXPECT_EQ(state.settings.Option(option::kKanaMirroring), "1");
  EXPECT_EQ(Label(1, 1), "わ");

  board.MnuDspHiraClick();
  EXPECT_EQ(state.settings.Option(option::kKanaMirroring), "0");
  EXPECT_EQ(Label(1, 1), "あ");
  EXPECT_EQ(state.defaultBoardList[0], Sj("あ,ぁ,ア,ァ"));
}

TEST_F(BoardDisplayTest, UserTabsShowStoredTextsAndAreNeverMirrored) {
  SetMirroring(true);
  p.sgd00.cellMenu = false;
  ShowTab(1);
  ExpectLabels(p.sgd00, {{1, 1, "☆"}, {2, 1, "※"}, {3, 1, ""}, {10, 1, ""}, {20, 5, ""}});
  EXPECT_TRUE(p.sgd00.cellMenu);

  ShowTab(2);
  ExpectLabels(p.sgd00, {{1, 1, "こんにちは,さようなら"}, {2, 1, ""}, {10, 1, ""}});
  EXPECT_TRUE(p.sgd00.cellMenu);

  // Whole texts, commas, quotes and tokens included; only "~" alone is empty.
  StringList cells(167, "~");
  cells[0] = "two words";
  cells[1] = "a,\"b\"";
  cells[2] = Sj("改~");
  cells[3] = "~~";
  cells[9] = Sj("十");
  cells[99] = "last";
  cells[100] = "not shown";
  Crt()[crt::kTab2Content] = WriteCommaText(cells);
  ShowTab(2);
  ExpectLabels(p.sgd00, {{1, 1, "two words"},
                         {2, 1, "a,\"b\""},
                         {3, 1, "改~"},
                         {4, 1, "~~"},
                         {5, 1, ""},
                         {10, 1, "十"},
                         {20, 5, "last"},
                         {1, 6, "改~"}});

  // A short hand-edited list shows as far as it goes.
  Crt()[crt::kTab1Content] = "x,y";
  ShowTab(1);
  ExpectLabels(p.sgd00, {{1, 1, "x"}, {2, 1, "y"}, {3, 1, ""}, {20, 5, ""}});
}

TEST_F(BoardDisplayTest, SizeListsGiveWidthsAndHeights) {
  const int d = 33;
  std::string all25;
  std::vector<int> widths25, heights25;
  for (int i = 0; i < 20; ++i) widths25.push_back(10 + i);
  for (int i = 0; i < 5; ++i) heights25.push_back(40 + i);
  for (int w : widths25) all25 += std::to_string(w) + ",";
  for (int h : heights25) all25 += std::to_string(h) + ",";
  all25.pop_back();

  struct Case {
    const char* name;
    std::string sizes;
    std::vector<int> widths;  // columns 1.. as listed, the rest default
    std::vector<int> heights;
  } cases[] = {
      {"single zero", "0", {}, {}},
      {"empty", "", {}, {}},
      {"all 25", all25, widths25, heights25},
      {"negative item 3", "50,51,52,-5,54", {50, 51, 52, d, 54}, {}},
      {"zeros", "0,0,7", {d, d, 7}, {}},
      {"short", "50,51,52", {50, 51, 52}, {}},
      {"not a number", "50,abc,52, 53,5x", {50, d, 52, 53, d}, {}},
      {"two heights", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,60,61", std::vector<int>(20, 1), {60, 61}},
  };
  for (int tab = 0; tab < 3; ++tab) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", tab " + std::to_string(tab));
      for (int t = 0; t < 3; ++t) Crt()[crt::kTab0Sizes + t] = t == tab ? c.sizes : "77";
      p.sgd00.SetRowHeight(6, 19);
      p.sgd00.SetRowHeight(7, 18);
      ShowTab(tab);
      for (int col = 1; col <= 20; ++col) {
        const int expected = col <= static_cast<int>(c.widths.size()) ? c.widths[col - 1] : d;
        EXPECT_EQ(p.sgd00.ColWidth(col), expected) << "column " << col;
      }
      for (int row = 1; row <= 5; ++row) {
        const int expected = row <= static_cast<int>(c.heights.size()) ? c.heights[row - 1] : d;
        EXPECT_EQ(p.sgd00.RowHeight(row), expected) << "row " << row;
      }
      EXPECT_EQ(p.sgd00.RowHeight(6), 19);
      EXPECT_EQ(p.sgd00.RowHeight(7), 18);
      EXPECT_EQ(p.sgd00.ColWidth(0), 5);
      EXPECT_EQ(p.sgd00.RowHeight(0), 5);
    }
  }
}

// The slot board hides the tab strip; refilling the board brings it back under
// the grid by hiding the grid, showing the tabs, then showing the grid.
TEST_F(BoardDisplayTest, HiddenTabStripComesBackUnderTheGrid) {
  p.tabC00.visible = false;
  p.sgd00.visibilityLog.clear();
  ShowTab(1);
  EXPECT_EQ(p.sgd00.visibilityLog, (std::vector<std::string>{"grid hidden", "tabs shown", "grid shown"}));
  EXPECT_TRUE(p.tabC00.visible);
  EXPECT_TRUE(p.sgd00.visible);

  p.sgd00.visibilityLog.clear();
  ShowTab(0);
  EXPECT_TRUE(p.sgd00.visibilityLog.empty());
}

TEST_F(BoardDisplayTest, SaveTabSizesStoresTheShownTab) {
  ShowTab(1);
  for (int col = 1; col <= 20; ++col) p.sgd00.SetColWidth(col, 10 + col);
  for (int row = 1; row <= 5; ++row) p.sgd00.SetRowHeight(row, 60 + row);
  board.SaveTabSizes();
  EXPECT_EQ(Crt()[crt::kTab1Sizes], "11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,61,62,63,64,65");
  EXPECT_EQ(Crt()[crt::kTab0Sizes], "0");
  EXPECT_EQ(Crt()[crt::kTab2Sizes], "0");

  // Leaving the tab keeps its sizes; the other tab shows its own (default) ones.
  board.TabC00Changing();
  p.tabC00.SetIndex(2);
  board.TabC00Change();
  EXPECT_EQ(p.sgd00.ColWidth(1), 33);
  EXPECT_EQ(p.sgd00.RowHeight(5), 33);
  board.TabC00Changing();
  EXPECT_EQ(Crt()[crt::kTab2Sizes], WriteCommaText(StringList(25, "33")));
  p.tabC00.SetIndex(1);
  board.TabC00Change();
  EXPECT_EQ(p.sgd00.ColWidth(1), 11);
  EXPECT_EQ(p.sgd00.ColWidth(20), 30);
  EXPECT_EQ(p.sgd00.RowHeight(5), 65);
}

TEST_F(BoardDisplayTest, ApplyBoardFontSetsFontAndDefaultSizes) {
  Crt()[crt::kBoardFontName] = "Courier New";
  Crt()[crt::kBoardFontSize] = "22";
  Crt()[crt::kBoardFontColour] = "clRed";
  p.sgd00.SetColWidth(3, 99);
  p.sgd00.SetRowHeight(6, 99);
  board.ApplyBoardFont();

  const FontSpec font{"Courier New", 22, colours::clRed};
  EXPECT_EQ(p.sgd00.font, font);
  EXPECT_EQ(p.sgd00.defaultRowHeight, 33);
  EXPECT_EQ(p.sgd00.defaultColWidth, 33);
  EXPECT_EQ(p.sgd00.ColWidth(3), 33);
  EXPECT_EQ(p.sgd00.RowHeight(6), 33);
  EXPECT_EQ(p.sgd00.ColWidth(0), 5);
  EXPECT_EQ(p.sgd00.RowHeight(0), 5);
  EXPECT_EQ(p.pnlMsg.font, font);
  EXPECT_EQ(p.pnlMsg.height, 37);

  Crt()[crt::kBoardFontSize] = "12";
  p.sgd00.ppi = 120;  // 20 px
  board.ApplyBoardFont();
  EXPECT_EQ(p.sgd00.defaultRowHeight, 24);
  EXPECT_EQ(p.pnlMsg.height, 28);
}

// Points times pixels per inch over 72, rounded half to even, plus 4.
TEST(BoardDisplay, DefaultCellSizeRoundsHalfToEven) {
  struct Case {
    int points, ppi, size;
  } cases[] = {
      {22, 96, 33},   // 29.33
      {20, 96, 31},   // 26.67
      {12, 96, 20},   // 16 exactly
      {9, 100, 16},   // 12.5 -> 12
      {9, 108, 18},   // 13.5 -> 14
      {27, 100, 42},  // 37.5 -> 38
      {15, 100, 25},  // 20.83 -> 21
      {3, 12, 4},     // 0.5 -> 0
      {1, 108, 6},    // 1.5 -> 2
      {10, 144, 24},  // 20 exactly
      {11, 120, 22},  // 18.33
      {1, 1, 4},     {0, 96, 4}, {72, 72, 76},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoardDisplay::DefaultCellSize(c.points, c.ppi), c.size) << c.points << " pt at " << c.ppi << " ppi";
  }
}

// A user tab written by a version before 鈴~ and 文~ (its command rows stored
// as the cell editor wrote them then, with columns 11 and 12 of row 7 empty)
// keeps every one of its cells; the new cells take those free places.
TEST_F(BoardDisplayTest, ABoardWrittenBeforeTheBellKeepsItsCellsAndGainsTheBell) {
  StringList cells;
  for (int i = 0; i < board::kContentCells; ++i) cells.push_back("c" + std::to_string(i));
  for (const char* token : {"改~", "←~", "→~", "↑~", "↓~", "挿~", "削~", "BS~", "戻", "直", "変~", "話~"})
    cells.push_back(Sj(token));
  cells.insert(cells.end(), 8, "~");
  for (const char* token : {"《~", "》~", "新~", "開~", "書~", "名~", "印~", "終~", "休~", "設~"})
    cells.push_back(Sj(token));
  cells.insert(cells.end(), 10, "~");
  Crt()[crt::kTab1Content] = WriteCommaText(cells);
  ShowTab(1);
  for (int i = 0; i < board::kContentCells; ++i) {
    EXPECT_EQ(Label(board::ColOfIndex(i), board::RowOfIndex(i)), "c" + std::to_string(i));
  }
  EXPECT_EQ(Label(11, 7), "鈴~");
  EXPECT_EQ(board.CellAt(11, 7).command, Command::CallBell);
  EXPECT_EQ(Label(12, 7), "文~");
  EXPECT_EQ(Crt()[crt::kTab1Content], WriteCommaText(cells)) << "showing writes nothing back";
}
