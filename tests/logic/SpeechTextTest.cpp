// Long texts read aloud in pieces the speech engine takes whole.
#include "input/SpeechText.h"

#include <gtest/gtest.h>

#include "core/Cp932.h"

namespace velkor {
namespace {

constexpr int kEngineLimit = 1000;

std::size_t Utf8Size(std::u16string_view text) { return cp932::Utf16ToUtf8(text).size(); }
std::u16string WithoutLineBreaks(std::u16string text) {
  std::erase_if(text, [](char16_t c) { return c == u'\r' || c == u'\n'; });
  return text;
}
bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// What holds for any split of `text`: nothing but the line breaks between
// pieces is lost, each piece fits the engine with its line breaks read as
// pauses, and no piece is empty, begins or ends with a line break or starts
// or ends inside a surrogate pair.
std::vector<std::u16string> Split(const std::u16string& text, int maxUtf8Bytes = kEngineLimit) {
  const auto pieces = SplitForSpeech(text, maxUtf8Bytes);
  std::u16string joined;
  for (const auto& piece : pieces) joined += piece;
  EXPECT_EQ(WithoutLineBreaks(joined), WithoutLineBreaks(text));
  for (const auto& piece : pieces) {
    EXPECT_FALSE(piece.empty());
    if (piece.empty()) continue;
    std::u16string read = piece;
    for (char16_t& c : read)
      if (IsBreak(c)) c = u'、';
    EXPECT_LE(Utf8Size(read), static_cast<std::size_t>(maxUtf8Bytes));
    EXPECT_FALSE(IsBreak(piece.front()) || IsBreak(piece.back()));
    EXPECT_FALSE(piece.front() >= 0xDC00 && piece.front() <= 0xDFFF);
    EXPECT_FALSE(piece.back() >= 0xD800 && piece.back() <= 0xDBFF);
  }
  return pieces;
}

using Pieces = std::vector<std::u16string>;

TEST(SpeechSplit, LongTextIsReadInWholeSentencesThatFitTheEngine) {
  std::u16string text;
  for (int i = 0; i < 100; ++i) text += u"今日は晴れです。";  // 24 bytes each
  const Pieces pieces = Split(text);
  ASSERT_EQ(pieces.size(), 3u);
  // As many whole sentences as fit: 41 of them, 984 bytes.
  for (const auto& piece : pieces) EXPECT_EQ(piece.back(), u'。');
  EXPECT_EQ(Utf8Size(pieces[0]), 41u * 24);
  EXPECT_EQ(Utf8Size(pieces[1]), 41u * 24);

  // A short text is one piece, as it is; nothing to read is none.
  EXPECT_EQ(Split(u"看護師さん\r\nを呼んで"), Pieces{u"看護師さん\r\nを呼んで"});
  EXPECT_TRUE(Split(u"").empty());
  EXPECT_TRUE(Split(u"\r\n\n\r\n").empty());
}

TEST(SpeechSplit, SplitsAtSentenceEndsAndLineBreaksThenClausesThenAnywhere) {
  // 30 bytes: ten kana.
  EXPECT_EQ(Split(u"あいう。えおか、きくけこさ", 30), (Pieces{u"あいう。", u"えおか、きくけこさ"}));
  // A closing bracket stays with its sentence; "！" and "？" end one too.
  EXPECT_EQ(Split(u"「はい。」と、言った", 18), (Pieces{u"「はい。」", u"と、言った"}));
  EXPECT_EQ(Split(u"あ！いう？えおかきく", 24), (Pieces{u"あ！いう？", u"えおかきく"}));
  // The line break between pieces is dropped, even where the limit falls on it.
  EXPECT_EQ(Split(u"あいう、えお\r\nかきくけこ", 24), (Pieces{u"あいう、えお", u"かきくけこ"}));
  EXPECT_EQ(Split(u"あいう、えおか\r\n\r\nきく", 21), (Pieces{u"あいう、えおか", u"きく"}));
  // Without a sentence end or line break, after the last "、".
  EXPECT_EQ(Split(u"あい、うえ、おかきくけこ", 30), (Pieces{u"あい、うえ、", u"おかきくけこ"}));
  // Line breaks count as the pauses they are read as: 300 short lines are
  // 600 bytes as they are but 1,200 read.
  std::u16string lines;
  for (int i = 0; i < 300; ++i) lines += u"a\n";
  EXPECT_EQ(Split(lines).size(), 2u);
}

TEST(SpeechSplit, TextWithoutPunctuationSplitsOnCharacterBoundaries) {
  // 5,000 characters of one, two and three bytes.
  std::u16string text;
  for (int i = 0; i < 1250; ++i) text += u"aéあい";
  Pieces pieces = Split(text);
  EXPECT_EQ(pieces.size(), 12u);  // 11,250 bytes, each piece full to within a character
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_GE(Utf8Size(pieces[i]), 998u);

  // Surrogate pairs (4 bytes) are never split, whatever the alignment.
  const std::u16string kichi = u"𠮷";
  ASSERT_EQ(kichi.size(), 2u);
  for (const std::u16string start : {u"", u"a", u"ab", u"abc"}) {
    text = start;
    for (int i = 0; i < 2500; ++i) text += kichi;
    pieces = Split(text);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_GE(Utf8Size(pieces[i]), 997u);
  }
  // A character larger than the limit is a piece of its own, not a split.
  EXPECT_EQ(SplitForSpeech(kichi + kichi, 3), (Pieces{kichi, kichi}));
}

}  // namespace
}  // namespace velkor
