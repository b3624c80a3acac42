// Editing the user tabs' cells and renaming tabs through the pop-up menus and
// the real one-line prompt, in the real window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/CommaText.h"
#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";
constexpr int kTab1Content = 13;
constexpr int kTabNames = 15;

using cp932::Sj;

// Moves the pointer onto `at`. A move to where the pointer already is (a
// window of an earlier test may have left it there) never reaches the
// window, so the pointer passes a pixel beside first.
void PointAt(QWidget* widget, QPoint at) {
  QTest::mouseMove(widget, at + QPoint(1, 1));
  QTest::mouseMove(widget, at);
}

// Answers the next one-line prompt that opens: keeps what it showed, types
// `typed` over the preset (select-all is the prompt's own start state) and
// presses OK or Cancel.
class PromptAnswerer {
 public:
  enum class Press { Ok, Cancel };
  enum class Entry { Type, Paste, Erase, Keep };

  PromptAnswerer(QString typed, Press press, Entry entry = Entry::Type)
      : typed_(std::move(typed)), press_(press), entry_(entry) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    timer_.start();
  }

  int shown = 0;
  QString title;
  QString prompt;
  QString preset;
  QString entered;  // the entry as it stood when the button was pressed

 private:
  void Answer() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || qobject_cast<QMessageBox*>(dialog)) return;
    auto* entry = dialog->findChild<QLineEdit*>();
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    if (!entry || !buttons) return;
    timer_.stop();
    ++shown;
    title = dialog->windowTitle();
    if (auto* label = dialog->findChild<QLabel*>()) prompt = label->text();
    preset = entry->text();
    switch (entry_) {
      case Entry::Type:
        for (const QChar c : typed_) Key(entry, Qt::Key_unknown, QString(c));
        break;
      case Entry::Paste:
        QApplication::clipboard()->setText(typed_);
        QTest::keySequence(entry, QKeySequence::Paste);
        break;
      case Entry::Erase: Key(entry, Qt::Key_Backspace, QString()); break;
      case Entry::Keep: break;
    }
    entered = entry->text();
    buttons->button(press_ == Press::Ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
  }
  static void Key(QWidget* widget, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
  }

  QString typed_;
  Press press_;
  Entry entry_;
  QTimer timer_;
};

class BoardEditingUi : public ::testing::Test {
 protected:
  ui::MainWindow& Start() {
    if (fixture_.Stored("Option").isEmpty()) fixture_.Store("Option", QString::fromLatin1(kClick));
    return fixture_.Start();
  }
  ui::MainWindow& W() { return *fixture_.window; }
  void Restart() {
    ASSERT_TRUE(W().close());
    fixture_.window.reset();
    Start();
  }

  QPoint BoardCell(int col, int row) {
    const Rect r = W().SGd00()->CellRect(col, row);
    return W().SGd00()->viewport()->mapFrom(W().SGd00(), QPoint(r.left + r.width / 2, r.top + r.height / 2));
  }
  void ClickBoard(int col, int row) {
    QWidget* viewport = W().SGd00()->viewport();
    PointAt(viewport, BoardCell(col, row));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, BoardCell(col, row));
  }
  void ClickList(int col, int row) {
    ui::VariantList* list = W().SGd01();
    const QPoint at = list->visualItemRect(list->item(row, col)).center();
    PointAt(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  }
  // Clicks the only item of the pop-up menu that is open; false when none is.
  bool ChoosePopupItem() {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || menu->actions().isEmpty()) return false;
    const QPoint at = menu->actionGeometry(menu->actions().first()).center();
    PointAt(menu, at);
    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
    return true;
  }
  // Right-clicks a board cell (the pointer makes it current) and chooses
  // "文字盤編集(&M)"; false when no menu was offered.
  bool EditCell(int col, int row) {
    QWidget* viewport = W().SGd00()->viewport();
    PointAt(viewport, BoardCell(col, row));
    QContextMenuEvent event(QContextMenuEvent::Mouse, BoardCell(col, row), viewport->mapToGlobal(BoardCell(col, row)));
    QApplication::sendEvent(viewport, &event);
    return ChoosePopupItem();
  }
  // Right-clicks tab `pointed` and chooses "タブ名変更(&T)".
  bool RenameTab(int pointed) {
    ui::TabStrip* tabs = W().TabC00();
    const QPoint at = tabs->tabRect(pointed).center();
    QTest::mousePress(tabs, Qt::RightButton, {}, at);
    QTest::mouseRelease(tabs, Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, tabs->mapToGlobal(at));
    QApplication::sendEvent(tabs, &event);
    return ChoosePopupItem();
  }
  StringList TabContent(int tab) {
    return ReadCommaText(W().Form().State().settings.crtList.at(static_cast<std::size_t>(kTab1Content + tab - 1)));
  }
  StringList StoredCrt() {
    return ReadCommaText(cp932::Encode(fixture_.Stored(QStringLiteral("Crt")).toStdU16String()));
  }
  std::string Text() { return W().Form().Plat().memMain.Text(); }

  WindowFixture fixture_;
};

