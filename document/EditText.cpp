#include "document/EditText.h"

#include "document/Cp932.h"

namespace velkor {

namespace {

constexpr char16_t kParagraphSeparator = 0x2029;

bool IsLineBreak(char16_t unit) { return unit == u'\n' || unit == kParagraphSeparator; }

// Bytes that the screen character starting at `i` takes in the edit text, and
// how many UTF-16 units it spans.
struct Span {
  int bytes;
  int units;
};

Span SpanAt(std::u16string_view display, std::size_t i) {
  const char16_t unit = display[i];
  if (IsLineBreak(unit)) return {2, 1};
  if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < display.size() && display[i + 1] >= 0xDC00 &&
      display[i + 1] <= 0xDFFF) {
    return {1, 2};  // a character beyond code page 932 is written as "?"
  }
  return {cp932::EncodedSize(unit), 1};
}

}  // namespace

std::string EditTextFromDisplay(std::u16string_view display, bool* lossy) {
  std::u16string normalised;
  normalised.reserve(display.size() + display.size() / 32);
  for (char16_t unit : display) {
    if (IsLineBreak(unit)) {
      normalised += u"\r\n";
    } else {
      normalised += unit;
    }
  }
  return cp932::Encode(normalised, lossy);
}

std::u16string DisplayFromEditText(std::string_view bytes) {
  std::string normalised;
  normalised.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      normalised += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      normalised += bytes[i];
    }
  }
  return cp932::Decode(normalised);
}

std::size_t BytesOfDisplayUnits(std::string_view bytes, std::size_t units) {
  std::size_t pos = 0;
  while (units > 0 && pos < bytes.size()) {
    if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') {
      pos += 2;
      --units;
      continue;
    }
    const std::size_t shown = static_cast<std::size_t>(cp932::DecodedUnits(bytes, pos));
    if (shown > units) {  // half of a raw pair: each of its bytes is one unit
      pos += units;
      break;
    }
    units -= shown;
    pos += cp932::CharLength(bytes, pos);
  }
  return pos;
}

int ByteOffsetOfDisplayIndex(std::u16string_view display, int index) {
  int offset = 0;
  std::size_t i = 0;
  const std::size_t end = index < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(index), display.size());
  while (i < end) {
    const Span span = SpanAt(display, i);
    offset += span.bytes;
    i += span.units;
  }
  return offset;
}

int DisplayIndexOfByteOffset(std::u16string_view display, int offset) {
  int bytes = 0;
  std::size_t i = 0;
  while (i < display.size()) {
    const Span span = SpanAt(display, i);
    if (bytes + span.bytes > offset) break;
    bytes += span.bytes;
    i += span.units;
  }
  return static_cast<int>(i);
}

}  // namespace velkor
