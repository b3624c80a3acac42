// The prediction row in the window: filled as the user writes, chosen by
// click, dwell and the arrow keys exactly as board cells are; and what the
// user commits (row choices, conversions, kana between punctuation, whole
// sentences) learned, kept across a restart and forgotten on request.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "input/Lexicon.h"
#include "input/InputModes.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

std::vector<std::string> Cells(const FakePredictionRow& row) {
  std::vector<std::string> out;
  for (const auto& text : row.texts) out.push_back(U(text));
  return out;
}

struct RowRig {
  FakePlatform fake;
  std::unique_ptr<MainForm> form;

  explicit RowRig(IPredictor* real = nullptr) {
    fake.realPredictor = real;
    Start();
    fake.pointer.position = Point{150, 250};  // over the board area
  }
  void Start() {
    form = std::make_unique<MainForm>(fake.Get());
    WireNotifications(fake, *form);
    EXPECT_TRUE(form->FormCreate());
    form->FormShow();
  }
  // The user ends the program and starts it again, on the same files.
  void Restart() {
    ASSERT_TRUE(form->FormClose());
    Start();
  }
  // What a board cell writes (kana, punctuation).
  void Write(const char* utf8) { form->Select().InsertText(Sj(utf8)); }
  // The cell showing `utf8`, or -1.
  int CellOf(const char* utf8) const {
    const auto cells = Cells(fake.predictionRow);
    const auto it = std::find(cells.begin(), cells.end(), std::string(utf8));
    return it == cells.end() ? -1 : static_cast<int>(it - cells.begin());
  }
  // A click on the row's cell showing `utf8`.
  void Click(const char* utf8) {
    const int cell = CellOf(utf8);
    ASSERT_GE(cell, 0) << utf8 << " is not on the row";
    PointerAt(fake, *form, OnRow(fake, cell * 100 + 50, 20));
    PressAt(fake, *form, OnRow(fake, cell * 100 + 50, 20));
  }
  void Tick(int times = 1) {
    // The timer ticks only while it runs.
    for (int i = 0; i < times && fake.tmrInput0.running; ++i) form->Pointer().Tick();
  }
  std::string Text() const { return U(fake.memMain.text); }
  // Writes the reading a kana at a time, as a user does, and chooses the
  // word as soon as the row offers it.
  void WriteWord(const char* reading, const char* word) {
    const std::u16string kana = cp932::Utf8ToUtf16(reading);
    for (std::size_t i = 0; i < kana.size() && CellOf(word) < 0; ++i)
      Write(cp932::Utf16ToUtf8(kana.substr(i, 1)).c_str());
    Click(word);
  }
};

TEST(PredictionRowWindow, TheRowFollowsTheTextAndItsSettingAndAClickWritesTheCellAsOneChange) {
  RowRig r;
  r.fake.predictor.completions["かんご"] = {"看護", "看護師"};
  EXPECT_EQ(r.fake.predictionRow.CellCount(), 8) << "eight cells by default";
  r.Write("かんご");
  EXPECT_EQ(Cells(r.fake.predictionRow), (std::vector<std::string>{"看護", "看護師", "", "", "", "", "", ""}));

  // The status line promises what the cell writes; the click writes it.
  PointerAt(r.fake, *r.form, OnRow(r.fake, 150, 20));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「看護師」を入力");
  EXPECT_EQ(r.fake.predictionRow.current, 1);
  const int entries = r.form->UndoLog().Count();
  PressAt(r.fake, *r.form, OnRow(r.fake, 150, 20));
  EXPECT_EQ(r.Text(), "看護師");
  EXPECT_EQ(r.form->UndoLog().Count(), entries + 1);
  r.form->UndoLog().Undo();
  EXPECT_EQ(r.Text(), "かんご") << "one undo takes the choice back";

  // An empty cell writes nothing and promises nothing.
  PointerAt(r.fake, *r.form, OnRow(r.fake, 650, 20));
  EXPECT_EQ(r.fake.pnlMsg.text, "");
  PressAt(r.fake, *r.form, OnRow(r.fake, 650, 20));
  EXPECT_EQ(r.Text(), "かんご");

  // Fewer cells, or none (the row hidden), from the setting.
  r.form->State().settings.SetNamed(named::kPredictionCells, "3");
  r.form->Row().Refresh();
  EXPECT_EQ(r.fake.predictionRow.CellCount(), 3);
  r.form->ShowPredictionRow(false);
  EXPECT_EQ(r.fake.predictionRow.CellCount(), 0);
  r.form->SetQuickKana(true);
  EXPECT_EQ(U(r.fake.sgd00.CellText(13, 6)), "゛~") << "the modifier cell at once";
  r.Restart();
  EXPECT_EQ(r.fake.predictionRow.CellCount(), 0) << "both kept in the settings";
  EXPECT_TRUE(r.form->State().settings.QuickKana());
  r.form->ShowPredictionRow(true);
  EXPECT_EQ(r.fake.predictionRow.CellCount(), 8);
}

