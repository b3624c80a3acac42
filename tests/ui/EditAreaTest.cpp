// The edit area and its journal, driven through the real window: typing, undo,
// redo, the block caret, word wrap, the edit font and arrow-key mode.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontMetrics>
#include <random>
#include <QKeyEvent>
#include <QTest>

#include "core/Cp932.h"
#include "document/EditText.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

class EditAreaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = &fixture_.Start();
    ASSERT_TRUE(fixture_.created);
    edit_ = window_->MemMain();
    edit_->setFocus();
  }
  void TearDown() override {
    edit_->document()->setModified(false);
    window_->Form().Plat().memMain.SetModified(false);
    window_->close();
  }

  // Types each character as a key press and release carrying its text, as a
  // keyboard with an input method would (QTest only knows ASCII keys).
  void Type(const QString& text) {
    for (const QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(edit_, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(edit_, &release);
    }
  }
  Journal& J() { return window_->Form().UndoLog(); }
  void Undo() { J().Undo(); }
  void Redo() { J().Redo(); }
  QString Text() const { return edit_->toPlainText(); }
  IEditArea& Area() { return window_->Form().Plat().memMain; }

  WindowFixture fixture_;
  ui::MainWindow* window_ = nullptr;
  ui::EditArea* edit_ = nullptr;
};

TEST_F(EditAreaTest, FirstChangeCannotBeUndoneAndTheNextIsSwallowed) {
  Type("a");
  EXPECT_EQ(J().Count(), 1);
  EXPECT_EQ(J().Index(), 0);
  EXPECT_TRUE(window_->ActFileSave()->isEnabled());

  Undo();
  EXPECT_EQ(Text(), "a");  // nothing before the first change
  EXPECT_EQ(J().Index(), -1);
  EXPECT_FALSE(J().Armed());

  Type("b");  // swallowed: only re-arms
  EXPECT_TRUE(J().Armed());
  EXPECT_EQ(J().Index(), -1);
  Type("c");  // overwrites entry 0
  EXPECT_EQ(J().Index(), 0);
  EXPECT_EQ(J().Count(), 1);
  EXPECT_EQ(J().At(0).text, "abc");
}

TEST_F(EditAreaTest, ChangeAfterUndoOverwritesButKeepsEntriesAbove) {
  Type("A");
  Type("B");
  Type("C");
  ASSERT_EQ(J().Count(), 3);
  Undo();
  Undo();
  EXPECT_EQ(Text(), "A");
  EXPECT_EQ(J().Index(), 0);
  EXPECT_TRUE(Area().Modified());  // "A" is not what any file holds

  edit_->moveCursor(QTextCursor::End);
  Type("D");
  EXPECT_EQ(J().Index(), 1);
  EXPECT_EQ(J().Count(), 3);
  EXPECT_EQ(J().At(1).text, "AD");
  EXPECT_EQ(J().At(2).text, "ABC");
  Redo();
  EXPECT_EQ(Text(), "ABC");
  EXPECT_EQ(J().Index(), 2);
}

TEST_F(EditAreaTest, RedoAtTheNewestEntryChangesNothingAndSwallowsTheNextChange) {
  Type("xy");
  Redo();
  EXPECT_EQ(Text(), "xy");
  EXPECT_EQ(J().Index(), 1);
  EXPECT_FALSE(J().Armed());
  Type("z");
  EXPECT_EQ(J().Count(), 2);
  EXPECT_TRUE(J().Armed());
}

TEST_F(EditAreaTest, HoldsAtMost101Entries) {
  for (int i = 0; i < 102; ++i) Type("k");
  EXPECT_EQ(J().Count(), 101);
  EXPECT_EQ(J().Index(), 100);
  EXPECT_EQ(J().At(0).text, std::string(2, 'k'));  // the oldest was dropped
  EXPECT_EQ(J().At(100).text, std::string(102, 'k'));
}

