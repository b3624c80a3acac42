// What the program adds to the edit area: its font, word wrap and block caret.
#pragma once

#include "core/InputMode.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/TextEdits.h"

namespace velkor {

class EditView {
 public:
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
    IInputBox& edtInp;
    IBoardGrid& sgd00;
    IDialogs& dialogs;
  };

  EditView(ProgramState& state, Ports ports, TextEdits& edits) : state_(state), p_(ports), edits_(edits) {}

  // The edit font of the settings to the edit area and the staging box.
  void ApplyEditFont();
  // The word-wrap check mark to the edit area and option slot 3.
  void ApplyWordWrap();
  void MnuWordWrapClick();
  // A solid caret as wide as the character at the caret ("W" at the end of a
  // line and of the text) and as high as the font.
  void ShowBlockCaret();
  // The edit-font dialog: a new font keeps the text, caret and selection and
  // records nothing in the journal.
  void ActDspFontExecute();

 private:
  ProgramState& state_;
  Ports p_;
  TextEdits& edits_;
};

}  // namespace velkor
