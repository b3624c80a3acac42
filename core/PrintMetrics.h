// The printer's measurements, as the print layout needs them: the adapter's
// print job implements this over the real printer.
#pragma once

#include <string_view>

namespace velkor {

// The printer's drawing surface with the edit area's font.
class IPrintMetrics {
 public:
  virtual ~IPrintMetrics() = default;
  // Advance width of one character: one byte, or the two bytes of a
  // double-byte character (code page 932).
  virtual int CharWidth(std::string_view character) const = 0;
  // The font's character height: the height of any text drawn with it.
  virtual int CharHeight() const = 0;
  virtual int AverageCharWidth() const = 0;
  // The printable area.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
};

}  // namespace velkor
