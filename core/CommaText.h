// Comma text: the one list encoding of the program. Every settings value, the
// built-in board, the user tabs' cell lists, the size lists and the tab names
// are comma texts, and a cell text is read as a comma text to get its variants.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

using StringList = std::vector<std::string>;

// How the reader and writer step over bytes. Code page 932 text steps over
// double-byte characters whole, so a second byte is never taken for a comma or
// a quote. Native file names (UTF-8 here) are stepped byte by byte.
enum class Stepping { Cp932, SingleByte };

// Writing: items joined with "," and nothing else. An item holding a byte 1..32,
// a double quote or a comma is written in double quotes with inner quotes
// doubled; an empty item is written as nothing. A list of exactly one empty item
// is written as "\"\""; an empty list as "".
std::string WriteCommaText(const StringList& items, Stepping stepping = Stepping::Cp932);

// Reading: leading bytes 1..32 are skipped. A quoted item runs to its closing
// quote ("" inside stands for one quote; a missing closing quote runs to the end).
// A bare item runs up to the first byte 1..32 or comma. After an item, bytes
// 1..32 are skipped; a comma is skipped with the blanks after it, and a comma
// that is the very last byte adds one final empty item. Anything else begins
// the next item. The empty text reads as an empty list. A NUL byte is an
// ordinary character.
StringList ReadCommaText(std::string_view text, Stepping stepping = Stepping::Cp932);

}  // namespace velkor
