// The edit area's bytes against a screen simulated as one UTF-16 string: the
// bytes follow every change of the screen, positions map both ways, and a
// redraw for undo turns the screen into exactly the other text.
#include "document/EditBuffer.h"

#include <gtest/gtest.h>

#include <random>

#include "core/Cp932.h"
#include "document/EditText.h"

namespace velkor {
namespace {

// The screen: lines separated by "\n", as the text widget holds them.
struct Screen {
  std::u16string text;

  ScreenPos PlaceOf(std::size_t index) const {
    ScreenPos place;
    for (std::size_t i = 0; i < index; ++i) {
      if (text[i] == u'\n') {
        ++place.line;
        place.unit = 0;
      } else {
        ++place.unit;
      }
    }
    return place;
  }
  std::size_t IndexOf(ScreenPos place) const {
    std::size_t i = 0;
    for (int line = 0; line < place.line; ++i)
      if (text[i] == u'\n') ++line;
    return i + static_cast<std::size_t>(place.unit);
  }
};

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char b : bytes) out += "0123456789ABCDEF"[b >> 4], out += "0123456789ABCDEF"[b & 15], out += ' ';
  return out;
}

using cp932::Sj;

const std::string kMixed = "A\xEE\xE0" + Sj("漢ｶﾅ") + "\x85\x40" + "z\r\n\r\n" + Sj("かな") + "\x82\r\nend";

TEST(EditBuffer, PositionsMapBothWaysOverEveryKindOfCharacter) {
  EditBuffer buffer;
  buffer.Set(TextRope(kMixed));
  const Screen screen{DisplayFromEditText(kMixed)};
  // Every character boundary maps to a screen place and back.
  for (std::size_t offset = 0; offset <= kMixed.size(); offset = cp932::NextCharPos(kMixed, offset)) {
    SCOPED_TRACE(offset);
    const ScreenPos place = buffer.PositionOf(offset);
    EXPECT_EQ(buffer.ByteOffsetOf(place), offset == kMixed.size() || kMixed[offset] != '\n' ? offset : offset - 1);
    EXPECT_EQ(EditTextFromDisplay(screen.text.substr(0, screen.IndexOf(place))).size(), buffer.ByteOffsetOf(place));
    if (offset == kMixed.size()) break;
  }
  // Inside a character, or between CR and LF: the place before it.
  EXPECT_EQ(buffer.PositionOf(2), (ScreenPos{0, 1}));   // inside 髙
  EXPECT_EQ(buffer.PositionOf(8), (ScreenPos{0, 5}));   // inside the raw pair, after A髙漢ｶﾅ
  EXPECT_EQ(buffer.PositionOf(11), (ScreenPos{0, 8}));  // between CR and LF
  EXPECT_EQ(buffer.PositionOf(1000), (ScreenPos{3, 3}));
  // A place beyond its line's end is the line's end; beyond the last line, the end.
  EXPECT_EQ(buffer.ByteOffsetOf({1, 40}), 12u);
  EXPECT_EQ(buffer.ByteOffsetOf({9, 0}), kMixed.size());
}

// Random changes of the screen, made as the text widget makes them: the
// bytes always decode to the screen, and a lone lead byte never joins the
// next character.
TEST(EditBuffer, FollowsEveryChangeOfTheScreen) {
  std::mt19937 random(7);
  const std::u16string pieces[] = {u"あ", u"x", u"\n", u"漢字\nかな", u"\U000F8540", u"髙", u"ｶ", u""};
  EditBuffer buffer;
  buffer.Set(TextRope(kMixed));
  Screen screen{DisplayFromEditText(kMixed)};
  for (int step = 0; step < 3000; ++step) {
    std::size_t at = random() % (screen.text.size() + 1);
    if (at > 0 && at < screen.text.size() && screen.text[at] >= 0xDC00 && screen.text[at] <= 0xDFFF) --at;
    std::size_t removed = std::min<std::size_t>(random() % 4, screen.text.size() - at);
    if (at + removed < screen.text.size() && screen.text[at + removed] >= 0xDC00 && screen.text[at + removed] <= 0xDFFF)
      ++removed;
    const std::u16string added = pieces[random() % std::size(pieces)];
    const ScreenPos place = screen.PlaceOf(at);
    screen.text.replace(at, removed, added);
    const auto joined = buffer.ApplyScreenChange(place, static_cast<int>(removed), added);
    if (joined) screen.text[screen.IndexOf(*joined)] = u'?';
    ASSERT_EQ(DisplayFromEditText(buffer.Text()), screen.text) << "step " << step;
    if (step % 500 == 499) {
      screen.text = DisplayFromEditText(kMixed);
      buffer.Set(TextRope(kMixed));
    }
  }
}

