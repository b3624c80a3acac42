// Conversion through anthy itself (libanthy1 with its dictionary). Where the
// library is not installed these tests are skipped, except under CI, which
// installs it.
#include "ui/AnthyConverter.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/Cp932.h"

namespace velkor::ui {
namespace {

namespace fs = std::filesystem;
using cp932::FromUtf8;
using cp932::ToUtf8;

bool AnthyInstalled() {
  void* handle = dlopen(AnthyConverter::kLibrary, RTLD_LAZY);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

// The top candidate of every segment, joined, in UTF-8.
std::string TopCandidates(IConverter& c) {
  std::string text;
  for (int s = 0; s < c.SegmentCount(); ++s) {
    const std::vector<std::string> candidates = c.Candidates(s);
    if (candidates.empty()) return "<segment " + std::to_string(s) + " has no candidates>";
    text += ToUtf8(candidates.front());
  }
  return text;
}

// The readings of the segments, joined with "|", in UTF-8.
std::string Segments(IConverter& c) {
  std::string text;
  for (int s = 0; s < c.SegmentCount(); ++s) text += (s ? "|" : "") + ToUtf8(c.SegmentReading(s));
  return text;
}

// The candidate of each segment, from segment `segment` on, that together
// spell `wanted` (UTF-8) from byte `at`; nothing when no choice does.
std::optional<std::vector<int>> Spell(IConverter& c, const std::string& wanted, int segment = 0, std::size_t at = 0) {
  if (segment == c.SegmentCount()) return at == wanted.size() ? std::optional(std::vector<int>{}) : std::nullopt;
  const std::vector<std::string> candidates = c.Candidates(segment);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const std::string text = ToUtf8(candidates[i]);
    if (wanted.compare(at, text.size(), text) != 0) continue;
    if (auto rest = Spell(c, wanted, segment + 1, at + text.size())) {
      rest->insert(rest->begin(), static_cast<int>(i));
      return rest;
    }
  }
  return std::nullopt;
}

std::string Unsplit(std::string segments) {
  std::erase(segments, '|');
  return segments;
}

// Sets $HOME for the life of the object.
class ScopedHome {
 public:
  explicit ScopedHome(const std::string& home) {
    if (const char* old = std::getenv("HOME")) old_ = old;
    setenv("HOME", home.c_str(), 1);
  }
  ~ScopedHome() {
    if (old_)
      setenv("HOME", old_->c_str(), 1);
    else
      unsetenv("HOME");
  }

 private:
  std::optional<std::string> old_;
};

class AnthyConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // scripts/setup.sh installs anthy: without it the test fails by its name.
    if (!AnthyInstalled()) {
      FAIL() << AnthyConverter::kLibrary << " cannot be loaded: packages libanthy1 and anthy-common are not installed";
    }
    ASSERT_TRUE(temp_.isValid());
  }
  // A learning folder that does not exist yet, with a native UTF-8 name.
  std::string Folder() const { return temp_.path().toStdString() + "/データ/anthy"; }

  QTemporaryDir temp_;
};

TEST_F(AnthyConverterTest, EverySegmentTakesItsTopCandidate) {
  AnthyConverter converter(Folder());
  ASSERT_TRUE(converter.Available());
  ASSERT_TRUE(converter.Begin(FromUtf8("きょうはいいてんきです")));
  EXPECT_GT(converter.SegmentCount(), 1);
  EXPECT_EQ(Unsplit(Segments(converter)), "きょうはいいてんきです") << Segments(converter);
  for (int s = 0; s < converter.SegmentCount(); ++s) {
    const auto candidates = converter.Candidates(s);
    EXPECT_NE(std::find(candidates.begin(), candidates.end(), converter.SegmentReading(s)), candidates.end())
        << "segment " << s << " does not offer its reading " << ToUtf8(converter.SegmentReading(s));
  }
  EXPECT_EQ(TopCandidates(converter), "今日はいい天気です");

  // A new reading replaces the conversion. Katakana in it stays in the
  // segment's reading, which is one of its candidates (anthy reads it as
  // hiragana, which is another); an empty reading is refused.
  ASSERT_TRUE(converter.Begin(FromUtf8("きょうはテレビをみる")));
  EXPECT_EQ(Segments(converter), "きょうは|テレビを|みる");
  const auto tv = converter.Candidates(1);
  for (const char* wanted : {"テレビを", "てれびを"})
    EXPECT_NE(std::find(tv.begin(), tv.end(), FromUtf8(wanted)), tv.end()) << wanted;
  EXPECT_EQ(TopCandidates(converter), "今日はテレビを見る");
  EXPECT_FALSE(converter.Begin(""));
  EXPECT_EQ(converter.SegmentCount(), 0);
  EXPECT_TRUE(converter.Candidates(0).empty());
}