// The row looks only at the end of a long line, from a character boundary:
// after 1500 kanji, or 1500 kana whose bytes could all begin characters, the
// reading is still かんご and a choice replaces just it.
TEST(PredictionRowWindow, AtTheEndOfALongLineTheReadingIsReadRight) {
  for (const char* filler : {"漢", "ぁ"}) {
    SCOPED_TRACE(filler);
    RowRig r;
    r.fake.predictor.completions["かんご"] = {"看護"};
    std::string line;
    for (int i = 0; i < 1500; ++i) line += filler;
    r.fake.memMain.text = Sj(line);
    r.fake.memMain.selStart = static_cast<int>(r.fake.memMain.text.size());
    r.Write("かんご");
    r.Click("看護");
    EXPECT_EQ(r.Text(), line + "看護");
  }
}

TEST(PredictionRowWindow, DwellChoosesOnlyWhatThePointerMovedToAndAFreshRowWaitsForAMove) {
  RowRig r;
  r.form->Modes().MnuEditM10Click();  // dwell, 1 s
  r.fake.predictor.completions["かんご"] = {"看護", "看護師"};
  r.fake.predictor.completions["かんごし"] = {"看護師"};
  r.fake.predictor.next["師"] = {"さん", "が"};
  r.Write("かんご");
  PointerAt(r.fake, *r.form, OnRow(r.fake, 150, 20));
  r.Tick();
  EXPECT_EQ(r.Text(), "かんご") << "half the dwell time";
  r.Tick();
  EXPECT_EQ(r.Text(), "看護師");
  // The row now offers next words under the still pointer: nothing counts
  // until it moves, however long it rests (a tremor of 2 px is no move).
  EXPECT_EQ(r.CellOf("が"), 1);
  PointerAt(r.fake, *r.form, OnRow(r.fake, 152, 21));
  r.Tick(6);
  EXPECT_EQ(r.Text(), "看護師");
  // Moving within the cell is no choice either; entering another cell counts,
  // and so does coming back.
  PointerAt(r.fake, *r.form, OnRow(r.fake, 170, 25));
  r.Tick(4);
  EXPECT_EQ(r.Text(), "看護師");
  PointerAt(r.fake, *r.form, OnRow(r.fake, 60, 20));
  PointerAt(r.fake, *r.form, OnRow(r.fake, 160, 20));
  r.Tick(2);
  EXPECT_EQ(r.Text(), "看護師が");

  // Resting beside the cells (past the last) counts nothing.
  PointerAt(r.fake, *r.form, OnRow(r.fake, 790, 20));
  r.Tick(4);
  EXPECT_EQ(r.Text(), "看護師が");
}

TEST(PredictionRowWindow, TheArrowKeysWalkOntoTheRowAndConfirmItsCell) {
  RowRig r;
  r.form->Modes().MnuEditYaClick();  // arrow keys
  r.fake.predictor.completions["かんご"] = {"看護", "看護師"};
  r.Write("かんご");
  r.fake.sgd00.SetRow(1);
  r.fake.sgd00.SetCol(1);
  ArrowKeys& keys = r.form->Keys();
  const auto press = [&keys](Key key) {
    keys.KeyDown(key);
    keys.KeyUp(key);
  };
  press(Key::Up);
  EXPECT_EQ(r.fake.predictionRow.current, 0);
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「看護」を入力");
  press(Key::Right);
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「看護師」を入力");
  press(Key::Other);
  EXPECT_EQ(r.Text(), "看護師");
  // Down leaves the row for the board's first row, and confirms there.
  press(Key::Down);
  EXPECT_EQ(r.fake.predictionRow.current, -1);
  EXPECT_EQ(r.fake.sgd00.Row(), 1);
  press(Key::Other);
  EXPECT_TRUE(r.fake.sgd01.visible) << "the board cell's variants";
}