// A redraw replaces the smallest run of whole characters that differs, and
// the screen then shows exactly the other text, also where the same bytes
// after the change read as other characters.
TEST(EditBuffer, ARedrawShowsTheOtherTextExactly) {
  struct Case {
    std::string from, to;
    ScreenPos redrawFrom, redrawTo;
  } cases[] = {
      {Sj("今日は\r\n晴れ"), Sj("今日は\r\n雨"), {1, 0}, {1, 2}},
      {Sj("あいう"), Sj("あえう"), {0, 1}, {0, 2}},   // い and え share their first byte
      {"A\x82\xA0", "\x82\x82\xA0", {0, 0}, {0, 2}},  // the same last bytes read otherwise
      {"ab\r\ncd", "ab\r\n\r\ncd", {1, 0}, {1, 0}},
      {"ab\r\ncd", "abcd", {0, 2}, {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(cp932::ToUtf8(c.from) + " -> " + cp932::ToUtf8(c.to));
    EditBuffer buffer;
    buffer.Set(TextRope(c.from));
    const auto redraw = buffer.RedrawFor(TextRope(c.to));
    ASSERT_TRUE(redraw.has_value());
    EXPECT_EQ(redraw->from, c.redrawFrom);
    EXPECT_EQ(redraw->to, c.redrawTo);
    Screen screen{DisplayFromEditText(c.from)};
    const std::size_t from = screen.IndexOf(redraw->from);
    screen.text.replace(from, screen.IndexOf(redraw->to) - from, redraw->text);
    EXPECT_EQ(screen.text, DisplayFromEditText(c.to));
  }
  EditBuffer same;
  same.Set(TextRope("abc"));
  EXPECT_FALSE(same.RedrawFor(TextRope("abc")).has_value());

  // Random pairs of texts made of troublesome bytes.
  std::mt19937 random(11);
  const std::string pool[] = {"\x82", "\xA0", "A", "\r\n", "\xEE\xE0", "\x85\x40", Sj("漢"), "\x88\x9F"};
  const auto randomText = [&] {
    std::string text;
    for (int i = static_cast<int>(random() % 12); i > 0; --i) text += pool[random() % std::size(pool)];
    return EditTextLineBreaks(text);
  };
  for (int round = 0; round < 2000; ++round) {
    const std::string a = randomText(), b = randomText();
    EditBuffer buffer;
    buffer.Set(TextRope(a));
    const auto redraw = buffer.RedrawFor(TextRope(b));
    if (!redraw) {
      ASSERT_EQ(a, b);
      continue;
    }
    Screen screen{DisplayFromEditText(a)};
    const std::size_t from = screen.IndexOf(redraw->from);
    screen.text.replace(from, screen.IndexOf(redraw->to) - from, redraw->text);
    ASSERT_EQ(screen.text, DisplayFromEditText(b)) << "round " << round << " " << Hex(a) << " -> " << Hex(b);
    // Positions after the redraw are those of the new text.
    buffer.Redrawn(*redraw, TextRope(b));
    EditBuffer fresh;
    fresh.Set(TextRope(b));
    for (std::size_t offset = 0; offset <= b.size(); ++offset)
      ASSERT_EQ(buffer.PositionOf(offset), fresh.PositionOf(offset)) << "round " << round << " offset " << offset;
  }
}

}  // namespace
}  // namespace velkor
