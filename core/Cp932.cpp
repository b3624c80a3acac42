#include "core/Cp932.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace velkor::cp932 {
namespace {

#include "core/Cp932Tables.inc"

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;

constexpr bool IsLineBreak(unsigned char b) { return b == kCr || b == kLf; }

// Row of a lead byte in kDoubleByte: 0x81..0x9F are rows 0..30, 0xE0..0xFC 31..59.
constexpr unsigned LeadRow(unsigned char lead) { return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31u; }

unsigned char ByteAt(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

// Number of lead-range bytes directly before `end`. The byte before such a run
// is not a lead byte (or the run starts the text), and the position after a
// byte that is not a lead byte is always a character boundary: the byte is
// either a character of its own or the second byte of a pair. So the run
// starts on a boundary and is read forward in pairs from there, which makes
// its parity decide whether `end` splits a pair.
std::size_t LeadRunBefore(std::string_view text, std::size_t end) {
  std::size_t i = end;
  while (i > 0 && IsLeadByte(ByteAt(text, i - 1))) --i;
  return end - i;
}

// UTF-16 to code page 932, built once from the round-trip tables, the raw-byte
// code points and the one-way fallbacks. An entry is 0 for "no code",
// 0x100 | byte for a single byte and the pair itself (always >= 0x8140) for a
// double-byte code; the 0x100 mark lets the byte 0x00 be told from "no code".
struct EncodeTable {
  std::uint16_t code[0x10000] = {};

  EncodeTable() {
    for (unsigned b = 0; b < 0x100; ++b) {
      if (kSingleByte[b] != 0) code[kSingleByte[b]] = static_cast<std::uint16_t>(0x100 | b);
      code[kRawByteBase + b] = static_cast<std::uint16_t>(0x100 | b);
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      const char16_t* row = kDoubleByte + LeadRow(static_cast<unsigned char>(lead)) * 256;
      for (unsigned trail = 0; trail < 0x100; ++trail)
        if (row[trail] != 0) code[row[trail]] = static_cast<std::uint16_t>(lead << 8 | trail);
    }
    for (const auto& f : kEncodeFallbacks) code[f[0]] = static_cast<std::uint16_t>(f[1] < 0x100 ? 0x100 | f[1] : f[1]);
  }
};

const std::uint16_t* EncodeCodes() {
  static const EncodeTable table;
  return table.code;
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The character of a NEC or IBM duplicate code, or 0 for any other code.
char16_t DuplicateCharacter(unsigned code) {
  const auto* end = std::end(kDuplicates);
  const auto* it = std::lower_bound(std::begin(kDuplicates), end, code,
                                    [](const std::uint16_t(&entry)[2], unsigned c) { return entry[0] < c; });
  return it != end && (*it)[0] == code ? static_cast<char16_t>((*it)[1]) : char16_t{0};
}

// True when `lead`, `trail` read as one pair (no line break as second byte)
// that neither decodes nor is a duplicate code.
bool IsRawPair(unsigned char lead, unsigned char trail) {
  return IsLeadByte(lead) && !IsLineBreak(trail) && kDoubleByte[LeadRow(lead) * 256 + trail] == 0 &&
         DuplicateCharacter(static_cast<unsigned>(lead) << 8 | trail) == 0;
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  if (IsLeadByte(ByteAt(text, pos)) && pos + 1 < text.size() && !IsLineBreak(ByteAt(text, pos + 1))) return 2;
  return 1;
}

std::size_t NextCharPos(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  return pos + CharLength(text, pos);
}

std::size_t PrevCharPos(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  if (pos <= 1) return 0;
  const std::size_t last = pos - 1;
  // A line break is never a second byte.
  if (IsLineBreak(ByteAt(text, last))) return last;
  // An odd run of lead bytes before `last` leaves its final lead byte unpaired
  // on a boundary, and that lead byte takes `last` as its second byte.
  return LeadRunBefore(text, last) % 2 == 1 ? last - 1 : last;
}

bool IsCharBoundary(std::string_view text, std::size_t pos) {
  if (pos == 0 || pos >= text.size()) return true;
  if (IsLineBreak(ByteAt(text, pos))) return true;
  return LeadRunBefore(text, pos) % 2 == 0;
}

std::size_t FloorCharBoundary(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  return IsCharBoundary(text, pos) ? pos : pos - 1;
}

int ScreenUnits(std::string_view bytes, std::size_t pos) {
  if (pos >= bytes.size()) return 0;
  if (CharLength(bytes, pos) == 1) return 1;
  return IsRawPair(ByteAt(bytes, pos), ByteAt(bytes, pos + 1)) ? 2 : 1;
}

bool IsRawPairCharacter(char32_t codePoint) {
  if (codePoint < kRawPairBase || codePoint > kRawPairBase + 0xFFFF) return false;
  const unsigned code = static_cast<unsigned>(codePoint - kRawPairBase);
  return IsRawPair(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF));
}

namespace {

// How a two-byte pair that is not one of the decoding table's characters is
// shown: as its two raw bytes (the text steps over them as one pair), or, on
// the edit area's screen, as the duplicate code's character or one raw-pair
// character, so that every pair is one character there.
enum class PairShown { RawBytes, OneCharacter };

// The one code page 932 decoder; every byte yields at most one code unit but a
// raw-pair character, which takes two for its two bytes.
template <PairShown shown>
std::u16string DecodeAs(std::string_view bytes) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::u16string out(n, u'\0');
  char16_t* o = out.data();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = in[i];
    if (b < 0x80) {
      *o++ = b;
      ++i;
    } else if (IsLeadByte(b) && i + 1 < n && !IsLineBreak(in[i + 1])) {
      const unsigned char t = in[i + 1];
      const unsigned code = static_cast<unsigned>(b) << 8 | t;
      char16_t c = kDoubleByte[LeadRow(b) * 256 + t];
      if (shown == PairShown::OneCharacter && c == 0) c = DuplicateCharacter(code);
      if (c != 0) {
        *o++ = c;
      } else if (shown == PairShown::OneCharacter) {
        const char32_t raw = kRawPairBase + code - 0x10000;
        *o++ = static_cast<char16_t>(0xD800 + (raw >> 10));
        *o++ = static_cast<char16_t>(0xDC00 + (raw & 0x3FF));
      } else {
        *o++ = static_cast<char16_t>(kRawByteBase + b);
        *o++ = static_cast<char16_t>(kRawByteBase + t);
      }
      i += 2;
    } else {
      const char16_t c = kSingleByte[b];  // 0 for a lead byte standing alone
      *o++ = c != 0 ? c : static_cast<char16_t>(kRawByteBase + b);
      ++i;
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out;
}

}  // namespace

std::u16string DecodeForScreen(std::string_view bytes) { return DecodeAs<PairShown::OneCharacter>(bytes); }

std::u16string Decode(std::string_view bytes) { return DecodeAs<PairShown::RawBytes>(bytes); }

int EncodedSize(char16_t unit) {
  if (unit < 0x80) return 1;
  return EncodeCodes()[unit] >= 0x8140 ? 2 : 1;
}

std::string Encode(std::u16string_view text, bool* lossy) {
  const std::uint16_t* codes = EncodeCodes();
  const std::size_t n = text.size();
  // Every code unit yields at most two bytes.
  std::string out(2 * n, '\0');
  char* o = out.data();
  bool lost = false;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      continue;
    }
    const std::uint16_t code = codes[c];
    if (code >= 0x8140) {
      *o++ = static_cast<char>(code >> 8);
      *o++ = static_cast<char>(code & 0xFF);
    } else if (code != 0) {
      *o++ = static_cast<char>(code & 0xFF);
    } else if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      // One character, written as its raw pair or as one "?".
      const char32_t cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[++i] - 0xDC00);
      if (IsRawPairCharacter(cp)) {
        *o++ = static_cast<char>((cp - kRawPairBase) >> 8);
        *o++ = static_cast<char>((cp - kRawPairBase) & 0xFF);
      } else {
        *o++ = '?';
        lost = true;
      }
    } else {
      *o++ = '?';
      lost = true;
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  if (lossy) *lossy = lost;
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::u16string out;
  out.reserve(n);
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = in[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    // Sequence length and the allowed range of the second byte, which rules
    // out overlong forms, encoded surrogates and values above U+10FFFF.
    int more = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      more = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      more = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      more = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    int got = 0;
    for (; got < more && j < n && in[j] >= lo && in[j] <= hi; ++got, ++j) {
      cp = (cp << 6) | (in[j] & 0x3F);
      lo = 0x80;
      hi = 0xBF;
    }
    i = j;
    if (got < more) {
      // The broken sequence read so far becomes one U+FFFD.
      out.push_back(0xFFFD);
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  const std::size_t n = utf16.size();
  for (std::size_t i = 0; i < n; ++i) {
    char32_t cp = utf16[i];
    if (IsHighSurrogate(cp) && i + 1 < n && IsLowSurrogate(utf16[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace velkor::cp932
