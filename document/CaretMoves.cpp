#include "document/CaretMoves.h"

#include <algorithm>

#include "core/Cp932.h"

namespace velkor::caret {

namespace {

bool IsLineBreakAt(std::string_view text, std::size_t pos) {
  return pos + 1 < text.size() && text[pos] == '\r' && text[pos + 1] == '\n';
}

// Start of the line holding `pos`: just after the previous CR LF.
std::size_t LineStart(std::string_view text, std::size_t pos) {
  std::size_t i = std::min(pos, text.size());
  while (i >= 2 && !(text[i - 2] == '\r' && text[i - 1] == '\n')) --i;
  return i < 2 ? 0 : i;
}

// End of the line holding `pos`: its CR LF, or the end of the text.
std::size_t LineEnd(std::string_view text, std::size_t pos) {
  const std::size_t found = text.find("\r\n", pos);
  return found == std::string_view::npos ? text.size() : found;
}

// The position at column `x` of the line [start, end), or its end.
std::size_t AtColumn(std::string_view text, std::size_t start, std::size_t end, std::size_t x) {
  if (end - start < x) return end;
  return cp932::FloorCharBoundary(text, start + x);
}

}  // namespace

std::size_t Snap(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  if (pos > 0 && pos < text.size() && text[pos - 1] == '\r' && text[pos] == '\n') return pos - 1;
  return cp932::FloorCharBoundary(text, pos);
}

std::size_t CharAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  if (IsLineBreakAt(text, pos)) return 2;
  return cp932::CharLength(text, pos);
}

std::size_t CharBefore(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  if (pos == 0) return 0;
  if (pos >= 2 && text[pos - 2] == '\r' && text[pos - 1] == '\n') return pos - 2;
  return cp932::PrevCharPos(text, pos);
}

std::size_t Right(std::string_view text, std::size_t pos) { return pos + CharAt(text, pos); }

std::size_t Left(std::string_view text, std::size_t pos) { return CharBefore(text, pos); }

std::optional<std::size_t> Up(std::string_view text, std::size_t pos) {
  const std::size_t start = LineStart(text, pos);
  if (start == 0) return std::nullopt;
  const std::size_t x = pos - start;
  const std::size_t aboveEnd = start - 2;
  return AtColumn(text, LineStart(text, aboveEnd), aboveEnd, x);
}

std::optional<std::size_t> Down(std::string_view text, std::size_t pos) {
  const std::size_t start = LineStart(text, pos);
  const std::size_t end = LineEnd(text, pos);
  const std::size_t below = end + 2;
  if (end >= text.size() || below >= text.size()) return std::nullopt;
  return AtColumn(text, below, LineEnd(text, below), pos - start);
}

std::size_t LineCount(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t lines = 1;
  for (std::size_t found = text.find("\r\n"); found != std::string_view::npos; found = text.find("\r\n", found + 2)) {
    ++lines;
  }
  if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") --lines;
  return lines;
}

}  // namespace velkor::caret
