// The edit area's text in the program's terms and on the screen. The program
// holds code page 932 bytes in which every line break is CR LF and counts
// caret positions in bytes; the screen holds UTF-16 with one "\n" per line
// break. These functions translate texts and positions between the two.
#pragma once

#include <string>
#include <string_view>

#include "core/TextRope.h"

namespace velkor {

// Screen text to edit-area bytes: "\n" (and U+2029) become CR LF.
std::string EditTextFromDisplay(std::u16string_view display, bool* lossy = nullptr);
// Edit-area bytes to screen text: CR LF, a lone CR and a lone LF become "\n";
// every two-byte character is one character on the screen (see
// cp932::DecodeForScreen).
std::u16string DisplayFromEditText(std::string_view bytes);
// The edit area's bytes of any text: every line break CR LF, every other byte
// as it is (no trip through the screen, which would give a duplicate code the
// other code of its character).
std::string EditTextLineBreaks(std::string_view bytes);

// Text entered from outside (typed, pasted, or a board cell through the
// clipboard) as the screen must show it so that it shows what will be saved:
// characters the code page cannot hold become "?", and so does a lead byte
// that stands alone (only a damaged text holds one, and it would join the
// character after it); the rest as the edit area shows it (a duplicate code as
// its character, a raw pair as one character). *lossy tells whether anything
// became "?".
std::u16string HoldableDisplay(std::u16string_view entered, bool* lossy);

// True when `pos` is not inside a character of `text`, as
// cp932::IsCharBoundary reads a string: the run of lead-range bytes before it
// is even (a line break is always a boundary).
bool IsCharBoundaryIn(const TextRope& text, std::size_t pos);

// Applies a change to the edit area's bytes: `removed` bytes at `start` give
// way to `added`. A lead byte that stood alone before the change (before a
// line break, or at the end) and that the change would join to the byte after
// it becomes "?" in the result, so no character changes its reading. Returns
// that byte's offset, or -1 when nothing was joined.
int SpliceEditText(TextRope& text, std::size_t start, std::size_t removed, std::string_view added);

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
