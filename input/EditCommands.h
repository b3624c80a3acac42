// The board's editing commands on the edit area: caret moves by character
// and line, deleting the character at or before the caret.
#pragma once

#include <optional>
#include <string>

#include "core/CommaText.h"
#include "core/Commands.h"
#include "core/Platform.h"
#include "document/TextEdits.h"

namespace velkor {

// ←~ →~ ↑~ ↓~: the caret moves one character or one line; there is no line
// above the first or below the last.
void MoveCaret(IEditArea& edit, Command direction);
// 削~ (the character at the caret) and BS~ (the one before it).
void DeleteCharacter(IEditArea& edit, TextEdits& edits, Command which);

// Whether a variant (code page 932) is one kana: hiragana or katakana, full
// or half width. Cells whose first variant is one are kana cells.
bool IsKana(const std::string& variant);

// ゛~: the character before the caret becomes the next variant of the kana
// cell of `boardCells` (comma texts) that holds it, round: か→が→カ→ガ→ヵ→か.
// One change, so one undo takes it back. False, and nothing changes, when the
// character before the caret is on no kana cell.
bool CycleVariantBeforeCaret(IEditArea& edit, TextEdits& edits, const StringList& boardCells);
// What ゛~ would turn the character before the caret into; nothing when it
// would change nothing.
std::optional<std::string> NextVariantBeforeCaret(const IEditArea& edit, const StringList& boardCells);

}  // namespace velkor
