// What the program adds to the edit area: its font, word wrap and block caret.
#pragma once

#include "app/Platform.h"
#include "app/ProgramState.h"

namespace velkor {

class EditView {
 public:
  EditView(ProgramState& state, Platform& platform) : state_(state), p_(platform) {}

  // The edit font of the settings to the edit area and the staging box.
  void ApplyEditFont();
  // The word-wrap check mark to the edit area and option slot 3.
  void ApplyWordWrap();
  void MnuWordWrapClick();
  // A solid caret as wide as the character at the caret ("W" at the end of a
  // line and of the text) and as high as the font.
  void ShowBlockCaret();

 private:
  ProgramState& state_;
  Platform& p_;
};

}  // namespace velkor
