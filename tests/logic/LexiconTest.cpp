// The prediction lexicon made from Debian's IPADIC at build time: it loads,
// completes readings with everyday words first, and says so when it cannot
// be read.
#include "input/Lexicon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/Cp932.h"
#include "document/TextFile.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

std::vector<std::string> Utf8(const std::vector<Word>& words) {
  std::vector<std::string> out;
  for (const auto& w : words) out.push_back(cp932::ToUtf8(w.form));
  return out;
}

class RealLexicon : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    lexicon_ = new Lexicon;
    ASSERT_TRUE(lexicon_->Load(RealTextFiles(), VELKOR_LEXICON)) << "no lexicon at " << VELKOR_LEXICON;
  }
  static void TearDownTestSuite() { delete lexicon_; }
  static Lexicon* lexicon_;
};
Lexicon* RealLexicon::lexicon_ = nullptr;

TEST_F(RealLexicon, EverydayWordsComeFirst) {
  EXPECT_GT(lexicon_->Size(), 200000u);
  const auto kango = Utf8(lexicon_->Complete(Sj("かんご"), 8));
  EXPECT_NE(std::find(kango.begin(), kango.end(), "看護"), kango.end()) << "看護 among the first 8";
  EXPECT_EQ(kango.front(), "看護");
  const auto karada = Utf8(lexicon_->Complete(Sj("からだ"), 8));
  EXPECT_NE(std::find(karada.begin(), karada.end(), "体"), karada.end());
  EXPECT_TRUE(lexicon_->Complete(Sj("ゔゔゔゔ"), 8).empty());
  EXPECT_TRUE(lexicon_->Complete("", 8).empty());
  EXPECT_EQ(lexicon_->Complete(Sj("か"), 8).size(), 8u);
}

TEST(Lexicon, AFileThatIsNoLexiconLoadsNothing) {
  FakeTextFiles files;
  Lexicon lexicon;
  EXPECT_FALSE(lexicon.Load(files, "/missing.txt"));
  files.files["/bad.txt"] = "no tabs here\n";
  EXPECT_FALSE(lexicon.Load(files, "/bad.txt"));
  EXPECT_EQ(lexicon.Size(), 0u);
  files.files["/small.txt"] = Sj("かんご\t看護\t1200\nかんご\t監護\t4000\nかんごし\t看護師\t3000\n");
  ASSERT_TRUE(lexicon.Load(files, "/small.txt"));
  EXPECT_EQ(Utf8(lexicon.Complete(Sj("かんご"), 8)), (std::vector<std::string>{"看護", "看護師", "監護"}));
  EXPECT_EQ(Utf8(lexicon.Complete(Sj("かんご"), 1)), std::vector<std::string>{"看護"});
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

std::string Joined(const std::vector<Word>& words) {
  std::string out;
  for (const auto& w : words) out += cp932::ToUtf8(w.form) + "|";
  return out;
}

bool Has(const std::vector<Word>& words, const char* utf8) {
  return std::any_of(words.begin(), words.end(), [utf8](const Word& w) { return cp932::ToUtf8(w.form) == utf8; });
}

// The phrase model made from libkkc-data's word trigrams at build time: a
// word with the endings that follow it, ranked by the words before it.
class RealPhraseModel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    model_ = new PhraseModel;
    ASSERT_TRUE(model_->Load(RealTextFiles(), VELKOR_PHRASE_MODEL)) << "no phrase model at " << VELKOR_PHRASE_MODEL;
  }
  static void TearDownTestSuite() { delete model_; }
  static PhraseModel* model_;
};
PhraseModel* RealPhraseModel::model_ = nullptr;

