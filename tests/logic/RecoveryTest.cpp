// Unsaved work is never lost: a close without a question keeps the text in a
// slot, a crash leaves a recovery copy that the next start puts into a slot,
// and the next start says where the text went.
#include <gtest/gtest.h>

#include <set>

#include "form/MainForm.h"
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
    fake_.pnlMsg.message.clear();
    fake_.window.messages.clear();
  }
  std::string DataDir() { return fake_.shell.programFolder + "Data/"; }
  std::string Notice() { return cp932::ToUtf8(fake_.pnlMsg.message); }

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
    EXPECT_FALSE(fake_.files.Exists(DataDir() + ".unsaved-notice-0"));
    fake_.pnlMsg.message.clear();
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
  ASSERT_TRUE(fake_.files.Exists(form->Unsaved().CopyPath()));
  fake_.window.answerYes = true;
  ASSERT_TRUE(form->FormClose());
  EXPECT_EQ(fake_.window.questions.size(), 1u);
  for (int n = 0; n < 100; ++n) EXPECT_FALSE(fake_.files.Exists(Slot(n)));
  EXPECT_FALSE(fake_.files.Exists(form->Unsaved().CopyPath()));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + ".unsaved-notice-0"));
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
    EXPECT_EQ(fake_.files.files[form->Unsaved().CopyPath()], Sj("水を飲みたい。x"));
    // The program dies here: no close.
  }
  NewRun();
  fake_.files.files[Slot(0)] = "taken";
  auto next = Start(kClick);
  EXPECT_EQ(fake_.files.files[Slot(1)], Sj("水を飲みたい。x"));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + ".unsaved-0.txt"));
  ASSERT_EQ(fake_.window.messages.size(), 1u);  // click mode: a message box
  EXPECT_EQ(cp932::ToUtf8(fake_.window.messages[0].first), "未保存の文書を文書01.txt に保存しました");
}

TEST_F(RecoveryTest, ACopyLeftByAnEarlierRunStaysUntilASlotTakesIt) {
  for (int n = 0; n < 100; ++n) fake_.files.files[Slot(n)] = "taken";
  const std::string copy = DataDir() + ".unsaved-0.txt";
  {
    auto form = Start(kDwell);
    fake_.memMain.Type("keep me");
    ASSERT_TRUE(form->FormClose());
  }
  EXPECT_EQ(fake_.files.files[copy], "keep me");
  NewRun();
  {
    auto next = Start(kDwell);
    EXPECT_EQ(Notice().rfind("未保存の文書を" + copy + " に保存しました", 0), 0u) << Notice();
    // This run writes a copy of its own and never touches the earlier one:
    // not by its own copy, a save, a new document, opening or a quiet close.
    EXPECT_NE(next->Unsaved().CopyPath(), copy);
    fake_.memMain.Type("new text");
    next->Unsaved().RecoveryTimerTick();
    EXPECT_EQ(fake_.files.files[next->Unsaved().CopyPath()], "new text");
    next->State().curFileName = Slot(3);
    next->Docs().SaveDocument(Slot(3));
    next->Docs().ActFileNewExecute();
    next->Docs().OpenDocument(Slot(4));
    ASSERT_TRUE(next->FormClose());
    EXPECT_EQ(fake_.files.files[copy], "keep me");
  }
  // Once a slot is free, the next start moves the copy there.
  fake_.files.files.erase(Slot(42));
  NewRun();
  auto third = Start(kDwell);
  EXPECT_EQ(fake_.files.files[Slot(42)], "keep me");
  EXPECT_FALSE(fake_.files.Exists(copy));
  EXPECT_EQ(Notice(), "未保存の文書を文書42.txt に保存しました");
}

TEST_F(RecoveryTest, EachRunningProgramKeepsACopyOfItsOwnAndOnlyEndedOnesAreRecovered) {
  // Another program runs and holds copy number 0; an ended one left number 1.
  fake_.fs.heldElsewhere.insert(DataDir() + ".unsaved-0.lock");
  fake_.files.files[DataDir() + ".unsaved-0.txt"] = "live";
  fake_.files.files[DataDir() + ".unsaved-1.txt"] = "crashed";
  auto form = Start(kDwell);
  EXPECT_EQ(fake_.files.files[Slot(0)], "crashed");
  EXPECT_EQ(fake_.files.files[DataDir() + ".unsaved-0.txt"], "live");
  EXPECT_FALSE(fake_.files.Exists(DataDir() + ".unsaved-1.txt"));
  EXPECT_EQ(form->Unsaved().CopyPath(), DataDir() + ".unsaved-1.txt");

  // Its save removes its own copy, never the other program's.
  fake_.memMain.Type("mine");
  form->Unsaved().RecoveryTimerTick();
  form->State().curFileName = Slot(5);
  form->Docs().SaveDocument(Slot(5));
  EXPECT_FALSE(fake_.files.Exists(DataDir() + ".unsaved-1.txt"));
  EXPECT_EQ(fake_.files.files[DataDir() + ".unsaved-0.txt"], "live");
}

