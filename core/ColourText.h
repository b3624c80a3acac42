// Colour text: how every colour of the settings is written. A colour value is the
// platform's 32-bit colour: 0x00BBGGRR for a fixed colour (red in the lowest
// byte), 0xFF0000nn for system colour number nn, plus the two special values
// clNone and clDefault.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkor {

using Colour = std::int32_t;

namespace colours {
inline constexpr Colour kSystemFlag = static_cast<Colour>(0xFF000000u);
constexpr Colour System(int index) { return static_cast<Colour>(0xFF000000u | static_cast<std::uint32_t>(index)); }
constexpr Colour Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

inline constexpr Colour clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                        clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
inline constexpr Colour clNone = 0x1FFFFFFF, clDefault = 0x20000000;
// System colours by the platform's colour numbers.
inline constexpr Colour clScrollBar = System(0), clBackground = System(1), clActiveCaption = System(2),
                        clInactiveCaption = System(3), clMenu = System(4), clWindow = System(5),
                        clWindowFrame = System(6), clMenuText = System(7), clWindowText = System(8),
                        clCaptionText = System(9), clActiveBorder = System(10), clInactiveBorder = System(11),
                        clAppWorkSpace = System(12), clHighlight = System(13), clHighlightText = System(14),
                        clBtnFace = System(15), clBtnShadow = System(16), clGrayText = System(17),
                        clBtnText = System(18), clInactiveCaptionText = System(19), clBtnHighlight = System(20),
                        cl3DDkShadow = System(21), cl3DLight = System(22), clInfoText = System(23),
                        clInfoBk = System(24), clHotLight = System(26), clGradientActiveCaption = System(27),
                        clGradientInactiveCaption = System(28), clMenuHighlight = System(29), clMenuBar = System(30);
}  // namespace colours

constexpr bool IsSystemColour(Colour c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0xFF000000u; }
constexpr int SystemColourIndex(Colour c) { return static_cast<int>(static_cast<std::uint32_t>(c) & 0xFFu); }
constexpr int RedOf(Colour c) { return c & 0xFF; }
constexpr int GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Colour c) { return (c >> 16) & 0xFF; }

// The standard name when the value has one ("clWindow"), else "$" and eight
// upper-case hexadecimal digits of the 32-bit value ("$00123456").
std::string ColourToText(Colour colour);

// A standard name (case-insensitive), a decimal integer (with an optional minus
// sign) or "$" followed by up to eight hexadecimal digits. Anything else, or a
// number that does not fit 32 bits, gives no value.
std::optional<Colour> TextToColour(std::string_view text);

}  // namespace velkor