TEST_F(RealPhraseModel, PhrasesGoOnFromTheKanaAndTheWordsBefore) {
  EXPECT_GT(model_->Size(), 100000u);
  // A word made of two of the model's (看護 + 師) with its particle.
  const auto kangoshi = model_->Phrases("", Sj("かんごし"), 8);
  EXPECT_TRUE(Has(kangoshi, "看護師を") && Has(kangoshi, "看護師に")) << Joined(kangoshi);
  // After 看護師さん, the particle written and the first kana of a verb: the
  // verb with its ending; never a chain of particles alone.
  const auto wo = model_->Phrases(Sj("看護師さん"), Sj("をよん"), 8);
  EXPECT_TRUE(Has(wo, "を呼んで")) << Joined(wo);
  for (const Word& w : wo) {
    EXPECT_EQ(w.reading.compare(0, Sj("をよん").size(), Sj("をよん")), 0)
        << cp932::ToUtf8(w.reading) << " starts with the kana";
    const std::u16string form = cp932::Decode(w.form);
    EXPECT_TRUE(std::any_of(form.begin(), form.end(), [](char16_t c) { return c < u'ぁ' || c > u'ゖ'; }))
        << cp932::ToUtf8(w.form) << " has its word";
  }
  // The words before change the order: after 薬を, 飲む and its forms first.
  const auto nomu = model_->Phrases(Sj("薬を"), Sj("の"), 3);
  ASSERT_FALSE(nomu.empty());
  EXPECT_EQ(cp932::ToUtf8(nomu.front().form).substr(0, 3), "飲") << Joined(nomu);
  const auto next = model_->Next(Sj("薬を"), 8);
  EXPECT_TRUE(Has(next, "飲んで")) << Joined(next);
  // What a text costs after the words before, by its first word.
  const auto nonde = model_->CostAfter(Sj("薬を"), Sj("飲んでください"));
  const auto tsumete = model_->CostAfter(Sj("薬を"), Sj("詰めてください"));
  ASSERT_TRUE(nonde && tsumete);
  EXPECT_LT(*nonde, *tsumete);
  EXPECT_LT(*model_->CostAfter(Sj("待って"), Sj("ください")), *model_->CostAfter(Sj("待って"), Sj("です")));
  EXPECT_FALSE(model_->CostAfter(Sj("薬を"), "").has_value());
  // The words before, as the model knows them: a sentence's start once a
  // sentence ended.
  EXPECT_EQ(model_->FormOf(model_->ContextOf(Sj("はい。")).second), "<s>");
  EXPECT_EQ(model_->FormOf(model_->ContextOf(Sj("薬を")).second), Sj("を"));
  EXPECT_EQ(model_->FormOf(model_->ContextOf(Sj("薬を")).first), Sj("薬"));
  EXPECT_TRUE(model_->Phrases("", "", 8).empty());
  // No next phrases where nothing was written before them in the sentence.
  EXPECT_TRUE(model_->Next("", 8).empty());
  EXPECT_TRUE(model_->Next(Sj("はい。"), 8).empty());
}

TEST_F(RealPhraseModel, AWordAllInHiraganaIsAWordOfThePhraseNotAnEnding) {
  // この after the particle に is the phrase's word, and the noun after it
  // goes on inside the kana; よう takes its particle like any noun.
  const auto kono = model_->Phrases(Sj("今日中"), Sj("にこの"), 8);
  EXPECT_TRUE(Has(kono, "にこの")) << Joined(kono);
  const auto tegami = model_->Phrases(Sj("今日中"), Sj("にこのてがみを"), 8);
  EXPECT_TRUE(Has(tegami, "にこの手紙を")) << Joined(tegami);
  const auto youni = model_->Phrases(Sj("行ける"), Sj("ようにがんばり"), 8);
  EXPECT_TRUE(Has(youni, "ように頑張り")) << Joined(youni);
}

TEST_F(RealPhraseModel, APhraseEndsWhereASentenceMayEnd) {
  // ます and です are followed by か, が or ね nearly as often as by the end
  // of the sentence: the phrase that ends with them is offered too.
  const auto kimasu = model_->Phrases(Sj("先生が"), Sj("きます"), 8);
  EXPECT_TRUE(Has(kimasu, "来ます")) << Joined(kimasu);
  const auto yoteidesu = model_->Phrases(Sj("見る"), Sj("よていで"), 8);
  EXPECT_TRUE(Has(yoteidesu, "予定です")) << Joined(yoteidesu);
  // A verb stem still goes on: 呼 alone is no phrase.
  EXPECT_FALSE(Has(model_->Phrases(Sj("看護師さんを"), Sj("よ"), 8), "呼"));
}

TEST_F(RealPhraseModel, AParticleTakesTheOneAfterItAsAPhraseOfTheirOwn) {
  // ので after 寒い, には after 病院: two particles in one selection.
  EXPECT_TRUE(Has(model_->Phrases(Sj("寒い"), Sj("の"), 8), "ので"))
      << Joined(model_->Phrases(Sj("寒い"), Sj("の"), 8));
  EXPECT_TRUE(Has(model_->Phrases(Sj("病院"), Sj("に"), 8), "には"))
      << Joined(model_->Phrases(Sj("病院"), Sj("に"), 8));
}

TEST_F(RealPhraseModel, AVerbThatHelpsTheOneBeforeIsWrittenInKanaAfterTe) {
  // Right after て or で, and inside a phrase that goes on from them.
  const auto kudasai = model_->Phrases(Sj("向きを変えて"), Sj("く"), 8);
  EXPECT_TRUE(Has(kudasai, "ください")) << Joined(kudasai);
  EXPECT_FALSE(Has(kudasai, "下さい")) << Joined(kudasai);
  const auto yonde = model_->Phrases(Sj("看護師さんを"), Sj("よんでく"), 8);
  EXPECT_TRUE(Has(yonde, "呼んでください")) << Joined(yonde);
  const auto shite = model_->Phrases(Sj("テレビを"), Sj("みてい"), 8);
  EXPECT_TRUE(Has(shite, "見ている") || Has(shite, "見ています")) << Joined(shite);
  // Elsewhere the word keeps its form: 見 alone is the verb itself.
  const auto miru = model_->Phrases(Sj("テレビを"), Sj("みる"), 8);
  EXPECT_TRUE(Has(miru, "見る")) << Joined(miru);
  // で is a verb's て after 読ん, but the particle after a noun.
  const auto yondemi = model_->Phrases(Sj("本を読んで"), Sj("み"), 8);
  EXPECT_TRUE(Has(yondemi, "みて") && !Has(yondemi, "見て")) << Joined(yondemi);
  const auto terebide = model_->Phrases(Sj("テレビ"), Sj("でみる"), 8);
  EXPECT_TRUE(Has(terebide, "で見る") && !Has(terebide, "でみる")) << Joined(terebide);
  const auto byouinde = model_->Phrases(Sj("病院で"), Sj("み"), 8);
  EXPECT_TRUE(Has(byouinde, "見て") && !Has(byouinde, "みて")) << Joined(byouinde);
}

