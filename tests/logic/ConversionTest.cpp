// Kana-to-kanji conversion from the board with a scripted engine: which
// reading is taken, what the list offers, and how each choice changes the
// text, in every input mode.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";
constexpr char kDwell[] = "0,1,0,1,0,0,0,0,0,0";
constexpr char kArrows[] = "0,0,1,1,0,0,0,0,0,0";

StringList SjList(std::initializer_list<const char*> items) {
  StringList out;
  for (const char* item : items) out.push_back(Sj(item));
  return out;
}

class ConversionTest : public ::testing::Test {
 protected:
  void Start(const char* option = kClick) {
    fake_.store.SetCp932("Option", option);
    form_ = std::make_unique<MainForm>(fake_.Get());
    WireNotifications(fake_, *form_);
    ASSERT_TRUE(form_->FormCreate());
    form_->FormShow();
    fake_.converter.script[Sj("きょうはいいてんきです")] = {
        {Sj("きょうは"), SjList({"今日は", "京は", "きょうは"})},
        {Sj("いい"), SjList({"いい", "良い"})},
        {Sj("てんきです"), SjList({"天気です", "転記です", "てんきです"})},
    };
  }
  void Write(const char* utf8) { fake_.memMain.Type(Sj(utf8)); }
  // Confirms the board cell at (col, row) as a press does.
  void PressBoard(int col, int row) { form_->Select().Confirm({Place::Board, {col, row}}); }
  void Convert() { PressBoard(11, 6); }  // "変~"
  // Chooses the list cell at (col, row) as a press on it does.
  void PressList(int col, int row) { form_->Select().Confirm({Place::List, {col, row}}); }
  // The pointer over list cell (col, row), `dx` and `dy` pixels off its
  // top-left corner.
  Point OnListCell(int col, int row, int dx = 2, int dy = 2) {
    return OnList(fake_, 5 + col * fake_.sgd01.cellWidth + dx, 5 + row * fake_.sgd01.cellHeight + dy);
  }
  // The pointer rests at `at` for three dwell times, as the timer ticks them
  // while it runs.
  void RestAt(Point at) {
    PointerAt(fake_, *form_, at);
    for (int tick = 0; tick < 6; ++tick) {
      if (fake_.tmrInput0.running) form_->Pointer().Tick();
    }
  }
  std::string ListCell(int col, int row) { return cp932::ToUtf8(fake_.sgd01.CellText(col, row)); }
  std::string Text() { return cp932::ToUtf8(fake_.memMain.text); }
  std::string Status() { return cp932::ToUtf8(fake_.pnlMsg.text); }
  std::string LastMessage() {
    return fake_.window.messages.empty() ? cp932::ToUtf8(fake_.pnlMsg.message)
                                         : cp932::ToUtf8(fake_.window.messages.back().first);
  }

