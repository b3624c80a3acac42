#include "ui/QtText.h"

#include <QApplication>
#include <QPalette>

namespace velkor::ui {

namespace {

// The platform's system colour numbers to the nearest palette roles.
QColor SystemColour(int index) {
  const QPalette palette = QApplication::palette();
  switch (index) {
    case 5:  // clWindow
      return palette.color(QPalette::Base);
    case 24:  // clInfoBk
      return palette.color(QPalette::ToolTipBase);
    case 8:  // clWindowText
      return palette.color(QPalette::Text);
    case 4:   // clMenu
    case 30:  // clMenuBar
    case 1:   // clBackground
    case 3:   // clInactiveCaption
    case 10:  // clActiveBorder
    case 11:  // clInactiveBorder
    case 28:  // clGradientInactiveCaption
      return palette.color(QPalette::Window);
    case 7:  // clMenuText
      return palette.color(QPalette::WindowText);
    case 15:  // clBtnFace
    case 0:   // clScrollBar
      return palette.color(QPalette::Button);
    case 18:  // clBtnText
      return palette.color(QPalette::ButtonText);
    case 13:  // clHighlight
    case 29:  // clMenuHighlight
    case 2:   // clActiveCaption
    case 27:  // clGradientActiveCaption
      return palette.color(QPalette::Highlight);
    case 14:  // clHighlightText
    case 9:   // clCaptionText
      return palette.color(QPalette::HighlightedText);
    case 17:  // clGrayText
    case 19:  // clInactiveCaptionText
      return palette.color(QPalette::Disabled, QPalette::Text);
    case 16:  // clBtnShadow
      return palette.color(QPalette::Mid);
    case 20:  // clBtnHighlight
      return palette.color(QPalette::Light);
    case 21:  // cl3DDkShadow
    case 6:   // clWindowFrame
      return palette.color(QPalette::Shadow);
    case 22:  // cl3DLight
      return palette.color(QPalette::Midlight);
    case 12:  // clAppWorkSpace
      return palette.color(QPalette::Dark);
    case 23:  // clInfoText
      return palette.color(QPalette::ToolTipText);
    case 26:  // clHotLight
      return palette.color(QPalette::Link);
    default: return palette.color(QPalette::Window);
  }
}

}  // namespace

QColor ToQColor(Colour colour) {
  if (colour == colours::clNone || colour == colours::clDefault) return {};
  if (IsSystemColour(colour)) return SystemColour(SystemColourIndex(colour));
  return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

Colour FromQColor(const QColor& colour) { return colours::Rgb(colour.red(), colour.green(), colour.blue()); }

QFont ToQFont(const FontSpec& font) {
  QFont qfont(FromCp932(font.name));
  qfont.setPointSize(font.size > 0 ? font.size : 10);
  return qfont;
}

FontSpec FromQFont(const QFont& font, Colour colour) {
  return FontSpec{ToCp932(font.family()), font.pointSize(), colour};
}

}  // namespace velkor::ui