TEST_F(BoardEditingUi, GroupCellEnteredOnAUserTabOffersItsVariantsAndSurvivesARestart) {
  Start();
  W().TabC00()->setCurrentIndex(1);  // as the user's click does
  ASSERT_EQ(W().SGd00()->CellText(3, 1), "");
  {
    PromptAnswerer answer(QStringLiteral("こんにちは,さようなら"), PromptAnswerer::Press::Ok);
    ASSERT_TRUE(EditCell(3, 1));
    ASSERT_EQ(answer.shown, 1);
    EXPECT_EQ(answer.title.toStdString(), "文字盤編集");
    EXPECT_EQ(answer.prompt.toStdString(), "新しい文字を入力してください");
    EXPECT_EQ(answer.preset, QString());
  }
  EXPECT_EQ(W().SGd00()->CellText(3, 1), Sj("こんにちは,さようなら"));
  StringList items = TabContent(1);
  ASSERT_GE(items.size(), 140u);
  EXPECT_EQ(items[0], Sj("☆"));
  EXPECT_EQ(items[2], Sj("こんにちは,さようなら"));
  EXPECT_EQ(items[3], "~");
  // The whole displayed board went back, the command rows included.
  EXPECT_EQ(items[100], Sj("改~"));
  EXPECT_EQ(items[108], Sj("戻"));
  EXPECT_EQ(items[110], Sj("変~"));
  EXPECT_EQ(items[111], Sj("話~"));
  EXPECT_EQ(items[112], "~");
  EXPECT_EQ(items[120], Sj("《~"));
  EXPECT_EQ(items[127], Sj("終~"));
  EXPECT_EQ(items[139], "~");

  ClickBoard(3, 1);
  ASSERT_TRUE(W().SGd01()->isVisible());
  EXPECT_EQ(W().SGd01()->ColCount(), 2);
  EXPECT_EQ(W().SGd01()->RowCount(), 1);
  EXPECT_EQ(W().SGd01()->CellText(0, 0), Sj("こんにちは"));
  EXPECT_EQ(W().SGd01()->CellText(1, 0), Sj("さようなら"));
  ClickList(1, 0);
  EXPECT_EQ(Text(), Sj("さようなら"));
  W().Form().Plat().memMain.SetModified(false);

  Restart();
  EXPECT_EQ(StoredCrt().size(), 30u);
  EXPECT_EQ(W().TabC00()->currentIndex(), 1);
  EXPECT_EQ(W().SGd00()->CellText(3, 1), Sj("こんにちは,さようなら"));
  ClickBoard(3, 1);
  ASSERT_TRUE(W().SGd01()->isVisible());
  EXPECT_EQ(W().SGd01()->CellText(0, 0), Sj("こんにちは"));
  EXPECT_EQ(W().SGd01()->CellText(1, 0), Sj("さようなら"));
  ClickList(0, 0);
  EXPECT_EQ(Text(), Sj("こんにちは"));
  W().Form().Plat().memMain.SetModified(false);
  EXPECT_TRUE(W().close());
}