TEST(PredictionRowWindow, ChoosingOnTheRowEndsAConversionInTheList) {
  RowRig r;
  r.fake.predictor.completions["かんご"] = {"看護", "看護師"};
  r.Write("かんご");
  r.form->Select().StartConversion();
  ASSERT_TRUE(r.form->Converting().Active());
  r.Click("看護師");
  EXPECT_FALSE(r.form->Converting().Active());
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_EQ(r.Text(), "看護師");
}

// Everything committed is learned: the row's choices, conversions, kana
// written between punctuation, and each whole sentence for its reading; a
// learned sentence is offered as the rest of what is being written.
TEST(PredictionRowWindow, WhatTheUserCommitsIsLearnedAndKeptAcrossARestart) {
  RowRig r;
  r.Write("はい");
  r.Write("、");
  r.Write("わかりました。");
  r.fake.predictor.completions["からだ"] = {"空", "体"};
  r.fake.converter.script[Sj("のむき")] = {{Sj("の"), {Sj("の")}}, {Sj("むき"), {Sj("無期"), Sj("向き")}}};
  r.Write("からだ");
  r.Click("体");
  r.Write("の");
  r.Write("むき");
  r.form->Select().StartConversion();
  r.form->Select().Confirm({Place::List, {0, 2}});  // の
  r.form->Select().Confirm({Place::List, {1, 2}});  // 向き
  r.Write("をおねがい、");
  r.Write("します。");
  ASSERT_EQ(r.Text(), "はい、わかりました。体の向きをおねがい、します。");
  r.Restart();
  Learning& learned = r.form->Learned();
  EXPECT_EQ(U(learned.Candidates(Sj("からだ"), 8).front()), "体の向きをおねがい、します。");
  EXPECT_EQ(U(learned.Candidates(Sj("む"), 8).front()), "向き") << "from the conversion";
  EXPECT_EQ(U(learned.Candidates(Sj("はい"), 8).back()), "はい") << "kana between punctuation";
  EXPECT_EQ(U(learned.Candidates(Sj("はい"), 8).front()), "はい、わかりました。") << "and the sentence";

  // After the sentence's first word, the row offers the rest of it first.
  r.fake.memMain.text.clear();
  r.fake.memMain.selStart = 0;
  r.Write("からだ");
  EXPECT_EQ(Cells(r.fake.predictionRow).front(), "体の向きをおねがい、します。");
  r.Click("体");
  EXPECT_EQ(Cells(r.fake.predictionRow).front(), "の向きをおねがい、します。");
  r.Click("の向きをおねがい、します。");
  EXPECT_EQ(r.Text(), "体の向きをおねがい、します。");
  // At the start of the next sentence, the learned sentences are offered.
  EXPECT_EQ(Cells(r.fake.predictionRow).front(), "体の向きをおねがい、します。");

  // A sentence with a part whose reading is not known is not learned.
  r.fake.memMain.text = Sj("漢字");
  r.fake.memMain.selStart = static_cast<int>(r.fake.memMain.text.size());
  r.Write("です。");
  EXPECT_FALSE(learned.ReadingOf(Sj("漢字です。")).has_value());
}

TEST(PredictionRowWindow, ForgettingEmptiesTheRowAndTheFileAndADamagedFileIsSaidAtStart) {
  RowRig r;
  r.fake.predictor.completions["からだ"] = {"体"};
  r.Write("からだ");
  r.Click("体");
  r.Write("。");
  r.form->ForgetLearning();  // asked, and the answer is yes
  ASSERT_FALSE(r.fake.window.messages.empty());
  EXPECT_EQ(U(r.fake.window.messages.back().first), "学習した語と文をすべて忘れました") << "a box in click mode";
  EXPECT_EQ(r.form->Learned().Size(), 0u);
  r.Restart();
  EXPECT_EQ(r.form->Learned().Size(), 0u) << "the emptied file was written";

  // No keeps everything.
  r.form->Learned().Learn(Sj("からだ"), Sj("体"));
  r.fake.window.answerYes = false;
  r.form->ForgetLearning();
  EXPECT_EQ(r.form->Learned().Size(), 1u);

  ASSERT_TRUE(r.form->FormClose());
  for (auto& [path, bytes] : r.fake.files.files) {
    if (path.find("learning.txt") != std::string::npos) bytes = "garbage";
  }
  r.fake.window.messages.clear();
  r.Start();
  ASSERT_FALSE(r.fake.window.messages.empty()) << "said at start (a message box in click mode)";
  EXPECT_NE(U(r.fake.window.messages.back().first).find("学習の記録が読めないため"), std::string::npos);
  EXPECT_EQ(r.form->Learned().Size(), 0u);
}

