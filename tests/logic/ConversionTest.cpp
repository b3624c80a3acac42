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
    // Five segments: every accept cell has something to take.
    fake_.converter.script[Sj("あしたのよていをおしえてくださいね")] = {
        {Sj("あしたの"), SjList({"明日の", "あしたの"})},
        {Sj("よていを"), SjList({"予定を", "よていを"})},
        {Sj("おしえて"), SjList({"教えて", "押しえて"})},
        {Sj("ください"), SjList({"下さい", "ください"})},
        {Sj("ね"), SjList({"ね", "音"})},
    };
  }
  void Write(const char* utf8) { fake_.memMain.Type(Sj(utf8)); }
  // Confirms the board cell at (col, row) as a press does.
  void PressBoard(int col, int row) { form_->Select().Confirm({Place::Board, {col, row}}); }
  void Convert() { PressBoard(11, 6); }  // "変~"
  // Chooses the list cell at (col, row) as a press on it does.
  void PressList(int col, int row) { form_->Select().Confirm({Place::List, {col, row}}); }
  // Candidate `i` of the page shown: from the third row of the list.
  void PressCandidate(int i) { PressList(i % 4, 2 + i / 4); }
  std::string Candidate(int i) { return ListCell(i % 4, 2 + i / 4); }
  // The status line over list cell (col, row), and its colour.
  std::string StatusOver(int col, int row) {
    form_->Select().Point({Place::List, {col, row}});
    return Status();
  }
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
  EXPECT_EQ(Candidate(0), "今日は");
  EXPECT_EQ(StatusOver(0, 2), "「今日は」を入力");

  PressCandidate(0);
  EXPECT_EQ(Text(), "今日はいいてんきです");
  EXPECT_EQ(form_->UndoLog().Count(), entries + 1);
  EXPECT_TRUE(fake_.sgd01.visible);  // the next segment's candidates
  EXPECT_EQ(Candidate(1), "良い");
  PressCandidate(1);
  EXPECT_EQ(Text(), "今日は良いてんきです");
  PressCandidate(0);
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
  EXPECT_EQ(Candidate(11), "候11");
  EXPECT_EQ(ListCell(2, 0), "次~");
  EXPECT_EQ(StatusOver(2, 0), "次の候補");
  PressList(2, 0);  // next page: candidates 12 to 14
  EXPECT_EQ(Candidate(0), "候12");
  EXPECT_EQ(Candidate(3), "");
  EXPECT_EQ(ListCell(2, 0), "");
  EXPECT_EQ(Text(), "かんごしさん");

  PressList(1, 0);  // longer: the first segment takes one more character
  EXPECT_EQ(fake_.converter.resizes.back(), (std::pair<int, int>{0, +1}));
  EXPECT_EQ(Candidate(0), "かんごし");
  PressList(0, 0);  // shorter again
  EXPECT_EQ(fake_.converter.resizes.back(), (std::pair<int, int>{0, -1}));
  EXPECT_EQ(Candidate(0), "かんご");

  const int entries = form_->UndoLog().Count();
  PressList(3, 1);  // accept the rest: first candidates (here the readings), one change
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
  PressCandidate(1);  // 京は
  EXPECT_EQ(StatusOver(3, 1), "残りをすべて確定「いい天気です」") << "what is left, as it will be written";
  PressList(3, 1);
  EXPECT_EQ(Text(), "京はいい天気です");
  EXPECT_EQ(form_->UndoLog().Count(), entries + 2);
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {2, 0}}));
}

