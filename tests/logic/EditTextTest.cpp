#include "document/EditText.h"

#include <gtest/gtest.h>

#include "core/Cp932.h"

using namespace velkor;
using velkor::cp932::FromUtf8;

namespace {

std::string Printable(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit == u'\n')
      out += "\\n";
    else if (unit == u'\r')
      out += "\\r";
    else
      out += cp932::Utf16ToUtf8(std::u16string(1, unit));
  }
  return out;
}

}  // namespace

// Every kind of line break in the program's text is one "\n" on the screen,
// and every "\n" on the screen is CR LF in the program's text.
TEST(EditText, LineBreaksBetweenProgramAndScreen) {
  struct Case {
    std::string bytes;
    std::u16string display;
    std::string back;
  } cases[] = {
      {"a\r\nb", u"a\nb", "a\r\nb"},
      {"a\rb", u"a\nb", "a\r\nb"},
      {"a\nb", u"a\nb", "a\r\nb"},
      {"\r\n\r\n", u"\n\n", "\r\n\r\n"},
      {"\r\r\n\n", u"\n\n\n", "\r\n\r\n\r\n"},  // CR, CR LF, LF
      {"\n\r", u"\n\n", "\r\n\r\n"},            // LF then CR is two breaks
      {"end\r", u"end\n", "end\r\n"},
      {"", u"", ""},
      {FromUtf8("あ\r\nｱ\rい\n"), u"あ\nｱ\nい\n", FromUtf8("あ\r\nｱ\r\nい\r\n")},
      {"\x83\x5c\r\n\x95\x5c", u"ソ\n表", "\x83\x5c\r\n\x95\x5c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Printable(c.display));
    EXPECT_EQ(DisplayFromEditText(c.bytes), c.display);
    bool lossy = true;
    EXPECT_EQ(EditTextFromDisplay(c.display, &lossy), c.back);
    EXPECT_FALSE(lossy);
  }
  EXPECT_EQ(EditTextFromDisplay(u"a\u2029b"), "a\r\nb");
}

TEST(EditText, CharactersBeyondTheCodePageBecomeOneQuestionMark) {
  bool lossy = false;
  EXPECT_EQ(EditTextFromDisplay(u"a\U0001F600b\n\u00E9", &lossy), "a?b\r\n?");
  EXPECT_TRUE(lossy);
}

// Byte offsets of screen positions: double-byte characters count 2, half-width
// katakana 1, a character outside the code page 1 (its "?"), a line break 2.
TEST(EditText, ByteOffsetsOfScreenPositions) {
  const std::u16string display = u"aあｱ\U0001F600\nb\u00E9漢";
  //                         index: 0 1 2 3  (4,5)   6 7 8    9
  const std::pair<int, int> cases[] = {
      {0, 0}, {1, 1}, {2, 3}, {3, 4}, {5, 5}, {6, 7}, {7, 8}, {8, 9}, {9, 11}, {10, 11}, {1000, 11}, {-1, 0},
  };
  for (const auto& [index, offset] : cases) {
    EXPECT_EQ(ByteOffsetOfDisplayIndex(display, index), offset) << "index " << index;
  }
}

// A byte offset inside a character gives the position before it; past the
// end gives the end.
TEST(EditText, ScreenPositionsOfByteOffsets) {
  const std::u16string display = u"aあｱ\U0001F600\nb\u00E9漢";
  const std::pair<int, int> cases[] = {
      {0, 0},  {1, 1},  {2, 1},              // inside あ
      {3, 2},  {4, 3},  {5, 5},    {6, 5},   // between CR and LF
      {7, 6},  {8, 7},  {9, 8},    {10, 8},  // inside 漢
      {11, 9}, {12, 9}, {1000, 9}, {-1, 0},
  };
  for (const auto& [offset, index] : cases) {
    EXPECT_EQ(DisplayIndexOfByteOffset(display, offset), index) << "offset " << offset;
  }
  EXPECT_EQ(DisplayIndexOfByteOffset(u"", 3), 0);
  EXPECT_EQ(ByteOffsetOfDisplayIndex(u"", 3), 0);
}

// The byte offset of every screen position is the length of the program's
// text of everything before it, and maps back to the same position.
TEST(EditText, OffsetsAgreeWithTheProgramText) {
  const std::u16string display = u"漢字かなｶﾅ ASCII\n\n\u2029\U0001F600\U00020B9F－～\u00A5\u2252\uF781z\n";
  for (int i = 0; i <= static_cast<int>(display.size()); ++i) {
    if (i > 0 && display[i - 1] >= 0xD800 && display[i - 1] <= 0xDBFF) continue;  // inside a pair
    SCOPED_TRACE(i);
    const int offset = ByteOffsetOfDisplayIndex(display, i);
    EXPECT_EQ(offset, static_cast<int>(EditTextFromDisplay(display.substr(0, i)).size()));
    EXPECT_EQ(DisplayIndexOfByteOffset(display, offset), i);
  }
}

// Entered text shows what will be saved: characters without a code and lone
// lead bytes become "?", raw bytes that are characters show as those.
TEST(EditText, EnteredTextIsShownAsItWillBeSaved) {
  struct Case {
    std::u16string entered, shown;
    bool lossy;
  } cases[] = {
      {u"かな", u"かな", false},
      {u"\U0001F600x", u"?x", true},
      {u"a\uF802", u"a?", true},                // a lone lead byte at the end
      {u"\uF802\nb", u"?\nb", true},            // one before a line break
      {u"\uF7C1", u"A", false},                 // the raw byte of A is A
      {u"\uF86E\uF860", u"髙", false},          // raw EE E0 reads as 髙
      {u"\uF805\uF7C0", u"\U000F8540", false},  // raw 85 40 is one character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Printable(c.entered));
    bool lossy = !c.lossy;
    EXPECT_EQ(HoldableDisplay(c.entered, &lossy), c.shown);
    EXPECT_EQ(lossy, c.lossy);
  }
}

// A change next to a lead byte that stood alone must not join it to the byte
// after it; everything else is spliced as given.
TEST(EditText, AChangeNeverJoinsALoneLeadByteToTheNextByte) {
  struct Case {
    std::string before;
    std::size_t start, removed;
    std::string added, after;
    int joined;
  } cases[] = {
      {"a\x82", 2, 0, "x", "a?x", 1},                      // typed after it at the end
      {"a\x82\r\nb", 2, 2, "", "a?b", 1},                  // its line break deleted
      {"a\x82\r\nb", 2, 0, "\r\n", "a\x82\r\n\r\nb", -1},  // a line break after it joins nothing
      {"\x82\x9F\r\nb", 2, 2, "",
       "\x82\x9F"
       "b",
       -1},                                              // 9F is ぁ's second byte, not alone
      {"\x82\x82\x82\r\nb", 3, 2, "", "\x82\x82?b", 2},  // the third 82 stood alone
      {"a\x82\r\n", 2, 2, "", "a\x82", -1},              // still alone at the end
      {"ab", 1, 1, "c", "ac", -1},
  };
  for (const Case& c : cases) {
    TextRope text(c.before);
    EXPECT_EQ(SpliceEditText(text, c.start, c.removed, c.added), c.joined) << c.before;
    EXPECT_TRUE(text == c.after) << c.before << " -> " << text.Flatten();
  }
}
