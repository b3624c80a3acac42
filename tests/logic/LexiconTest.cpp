// The prediction lexicon made from Debian's IPADIC at build time: it loads,
// completes readings with everyday words first, and says so when it cannot
// be read.
#include "input/Lexicon.h"

#include <gtest/gtest.h>

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