// Controls first, where a scan reaches them first: the row of controls, the
// row of accept cells (each caption what it writes; none that would take the
// whole rest, which is 確~), then the current segment's candidates.
TEST_F(ConversionTest, TheListShowsControlsThenAcceptCellsThenCandidates) {
  Start();
  Write("あしたのよていをおしえてくださいね");
  Convert();
  ASSERT_TRUE(fake_.sgd01.visible);
  EXPECT_EQ(fake_.sgd01.cols, 4);
  EXPECT_EQ(fake_.sgd01.rows, 5);
  // Over the convert cell, as large as four by five of its cells.
  const Rect cell = fake_.sgd00.CellRect(11, 6);
  EXPECT_EQ(fake_.sgd01.geometry, (Rect{cell.left, cell.top, cell.width * 4 + 10, cell.height * 5 + 10}));
  const auto rows = [this] {
    std::vector<std::vector<std::string>> out(5);
    for (int row = 0; row < 5; ++row) {
      for (int col = 0; col < 4; ++col) out[static_cast<std::size_t>(row)].push_back(ListCell(col, row));
    }
    return out;
  };
  using Rows = std::vector<std::vector<std::string>>;
  EXPECT_EQ(rows(), (Rows{{"短~", "長~", "", "取消~"},
                          {"明日の予定を", "明日の予定を教えて", "明日の予定を教えて下さい", "確~"},
                          {"明日の", "あしたの", "", ""},
                          {"", "", "", ""},
                          {"", "", "", ""}}));
  // As segments are done, the accept cells take what is left; none takes
  // the whole rest.
  PressCandidate(0);
  EXPECT_EQ(rows()[1], (std::vector<std::string>{"予定を教えて", "予定を教えて下さい", "", "確~"}));
  PressCandidate(1);
  EXPECT_EQ(Text(), "明日のよていをおしえてくださいね");
  EXPECT_EQ(rows()[1], (std::vector<std::string>{"教えて下さい", "", "", "確~"}));
  PressCandidate(0);
  EXPECT_EQ(rows()[1], (std::vector<std::string>{"", "", "", "確~"}));
  EXPECT_EQ(rows()[2], (std::vector<std::string>{"下さい", "ください", "", ""}));
}

// An accept cell writes exactly what it shows, as one change, tells the
// engine each segment's first candidate in order, and learns each segment
// as a choice of its own candidate would, the one after the other.
TEST_F(ConversionTest, AcceptingUpToHereWritesTheShownSegmentsAsOneChange) {
  Start();
  Write("あしたのよていをおしえてくださいね");
  const int entries = form_->UndoLog().Count();
  Convert();
  const std::string shown = ListCell(1, 1);
  ASSERT_EQ(shown, "明日の予定を教えて");
  PressList(1, 1);
  EXPECT_EQ(Text(), "明日の予定を教えてくださいね");
  EXPECT_EQ(Text().rfind(shown, 0), 0u);
  EXPECT_EQ(form_->UndoLog().Count(), entries + 1);
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}}));
  EXPECT_EQ(fake_.memMain.selStart, static_cast<int>(Sj("明日の予定を教えて").size()));
  // The conversion goes on after them.
  ASSERT_TRUE(form_->Converting().Active());
  EXPECT_EQ(Candidate(0), "下さい");
  // Each segment learned for its own reading, and after the one before it.
  Learning& learned = form_->Learned();
  EXPECT_EQ(learned.ReadingOf(Sj("明日の")), Sj("あしたの"));
  EXPECT_EQ(learned.ReadingOf(Sj("予定を")), Sj("よていを"));
  EXPECT_EQ(learned.ReadingOf(Sj("教えて")), Sj("おしえて"));
  const auto after = [&learned](const char* before, const char* reading) {
    const std::vector<Word> words = learned.WordsAfter(Sj(before), Sj(reading), 8);
    return words.empty() ? std::string() : cp932::ToUtf8(words.front().form);
  };
  EXPECT_EQ(after("明日の", "よていを"), "予定を");
  EXPECT_EQ(after("予定を", "おしえて"), "教えて");

  PressList(3, 1);  // 確~: the rest
  EXPECT_EQ(Text(), "明日の予定を教えて下さいね");
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_EQ(fake_.converter.commits.size(), 5u);
  // 確~ learns each segment too.
  EXPECT_EQ(learned.ReadingOf(Sj("下さい")), Sj("ください"));
  EXPECT_EQ(after("教えて", "ください"), "下さい");
  // One undo takes back each choice: the accept cell's all at once.
  form_->UndoLog().Undo();
  EXPECT_EQ(Text(), "明日の予定を教えてくださいね");
  form_->UndoLog().Undo();
  EXPECT_EQ(Text(), "あしたのよていをおしえてくださいね");
}

// A second conversion may take again the kana the first one ended in: a
// sentence is still learned whole, read from the segments committed.
TEST_F(ConversionTest, ASentenceWrittenInTwoConversionsIsLearnedWhole) {
  Start();
  fake_.converter.script[Sj("きょうはいい")] = {{Sj("きょうは"), SjList({"今日は"})}, {Sj("いい"), SjList({"いい"})}};
  fake_.converter.script[Sj("はいいてんきです")] = {
      {Sj("は"), SjList({"は"})}, {Sj("いい"), SjList({"いい"})}, {Sj("てんきです"), SjList({"天気です"})}};
  Write("きょうはいい");
  Convert();
  PressList(3, 1);
  Write("てんきです");
  Convert();
  ASSERT_EQ(fake_.converter.begun.back(), Sj("はいいてんきです"));
  PressList(3, 1);
  form_->Select().InsertText(Sj("。"));  // as the board writes it
  ASSERT_EQ(Text(), "今日はいい天気です。");
  EXPECT_EQ(form_->Learned().ReadingOf(Sj("今日はいい天気です。")), Sj("きょうはいいてんきです。"));
}