TEST_F(BoardEditingUi, EntryTakesAtMost255BytesOfCodePage932) {
  Start();
  W().TabC00()->setCurrentIndex(2);
  {
    PromptAnswerer answer(QString(200, QChar(u'あ')), PromptAnswerer::Press::Ok);
    ASSERT_TRUE(EditCell(4, 1));
    EXPECT_EQ(answer.entered, QString(127, QChar(u'あ')));
  }
  std::string a127;
  for (int i = 0; i < 127; ++i) a127 += Sj("あ");
  EXPECT_EQ(W().SGd00()->CellText(4, 1), a127);
  EXPECT_EQ(W().SGd00()->CellText(4, 1).size(), 254u);
  EXPECT_EQ(TabContent(2)[3].size(), 254u);

  // One more single byte still fits; the next does not.
  {
    PromptAnswerer answer(QString(127, QChar(u'あ')) + QStringLiteral("ab"), PromptAnswerer::Press::Ok);
    ASSERT_TRUE(EditCell(5, 1));
    EXPECT_EQ(answer.entered, QString(127, QChar(u'あ')) + QStringLiteral("a"));
  }
  EXPECT_EQ(W().SGd00()->CellText(5, 1).size(), 255u);

  // A paste is cut to fit too, without breaking a character.
  {
    PromptAnswerer answer(QStringLiteral("x") + QString(200, QChar(u'ソ')), PromptAnswerer::Press::Ok,
                          PromptAnswerer::Entry::Paste);
    ASSERT_TRUE(EditCell(6, 1));
    EXPECT_EQ(answer.entered, QStringLiteral("x") + QString(127, QChar(u'ソ')));
  }
  EXPECT_EQ(W().SGd00()->CellText(6, 1).size(), 255u);
  EXPECT_TRUE(W().close());
}

TEST_F(BoardEditingUi, CancelEmptyEntryAndCommandCells) {
  Start();
  W().TabC00()->setCurrentIndex(1);
  const StringList before = TabContent(1);
  {
    PromptAnswerer cancel(QStringLiteral("ね"), PromptAnswerer::Press::Cancel);
    ASSERT_TRUE(EditCell(1, 1));
    EXPECT_EQ(cancel.preset.toStdString(), "☆");
  }
  EXPECT_EQ(W().SGd00()->CellText(1, 1), Sj("☆"));
  EXPECT_EQ(TabContent(1), before);

  // An unchanged entry after OK changes nothing either.
  {
    PromptAnswerer same(QString(), PromptAnswerer::Press::Ok, PromptAnswerer::Entry::Keep);
    ASSERT_TRUE(EditCell(2, 1));
    EXPECT_EQ(same.entered.toStdString(), "※");
  }
  EXPECT_EQ(TabContent(1), before);

  // An empty entry empties the cell and stores the empty marker.
  {
    PromptAnswerer erase(QString(), PromptAnswerer::Press::Ok, PromptAnswerer::Entry::Erase);
    ASSERT_TRUE(EditCell(1, 1));
    EXPECT_EQ(erase.entered, QString());
  }
  EXPECT_EQ(W().SGd00()->CellText(1, 1), "");
  EXPECT_EQ(TabContent(1)[0], "~");

  // "改~" makes a new-line command cell.
  {
    PromptAnswerer command(QStringLiteral("改~"), PromptAnswerer::Press::Ok);
    ASSERT_TRUE(EditCell(2, 2));
  }
  EXPECT_EQ(TabContent(1)[21], Sj("改~"));
  ClickBoard(2, 1);  // ※
  ClickBoard(2, 2);  // 改~
  EXPECT_EQ(Text(), Sj("※\r\n"));

  // The command rows offer the menu but their cells cannot be edited.
  {
    PromptAnswerer none(QStringLiteral("x"), PromptAnswerer::Press::Ok);
    ASSERT_TRUE(EditCell(3, 6));
    QTest::qWait(30);
    EXPECT_EQ(none.shown, 0);
  }
  EXPECT_EQ(W().SGd00()->CellText(3, 6), Sj("→~"));
  W().Form().Plat().memMain.SetModified(false);
  EXPECT_TRUE(W().close());
}