// 忘~ arms forgetting: a learned candidate chosen on the row is forgotten
// instead of written, asked twice in click mode, and written at once so it
// stays forgotten; a candidate of the lexicon alone cannot be forgotten.
TEST(PredictionRowWindow, ForgettingOneCandidateAsksTwiceInClickModeAndIsWrittenAtOnce) {
  RowRig r;
  r.fake.predictor.completions["かんごし"] = {"看護師"};
  r.form->Learned().Learn(Sj("かんごし"), Sj("看護し"));
  r.Write("かんごし");
  ASSERT_EQ(r.CellOf("看護し"), 0);
  ASSERT_EQ(r.CellOf("看護師"), 1);
  Selection& s = r.form->Select();
  const Target forget{Place::Board, {13, 7}};
  EXPECT_EQ(U(r.fake.sgd00.CellText(13, 7)), "忘~");
  EXPECT_EQ(U(s.Describe(forget).text), "覚えた言葉を一つ消す");
  s.Confirm(forget);
  EXPECT_TRUE(s.Forgetting());
  EXPECT_EQ(U(r.fake.pnlMsg.message), "消したい候補を選んでください");
  EXPECT_EQ(U(s.Describe(forget).text), "消すのをやめる");
  EXPECT_EQ(U(s.Describe({Place::Board, {1, 1}}).text), "消すのをやめる") << "any other cell only gives it up";

  PointerAt(r.fake, *r.form, OnRow(r.fake, 150, 20));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「看護師」は覚えた言葉ではありません");
  PressAt(r.fake, *r.form, OnRow(r.fake, 150, 20));
  EXPECT_EQ(r.Text(), "かんごし") << "nothing written";
  EXPECT_TRUE(s.Forgetting()) << "and still armed";

  PointerAt(r.fake, *r.form, OnRow(r.fake, 50, 20));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「看護し」を覚えた言葉から消す");
  PressAt(r.fake, *r.form, OnRow(r.fake, 50, 20));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "もう一度で「看護し」を消す");
  EXPECT_TRUE(r.form->Learned().Knows(Sj("看護し"))) << "a first click only asks";
  PressAt(r.fake, *r.form, OnRow(r.fake, 50, 20));
  EXPECT_FALSE(r.form->Learned().Knows(Sj("看護し")));
  EXPECT_EQ(U(r.fake.pnlMsg.message), "「看護し」を覚えた言葉から消しました");
  EXPECT_EQ(r.Text(), "かんごし");
  EXPECT_FALSE(s.Forgetting()) << "one candidate at a time";
  EXPECT_EQ(r.CellOf("看護し"), -1);
  EXPECT_EQ(r.CellOf("看護師"), 1) << "keeps its cell";
  EXPECT_EQ(U(s.Describe({Place::Row, {1, 0}}).text), "「看護師」を入力");
  EXPECT_EQ(U(s.Describe({Place::Row, {0, 0}}).text), "") << "an empty cell promises nothing";
  const std::string file = r.fake.files.files[r.form->LearningPath()];
  EXPECT_NE(file.find("\n-\t"), std::string::npos) << "written at once: " << U(file);
  r.Restart();
  EXPECT_FALSE(r.form->Learned().Knows(Sj("看護し")));
}

