// The one path of text changes: what the logic changes and what the edit area
// reports are recorded once each; a refill that is no change of the document
// is not.
#include "document/TextEdits.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velkor::testing
