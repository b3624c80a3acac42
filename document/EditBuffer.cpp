#include "document/EditBuffer.h"

#include <algorithm>

#include "core/Cp932.h"
#include "document/EditText.h"

namespace velkor {
namespace {

bool IsLineBreakByte(char b) { return b == '\r' || b == '\n'; }

// The start of the character after the one at `pos` (a boundary) of `text`.
std::size_t NextCharIn(const TextRope& text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  const bool pair = cp932::IsLeadByte(static_cast<unsigned char>(text.At(pos))) && pos + 1 < text.size() &&
                    !IsLineBreakByte(text.At(pos + 1));
  return pos + (pair ? 2 : 1);
}

// The UTF-16 units that the first `offset` bytes of a line show as, an
// offset inside a character counting up to the character's start.
int UnitsOfBytes(std::string_view line, std::size_t offset) {
  int units = 0;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t next = cp932::NextCharPos(line, pos);
    if (next > offset) break;
    units += cp932::ScreenUnits(line, pos);
    pos = next;
  }
  return units;
}

}  // namespace

const std::string& EditBuffer::Text() const {
  if (!textValid_) {
    text_ = bytes_.Flatten();
    textValid_ = true;
  }
  return text_;
}

void EditBuffer::Set(TextRope bytes) {
  bytes_ = std::move(bytes);
  ChangedFrom(0);
}

void EditBuffer::Redrawn(const Redraw& redraw, TextRope target) {
  bytes_ = std::move(target);
  ChangedFrom(redraw.from.line);
}

void EditBuffer::ChangedFrom(int line) {
  textValid_ = false;
  lineStarts_.resize(std::min(lineStarts_.size(), static_cast<std::size_t>(std::max(0, line)) + 1));
  linesComplete_ = false;
}

std::size_t EditBuffer::LineStart(int line) const {
  while (static_cast<std::size_t>(line) >= lineStarts_.size() && !linesComplete_) {
    const std::size_t lf = bytes_.Find('\n', lineStarts_.back());
    if (lf == TextRope::npos) {
      linesComplete_ = true;
    } else {
      lineStarts_.push_back(lf + 1);
    }
  }
  return static_cast<std::size_t>(line) < lineStarts_.size() ? lineStarts_[static_cast<std::size_t>(line)]
                                                             : bytes_.size();
}

int EditBuffer::LineOf(std::size_t offset) const {
  while (lineStarts_.back() <= offset && !linesComplete_) LineStart(static_cast<int>(lineStarts_.size()));
  return static_cast<int>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) - lineStarts_.begin()) - 1;
}

std::string EditBuffer::LineBytes(int line) const {
  const std::size_t start = LineStart(line);
  std::size_t end = LineStart(line + 1);
  if (end > start && end <= bytes_.size() && bytes_.At(end - 1) == '\n') end -= 2;  // its CR LF
  return bytes_.Substr(start, end - start);
}

std::size_t EditBuffer::ByteOffsetOf(ScreenPos pos) const {
  const std::string line = LineBytes(pos.line);
  return LineStart(pos.line) + BytesOfDisplayUnits(line, static_cast<std::size_t>(std::max(0, pos.unit)));
}

ScreenPos EditBuffer::PositionOf(std::size_t offset) const {
  offset = std::min(offset, bytes_.size());
  const int line = LineOf(offset);
  return {line, UnitsOfBytes(LineBytes(line), offset - LineStart(line))};
}

std::optional<ScreenPos> EditBuffer::ApplyScreenChange(ScreenPos at, int removedUnits, std::u16string_view added) {
  const std::size_t start = ByteOffsetOf(at);
  const std::size_t units = static_cast<std::size_t>(std::max(0, removedUnits));
  // A unit takes at most two bytes, a line break two.
  const std::size_t removedBytes = BytesOfDisplayUnits(bytes_.Substr(start, 2 * units + 2), units);
  ChangedFrom(at.line);
  const int joined = SpliceEditText(bytes_, start, removedBytes, EditTextFromDisplay(added));
  if (joined < 0) return std::nullopt;
  return ScreenPos{at.line, at.unit - 1};
}

std::optional<EditBuffer::Redraw> EditBuffer::RedrawFor(const TextRope& target) const {
  const std::size_t prefix = TextRope::CommonPrefix(bytes_, target);
  if (prefix == bytes_.size() && prefix == target.size()) return std::nullopt;
  const std::size_t suffix = TextRope::CommonSuffix(bytes_, target, prefix);
  // From the start of the character holding the first difference to the end
  // of the one holding the last, and on until the rest reads alike in both.
  // A lone lead byte before the difference may read as a pair in the other
  // text: the start goes back until it is a boundary in both.
  std::size_t startByte = ByteOffsetOf(PositionOf(prefix));
  while (startByte > 0 && !IsCharBoundaryIn(target, startByte))
    startByte -= IsCharBoundaryIn(bytes_, startByte - 1) ? 1 : 2;
  Redraw redraw;
  redraw.from = PositionOf(startByte);
  startByte = ByteOffsetOf(redraw.from);  // never between CR and LF
  std::size_t endByte = bytes_.size() - suffix;
  if (!IsCharBoundaryIn(bytes_, endByte)) endByte = NextCharIn(bytes_, endByte - 1);
  while (endByte < bytes_.size() && !IsCharBoundaryIn(target, target.size() - (bytes_.size() - endByte)))
    endByte = NextCharIn(bytes_, endByte);
  if (endByte < bytes_.size() && bytes_.At(endByte) == '\n') ++endByte;  // never between CR and LF
  redraw.to = PositionOf(endByte);
  const std::size_t keptAfter = bytes_.size() - endByte;
  redraw.text = DisplayFromEditText(target.Substr(startByte, target.size() - keptAfter - startByte));
  return redraw;
}

}  // namespace velkor
