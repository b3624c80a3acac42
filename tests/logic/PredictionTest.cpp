// The prediction row with a scripted engine: what it offers after kana, after
// a commit and after punctuation, and one journal entry per choice.
#include "input/Prediction.h"

#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::vector<std::string> Utf8(const StringList& list) {
  std::vector<std::string> out;
  for (const auto& s : list) out.push_back(cp932::ToUtf8(s));
  return out;
}

struct PredictionRig {
  ScriptedPredictor engine;
  Learning learning;
  Prediction prediction{engine, learning};
  Prediction::Offer RowAfter(const char* utf8, std::size_t cells = 8) {
    const std::string text = Sj(utf8);
    return prediction.Row(text, text.size(), cells);
  }
};

TEST(PredictionRow, AfterKanaItOffersLearnedThenTheEnginesCandidatesForTheReading) {
  PredictionRig r;
  r.engine.completions["かんご"] = {"看護", "看護師", "監護"};
  r.learning.Learn(Sj("かんご"), Sj("看護師さんを呼んでください。"));
  const auto offer = r.RowAfter("今日はかんご");
  EXPECT_EQ(cp932::ToUtf8(offer.replaces.front()), "かんご");
  EXPECT_EQ(Utf8(offer.candidates),
            (std::vector<std::string>{"看護師さんを呼んでください。", "看護", "看護師", "監護"}));
  EXPECT_EQ(r.RowAfter("かんご", 2).candidates.size(), 2u) << "at most the row's cells";

  // Kana written before and never converted do not hide the word: the
  // longest end of the run that has candidates is the reading.
  const auto later = r.RowAfter("あのかんご");
  EXPECT_EQ(cp932::ToUtf8(later.replaces.back()), "かんご");
  EXPECT_EQ(later.candidates.size(), 4u);
  // Nothing to offer: an empty row.
  EXPECT_TRUE(r.RowAfter("ぬぬぬ").candidates.empty());
}

TEST(PredictionRow, AfterACommitOrPunctuationItOffersTheNextWords) {
  PredictionRig r;
  r.engine.next["。"] = {"ありがとう", "お願いします"};
  r.engine.next["体"] = {"の", "を"};
  EXPECT_EQ(Utf8(r.RowAfter("はい。").candidates), (std::vector<std::string>{"ありがとう", "お願いします"}));
  EXPECT_EQ(Utf8(r.RowAfter("体").candidates), (std::vector<std::string>{"の", "を"}));
  EXPECT_EQ(r.RowAfter("体").replaces, (StringList{"", ""})) << "next words replace nothing";
  EXPECT_EQ(r.engine.asked.back(), "next 体");
  EXPECT_TRUE(r.RowAfter("").candidates.empty());
}