TEST_F(BoardEditingUi, RenamingRenamesTheCurrentTabWhereverThePointerIs) {
  Start();
  {
    PromptAnswerer answer(QStringLiteral("かな"), PromptAnswerer::Press::Ok);
    ASSERT_TRUE(RenameTab(2));  // the pointer on the last tab, the first is current
    ASSERT_EQ(answer.shown, 1);
    EXPECT_EQ(answer.title.toStdString(), "タブ名変更");
    EXPECT_EQ(answer.prompt.toStdString(), "新しいタブ名を入力してください");
    EXPECT_EQ(answer.preset.toStdString(), "基本");
  }
  ui::TabStrip* tabs = W().TabC00();
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("かな"));
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("拡張２"));
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(W().Form().State().settings.crtList[kTabNames], Sj("かな,拡張１,拡張２"));
  // The built-in tab keeps its role under its new name.
  EXPECT_EQ(W().SGd00()->CellText(1, 1), Sj("あ"));

  // Cancel stores the same name again; an empty name empties the caption.
  tabs->setCurrentIndex(2);
  {
    PromptAnswerer cancel(QStringLiteral("zz"), PromptAnswerer::Press::Cancel);
    ASSERT_TRUE(RenameTab(0));
    EXPECT_EQ(cancel.preset.toStdString(), "拡張２");
  }
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("拡張２"));
  {
    PromptAnswerer erase(QString(), PromptAnswerer::Press::Ok, PromptAnswerer::Entry::Erase);
    ASSERT_TRUE(RenameTab(1));
  }
  EXPECT_EQ(tabs->tabText(2), QString());
  EXPECT_EQ(tabs->currentIndex(), 2);
  EXPECT_EQ(W().Form().State().settings.crtList[kTabNames], Sj("かな,拡張１,"));

  Restart();
  ASSERT_EQ(W().TabC00()->count(), 3);
  EXPECT_EQ(W().TabC00()->tabText(0), QStringLiteral("かな"));
  EXPECT_EQ(W().TabC00()->tabText(1), QStringLiteral("拡張１"));
  EXPECT_EQ(W().TabC00()->tabText(2), QString());
  EXPECT_EQ(W().TabC00()->currentIndex(), 2);
  EXPECT_TRUE(W().close());
}

TEST_F(BoardEditingUi, CellEditorIsNotAvailableWhileTheSlotBoardIsShown) {
  Start();
  W().TabC00()->setCurrentIndex(1);
  const StringList before = TabContent(1);
  W().Form().Plat().memMain.SetText("a");  // saving wants a text
  ClickBoard(6, 7);                        // 名~: the slot board
  ASSERT_FALSE(W().TabC00()->isVisible());
  ASSERT_EQ(W().SGd00()->CellText(3, 1), "02");
  {
    PromptAnswerer none(QStringLiteral("x"), PromptAnswerer::Press::Ok);
    EditCell(3, 1);  // whether the menu is offered or not, no prompt may open
    QTest::qWait(30);
    EXPECT_EQ(none.shown, 0);
  }
  EXPECT_EQ(TabContent(1), before);
  EXPECT_EQ(W().SGd00()->CellText(3, 1), "02");

  ClickBoard(1, 7);  // ☆~: back to the tab
  ASSERT_TRUE(W().TabC00()->isVisible());
  EXPECT_EQ(W().SGd00()->CellText(3, 1), "");
  EXPECT_EQ(W().SGd00()->CellText(1, 1), Sj("☆"));
  EXPECT_TRUE(W().close());
}

}  // namespace
}  // namespace velkor::testing
