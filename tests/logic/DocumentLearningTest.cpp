// Learning from the documents: the split of a text into words with their
// readings, what a text teaches, and the stepped run over the slots and the
// text being written (its count, its end, a cancel, a damaged slot, a second
// run), as the settings board and the menu start and stop it.
#include "input/DocumentLearning.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "core/Cp932.h"
#include "form/MainForm.h"
#include "input/Lexicon.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

// The lexicon's words for the texts below: 看護師 as one word is cheaper than
// 看護 and 師; 呼 alone is no word.
void ScriptForms(ScriptedPredictor& lexicon) {
  lexicon.forms = {{"看護師", {"かんごし", 3000}}, {"看護", {"かんご", 4000}}, {"師", {"し", 6000}},
                   {"呼ん", {"よん", 5000}},      {"水", {"みず", 4000}},     {"飲み", {"のみ", 5000}},
                   {"薬", {"くすり", 4000}},      {"テレビ", {"てれび", 3000}}};
}

std::vector<std::string> Texts(const std::vector<TextPiece>& pieces) {
  std::vector<std::string> out;
  for (const TextPiece& p : pieces) out.push_back(U(p.text) + (p.reading.empty() ? "" : "/" + U(p.reading)));
  return out;
}

TEST(DocumentLearningSplit, WordsGetTheLexiconsReadingsAndKanaReadAsThemselves) {
  ScriptedPredictor lexicon;
  ScriptForms(lexicon);
  EXPECT_EQ(Texts(SplitText(lexicon, Sj("看護師さんを呼んでください。"))),
            (std::vector<std::string>{"看護師/かんごし", "さんを/さんを", "呼ん/よん", "でください/でください", "。/。"}));
  const auto pieces = SplitText(lexicon, Sj("テレビとラジオ、漢字12"));
  EXPECT_EQ(Texts(pieces),
            (std::vector<std::string>{"テレビ/てれび", "と/と", "ラジオ/らじお", "、/、", "漢字", "12/12"}));
  EXPECT_EQ(pieces[2].kind, TextPiece::Kind::Other) << "katakana the lexicon lacks read as hiragana";
  EXPECT_EQ(pieces[4].kind, TextPiece::Kind::Unread);
  EXPECT_TRUE(SplitText(lexicon, "").empty());
}

TEST(DocumentLearningSplit, ATextTeachesItsWordsAfterTheOnesBeforeKanaPhrasesAndReadSentences) {
  ScriptedPredictor lexicon;
  ScriptForms(lexicon);
  std::vector<FoundText> found;
  FindInSegment(lexicon, Sj("看護師さんを呼んでください。\r\n"), true, found);
  std::vector<std::string> seen;
  for (const FoundText& f : found) {
    std::string reading = U(f.reading);
    if (const auto mark = reading.find('\x1f'); mark != std::string::npos) reading.replace(mark, 1, "+");
    const char* kind = f.kind == FoundText::Kind::Word          ? "word "
                       : f.kind == FoundText::Kind::After       ? "after "
                       : f.kind == FoundText::Kind::SentenceEnd ? "end "
                                                                : "sentence ";
    seen.push_back(kind + reading + " " + U(f.text));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "word かんごし 看護師",
                      "after 看護師+さんを さんを",
                      "after さんを+よん 呼ん",
                      "word よん 呼ん",
                      "after 呼ん+でください でください",
                      "word でください でください",
                      "end +でください。 でください。",
                      "sentence かんごしさんをよんでください。 看護師さんを呼んでください。",
                  }));
  // No sentence with a part unread, or from the middle of one; no phrase of
  // one kana.
  found.clear();
  FindInSegment(lexicon, Sj("漢字を飲み。"), true, found);
  FindInSegment(lexicon, Sj("水を飲みたいです。"), false, found);
  for (const FoundText& f : found) {
    EXPECT_NE(f.kind, FoundText::Kind::Sentence) << U(f.text);
    if (f.kind == FoundText::Kind::Word) {
      EXPECT_NE(U(f.text), "を");
    }
  }
}