TEST_F(RecoveryTest, CopiesOfSeveralEndedProgramsEachGetASlot) {
  fake_.files.files[DataDir() + ".unsaved-0.txt"] = "first";
  fake_.files.files[DataDir() + ".unsaved-3.txt"] = "second";
  fake_.files.files[DataDir() + ".unsaved.txt"] = "from an older version";
  auto form = Start(kDwell);
  std::set<std::string> slots;
  for (int n = 0; n < 3; ++n) slots.insert(fake_.files.files[Slot(n)]);
  EXPECT_EQ(slots, (std::set<std::string>{"first", "second", "from an older version"}));
  EXPECT_NE(Notice().find("文書02.txt"), std::string::npos) << Notice();
  for (const auto& [path, bytes] : fake_.files.files) EXPECT_EQ(path.find(".unsaved"), std::string::npos) << path;
}

TEST_F(RecoveryTest, ACloseThatTheDataFolderCannotTakeUsesThePerUserFolderOrStaysOpen) {
  const std::string perUser = fake_.shell.userDataFolder + "VelkorLT/Data/";
  {
    auto form = Start(kDwell);
    fake_.memMain.Type(Sj("大事な文"));
    form->Unsaved().RecoveryTimerTick();  // a copy from before the disk filled
    for (int n = 0; n < 100; ++n) fake_.files.unwritable.insert(Slot(n));
    fake_.files.unwritable.insert(form->Unsaved().CopyPath());
    ASSERT_TRUE(form->FormClose());
    EXPECT_EQ(fake_.files.files[SlotPath(perUser, 0)], Sj("大事な文"));
    EXPECT_FALSE(fake_.files.Exists(form->Unsaved().CopyPath())) << "the text would come back twice";
  }

  NewRun();
  auto next = Start(kDwell);
  EXPECT_EQ(Notice(), "未保存の文書を" + SlotPath(perUser, 0) + " に保存しました");
  for (int n = 0; n < 100; ++n) fake_.files.unwritable.insert(SlotPath(perUser, n));
  fake_.files.unwritable.insert(next->Unsaved().CopyPath());
  fake_.memMain.Type("nowhere to go");
  EXPECT_FALSE(next->FormClose());
  EXPECT_FALSE(next->Closed());
  EXPECT_EQ(Notice().rfind("未保存の文書を保存できないため、終了しません", 0), 0u) << Notice();
  EXPECT_EQ(fake_.memMain.text, "nowhere to go");
}

class KeepBeforeReplacingTest : public RecoveryTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(KeepBeforeReplacingTest, OpeningASlotOrANewDocumentKeepsUnsavedTextFirst) {
  fake_.files.files[Slot(0)] = "taken";
  fake_.files.files[Slot(5)] = "slot five";
  auto form = Start(GetParam());
  fake_.memMain.Type(Sj("書きかけ"));
  // Slot 1 is the one about to be opened, so the text goes to slot 2.
  form->Docs().OpenDocument(Slot(1));
  EXPECT_EQ(fake_.files.files[Slot(2)], Sj("書きかけ"));
  EXPECT_EQ(Notice(), "未保存の文書を文書02.txt に保存しました");
  EXPECT_EQ(form->State().curFileName, Slot(1));
  EXPECT_TRUE(fake_.memMain.text.empty());

  fake_.memMain.Type("more");
  form->Docs().ActFileNewExecute();
  EXPECT_EQ(fake_.files.files[Slot(1)], "more");
  EXPECT_EQ(Notice(), "未保存の文書を文書01.txt に保存しました");
  EXPECT_TRUE(fake_.memMain.text.empty());

