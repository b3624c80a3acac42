#include "form/MainForm.h"

#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "board/BoardModel.h"

using namespace velkor;
using namespace velkor::testing;

namespace {

const std::string kProgramData = "/opt/velkor/Data/";
const std::string kUserData = "/home/user/.local/share/VelkorLT/Data/";

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    // The window's design fonts.
    p.memMain.font = {Sj("ＭＳ ゴシック"), 20, colours::clWindowText};
    p.sgd00.font = {Sj("ＭＳ ゴシック"), 22, colours::clWindowText};
    p.fs.dirs = {"/opt/velkor/", "/home/user/.local/share/"};
    p.memMain.onChange = [this] { form.MemMainChange(); };
  }

  void Start() {
    ASSERT_TRUE(form.FormCreate());
    form.FormShow();
  }
  Settings& S() { return form.State().settings; }
  // The Crt list a first run on the fake screen computes.
  static StringList FirstRunCrt() {
    SettingsEnvironment env;
    env.screenWidth = 1280;
    env.screenHeight = 1024;
    env.windowWidth = 625;
    env.windowHeight = 351;
    env.editFont = {Sj("ＭＳ ゴシック"), 20, colours::clWindowText};
    env.boardFont = {Sj("ＭＳ ゴシック"), 22, colours::clWindowText};
    env.userTabContent[0] = board::DefaultUserTabContent(1);
    env.userTabContent[1] = board::DefaultUserTabContent(2);
    return Settings::DefaultCrtList(env);
  }
  static std::string OptionText(const std::string& first5) { return first5 + ",0,0,0,0,0"; }

  FakePlatform p;
  MainForm form{p.Get()};
};

}  // namespace

