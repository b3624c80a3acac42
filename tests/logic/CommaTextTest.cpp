#include "core/CommaText.h"

#include <gtest/gtest.h>

#include <random>

#include "core/Cp932.h"

using namespace std::string_literals;
using velkor::ReadCommaText;
using velkor::Stepping;
using velkor::StringList;
using velkor::WriteCommaText;

namespace {

// True when stepping the item as code page 932 ends on a lead byte standing
// alone: in a text that byte pairs with whatever follows the item.
bool EndsInLoneLeadByte(const std::string& item) {
  std::size_t pos = 0, last = 0;
  while (pos < item.size()) {
    last = pos;
    pos += velkor::cp932::CharLength(item, pos);
  }
  return !item.empty() && pos - last == 1 && velkor::cp932::IsLeadByte(static_cast<unsigned char>(item[last]));
}

struct Case {
  StringList list;
  std::string text;
  Stepping stepping = Stepping::Cp932;
};

}  // namespace

// Lists whose text is both what the writer gives and what the reader takes back.
TEST(CommaText, WritesAndReadsBothWays) {
  const Case cases[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"", ""}, ","},
      {{"a", ""}, "a,"},
      {{"", "a"}, ",a"},
      {{"a", "", "", "b"}, "a,,,b"},
      {{"plain", "x y", "t\tab", "\x01",
        "\x1f"
        "z",
        "q\"q", "c,d"},
       "plain,\"x y\",\"t\tab\",\"\x01\",\"\x1f"
       "z\",\"q\"\"q\",\"c,d\""},
      {{"a\0b"s, "\x7f", "\xa6"}, "a\0b,\x7f,\xa6"s},  // NUL, DEL and half-width kana are ordinary
      {{"\x83\x5c",
        "\x95\x5c"
        "a"},
       "\x83\x5c,\x95\x5c"
       "a"},  // second byte 0x5C
      // A quote or comma as second byte is part of the character: bare, not doubled.
      {{"\x81\"",
        "\x81,"
        "b"},
       "\x81\",\x81,"
       "b"},
      {{"\x81\" \""}, "\"\x81\" \"\"\""},
      {{"\x81\"",
        "\x81,"
        "b"},
       "\"\x81\"\"\",\"\x81,b\"",
       Stepping::SingleByte},
      // A lead byte before a line break stands alone, so the break forces quotes.
      {{"\x81\r"}, "\"\x81\r\""},
      {{"\xe3\x81\x82", "b"}, "\xe3\x81\x82,b", Stepping::SingleByte},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(WriteCommaText(c.list, c.stepping), c.text);
    EXPECT_EQ(ReadCommaText(c.text, c.stepping), c.list);
  }
}

TEST(CommaText, ReadsLooseText) {
  const Case cases[] = {
      {{}, " \t\r\n"},
      {{"a", "b", "c"}, "  a b\tc  "},  // blanks separate bare words
      {{"a", "b"}, "a , \t b"},
      {{"a"}, "a, "},  // comma not last: no empty item
      {{"a", ""}, "a,"},
      {{""}, " , "},
      {{"", "", ""}, ",,"},
      {{"ab", "cd"}, "\"ab\"cd"},  // text after the closing quote is the next item
      {{"a b", "c"}, "\"a b\" c"},
      {{"a\"b", ""}, "\"a\"\"b\","},
      {{"open, end "}, "\"open, end "},  // missing closing quote
      {{"x\""}, "\"x\"\""},
      {{""}, "\""},
      {{"a\0b"s, "\0"s}, "a\0b \0"s},
      // 0x81 takes the comma as its second byte when stepping code page 932.
      {{"\x81,"
        "b"},
       "\x81,b"},
      {{"\x81", "b"}, "\x81,b", Stepping::SingleByte},
      {{"\x81", "b"}, "\x81\n,b"},                  // but never a line break
      {{"\x81\"", "x\"", "y"}, "\"\x81\"\"x\" y"},  // 0x81 takes the first quote of ""
      // UTF-8 "あ,b": E3 81 pair up, then 82 swallows the comma.
      {{"\xe3\x81\x82,b"}, "\xe3\x81\x82,b"},
      {{"\xe3\x81\x82", "b"}, "\xe3\x81\x82,b", Stepping::SingleByte},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ReadCommaText(c.text, c.stepping), c.list);
  }
}