TEST_F(EditAreaTest, UndoRestoresCaretAndSelectionInBytes) {
  Type(QStringLiteral("あい"));
  edit_->moveCursor(QTextCursor::Start);
  edit_->moveCursor(QTextCursor::Right, QTextCursor::KeepAnchor);  // select あ
  Type(QStringLiteral("漢"));                                      // replaces the selection: caret after 漢 (2 bytes)
  Type(QStringLiteral("x"));
  Undo();
  EXPECT_EQ(Text(), QStringLiteral("漢い"));
  EXPECT_EQ(Area().SelStart(), 2);
  EXPECT_EQ(Area().SelLength(), 0);
  EXPECT_EQ(edit_->textCursor().position(), 1);
}

TEST_F(EditAreaTest, RestoringTheTextShownRaisesNoChangeAndStaysDisarmed) {
  Type("a");
  Type("b");  // entries "a", "ab"
  Undo();     // shows "a"; its notification re-arms
  EXPECT_TRUE(J().Armed());
  Undo();  // nothing below entry 0: disarmed, "a" still shown
  Redo();  // restores entry 0, "a", the text shown: no notification
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(J().Index(), 0);
  EXPECT_FALSE(J().Armed());
  Type("c");  // swallowed
  EXPECT_EQ(J().Count(), 2);
  EXPECT_EQ(J().At(1).text, "ab");
}

TEST_F(EditAreaTest, LineBreaksAreCrLfAndNeverSplit) {
  Area().SetText(cp932::FromUtf8("a\rb\nc\r\nd"));
  EXPECT_EQ(Area().Text(), "a\r\nb\r\nc\r\nd");
  Area().SetSelStart(2);  // between the CR and the LF
  EXPECT_EQ(Area().SelStart(), 1);
  Area().SetSelStart(3);
  Area().SetSelLength(4);  // b, CR LF, c
  EXPECT_EQ(edit_->textCursor().selectedText().size(), 3);
  EXPECT_EQ(Area().SelLength(), 4);
}

TEST_F(EditAreaTest, ReplacingWithTheSameTextNotifiesNothingAndClearsModified) {
  Type("same");
  ASSERT_TRUE(Area().Modified());
  const int entries = J().Count();
  Area().SetText("same");
  EXPECT_EQ(J().Count(), entries);
  EXPECT_FALSE(Area().Modified());
  Area().SetText("other");
  EXPECT_EQ(J().Count(), entries + 1);
}

TEST_F(EditAreaTest, BlockCaretIsAsWideAsTheCharacterUnderIt) {
  const QFontMetrics metrics(edit_->font());
  Area().SetText(cp932::FromUtf8("漢i\r\nW"));
  auto caretAt = [&](int pos) {
    Area().SetSelStart(pos);
    window_->Form().Edit().ShowBlockCaret();
    return edit_->cursorWidth();
  };
  EXPECT_EQ(caretAt(0), metrics.horizontalAdvance(QStringLiteral("漢")));
  EXPECT_EQ(caretAt(2), metrics.horizontalAdvance(QStringLiteral("i")));
  EXPECT_EQ(caretAt(3), metrics.horizontalAdvance(QStringLiteral("W")));  // line end
  EXPECT_EQ(caretAt(6), metrics.horizontalAdvance(QStringLiteral("W")));  // text end
  EXPECT_NE(metrics.horizontalAdvance(QStringLiteral("漢")), metrics.horizontalAdvance(QStringLiteral("i")));
}