// The sentence is reached by choosing a candidate in every segment, after at
// most one resize of a segment.
TEST_F(AnthyConverterTest, AtMostOneResizeReachesTheSentence) {
  const std::string reading = "かんごしさんをよんでください";
  const std::string wanted = "看護師さんを呼んでください";
  AnthyConverter converter(Folder());
  ASSERT_TRUE(converter.Begin(FromUtf8(reading)));
  const std::string split = Segments(converter);
  const int segments = converter.SegmentCount();
  if (Spell(converter, wanted)) return;

  std::vector<std::string> found;
  for (int s = 0; s < segments; ++s) {
    for (int delta : {-1, 1}) {
      SCOPED_TRACE("segment " + std::to_string(s) + (delta < 0 ? " shorter" : " longer"));
      ASSERT_TRUE(converter.Begin(FromUtf8(reading)));
      TopCandidates(converter);  // candidates cached before the resize
      const std::string before = ToUtf8(converter.SegmentReading(s));
      converter.Resize(s, delta);
      const std::string after = Segments(converter);
      EXPECT_EQ(Unsplit(after), reading) << after;
      if (after == split) continue;  // nothing to move at the edges
      // The segment's reading grew or shrank by one kana (3 bytes of UTF-8).
      EXPECT_EQ(ToUtf8(converter.SegmentReading(s)).size(), before.size() + static_cast<std::size_t>(3 * delta))
          << after;
      if (Spell(converter, wanted)) found.push_back(after);
    }
  }
  EXPECT_FALSE(found.empty()) << "no single resize of " << split << " gives " << wanted;
}

TEST_F(AnthyConverterTest, LearningSurvivesARestartInItsOwnFolder) {
  // Were anthy to learn into $HOME, it would be this empty folder.
  QTemporaryDir decoy;
  ASSERT_TRUE(decoy.isValid());
  const ScopedHome home(decoy.path().toStdString());

  // A candidate below the top of the first segment; the second reading ends
  // with its second segment open: what was committed is learnt all the same.
  struct Choice {
    std::string reading;
    int index;
    bool oneSegment;
    std::string text;
  };
  std::vector<Choice> choices = {{"しめて", 2, true, ""}, {"かんごしさんを", 1, false, ""}};
  {
    AnthyConverter converter(Folder());
    for (Choice& choice : choices) {
      ASSERT_TRUE(converter.Begin(FromUtf8(choice.reading)));
      const auto candidates = converter.Candidates(0);
      ASSERT_GT(static_cast<int>(candidates.size()), choice.index);
      choice.text = candidates[static_cast<std::size_t>(choice.index)];
      ASSERT_EQ(converter.SegmentCount() == 1, choice.oneSegment) << Segments(converter);
      converter.Commit(0, choice.index);
      converter.End();
    }
  }
  EXPECT_TRUE(fs::exists(Folder() + "/.anthy/last-record2_default.utf8"));
  EXPECT_FALSE(fs::exists(decoy.path().toStdString() + "/.anthy"));

  AnthyConverter restarted(Folder());
  for (const Choice& choice : choices) {
    SCOPED_TRACE(choice.reading);
    ASSERT_TRUE(restarted.Begin(FromUtf8(choice.reading)));
    const auto candidates = restarted.Candidates(0);
    const auto at = std::find(candidates.begin(), candidates.end(), choice.text);
    ASSERT_NE(at, candidates.end());
    EXPECT_LT(at - candidates.begin(), choice.index) << ToUtf8(choice.text) << " was not learnt";
  }
}

TEST_F(AnthyConverterTest, ConvertersAliveTogetherShareOneLearningFolder) {
  AnthyConverter first(Folder());
  ASSERT_TRUE(first.Available());
  AnthyConverter other(temp_.path().toStdString() + "/other");
  EXPECT_FALSE(other.Begin(FromUtf8("みず")));
  {
    AnthyConverter same(Folder());
    ASSERT_TRUE(same.Begin(FromUtf8("みず")));
    EXPECT_EQ(TopCandidates(same), "水");
  }
  // The engine stays up while one of its users lives.
  ASSERT_TRUE(first.Begin(FromUtf8("みず")));
  EXPECT_EQ(TopCandidates(first), "水");
}

TEST(AnthyConverterMissing, NothingIsAvailableAndNothingBreaks) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  AnthyConverter converter(temp.path().toStdString(), "libvelkor-no-such-engine.so.1");
  EXPECT_FALSE(converter.Available());
  EXPECT_FALSE(converter.Begin(FromUtf8("みず")));
  EXPECT_EQ(converter.SegmentCount(), 0);
  EXPECT_TRUE(converter.Candidates(0).empty());
  converter.Resize(0, 1);
  converter.Commit(0, 0);
  converter.End();
}

}  // namespace
}  // namespace velkor::ui
