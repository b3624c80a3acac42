// Code page 932 (Shift-JIS as Windows uses it): the one codec of the program.
//
// All text of the program is held as code page 932 bytes. This codec turns such
// bytes into UTF-16 for the screen, the clipboard and the settings store, and
// back. It is lossless: every byte that does not decode and re-encode to itself
// (an invalid byte, a lead byte at the end of the text, a lead byte before a line
// break, an invalid pair, one of the NEC/IBM duplicate codes) decodes to the
// private-use code point U+F780 + byte and encodes back to that byte, so any
// byte string survives Decode then Encode unchanged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkor::cp932 {

// Private-use code points U+F780 .. U+F87F stand for raw bytes 0x00 .. 0xFF.
inline constexpr char16_t kRawByteBase = 0xF780;
// On the edit area's screen, a two-byte pair that does not decode is one
// supplementary private-use character: U+F0000 + (first byte << 8 | second).
inline constexpr char32_t kRawPairBase = 0xF0000;

// A lead byte starts a double-byte character: 0x81..0x9F and 0xE0..0xFC.
constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Byte length of the character that starts at `pos`: 2 for a lead byte followed
// by a byte that is not CR or LF, else 1. A line break is never swallowed as the
// second byte of a character, so CR LF always stays one line break. 0 at the end.
std::size_t CharLength(std::string_view text, std::size_t pos);

// Start of the character after the one at `pos` (pos must be a boundary).
std::size_t NextCharPos(std::string_view text, std::size_t pos);

// Start of the character that ends at `pos` (pos must be a boundary, > 0).
// Looks back only over the run of lead-range bytes before `pos`.
std::size_t PrevCharPos(std::string_view text, std::size_t pos);

// True when `pos` is not inside a double-byte character (0 and size() are).
bool IsCharBoundary(std::string_view text, std::size_t pos);

// The boundary at or before `pos` (pos clamped to the text's size).
std::size_t FloorCharBoundary(std::string_view text, std::size_t pos);

// Code page 932 bytes to UTF-16. Never fails.
std::u16string Decode(std::string_view bytes);

// Code page 932 bytes to UTF-16 for the edit area's screen, where every
// two-byte character must be one character, so that the caret can never stand
// inside it. As Decode, except that a NEC or IBM duplicate code shows as its
// character (whose own code is the other one of the duplicates: the edit area
// keeps the bytes of text that is not changed), and a pair that does not decode
// shows as one raw-pair character (kRawPairBase + pair), which Encode turns
// back into the pair.
std::u16string DecodeForScreen(std::string_view bytes);

// UTF-16 to code page 932 bytes. A character with no code in code page 932 (or
// an unpaired surrogate) becomes "?", and *lossy is set to true when given. A
// raw-pair character becomes its pair; one that names a pair which does decode
// (so that the screen could never have shown it) has no code.
std::string Encode(std::u16string_view text, bool* lossy = nullptr);

// True for the raw-pair character of a pair that does not decode.
bool IsRawPairCharacter(char32_t codePoint);

// Bytes that one UTF-16 code unit takes when encoded: 2 for a character with a
// double-byte code, else 1 (a character without a code becomes "?"; the low
// half of a surrogate pair counts with its high half).
int EncodedSize(char16_t unit);

// UTF-16 code units that the character at `pos` takes on the screen
// (DecodeForScreen): 1, or 2 for a pair that does not decode (its raw-pair
// character is a surrogate pair). 0 at the end.
int ScreenUnits(std::string_view bytes, std::size_t pos);

// UTF-8 helpers for interfaces that speak UTF-8 (native file names on this
// platform, engines). Invalid UTF-8 input bytes become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

inline std::string ToUtf8(std::string_view cp932Bytes) { return Utf16ToUtf8(Decode(cp932Bytes)); }
inline std::string FromUtf8(std::string_view utf8, bool* lossy = nullptr) { return Encode(Utf8ToUtf16(utf8), lossy); }

// One of the program's own texts, written in UTF-8 in the source, as the code
// page 932 bytes the program holds: Sj("保存しました").
inline std::string Sj(std::string_view utf8) { return FromUtf8(utf8); }

}  // namespace velkor::cp932
