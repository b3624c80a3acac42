#include "core/Settings.h"

#include <gtest/gtest.h>

#include <optional>

#include "board/BoardModel.h"

#include "FakePlatform.h"

using namespace velkor;
using namespace velkor::testing;

namespace {

// The window as it stands before its settings are applied: 625 x 351 with the
// design fonts of the edit area and the board.
SettingsEnvironment DesignEnvironment(int screenWidth = 1280, int screenHeight = 1024) {
  SettingsEnvironment env;
  env.screenWidth = screenWidth;
  env.screenHeight = screenHeight;
  env.windowWidth = 625;
  env.windowHeight = 351;
  env.editFont = {Sj("ＭＳ ゴシック"), 20, colours::clWindowText};
  env.boardFont = {Sj("ＭＳ ゴシック"), 22, colours::clWindowText};
  env.userTabContent[0] = board::DefaultUserTabContent(1);
  env.userTabContent[1] = board::DefaultUserTabContent(2);
  return env;
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

StringList Numbered(int count, const std::string& prefix) {
  StringList items;
  for (int i = 0; i < count; ++i) items.push_back(prefix + std::to_string(i));
  return items;
}

}  // namespace

TEST(Settings, FirstRunGivesDefaultSlots) {
  FakeSettingsStore store;
  Settings s;
  s.Load(store, DesignEnvironment());

  EXPECT_EQ(s.optionList, (StringList{"1", "0", "0", "1", "0", "0", "0", "0", "0", "0"}));
  EXPECT_TRUE(s.fileList.empty());
  ASSERT_EQ(s.crtList.size(), 30u);

  const std::pair<int, std::string> slots[] = {{0, "710"},
                                               {1, "500"},
                                               {2, "327"},
                                               {3, "336"},
                                               {4, Sj("ＭＳ ゴシック")},
                                               {5, "20"},
                                               {6, "clWindowText"},
                                               {7, "330"},
                                               {8, "531"},
                                               {9, "0"},
                                               {10, Sj("ＭＳ ゴシック")},
                                               {11, "22"},
                                               {12, "clWindowText"},
                                               {15, Sj("基本,拡張１,拡張２")},
                                               {16, "0"},
                                               {17, "0"},
                                               {18, "0"},
                                               {19, "0"},
                                               {20, "clWindow"},
                                               {21, "clWindow"},
                                               {22, "0"},
                                               {23, "0"},
                                               {24, "0"},
                                               {25, "0"},
                                               {26, "0"},
                                               {27, "0"},
                                               {28, "0"},
                                               {29, "\\EOD"}};
  for (const auto& [slot, text] : slots) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(s.crtList[slot], text);
    EXPECT_EQ(s.CrtDefault(slot), text);
  }
  EXPECT_EQ(ReadCommaText(s.crtList[15]), (StringList{Sj("基本"), Sj("拡張１"), Sj("拡張２")}));
}

// The user tabs' default content: the first row's cells, then the fillers,
// 167 items in all.
TEST(Settings, FirstRunUserTabContentTexts) {
  FakeSettingsStore store;
  Settings s;
  s.Load(store, DesignEnvironment());

  const std::string& tab1 = s.crtList[crt::kTab1Content];
  EXPECT_EQ(tab1.rfind(Sj("☆,※,~,~"), 0), 0u) << cp932::ToUtf8(tab1.substr(0, 20));
  EXPECT_EQ(tab1, Sj("☆,※") + Repeat(",~", 165));
  EXPECT_EQ(s.crtList[crt::kTab2Content], Sj("\"こんにちは,さようなら\"") + Repeat(",~", 166));

  const StringList items1 = ReadCommaText(tab1);
  const StringList items2 = ReadCommaText(s.crtList[crt::kTab2Content]);
  ASSERT_EQ(items1.size(), 167u);
  ASSERT_EQ(items2.size(), 167u);
  EXPECT_EQ(items1[0], Sj("☆"));
  EXPECT_EQ(items1[1], Sj("※"));
  EXPECT_EQ(items2[0], Sj("こんにちは,さようなら"));
  for (std::size_t i = 2; i < items1.size(); ++i) EXPECT_EQ(items1[i], "~") << i;
  for (std::size_t i = 1; i < items2.size(); ++i) EXPECT_EQ(items2[i], "~") << i;
}