  // Text that no slot can take stays where it is, and the open is given up.
  fake_.memMain.Type("stays");
  for (int n = 0; n < 100; ++n) fake_.files.unwritable.insert(Slot(n));
  for (int n = 0; n < 100; ++n)
    fake_.files.unwritable.insert(SlotPath(fake_.shell.userDataFolder + "VelkorLT/Data/", n));
  form->Docs().OpenDocument(Slot(5));
  EXPECT_EQ(fake_.memMain.text, "stays");
  EXPECT_TRUE(fake_.memMain.modified);
  EXPECT_EQ(Notice().rfind("未保存の文書を保存できないため、取りやめました", 0), 0u) << Notice();
  EXPECT_TRUE(fake_.window.questions.empty());
}

INSTANTIATE_TEST_SUITE_P(DwellAndArrowKeys, KeepBeforeReplacingTest, ::testing::Values(kDwell, kArrows));

TEST_F(RecoveryTest, ClickModeStillAsksBeforeOpening) {
  fake_.files.files[Slot(5)] = "slot five";
  auto form = Start(kClick);
  fake_.memMain.Type("draft");
  fake_.window.answerYes = false;
  form->Docs().OpenDocument(Slot(5));
  EXPECT_EQ(fake_.window.questions.size(), 1u);
  EXPECT_EQ(fake_.memMain.text, "draft");
  EXPECT_FALSE(fake_.files.Exists(Slot(0)));
}

TEST_F(RecoveryTest, TemporaryFilesOfEndedSavesAreRemovedAtStartAndLiveOnesKept) {
  fake_.fs.running.insert(777);
  fake_.files.files[DataDir() + ".velkorlt-555-3.tmp"] = "half a save";
  fake_.files.files[DataDir() + ".velkorlt-777-1.tmp"] = "a save under way";
  fake_.files.files[DataDir() + ".velkorlt-notes.tmp"] = "not ours";
  auto form = Start(kDwell);
  EXPECT_FALSE(fake_.files.Exists(DataDir() + ".velkorlt-555-3.tmp"));
  EXPECT_TRUE(fake_.files.Exists(DataDir() + ".velkorlt-777-1.tmp"));
  EXPECT_TRUE(fake_.files.Exists(DataDir() + ".velkorlt-notes.tmp"));
}

// The learning folder is written too (the learning, and the old text of
// files written in place): what ended programs left there goes at start.
TEST_F(RecoveryTest, TemporaryFilesOfEndedProgramsLeaveTheLearningFolderToo) {
  const std::string learning = fake_.shell.userDataFolder + "VelkorLT/";
  fake_.fs.dirs.insert(learning);
  fake_.fs.running.insert(777);
  fake_.files.files[learning + ".velkorlt-555-3.tmp"] = "half a learning file";
  fake_.files.files[learning + ".velkorlt-777-1.tmp"] = "a write under way";
  fake_.files.files[learning + "learning.txt"] = "VelkorLT learning 2\t0\n";
  auto form = Start(kDwell);
  EXPECT_FALSE(fake_.files.Exists(learning + ".velkorlt-555-3.tmp"));
  EXPECT_TRUE(fake_.files.Exists(learning + ".velkorlt-777-1.tmp"));
  EXPECT_TRUE(fake_.files.Exists(learning + "learning.txt"));
}

// Saving a document in any folder first clears what ended programs' saves
// left in that folder.
TEST_F(RecoveryTest, TemporaryFilesOfEndedSavesLeaveTheFolderOfASavedDocument) {
  auto form = Start(kDwell);
  fake_.files.files["/docs/.velkorlt-555-3.tmp"] = "half a save";
  fake_.memMain.Type("text");
  form->State().curFileName = "/docs/a.txt";
  ASSERT_TRUE(form->Docs().SaveDocument("/docs/a.txt"));
  EXPECT_FALSE(fake_.files.Exists("/docs/.velkorlt-555-3.tmp"));
}

TEST_F(RecoveryTest, SavingOrANewDocumentRemovesTheCopy) {
  auto form = Start(kDwell);
  fake_.memMain.Type("text");
  form->Unsaved().RecoveryTimerTick();
  ASSERT_TRUE(fake_.files.Exists(form->Unsaved().CopyPath()));
  form->State().curFileName = Slot(7);
  form->Docs().SaveDocument(Slot(7));
  EXPECT_FALSE(fake_.files.Exists(form->Unsaved().CopyPath()));

  fake_.memMain.Type("more");
  form->Unsaved().RecoveryTimerTick();
  ASSERT_TRUE(fake_.files.Exists(form->Unsaved().CopyPath()));
  form->Docs().ActFileNewExecute();
  EXPECT_FALSE(fake_.files.Exists(form->Unsaved().CopyPath()));
}

