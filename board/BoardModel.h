// The character board's content: grid geometry, the built-in board, the user
// tabs' default content, the cell text encoding and the command tokens.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/CommaText.h"
#include "core/Commands.h"

namespace velkor::board {

// The grid: 21 columns and 8 rows, column 0 and row 0 fixed (5 pixels).
inline constexpr int kColCount = 21;
inline constexpr int kRowCount = 8;
inline constexpr int kFixedCount = 1;
inline constexpr int kFixedSize = 5;
inline constexpr int kContentCols = 20;
inline constexpr int kContentRows = 5;
inline constexpr int kContentCells = kContentCols * kContentRows;  // 100
inline constexpr int kFirstCommandRow = 6;
inline constexpr int kLastCommandRow = 7;
// Items a user tab's content list holds at least: 100 content cells, then the
// 40 cells of the two command rows as the cell editor last wrote them back.
inline constexpr int kTabListMinItems = 140;
inline constexpr int kTabCount = 3;
inline constexpr int kBuiltInTab = 0;

// The empty marker: a cell whose stored text is "~" alone is empty.
inline constexpr std::string_view kEmptyMarker = "~";

// Cell index of the content cell in row r, column c (both from 1).
constexpr int CellIndex(int row, int col) { return (row - 1) * kContentCols + (col - 1); }
constexpr int RowOfIndex(int index) { return index / kContentCols + 1; }
constexpr int ColOfIndex(int index) { return index % kContentCols + 1; }
constexpr bool IsContentCell(int col, int row) {
  return row >= 1 && row <= kContentRows && col >= 1 && col <= kContentCols;
}

// The commands a cell can carry are those of core/Commands.h with a token.
using velkor::Command;

// The token of a command, in code page 932.
const std::string& CommandToken(Command command);
// The command whose token equals the whole text, byte for byte (never an
// empty text).
std::optional<Command> CommandOfText(std::string_view cellText);
// The command placed in a cell of the command rows, when there is one.
std::optional<Command> CommandAt(int col, int row);

// The built-in board as its comma text (code page 932, 824 bytes).
const std::string& BuiltInBoardText();
// The built-in board read as a list of 100 cell texts, by cell index.
StringList BuiltInBoard();
// The default content list of user tab 1 or 2, as comma text (167 items).
std::string DefaultUserTabContent(int tab);

// The variants of a cell text: the text read as a comma text.
StringList Variants(std::string_view cellText);
// The label a cell shows: on the built-in tab the first variant, on the user
// tabs the whole text; the empty marker shows as nothing.
std::string CellLabel(std::string_view cellText, bool builtInTab);

// A user tab's content list as stored, padded with "~" to 140 items when a
// hand-edited settings file left it short.
StringList ReadTabContent(std::string_view commaText);
// The tab-name list read as exactly three names (missing ones empty).
StringList ReadTabNames(std::string_view commaText);

}  // namespace velkor::board