  FakePlatform fake_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(ConversionTest, TheConvertCellSitsInTheCommandRowsAndSaysWhatItDoes) {
  Start();
  EXPECT_EQ(cp932::ToUtf8(fake_.sgd00.CellText(11, 6)), "変~");
  form_->Select().Point({Place::Board, {11, 6}});
  EXPECT_EQ(Status(), "漢字に変換");
  EXPECT_EQ(fake_.pnlMsg.colour, status::kBlue);
}

TEST_F(ConversionTest, TheReadingIsTheSelectedKanaOrTheHiraganaBeforeTheCaret) {
  Start();
  const struct {
    const char* text;
    int selStart, selLength;  // bytes
    const char* reading;      // "" for none
  } cases[] = {
      {"漢字らーめん", 12, 0, "らーめん"},  // a run of hiragana and long-vowel marks
      {"ABCきょう", 9, 0, "きょう"},        // stops at Latin letters
      {"漢字です", 8, 0, "です"},           // stops at kanji
      {"カタカナ", 0, 8, "カタカナ"},       // a selection of katakana
      {"あいカナ", 0, 8, "あいカナ"},       // a selection of mixed kana
      {"あい漢", 0, 6, ""},                 // a selection with a kanji: nothing
      {"abc", 3, 0, ""},                    // nothing before the caret
      {"あい\r\nう", 8, 0, "う"},           // stops at the line break
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    fake_.memMain.text = Sj(c.text);
    fake_.memMain.selStart = c.selStart;
    fake_.memMain.selLength = c.selLength;
    std::size_t start = 99;
    EXPECT_EQ(cp932::ToUtf8(form_->Converting().Reading(&start)), c.reading);
  }
  // The run is at most 64 characters long.
  std::string run;
  for (int i = 0; i < 70; ++i) run += Sj("あ");
  fake_.memMain.text = run;
  fake_.memMain.selStart = static_cast<int>(run.size());
  fake_.memMain.selLength = 0;
  std::size_t start = 0;
  EXPECT_EQ(form_->Converting().Reading(&start).size(), 128u);
  EXPECT_EQ(start, 12u);
}

TEST_F(ConversionTest, NoReadingOrNoEngineSaysSoAndChangesNothing) {
  Start(kDwell);
  Write("ABC");
  Convert();
  EXPECT_EQ(LastMessage(), "変換する文字がありません");
  EXPECT_FALSE(fake_.sgd01.visible);

  Write("かな");
  fake_.converter.available = false;
  Convert();
  EXPECT_EQ(LastMessage(), "変換エンジンがありません");
  EXPECT_FALSE(fake_.sgd01.visible);
  EXPECT_EQ(Text(), "ABCかな");
}

TEST_F(ConversionTest, EachSegmentIsReplacedInTurnAsOneChangeEach) {
  Start();
  Write("きょうはいいてんきです");
  const int entries = form_->UndoLog().Count();
  Convert();
  ASSERT_TRUE(fake_.sgd01.visible);
  EXPECT_EQ(fake_.sgd01.cols, 4);
  EXPECT_EQ(fake_.sgd01.rows, 4);
  // Over the convert cell, as large as four by four of its cells.
  const Rect cell = fake_.sgd00.CellRect(11, 6);
  EXPECT_EQ(fake_.sgd01.geometry, (Rect{cell.left, cell.top, cell.width * 4 + 10, cell.height * 4 + 10}));
  EXPECT_EQ(ListCell(0, 0), "今日は");
  EXPECT_EQ(ListCell(1, 0), "京は");
  EXPECT_EQ(ListCell(2, 0), "きょうは");
  EXPECT_EQ(ListCell(3, 0), "");
  EXPECT_EQ(ListCell(0, 3), "短~");
  EXPECT_EQ(ListCell(1, 3), "長~");
  EXPECT_EQ(ListCell(2, 3), "");  // no next page
  EXPECT_EQ(ListCell(3, 3), "確~");
  form_->Select().Point({Place::List, {0, 0}});
  EXPECT_EQ(Status(), "「今日は」を入力");

  PressList(0, 0);
  EXPECT_EQ(Text(), "今日はいいてんきです");
  EXPECT_EQ(form_->UndoLog().Count(), entries + 1);
  EXPECT_TRUE(fake_.sgd01.visible);  // the next segment's candidates
  EXPECT_EQ(ListCell(1, 0), "良い");
  PressList(1, 0);
  EXPECT_EQ(Text(), "今日は良いてんきです");
  PressList(0, 0);
  EXPECT_EQ(Text(), "今日は良い天気です");
  EXPECT_EQ(form_->UndoLog().Count(), entries + 3);
  EXPECT_FALSE(fake_.sgd01.visible);
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_EQ(fake_.memMain.selStart, static_cast<int>(Sj("今日は良い天気です").size()));
  // The engine learnt each choice, in order.
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 0}}));
  // One undo takes back one segment.
  form_->UndoLog().Undo();
  EXPECT_EQ(Text(), "今日は良いてんきです");
}

TEST_F(ConversionTest, ShorterLongerNextPageAndAcceptTheRest) {
  Start();
  StringList many;
  for (int i = 0; i < 15; ++i) many.push_back(Sj("候") + std::to_string(i));
  fake_.converter.script[Sj("かんごしさん")] = {{Sj("かんご"), many}, {Sj("しさん"), SjList({"資産", "試算"})}};
  Write("かんごしさん");
  Convert();
  EXPECT_EQ(ListCell(2, 3), "次~");
  PressList(2, 3);  // next page: candidates 12 to 14
  EXPECT_EQ(ListCell(0, 0), "候12");
  EXPECT_EQ(ListCell(3, 0), "");
  EXPECT_EQ(ListCell(2, 3), "");
  EXPECT_EQ(Text(), "かんごしさん");

  PressList(1, 3);  // longer: the first segment takes one more character
  EXPECT_EQ(fake_.converter.resizes.back(), (std::pair<int, int>{0, +1}));
  EXPECT_EQ(ListCell(0, 0), "かんごし");
  PressList(0, 3);  // shorter again
  EXPECT_EQ(fake_.converter.resizes.back(), (std::pair<int, int>{0, -1}));
  EXPECT_EQ(ListCell(0, 0), "かんご");

  const int entries = form_->UndoLog().Count();
  PressList(3, 3);  // accept the rest: first candidates (here the readings), one change
  EXPECT_EQ(Text(), "かんごしさん");
  EXPECT_EQ(form_->UndoLog().Count(), entries + 1);
  EXPECT_FALSE(fake_.sgd01.visible);
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_EQ(fake_.converter.commits.size(), 2u);
}

