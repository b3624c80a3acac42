// The caret arithmetic on code page 932 text with CR LF line breaks, where
// the second byte of a double-byte character may itself look like a lead
// byte (メ is 83 81, ぁ is 82 9F) or like a backslash (ソ is 83 5C).
#include "document/CaretMoves.h"

#include <gtest/gtest.h>

#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

// Text written as UTF-8 with "|" marking a position.
struct Marked {
  std::string text;
  std::size_t pos = 0;
};
Marked Mark(std::string_view utf8) {
  const std::size_t bar = utf8.find('|');
  return {Sj(utf8.substr(0, bar)) + Sj(utf8.substr(bar + 1)), Sj(utf8.substr(0, bar)).size()};
}

TEST(CaretMovesTest, LineCountLeavesOutAnEmptyLastLine) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"", 0},       {"a", 1},         {"a\r\n", 1},    {"\r\n", 1},
      {"a\r\nb", 2}, {"a\r\n\r\n", 2}, {"\r\n\r\n", 2}, {"あ\r\nい\r\n", 2},
  };
  for (const auto& [text, lines] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(caret::LineCount(Sj(text)), lines);
  }
}

// One character at and before a position: CR LF and double-byte characters
// whole, whatever their second byte.
TEST(CaretMovesTest, CharactersAtAndBeforeThePosition) {
  const struct {
    const char* marked;
    std::size_t at;      // length of the character after the position
    const char* before;  // where the character before it starts
  } cases[] = {
      {"|ソa", 2, "|ソa"},       {"ソ|a", 1, "|ソa"},           {"aソ|", 0, "a|ソ"},   {"メa|", 0, "メ|a"},
      {"aメ|", 0, "a|メ"},       {"ぁぁ|", 0, "ぁ|ぁ"},         {"ぁ|ぁ", 2, "|ぁぁ"}, {"a|\r\nb", 2, "|a\r\nb"},
      {"a\r\n|b", 1, "a|\r\nb"}, {"\r\n|\r\n", 2, "|\r\n\r\n"}, {"|", 0, "|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.marked);
    const Marked m = Mark(c.marked);
    EXPECT_EQ(caret::CharAt(m.text, m.pos), c.at);
    EXPECT_EQ(caret::CharBefore(m.text, m.pos), Mark(c.before).pos);
    EXPECT_EQ(caret::Right(m.text, m.pos), m.pos + c.at);
  }
}

// A lead byte before a line break, or at the end of the text, is a character
// of its own: the break stays whole.
TEST(CaretMovesTest, UnpairedLeadBytes) {
  const std::string text = "a\x82\r\nb\x82";
  EXPECT_EQ(caret::CharAt(text, 1), 1u);
  EXPECT_EQ(caret::CharAt(text, 2), 2u);
  EXPECT_EQ(caret::CharBefore(text, 4), 2u);
  EXPECT_EQ(caret::CharBefore(text, 2), 1u);
  EXPECT_EQ(caret::CharAt(text, 5), 1u);
  EXPECT_EQ(caret::CharBefore(text, 6), 5u);
  EXPECT_EQ(caret::Down(text, 2), std::optional<std::size_t>(6));
  EXPECT_EQ(caret::Up(text, 6), std::optional<std::size_t>(2));
}

// Up and down keep the byte column, stop at the end of a shorter line, move a
// column inside a double-byte character to its start, and do nothing on the
// first line or the last counted line. (The board's commands are tested with
// more lines in SelectionCommandsTest.)
TEST(CaretMovesTest, UpAndDown) {
  const struct {
    const char* from;
    const char* up;    // nullptr: no move
    const char* down;  // nullptr: no move
  } cases[] = {
      {"ab|c\r\nabcdef", nullptr, "abc\r\nab|cdef"},
      {"ab\r\n|", "|ab\r\n", nullptr},
      {"ab|\r\n\r\ncd", nullptr, "ab\r\n|\r\ncd"},
      {"ab|cd\r\nあいう", nullptr, "abcd\r\nあ|いう"},
      {"aソ\r\nab|c", "a|ソ\r\nabc", nullptr},
      {"ソソ\r\nabc|", "ソ|ソ\r\nabc", nullptr},
      {"ぁぁぁ\r\nabc|", "ぁ|ぁぁ\r\nabc", nullptr},
      {"x\r\nメメ|\r\nabcde", "x|\r\nメメ\r\nabcde", "x\r\nメメ\r\nabcd|e"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    const Marked m = Mark(c.from);
    const auto up = caret::Up(m.text, m.pos);
    const auto down = caret::Down(m.text, m.pos);
    EXPECT_EQ(up, c.up ? std::optional<std::size_t>(Mark(c.up).pos) : std::nullopt);
    EXPECT_EQ(down, c.down ? std::optional<std::size_t>(Mark(c.down).pos) : std::nullopt);
  }
}

TEST(CaretMovesTest, SnapLeavesNoPositionInsideACharacter) {
  const std::string text = Sj("aあ\r\nb");  // a 82 A0 CR LF b
  const std::pair<std::size_t, std::size_t> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 3}, {5, 5}, {6, 6}, {9, 6}};
  for (const auto& [pos, snapped] : cases) {
    SCOPED_TRACE(pos);
    EXPECT_EQ(caret::Snap(text, pos), snapped);
  }
}

}  // namespace
}  // namespace velkor::testing
