// Fonts and colours chosen in the dialogs: what they change in the settings,
// on the board and in the edit area, and what they leave alone.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

class AppearanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<MainForm>(fake_.Get());
    fake_.memMain.onChange = [this] { form_->MemMainChange(); };
    ASSERT_TRUE(form_->FormCreate());
    form_->FormShow();
  }
  StringList& Crt() { return form_->State().settings.crtList; }

  FakePlatform fake_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(AppearanceTest, BoardFontResetsEverySizeListAndTheCellSize) {
  Crt()[crt::kTab0Sizes] = "40";
  Crt()[crt::kTab1Sizes] = "41";
  Crt()[crt::kTab2Sizes] = "42";
  fake_.sgd00.SetColWidth(3, 70);
  fake_.dialogs.fonts.push_back(FontSpec{"Board", 30, colours::clRed});

  form_->Board().ActDspMojiFontExecute();

  EXPECT_EQ(fake_.dialogs.fontPresets.at(0).size, 22);  // preset with the current font
  EXPECT_EQ(Crt()[crt::kBoardFontName], "Board");
  EXPECT_EQ(Crt()[crt::kBoardFontSize], "30");
  EXPECT_EQ(Crt()[crt::kBoardFontColour], "clRed");
  EXPECT_EQ(Crt()[crt::kTab0Sizes], "0");
  EXPECT_EQ(Crt()[crt::kTab1Sizes], "0");
  EXPECT_EQ(Crt()[crt::kTab2Sizes], "0");
  EXPECT_EQ(fake_.sgd00.font, (FontSpec{"Board", 30, colours::clRed}));
  EXPECT_EQ(fake_.sgd00.DefaultRowHeight(), 44);  // 30 pt at 96 ppi is 40 px, plus 4
  EXPECT_EQ(fake_.sgd00.ColWidth(3), 44);
  EXPECT_EQ(fake_.sgd00.ColWidth(0), 5);
  EXPECT_EQ(fake_.pnlMsg.height, 48);
  EXPECT_EQ(fake_.pnlMsg.font.name, "Board");
}

TEST_F(AppearanceTest, CancelledDialogsChangeNothing) {
  const StringList before = Crt();
  form_->Board().ActDspMojiFontExecute();
  form_->Edit().ActDspFontExecute();
  form_->Board().MnuDspEclrClick(BoardDisplay::ColourTarget::Board);
  EXPECT_EQ(Crt(), before);
  EXPECT_EQ(fake_.sgd00.background, colours::clWindow);
}

TEST_F(AppearanceTest, BackgroundColoursGoToTheirTargetAndReachTheSettingsAtClose) {
  fake_.dialogs.colours = {colours::clCream, colours::Rgb(1, 2, 3)};
  form_->Board().MnuDspEclrClick(BoardDisplay::ColourTarget::EditArea);
  form_->Board().MnuDspEclrClick(BoardDisplay::ColourTarget::Board);
  EXPECT_EQ(fake_.memMain.background, colours::clCream);
  EXPECT_EQ(fake_.sgd00.background, colours::Rgb(1, 2, 3));
  EXPECT_EQ(fake_.sgd00.fixedColour, colours::clBtnFace);
  EXPECT_EQ(Crt()[crt::kEditBackground], "clWindow");  // not yet: written at close
  ASSERT_TRUE(form_->FormClose());
  EXPECT_EQ(Crt()[crt::kEditBackground], "clCream");
  EXPECT_EQ(Crt()[crt::kBoardBackground], "$00030201");
}

TEST_F(AppearanceTest, EditFontKeepsTextCaretAndSelectionAndRecordsNothing) {
  fake_.memMain.Type("abc");
  fake_.memMain.Type("def");
  fake_.memMain.selStart = 2;
  fake_.memMain.selLength = 3;
  const int entries = form_->UndoLog().Count();
  fake_.dialogs.fonts.push_back(FontSpec{"Edit", 12, colours::clNavy});

  form_->Edit().ActDspFontExecute();

  EXPECT_EQ(fake_.memMain.text, "abcdef");
  EXPECT_EQ(fake_.memMain.selStart, 2);
  EXPECT_EQ(fake_.memMain.selLength, 3);
  EXPECT_EQ(form_->UndoLog().Count(), entries);
  EXPECT_TRUE(form_->UndoLog().Armed());
  EXPECT_EQ(fake_.memMain.font, (FontSpec{"Edit", 12, colours::clNavy}));
  EXPECT_EQ(fake_.edtInp.font, (FontSpec{"Edit", 12, colours::clNavy}));
  EXPECT_EQ(Crt()[crt::kEditFontSize], "12");
  // Undo steps back over the last change before the font change.
  form_->UndoLog().Undo();
  EXPECT_EQ(fake_.memMain.text, "abc");
}

TEST_F(AppearanceTest, EditFontOnAnEmptyTextLeavesTheJournalDisarmed) {
  fake_.dialogs.fonts.push_back(FontSpec{"Edit", 12, colours::clWindowText});
  form_->Edit().ActDspFontExecute();
  EXPECT_FALSE(form_->UndoLog().Armed());
  fake_.memMain.Type("x");
  EXPECT_EQ(form_->UndoLog().Count(), 0);
}

}  // namespace
}  // namespace velkor::testing
