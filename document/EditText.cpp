#include "document/EditText.h"

#include "core/Cp932.h"

#include <algorithm>

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
    const char32_t cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (display[i + 1] - 0xDC00);
    // A raw pair is its two bytes; any other character beyond code page 932
    // is written as "?".
    return {cp932::IsRawPairCharacter(cp) ? 2 : 1, 2};
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
  return cp932::DecodeForScreen(normalised);
}

std::string EditTextLineBreaks(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 32);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      out += "\r\n";
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      out += bytes[i];
    }
  }
  return out;
}

namespace {

// True when the character at `pos` is a lead byte standing alone.
bool IsLoneLead(std::string_view bytes, std::size_t pos) {
  return pos < bytes.size() && cp932::IsLeadByte(static_cast<unsigned char>(bytes[pos])) &&
         cp932::CharLength(bytes, pos) == 1;
}

bool IsLineBreakByte(char b) { return b == '\r' || b == '\n'; }

// True when the byte at `pos` of `text` is a lead byte standing alone: one
// followed by a line break or the end, and not the second byte of a pair (the
// run of lead-range bytes before it is even, as cp932::IsCharBoundary reads).
bool IsLoneLeadIn(const TextRope& text, std::size_t pos) {
  if (!cp932::IsLeadByte(static_cast<unsigned char>(text.At(pos)))) return false;
  if (pos + 1 < text.size() && !IsLineBreakByte(text.At(pos + 1))) return false;
  return IsCharBoundaryIn(text, pos);
}

}  // namespace

bool IsCharBoundaryIn(const TextRope& text, std::size_t pos) {
  if (pos == 0 || pos >= text.size() || IsLineBreakByte(text.At(pos))) return true;
  std::size_t run = 0;
  while (run < pos && cp932::IsLeadByte(static_cast<unsigned char>(text.At(pos - run - 1)))) ++run;
  return run % 2 == 0;
}

std::u16string HoldableDisplay(std::u16string_view entered, bool* lossy) {
  std::string bytes = EditTextFromDisplay(entered, lossy);
  for (std::size_t pos = 0; pos < bytes.size(); pos = cp932::NextCharPos(bytes, pos)) {
    if (IsLoneLead(bytes, pos)) {
      bytes[pos] = '?';
      *lossy = true;
    }
  }
  return DisplayFromEditText(bytes);
}

int SpliceEditText(TextRope& text, std::size_t start, std::size_t removed, std::string_view added) {
  start = std::min(start, text.size());
  removed = std::min(removed, text.size() - start);
  const bool loneBefore = start > 0 && IsLoneLeadIn(text, start - 1);
  text = text.Replace(start, removed, added);
  if (!loneBefore || start == text.size() || IsLineBreakByte(text.At(start))) return -1;
  text = text.Replace(start - 1, 1, "?");
  return static_cast<int>(start - 1);
}

std::size_t BytesOfDisplayUnits(std::string_view bytes, std::size_t units) {
  std::size_t pos = 0;
  while (units > 0 && pos < bytes.size()) {
    if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') {
      pos += 2;
      --units;
      continue;
    }
    const std::size_t shown = static_cast<std::size_t>(cp932::ScreenUnits(bytes, pos));
    if (shown > units) {  // half of a raw pair's surrogates: the pair's first byte
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
