#include "core/Cp932.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velkor::cp932 {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

char16_t Raw(int byte) { return static_cast<char16_t>(kRawByteBase + byte); }

// Random text weighted towards the bytes that matter for stepping: lead bytes,
// CR and LF, invalid bytes and trail bytes that are also lead bytes.
std::string RandomBytes(std::mt19937& rng, std::size_t length) {
  static const int kPool[] = {0x0D, 0x0A, 'A',  0x5C, 0x40, 0x7E, 0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0xFF,
                              0x81, 0x82, 0x87, 0x88, 0x9F, 0xE0, 0xED, 0xF0, 0xFA, 0xFC, 0x00};
  std::string s;
  for (std::size_t i = 0; i < length; ++i) {
    if (rng() % 3 == 0)
      s.push_back(static_cast<char>(rng() & 0xFF));
    else
      s.push_back(static_cast<char>(kPool[rng() % std::size(kPool)]));
  }
  return s;
}

// Decoding character by character, stepping with NextCharPos, must give the
// same text as decoding at once: the decoder and the stepping rule agree.
void ExpectRoundTripAndAlignment(const std::string& s) {
  const std::u16string decoded = Decode(s);
  ASSERT_EQ(Encode(decoded), s);
  std::u16string pieces;
  for (std::size_t pos = 0; pos < s.size(); pos = NextCharPos(s, pos))
    pieces += Decode(std::string_view(s).substr(pos, CharLength(s, pos)));
  ASSERT_EQ(pieces, decoded);
}

TEST(Cp932RoundTrip, EveryTwoByteSequenceAloneFollowedAndShifted) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string pair = Bytes({a, b});
      SCOPED_TRACE(testing::Message() << std::hex << a << ' ' << b);
      ExpectRoundTripAndAlignment(pair);
      ExpectRoundTripAndAlignment(pair + "A");
      ExpectRoundTripAndAlignment("\x81" + pair);  // the lead takes `a` as its second byte
    }
  }
}

TEST(Cp932RoundTrip, RandomByteStrings) {
  std::mt19937 rng(932);
  for (int round = 0; round < 4000; ++round) {
    const std::string s = RandomBytes(rng, round % 40 + (round % 500 == 0 ? 3000 : 0));
    ExpectRoundTripAndAlignment(s);
    ExpectRoundTripAndAlignment(s + "\x88");  // lead byte at the end
  }
}

TEST(Cp932Decode, KnownMappingsBothWays) {
  const struct {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"\x5C", u"\\"},
      {"\x7E", u"~"},
      {Bytes({0x81, 0x5F}), u"\uFF3C"},
      {"\x81\x60", u"\uFF5E"},
      {"\x81\x7C", u"\uFF0D"},
      {"\x81\xE0", u"\u2252"},
      {"\x87\x40", u"\u2460"},
      {"\xFA\x40", u"\u2170"},
      {"\xF0\x40", u"\uE000"},
      {"\xA1", u"\uFF61"},
      {"\xDF", u"\uFF9F"},
      {"\x82\xA0", u"あ"},
      {"\x8A\xBF", u"漢"},
      {Bytes({0x00}), std::u16string(1, u'\0')},
      {"a\r\n\x82\xA0\r\n", u"a\r\nあ\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(Encode(c.text), c.bytes) << c.bytes;
  }
}