// The engine may offer a candidate that reads as an accept cell: each cell
// does what it said, however alike their captions.
TEST_F(ConversionTest, AnAcceptCellAndACandidateOfTheSameTextAreToldApart) {
  Start();
  fake_.converter.script[Sj("くるまでいく")] = {
      {Sj("くるま"), SjList({"車", "車で"})},
      {Sj("で"), SjList({"で"})},
      {Sj("いく"), SjList({"行く", "いく"})},
  };
  Write("くるまでいく");
  Convert();
  ASSERT_EQ(ListCell(0, 1), "車で");
  ASSERT_EQ(Candidate(1), "車で");
  EXPECT_EQ(StatusOver(0, 1), "ここまで確定「車で」");
  EXPECT_EQ(StatusOver(1, 2), "「車で」を入力");
  PressCandidate(1);  // the candidate: the first segment alone
  EXPECT_EQ(Text(), "車ででいく");
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 1}}));
  PressList(3, 1);

  fake_.converter.commits.clear();
  Write("。くるまでいく");
  Convert();
  PressList(0, 1);  // the accept cell: two segments
  EXPECT_EQ(Text(), "車でで行く。車でいく");
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
  EXPECT_EQ(Candidate(0), "行く");
}

// 取消~ gives the conversion up: what is left stays kana, with the caret
// after it, so that what is written next follows it.
TEST_F(ConversionTest, TheCancelCellLeavesTheKanaWithTheCaretAfterThem) {
  Start(kArrows);
  Write("きょうはいいてんきです");
  Convert();
  PressList(3, 0);
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_FALSE(fake_.sgd01.visible);
  EXPECT_EQ(Text(), "きょうはいいてんきです");
  EXPECT_TRUE(fake_.converter.commits.empty());

  Write("。続き");
  fake_.memMain.SetSelStart(static_cast<int>(Sj("きょうはいいてんきです").size()));
  Convert();
  PressCandidate(0);
  const int entries = form_->UndoLog().Count();
  PressList(3, 0);
  EXPECT_FALSE(form_->Converting().Active());
  EXPECT_EQ(Text(), "今日はいいてんきです。続き");
  EXPECT_EQ(form_->UndoLog().Count(), entries);
  EXPECT_EQ(fake_.memMain.selStart, static_cast<int>(Sj("今日はいいてんきです").size()));
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 0}}));
}

// A longer or shorter segment splits the rest anew: the accept cells say
// and write the new split.
TEST_F(ConversionTest, AfterResizingTheAcceptCellsFollowTheNewSplit) {
  Start();
  Write("あしたのよていをおしえてくださいね");
  Convert();
  EXPECT_EQ(ListCell(1, 1), "明日の予定を教えて");
  PressList(1, 0);  // longer: あしたのよ and ていを, read as they are
  EXPECT_EQ(ListCell(0, 1), "あしたのよていを");
  EXPECT_EQ(ListCell(1, 1), "あしたのよていを教えて");
  EXPECT_EQ(StatusOver(1, 1), "ここまで確定「あしたのよていを教えて」");
  PressList(1, 1);
  EXPECT_EQ(Text(), "あしたのよていを教えてくださいね");
  EXPECT_EQ(fake_.converter.commits, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}}));
  PressList(3, 1);

  // Longer until the next segment is taken whole: two segments are left,
  // which only 確~ takes.
  Write("。きょうはいいてんきです");
  Convert();
  EXPECT_EQ(ListCell(0, 1), "今日はいい");
  PressList(1, 0);
  PressList(1, 0);
  EXPECT_EQ(Candidate(0), "きょうはいい");
  EXPECT_EQ(ListCell(0, 1), "");
  EXPECT_EQ(StatusOver(3, 1), "残りをすべて確定「きょうはいい天気です」");
}

