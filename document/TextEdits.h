// The one path of every change of the edit area's text. The logic changes the
// text only through here; and every change the edit area reports (typing and
// pasting by keyboard included) comes back here, which records it in the
// journal, enables saving and starts the recovery timer. Undo and redo put
// entries back through the journal, which records nothing for them. After
// every change the edit area's modified flag follows the journal's one rule:
// the text differs from what was last opened or saved.
#pragma once

#include <string>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/Journal.h"
#include "document/Recovery.h"

namespace velkor {

class TextEdits {
 public:
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
  };
  TextEdits(ProgramState& state, Ports ports, Journal& journal, Recovery& recovery)
      : state_(state), p_(ports), journal_(journal), recovery_(recovery) {}

  // Whether a whole new text is a change of the document (an opened file:
  // recorded as the journal's entry) or only shown anew (a font change).
  enum class Journaling { Record, Skip };

  // Replaces the selection (at the caret: inserts), as one change.
  void ReplaceSelection(const std::string& bytes) { p_.memMain.ReplaceSelection(bytes); }
  // Pastes the clipboard's text over the selection, as one change.
  void PasteFromClipboard() { p_.memMain.PasteFromClipboard(); }
  // A whole new text.
  void SetText(const std::string& bytes, Journaling journaling);
  // Empties the edit area; nothing is recorded.
  void Clear();

  // The edit area's change notification: one call per change.
  void Changed();

 private:
  ProgramState& state_;
  Ports p_;
  Journal& journal_;
  Recovery& recovery_;
};

}  // namespace velkor
