// The journal's shared text: every edit must give exactly the bytes a plain
// string would, and a small edit of a large text must share nearly all of it.
#include <gtest/gtest.h>

#include <random>

#include "core/TextRope.h"

namespace velkor {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t size) {
  std::string text(size, '\0');
  for (char& c : text) c = static_cast<char>(random() % 7 == 0 ? '\n' : 'a' + random() % 26);
  return text;
}

TEST(TextRope, EditsMatchAPlainStringAndCompareExactly) {
  std::mt19937 random(4242);
  for (std::size_t start : {0u, 1u, 4095u, 4096u, 70000u, 300000u}) {
    std::string reference = RandomBytes(random, start);
    TextRope rope(reference);
    for (int edit = 0; edit < 300; ++edit) {
      const std::size_t pos = random() % (reference.size() + 1);
      const std::size_t removed = std::min<std::size_t>(random() % (edit % 10 == 0 ? 9000 : 5), reference.size() - pos);
      const std::string inserted = RandomBytes(random, random() % (edit % 17 == 0 ? 10000 : 4));
      const TextRope before = rope;
      const std::string beforeText = reference;
      rope = rope.Replace(pos, removed, inserted);
      reference.replace(pos, removed, inserted);
      ASSERT_EQ(rope.size(), reference.size());
      ASSERT_TRUE(rope == reference) << "edit " << edit << " of a text of " << start;
      // The old text is untouched by the edit.
      ASSERT_TRUE(before == beforeText);
      // Common start and end found through the shared parts equal the plain ones.
      std::size_t prefix = 0;
      while (prefix < std::min(reference.size(), beforeText.size()) && reference[prefix] == beforeText[prefix])
        ++prefix;
      ASSERT_EQ(TextRope::CommonPrefix(rope, before), prefix);
      std::size_t suffix = 0;
      const std::size_t limit = std::min(reference.size(), beforeText.size()) - prefix;
      while (suffix < limit && reference[reference.size() - 1 - suffix] == beforeText[beforeText.size() - 1 - suffix]) {
        ++suffix;
      }
      ASSERT_EQ(TextRope::CommonSuffix(rope, before, prefix), suffix);
    }
    EXPECT_EQ(rope.Flatten(), reference);
    if (!reference.empty()) {
      const std::size_t at = reference.size() / 3;
      EXPECT_EQ(rope.At(at), reference[at]);
      EXPECT_EQ(rope.Substr(at, 5000), reference.substr(at, 5000));
      const char byte = reference[at];
      for (std::size_t from : {std::size_t{0}, at, at + 1, reference.size() - 1, reference.size()})
        EXPECT_EQ(rope.Find(byte, from), reference.find(byte, from)) << "from " << from;
    }
  }
}

TEST(TextRope, ASmallEditOfALargeTextSharesNearlyEverything) {
  std::mt19937 random(7);
  const TextRope large(RandomBytes(random, 10 * 1024 * 1024));
  TextRope edited = large;
  std::size_t extra = 0;
  for (int i = 0; i < 101; ++i) {
    const TextRope next = edited.Replace(random() % edited.size(), 0, "x");
    extra += next.BytesNotIn(&edited);
    edited = next;
  }
  // A hundred and one one-byte edits of 10 MB cost well under a megabyte.
  EXPECT_LT(extra, 1024u * 1024u);
  EXPECT_EQ(edited.size(), large.size() + 101);
  EXPECT_GT(large.BytesNotIn(nullptr), large.size());
}

TEST(TextRope, EmptyTextsAndEdgesOfTheText) {
  TextRope empty;
  EXPECT_TRUE(empty == std::string_view());
  TextRope text = empty.Replace(0, 0, "abc");
  EXPECT_TRUE(text == std::string_view("abc"));
  EXPECT_TRUE(text.Replace(3, 5, "de") == std::string_view("abcde"));  // removal past the end is clamped
  EXPECT_TRUE(text.Replace(0, 3, "") == std::string_view());
  EXPECT_EQ(TextRope::CommonPrefix(text, empty), 0u);
  EXPECT_EQ(TextRope::CommonSuffix(text, text, 3), 0u);
  EXPECT_TRUE(TextRope("same") == TextRope("same"));
  EXPECT_FALSE(TextRope("same") == TextRope("sane"));
}

}  // namespace
}  // namespace velkor