TEST_F(EditAreaTest, WordWrapToggledTwiceChangesNeitherSlotNorJournal) {
  Type("wrap me");
  const int entries = J().Count();
  const std::string slot = window_->Form().State().settings.Option(option::kWordWrap);
  window_->CommandAction(Command::WordWrap)->trigger();
  EXPECT_EQ(edit_->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(edit_->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(window_->Form().State().settings.Option(option::kWordWrap), "0");
  window_->CommandAction(Command::WordWrap)->trigger();
  EXPECT_EQ(edit_->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(window_->Form().State().settings.Option(option::kWordWrap), slot);
  EXPECT_EQ(J().Count(), entries);
  EXPECT_EQ(Text(), "wrap me");
}

TEST_F(EditAreaTest, InputMethodsStayOffAfterTheFocusReturns) {
  edit_->setReadOnly(true);
  edit_->setReadOnly(false);  // Qt switches input methods back on here
  window_->SGd00()->setFocus();
  edit_->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(edit_->testAttribute(Qt::WA_InputMethodEnabled));
}

class DwellEditAreaTest : public EditAreaTest {
 protected:
  void SetUp() override {
    fixture_.Store("Option", QStringLiteral("0,1,0,1,0,0,0,0,0,0"));
    EditAreaTest::SetUp();
  }
};

// Characters the code page cannot hold turn into the "?" the file will hold
// the moment they come in, and the user is told; nothing shows what will
// not be saved.
TEST_F(DwellEditAreaTest, TextTheCodePageCannotHoldIsShownAsItWillBeSaved) {
  QApplication::clipboard()->setText(QString::fromUtf8("a😀ǅ€b"));
  edit_->paste();
  EXPECT_EQ(edit_->toPlainText(), QStringLiteral("a???b"));
  EXPECT_EQ(Area().Text(), "a???b");
  EXPECT_EQ(cp932::ToUtf8(window_->PnlMsg()->Message()), "文書に書けない文字を「?」に置き換えました");

  window_->PnlMsg()->SetMessage("");
  QApplication::clipboard()->setText(QString::fromUtf8("漢字"));
  edit_->paste();
  EXPECT_EQ(Area().Text(), cp932::FromUtf8("a???b漢字"));
  EXPECT_EQ(window_->PnlMsg()->Message(), "") << "text the code page holds says nothing";
}

class ArrowKeyModeTest : public EditAreaTest {
 protected:
  void SetUp() override {
    fixture_.Store("Option", QStringLiteral("0,0,1,1,0,0,0,0,0,0"));
    EditAreaTest::SetUp();
  }
  ui::BoardGrid* Grid() { return window_->SGd00(); }
  // A confirmed group cell opens its list of variants.
  bool ListShown() { return window_->SGd01()->isVisible(); }
};

TEST_F(ArrowKeyModeTest, ArrowKeysWalkTheBoardWithWrapAroundAndKeepTheCaret) {
  Area().SetText("abc");
  Area().SetSelStart(1);
  EXPECT_EQ(Grid()->Col(), 1);  // the first cell that is not fixed
  EXPECT_EQ(Grid()->Row(), 1);

  QTest::keyClick(edit_, Qt::Key_Left);  // from column 1 to column 20
  EXPECT_EQ(Grid()->Col(), 20);
  QTest::keyClick(edit_, Qt::Key_Right);
  EXPECT_EQ(Grid()->Col(), 1);
  // The prediction row is a row above the first: up from row 1 onto it,
  // along it with wrap-around, up again to the second command row, and
  // down from there onto it and on to row 1.
  QTest::keyClick(edit_, Qt::Key_Up);
  EXPECT_EQ(window_->Predictions()->Current(), 0);
  QTest::keyClick(edit_, Qt::Key_Left);
  EXPECT_EQ(window_->Predictions()->Current(), 7);
  QTest::keyClick(edit_, Qt::Key_Up);
  EXPECT_EQ(window_->Predictions()->Current(), -1);
  EXPECT_EQ(Grid()->Row(), 7);
  EXPECT_EQ(Grid()->Col(), 19) << "below the row's last cell";
  QTest::keyClick(edit_, Qt::Key_Down);
  EXPECT_EQ(window_->Predictions()->Current(), 7);
  QTest::keyClick(edit_, Qt::Key_Down);
  EXPECT_EQ(Grid()->Row(), 1);
  EXPECT_EQ(Grid()->currentRow(), 0);
  EXPECT_EQ(Area().SelStart(), 1);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(Text(), "abc");

  // Without the row, up from row 1 wraps round to the last row.
  window_->Form().State().settings.SetNamed(named::kPredictionCells, "0");
  window_->Form().Row().Refresh();
  EXPECT_FALSE(window_->Predictions()->isVisible());
  QTest::keyClick(edit_, Qt::Key_Up);
  EXPECT_EQ(Grid()->Row(), 7);
  EXPECT_EQ(window_->Predictions()->Current(), -1);
}

TEST_F(ArrowKeyModeTest, AnyOtherKeyConfirmsTheCellUnderTheCursorAndTypesNothing) {
  Area().SetText("abc");
  Area().SetSelStart(3);
  QTest::keyClick(edit_, Qt::Key_Right);
  QTest::keyClick(edit_, Qt::Key_Down);
  QTest::keyClick(edit_, Qt::Key_X);  // き's list opens; no x is typed
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ((CellPos{Grid()->Col(), Grid()->Row()}), (CellPos{2, 2}));
  ASSERT_TRUE(ListShown());
  QTest::keyClick(window_->SGd01(), Qt::Key_Return);  // its first variant, and no line break
  EXPECT_EQ(Text(), "abcき");
  EXPECT_FALSE(ListShown());
  QTest::keyClick(edit_, Qt::Key_Shift);  // き again
  EXPECT_TRUE(ListShown());
  EXPECT_EQ(Text(), "abcき");
}

// A held key auto-repeats: every repeat walks the board, none moves the
// caret, and what is inserted afterwards lands where the caret was.
TEST_F(ArrowKeyModeTest, AHeldCaretKeyNeverMovesTheCaret) {
  Area().SetText("1");
  Area().SetSelStart(1);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(edit_, &press);
  for (int repeat = 0; repeat < 30; ++repeat) {
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(edit_, &again);
  }
  // Home and Page Up walk nothing and move no caret either (held down: their
  // release would confirm the cell under the cursor).
  for (const Qt::Key key : {Qt::Key_Home, Qt::Key_PageUp}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(edit_, &down);
  }
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(edit_, &release);
  EXPECT_EQ(Area().SelStart(), 1);
  Area().ReplaceSelection("2");
  EXPECT_EQ(Text(), "12");
}

TEST_F(ArrowKeyModeTest, DeleteStillDeletesAndThenConfirms) {
  Area().SetText("abc");
  Area().SetSelStart(1);
  QTest::keyClick(edit_, Qt::Key_Delete);
  EXPECT_EQ(Text(), "ac");
  EXPECT_TRUE(ListShown()) << "あ confirmed on the release";
}

TEST_F(ArrowKeyModeTest, OtherModesLeaveTheKeysToTheEditArea) {
  window_->Form().Modes().MnuEditClickClick();
  QTest::keyClicks(edit_, "hi");
  QTest::keyClick(edit_, Qt::Key_Left);
  EXPECT_EQ(Text(), "hi");
  EXPECT_EQ(Area().SelStart(), 1);
  EXPECT_EQ(Grid()->Col(), 1);
  EXPECT_FALSE(ListShown());
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// The bytes the edit area keeps in step with the screen must equal the screen's
// text after any mix of typing, deleting, pasting, undo and redo.
// In dwell mode, so that the notice about "?" goes to the status line.
TEST_F(DwellEditAreaTest, ItsBytesStayInStepWithTheScreen) {
  std::mt19937 random(99);
  const QString pieces[] = {QStringLiteral("あ"), QStringLiteral("ｱ"),          QStringLiteral("x"),
                            QStringLiteral("\n"), QStringLiteral("漢字\nかな"), QString(QChar(0xF781)),
                            QStringLiteral("😀")};
  for (int step = 0; step < 400; ++step) {
    QTextCursor cursor = edit_->textCursor();
    const int length = edit_->document()->characterCount() - 1;
    cursor.setPosition(static_cast<int>(random() % (length + 1)));
    if (random() % 3 == 0) {
      cursor.setPosition(std::min(length, cursor.position() + static_cast<int>(random() % 6)), QTextCursor::KeepAnchor);
    }
    edit_->setTextCursor(cursor);
    switch (random() % 6) {
      case 0: Type(pieces[random() % std::size(pieces)]); break;
      case 1: QTest::keyClick(edit_, Qt::Key_Backspace); break;
      case 2: QTest::keyClick(edit_, Qt::Key_Delete); break;
      case 3:
        QApplication::clipboard()->setText(QStringLiteral("貼り\r\n付け\rx"));
        edit_->paste();
        break;
      case 4: Undo(); break;
      default: Redo(); break;
    }
    const std::string screen = EditTextFromDisplay(edit_->toPlainText().toStdU16String());
    ASSERT_EQ(Area().Text(), screen) << "step " << step;
    ASSERT_TRUE(Area().Snapshot() == screen) << "step " << step;
  }
}

}  // namespace
}  // namespace velkor::testing
