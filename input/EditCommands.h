// The board's editing commands on the edit area: caret moves by character
// and line, deleting the character at or before the caret.
#pragma once

#include "core/Commands.h"
#include "core/Platform.h"
#include "document/TextEdits.h"

namespace velkor {

// ←~ →~ ↑~ ↓~: the caret moves one character or one line; there is no line
// above the first or below the last.
void MoveCaret(IEditArea& edit, Command direction);
// 削~ (the character at the caret) and BS~ (the one before it).
void DeleteCharacter(IEditArea& edit, TextEdits& edits, Command which);

}  // namespace velkor
