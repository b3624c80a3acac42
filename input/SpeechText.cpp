#include "input/SpeechText.h"

namespace velkor {
namespace {

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }
bool EndsSentence(char16_t c) { return c == u'。' || c == u'！' || c == u'？' || c == u'!' || c == u'?'; }
bool ClosesBracket(char16_t c) { return c == u'」' || c == u'』' || c == u'）' || c == u'】' || c == u')'; }
bool EndsClause(char16_t c) { return c == u'、' || c == u'，' || c == u','; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// What the `length` UTF-16 units at `at` cost the engine in UTF-8 bytes.
int EngineBytes(std::u16string_view text, std::size_t at, std::size_t length) {
  if (length == 2) return 4;
  const char16_t c = text[at];
  if (c == u'\r' || c == u'\n' || c == u'\t') return 3;  // may be read as a pause, "、"
  return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

// The end of the piece that starts at `start` (not a line break).
std::size_t PieceEnd(std::u16string_view text, std::size_t start, int maxUtf8Bytes) {
  const std::size_t size = text.size();
  // The longest run from `start` within the limit (at least one character),
  // noting where it may end.
  std::size_t at = start, sentenceEnd = 0, clauseEnd = 0;
  bool afterSentenceEnd = false;
  int bytes = 0;
  while (at < size) {
    const std::size_t length = IsHighSurrogate(text[at]) && at + 1 < size && IsLowSurrogate(text[at + 1]) ? 2 : 1;
    const int cost = EngineBytes(text, at, length);
    if (at > start && bytes + cost > maxUtf8Bytes) break;
    const char16_t c = text[at];
    if (IsLineBreak(c)) sentenceEnd = at;
    bytes += cost;
    at += length;
    afterSentenceEnd = EndsSentence(c) || (afterSentenceEnd && ClosesBracket(c));
    if (afterSentenceEnd) {
      sentenceEnd = at;
    } else if (EndsClause(c)) {
      clauseEnd = at;
    }
  }
  std::size_t end = at;
  if (at < size && !IsLineBreak(text[at])) {
    if (sentenceEnd > start) {
      end = sentenceEnd;
    } else if (clauseEnd > start) {
      end = clauseEnd;
    }
  }
  while (IsLineBreak(text[end - 1])) --end;  // the first character is no line break
  return end;
}

}  // namespace

std::vector<std::u16string> SplitForSpeech(std::u16string_view text, int maxUtf8Bytes) {
  std::vector<std::u16string> pieces;
  std::size_t start = 0;
  while (true) {
    while (start < text.size() && IsLineBreak(text[start])) ++start;  // dropped between pieces
    if (start >= text.size()) break;
    const std::size_t end = PieceEnd(text, start, maxUtf8Bytes);
    pieces.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return pieces;
}

}  // namespace velkor
