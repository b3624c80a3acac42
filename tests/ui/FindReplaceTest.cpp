// The modeless find and replace dialogs over the real window's edit area,
// driven through their own buttons.
#include <gtest/gtest.h>

#include <QTest>

#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";
constexpr char kDwell[] = "0,2,0,1,0,0,0,0,0,0";

using cp932::Sj;

class FindReplace : public ::testing::Test {
 protected:
  ui::MainWindow& Start(const char* option = kClick) {
    fixture_.Store("Option", QString::fromLatin1(option));
    ui::MainWindow& window = fixture_.Start();
    window.activateWindow();
    return window;
  }
  ui::MainWindow& W() { return *fixture_.window; }
  IEditArea& Area() { return W().Form().Plat().memMain; }
  Journal& Log() { return W().Form().UndoLog(); }

  // The text as if the user had typed it: one change, modified.
  void Type(const char* utf8) {
    W().MemMain()->insertPlainText(QString::fromUtf8(utf8));
    ASSERT_EQ(W().MemMain()->toPlainText(), QString::fromUtf8(utf8));
  }
  // Opens a dialog through its toolbar button.
  ui::FindDialog* Open(const char* action) {
    QWidget* button = W().TBarMain()->widgetForAction(W().ActionNamed(QString::fromLatin1(action)));
    QTest::mouseClick(button, Qt::LeftButton);
    return QString::fromLatin1(action) == QStringLiteral("ActSerFind") ? W().FindDlg() : W().RepDlg();
  }
  void Search(ui::FindDialog* dialog, const char* utf8, bool matchCase = false) {
    dialog->SearchEdit()->setText(QString::fromUtf8(utf8));
    dialog->MatchCaseBox()->setChecked(matchCase);
  }
  // The selection as (start, length) in bytes.
  std::pair<int, int> Sel() { return {Area().SelStart(), Area().SelLength()}; }
  // A press that shows no message.
  void Press(QPushButton* button) {
    BoxAnswerer unexpected(QMessageBox::Ok);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(unexpected.answered, 0) << unexpected.text.toStdString();
  }
  // A press that ends the search: the message it shows in click mode.
  QString PressToTheEnd(QPushButton* button) {
    BoxAnswerer ok(QMessageBox::Ok);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(ok.answered, 1);
    EXPECT_EQ(ok.title.toStdString(), "Velkor*LT");
    return ok.text;
  }
  void CloseDiscarding() {
    Area().SetModified(false);
    EXPECT_TRUE(W().close());
  }

  WindowFixture fixture_;
};

TEST_F(FindReplace, EmptyEditAreaOpensNoDialog) {
  Start();
  for (const char* action : {"ActSerFind", "ActSerRep"}) {
    BoxAnswerer ok(QMessageBox::Ok);
    ui::FindDialog* dialog = Open(action);
    EXPECT_EQ(ok.answered, 1) << action;
    EXPECT_EQ(ok.text.toStdString(), "対象データがありません") << action;
    EXPECT_FALSE(dialog->isVisible()) << action;
  }
  CloseDiscarding();

  // In dwell mode the status line says it.
  fixture_.window.reset();
  Start(kDwell);
  W().ActionNamed(QStringLiteral("ActSerFind"))->trigger();
  EXPECT_FALSE(W().FindDlg()->isVisible());
  EXPECT_EQ(cp932::ToUtf8(W().PnlMsg()->Message()), "対象データがありません");
  CloseDiscarding();
}

TEST_F(FindReplace, FindNextStartsAtTheTopAndStepsThroughEveryOccurrence) {
  Start();
  Type("abc xabc\nabc end");
  Area().SetSelStart(3);
  Area().SetSelLength(6);
  ui::FindDialog* find = Open("ActSerFind");
  ASSERT_TRUE(find->isVisible());
  EXPECT_FALSE(find->isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_FALSE(find->ReplaceButton());
  // Opening collapsed the selection to its start.
  EXPECT_EQ(Sel(), std::make_pair(3, 0));
  // The caret moves to the middle after opening: still from the top.
  Area().SetSelStart(7);
  Search(find, "abc");
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(0, 3));
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(5, 3));
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(10, 3));  // after CR LF
  EXPECT_EQ(W().MemMain()->textCursor().selectedText(), QStringLiteral("abc"));
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");
  EXPECT_EQ(Area().SelLength(), 0);
  EXPECT_TRUE(find->isVisible());
  // And again from the first.
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(0, 3));

  // An empty search text finds nothing.
  Search(find, "");
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");
  CloseDiscarding();
}

