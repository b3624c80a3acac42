#include "core/ColourText.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace velkor;
using namespace velkor::colours;

TEST(ColourText, EveryNameMapsBothWays) {
  // clang-format off
  const std::pair<Colour, std::string> names[] = {
      {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"}, {clNavy, "clNavy"},
      {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"}, {clSilver, "clSilver"}, {clRed, "clRed"},
      {clLime, "clLime"}, {clYellow, "clYellow"}, {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"},
      {clWhite, "clWhite"}, {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
      {clMedGray, "clMedGray"}, {clNone, "clNone"}, {clDefault, "clDefault"}, {clScrollBar, "clScrollBar"},
      {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
      {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"},
      {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
      {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
      {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
      {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
      {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
      {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
      {clGradientActiveCaption, "clGradientActiveCaption"}, {clGradientInactiveCaption, "clGradientInactiveCaption"},
      {clMenuHighlight, "clMenuHighlight"}, {clMenuBar, "clMenuBar"},
  };
  // clang-format on
  for (const auto& [colour, name] : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ColourToText(colour), name);
    EXPECT_EQ(TextToColour(name), colour);
    std::string upper = name, lower = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(TextToColour(upper), colour);
    EXPECT_EQ(TextToColour(lower), colour);
  }
}

TEST(ColourText, UnnamedColoursAsHex) {
  const std::pair<Colour, std::string> cases[] = {
      {Rgb(0x56, 0x34, 0x12), "$00123456"}, {System(25), "$FF000019"}, {System(31), "$FF00001F"},
      {clDefault + 1, "$20000001"},         {-1, "$FFFFFFFF"},         {INT32_MIN, "$80000000"},
      {Rgb(0xab, 0xcd, 0xef), "$00EFCDAB"}, {1, "$00000001"}};
  for (const auto& [colour, text] : cases) {
    EXPECT_EQ(ColourToText(colour), text);
    EXPECT_EQ(TextToColour(text), colour);
  }
}

TEST(ColourText, ReadsNumbers) {
  const std::pair<std::string, Colour> cases[] = {{"0", clBlack},
                                                  {"255", clRed},
                                                  {"+255", clRed},
                                                  {"-16777211", clWindow},
                                                  {"4278190085", clWindow},
                                                  {"-2147483648", INT32_MIN},
                                                  {"4294967295", -1},
                                                  {"-0", 0},
                                                  {"007", 7},
                                                  {"$ff", clRed},
                                                  {"$0000FF", clRed},
                                                  {"$FF000005", clWindow},
                                                  {"0x1f", 0x1f},
                                                  {"0XFFFFFFFF", -1},
                                                  {"$aBcDeF", 0xABCDEF},
                                                  {"$00000000", clBlack}};
  for (const auto& [text, colour] : cases) EXPECT_EQ(TextToColour(text), colour) << text;
}

TEST(ColourText, RejectsEverythingElse) {
  for (const char* text :
       {"",          " ",   "$",          "0x",          "-",          "+",           "12a",
        " 12",       "12 ", "$123456789", "0x100000000", "4294967296", "-2147483649", "99999999999999999999999",
        "clWindows", "cl",  "clBlack ",   "$-1",         "0x-1",       "--1",         "$ 1",
        "1.5",       "$FG", "-$5",        "#FFFFFF"}) {
    EXPECT_EQ(TextToColour(text), std::nullopt) << text;
  }
}
