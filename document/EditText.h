// The edit area's text in the program's terms and on the screen. The program
// holds code page 932 bytes in which every line break is CR LF and counts
// caret positions in bytes; the screen holds UTF-16 with one "\n" per line
// break. These functions translate texts and positions between the two.
#pragma once

#include <string>
#include <string_view>

namespace velkor {

// Screen text to edit-area bytes: "\n" (and U+2029) become CR LF.
std::string EditTextFromDisplay(std::u16string_view display, bool* lossy = nullptr);
// Edit-area bytes to screen text: CR LF, a lone CR and a lone LF become "\n".
std::u16string DisplayFromEditText(std::string_view bytes);

// The byte offset of a screen position (UTF-16 index, clamped to the text).
int ByteOffsetOfDisplayIndex(std::u16string_view display, int index);
// The screen position of a byte offset. An offset inside a character (a
// double-byte character, or between the CR and the LF of a line break) gives
// the position before that character; an offset past the end gives the end.
int DisplayIndexOfByteOffset(std::u16string_view display, int offset);

// Bytes of edit-area text, from its start, that show as `units` UTF-16 code
// units on the screen (a CR LF is one unit); stops at the end of the text.
std::size_t BytesOfDisplayUnits(std::string_view bytes, std::size_t units);

}  // namespace velkor
