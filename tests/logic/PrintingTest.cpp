// Printing from the print action and from the board's print command: what each
// job holds, on how many pages, in which font, and what is reported when there
// is nothing to print or the printer fails.
#include <gtest/gtest.h>

#include <memory>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

using Pages = std::vector<std::vector<std::string>>;

class PrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<MainForm>(fake_.Get());
    fake_.memMain.onChange = [this] { form_->MemMainChange(); };
    ASSERT_TRUE(form_->FormCreate());
    form_->FormShow();
    fake_.memMain.focused = false;
    fake_.memMain.caretCharacter.clear();
  }
  // Click mode when `click`, else dwell mode.
  void SetClickMode(bool click) {
    if (click) {
      form_->Modes().MnuEditClickClick();
    } else {
      form_->Modes().MnuEditM30Click();
    }
  }
  void Print(int copies, bool selectionOnly = false) {
    fake_.printer.choice = PrintChoice{copies, selectionOnly};
    form_->Docs().ActFilePrintExecute();
  }
  // The message channel's texts: boxes in click mode, else the status line.
  std::vector<std::string> Reported(bool click) const {
    std::vector<std::string> texts;
    if (click) {
      for (const auto& [text, icon] : fake_.window.messages) texts.push_back(text);
    } else {
      texts = fake_.pnlMsg.history;
    }
    return texts;
  }

  FakePlatform fake_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(PrintingTest, AnEmptyTextShowsNoDialogAndSaysThereIsNothingToPrint) {
  for (bool click : {true, false}) {
    SCOPED_TRACE(click ? "click mode" : "dwell mode");
    SetClickMode(click);
    fake_.window.messages.clear();
    fake_.pnlMsg.history.clear();
    fake_.printer.dialogs = 0;
    fake_.memMain.focused = false;

    Print(1);

    EXPECT_EQ(fake_.printer.dialogs, 0);
    EXPECT_TRUE(fake_.printer.jobs.empty());
    EXPECT_EQ(Reported(click), std::vector<std::string>{Sj("印刷するデータがありません")});
    EXPECT_EQ(Reported(!click), std::vector<std::string>{});
    if (click) {
      EXPECT_EQ(fake_.window.messages.at(0).second, MessageIcon::None);
    }
    EXPECT_TRUE(fake_.memMain.focused);
    EXPECT_EQ(fake_.memMain.caretCharacter, "W");
  }
}

TEST_F(PrintingTest, ACancelledDialogPrintsNothing) {
  fake_.memMain.Type("abc");
  fake_.memMain.selStart = 1;
  fake_.printer.choice.reset();
  form_->Docs().ActFilePrintExecute();
  EXPECT_EQ(fake_.printer.dialogs, 1);
  EXPECT_TRUE(fake_.printer.jobs.empty());
  EXPECT_TRUE(fake_.window.messages.empty());
  EXPECT_TRUE(fake_.memMain.focused);
  EXPECT_EQ(fake_.memMain.caretCharacter, "b");
}

TEST_F(PrintingTest, EachCopyIsAJobOfItsOwnInTheEditFont) {
  fake_.dialogs.fonts.push_back(FontSpec{"Edit", 12, colours::clNavy});
  form_->Edit().ActDspFontExecute();
  fake_.memMain.Type("first\r\nsecond\r\n");

  Print(3);

  ASSERT_EQ(fake_.printer.jobs.size(), 3u);
  for (const FakePrinter::Job& job : fake_.printer.jobs) {
    EXPECT_EQ(job.font, (FontSpec{"Edit", 12, colours::clNavy}));
    EXPECT_EQ(job.pages, (Pages{{"first", "second"}}));
    EXPECT_TRUE(job.ended);
  }
  EXPECT_TRUE(fake_.window.messages.empty());
  EXPECT_TRUE(fake_.memMain.focused);
}