// The window with documents in some slots: 00 and 01 read, 05 holds no text,
// 07 cannot be read.
struct DocumentsRig {
  FakePlatform fake;
  std::unique_ptr<MainForm> form;

  DocumentsRig() {
    ScriptForms(fake.predictor);
    form = std::make_unique<MainForm>(fake.Get());
    WireNotifications(fake, *form);
    EXPECT_TRUE(form->FormCreate());
    form->FormShow();
    Slot(0, "看護師さんを呼んでください。\r\n水を飲みたいです。");
    Slot(1, "薬をください。");
    fake.files.files[form->Docs().SlotPathOf(5)] = std::string("\x82\xa0\0\x01", 4);
    Slot(7, "水。");
    fake.files.unreadable.insert(form->Docs().SlotPathOf(7));
    fake.memMain.text = Sj("水をください。");
  }
  void Slot(int n, const char* utf8) { fake.files.files[form->Docs().SlotPathOf(n)] = Sj(utf8); }
  std::string Message() const { return U(fake.pnlMsg.message); }
  std::string CellStatus() const { return U(form->SettingsFace().Status(18, 5).text); }
  // Ticks until learning ends; the messages said on the way.
  std::vector<std::string> RunToEnd() {
    std::vector<std::string> said;
    for (int i = 0; i < 100 && fake.learnTimer.running; ++i) {
      form->LearnTick();
      said.push_back(Message());
    }
    return said;
  }
};

TEST(DocumentLearningWindow, TheCountGoesOnEachStepAndTheEndSaysWhatWasLearnedAndSkipped) {
  DocumentsRig r;
  EXPECT_EQ(r.CellStatus(), "文書から言葉を覚える（100の場所と、いま書いている文）");
  r.form->SettingsFace().Show();
  EXPECT_EQ(U(r.fake.sgd00.CellText(18, 5)), "学ぶ");
  r.form->Select().Confirm({Place::SettingsBoard, {18, 5}});
  EXPECT_TRUE(r.fake.learnTimer.running);
  EXPECT_EQ(r.fake.learnTimer.interval, kLearnTickMs);
  EXPECT_EQ(r.Message(), "覚えています 0/5") << "the text being written and four slots";
  EXPECT_EQ(r.CellStatus(), "覚えるのをやめる（0/5）");
  EXPECT_TRUE(r.form->Commands().Checked(Command::LearnDocuments)) << "ticked in the menu while it runs";
  EXPECT_EQ(r.RunToEnd(), (std::vector<std::string>{"覚えています 1/5", "覚えています 2/5", "覚えています 3/5",
                                                    "覚えています 4/5", "覚えました：4文、8語（読めない文書 2）"}));
  EXPECT_FALSE(r.form->Commands().Checked(Command::LearnDocuments));
  EXPECT_EQ(r.CellStatus(), "文書から言葉を覚える（100の場所と、いま書いている文）");

  Learning& learned = r.form->Learned();
  const std::vector<Word> words = learned.Words(Sj("かんご"), 8);
  EXPECT_NE(std::find(words.begin(), words.end(), Word{Sj("看護師"), Sj("かんごし"), 0}), words.end())
      << "a word with its reading";
  EXPECT_EQ(U(learned.WordsAfter(Sj("看護師"), "", 8).front().form), "さんを");
  EXPECT_EQ(U(learned.WordsAfter(Sj("さんを"), Sj("よ"), 8).front().form), "呼ん");
  EXPECT_EQ(U(*learned.ReadingOf(Sj("薬をください。"))), "くすりをください。");
  EXPECT_FALSE(learned.Unsaved()) << "written at the end";
  EXPECT_NE(r.fake.files.files[r.form->LearningPath()].find(Sj("看護師さんを呼んでください。")), std::string::npos);
}

