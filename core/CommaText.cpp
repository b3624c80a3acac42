#include "core/CommaText.h"

#include <cstddef>
#include <utility>

#include "core/Cp932.h"

namespace velkor {

namespace {

// Bytes 1..32: the control characters and the space. They end a bare item and
// are skipped between items; NUL is not one of them.
constexpr bool IsBlank(unsigned char b) { return b >= 1 && b <= 32; }

// Length of the character at `pos` (< text.size()) under the stepping mode.
std::size_t StepAt(std::string_view text, std::size_t pos, Stepping stepping) {
  if (stepping == Stepping::SingleByte) return 1;
  return cp932::CharLength(text, pos);
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(static_cast<unsigned char>(text[pos]))) ++pos;
  return pos;
}

// Only the first byte of each character is looked at: the first byte of a
// double-byte character is a lead byte (0x81 or above), never a blank, a quote
// or a comma, and its second byte belongs to the character.
bool NeedsQuotes(std::string_view item, Stepping stepping) {
  for (std::size_t pos = 0; pos < item.size(); pos += StepAt(item, pos, stepping)) {
    const unsigned char b = static_cast<unsigned char>(item[pos]);
    if (IsBlank(b) || b == '"' || b == ',') return true;
  }
  return false;
}

void AppendQuoted(std::string& out, std::string_view item, Stepping stepping) {
  out += '"';
  for (std::size_t pos = 0; pos < item.size();) {
    const std::size_t len = StepAt(item, pos, stepping);
    if (len == 1 && item[pos] == '"') out += '"';
    out.append(item, pos, len);
    pos += len;
  }
  out += '"';
}

// Reads the quoted item whose opening quote is at `pos`; returns the position
// after the closing quote, or the end of the text when there is none.
std::size_t ReadQuoted(std::string_view text, std::size_t pos, Stepping stepping, std::string& item) {
  ++pos;
  while (pos < text.size()) {
    if (text[pos] == '"') {
      if (pos + 1 < text.size() && text[pos + 1] == '"') {
        item += '"';
        pos += 2;
        continue;
      }
      return pos + 1;
    }
    const std::size_t len = StepAt(text, pos, stepping);
    item.append(text, pos, len);
    pos += len;
  }
  return pos;
}

std::size_t ReadBare(std::string_view text, std::size_t pos, Stepping stepping, std::string& item) {
  const std::size_t start = pos;
  while (pos < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[pos]);
    if (IsBlank(b) || b == ',') break;
    pos += StepAt(text, pos, stepping);
  }
  item.assign(text, start, pos - start);
  return pos;
}

}  // namespace

std::string WriteCommaText(const StringList& items, Stepping stepping) {
  if (items.size() == 1 && items.front().empty()) return "\"\"";
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& item = items[i];
    if (NeedsQuotes(item, stepping)) {
      AppendQuoted(out, item, stepping);
    } else {
      out += item;
    }
  }
  return out;
}

StringList ReadCommaText(std::string_view text, Stepping stepping) {
  StringList items;
  std::size_t pos = SkipBlanks(text, 0);
  // Every pass takes at least one byte: it starts on a byte that is not a blank,
  // and either the item takes it or it is a comma, taken after the empty item.
  while (pos < text.size()) {
    std::string item;
    if (text[pos] == '"') {
      pos = ReadQuoted(text, pos, stepping, item);
    } else {
      pos = ReadBare(text, pos, stepping, item);
    }
    items.push_back(std::move(item));
    pos = SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      if (pos == text.size()) {
        items.emplace_back();
        break;
      }
      pos = SkipBlanks(text, pos);
    }
  }
  return items;
}

}  // namespace velkor