// An item ending in a lone lead byte pairs that byte with the comma or closing
// quote after it, so such lists do not survive code page 932 stepping.
TEST(CommaText, ItemEndingInLeadByteDoesNotRoundTrip) {
  EXPECT_EQ(ReadCommaText(WriteCommaText({"\x81", "b"})), StringList{"\x81,b"});
  EXPECT_EQ(ReadCommaText(WriteCommaText({"a b\x81"})), StringList{"a b\x81\""});
  EXPECT_EQ(ReadCommaText(WriteCommaText({"a", "\x81"})), (StringList{"a", "\x81"}));
  const StringList list{"\x81", "a b\x81"};
  EXPECT_EQ(ReadCommaText(WriteCommaText(list, Stepping::SingleByte), Stepping::SingleByte), list);
}

TEST(CommaText, NestedListsRoundTrip) {
  const std::vector<StringList> inner = {{"a b", "c,d", "\"q\"", ""},    {},   {""}, {"", ""},
                                         {"\x83\x5c,\x95\x5c", " lead"}, {"x"}};
  StringList texts;
  for (const StringList& list : inner) texts.push_back(WriteCommaText(list));
  const std::string outer = WriteCommaText(texts);
  const StringList readTexts = ReadCommaText(outer);
  ASSERT_EQ(readTexts, texts);
  for (std::size_t i = 0; i < inner.size(); ++i) EXPECT_EQ(ReadCommaText(readTexts[i]), inner[i]);
}

class CommaTextRandom : public testing::Test {
 protected:
  std::mt19937 rng{20240611};
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  // Bytes 0..255, often the ones that matter, and whole double-byte characters.
  std::string RandomItem() {
    static const char kSpecial[] = {',', '"', ' ', '\t', '\r', '\n', '\x81', '\x9f', '\xe0', '\xfc', '\\'};
    std::string item;
    for (int n = Below(9); n > 0; --n) {
      switch (Below(3)) {
        case 0: item += static_cast<char>(Below(256)); break;
        case 1: item += kSpecial[Below(sizeof kSpecial)]; break;
        default:
          item += static_cast<char>(Below(2) ? 0x81 + Below(0x1f) : 0xe0 + Below(0x1d));
          item += static_cast<char>(0x40 + Below(0xbd));
      }
    }
    return item;
  }
  StringList RandomList() {
    StringList list(Below(6));
    for (std::string& item : list) item = RandomItem();
    return list;
  }
};

TEST_F(CommaTextRandom, ListsRoundTrip) {
  for (int i = 0; i < 20000; ++i) {
    StringList list = RandomList();
    ASSERT_EQ(ReadCommaText(WriteCommaText(list, Stepping::SingleByte), Stepping::SingleByte), list);
    for (std::string& item : list) {
      if (EndsInLoneLeadByte(item)) item += 'x';
    }
    ASSERT_EQ(ReadCommaText(WriteCommaText(list)), list) << testing::PrintToString(list);
  }
}

// Random texts: reading ends, and what was read writes back to the same list.
TEST_F(CommaTextRandom, ReadTextsRewriteToSameList) {
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = Below(4); n >= 0; --n) text += RandomItem();
    for (Stepping stepping : {Stepping::Cp932, Stepping::SingleByte}) {
      const StringList list = ReadCommaText(text, stepping);
      bool pairsWithNext = false;
      for (const std::string& item : list) {
        pairsWithNext = pairsWithNext || (stepping == Stepping::Cp932 && EndsInLoneLeadByte(item));
      }
      if (!pairsWithNext) {
        ASSERT_EQ(ReadCommaText(WriteCommaText(list, stepping), stepping), list) << testing::PrintToString(text);
      }
    }
  }
}