TEST(Cp932Decode, BytesWithoutCharacterBecomeRawCodePoints) {
  const struct {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      // NEC/IBM duplicates: their code point encodes to the other code.
      {"\x87\x90", {Raw(0x87), Raw(0x90)}},
      {"\x87\x9C", {Raw(0x87), Raw(0x9C)}},
      {"\xED\x40", {Raw(0xED), Raw(0x40)}},
      {"\x80\xA0\xFD\xFE\xFF", {Raw(0x80), Raw(0xA0), Raw(0xFD), Raw(0xFE), Raw(0xFF)}},
      {"A\x81", {u'A', Raw(0x81)}},
      {"\x82\r\n", {Raw(0x82), u'\r', u'\n'}},
      {"\x82\n", {Raw(0x82), u'\n'}},
      // An invalid pair keeps both bytes, even an ASCII second byte.
      {"\x81 ", {Raw(0x81), Raw(0x20)}},
      {"\x81\x7F\x40", {Raw(0x81), Raw(0x7F), u'@'}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(Encode(c.text), c.bytes) << c.bytes;
  }
}

TEST(Cp932Encode, EveryRawCodePointIsItsByte) {
  for (int b = 0; b < 256; ++b) {
    bool lossy = true;
    EXPECT_EQ(Encode(std::u16string(1, Raw(b)), &lossy), Bytes({b})) << b;
    EXPECT_FALSE(lossy);
  }
}

TEST(Cp932Encode, OneWayFallbacks) {
  const struct {
    char16_t codePoint;
    std::string bytes;
  } cases[] = {{u'\u301C', "\x81\x60"}, {u'\u2212', "\x81\x7C"}, {u'\u00A5', "\x5C"},
               {u'\u203E', "\x7E"},     {u'\u2016', "\x81\x61"}, {u'\u00A2', "\x81\x91"}};
  for (const auto& c : cases) {
    bool lossy = true;
    EXPECT_EQ(Encode(std::u16string(1, c.codePoint), &lossy), c.bytes) << int(c.codePoint);
    EXPECT_FALSE(lossy);
    EXPECT_NE(Decode(c.bytes), std::u16string(1, c.codePoint));
  }
}

TEST(Cp932Encode, CharactersWithoutCodeBecomeOneQuestionMarkEach) {
  const struct {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {u"A\u0100B", "A?B"},
      {u"\U0001F600あ", "?\x82\xA0"},  // a surrogate pair is one character
      {std::u16string{u'x', char16_t(0xD800), u'y'}, "x?y"},
      {std::u16string{char16_t(0xDC00), char16_t(0xD800)}, "??"},
      {std::u16string{u'x', char16_t(0xD83D)}, "x?"},
  };
  for (const auto& c : cases) {
    bool lossy = false;
    EXPECT_EQ(Encode(c.text, &lossy), c.bytes);
    EXPECT_TRUE(lossy);
  }
  bool lossy = true;
  EXPECT_EQ(Encode(u"漢字 kana ｱ", &lossy), "\x8A\xBF\x8E\x9A kana \xB1");
  EXPECT_FALSE(lossy);  // reset by a clean encode
}

// Boundaries by walking the text from its start.
std::vector<bool> ReferenceBoundaries(const std::string& s) {
  std::vector<bool> boundary(s.size() + 1, false);
  std::size_t pos = 0;
  while (pos < s.size()) {
    boundary[pos] = true;
    const auto b = static_cast<unsigned char>(s[pos]);
    const bool pair = IsLeadByte(b) && pos + 1 < s.size() && s[pos + 1] != '\r' && s[pos + 1] != '\n';
    pos += pair ? 2 : 1;
  }
  boundary[s.size()] = true;
  return boundary;
}

TEST(Cp932Stepping, MatchesForwardScanOnRandomText) {
  std::mt19937 rng(1932);
  for (int round = 0; round < 3000; ++round) {
    const std::string s = RandomBytes(rng, round % 48);
    const std::vector<bool> boundary = ReferenceBoundaries(s);
    std::size_t previous = 0;
    for (std::size_t pos = 0; pos <= s.size(); ++pos) {
      SCOPED_TRACE(testing::Message() << "round " << round << " pos " << pos);
      ASSERT_EQ(IsCharBoundary(s, pos), boundary[pos]);
      ASSERT_EQ(FloorCharBoundary(s, pos), boundary[pos] ? pos : pos - 1);
      if (!boundary[pos]) continue;
      if (pos > 0) {
        ASSERT_EQ(PrevCharPos(s, pos), previous);
      }
      std::size_t next = pos + 1;
      while (next < s.size() && !boundary[next]) ++next;
      ASSERT_EQ(NextCharPos(s, pos), std::min(next, s.size()));
      ASSERT_EQ(CharLength(s, pos), std::min(next, s.size()) - pos);
      previous = pos;
    }
    EXPECT_TRUE(IsCharBoundary(s, s.size() + 5));
    EXPECT_EQ(FloorCharBoundary(s, s.size() + 5), s.size());
  }
}

TEST(Cp932Utf8, JapaneseTextRoundTrips) {
  const std::string utf8 = "日本語テキスト、ｶﾅ \xF0\xA0\xAE\xB7野家 é\r\n";
  const std::u16string utf16 = u"日本語テキスト、ｶﾅ \U00020BB7野家 é\r\n";
  EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
  EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
  EXPECT_EQ(ToUtf8("\x82\xA0\x8A\xBF"), "あ漢");
  bool lossy = true;
  EXPECT_EQ(FromUtf8("あ漢", &lossy), "\x82\xA0\x8A\xBF");
  EXPECT_FALSE(lossy);
}

TEST(Cp932Utf8, InvalidSequencesBecomeReplacementCharacters) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"a\xC3", u"a\uFFFD"},  // cut short at the end
      {"\xE6\x97"
       "A",
       u"\uFFFD"
       "A"},                                              // cut short before ASCII
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\x80\xFF", u"\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xDC00), char16_t(0xD800)}), "a\uFFFD\uFFFD");
}

}  // namespace
}  // namespace velkor::cp932

