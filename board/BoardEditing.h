// The user's editing of the two user tabs' cells and of the tab names, each
// through a one-line prompt; the new content goes into the settings at once.
#pragma once

#include "core/Platform.h"
#include "core/ProgramState.h"

namespace velkor {

class BoardEditing {
 public:
  // The platform's parts it uses.
  struct Ports {
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
    IDialogs& dialogs;
  };

  static constexpr int kMaxEntryBytes = 255;

  BoardEditing(ProgramState& state, Ports ports) : state_(state), p_(ports) {}

  // The cell editor, for the board's current cell on a user tab. Withheld
  // while the slot board is shown, so slot labels never reach a tab's content.
  void PmmMoziClick();
  // Renames the current tab, whichever tab the pointer was on.
  void PmtTabClick();

 private:
  ProgramState& state_;
  Ports p_;
};

}  // namespace velkor