TEST(DocumentLearningWindow, ACancelKeepsWhatWasLearnedAndStops) {
  DocumentsRig r;
  r.form->Commands().Run(Command::LearnDocuments, CommandSource::Menu);
  r.form->LearnTick();
  EXPECT_EQ(r.Message(), "覚えています 1/5");
  r.form->SettingsFace().Choose(18, 5);  // 覚えるのをやめる
  EXPECT_FALSE(r.fake.learnTimer.running);
  EXPECT_EQ(r.Message(), "覚えるのをやめました：1文、2語");
  r.form->LearnTick();
  EXPECT_EQ(r.Message(), "覚えるのをやめました：1文、2語") << "a tick left over does nothing";
  EXPECT_TRUE(r.form->Learned().Knows(Sj("水をください。")));
  EXPECT_FALSE(r.form->Learned().Knows(Sj("看護師"))) << "slot 00 was not reached";
  EXPECT_FALSE(r.form->Learned().Unsaved());

  // The menu's item stops it too.
  r.form->Commands().Run(Command::LearnDocuments, CommandSource::Menu);
  EXPECT_TRUE(r.form->LearningFromDocuments());
  r.form->Commands().Run(Command::LearnDocuments, CommandSource::Menu);
  EXPECT_FALSE(r.form->LearningFromDocuments());
  EXPECT_EQ(r.Message(), "覚えるのをやめました：0文、0語");

  // Closing the window stops it, and what it learned is written.
  r.form->LearnFromDocuments();
  r.form->LearnTick();
  r.form->LearnTick();
  ASSERT_TRUE(r.form->FormClose());
  EXPECT_FALSE(r.fake.learnTimer.running);
  EXPECT_NE(r.fake.files.files[r.form->LearningPath()].find(Sj("看護師さんを呼んでください。")), std::string::npos);
}

TEST(DocumentLearningWindow, LearningTheSameDocumentsAgainAddsNothing) {
  DocumentsRig r;
  r.form->LearnFromDocuments();
  r.RunToEnd();
  const std::string once = r.form->Learned().Serialise();
  r.form->LearnFromDocuments();
  EXPECT_EQ(r.RunToEnd().back(), "覚えました：0文、0語（読めない文書 2）");
  EXPECT_EQ(r.form->Learned().Serialise(), once) << "no count doubled";

  // Nothing to learn from at all: said at once.
  for (int n : {0, 1, 5, 7}) r.fake.files.files.erase(r.form->Docs().SlotPathOf(n));
  r.fake.memMain.text.clear();
  r.form->LearnFromDocuments();
  EXPECT_FALSE(r.fake.learnTimer.running);
  EXPECT_EQ(r.Message(), "覚えました：0文、0語");
}

// A long document is learned over many steps, each within its time.
TEST(DocumentLearningWindow, ALongDocumentGoesInStepsThatEachKeepTheirTime) {
  DocumentsRig r;
  // Each look-up in the lexicon takes a millisecond.
  r.fake.predictor.onFormsAt = [&r] { ++r.fake.clock.now; };
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "看護師さんを呼んでください。\r\n";
  r.Slot(0, lines.c_str());
  r.fake.memMain.text.clear();
  r.form->LearnFromDocuments();
  int steps = 0;
  long long longest = 0;
  while (r.fake.learnTimer.running && steps < 1000) {
    const long long before = r.fake.clock.now;
    r.form->LearnTick();
    longest = std::max(longest, r.fake.clock.now - before);
    ++steps;
    if (r.form->DocLearning().Done() == 0) {
      EXPECT_EQ(r.Message(), "覚えています 0/4");
    }
  }
  EXPECT_GE(steps, 100 * 4 / DocumentLearning::kStepMs);
  EXPECT_LE(longest, DocumentLearning::kStepMs + 4) << "one sentence past the time at most";
  EXPECT_TRUE(r.form->Learned().Knows(Sj("看護師さんを呼んでください。")));
}