// The default position centres the window's design size, dividing toward zero.
TEST(Settings, DefaultPositionCentresDesignSize) {
  struct Case {
    int screenWidth, screenHeight;
    std::string left, top;
  } cases[] = {
      {1280, 1024, "327", "336"}, {1281, 1026, "328", "337"},
      {1920, 1080, "647", "364"}, {600, 300, "-12", "-25"},  // floor division would give -13 and -26
      {624, 350, "0", "0"},                                  // -1 / 2 is 0, not -1
      {0, 0, "-312", "-175"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
    FakeSettingsStore store;
    Settings s;
    s.Load(store, DesignEnvironment(c.screenWidth, c.screenHeight));
    EXPECT_EQ(s.crtList[crt::kWindowLeft], c.left);
    EXPECT_EQ(s.crtList[crt::kWindowTop], c.top);
    EXPECT_EQ(s.crtList[crt::kWindowWidth], "710");
    EXPECT_EQ(s.crtList[crt::kWindowHeight], "500");
  }
}

// A list with too few items is replaced whole; one with enough or more is kept
// as it is, extra items included.
TEST(Settings, ShortListsTakeDefaultsLongerListsAreKept) {
  const SettingsEnvironment env = DesignEnvironment();
  const StringList defaultCrt = Settings::DefaultCrtList(env);
  // Numbered items, with an input mode the program can use in slots 0 to 2.
  const auto Options = [](int count) {
    StringList list = Numbered(count, "1");
    list[0] = "1", list[1] = "0", list[2] = "0";
    return list;
  };
  struct Case {
    const char* name;
    StringList option, crt;
    bool optionKept, crtKept;
  } cases[] = {
      {"29 Crt items", Options(10), Numbered(29, "c"), true, false},
      {"30 Crt items", Options(10), Numbered(30, "c"), true, true},
      {"33 Crt items", Options(10), Numbered(33, "c"), true, true},
      {"9 Option items", Options(9), Numbered(30, "c"), false, true},
      {"12 Option items", Options(12), Numbered(30, "c"), true, true},
      {"nothing stored", {}, {}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSettingsStore store;
    if (!c.option.empty()) store.SetCp932("Option", WriteCommaText(c.option));
    if (!c.crt.empty()) store.SetCp932("Crt", WriteCommaText(c.crt));
    Settings s;
    s.Load(store, env);
    EXPECT_EQ(s.optionList, c.optionKept ? c.option : Settings::DefaultOptionList());
    EXPECT_EQ(s.crtList, c.crtKept ? c.crt : defaultCrt);

    s.Write(store);
    EXPECT_EQ(store.Cp932("Option"), WriteCommaText(c.optionKept ? c.option : Settings::DefaultOptionList()));
    EXPECT_EQ(store.Cp932("Crt"), WriteCommaText(c.crtKept ? c.crt : defaultCrt));
  }
}

TEST(Settings, WritesFileOptionCrtThenVersion) {
  FakeSettingsStore store;
  Settings s;
  s.Load(store, DesignEnvironment());
  s.Write(store);
  EXPECT_EQ(store.writeOrder, (std::vector<std::string>{"File", "Option", "Crt", "Ver"}));
  EXPECT_EQ(store.values["Ver"], u"*V3.2");
  EXPECT_EQ(store.values["File"], u"");
  EXPECT_EQ(store.Cp932("Option"), "1,0,0,1,0,0,0,0,0,0");
  EXPECT_EQ(store.Cp932("Crt"), WriteCommaText(Settings::DefaultCrtList(DesignEnvironment())));
}

TEST(Settings, StoreRefusingToOpenForWritingGetsNothing) {
  FakeSettingsStore store;
  store.SetCp932("Option", "0,3,0,1,0,0,0,0,0,0");
  const auto before = store.values;
  Settings s;
  s.Load(store, DesignEnvironment());
  s.optionList[0] = "1";
  s.fileList = {"/tmp/a.txt"};
  store.writable = false;
  s.Write(store);
  EXPECT_EQ(store.writeOpens, 1);
  EXPECT_TRUE(store.writeOrder.empty());
  EXPECT_EQ(store.values, before);
}

// Recent files are native file names; folders that code page 932 cannot hold
// come back byte for byte.
TEST(Settings, RecentFilesKeepNativeNames) {
  const StringList names = {"/home/u/Ελληνικά/a b.txt", "/tmp/测试/文書.txt", "/tmp/한국어,x/\"q\".txt",
                            "/tmp/\xF0\x9F\x98\x80/e\xCC\x81.txt", "C:\\Docs\\メモ.txt"};
  const std::u16string stored =
      u"\"/home/u/Ελληνικά/a b.txt\",/tmp/测试/文書.txt,\"/tmp/한국어,x/\"\"q\"\".txt\","
      u"/tmp/\U0001F600/e\u0301.txt,C:\\Docs\\メモ.txt";

  FakeSettingsStore store;
  store.values["File"] = stored;
  Settings s;
  s.Load(store, DesignEnvironment());
  EXPECT_EQ(s.fileList, names);
  s.Write(store);
  EXPECT_EQ(store.values["File"], stored);

  FakeSettingsStore fresh;
  Settings written;
  written.Load(fresh, DesignEnvironment());
  written.fileList = names;
  written.Write(fresh);
  Settings reread;
  reread.Load(fresh, DesignEnvironment());
  EXPECT_EQ(reread.fileList, names);
}

// Nested comma texts in "Crt": font names with blanks, tab names and cell lists
// holding quotes, commas and blanks come back unchanged.
TEST(Settings, NestedListsSurviveWriteAndRead) {
  const SettingsEnvironment env = DesignEnvironment();
  FakeSettingsStore store;
  Settings s;
  s.Load(store, env);

  const StringList names = {Sj("基本"), Sj("私の タブ"), "a,\"b\""};
  StringList cells(167, "~");
  cells[0] = Sj("こんにちは,さようなら");
  cells[1] = "\"quoted\"";
  cells[2] = " leading blank";
  cells[3] = "two words";
  cells[4] = "";
  cells[5] = Sj("改~");
  cells[6] = "a,\"b c\",d";
  cells[7] = Sj("表\t示");
  s.crtList[crt::kEditFontName] = Sj("ＭＳ 明朝");
  s.crtList[crt::kBoardFontName] = "Courier New";
  s.crtList[crt::kTabNames] = WriteCommaText(names);
  s.crtList[crt::kTab2Content] = WriteCommaText(cells);
  s.crtList[crt::kTab1Sizes] = "1,2,3";
  s.Write(store);

  const StringList stored = ReadCommaText(store.Cp932("Crt"));
  ASSERT_EQ(stored.size(), 30u);
  EXPECT_NE(store.Cp932("Crt").find(",\"Courier New\","), std::string::npos);

  Settings back;
  back.Load(store, env);
  EXPECT_EQ(back.crtList, s.crtList);
  EXPECT_EQ(back.crtList[crt::kEditFontName], Sj("ＭＳ 明朝"));
  EXPECT_EQ(back.crtList[crt::kBoardFontName], "Courier New");
  EXPECT_EQ(ReadCommaText(back.crtList[crt::kTabNames]), names);
  EXPECT_EQ(ReadCommaText(back.crtList[crt::kTab2Content]), cells);
  EXPECT_EQ(ReadCommaText(back.crtList[crt::kTab1Sizes]), (StringList{"1", "2", "3"}));
}

// Hand-edited slots that hold no number or no colour fall back to the slot's
// default, also when the list itself came from the store.
TEST(Settings, UnreadableSlotsFallBackToDefaults) {
  StringList crt = Settings::DefaultCrtList(DesignEnvironment());
  crt[crt::kWindowWidth] = "abc";
  crt[crt::kWindowHeight] = "99999999999";
  crt[crt::kWindowLeft] = "";
  crt[crt::kWindowTop] = "-40";
  crt[crt::kEditFontSize] = "0";
  crt[crt::kEditFontColour] = "purple-ish";
  crt[crt::kLowerPanelHeight] = "12px";
  crt[crt::kBoardPanelWidth] = " 531";
  crt[crt::kBoardFontName] = "Courier New";
  crt[crt::kBoardFontSize] = "-3";
  crt[crt::kBoardFontColour] = "$000000FF";
  crt[crt::kSelectedTab] = "+1";
  crt[crt::kEditBackground] = "clRed";
  crt[crt::kBoardBackground] = "#ffffff";
  FakeSettingsStore store;
  store.SetCp932("Crt", WriteCommaText(crt));
  Settings s;
  s.Load(store, DesignEnvironment());
  ASSERT_EQ(s.crtList, crt);

  const std::pair<int, int> ints[] = {
      {crt::kWindowWidth, 710},      {crt::kWindowHeight, 500},    {crt::kWindowLeft, 327}, {crt::kWindowTop, -40},
      {crt::kLowerPanelHeight, 330}, {crt::kBoardPanelWidth, 531}, {crt::kSelectedTab, 0},
  };
  for (const auto& [slot, value] : ints) EXPECT_EQ(s.CrtInt(slot), value) << "slot " << slot;

  const std::pair<int, Colour> colourSlots[] = {
      {crt::kEditFontColour, colours::clWindowText},
      {crt::kBoardFontColour, colours::Rgb(0xFF, 0, 0)},
      {crt::kEditBackground, colours::clRed},
      {crt::kBoardBackground, colours::clWindow},
  };
  for (const auto& [slot, colour] : colourSlots) EXPECT_EQ(s.CrtColour(slot), colour) << "slot " << slot;

  EXPECT_EQ(s.CrtFont(crt::kEditFontName), (FontSpec{Sj("ＭＳ ゴシック"), 20, colours::clWindowText}));
  EXPECT_EQ(s.CrtFont(crt::kBoardFontName), (FontSpec{"Courier New", 22, colours::clRed}));
}

// A colour slot takes only what the program writes there (a colour name,
// "$" or "0x" and hexadecimal digits); anything else, a bare number included,
// gives the slot's default: a number there is a font size or a tab number
// from a list a hand edit shifted, and would draw black on black.
TEST(Settings, AColourSlotThatHoldsNoColourTakesItsDefault) {
  struct Case {
    const char* stored;
    std::optional<Colour> colour;  // none: the default
  };
  const Case cases[] = {
      {"clRed", colours::clRed},          {"CLRED", colours::clRed},         {"$000000FF", colours::Rgb(0xFF, 0, 0)},
      {"0x00FF00", colours::Rgb(0, 0xFF, 0)}, {"$FF000005", colours::clWindow}, {"0", std::nullopt},
      {"12", std::nullopt},               {"-16777211", std::nullopt},       {"+5", std::nullopt},
      {"", std::nullopt},                 {"MS", std::nullopt},              {"$", std::nullopt},
      {"$123456789", std::nullopt},       {"#ffffff", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    StringList crt = Settings::DefaultCrtList(DesignEnvironment());
    for (const int slot : {crt::kEditFontColour, crt::kBoardFontColour, crt::kEditBackground, crt::kBoardBackground})
      crt[slot] = c.stored;
    FakeSettingsStore store;
    store.SetCp932("Crt", WriteCommaText(crt));
    Settings s;
    s.Load(store, DesignEnvironment());
    EXPECT_EQ(s.CrtColour(crt::kEditBackground), c.colour.value_or(colours::clWindow));
    EXPECT_EQ(s.CrtColour(crt::kBoardBackground), c.colour.value_or(colours::clWindow));
    EXPECT_EQ(s.CrtFont(crt::kEditFontName).colour, c.colour.value_or(colours::clWindowText));
    EXPECT_EQ(s.CrtFont(crt::kBoardFontName).colour, c.colour.value_or(colours::clWindowText));
  }
}

// A font name with a space written by hand without quotes reads as two slots
// and shifts every slot after it. Joined again, every slot is where it
// belongs: the fonts, the colours and the user's own tabs.
TEST(Settings, AListShiftedByAnUnquotedFontNameIsPutBackInPlace) {
  const SettingsEnvironment env = DesignEnvironment();
  StringList crt = Settings::DefaultCrtList(env);
  crt[crt::kEditFontName] = "Noto Sans CJK JP";
  crt[crt::kEditFontSize] = "14";
  crt[crt::kBoardFontName] = "IPA Gothic";
  crt[crt::kTab1Content] = WriteCommaText({Sj("お茶"), Sj("水")});
  crt[crt::kSelectedTab] = "0";
  // The quotes around the font names taken away by hand.
  std::string bare = WriteCommaText(crt);
  for (const std::string name : {"Noto Sans CJK JP", "IPA Gothic"}) {
    const std::size_t at = bare.find("\"" + name + "\"");
    ASSERT_NE(at, std::string::npos);
    bare.replace(at, name.size() + 2, name);
  }
  for (const bool shifted : {true, false}) {
    SCOPED_TRACE(shifted);
    FakeSettingsStore store;
    store.SetCp932("Crt", shifted ? bare : WriteCommaText(crt));
    Settings s;
    s.Load(store, env);
    ASSERT_EQ(s.crtList.size(), 30u);
    EXPECT_EQ(s.crtList[crt::kEditFontName], "Noto Sans CJK JP");
    EXPECT_EQ(s.CrtFont(crt::kEditFontName).size, 14);
    EXPECT_EQ(s.CrtFont(crt::kEditFontName).colour, colours::clWindowText) << "not the size as a colour";
    EXPECT_EQ(s.crtList[crt::kBoardFontName], "IPA Gothic");
    EXPECT_EQ(s.CrtColour(crt::kEditBackground), colours::clWindow) << "not the tab number as a colour";
    EXPECT_EQ(ReadCommaText(s.crtList[crt::kTab1Content]).front(), Sj("お茶"));
    EXPECT_EQ(s.crtList[crt::kEndMarker], "\\EOD");
  }
  // A list shifted some other way stays as read; its colours still fall back.
  FakeSettingsStore odd;
  odd.SetCp932("Crt", "extra," + WriteCommaText(crt));
  Settings s;
  s.Load(odd, env);
  EXPECT_EQ(s.crtList.size(), 31u);
  EXPECT_EQ(s.CrtColour(crt::kEditBackground), colours::clWindow);
}

// A recent file in a folder whose name is not UTF-8 (Shift-JIS from an
// archive) keeps its exact bytes through the settings store, and so does any
// name with the private-use characters that stand for raw bytes.
TEST(Settings, RecentFilesKeepTheExactBytesOfNamesThatAreNotUtf8) {
  const StringList names = {
      "/tmp/\x95\xB6\x8F\x91/" "\xE6\x96\x87\xE6\x9B\xB8" "00.txt",  // 文書 in Shift-JIS, then in UTF-8
      "/tmp/\x83\x5C/\xFF\xFE.txt",                                  // a second byte that is a backslash
      "/tmp/\xE6\x96/cut",                                           // a UTF-8 character cut short
      "/tmp/\xEF\x9E\x80/\xEF\xA1\xBF",                              // U+F780 and U+F87F themselves
      "/tmp/\xC0\xAF/\xED\xA0\x80",                                 // an overlong form, a surrogate
      "/tmp/a,b/\"q\" \x81",
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(::testing::PrintToString(name));
    EXPECT_EQ(StoredToNative(NativeToStored(name)), name);
  }
  EXPECT_EQ(NativeToStored("/tmp/文書.txt"), u"/tmp/文書.txt") << "UTF-8 stays readable in the store";
  EXPECT_EQ(StoredToNative(u"/tmp/文書.txt"), "/tmp/文書.txt");

  FakeSettingsStore store;
  Settings s;
  s.Load(store, DesignEnvironment());
  s.fileList = names;
  s.Write(store);
  Settings back;
  back.Load(store, DesignEnvironment());
  EXPECT_EQ(back.fileList, names);
}

namespace velkor::testing {
namespace {

// No stored input mode leaves the user without a way to write: a dwell time
// the program cannot use (0.8, 7) falls back to off, and with every mode
// off click mode is chosen.
TEST(Settings, StoredModesAlwaysLeaveAWayToWrite) {
  const struct {
    const char* stored;
    const char* loaded;
  } cases[] = {
      {"0,0.25,0,1,0,0,0,0,0,0", "1,0,0,1,0,0,0,0,0,0"},
      {"0,7,0,1,0,0,0,0,0,0", "1,0,0,1,0,0,0,0,0,0"},
      {"0,0.2,0,1,0,0,0,0,0,0", "1,0,0,1,0,0,0,0,0,0"},
      {"0,0,0,1,0,0,0,0,0,0", "1,0,0,1,0,0,0,0,0,0"},
      {"0,5.1,1,1,0,0,0,0,0,0", "0,0,1,1,0,0,0,0,0,0"},
      {"0,3,0,1,0,0,0,0,0,0", "0,3,0,1,0,0,0,0,0,0"},
      {"0,.5,0,1,0,0,0,0,0,0", "1,0,0,1,0,0,0,0,0,0"},
      {"0,1.,0,1,0,0,0,0,0,0", "1,0,0,1,0,0,0,0,0,0"},
      // Dwell times in tenths of a second, 0.3 to 5.0, are kept as stored.
      {"0,0.8,0,1,0,0,0,0,0,0", "0,0.8,0,1,0,0,0,0,0,0"},
      {"0,1.5,0,1,0,0,0,0,0,0", "0,1.5,0,1,0,0,0,0,0,0"},
      {"0,0.3,0,1,0,0,0,0,0,0", "0,0.3,0,1,0,0,0,0,0,0"},
      {"0,5.0,0,1,0,0,0,0,0,0", "0,5.0,0,1,0,0,0,0,0,0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    FakeSettingsStore store;
    store.SetCp932("Option", c.stored);
    Settings s;
    s.Load(store, SettingsEnvironment{});
    EXPECT_EQ(WriteCommaText(s.optionList), c.loaded);
  }
}

}  // namespace
}  // namespace velkor::testing