TEST_F(ConversionTest, AcceptTheRestTakesTheFirstCandidateOfEveryRemainingSegment) {
  Start();
  Write("きょうはいいてんきです");
  const int entries = form_->UndoLog().Count();
  Convert();
  PressList(1, 0);  // 京は
  form_->Select().Point({Place::List, {3, 3}});
  EXPECT_EQ(Status(), "残りをすべて確定「いい天気です」") << "what is left, as it will be written";
  PressList(3, 3);
  EXPECT_EQ(Text(), "京はいい天気です");
  EXPECT_EQ(form_->UndoLog().Count(), entries + 2);
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {2, 0}}));
}

TEST_F(ConversionTest, StatusTextsOfTheControlCells) {
  Start();
  Write("きょうはいいてんきです");
  Convert();
  // 確~ says what it will write.
  const std::pair<int, const char*> controls[] = {
      {0, "文節を短く"}, {1, "文節を長く"}, {3, "残りをすべて確定「今日はいい天気です」"}};
  for (const auto& [col, text] : controls) {
    form_->Select().Point({Place::List, {col, 3}});
    EXPECT_EQ(Status(), text);
    EXPECT_EQ(fake_.pnlMsg.colour, status::kBlue);
  }
  form_->Select().Point({Place::List, {1, 0}});
  EXPECT_EQ(Status(), "「京は」を入力");
  EXPECT_EQ(fake_.pnlMsg.colour, status::kRed);
}

// The pointer's path never ends a conversion: gliding off the list onto the
// board, resting there and coming back keeps every segment. A confirmation
// on the board ends it, keeping what was converted, and what is written next
// follows the reading left unconverted.
TEST_F(ConversionTest, LeavingTheListKeepsItAndABoardConfirmationEndsIt) {
  Start(kDwell);
  Write("きょうはいいてんきです");
  Convert();
  PressList(0, 0);
  const Rect other = fake_.sgd00.CellRect(3, 3);
  PointerAt(fake_, *form_, OnGrid(fake_, other.left + 2, other.top + 2));
  form_->Pointer().Tick();  // half a dwell time on the board
  EXPECT_TRUE(fake_.sgd01.visible);
  EXPECT_TRUE(form_->Converting().Active());
  EXPECT_EQ(Text(), "今日はいいてんきです");
  RestAt(OnListCell(1, 0));  // 良い
  EXPECT_EQ(Text(), "今日は良いてんきです");
  EXPECT_TRUE(form_->Converting().Active());

  PressBoard(12, 6);  // 話~: any confirmation on the board
  EXPECT_FALSE(fake_.sgd01.visible);
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_GE(fake_.converter.ends, 1);
  EXPECT_EQ(Text(), "今日は良いてんきです");
  EXPECT_EQ(fake_.memMain.selStart, static_cast<int>(fake_.memMain.text.size()));
  EXPECT_EQ(LastMessage(), "変換を終了しました");
}

TEST_F(ConversionTest, GivingUpInTheMiddleOfTheTextPutsTheCaretAfterTheRestOfTheReading) {
  Start(kArrows);
  Write("きょうはいいてんきです");
  Write("。続き");
  fake_.memMain.SetSelStart(static_cast<int>(Sj("きょうはいいてんきです").size()));
  Convert();
  PressList(0, 0);
  PressBoard(12, 6);
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_EQ(Text(), "今日はいいてんきです。続き");
  EXPECT_EQ(fake_.memMain.selStart, static_cast<int>(Sj("今日はいいてんきです").size()));
  EXPECT_EQ(LastMessage(), "変換を終了しました");
}

// A list that opens or refills under a still pointer commits nothing, however
// long the pointer rests and trembles (±2 pixels, across the border of two
// entries too); entering another entry counts, and coming back to the first
// one counts as well.
TEST_F(ConversionTest, AStillPointerOverAFreshOrRefilledListChoosesNothing) {
  Start(kDwell);
  Write("きょうはいいてんきです");
  const Rect cell = fake_.sgd00.CellRect(11, 6);
  const Point onConvert = OnGrid(fake_, cell.left + 20, cell.top + 12);
  PointerAt(fake_, *form_, onConvert);
  form_->Pointer().Tick();
  form_->Pointer().Tick();
  ASSERT_TRUE(fake_.sgd01.visible);
  // The list lies under the pointer: a tremor there chooses nothing.
  for (const Point tremor : {Point{0, 0}, Point{2, -2}, Point{-2, 1}, Point{1, 2}}) {
    RestAt({onConvert.x + tremor.x, onConvert.y + tremor.y});
  }
  EXPECT_EQ(Text(), "きょうはいいてんきです");
  // A real movement into 京は, just beside the border of the first entry:
  // it counts, and the list is refilled for the next segment.
  const Point nearBorder = OnListCell(1, 0, 1, 10);
  RestAt(nearBorder);
  EXPECT_EQ(Text(), "京はいいてんきです");
  // The refilled list waits for a movement again, even where the tremor
  // crosses into the next entry.
  for (const Point tremor : {Point{0, 0}, Point{-2, 1}, Point{-3, -1}, Point{2, 2}, Point{-4, 0}}) {
    RestAt({nearBorder.x + tremor.x, nearBorder.y + tremor.y});
  }
  EXPECT_EQ(Text(), "京はいいてんきです");
  // Another entry, and back: each counts.
  RestAt(OnListCell(2, 1, 10, 10));
  RestAt(OnListCell(1, 0, 10, 10));
  EXPECT_EQ(Text(), "京は良いてんきです");
}

