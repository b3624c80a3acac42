// The edit area's text in the program's bytes, kept in step with the screen.
// The screen (the adapter's text widget) holds UTF-16 lines; the program
// holds code page 932 bytes with CR LF line breaks and counts positions in
// bytes. This buffer applies every change the screen makes to the bytes,
// maps positions both ways, and decides what to redraw to show another text
// (undo and redo), replacing only what differs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextRope.h"

namespace velkor {

// A place on the screen: a line, and the UTF-16 units before it in the line.
struct ScreenPos {
  int line = 0;
  int unit = 0;
  bool operator==(const ScreenPos&) const = default;
};

class EditBuffer {
 public:
  const TextRope& Bytes() const { return bytes_; }
  // The bytes as one string, made when asked for and kept until a change.
  const std::string& Text() const;

  // Replaces the whole text (every line break CR LF).
  void Set(TextRope bytes);

  // The byte offset of a screen place; a unit beyond its line's end gives
  // the line's end, a line beyond the last gives the end of the text.
  std::size_t ByteOffsetOf(ScreenPos pos) const;
  // The screen place of a byte offset: an offset inside a character (or
  // between the CR and the LF of a line break) gives the place before it; an
  // offset past the end gives the end.
  ScreenPos PositionOf(std::size_t offset) const;

  // The screen changed: `removedUnits` units at `at` (a line break is one)
  // gave way to `added`. A lone lead byte that the change joined to the byte
  // after it becomes "?" in the bytes: its screen place is returned, for the
  // screen to show the "?" too.
  std::optional<ScreenPos> ApplyScreenChange(ScreenPos at, int removedUnits, std::u16string_view added);

  // What to replace on the screen to show `target` instead of this text:
  // the screen from `from` to `to` gives way to `text`, widened to whole
  // characters. Nothing when the texts are the same.
  struct Redraw {
    ScreenPos from;
    ScreenPos to;
    std::u16string text;
  };
  std::optional<Redraw> RedrawFor(const TextRope& target) const;
  // The screen shows `target` now, through `redraw` (RedrawFor's): the lines
  // before the redraw keep their places.
  void Redrawn(const Redraw& redraw, TextRope target);

 private:
  // The byte offset where `line` starts, found from the last line known;
  // lines past the end give the end of the text.
  std::size_t LineStart(int line) const;
  // The line holding `offset`.
  int LineOf(std::size_t offset) const;
  // A line's bytes without its line break.
  std::string LineBytes(int line) const;
  // Forgets the starts of the lines after `line`.
  void ChangedFrom(int line);

  TextRope bytes_;
  mutable std::string text_;
  mutable bool textValid_ = false;
  // lineStarts_[i]: the byte offset where line i starts, known for every i
  // below lineStarts_.size(); linesComplete_ once the last line is known.
  mutable std::vector<std::size_t> lineStarts_{0};
  mutable bool linesComplete_ = false;
};

}  // namespace velkor
