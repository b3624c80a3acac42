// The board's caret commands on the edit area's text (code page 932 bytes,
// every line break CR LF, positions in bytes). A line break is one character
// to the user: steps and deletions take CR LF whole, and no position is ever
// left between its CR and its LF or inside a double-byte character. Each
// function looks only at the lines around the caret.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace velkor::caret {

// Length of the character at `pos` as the user sees it: 2 for CR LF and for a
// double-byte character, 1 otherwise, 0 at the end of the text.
std::size_t CharAt(std::string_view text, std::size_t pos);
// Start of the character before `pos` (CR LF taken whole); 0 stays 0.
std::size_t CharBefore(std::string_view text, std::size_t pos);
// The position one character right or left of `pos`.
std::size_t Right(std::string_view text, std::size_t pos);
std::size_t Left(std::string_view text, std::size_t pos);
// The same column on the text line above or below, or the end of that line
// when it is shorter; a column inside a double-byte character moves to the
// start of that character. Nothing on the first line, or on the last counted
// line (an empty last line after a final line break does not count).
std::optional<std::size_t> Up(std::string_view text, std::size_t pos);
std::optional<std::size_t> Down(std::string_view text, std::size_t pos);
// Lines of the text, an empty last line not counted: 0 for an empty text.
std::size_t LineCount(std::string_view text);
// `pos` moved off the LF of a line break and out of a double-byte character.
std::size_t Snap(std::string_view text, std::size_t pos);

}  // namespace velkor::caret