TEST_F(FindReplace, EndOfSearchGoesToTheStatusLineInDwellMode) {
  Start(kDwell);
  Type("ねこ ねこ");
  ui::FindDialog* find = Open("ActSerFind");
  Search(find, "ねこ");
  Press(find->FindNextButton());
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(5, 4));
  BoxAnswerer none(QMessageBox::Ok);
  Press(find->FindNextButton());
  QTest::qWait(20);
  EXPECT_EQ(none.answered, 0);
  EXPECT_EQ(cp932::ToUtf8(W().PnlMsg()->Message()), "検索は終了しました");
  EXPECT_EQ(Area().SelLength(), 0);
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(0, 4));
  CloseDiscarding();
}

// A search or replacement text the code page cannot hold would become "?":
// such a search finds nothing, changes nothing and says so.
TEST_F(FindReplace, TextsTheCodePageCannotHoldFindAndReplaceNothing) {
  Start(kDwell);
  Type("what? yes");
  ui::FindDialog* find = Open("ActSerFind");
  Search(find, "€");
  Press(find->FindNextButton());
  EXPECT_EQ(Area().SelLength(), 0);
  EXPECT_EQ(cp932::ToUtf8(W().PnlMsg()->Message()), "文書に書けない文字が含まれているため、見つかりません");
  find->hide();

  ui::FindDialog* replace = Open("ActSerRep");
  Search(replace, "?");
  replace->ReplacementEdit()->setText(QStringLiteral("€"));
  Press(replace->ReplaceAllButton());
  Search(replace, "€");
  replace->ReplacementEdit()->setText(QStringLiteral("EUR"));
  Press(replace->ReplaceAllButton());
  EXPECT_EQ(W().MemMain()->toPlainText(), QStringLiteral("what? yes"));
  CloseDiscarding();
}

TEST_F(FindReplace, MatchCaseWithLatinAndFullWidthLetters) {
  Start();
  Type("Cat cat CAT ＣＡＴ ｃａｔ");
  ui::FindDialog* find = Open("ActSerFind");
  Search(find, "cat", false);
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(0, 3));
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(4, 3));
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(8, 3));
  // Half-width letters never match full-width ones.
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");

  Search(find, "cat", true);
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(4, 3));
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");

  Search(find, "ｃａｔ", false);
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(12, 6));
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(19, 6));

  Area().SetSelStart(0);
  Search(find, "ｃａｔ", true);
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(19, 6));
  CloseDiscarding();
}

TEST_F(FindReplace, SingleByteNeverMatchesTheSecondByteOfACharacter) {
  // The premises: these characters end with the bytes searched for.
  ASSERT_EQ(Sj("ソ"), "\x83\x5C");
  ASSERT_EQ(Sj("ー"), "\x81\x5B");
  ASSERT_EQ(Sj("ア"), "\x83\x41");
  Start();
  Type("ソーアソ\\[A");
  ui::FindDialog* find = Open("ActSerFind");
  Search(find, "\\");
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(8, 1));
  Area().SetSelStart(0);
  Search(find, "[");
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(9, 1));
  // "a" without match case would meet "A" (0x41), the second byte of "ア".
  Area().SetSelStart(0);
  Search(find, "a");
  Press(find->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(10, 1));
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");

  // Nothing but double-byte characters: nothing found, neither a second
  // byte nor a text spanning the middle of two characters ("\\ア" is
  // 5C 83 41, which "ソア" holds from its second byte on).
  Area().SetText(Sj("ソアソー"));
  Search(find, "\\");
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");
  Search(find, "\\ア");
  EXPECT_EQ(PressToTheEnd(find->FindNextButton()).toStdString(), "検索は終了しました");
  CloseDiscarding();
}

TEST_F(FindReplace, ReplaceOneByOne) {
  Start();
  Type("cat cat cat");
  ui::FindDialog* rep = Open("ActSerRep");
  ASSERT_TRUE(rep->isVisible());
  ASSERT_TRUE(rep->ReplaceButton());
  Search(rep, "cat");
  rep->ReplacementEdit()->setText(QStringLiteral("dog"));
  const int entries = Log().Count();
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), "dog cat cat");
  // The selection covers as many bytes after the inserted text.
  EXPECT_EQ(Sel(), std::make_pair(3, 3));
  EXPECT_EQ(Log().Count(), entries + 1);
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), "dog dog cat");
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), "dog dog dog");
  EXPECT_EQ(Sel(), std::make_pair(11, 0));  // nothing follows
  EXPECT_EQ(Log().Count(), entries + 3);
  EXPECT_EQ(PressToTheEnd(rep->ReplaceButton()).toStdString(), "検索は終了しました");
  EXPECT_EQ(Area().Text(), "dog dog dog");
  EXPECT_TRUE(Area().Modified());

  // Find-next then replace replaces the occurrence found.
  Area().SetText("ab ab ab");
  Search(rep, "ab");
  rep->ReplacementEdit()->setText(QStringLiteral("Z"));
  Press(rep->FindNextButton());
  Press(rep->FindNextButton());
  EXPECT_EQ(Sel(), std::make_pair(3, 2));
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), "ab Z ab");
  EXPECT_EQ(Sel(), std::make_pair(4, 1));
  CloseDiscarding();
}

