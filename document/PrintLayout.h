// Printing: which text a print job gets and where its characters go on the
// printed pages. The layout is plain text from the top-left corner of the
// printable area, in printer pixels, measured through IPrintMetrics so that the
// printer itself stays in the adapter.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/PrintMetrics.h"

namespace velkor {

// Text drawn with its top-left corner at (x, y).
struct PrintRun {
  int x = 0;
  int y = 0;
  std::string text;  // code page 932
  bool operator==(const PrintRun&) const = default;
};

struct PrintPage {
  std::vector<PrintRun> runs;
  bool operator==(const PrintPage&) const = default;
};

// The lines of a text to print: it is split at CR LF, a lone CR and a lone LF;
// a line break at the very end adds no empty line. The views point into `text`.
std::vector<std::string_view> SplitPrintLines(std::string_view text);

// The pages of one print job of `text`, each line followed by a line end:
// - a line starts at the left edge; a line wider than the page width is broken
//   after as many whole characters as fit (at least one at the left edge), and
//   the rest continues at the left edge of the next line;
// - after a line that holds text the position moves down by h = character
//   height + 2, and a new page begins when it lies lower than the page height
//   less 2 × h; after a line with no text it moves down by the character
//   height, and a new page begins when it lies lower than the page height;
// - a tab moves to the next tab stop (every eight average character widths);
//   a stop beyond the page width ends the line;
// - a form feed begins a new page, on which the line continues at the top left.
// A new page starts at its top-left corner. A last page on which nothing is
// drawn is left out, unless it is the only page; an empty text gives no page.
std::vector<PrintPage> LayOutPrintText(std::string_view text, const IPrintMetrics& metrics);

// The print range chosen in the print dialog.
enum class PrintRange { All, Selection };

// The text that one copy prints: the whole text, or the selected bytes
// (selStart, selLength as the edit area gives them). std::nullopt when there is
// nothing to print: an empty text, or the selection range with no selection.
std::optional<std::string> TextToPrint(std::string_view wholeText, int selStart, int selLength, PrintRange range);

}  // namespace velkor
