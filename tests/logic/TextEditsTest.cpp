// The one path of text changes: what the logic changes and what the edit area
// reports are recorded once each; a refill that is no change of the document
// is not.
#include "document/TextEdits.h"

#include <gtest/gtest.h>

#include <functional>

#include "document/Search.h"
#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

TEST(TextEdits, EveryChangeIsRecordedOnceAndARefillIsNot) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  TextEdits& edits = form.Edits();
  const Journal& journal = form.UndoLog();
  fake.window.fileSaveEnabled = false;

  edits.SetText(Sj("開いた文書"), TextEdits::Journaling::Record);
  EXPECT_EQ(journal.Count(), 1) << "an opened text is the journal's entry";
  EXPECT_TRUE(fake.window.fileSaveEnabled);
  EXPECT_TRUE(fake.recoveryTimer.running) << "a change starts the recovery timer";

  edits.ReplaceSelection("x");
  EXPECT_EQ(journal.Count(), 2);

  // A refill (the edit font changed) shows the text anew: nothing recorded,
  // and the next real change is recorded as usual.
  const std::string shown = fake.memMain.text;
  edits.Clear();
  edits.SetText(shown, TextEdits::Journaling::Skip);
  EXPECT_EQ(journal.Count(), 2);
  edits.ReplaceSelection("y");
  EXPECT_EQ(journal.Count(), 3);
  EXPECT_EQ(journal.Index(), 2);

  // The board's insertion goes through the clipboard: one change, one entry.
  fake.clipboard = Sj("か");
  edits.PasteFromClipboard();
  EXPECT_EQ(journal.Count(), 4);
  EXPECT_NE(fake.memMain.Text().find(Sj("か")), std::string::npos);
}

// "Modified" is one rule, the journal's: the text differs from what was last
// opened or saved (an empty text for a new document), whatever path changed
// it. Each step's result is checked against the edit area's flag, which the
// whole program reads.
TEST(TextEdits, ModifiedMeansTheTextDiffersFromTheLastOpenedOrSaved) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  TextEdits& edits = form.Edits();
  Journal& journal = form.UndoLog();
  auto select = [&fake](int start, int length) {
    fake.memMain.SetSelStart(start);
    fake.memMain.SetSelLength(length);
  };
  auto refillFont = [&] {
    fake.dialogs.fonts.push_back(FontSpec{"Other", 30, colours::clBlack});
    form.Edit().ActDspFontExecute();
  };
  auto replaceAll = [&](const char* from, const char* to) {
    ReplaceAllInEditArea(fake.memMain, edits, true, from, to);
  };
  fake.files.files["/d/a.txt"] = "saved";
  struct Step {
    const char* what;
    std::function<void()> run;
    const char* text;
    bool modified;
  } steps[] = {
      {"open a file",
       [&] {
         fake.dialogs.openAnswers.push_back("/d/a.txt");
         form.Docs().ActFileOpenExecute();
       },
       "saved", false},
      {"type at the end", [&] { select(5, 0), fake.memMain.Type("!"); }, "saved!", true},
      {"delete what was typed", [&] { select(5, 1), edits.ReplaceSelection(""); }, "saved", false},
      {"replace all", [&] { replaceAll("saved", "kept"); }, "kept", true},
      {"replace all back", [&] { replaceAll("kept", "saved"); }, "saved", false},
      {"undo to the replaced text", [&] { journal.Undo(); }, "kept", true},
      {"undo to the saved text", [&] { journal.Undo(); }, "saved", false},
      {"redo", [&] { journal.Redo(); }, "kept", true},
      {"a new font keeps it modified", refillFont, "kept", true},
      {"save", [&] { form.Docs().ActFileSaveExecute(); }, "kept", false},
      {"a new font keeps it unmodified", refillFont, "kept", false},
      {"delete it all", [&] { select(0, 4), edits.ReplaceSelection(""); }, "", true},
      {"a new font on the empty text", refillFont, "", true},
      {"undo to the saved text", [&] { journal.Undo(); }, "kept", false},
      {"paste", [&] { fake.clipboard = "?", edits.PasteFromClipboard(); }, "?kept", true},
      {"a new document", [&] { form.Docs().ActFileNewExecute(); }, "", false},
      {"type into it", [&] { fake.memMain.Type("x"); }, "x", true},
      {"delete it again", [&] { select(0, 1), edits.ReplaceSelection(""); }, "", false},
  };
  for (const Step& step : steps) {
    step.run();
    EXPECT_EQ(fake.memMain.text, step.text) << step.what;
    EXPECT_EQ(fake.memMain.Modified(), step.modified) << step.what;
    EXPECT_EQ(journal.Modified(), step.modified) << step.what;
  }
}

// A replace-all is one change of the one path: one journal entry, undone in
// one step, saving enabled and a recovery copy on its way, like typing.
TEST(TextEdits, AReplaceAllIsRecordedLikeAnyOtherChange) {
  FakePlatform fake;
  MainForm form{fake.Get()};
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  fake.memMain.Type(Sj("かな かな"));
  const Journal& journal = form.UndoLog();
  const int entries = journal.Count();
  form.State().saveEnabled = false;
  fake.recoveryTimer.running = false;

  EXPECT_EQ(ReplaceAllInEditArea(fake.memMain, form.Edits(), false, Sj("かな"), Sj("仮名")), 2);
  EXPECT_EQ(fake.memMain.text, Sj("仮名 仮名"));
  EXPECT_EQ(journal.Count(), entries + 1);
  EXPECT_TRUE(form.State().saveEnabled);
  EXPECT_TRUE(fake.recoveryTimer.running);
  EXPECT_TRUE(fake.memMain.Modified());
  form.UndoLog().Undo();
  EXPECT_EQ(fake.memMain.text, Sj("かな かな"));
}

}  // namespace
}  // namespace velkor::testing