TEST_F(FindReplace, FindNextAfterAReplaceSkipsTheSelectedBytes) {
  Start();
  Type("ab ab");
  ui::FindDialog* rep = Open("ActSerRep");
  Search(rep, "ab");
  rep->ReplacementEdit()->setText(QStringLiteral("ZZZ"));
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), "ZZZ ab");
  EXPECT_EQ(Sel(), std::make_pair(3, 3));
  // The "ab" begins inside the selection " ab": find-next starts after it.
  EXPECT_EQ(PressToTheEnd(rep->FindNextButton()).toStdString(), "検索は終了しました");
  CloseDiscarding();
}

TEST_F(FindReplace, ReplaceWithNothingDeletesAndStartsAgainFromTheTop) {
  Start();
  Type("x1x2xかx");
  ui::FindDialog* rep = Open("ActSerRep");
  Search(rep, "x");
  rep->ReplacementEdit()->clear();
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), Sj("1x2xかx"));
  EXPECT_EQ(Sel(), std::make_pair(0, 0));
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), Sj("12xかx"));
  Press(rep->ReplaceButton());
  Press(rep->ReplaceButton());
  EXPECT_EQ(Area().Text(), Sj("12か"));
  EXPECT_EQ(PressToTheEnd(rep->ReplaceButton()).toStdString(), "検索は終了しました");
  CloseDiscarding();
}

TEST_F(FindReplace, ReplaceAllIsOneJournalEntryUndoneInOneStep) {
  Start();
  Type("Cat cat\nCAT dog ｃａｔ");
  const std::string before = Area().Text();
  ui::FindDialog* rep = Open("ActSerRep");
  Search(rep, "cat", false);
  rep->ReplacementEdit()->setText(QStringLiteral("cats"));
  const int entries = Log().Count();
  Area().SetSelStart(4);
  Area().SetModified(false);
  Press(rep->ReplaceAllButton());
  // Every case variant of the half-width word, none of the full-width one.
  const std::string after = Sj("cats cats\r\ncats dog ｃａｔ");
  EXPECT_EQ(Area().Text(), after);
  EXPECT_EQ(Log().Count(), entries + 1);
  EXPECT_TRUE(Area().Modified());

  W().ActionNamed(QStringLiteral("ActEditUndo"))->trigger();
  EXPECT_EQ(Area().Text(), before);
  W().ActionNamed(QStringLiteral("ActEditRedo"))->trigger();
  EXPECT_EQ(Area().Text(), after);
  Area().SetModified(false);

  // Without any occurrence nothing changes and nothing is recorded.
  const int now = Log().Count();
  const int index = Log().Index();
  Search(rep, "bird", false);
  {
    BoxAnswerer none(QMessageBox::Ok);
    Press(rep->ReplaceAllButton());
    QTest::qWait(20);
    EXPECT_EQ(none.answered, 0);
  }
  EXPECT_EQ(Log().Count(), now);
  EXPECT_EQ(Log().Index(), index);
  EXPECT_EQ(Area().Text(), after);
  EXPECT_FALSE(Area().Modified());
  EXPECT_TRUE(W().close());
}

TEST_F(FindReplace, ReplaceAllLeavesTheDocumentUnsavedForClosing) {
  Start();
  Type("one two one");
  // Saved to a slot: nothing unsaved before the replace-all.
  Area().SetModified(false);
  ui::FindDialog* rep = Open("ActSerRep");
  Search(rep, "one", true);
  rep->ReplacementEdit()->setText(QStringLiteral("1"));
  Press(rep->ReplaceAllButton());
  EXPECT_EQ(Area().Text(), "1 two 1");
  {
    BoxAnswerer no(QMessageBox::No);
    EXPECT_FALSE(W().close());
    EXPECT_EQ(no.answered, 1);
    EXPECT_EQ(no.text.toStdString(), "編集中です。終了しますか？");
  }
  BoxAnswerer yes(QMessageBox::Yes);
  EXPECT_TRUE(W().close());
  EXPECT_EQ(yes.answered, 1);
}

}  // namespace
}  // namespace velkor::testing
