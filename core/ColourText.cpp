#include "core/ColourText.h"

#include <array>
#include <cstddef>

namespace velkor {

namespace {

struct NamedColour {
  Colour value;
  std::string_view name;
};

using namespace colours;

constexpr std::array<NamedColour, 52> kNamedColours{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
}};

constexpr char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One to eight hexadecimal digits, nothing else.
std::optional<Colour> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    const int d = HexValue(c);
    if (d < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return static_cast<Colour>(value);
}

// Decimal digits with an optional sign. Positive values up to 0xFFFFFFFF are
// taken as the unsigned 32-bit pattern, so both "-16777211" and "4278190085"
// read as clWindow; negative values must fit an int32.
std::optional<Colour> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::uint64_t limit = negative ? 0x80000000u : 0xFFFFFFFFu;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  const std::uint32_t bits =
      negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(value)) : static_cast<std::uint32_t>(value);
  return static_cast<Colour>(bits);
}

}  // namespace

std::string ColourToText(Colour colour) {
  for (const NamedColour& named : kNamedColours) {
    if (named.value == colour) return std::string(named.name);
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto bits = static_cast<std::uint32_t>(colour);
  std::string text = "$";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(bits >> shift) & 0xFu];
  return text;
}

std::optional<Colour> TextToColour(std::string_view text) {
  for (const NamedColour& named : kNamedColours) {
    if (EqualsIgnoringCase(text, named.name)) return named.value;
  }
  if (!text.empty() && text.front() == '$') return ParseHex(text.substr(1));
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseHex(text.substr(2));
  }
  return ParseDecimal(text);
}

}  // namespace velkor