namespace velkor::cp932 {
namespace {

// The screen's reading: every two-byte sequence that reads as one pair is one
// character, whatever it is; encoding it gives the pair back, or for a
// duplicate code the other code of the same character.
TEST(Cp932Screen, EveryPairIsOneCharacterAndEncodesToItsOwnReading) {
  int duplicates = 0, rawPairs = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0; trail < 0x100; ++trail) {
      if (trail == 0x0D || trail == 0x0A) continue;
      const std::string pair = Bytes({lead, trail});
      SCOPED_TRACE(lead * 256 + trail);
      const std::u16string shown = DecodeForScreen(pair);
      ASSERT_EQ(static_cast<int>(shown.size()), ScreenUnits(pair, 0));
      const std::string back = Encode(shown);
      if (back == pair) {
        if (shown.size() == 2) ++rawPairs;
        continue;
      }
      ++duplicates;
      ASSERT_EQ(shown.size(), 1u) << "only a duplicate encodes to another code";
      ASSERT_EQ(back.size(), 2u);
      ASSERT_EQ(DecodeForScreen(back), shown);
    }
  }
  EXPECT_EQ(duplicates, 398);
  EXPECT_EQ(rawPairs, 60 * 254 - 9604);
  EXPECT_EQ(DecodeForScreen(Bytes({0xEE, 0xE0})), u"髙");
  EXPECT_EQ(DecodeForScreen(Bytes({0xED, 0x95})), u"﨑");
  EXPECT_EQ(DecodeForScreen(Bytes({0x87, 0x90})), u"≒");
  EXPECT_EQ(DecodeForScreen(Bytes({0x85, 0x40})), u"\U000F8540");
  // Lone bytes stay raw, one unit each; the rest reads as Decode reads it.
  EXPECT_EQ(DecodeForScreen(Bytes({0x82, 0x0D, 0x0A, 0x80, 0x83})),
            (std::u16string{Raw(0x82), u'\r', u'\n', Raw(0x80), Raw(0x83)}));
  EXPECT_EQ(DecodeForScreen(FromUtf8("漢字ｶﾅabc")), u"漢字ｶﾅabc");
}

// A raw-pair character that names a pair the screen would show otherwise
// (one that decodes, or a lead byte before a line break) has no code.
TEST(Cp932Screen, OnlyRawPairsOfUndecodablePairsEncode) {
  bool lossy = false;
  EXPECT_EQ(Encode(u"\U000F8540", &lossy), Bytes({0x85, 0x40}));
  EXPECT_FALSE(lossy);
  for (const char32_t name : {kRawPairBase + 0x82A0, kRawPairBase + 0xEEE0, kRawPairBase + 0x820D,
                              kRawPairBase + 0x4141, kRawPairBase + 0xFFFF}) {
    EXPECT_FALSE(IsRawPairCharacter(name)) << std::hex << static_cast<unsigned>(name);
    const char32_t v = name - 0x10000;
    const std::u16string text{static_cast<char16_t>(0xD800 + (v >> 10)), static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
    EXPECT_EQ(Encode(text, &lossy), "?");
    EXPECT_TRUE(lossy);
  }
}

}  // namespace
}  // namespace velkor::cp932
