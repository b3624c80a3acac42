#include "document/EditView.h"

#include "document/Cp932.h"

namespace velkor {

void EditView::ApplyEditFont() {
  const FontSpec font = state_.settings.CrtFont(crt::kEditFontName);
  p_.memMain.SetFont(font);
  p_.edtInp.SetFont(font);
}

void EditView::ApplyWordWrap() {
  const bool on = p_.window.IsChecked(MenuItem::WordWrap);
  state_.settings.SetOption(option::kWordWrap, on ? "1" : "0");
  p_.memMain.SetWordWrap(on);
}

void EditView::MnuWordWrapClick() {
  const bool on = !p_.window.IsChecked(MenuItem::WordWrap);
  state_.settings.SetOption(option::kWordWrap, on ? "1" : "0");
  p_.window.SetChecked(MenuItem::WordWrap, on);
  ApplyWordWrap();
}

void EditView::ShowBlockCaret() {
  const std::string text = p_.memMain.Text();
  const std::size_t pos = static_cast<std::size_t>(std::max(0, p_.memMain.SelStart()));
  std::string character = "W";
  if (pos < text.size() && text[pos] != '\r') {
    character = text.substr(pos, cp932::CharLength(text, pos));
  }
  p_.memMain.SetBlockCaret(character);
}

}  // namespace velkor