TEST_F(RecoveryTest, NothingIsKeptWithoutUnsavedText) {
  auto form = Start(kDwell);
  form->Unsaved().RecoveryTimerTick();
  EXPECT_FALSE(fake_.files.Exists(form->Unsaved().CopyPath()));
  fake_.memMain.Type("abc");
  fake_.memMain.SetModified(false);  // as after a save
  ASSERT_TRUE(form->FormClose());
  for (int n = 0; n < 100; ++n) EXPECT_FALSE(fake_.files.Exists(Slot(n)));
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// At the end of the desktop session nobody can answer a question, even in
// click mode: the unsaved text goes into a slot and the settings are written.
TEST(SessionEndTest, TheEndOfTheSessionKeepsTheTextAndTheSettingsWithoutAQuestion) {
  FakePlatform fake;
  fake.store.SetCp932("Option", "1,0,0,1,0,0,0,0,0,0");
  MainForm form(fake.Get());
  fake.memMain.onChange = [&form] { form.MemMainChange(); };
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  fake.memMain.Type(Sj("最後の一文"));
  fake.store.values.clear();
  form.EndSession();
  EXPECT_TRUE(fake.window.questions.empty());
  EXPECT_EQ(fake.files.files[SlotPath(form.State().dataDir, 0)], Sj("最後の一文"));
  EXPECT_FALSE(fake.store.values[std::string("Crt")].empty());
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(form.FormClose()) << "the window then closes without more ado";
  EXPECT_TRUE(fake.window.questions.empty());
}

// The session manager asks to save, and the user then cancels the logout:
// the text is safe in the recovery copy, the settings are written, and the
// program goes on as before; its next close asks as usual.
TEST(SessionEndTest, ACancelledSessionEndLeavesTheProgramUsableAndTheNextCloseAsks) {
  FakePlatform fake;
  fake.store.SetCp932("Option", "1,0,0,1,0,0,0,0,0,0");
  MainForm form(fake.Get());
  fake.memMain.onChange = [&form] { form.MemMainChange(); };
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  fake.memMain.Type(Sj("書きかけ"));
  fake.store.values.clear();
  form.SessionMayEnd();
  EXPECT_TRUE(fake.window.questions.empty());
  EXPECT_EQ(fake.files.files[form.Unsaved().CopyPath()], Sj("書きかけ")) << "kept should the session end after all";
  EXPECT_FALSE(fake.store.values[std::string("Crt")].empty());
  EXPECT_FALSE(form.Closed());

  fake.memMain.Type(Sj("の文"));
  EXPECT_TRUE(fake.memMain.modified);
  form.UndoLog().Undo();
  EXPECT_EQ(fake.memMain.text, Sj("書きかけ")) << "the journal still runs";
  fake.window.answerYes = false;
  EXPECT_FALSE(form.FormClose()) << "asked, and the answer was to stay";
  EXPECT_EQ(fake.window.questions.size(), 1u);
  fake.window.answerYes = true;
  EXPECT_TRUE(form.FormClose());
  EXPECT_FALSE(fake.files.Exists(form.Unsaved().CopyPath())) << "given up by the answer";
}

// A signal ends the session while the start's message box is open: the text
// the start recovered stays in its slot, and the next start says again where
// it went, since nobody may have read the box.
TEST(SessionEndTest, TheEndOfTheSessionDuringTheStartNoticeLeavesTheNoticeForTheNextStart) {
  FakePlatform fake;
  fake.store.SetCp932("Option", "1,0,0,1,0,0,0,0,0,0");
  const std::string data = fake.shell.programFolder + "Data/";
  fake.files.files[data + ".unsaved-4.txt"] = Sj("落ちる前の文");
  {
    MainForm form(fake.Get());
    fake.window.whileBoxOpen = [&form, &fake] {
      fake.window.whileBoxOpen = nullptr;
      form.EndSession();
    };
    ASSERT_TRUE(form.FormCreate());
    form.FormShow();
    ASSERT_EQ(fake.window.messages.size(), 1u);
    EXPECT_TRUE(form.Closed());
  }
  EXPECT_EQ(fake.files.files[SlotPath(data, 0)], Sj("落ちる前の文"));
  fake.window.messages.clear();
  MainForm next(fake.Get());
  ASSERT_TRUE(next.FormCreate());
  next.FormShow();
  ASSERT_EQ(fake.window.messages.size(), 1u);
  EXPECT_EQ(cp932::ToUtf8(fake.window.messages.front().first), "未保存の文書を文書00.txt に保存しました");
}

}  // namespace
}  // namespace velkor::testing