// Choosing replaces the reading with the candidate as one change: one journal
// entry, undone by one undo; and the choice is learned, ranking first next time.
TEST(PredictionRow, AChoiceIsOneJournalEntryAndIsLearned) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  PredictionRig r;
  r.engine.completions["かんご"] = {"看護", "看護師"};
  fake.memMain.text = Sj("今日はかんご");
  fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
  const int entries = form.UndoLog().Count();

  const auto offer = r.prediction.Row(fake.memMain.text, fake.memMain.text.size(), 8);
  r.prediction.Choose(fake.memMain, form.Edits(), offer, 1);
  EXPECT_EQ(cp932::ToUtf8(fake.memMain.text), "今日は看護師");
  EXPECT_EQ(form.UndoLog().Count(), entries + 1);
  EXPECT_EQ(Utf8(r.RowAfter("かんご").candidates).front(), "看護師") << "learned: first next time";

  // A next word goes in at the caret and replaces nothing.
  const auto next = Prediction::Offer{{Sj("を")}, {""}, {""}, {""}};
  r.prediction.Choose(fake.memMain, form.Edits(), next, 0);
  EXPECT_EQ(cp932::ToUtf8(fake.memMain.text), "今日は看護師を");
  EXPECT_EQ(form.UndoLog().Count(), entries + 2);
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// The conversion engine's readings of the kana on the row (never while a
// conversion uses the engine), learned kana phrases after a word and their
// ends, the modifier's other kana, and the commit point a choice leaves.
TEST(PredictionRow, ConversionsPhrasesAndTheCommitPoint) {
  PredictionRig r;
  ScriptedConverter converter;
  bool busy = false;
  r.prediction.UseConverter(converter, [&busy] { return busy; });
  converter.script[Sj("をとって")] = {{Sj("を"), {Sj("を")}}, {Sj("とって"), {Sj("撮って"), Sj("取って")}}};
  auto offer = r.RowAfter("眼鏡をとって");
  ASSERT_GE(offer.candidates.size(), 2u);
  EXPECT_EQ(Utf8(offer.candidates)[0], "を撮って");
  EXPECT_EQ(Utf8(offer.candidates)[1], "を取って") << "the second segment read as its next candidate";
  EXPECT_EQ(cp932::ToUtf8(offer.replaces[1]), "をとって");
  busy = true;
  EXPECT_TRUE(r.RowAfter("眼鏡をとって").candidates.empty()) << "a conversion in the list has the engine";
  busy = false;

  // Kana phrases written after words: offered right after a word, and from
  // within ("て" finds "てください" in "してください"); not after punctuation.
  r.learning.Learn(Sj("してください"), Sj("してください"));
  r.learning.Learn(Sj("です"), Sj("です"));
  EXPECT_EQ(Utf8(r.RowAfter("体").candidates), (std::vector<std::string>{"です", "してください"})) << "the later first";
  EXPECT_TRUE(r.RowAfter("はい。").candidates.empty());
  offer = r.RowAfter("上げて");
  ASSERT_FALSE(offer.candidates.empty());
  EXPECT_EQ(Utf8(offer.candidates)[0], "てください");
  EXPECT_EQ(cp932::ToUtf8(offer.replaces[0]), "て");
  // The kana as the modifier would turn it: "て" also offers "です".
  const auto turned = Utf8(r.RowAfter("痛いて").candidates);
  EXPECT_NE(std::find(turned.begin(), turned.end(), "です"), turned.end());

  // A chosen word ending in kana is a commit point: "し" of 少し is no part
  // of the next reading.
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  r.engine.completions["すこ"] = {"少し"};
  fake.memMain.text = Sj("すこ");
  fake.memMain.selStart = 4;
  r.prediction.Choose(fake.memMain, form.Edits(), r.prediction.Row(fake.memMain.text, 4, 8), 0);
  ASSERT_EQ(cp932::ToUtf8(fake.memMain.text), "少し");
  fake.memMain.text += Sj("の");
  fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
  r.engine.asked.clear();
  r.prediction.Row(fake.memMain.text, fake.memMain.text.size(), 8);
  EXPECT_EQ(std::count(r.engine.asked.begin(), r.engine.asked.end(), "complete しの"), 0);
  EXPECT_EQ(std::count(r.engine.asked.begin(), r.engine.asked.end(), "complete の"), 1);
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// A long line costs no more per change: the reading is at most the last 64
// kana (what a conversion takes), and a sentence longer than 1024 bytes is
// neither continued nor learned.
TEST(PredictionRow, ALongLineIsLookedAtOnlyAsFarAsAReadingOrASentenceGoes) {
  PredictionRig r;
  r.learning.Learn(Sj("はい。"), Sj("はい。"));
  std::string line;
  for (int i = 0; i < 600; ++i) line += "あ";
  const auto offer = r.RowAfter(line.c_str());
  EXPECT_EQ(std::count(offer.candidates.begin(), offer.candidates.end(), Sj("はい。")), 0);
  ASSERT_FALSE(r.engine.asked.empty());
  EXPECT_EQ(r.engine.asked.front(), "phrases あ|" + line.substr(0, 64 * 3)) << "the last 64 kana for phrases";
  EXPECT_NE(std::find(r.engine.asked.begin(), r.engine.asked.end(), "complete " + line.substr(0, 64 * 3)),
            r.engine.asked.end())
      << "and for words";
  EXPECT_EQ(Prediction::SentenceBefore(Sj(line + "。"), Sj(line + "。").size()), "");
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// The engine's phrases for the kana after the words before them: the first
// ones come before the conversion engine's reading, from the first kana; a
// chosen phrase replaces the kana and is learned for its whole reading.
TEST(PredictionRow, PhrasesAfterOneAndTwoKanaAndAfterACommit) {
  PredictionRig r;
  r.engine.phrases["師|をよ"] = {"を呼んでください", "を呼んで", "を読んで", "を良い"};
  r.engine.phrases["師|をよん"] = {"を呼んでください", "を読んで"};
  const auto one = r.RowAfter("看護師をよ");
  EXPECT_EQ(Utf8(one.candidates), (std::vector<std::string>{"を呼んでください", "を呼んで", "を読んで", "を良い"}));
  EXPECT_EQ(cp932::ToUtf8(one.replaces.front()), "をよ");
  EXPECT_EQ(r.engine.asked.front(), "phrases 師|をよ") << "asked with the word before";
  const auto two = r.RowAfter("看護師をよん");
  EXPECT_EQ(Utf8(two.candidates).front(), "を呼んでください");
  EXPECT_EQ(cp932::ToUtf8(two.replaces.front()), "をよん");

  // Chosen after two kana: it replaces them, one journal entry, and is
  // learned for its whole reading (the scripted reading is the kana).
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  fake.memMain.text = Sj("看護師をよん");
  fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
  const int entries = form.UndoLog().Count();
  r.prediction.Choose(fake.memMain, form.Edits(), two, 0);
  EXPECT_EQ(cp932::ToUtf8(fake.memMain.text), "看護師を呼んでください");
  EXPECT_EQ(form.UndoLog().Count(), entries + 1);

  // Right after the commit, the next phrases after the last word; one chosen
  // goes in at the caret with its reading learned.
  r.engine.next["い"] = {"ね", "。"};
  const auto next = r.RowAfter("看護師を呼んでください");
  EXPECT_EQ(Utf8(next.candidates), (std::vector<std::string>{"ね", "。"}));
  const Prediction::Offer phrase{{Sj("呼んでください")}, {""}, {Sj("よんでください")}, {""}};
  fake.memMain.text = Sj("看護師さんを");
  fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
  r.prediction.Choose(fake.memMain, form.Edits(), phrase, 0);
  EXPECT_EQ(cp932::ToUtf8(fake.memMain.text), "看護師さんを呼んでください");
  const auto learned = r.learning.Words(Sj("よんでください"), 8);
  ASSERT_EQ(learned.size(), 1u);
  EXPECT_EQ(cp932::ToUtf8(learned.front().form), "呼んでください");
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// What the user chose right after a text is offered after the same text in
// a new sentence: with no kana yet, and for the kana written.
TEST(PredictionRow, WhatFollowedACommittedTextIsOfferedAfterItInANewSentence) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  PredictionRig r;
  r.engine.completions["かんごし"] = {"看護師"};
  const auto write = [&](const char* utf8) {
    fake.memMain.text += Sj(utf8);
    fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
  };
  const auto choose = [&](const char* utf8) {
    const auto offer = r.prediction.Row(fake.memMain.text, fake.memMain.text.size(), 8);
    const auto it = std::find(offer.candidates.begin(), offer.candidates.end(), Sj(utf8));
    ASSERT_NE(it, offer.candidates.end()) << utf8 << " is offered";
    r.prediction.Choose(fake.memMain, form.Edits(), offer, static_cast<std::size_t>(it - offer.candidates.begin()));
  };
  write("かんごし");
  choose("看護師");
  r.engine.phrases["師|をよん"] = {"を呼んで"};
  write("をよん");
  choose("を呼んで");
  write("ください\r\n");
  // A new line: right after 看護師 is chosen again, を呼んで comes first.
  write("かんごし");
  choose("看護師");
  const std::string now = fake.memMain.text;
  EXPECT_EQ(Utf8(r.prediction.Row(now, now.size(), 8).candidates).front(), "を呼んで");
  write("を");
  const auto offer = r.prediction.Row(fake.memMain.text, fake.memMain.text.size(), 8);
  EXPECT_EQ(Utf8(offer.candidates).front(), "を呼んで");
  EXPECT_EQ(cp932::ToUtf8(offer.replaces.front()), "を");
  // After another text it is not offered first.
  const auto other = Utf8(r.RowAfter("医師").candidates);
  EXPECT_TRUE(other.empty() || other.front() != "を呼んで");
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// Words of one kana are many: what was learned for the last kana of a run
// alone comes after the phrases the whole run is the reading of, so that
// あつい offers 暑い before 家に; what was learned for two kana or more of
// it still comes first.
TEST(PredictionRow, WhatWasLearnedForTheLastKanaAloneComesAfterThePhrasesOfTheRun) {
  PredictionRig r;
  r.learning.Learn(Sj("いえに"), Sj("家に"));
  r.learning.Learn(Sj("ついたち"), Sj("一日"));
  r.engine.phrases["屋|があつい"] = {"が暑い", "が厚い"};
  const auto offer = r.RowAfter("部屋があつい");
  EXPECT_EQ(Utf8(offer.candidates), (std::vector<std::string>{"一日", "が暑い", "が厚い", "家に"}));
  EXPECT_EQ(Utf8(offer.replaces), (std::vector<std::string>{"つい", "があつい", "があつい", "い"}));
  // A run of one kana is its own whole run: what was learned for it first.
  r.engine.phrases["屋|い"] = {"行く"};
  EXPECT_EQ(Utf8(r.RowAfter("部屋い").candidates), (std::vector<std::string>{"家に", "行く"}));
}

// A kana the modifier would turn (て into で) need not be turned first: after
// the first two phrases for the kana as written comes the likeliest phrase
// for the turned kana, replacing what was written and learned with its own
// reading.
TEST(PredictionRow, ThePhraseForTheLastKanaTurnedComesAfterTheFirstTwo) {
  PredictionRig r;
  r.engine.phrases["体|て"] = {"手", "手を", "天気"};
  r.engine.phrases["体|で"] = {"です", "できる"};
  const auto offer = r.RowAfter("体て");
  EXPECT_EQ(Utf8(offer.candidates), (std::vector<std::string>{"手", "手を", "です", "天気"}));
  EXPECT_EQ(cp932::ToUtf8(offer.replaces[2]), "て");
  EXPECT_EQ(cp932::ToUtf8(offer.readings[2]), "で");
  EXPECT_NE(std::find(r.engine.asked.begin(), r.engine.asked.end(), "phrases 体|で"), r.engine.asked.end());
}

// Right after a word, the model's next phrases (which follow that word)
// come before the kana phrases the user wrote after any word.
TEST(PredictionRow, AfterAWordTheNextPhrasesComeBeforeTheKanaPhrasesLearned) {
  PredictionRig r;
  r.engine.next["体"] = {"を起こして", "の向きを", "が痛い", "を拭いて", "に"};
  r.learning.Learn(Sj("してください"), Sj("してください"));
  r.learning.Learn(Sj("です"), Sj("です"));
  EXPECT_EQ(Utf8(r.RowAfter("体").candidates),
            (std::vector<std::string>{"を起こして", "の向きを", "が痛い", "を拭いて", "です", "してください", "に"}));

  // The kana phrases learned come in the order of use mixed with how likely
  // the engine finds each after the word: after 少々 (a word the engine
  // finds followed by ください far more than by です), ください before the
  // later です, and with one cell, ください alone.
  PredictionRig m;
  m.learning.Learn(Sj("ください"), Sj("ください"));
  m.learning.Learn(Sj("です"), Sj("です"));
  EXPECT_EQ(Utf8(m.RowAfter("少々").candidates), (std::vector<std::string>{"です", "ください"}));
  m.engine.costs["々|ください"] = 1000;
  m.engine.costs["々|です"] = 30000;
  EXPECT_EQ(Utf8(m.RowAfter("少々").candidates), (std::vector<std::string>{"ください", "です"}));
  EXPECT_EQ(Utf8(m.RowAfter("少々", 1).candidates), (std::vector<std::string>{"ください"}));
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// A kana phrase that ended a sentence is learned as it stood, and the kana
// ending the sentence with its mark (not after 、); after a word ending in
// kana that begin such a phrase ("会いた" of "いたいです。"), the rest of it
// comes after the model's first next phrases, forgettable as the phrase it is
// part of. A word ending in a kanji goes on from no kana.
TEST(PredictionRow, APhraseThatEndedASentenceComesWithItsMarkAndGoesOnFromAWordEndingInItsKana) {
  PredictionRig r;
  const std::string comma = Sj("痛いですが、");
  r.prediction.Wrote(comma, comma.size());
  EXPECT_TRUE(r.learning.Knows(Sj("いですが")));
  EXPECT_FALSE(r.learning.Knows(Sj("いですが、")));
  const std::string ended = Sj("会いたいです。");
  r.prediction.Wrote(ended, ended.size());
  EXPECT_TRUE(r.learning.Knows(Sj("いたいです")));
  EXPECT_TRUE(r.learning.Knows(Sj("いたいです。")));

  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  const auto commit = [&](const char* reading, const char* word) {
    fake.memMain.text = Sj(reading);
    fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
    const Prediction::Offer chosen{{Sj(word)}, {Sj(reading)}, {Sj(reading)}, {""}};
    r.prediction.Choose(fake.memMain, form.Edits(), chosen, 0);
    EXPECT_EQ(cp932::ToUtf8(fake.memMain.text), word);
    return r.prediction.Row(fake.memMain.text, fake.memMain.text.size(), 8);
  };
  r.engine.next["た"] = {"ら", "ので"};
  const auto offer = commit("あいた", "会いた");
  const auto row = Utf8(offer.candidates);
  ASSERT_GE(row.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(row.begin(), row.begin() + 4),
            (std::vector<std::string>{"ら", "ので", "いです。", "いです"}));
  EXPECT_EQ(cp932::ToUtf8(offer.replaces[2]), "") << "written at the caret, nothing replaced";
  EXPECT_EQ(cp932::ToUtf8(r.prediction.LearnedSource(offer, 2)), "いたいです。");
  // Chosen, it ends the sentence, which is learned; the kana ending it are
  // no sentence of their own.
  r.prediction.Choose(fake.memMain, form.Edits(), offer, 2);
  EXPECT_EQ(cp932::ToUtf8(fake.memMain.text), "会いたいです。");
  EXPECT_EQ(Utf8(r.learning.Continuations("", 8)), std::vector<std::string>{"会いたいです。"});

  const auto kanji = Utf8(commit("みず", "水").candidates);
  EXPECT_EQ(std::count(kanji.begin(), kanji.end(), "いです。") + std::count(kanji.begin(), kanji.end(), "いです"), 0);
  EXPECT_NE(std::find(kanji.begin(), kanji.end(), "いたいです。"), kanji.end()) << "the whole phrase still is";

  // The mark written after a chosen phrase: the kana ending the sentence are
  // learned with it, the chosen ones too.
  fake.memMain.text = Sj("呼んで");
  fake.memMain.selStart = static_cast<int>(fake.memMain.text.size());
  r.prediction.Choose(fake.memMain, form.Edits(), {{Sj("ください")}, {""}, {Sj("ください")}, {""}}, 0);
  fake.memMain.text += Sj("。");
  r.prediction.Wrote(fake.memMain.text, fake.memMain.text.size());
  EXPECT_TRUE(r.learning.Knows(Sj("んでください。")));
}

}  // namespace
}  // namespace velkor::testing