// After learning, the row offers what followed a word in the documents once
// the word is written, with its reading.
TEST(DocumentLearningWindow, TheRowOffersWhatFollowedAWordAfterIt) {
  DocumentsRig r;
  r.fake.memMain.text.clear();
  r.form->LearnFromDocuments();
  r.RunToEnd();
  r.fake.converter.script[Sj("かんごし")] = {{Sj("かんごし"), {Sj("看護師")}}};
  r.form->Select().InsertText(Sj("かんごし"));
  r.form->Select().StartConversion();
  r.form->Select().Confirm({Place::List, {0, 2}});  // the first candidate, below the controls
  ASSERT_EQ(U(r.fake.memMain.text), "看護師");
  const Prediction::Offer& offer = r.form->Row().Offer();
  std::vector<std::string> cells;
  for (const std::string& c : offer.candidates) cells.push_back(U(c));
  EXPECT_EQ(cells.at(0), "さんを呼んでください。") << "the rest of the sentence";
  const auto after = std::find(cells.begin(), cells.end(), "さんを");
  ASSERT_NE(after, cells.end()) << "what followed the word: " << ::testing::PrintToString(cells);
  r.form->Select().Confirm({Place::Row, {static_cast<int>(after - cells.begin()), 0}});
  ASSERT_EQ(U(r.fake.memMain.text), "看護師さんを");
  r.form->Select().InsertText(Sj("よ"));
  const Prediction::Offer& kana = r.form->Row().Offer();
  const auto word = std::find(kana.candidates.begin(), kana.candidates.end(), Sj("呼ん"));
  ASSERT_NE(word, kana.candidates.end());
  EXPECT_EQ(U(kana.readings.at(static_cast<std::size_t>(word - kana.candidates.begin()))), "よん");
}

// The real lexicon reads a sentence right, and a step stays short on a long
// text (the lexicon's forms are grouped once, not sorted whole).
TEST(DocumentLearningReal, TheRealLexiconReadsASentenceAndStepsStayShort) {
  Lexicon lexicon;
  ASSERT_TRUE(lexicon.Load(RealTextFiles(), VELKOR_LEXICON));
  // IPADIC has 看護 and 師, not 看護師; 呼ん with its okurigana.
  const auto pieces = SplitText(lexicon, Sj("看護師さんを呼んでください。"));
  std::string reading;
  for (const TextPiece& p : pieces) reading += U(p.reading);
  EXPECT_EQ(reading, "かんごしさんをよんでください。");
  EXPECT_EQ(Texts(pieces), (std::vector<std::string>{"看護/かんご", "師/し", "さんを/さんを", "呼ん/よん",
                                                     "でください/でください", "。/。"}));

  std::ifstream guide(std::string(VELKOR_SOURCE_DIR) + "/docs/guide-ja.md", std::ios::binary);
  std::stringstream text;
  text << guide.rdbuf();
  const std::string document = Sj(text.str());
  ASSERT_GT(document.size(), 10000u);
  struct SteadyClock : IClock {
    long long NowMs() const override {
      return std::chrono::duration_cast<std::chrono::milliseconds>(
                 std::chrono::steady_clock::now().time_since_epoch())
          .count();
    }
  } clock;
  Learning learning;
  FakeTextFiles files;
  DocumentLearning job(learning, lexicon, files, clock);
  std::string long_text;
  for (int i = 0; i < 20; ++i) long_text += document;
  job.Start(long_text, {});
  long long longest = 0;
  int steps = 0;
  const long long start = clock.NowMs();
  for (bool more = true; more; ++steps) {
    const long long before = clock.NowMs();
    more = job.Step();
    longest = std::max(longest, clock.NowMs() - before);
  }
  RecordProperty("bytes", static_cast<int>(long_text.size()));
  RecordProperty("steps", steps);
  RecordProperty("longest_step_ms", static_cast<int>(longest));
  RecordProperty("total_ms", static_cast<int>(clock.NowMs() - start));
  EXPECT_GT(steps, 2) << "a long text takes several steps";
  EXPECT_GT(job.Words(), 100);
  EXPECT_GT(job.Sentences(), 10);
  // Generous for a loaded machine: a step that sorted the lexicon or took a
  // whole document at once would take far longer.
  EXPECT_LT(longest, 250);
}

}  // namespace
}  // namespace velkor::testing
