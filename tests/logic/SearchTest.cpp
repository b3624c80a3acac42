#include "document/Search.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "document/Journal.h"
#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

using namespace velkor;
using namespace velkor::testing;

namespace {

constexpr std::size_t kNone = std::string::npos;

// Folds one character at a time through UTF-16, where only A..Z and Ａ..Ｚ fold.
std::string ReferenceFold(std::string_view text) {
  std::string out;
  for (std::size_t p = 0; p < text.size(); p = cp932::NextCharPos(text, p)) {
    std::u16string u = cp932::Decode(text.substr(p, cp932::CharLength(text, p)));
    for (char16_t& c : u)
      if ((c >= u'A' && c <= u'Z') || (c >= u'Ａ' && c <= u'Ｚ')) c = static_cast<char16_t>(c + 0x20);
    out += cp932::Encode(u);
  }
  return out;
}

// Naive scan: every character boundary from `from` on, compare, and require
// the occurrence to end on a boundary too.
std::size_t ReferenceFind(std::string_view text, std::size_t from, std::string_view pattern, bool matchCase) {
  if (pattern.empty()) return kNone;
  const std::string t = matchCase ? std::string(text) : ReferenceFold(text);
  const std::string p = matchCase ? std::string(pattern) : ReferenceFold(pattern);
  for (std::size_t b = 0; b < text.size(); b = cp932::NextCharPos(text, b))
    if (b >= from && b + p.size() <= t.size() && t.compare(b, p.size(), p) == 0 &&
        cp932::IsCharBoundary(text, b + p.size()))
      return b;
  return kNone;
}

std::string RandomText(std::mt19937& rng, std::size_t length) {
  static const char* const kPieces[] = {"a",        "A",        "b",        "B",        "z",        "Z",
                                        "@",        "\r\n",     "\r",       "\x82",     "\x83",     "\x81",
                                        "\xA0",     "\xE0",     "\x60",     "\x81\x40", "\x82\x60", "\x82\x81",
                                        "\x82\x79", "\x82\x9A", "\x83\x41", "\x83\x60", "\x83\x81"};
  std::string s;
  while (s.size() < length) s += kPieces[rng() % std::size(kPieces)];
  return s;
}

TEST(SearchTextTest, MatchesANaiveScanOnRandomTexts) {
  std::mt19937 rng(932);
  int found = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    const std::string text = RandomText(rng, rng() % 30);
    std::string pattern;
    if (!text.empty() && rng() % 2) {
      const std::size_t at = rng() % text.size();
      pattern = text.substr(at, 1 + rng() % 4);
      for (char& c : pattern)
        if (rng() % 2 && std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
    } else {
      pattern = RandomText(rng, 1 + rng() % 3);
    }
    const bool matchCase = trial % 2, replace = trial % 4 >= 2;
    const int selStart = text.empty() ? 0 : static_cast<int>(rng() % (text.size() + 1));
    const int selLength = static_cast<int>(rng() % (text.size() - selStart + 1));
    const std::size_t start = selLength == 0 ? 0 : replace ? selStart : selStart + selLength;
    const std::size_t want = ReferenceFind(text, start, pattern, matchCase);
    const auto got = SearchText(text, selStart, selLength, pattern, {.replace = replace, .matchCase = matchCase});
    ASSERT_EQ(got.has_value(), want != kNone) << trial;
    if (got) {
      ++found;
      ASSERT_EQ(*got, (SearchRange{static_cast<int>(want), static_cast<int>(pattern.size())})) << trial;
    }

    std::string expected;
    std::size_t copied = 0;
    for (std::size_t at = ReferenceFind(text, 0, pattern, matchCase); at != kNone;
         at = ReferenceFind(text, copied, pattern, matchCase)) {
      expected += text.substr(copied, at - copied) + "<>";
      copied = at + pattern.size();
    }
    ASSERT_EQ(ReplaceAllText(text, pattern, "<>", matchCase),
              copied == 0 ? std::nullopt : std::optional(expected + text.substr(copied)))
        << trial;
  }
  EXPECT_GT(found, 2000);
}

TEST(SearchTextTest, StartPositionAlignmentAndFolding) {
  const std::string kana = Sj("ア");  // 0x83 0x41: its second byte is "A"
  struct Case {
    const char* name;
    std::string text;
    int selStart, selLength;
    std::string pattern;
    SearchOptions options;
    std::optional<SearchRange> found;
  } cases[] = {
      {"caret without selection starts at the top", "ab ab", 3, 0, "ab", {}, SearchRange{0, 2}},
      {"find starts after the selection", "ab ab", 0, 2, "ab", {}, SearchRange{3, 2}},
      {"replace starts at the selection start", "ab ab", 0, 2, "ab", {.replace = true}, SearchRange{0, 2}},
      {"selection past the end finds nothing", "ab", 1, 9, "b", {}, std::nullopt},
      {"start inside a character skips it", kana + "A", 0, 1, "A", {.matchCase = true}, SearchRange{2, 1}},
      {"second byte is not a character", kana + "A", 0, 0, "A", {.matchCase = true}, SearchRange{2, 1}},
      {"second byte does not fold", kana, 0, 0, "a", {}, std::nullopt},
      {"character across a boundary", "\x81\x82\xA0", 0, 0, "\x82\xA0", {}, std::nullopt},
      {"lone lead byte does not end inside a character", "\x82\xA0\x82\r\n", 0, 0, "\x82", {}, SearchRange{2, 1}},
      {"ignore case finds capitals", "x WORD", 0, 0, "word", {}, SearchRange{2, 4}},
      {"match case does not", "x WORD", 0, 0, "word", {.matchCase = true}, std::nullopt},
      {"full-width letters fold", Sj("ＡＢｃ"), 0, 0, Sj("ａｂＣ"), {}, SearchRange{0, 6}},
      {"full-width match case", Sj("ＡＢｃ"), 0, 0, Sj("ａｂＣ"), {.matchCase = true}, std::nullopt},
      {"other second bytes do not fold", Sj("メ"), 0, 0, Sj("チ"), {}, std::nullopt},
      {"Greek does not fold", Sj("α"), 0, 0, Sj("Α"), {}, std::nullopt},
      {"line breaks in the search text", "a\r\nb\r\nc", 0, 0, "\r\nc", {}, SearchRange{4, 3}},
      {"empty search text", "ab", 0, 0, "", {}, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SearchText(c.text, c.selStart, c.selLength, c.pattern, c.options), c.found) << c.name;
}

TEST(SearchTextTest, LargeTextsStayLinear) {
  // Ten megabytes of lead bytes: looking back for boundaries would be quadratic.
  const std::string leads(10'000'000, '\x81');
  EXPECT_FALSE(SearchText(leads, 0, 0, "x", {}));
  EXPECT_EQ(SearchText(leads + "Xy", 0, 0, "xY", {}), (SearchRange{10'000'000, 2}));
  // A million replacements built in one pass.
  int count = 0;
  const auto all = ReplaceAllText(std::string(1'000'000, 'a'), "A", "bb", false, &count);
  EXPECT_EQ(count, 1'000'000);
  EXPECT_EQ(all, std::string(2'000'000, 'b'));
}

class SearchAreaTest : public ::testing::Test {
 protected:
  SearchAreaTest() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
  }
  void Load(const std::string& t) {
    area.Type(t);  // entry 0, the state undo returns to
    area.SetSelStart(0);
  }
  using Sel = std::pair<int, int>;
  Sel Press(bool replace, const std::string& pattern, const std::string& replacement = "", bool matchCase = false) {
    SearchInEditArea(area, form.Edits(), replace, matchCase, pattern, replacement, sink);
    return {area.selStart, area.selLength};
  }
  int ReplaceAll(bool matchCase, const std::string& pattern, const std::string& replacement) {
    return ReplaceAllInEditArea(area, form.Edits(), matchCase, pattern, replacement);
  }

  FakePlatform fake;
  MainForm form{fake.Get()};
  FakeEditArea& area = fake.memMain;  // replaces the selection as typing does
  Journal& journal = form.UndoLog();
  std::vector<std::string> messages;
  SearchMessageSink sink = [this](const std::string& m) { messages.push_back(m); };
};

TEST_F(SearchAreaTest, OpeningNeedsTextAndCollapsesTheSelection) {
  EXPECT_FALSE(BeginSearchDialog(area, sink));
  EXPECT_EQ(messages, std::vector<std::string>{Sj("対象データがありません")});
  Load("abcdef");
  area.selStart = 2, area.selLength = 3;
  EXPECT_TRUE(BeginSearchDialog(area, sink));
  EXPECT_EQ(Sel(area.selStart, area.selLength), Sel(2, 0));
}

TEST_F(SearchAreaTest, FindNextStepsThroughAndStartsAgainAfterTheEnd) {
  Load("xab ab ab");
  area.SetSelStart(5);
  EXPECT_EQ(Press(false, "AB"), Sel(1, 2));
  EXPECT_TRUE(area.focused);
  EXPECT_EQ(Press(false, "AB"), Sel(4, 2));
  EXPECT_EQ(Press(false, "AB"), Sel(7, 2));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Press(false, "AB"), Sel(7, 0));
  EXPECT_EQ(messages, std::vector<std::string>{Sj("検索は終了しました")});
  EXPECT_EQ(Press(false, "AB"), Sel(1, 2));
  EXPECT_EQ(Press(false, "AB", "", true), Sel(1, 0));
}