TEST(PhraseModel, AFileThatIsNoModelLoadsNothing) {
  FakeTextFiles files;
  PhraseModel model;
  EXPECT_FALSE(model.Load(files, "/missing.bin"));
  files.files["/text.bin"] = "VKPHRS0\nnot a model";
  EXPECT_FALSE(model.Load(files, "/text.bin"));
  // A model cut short anywhere is refused whole.
  const std::string real = RealTextFiles().ReadAll(VELKOR_PHRASE_MODEL).bytes;
  ASSERT_GT(real.size(), 1000u);
  // The earlier layout is refused, and so is a count of words no file could
  // hold, before any room is taken for them.
  files.files["/old.bin"] = "VKPHRS1\n" + real.substr(8);
  EXPECT_FALSE(model.Load(files, "/old.bin"));
  files.files["/huge.bin"] = real.substr(0, 8) + std::string(4, '\xff') + real.substr(12);
  EXPECT_FALSE(model.Load(files, "/huge.bin"));
  for (std::size_t cut : {std::size_t{10}, real.size() / 3, real.size() - 1}) {
    files.files["/cut.bin"] = real.substr(0, cut);
    EXPECT_FALSE(model.Load(files, "/cut.bin")) << cut;
    EXPECT_FALSE(model.Loaded());
    EXPECT_TRUE(model.Phrases("", Sj("か"), 8).empty());
  }
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// The model's words come from news and encyclopaedia text: a name (足利)
// begins no phrase unless the lexicon knows it, and one word gives at most
// four phrases, so the row holds several words.
TEST(RealLexiconWithModel, PhrasesBeginWithWordsTheLexiconKnows) {
  Lexicon lexicon;
  ASSERT_TRUE(lexicon.LoadModel(RealTextFiles(), VELKOR_PHRASE_MODEL));
  ASSERT_TRUE(lexicon.Load(RealTextFiles(), VELKOR_LEXICON));
  ASSERT_FALSE(lexicon.Begins(Sj("足利"), Sj("あしかが")));
  EXPECT_TRUE(lexicon.Begins(Sj("足"), Sj("あし")));
  const auto names = lexicon.Model().Phrases("", Sj("あし"), 40);
  ASSERT_TRUE(Has(names, "足利")) << "the model alone offers names: " << Joined(names);
  const auto ashi = lexicon.Phrases("", Sj("あし"), 40);
  EXPECT_TRUE(Has(ashi, "足を") && Has(ashi, "足が")) << Joined(ashi);
  for (const Word& w : ashi) EXPECT_NE(w.form.rfind(Sj("足利"), 0), 0u) << Joined(ashi);
  const auto kangoshi = lexicon.Phrases("", Sj("かんごし"), 8);
  EXPECT_EQ(kangoshi.size(), 8u) << Joined(kangoshi);
  EXPECT_LE(
      std::count_if(kangoshi.begin(), kangoshi.end(), [](const Word& w) { return w.form.rfind(Sj("看護"), 0) == 0; }),
      4)
      << Joined(kangoshi);
  EXPECT_TRUE(Has(kangoshi, "看護師を") || Has(kangoshi, "看護師が")) << Joined(kangoshi);

  // What the lexicon knows is asked again when another lexicon is loaded.
  FakeTextFiles files;
  files.files["/names.txt"] = Sj("あしや\t芦屋\t100\n");
  files.files["/plain.txt"] = Sj("あし\t足\t100\n");
  ASSERT_TRUE(lexicon.Load(files, "/names.txt"));
  EXPECT_TRUE(Has(lexicon.Phrases("", Sj("あしや"), 8), "芦屋")) << Joined(lexicon.Phrases("", Sj("あしや"), 8));
  ASSERT_TRUE(lexicon.Load(files, "/plain.txt"));
  EXPECT_FALSE(Has(lexicon.Phrases("", Sj("あしや"), 8), "芦屋"));
  EXPECT_TRUE(Has(lexicon.Phrases("", Sj("あし"), 8), "足を")) << Joined(lexicon.Phrases("", Sj("あし"), 8));
}

}  // namespace
}  // namespace velkor::testing
