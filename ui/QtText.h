// Conversions between the logic's texts and Qt's strings.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "core/ColourText.h"
#include "core/Platform.h"
#include "core/Cp932.h"

namespace velkor::ui {

// Code page 932 bytes to and from Qt's strings, losslessly for any bytes.
inline QString FromCp932(const std::string& bytes) { return QString::fromStdU16String(cp932::Decode(bytes)); }
inline std::string ToCp932(const QString& text, bool* lossy = nullptr) {
  return cp932::Encode(text.toStdU16String(), lossy);
}
// Native file names and display texts in UTF-8.
inline QString FromUtf8(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// A colour value to a Qt colour: system colours from the application palette,
// fixed colours from their red, green and blue bytes. clNone and clDefault give
// an invalid colour (the widget's own).
QColor ToQColor(Colour colour);
// A Qt colour as a fixed colour value.
Colour FromQColor(const QColor& colour);

// A font of the settings as a Qt font; a face that does not exist here is
// substituted by fontconfig (a Japanese one when a CJK font is installed).
QFont ToQFont(const FontSpec& font);
FontSpec FromQFont(const QFont& font, Colour colour);

}  // namespace velkor::ui