// Forgetting is given up by 忘~ again or by any other cell, which then does
// nothing else; the call bell still rings. Where a resting pointer confirms
// once, once forgets, and the rest of a learned sentence forgets the whole
// sentence. Without the row, 忘~ is greyed.
TEST(PredictionRowWindow, ForgettingIsGivenUpByAnyOtherCellAndForgetsWholeSentences) {
  RowRig r;
  Selection& s = r.form->Select();
  const Target forget{Place::Board, {13, 7}};
  s.Confirm(forget);
  s.Confirm({Place::Board, {1, 1}});
  EXPECT_FALSE(s.Forgetting());
  EXPECT_EQ(r.Text(), "") << "the cell wrote nothing";
  EXPECT_FALSE(r.fake.sgd01.visible) << "nor opened its variants";
  EXPECT_EQ(U(r.fake.pnlMsg.message), "消すのをやめました");
  s.Confirm(forget);
  s.Confirm(forget);
  EXPECT_FALSE(s.Forgetting());
  s.Confirm(forget);
  s.Confirm({Place::Board, {11, 7}});
  EXPECT_TRUE(r.fake.bell.ringing) << "鈴~ rings as always";
  EXPECT_FALSE(s.Forgetting());
  r.fake.bell.Finish();

  r.form->Modes().MnuEditM10Click();  // dwell, one confirmation
  const std::string sentence = Sj("看護師さんをよんでください。");
  r.form->Learned().Learn(Sj("かんごしさんをよんでください。"), sentence);
  r.form->Learned().Learn(Sj("かんごし"), Sj("看護師"));
  r.fake.memMain.text = Sj("看護師");
  r.fake.memMain.selStart = static_cast<int>(r.fake.memMain.text.size());
  r.form->Row().Refresh();
  ASSERT_EQ(Cells(r.fake.predictionRow).front(), "さんをよんでください。");
  s.Confirm(forget);
  EXPECT_EQ(U(s.Describe({Place::Row, {0, 0}}).text), "「さんをよんでください。」を覚えた言葉から消す");
  s.Confirm({Place::Row, {0, 0}});
  EXPECT_FALSE(r.form->Learned().Knows(sentence));
  EXPECT_TRUE(r.form->Learned().Knows(Sj("看護師"))) << "only the sentence";
  EXPECT_EQ(r.Text(), "看護師");

  r.form->ShowPredictionRow(false);
  EXPECT_FALSE(r.form->Commands().Enabled(Command::ForgetOne));
  EXPECT_EQ(U(s.Describe(forget).text), "覚えた言葉を一つ消す（今は使えません）");
}

// With the real lexicon: かんご offers 看護; written once through the row,
// the whole sentence is offered first for its first word's reading.
TEST(PredictionRowWindow, WithTheRealLexiconALearnedSentenceComesFirst) {
  Lexicon lexicon;
  ASSERT_TRUE(lexicon.Load(RealTextFiles(), VELKOR_LEXICON));
  RowRig r(&lexicon);
  r.Write("かんご");
  EXPECT_GE(r.CellOf("看護"), 0) << "看護 among the first 8";
  r.fake.memMain.text.clear();
  r.fake.memMain.selStart = 0;

  // The conversion engine's readings on the row are scripted, for the kana
  // since the last commit (particles included): a word the lexicon does not
  // rank among the first eight still comes in one choice.
  r.fake.converter.script[Sj("からだ")] = {{Sj("からだ"), {Sj("体")}}};
  r.fake.converter.script[Sj("のむき")] = {{Sj("の"), {Sj("の")}}, {Sj("むき"), {Sj("向き")}}};
  r.fake.converter.script[Sj("をかえ")] = {{Sj("を"), {Sj("を")}}, {Sj("かえ"), {Sj("変え")}}};
  r.WriteWord("からだ", "体");
  r.Write("の");
  r.WriteWord("むき", "の向き");
  r.Write("を");
  r.WriteWord("かえ", "を変え");
  r.Write("てください。");
  ASSERT_EQ(r.Text(), "体の向きを変えてください。");
  r.Write("からだ");
  EXPECT_EQ(Cells(r.fake.predictionRow).front(), "体の向きを変えてください。");
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// A candidate the user has seen keeps its cell while more kana are written
// and it is still offered; new ones fill the free cells; a cell left empty
// writes nothing.
TEST(PredictionRowWindow, ACandidateKeepsItsCellWhileItIsStillOffered) {
  RowRig r;
  r.fake.predictor.completions["か"] = {"蚊", "かわいい", "川"};
  r.fake.predictor.completions["かわ"] = {"川", "かわいい"};
  r.fake.predictor.completions["かわい"] = {"可愛い", "かわいい", "川井"};
  r.Write("か");
  EXPECT_EQ(Cells(r.fake.predictionRow), (std::vector<std::string>{"蚊", "かわいい", "川", "", "", "", "", ""}));
  r.Write("わ");
  EXPECT_EQ(Cells(r.fake.predictionRow), (std::vector<std::string>{"", "かわいい", "川", "", "", "", "", ""}));
  PressAt(r.fake, *r.form, OnRow(r.fake, 50, 20));
  EXPECT_EQ(r.Text(), "かわ") << "the empty cell writes nothing";
  r.Write("い");
  EXPECT_EQ(Cells(r.fake.predictionRow), (std::vector<std::string>{"可愛い", "かわいい", "川井", "", "", "", "", ""}));
  r.Click("川井");
  EXPECT_EQ(r.Text(), "川井");
}

}  // namespace
}  // namespace velkor::testing
