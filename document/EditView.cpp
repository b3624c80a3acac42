#include "document/EditView.h"

#include <algorithm>

#include "core/Cp932.h"

namespace velkor {

void EditView::ApplyEditFont() {
  const FontSpec font = state_.settings.CrtFont(crt::kEditFontName);
  p_.memMain.SetFont(font);
  p_.edtInp.SetFont(font);
}

void EditView::ApplyWordWrap() {
  const bool on = state_.settings.Option(option::kWordWrap) != "0";
  state_.settings.SetOption(option::kWordWrap, on ? "1" : "0");
  p_.memMain.SetWordWrap(on);
}

void EditView::MnuWordWrapClick() {
  const bool on = state_.settings.Option(option::kWordWrap) == "0";
  state_.settings.SetOption(option::kWordWrap, on ? "1" : "0");
  ApplyWordWrap();
}

void EditView::ShowBlockCaret() {
  // At the end of a line and of the text the caret is as wide as "W".
  std::string character = p_.memMain.CharacterAtCaret();
  if (character.empty() || character[0] == '\r') character = "W";
  p_.memMain.SetBlockCaret(character);
}

}  // namespace velkor

namespace velkor {

void EditView::ActDspFontExecute() {
  const auto font = p_.dialogs.ChooseFont(p_.memMain.Font());
  if (!font) return;
  const std::string text = p_.memMain.Text();
  const int selLength = p_.memMain.SelLength();
  const int selStart = p_.memMain.SelStart();
  edits_.Clear();
  state_.settings.SetCrtFont(crt::kEditFontName, FontSpec{font->name, font->size, font->colour});
  ApplyEditFont();
  // The refill is not a change of the document.
  edits_.SetText(text, TextEdits::Journaling::Skip);
  p_.memMain.SetSelStart(selStart);
  p_.memMain.SetSelLength(selLength);
}

}  // namespace velkor