TEST_F(PrintingTest, TheSelectionRange) {
  const struct {
    const char* name;
    int selStart, selLength, copies;
    std::vector<Pages> jobs;
  } cases[] = {
      {"nothing selected", 3, 0, 2, {}},
      {"a word", 10, 3, 1, {{{"def"}}}},
      {"across line breaks, two copies", 1, 10, 2, {{{"bc", "xyz", "d"}}, {{"bc", "xyz", "d"}}}},
      {"a double-byte character", 16, 2, 1, {{{Sj("あ")}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform fake;
    MainForm form(fake.Get());
    ASSERT_TRUE(form.FormCreate());
    form.FormShow();
    fake.memMain.Type("abc\r\nxyz\r\ndefg\r\n" + Sj("あい"));
    fake.memMain.selStart = c.selStart;
    fake.memMain.selLength = c.selLength;
    fake.printer.choice = PrintChoice{c.copies, true};

    form.Docs().ActFilePrintExecute();

    std::vector<Pages> jobs;
    for (const auto& job : fake.printer.jobs) jobs.push_back(job.pages);
    EXPECT_EQ(jobs, c.jobs);
    EXPECT_TRUE(fake.window.messages.empty());
    EXPECT_TRUE(fake.pnlMsg.history.empty());
  }
}

// The fake printer's page is 400 x 300 pixels with characters 20 pixels high:
// lines of 22 pixels, and a new page once the position passes 300 - 44, so a
// page holds 12 lines.
TEST_F(PrintingTest, ManyShortLinesFillPagesFromTheirTopEdge) {
  std::string text;
  for (int i = 1; i <= 200; ++i) text += "line " + std::to_string(i) + "\r\n";
  fake_.memMain.Type(text);

  Print(1);

  ASSERT_EQ(fake_.printer.jobs.size(), 1u);
  const FakePrinter::Job& job = fake_.printer.jobs[0];
  ASSERT_EQ(job.pages.size(), 17u);
  for (std::size_t page = 0; page < 16; ++page) EXPECT_EQ(job.pages[page].size(), 12u) << page;
  EXPECT_EQ(job.pages[16].size(), 8u);
  ASSERT_EQ(job.draws.size(), 200u);
  for (std::size_t i = 0; i < job.draws.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(job.draws[i].page, i / 12);
    EXPECT_EQ(job.draws[i].x, 0);
    EXPECT_EQ(job.draws[i].y, static_cast<int>(i % 12) * 22);
    EXPECT_EQ(job.draws[i].text, "line " + std::to_string(i + 1));
  }
}

// 400 pixels hold 40 single-byte or 20 double-byte characters.
TEST_F(PrintingTest, ALongLineContinuesOnTheNextLineWithoutSplittingACharacter) {
  std::string wide;
  for (int i = 0; i < 25; ++i) wide += Sj("あ");
  fake_.memMain.Type("x" + wide);

  Print(1);

  ASSERT_EQ(fake_.printer.jobs.size(), 1u);
  const auto& draws = fake_.printer.jobs[0].draws;
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].text, "x" + wide.substr(0, 2 * 19));
  EXPECT_EQ(draws[1].text, wide.substr(2 * 19));
  EXPECT_EQ(draws[1].x, 0);
  EXPECT_EQ(draws[1].y, 22);
}

TEST_F(PrintingTest, PrintingTheTextAtOncePrintsOneJobWithoutTheDialog) {
  fake_.memMain.Type("abc");
  form_->Docs().PrintText(fake_.memMain.Text());
  EXPECT_EQ(fake_.printer.dialogs, 0);
  ASSERT_EQ(fake_.printer.jobs.size(), 1u);
  EXPECT_EQ(fake_.printer.jobs[0].pages, (Pages{{"abc"}}));
  EXPECT_EQ(fake_.printer.jobs[0].font, fake_.memMain.font);
}

TEST_F(PrintingTest, PrinterFailuresReportAPrintErrorAndNeverSuccess) {
  const struct {
    const char* name;
    bool click;
    bool canStart;
    bool endsWell;
  } cases[] = {
      {"no job can start, click mode", true, false, true},
      {"no job can start, dwell mode", false, false, true},
      {"the job ends with an error, click mode", true, true, false},
      {"the job ends with an error, dwell mode", false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool atOnce : {false, true}) {
      SCOPED_TRACE(atOnce ? "print command" : "print action");
      FakePlatform fake;
      MainForm form(fake.Get());
      ASSERT_TRUE(form.FormCreate());
      form.FormShow();
      if (c.click) {
        form.Modes().MnuEditClickClick();
      } else {
        form.Modes().MnuEditYaClick();
      }
      fake.memMain.Type("abc");
      fake.printer.canStart = c.canStart;
      fake.printer.endsWell = c.endsWell;
      fake.printer.choice = PrintChoice{1, false};

      if (atOnce) {
        form.Docs().PrintText(fake.memMain.Text());
      } else {
        form.Docs().ActFilePrintExecute();
      }

      const std::string error = Sj("印刷エラー");
      if (c.click) {
        ASSERT_EQ(fake.window.messages.size(), 1u);
        EXPECT_EQ(fake.window.messages[0].first, error);
        EXPECT_EQ(fake.window.messages[0].second, MessageIcon::Error);
        EXPECT_TRUE(fake.pnlMsg.history.empty());
      } else {
        EXPECT_TRUE(fake.window.messages.empty());
        EXPECT_EQ(fake.pnlMsg.history, std::vector<std::string>{error});
      }
      for (const auto& job : fake.printer.jobs) EXPECT_TRUE(job.ended);  // a failing job is still closed
      EXPECT_EQ(fake.memMain.text, "abc");
    }
  }
}

}  // namespace
}  // namespace velkor::testing
