// Find and replace over the edit area's text.
//
// The search runs forward from a start position derived from the selection and
// steps character by character: an occurrence starts and ends on character
// boundaries of the whole text, never inside a double-byte character. Without
// match case, the Latin letters A to Z and the full-width letters Ａ to Ｚ
// (0x8260..0x8279) fold to their lower-case forms (a to z, 0x8281..0x829A) on
// both sides before the comparison; no other character folds.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/Platform.h"
#include "document/TextEdits.h"

namespace velkor {

// A found occurrence: its byte position in the whole text and its byte length.
struct SearchRange {
  int start = 0;
  int length = 0;
  bool operator==(const SearchRange&) const = default;
};

struct SearchOptions {
  // A replace searches from the selection start (so a selected occurrence is
  // the one replaced); a find searches from just after the selection.
  bool replace = false;
  bool matchCase = false;
};

// The first occurrence of `searchText` at or after the start position: the
// start of the text when the selection is empty, otherwise the selection start
// (replace) or the selection end (find); a start inside a double-byte
// character moves to the end of that character. Nothing when there is no
// occurrence or `searchText` is empty.
std::optional<SearchRange> SearchText(std::string_view text, int selStart, int selLength, std::string_view searchText,
                                      SearchOptions options);

// The text with every occurrence of `searchText` replaced, scanning from left
// to right without overlaps and continuing after each occurrence in the
// original text, so inserted text is never searched again. Nothing when there
// is no occurrence (or `searchText` is empty). `count`, when given, receives
// the number of occurrences replaced.
std::optional<std::string> ReplaceAllText(std::string_view text, std::string_view searchText,
                                          std::string_view replacementText, bool matchCase, int* count = nullptr);

// Shows a message (code page 932) on the mode's message channel.
using SearchMessageSink = std::function<void(const std::string& text)>;

// Before the find or replace dialog opens: with an empty edit area shows
// "対象データがありません" and gives false (no dialog opens); otherwise
// collapses the selection to its start, so the first search starts at the top
// of the text, and gives true.
bool BeginSearchDialog(IEditArea& area, const SearchMessageSink& message);

// Before a search: a search or replacement text with characters the code
// page cannot hold would turn them into "?" and find or write the wrong text;
// such a search finds nothing and says so. True when the search may go on.
bool CheckSearchTexts(bool holdable, const SearchMessageSink& message);

// A press of find-next (`replace` false) or replace (`replace` true). Selects
// the occurrence found and, for a replace, replaces it in one change through
// `edits` and then selects as many bytes after the inserted text as
// `replacementText` has (fewer at the end of the text). With no occurrence,
// shows "検索は終了しました", removes the selection and gives false.
bool SearchInEditArea(IEditArea& area, TextEdits& edits, bool replace, bool matchCase, std::string_view searchText,
                      std::string_view replacementText, const SearchMessageSink& message);

// A press of replace-all: the whole text replaced through `edits` in one
// change when that changes it, recorded, undone and marked modified like any
// other change; otherwise (nothing matched, or every occurrence was replaced
// by itself) the edit area is not touched. Nothing is shown. Gives the number
// of occurrences replaced.
int ReplaceAllInEditArea(IEditArea& area, TextEdits& edits, bool matchCase, std::string_view searchText,
                         std::string_view replacementText);

}  // namespace velkor