TEST_F(MainFormTest, DataFolderChoice) {
  struct Case {
    const char* name;
    std::set<std::string> existing, uncreatable, unwritable;
    std::string dataDir;
    std::vector<std::string> created;
  } cases[] = {
      {"exists", {kProgramData}, {}, {}, kProgramData, {}},
      {"missing", {}, {}, {}, kProgramData, {kProgramData}},
      {"program folder refuses creation", {}, {kProgramData}, {}, kUserData, {kUserData}},
      {"exists but not writable", {kProgramData}, {}, {kProgramData}, kUserData, {kUserData}},
      {"created but not writable", {}, {}, {kProgramData}, kUserData, {kProgramData, kUserData}},
      {"per-user folder exists", {kUserData}, {kProgramData}, {}, kUserData, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform fp;
    fp.fs.dirs = c.existing;
    fp.fs.dirs.insert("/opt/velkor/");
    fp.fs.uncreatable = c.uncreatable;
    fp.fs.unwritable = c.unwritable;
    MainForm mf(fp.Get());
    ASSERT_TRUE(mf.FormCreate());
    EXPECT_EQ(mf.State().dataDir, c.dataDir);
    EXPECT_EQ(fp.fs.created, c.created);
    EXPECT_EQ(mf.State().helpFileName, "/opt/velkor/VelkorLTH.hlp");
    EXPECT_TRUE(fp.window.messages.empty());
  }
}

TEST_F(MainFormTest, NoDataFolderEndsCreation) {
  p.fs.uncreatable = {kProgramData, kUserData};
  EXPECT_FALSE(form.FormCreate());
  ASSERT_EQ(p.window.messages.size(), 1u);
  EXPECT_EQ(p.window.messages[0].first, "Cannot create DataDir");
  EXPECT_EQ(p.window.messages[0].second, MessageIcon::Error);
  EXPECT_TRUE(S().crtList.empty());
  EXPECT_TRUE(form.State().defaultBoardList.empty());
  EXPECT_EQ(p.store.writeOpens, 0);
  EXPECT_TRUE(p.store.values.empty());
}

TEST_F(MainFormTest, CreationLoadsSettingsAndBuildsTheBoardList) {
  ASSERT_TRUE(form.FormCreate());
  EXPECT_EQ(S().crtList, FirstRunCrt());
  EXPECT_EQ(form.State().defaultBoardList, board::BuiltInBoard());
  EXPECT_EQ(p.window.caption, "Velkor*LT");
}

TEST_F(MainFormTest, FirstShowingOfAFirstRun) {
  form.State().curFileName = "/tmp/last.txt";
  p.memMain.text = "left over";
  p.memMain.modified = true;
  p.tabC00.index = 2;
  Start();

  EXPECT_EQ(p.window.caption, "Velkor*LT*V3.2-新規");
  EXPECT_FALSE(p.window.fileSaveEnabled);
  EXPECT_TRUE(form.State().curFileName.empty());
  EXPECT_EQ(p.memMain.text, "");
  EXPECT_FALSE(p.memMain.modified);
  EXPECT_EQ(p.memMain.changeCount, 0);
  EXPECT_EQ(form.UndoLog().Count(), 0);

  EXPECT_EQ(p.window.rect, (WindowRect{327, 336, 710, 500}));
  EXPECT_EQ(p.window.lowerPanelHeight, 330);
  EXPECT_EQ(p.window.boardPanelWidth, 531);
  const FontSpec editFont{Sj("ＭＳ ゴシック"), 20, colours::clWindowText};
  EXPECT_EQ(p.memMain.font, editFont);
  EXPECT_EQ(p.edtInp.font, editFont);
  EXPECT_EQ(p.sgd00.cols, 21);
  EXPECT_EQ(p.sgd00.rows, 8);
  EXPECT_EQ(p.sgd00.defaultRowHeight, 33);
  EXPECT_EQ(p.pnlMsg.height, 37);

  EXPECT_EQ(p.tabC00.names, (StringList{Sj("基本"), Sj("拡張１"), Sj("拡張２")}));
  EXPECT_EQ(p.tabC00.index, 0);
  EXPECT_EQ(p.memMain.background, colours::clWindow);
  EXPECT_EQ(p.sgd00.background, colours::clWindow);
  EXPECT_EQ(p.window.checked, (std::set<Command>{Command::ModeClick, Command::WordWrap, Command::ShowPredictionRow}));
  EXPECT_TRUE(p.memMain.wordWrap);
  EXPECT_EQ(cp932::ToUtf8(p.sgd00.CellText(1, 1)), "あ");
  EXPECT_EQ(cp932::ToUtf8(p.sgd00.CellText(1, 6)), "改~");

  EXPECT_TRUE(p.memMain.focused);
  EXPECT_EQ(p.memMain.caretCharacter, "W");
  EXPECT_EQ(p.store.writeOpens, 0);
}

// Hand-edited slots: a tab index out of range shows tab 0; unreadable
// numbers take the slot's default.
TEST_F(MainFormTest, ShowingFallsBackOnUnreadableSlots) {
  const std::pair<const char*, int> tabs[] = {{"7", 0}, {"-1", 0}, {"3", 0}, {"x", 0}, {"", 0}, {"2", 2}};
  for (const auto& [slot, tab] : tabs) {
    SCOPED_TRACE(slot);
    FakePlatform fp;
    fp.fs.dirs = {kProgramData};
    StringList crt = FirstRunCrt();
    crt[crt::kSelectedTab] = slot;
    crt[crt::kWindowWidth] = "abc";
    crt[crt::kBoardFontSize] = "0";
    crt[crt::kBoardBackground] = "purple-ish";
    fp.store.SetCp932("Crt", WriteCommaText(crt));
    fp.tabC00.index = 1;
    MainForm mf(fp.Get());
    ASSERT_TRUE(mf.FormCreate());
    mf.FormShow();
    EXPECT_EQ(fp.tabC00.index, tab);
    EXPECT_EQ(fp.window.rect.width, 710);
    EXPECT_EQ(fp.sgd00.font.size, 22);
    EXPECT_EQ(fp.sgd00.background, colours::clWindow);
  }
}

// The input-mode marks follow option slots 0 to 2 each on its own, so
// inconsistent slots give several marks; word wrap and mirroring are on
// unless their slot is "0". A slot that holds no number takes its default,
// and slots that choose no mode at all give click mode.
TEST_F(MainFormTest, ShowingSetsCheckMarks) {
  using M = Command;
  const std::pair<std::string, std::set<Command>> cases[] = {
      {"1,0,0,1,0", {M::ModeClick, M::WordWrap}},
      {"0,3,0,0,1", {M::ModeDwell, M::ModeDwell3, M::MirrorKana}},
      {"0,1,0,1,0", {M::ModeDwell, M::ModeDwell1, M::WordWrap}},
      {"0,5,0,1,0", {M::ModeDwell, M::ModeDwell5, M::WordWrap}},
      {"0,0,1,2,2", {M::ModeArrowKeys, M::WordWrap, M::MirrorKana}},
      {"1,3,1,1,0", {M::ModeClick, M::ModeDwell, M::ModeDwell3, M::ModeArrowKeys, M::WordWrap}},
      {"0,6,0,0,0", {M::ModeClick}},
      {"2,0,01,7,9", {M::ModeClick, M::WordWrap, M::MirrorKana}},
      {"yes,?,on,x,", {M::ModeClick, M::WordWrap}},
  };
  for (const auto& [option, marks] : cases) {
    SCOPED_TRACE(option);
    FakePlatform fp;
    fp.fs.dirs = {kProgramData};
    fp.store.SetCp932("Option", OptionText(option));
    fp.window.checked = {M::ModeDwell2, M::ModeArrowKeys, M::MirrorKana, M::WordWrap};
    MainForm mf(fp.Get());
    ASSERT_TRUE(mf.FormCreate());
    mf.FormShow();
    std::set<Command> ticked = marks;
    ticked.insert(M::ShowPredictionRow);  // on by default
    EXPECT_EQ(fp.window.checked, ticked);
    EXPECT_EQ(fp.memMain.wordWrap, marks.count(M::WordWrap) > 0);
    // The mirrored board is shown at once.
    EXPECT_EQ(cp932::ToUtf8(fp.sgd00.CellText(1, 1)), marks.count(M::MirrorKana) ? "わ" : "あ");
  }
}

// The question comes only in click mode and only with unsaved changes.
TEST_F(MainFormTest, ClosingAsksOnlyInClickModeWithChanges) {
  struct Case {
    const char* name;
    std::string option;
    bool edit;
    bool answerYes;
    bool asked;
    bool closes;
  } cases[] = {
      {"click, changed, No", "1,0,0,1,0", true, false, true, false},
      {"click, changed, Yes", "1,0,0,1,0", true, true, true, true},
      {"click, unchanged", "1,0,0,1,0", false, false, false, true},
      {"dwell, changed", "0,2,0,1,0", true, false, false, true},
      {"arrow keys, changed", "0,0,1,1,0", true, false, false, true},
      {"no mode stored: click mode, changed", "0,0,0,1,0", true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform fp;
    fp.fs.dirs = {kProgramData};
    fp.store.SetCp932("Option", OptionText(c.option));
    MainForm mf(fp.Get());
    fp.memMain.onChange = [&mf] { mf.MemMainChange(); };
    ASSERT_TRUE(mf.FormCreate());
    mf.FormShow();
    if (c.edit) fp.memMain.Type("abc");
    fp.window.answerYes = c.answerYes;
    const auto before = fp.store.values;

    EXPECT_EQ(mf.FormClose(), c.closes);
    EXPECT_EQ(mf.Closed(), c.closes);
    EXPECT_EQ(fp.window.questions,
              c.asked ? std::vector<std::string>{Sj("編集中です。終了しますか？")} : std::vector<std::string>{});
    if (c.closes) {
      EXPECT_EQ(fp.store.writeOrder, (std::vector<std::string>{"File", "Option", "Crt", "Ver"}));
      EXPECT_EQ(fp.store.values["Ver"], u"*V3.2");
      EXPECT_EQ(mf.UndoLog().Count(), 0);
    } else {
      EXPECT_EQ(fp.store.writeOpens, 0);
      EXPECT_EQ(fp.store.values, before);
      EXPECT_EQ(fp.memMain.text, "abc");
      EXPECT_EQ(mf.UndoLog().Count(), 1);
      // Staying open, the next close asks again.
      fp.window.answerYes = true;
      EXPECT_TRUE(mf.FormClose());
      EXPECT_EQ(fp.window.questions.size(), 2u);
      EXPECT_EQ(fp.store.writeOpens, 1);
    }
  }
}

TEST_F(MainFormTest, ClosingTwiceWritesOnce) {
  Start();
  EXPECT_TRUE(form.FormClose());
  EXPECT_TRUE(form.FormClose());
  EXPECT_EQ(p.store.writeOpens, 1);
  EXPECT_EQ(p.store.writeOrder.size(), 4u);
}

TEST_F(MainFormTest, StoreRefusingToOpenStillCloses) {
  Start();
  p.store.writable = false;
  EXPECT_TRUE(form.FormClose());
  EXPECT_TRUE(p.store.writeOrder.empty());
  EXPECT_TRUE(p.store.values.empty());
}

// Starting and closing without changes writes back what was read, except the
// shown tab's size list, which comes back with all 25 sizes.
TEST_F(MainFormTest, FirstRunClosesWithDefaultsAndFullSizeList) {
  Start();
  ASSERT_TRUE(form.FormClose());
  StringList expected = FirstRunCrt();
  expected[crt::kTab0Sizes] = WriteCommaText(StringList(25, "33"));
  EXPECT_EQ(ReadCommaText(p.store.Cp932("Crt")), expected);
  EXPECT_EQ(p.store.Cp932("Crt"), WriteCommaText(expected));
  EXPECT_EQ(p.store.Cp932("Option"), "1,0,0,1,0,0,0,0,0,0");
  EXPECT_EQ(p.store.values["File"], u"");
}

// Stored slots reach the window, the fonts and the board, and come back at
// close exactly as they were read, extra items and old version tag aside.
TEST_F(MainFormTest, StoredSettingsAreAppliedAndComeBackUnchanged) {
  StringList crt = FirstRunCrt();
  const std::pair<int, std::string> slots[] = {
      {crt::kWindowWidth, "800"},
      {crt::kWindowHeight, "600"},
      {crt::kWindowLeft, "-20"},
      {crt::kWindowTop, "-5"},
      {crt::kEditFontName, Sj("ＭＳ 明朝")},
      {crt::kEditFontSize, "14"},
      {crt::kEditFontColour, "clNavy"},
      {crt::kLowerPanelHeight, "280"},
      {crt::kBoardPanelWidth, "500"},
      {crt::kBoardFontName, "Courier New"},
      {crt::kBoardFontSize, "18"},
      {crt::kBoardFontColour, "$00123456"},
      {crt::kTab1Content, WriteCommaText({"two words", "a,\"b\"", Sj("改~"), "~", "", Sj("ソ表")})},
      {crt::kTabNames, WriteCommaText({"A b", Sj("二"), "c,d"})},
      {crt::kTab0Sizes, "0"},
      {crt::kTab1Sizes, "30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,20,21,22,23,24"},
      {crt::kTab2Sizes, "1,2,3"},
      {crt::kSelectedTab, "1"},
      {crt::kEditBackground, "clRed"},
      {crt::kBoardBackground, "clYellow"},
  };
  for (const auto& [slot, text] : slots) crt[slot] = text;
  crt.push_back("extra");
  const std::string crtText = WriteCommaText(crt);
  const std::string optionText = "0,4,0,1,0,0,0,0,0,0,x,y";
  const std::u16string fileText = u"\"/home/u/Ελληνικά/a b.txt\",/tmp/测试/文書.txt";
  p.store.SetCp932("Crt", crtText);
  p.store.SetCp932("Option", optionText);
  p.store.values["File"] = fileText;
  p.store.values["Ver"] = u"*V1.0";

  Start();
  EXPECT_EQ(p.window.rect, (WindowRect{-20, -5, 800, 600}));
  EXPECT_EQ(p.memMain.font, (FontSpec{Sj("ＭＳ 明朝"), 14, colours::clNavy}));
  EXPECT_EQ(p.edtInp.font, p.memMain.font);
  EXPECT_EQ(p.window.lowerPanelHeight, 280);
  EXPECT_EQ(p.window.boardPanelWidth, 500);
  EXPECT_EQ(p.sgd00.font, (FontSpec{"Courier New", 18, 0x00123456}));
  EXPECT_EQ(p.sgd00.defaultRowHeight, 28);
  EXPECT_EQ(p.tabC00.names, (StringList{"A b", Sj("二"), "c,d"}));
  EXPECT_EQ(p.tabC00.index, 1);
  EXPECT_EQ(p.sgd00.CellText(1, 1), "two words");
  EXPECT_EQ(p.sgd00.ColWidth(1), 30);
  EXPECT_EQ(p.sgd00.RowHeight(5), 24);
  EXPECT_EQ(p.memMain.background, colours::clRed);
  EXPECT_EQ(p.sgd00.background, colours::clYellow);
  EXPECT_EQ(p.window.checked, (std::set<Command>{Command::ModeDwell, Command::ModeDwell4, Command::WordWrap,
                                                 Command::ShowPredictionRow}));
  ASSERT_TRUE(form.FormClose());

  EXPECT_EQ(p.store.Cp932("Crt"), crtText);
  EXPECT_EQ(p.store.Cp932("Option"), optionText);
  EXPECT_EQ(p.store.values["File"], fileText);
  EXPECT_EQ(p.store.values["Ver"], u"*V3.2");
}

// What changed while running reaches the store at close: the window, fonts,
// colours, the shown tab and its sizes.
TEST_F(MainFormTest, ClosingStoresTheWindowState) {
  Start();
  p.window.rect = {5, -7, 900, 640};
  p.window.lowerPanelHeight = 222;
  p.window.boardPanelWidth = 444;
  p.memMain.font = {"Mono", 11, colours::clGreen};
  p.memMain.background = colours::clCream;
  p.sgd00.font = {"Sans Serif", 16, colours::Rgb(1, 2, 3)};
  p.sgd00.background = colours::clSilver;
  p.tabC00.SetIndex(2);
  p.sgd00.SetColWidth(2, 50);
  S().crtList[crt::kReserved9] = "9";
  S().crtList[25] = "junk";
  S().crtList[crt::kEndMarker] = "";
  ASSERT_TRUE(form.FormClose());

  StringList expected = FirstRunCrt();
  const std::pair<int, std::string> slots[] = {
      {0, "900"}, {1, "640"},        {2, "5"},   {3, "-7"},       {4, "Mono"},
      {5, "11"},  {6, "clGreen"},    {7, "222"}, {8, "444"},      {10, "Sans Serif"},
      {11, "16"}, {12, "$00030201"}, {19, "2"},  {20, "clCream"}, {21, "clSilver"},
  };
  for (const auto& [slot, text] : slots) expected[slot] = text;
  StringList sizes(25, "33");
  sizes[1] = "50";
  expected[crt::kTab2Sizes] = WriteCommaText(sizes);
  EXPECT_EQ(ReadCommaText(p.store.Cp932("Crt")), expected);
}

TEST_F(MainFormTest, HelpAndMagnifier) {
  Start();
  form.MnuHelpClick();
  EXPECT_EQ(p.shell.helpShown,
            (std::vector<std::pair<std::string, std::string>>{{"/opt/velkor/VelkorLTH.hlp", "FrmVelkorMain"}}));
  form.ActExeZoomExecute();
  EXPECT_EQ(p.shell.started, std::vector<std::string>{"Velkorb.exe"});
}

TEST_F(MainFormTest, ChangesEnableSavingAndAreJournalled) {
  Start();
  ASSERT_FALSE(p.window.fileSaveEnabled);
  p.memMain.Type("a");
  EXPECT_TRUE(p.window.fileSaveEnabled);
  ASSERT_EQ(form.UndoLog().Count(), 1);
  EXPECT_EQ(form.UndoLog().At(0).text, "a");
  EXPECT_EQ(form.UndoLog().At(0).selStart, 1);
  p.memMain.Type(Sj("あ"));
  ASSERT_EQ(form.UndoLog().Count(), 2);
  EXPECT_EQ(form.UndoLog().At(1).text, Sj("aあ"));
  EXPECT_TRUE(p.window.fileSaveEnabled);
}

// A Data folder beside the program that cannot be written would make the
// slots look empty: the start says where documents go now, and why; an
// installed program whose folder never had one says nothing.
TEST_F(MainFormTest, AReadOnlyDataFolderIsNamedAtStart) {
  for (const bool existed : {true, false}) {
    SCOPED_TRACE(existed);
    FakePlatform fp;
    if (existed) {
      fp.fs.dirs = {kProgramData};
      fp.fs.unwritable = {kProgramData};
    } else {
      fp.fs.uncreatable = {kProgramData};
    }
    fp.store.SetCp932("Option", "0,1,0,1,0,0,0,0,0,0");
    MainForm mf(fp.Get());
    ASSERT_TRUE(mf.FormCreate());
    mf.FormShow();
    EXPECT_EQ(mf.State().dataDir, "/home/user/.local/share/VelkorLT/Data/");
    EXPECT_EQ(cp932::ToUtf8(fp.pnlMsg.message), existed
                                                    ? "文書は /home/user/.local/share/VelkorLT/Data/ に保存します（" +
                                                          kProgramData + " に書き込めないため）"
                                                    : std::string());
  }
}