TEST_F(SearchAreaTest, ReplaceStepsOnOneJournalEntryEach) {
  Load("a-a-aa");
  const int entries = journal.Count();
  EXPECT_EQ(Press(true, "a", "XY"), Sel(2, 2));  // covers "-a" after the insertion
  EXPECT_EQ(area.text, "XY-a-aa");
  // A find-next starts after that selection and misses the "a" inside it.
  EXPECT_EQ(Press(false, "a"), Sel(5, 1));
  EXPECT_EQ(Press(true, "a", "XY"), Sel(7, 1));
  EXPECT_EQ(Press(true, "a", "XY"), Sel(9, 0));  // fewer bytes at the end
  EXPECT_EQ(area.text, "XY-a-XYXY");
  EXPECT_EQ(journal.Count(), entries + 3);
  // An empty replacement deletes and leaves no selection: the next replace
  // searches from the top again.
  EXPECT_EQ(Press(true, "XY", ""), Sel(0, 0));
  EXPECT_EQ(Press(true, "XY", ""), Sel(3, 0));
  EXPECT_EQ(area.text, "-a-XY");
}

TEST_F(SearchAreaTest, ReplaceAllIsOneUndoableChange) {
  Load(Sj("Ab ab AB ａｂ"));
  const int entries = journal.Count();
  EXPECT_EQ(ReplaceAll(false, "ab", "abab"), 3);
  EXPECT_EQ(area.text, Sj("abab abab abab ａｂ"));
  EXPECT_EQ(journal.Count(), entries + 1);
  journal.Undo();
  EXPECT_EQ(area.text, Sj("Ab ab AB ａｂ"));

  // Nothing matched, or nothing would change: the edit area is not touched.
  const int changes = area.changeCount;
  area.modified = true;
  EXPECT_EQ(ReplaceAll(false, "zz", "x"), 0);
  EXPECT_EQ(ReplaceAll(false, "", "x"), 0);
  EXPECT_EQ(ReplaceAll(true, "Ab", "Ab"), 1);
  EXPECT_EQ(area.changeCount, changes);
  EXPECT_TRUE(area.modified);
  EXPECT_EQ(ReplaceAll(true, "ab", "x"), 1);
  EXPECT_EQ(area.text, Sj("Ab x AB ａｂ"));
}

}  // namespace