TEST_F(ConversionTest, StatusTextsOfTheControlAndAcceptCells) {
  Start();
  Write("あしたのよていをおしえてくださいね");
  Convert();
  // Control cells and accept cells say what they do in blue, the accept
  // cells what they will write; a candidate says it in red.
  const struct {
    int col, row;
    const char* text;
  } controls[] = {
      {0, 0, "文節を短く"},
      {1, 0, "文節を長く"},
      {3, 0, "変換をやめる（かなのまま）"},
      {0, 1, "ここまで確定「明日の予定を」"},
      {1, 1, "ここまで確定「明日の予定を教えて」"},
      {2, 1, "ここまで確定「明日の予定を教えて下さい」"},
      {3, 1, "残りをすべて確定「明日の予定を教えて下さいね」"},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StatusOver(c.col, c.row), c.text);
    EXPECT_EQ(fake_.pnlMsg.colour, status::kBlue);
  }
  EXPECT_EQ(StatusOver(1, 2), "「あしたの」を入力");
  EXPECT_EQ(fake_.pnlMsg.colour, status::kRed);
  EXPECT_EQ(StatusOver(2, 2), "") << "an empty cell says nothing";
  EXPECT_EQ(StatusOver(2, 0), "") << "no further page";
}

// The pointer's path never ends a conversion: gliding off the list onto the
// board, resting there and coming back keeps every segment. A confirmation
// on the board ends it, keeping what was converted, and what is written next
// follows the reading left unconverted.
TEST_F(ConversionTest, LeavingTheListKeepsItAndABoardConfirmationEndsIt) {
  Start(kDwell);
  Write("きょうはいいてんきです");
  Convert();
  PressCandidate(0);
  const Rect other = fake_.sgd00.CellRect(3, 3);
  PointerAt(fake_, *form_, OnGrid(fake_, other.left + 2, other.top + 2));
  form_->Pointer().Tick();  // half a dwell time on the board
  EXPECT_TRUE(fake_.sgd01.visible);
  EXPECT_TRUE(form_->Converting().Active());
  EXPECT_EQ(Text(), "今日はいいてんきです");
  RestAt(OnListCell(1, 2));  // 良い
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
  PressCandidate(0);
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
  const Point nearBorder = OnListCell(1, 2, 1, 10);
  RestAt(nearBorder);
  EXPECT_EQ(Text(), "京はいいてんきです");
  // The refilled list waits for a movement again, even where the tremor
  // crosses into the next entry.
  for (const Point tremor : {Point{0, 0}, Point{-2, 1}, Point{-3, -1}, Point{2, 2}, Point{-4, 0}}) {
    RestAt({nearBorder.x + tremor.x, nearBorder.y + tremor.y});
  }
  EXPECT_EQ(Text(), "京はいいてんきです");
  // Another entry, and back: each counts.
  RestAt(OnListCell(2, 3, 10, 10));
  RestAt(OnListCell(1, 2, 10, 10));
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
  dwellOnList(1, 3);
  dwellOnList(0, 2);
  EXPECT_EQ(Text(), "今日はいいてんきです");
  EXPECT_TRUE(fake_.pointer.moves.empty());  // not moved back: the list goes on
  dwellOnList(3, 1);                         // accept the rest
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
  // The keys start on the first candidate, as before the control cells.
  EXPECT_EQ((CellPos{fake_.sgd01.col, fake_.sgd01.row}), (CellPos{0, 2}));
  form_->Keys().KeyDown(Key::Other);
  form_->Keys().KeyUp(Key::Other);  // confirms the current cell, 今日は
  EXPECT_EQ(Text(), "今日はいいてんきです");
  EXPECT_TRUE(fake_.sgd01.focused);  // the keys go on in the list
  form_->Keys().KeyDown(Key::Up);
  form_->Keys().KeyDown(Key::Up);
  EXPECT_EQ(Status(), "文節を短く");
  form_->Keys().KeyDown(Key::Up);  // against the top edge: round to the last row
  EXPECT_TRUE(fake_.sgd01.visible);
  EXPECT_TRUE(form_->Converting().Active());
  EXPECT_EQ((CellPos{fake_.sgd01.col, fake_.sgd01.row}), (CellPos{0, 4}));
  form_->Keys().KeyDown(Key::Down);  // round to the first row, then the accept row
  form_->Keys().KeyDown(Key::Down);
  form_->Keys().KeyDown(Key::Left);  // round to the last column: accept the rest
  EXPECT_EQ(Status(), "残りをすべて確定「いい天気です」");
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
  EXPECT_EQ(Candidate(0), "今日は");
}

}  // namespace
}  // namespace velkor::testing
