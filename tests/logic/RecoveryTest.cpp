// Unsaved work is never lost: a close without a question keeps the text in a
// slot, a crash leaves a recovery copy that the next start puts into a slot,
// and the next start says where the text went.
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "document/TextFile.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

constexpr char kDwell[] = "0,2,0,1,0,0,0,0,0,0";
constexpr char kArrows[] = "0,0,1,1,0,0,0,0,0,0";
constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";

class RecoveryTest : public ::testing::Test {
 protected:
  // One run of the program over the same files and settings.
  std::unique_ptr<MainForm> Start(const char* option) {
    fake_.store.SetCp932("Option", option);
    auto form = std::make_unique<MainForm>(fake_.Get());
    fake_.memMain.onChange = [f = form.get()] { f->MemMainChange(); };
    EXPECT_TRUE(form->FormCreate());
    form->FormShow();
    return form;
  }
  std::string Slot(int n) { return SlotPath(DataDir(), n); }
  // The next run starts with a fresh edit area.
  void NewRun() {
    fake_.memMain.text.clear();
    fake_.memMain.selStart = fake_.memMain.selLength = 0;
    fake_.memMain.modified = false;
    fake_.pnlMsg.text.clear();
    fake_.window.messages.clear();
  }
  std::string DataDir() { return fake_.shell.programFolder + "Data/"; }
  std::string Notice() { return cp932::ToUtf8(fake_.pnlMsg.text); }

  FakePlatform fake_;
};

class RecoveryCloseTest : public RecoveryTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RecoveryCloseTest, CloseWithoutAQuestionKeepsTheTextInTheLowestEmptySlot) {
  {
    const char* mode = GetParam();
    fake_.files.files[Slot(0)] = "taken";
    fake_.files.files[Slot(1)] = "taken";
    {
      auto form = Start(mode);
      fake_.memMain.Type(Sj("看護師さんを\r\n呼んで"));
      ASSERT_TRUE(form->FormClose());
      EXPECT_TRUE(fake_.window.questions.empty());
    }
    EXPECT_EQ(fake_.files.files[Slot(2)], Sj("看護師さんを\r\n呼んで"));
    EXPECT_EQ(fake_.files.files[Slot(0)], "taken");

    NewRun();
    auto next = Start(mode);
    EXPECT_EQ(Notice(), "未保存の文書を文書02.txt に保存しました");
    // Otherwise the start is as always: an untitled, empty document.
    EXPECT_TRUE(next->State().curFileName.empty());
    EXPECT_TRUE(fake_.memMain.text.empty());
    EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kNoticeName));
    fake_.pnlMsg.text.clear();
    ASSERT_TRUE(next->FormClose());
    NewRun();
    auto third = Start(mode);
    EXPECT_EQ(Notice(), "");  // told once
  }
}

INSTANTIATE_TEST_SUITE_P(DwellAndArrowKeys, RecoveryCloseTest, ::testing::Values(kDwell, kArrows));

TEST_F(RecoveryTest, ClickModeAnsweredYesDiscardsAsBefore) {
  auto form = Start(kClick);
  fake_.memMain.Type("draft");
  form->Unsaved().RecoveryTimerTick();
  ASSERT_TRUE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
  fake_.window.answerYes = true;
  ASSERT_TRUE(form->FormClose());
  EXPECT_EQ(fake_.window.questions.size(), 1u);
  for (int n = 0; n < 100; ++n) EXPECT_FALSE(fake_.files.Exists(Slot(n)));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kNoticeName));
}

TEST_F(RecoveryTest, ACrashLeavesACopyThatTheNextStartPutsIntoASlot) {
  {
    auto form = Start(kDwell);
    fake_.memMain.Type(Sj("水を飲みたい。"));
    EXPECT_TRUE(fake_.recoveryTimer.running);
    const int starts = fake_.recoveryTimer.starts;
    fake_.memMain.Type("x");  // within the same ten seconds: no new start
    EXPECT_EQ(fake_.recoveryTimer.starts, starts);
    form->Unsaved().RecoveryTimerTick();
    EXPECT_EQ(fake_.files.files[DataDir() + Recovery::kCopyName], Sj("水を飲みたい。x"));
    // The program dies here: no close.
  }
  NewRun();
  fake_.files.files[Slot(0)] = "taken";
  auto next = Start(kClick);
  EXPECT_EQ(fake_.files.files[Slot(1)], Sj("水を飲みたい。x"));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
  ASSERT_EQ(fake_.window.messages.size(), 1u);  // click mode: a message box
  EXPECT_EQ(cp932::ToUtf8(fake_.window.messages[0].first), "未保存の文書を文書01.txt に保存しました");
}

TEST_F(RecoveryTest, WithEverySlotTakenTheCopyStaysAndTheMessageNamesIt) {
  for (int n = 0; n < 100; ++n) fake_.files.files[Slot(n)] = "taken";
  {
    auto form = Start(kDwell);
    fake_.memMain.Type("keep me");
    ASSERT_TRUE(form->FormClose());
  }
  EXPECT_EQ(fake_.files.files[DataDir() + Recovery::kCopyName], "keep me");
  NewRun();
  auto next = Start(kDwell);
  EXPECT_EQ(Notice(), "未保存の文書を" + DataDir() + ".unsaved.txt に保存しました");
  EXPECT_EQ(fake_.files.files[DataDir() + Recovery::kCopyName], "keep me");
}

TEST_F(RecoveryTest, SavingOrANewDocumentRemovesTheCopy) {
  auto form = Start(kDwell);
  fake_.memMain.Type("text");
  form->Unsaved().RecoveryTimerTick();
  ASSERT_TRUE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
  form->State().curFileName = Slot(7);
  form->Docs().SaveDocument(Slot(7));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kCopyName));

  fake_.memMain.Type("more");
  form->Unsaved().RecoveryTimerTick();
  ASSERT_TRUE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
  form->Docs().ActFileNewExecute();
  EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
}

TEST_F(RecoveryTest, NothingIsKeptWithoutUnsavedText) {
  auto form = Start(kDwell);
  form->Unsaved().RecoveryTimerTick();
  EXPECT_FALSE(fake_.files.Exists(DataDir() + Recovery::kCopyName));
  fake_.memMain.Type("abc");
  fake_.memMain.SetModified(false);  // as after a save
  ASSERT_TRUE(form->FormClose());
  for (int n = 0; n < 100; ++n) EXPECT_FALSE(fake_.files.Exists(Slot(n)));
}

}  // namespace
}  // namespace velkor::testing