TEST_F(ConversionTest, DwellKeepsThePointerOnTheListUntilTheConversionEnds) {
  Start(kDwell);
  Write("きょうはいいてんきです");
  const Rect cell = fake_.sgd00.CellRect(11, 6);
  const Point onConvert = OnGrid(fake_, cell.left + 2, cell.top + 2);
  PointerAt(fake_, *form_, onConvert);
  form_->Pointer().Tick();
  form_->Pointer().Tick();  // one second: "変~" confirmed
  ASSERT_TRUE(fake_.sgd01.visible);
  auto dwellOnList = [&](int col, int row) {
    PointerAt(fake_, *form_, OnListCell(col, row, 10, 10));  // a move: a count starts
    form_->Pointer().Tick();
    form_->Pointer().Tick();
  };
  dwellOnList(1, 1);
  dwellOnList(0, 0);
  EXPECT_EQ(Text(), "今日はいいてんきです");
  EXPECT_TRUE(fake_.pointer.moves.empty());  // not moved back: the list goes on
  dwellOnList(3, 3);                         // accept the rest
  EXPECT_EQ(Text(), "今日はいい天気です");
  ASSERT_EQ(fake_.pointer.moves.size(), 1u);  // back over "変~" at the end
  EXPECT_EQ(fake_.pointer.moves[0], onConvert);
  // What lies there now counts only after a move.
  for (int tick = 0; tick < 6; ++tick) form_->Pointer().Tick();
  EXPECT_FALSE(fake_.sgd01.visible);
  EXPECT_EQ(Text(), "今日はいい天気です");
}

// The arrow keys walk the list round, as they walk the board: one arrow too
// many never ends a conversion.
TEST_F(ConversionTest, ArrowKeysDriveTheListRound) {
  Start(kArrows);
  Write("きょうはいいてんきです");
  fake_.sgd00.SetCol(11);
  fake_.sgd00.SetRow(6);
  form_->Keys().KeyDown(Key::Other);
  form_->Keys().KeyUp(Key::Other);
  ASSERT_TRUE(fake_.sgd01.visible);
  EXPECT_TRUE(fake_.sgd01.focused);
  form_->Keys().KeyDown(Key::Other);
  form_->Keys().KeyUp(Key::Other);  // confirms the current cell, 今日は
  EXPECT_EQ(Text(), "今日はいいてんきです");
  EXPECT_TRUE(fake_.sgd01.focused);  // the keys go on in the list
  form_->Keys().KeyDown(Key::Up);    // against the top edge: round to the last row
  EXPECT_TRUE(fake_.sgd01.visible);
  EXPECT_TRUE(form_->Converting().Active());
  EXPECT_EQ((CellPos{fake_.sgd01.col, fake_.sgd01.row}), (CellPos{0, 3}));
  EXPECT_EQ(Status(), "文節を短く");
  form_->Keys().KeyDown(Key::Left);  // round to the last column: accept the rest
  form_->Keys().KeyDown(Key::Other);
  form_->Keys().KeyUp(Key::Other);
  EXPECT_EQ(Text(), "今日はいい天気です");
  EXPECT_FALSE(fake_.sgd01.visible);
}

TEST_F(ConversionTest, AConvertCellOnAUserTabActsTheSame) {
  Start();
  form_->State().settings.crtList[crt::kTab1Content] = WriteCommaText({Sj("変~")});
  fake_.tabC00.SetIndex(1);
  form_->Board().FillBoard();
  Write("きょうはいいてんきです");
  PressBoard(1, 1);
  EXPECT_TRUE(fake_.sgd01.visible);
  EXPECT_EQ(ListCell(0, 0), "今日は");
}

}  // namespace
}  // namespace velkor::testing
