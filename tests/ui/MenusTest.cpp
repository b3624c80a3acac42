// The main window's menus, toolbar, shared actions and pop-up menus, as the
// user meets them in the real window.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QTest>
#include <QToolButton>

#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"
#include "ui/BoardGrid.h"

namespace velkor::testing {
namespace {

constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";
constexpr char kDwell3[] = "0,3,0,1,0,0,0,0,0,0";
constexpr char kArrows[] = "0,0,1,1,0,0,0,0,0,0";

// Moves the pointer onto `at`. A move to where the pointer already is (a
// window of an earlier test may have left it there) never reaches the
// window, so the pointer passes a pixel beside first.
void PointAt(QWidget* widget, QPoint at) {
  QTest::mouseMove(widget, at + QPoint(1, 1));
  QTest::mouseMove(widget, at);
}

// A menu as one line of items separated by " | ": "-" for a separator,
// "[x] " or "[ ] " before a check item, " >" after an item that opens a
// submenu.
std::string Describe(const QMenu* menu) {
  QStringList lines;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      lines << QStringLiteral("-");
      continue;
    }
    QString line = action->text();
    if (action->isCheckable()) line = (action->isChecked() ? QStringLiteral("[x] ") : QStringLiteral("[ ] ")) + line;
    if (action->menu()) line += QStringLiteral(" >");
    lines << line;
  }
  return lines.join(QStringLiteral(" | ")).toStdString();
}

QMenu* TopMenu(ui::MainWindow& window, int index) { return window.menuBar()->actions().at(index)->menu(); }

QMenu* SubMenu(const QMenu* menu, const QString& caption) {
  for (const QAction* action : menu->actions()) {
    if (action->text() == caption) return action->menu();
  }
  return nullptr;
}

// Every action of a menu and of its submenus.
void CollectActions(const QMenu* menu, QList<QAction*>& out) {
  for (QAction* action : menu->actions()) {
    out << action;
    if (action->menu()) CollectActions(action->menu(), out);
  }
}

QList<QAction*> MainMenuActions(ui::MainWindow& window) {
  QList<QAction*> all;
  for (QAction* top : window.menuBar()->actions()) {
    all << top;
    if (top->menu()) CollectActions(top->menu(), all);
  }
  return all;
}

class MainMenus : public ::testing::Test {
 protected:
  ui::MainWindow& Start(const char* option = kClick) {
    fixture_.Store("Option", QString::fromLatin1(option));
    return fixture_.Start();
  }
  ui::MainWindow& W() { return *fixture_.window; }

  QPoint BoardCell(int col, int row) {
    const Rect r = W().SGd00()->CellRect(col, row);
    return W().SGd00()->viewport()->mapFrom(W().SGd00(), QPoint(r.left + r.width / 2, r.top + r.height / 2));
  }
  void ClickBoard(int col, int row) {
    QWidget* viewport = W().SGd00()->viewport();
    PointAt(viewport, BoardCell(col, row));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, BoardCell(col, row));
  }
  // A right click on the board cell: the pointer goes there first, so the
  // cell becomes current as in click and dwell mode.
  void RightClickBoard(int col, int row) {
    QWidget* viewport = W().SGd00()->viewport();
    PointAt(viewport, BoardCell(col, row));
    QContextMenuEvent event(QContextMenuEvent::Mouse, BoardCell(col, row), viewport->mapToGlobal(BoardCell(col, row)));
    QApplication::sendEvent(viewport, &event);
  }
  void RightClickTab(int index) {
    ui::TabStrip* tabs = W().TabC00();
    const QPoint at = tabs->tabRect(index).center();
    QTest::mousePress(tabs, Qt::RightButton, {}, at);
    QTest::mouseRelease(tabs, Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, tabs->mapToGlobal(at));
    QApplication::sendEvent(tabs, &event);
  }
  // The pop-up menu now open, closed again; its captions.
  std::string TakePopup() {
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup) return {};
    std::string captions = "<not a menu>";
    if (auto* menu = qobject_cast<QMenu*>(popup)) captions = Describe(menu);
    popup->close();
    return captions;
  }

  WindowFixture fixture_;
};

TEST_F(MainMenus, TopLevelItemsAreFourMenusAndHelpWithoutSubmenu) {
  ui::MainWindow& window = Start();
  const QList<QAction*> top = window.menuBar()->actions();
  QStringList items;
  for (const QAction* action : top) items << action->text() + (action->menu() ? QStringLiteral(" >") : QString());
  EXPECT_EQ(items.join(QStringLiteral(" | ")).toStdString(),
            "ファイル(&F) > | 検索(&S) > | 編集(&E) > | 表示(&V) > | ヘルプ(&H)");
  ASSERT_EQ(top.size(), 5);
  EXPECT_TRUE(top[4]->isVisible());
  EXPECT_TRUE(top[4]->isEnabled());
  // The menu bar draws a picture instead of the caption when an item has one.
  EXPECT_TRUE(top[4]->icon().isNull()) << "ヘルプ is shown by its caption";
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, MenuTreeInClickModeAfterStart) {
  ui::MainWindow& window = Start();
  const std::string file =
      "新規作成(&N) | - | 開く(&O) | 最近使ったファイル(&U) > | - | 上書き保存(&S) | 名前を付けて保存(&A) | - | "
      "印刷(&P) | - | 終了(&X)";
  EXPECT_EQ(Describe(TopMenu(window, 0)), file);
  const std::string recent = "0 | 1 | 2 | 3 | 4 | - | 5 | 6 | 7 | 8 | 9";
  const QMenu* recentMenu = SubMenu(TopMenu(window, 0), QStringLiteral("最近使ったファイル(&U)"));
  ASSERT_NE(recentMenu, nullptr);
  EXPECT_EQ(Describe(recentMenu), recent);
  // The ten items are never hidden or disabled, even without a recent file.
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE(window.RecentFileItem(i)->isVisible()) << i;
    EXPECT_TRUE(window.RecentFileItem(i)->isEnabled()) << i;
  }
  const std::string find = "検索(&F) | 置換(&R)";
  EXPECT_EQ(Describe(TopMenu(window, 1)), find);
  const std::string edit =
      "元に戻す(&U) | やり直す(&R) | - | [x] クリックで入力確定 | [ ] マウス停止で入力確定 > | [ ] "
      "矢印で移動　KEYで入力確定 | - | 予測と学習(&P) >";
  EXPECT_EQ(Describe(TopMenu(window, 2)), edit);
  const std::string dwell = "[ ] １．０秒 | [ ] ２．０秒 | [ ] ３．０秒 | [ ] ４．０秒 | [ ] ５．０秒";
  const QMenu* dwellMenu = SubMenu(TopMenu(window, 2), QStringLiteral("マウス停止で入力確定"));
  ASSERT_NE(dwellMenu, nullptr);
  EXPECT_EQ(Describe(dwellMenu), dwell);
  const std::string show =
      "編集画面フォント設定(&F) | 編集画面の色設定(&B) | 文字盤フォント設定(&M) | 文字盤の色設定(&C) | - | [ ] "
      "ひらがなを右から表示(&H) | - | [x] 右端で折り返す(&W) | - | 読み上げの設定(&S) | - | 「Velkor虫めがね」起動(&B)";
  EXPECT_EQ(Describe(TopMenu(window, 3)), show);
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, CheckMarksFollowTheStoredModeAndTheChosenItems) {
  {
    ui::MainWindow& window = Start(kDwell3);
    const std::string edit =
        "元に戻す(&U) | やり直す(&R) | - | [ ] クリックで入力確定 | [x] マウス停止で入力確定 > | [ ] "
        "矢印で移動　KEYで入力確定 | - | 予測と学習(&P) >";
    EXPECT_EQ(Describe(TopMenu(window, 2)), edit);
    QMenu* dwellMenu = SubMenu(TopMenu(window, 2), QStringLiteral("マウス停止で入力確定"));
    ASSERT_NE(dwellMenu, nullptr);
    const std::string three = "[ ] １．０秒 | [ ] ２．０秒 | [x] ３．０秒 | [ ] ４．０秒 | [ ] ５．０秒";
    EXPECT_EQ(Describe(dwellMenu), three);

    // Choosing another time moves the tick; choosing the ticked time again
    // keeps it (the handler decides, Qt's own toggle does not).
    dwellMenu->actions().at(1)->trigger();
    const std::string two = "[ ] １．０秒 | [x] ２．０秒 | [ ] ３．０秒 | [ ] ４．０秒 | [ ] ５．０秒";
    EXPECT_EQ(Describe(dwellMenu), two);
    dwellMenu->actions().at(1)->trigger();
    EXPECT_EQ(Describe(dwellMenu), two);

    // Click mode: the dwell items all lose their tick.
    TopMenu(window, 2)->actions().at(3)->trigger();
    const std::string click =
        "元に戻す(&U) | やり直す(&R) | - | [x] クリックで入力確定 | [ ] マウス停止で入力確定 > | [ ] "
        "矢印で移動　KEYで入力確定 | - | 予測と学習(&P) >";
    EXPECT_EQ(Describe(TopMenu(window, 2)), click);
    const std::string none = "[ ] １．０秒 | [ ] ２．０秒 | [ ] ３．０秒 | [ ] ４．０秒 | [ ] ５．０秒";
    EXPECT_EQ(Describe(dwellMenu), none);
    TopMenu(window, 2)->actions().at(3)->trigger();  // again: stays ticked
    EXPECT_TRUE(window.CommandAction(Command::ModeClick)->isChecked());

    // The view options toggle with each choice.
    QMenu* show = TopMenu(window, 3);
    show->actions().at(5)->trigger();
    show->actions().at(7)->trigger();
    EXPECT_TRUE(show->actions().at(5)->isChecked());
    EXPECT_FALSE(show->actions().at(7)->isChecked());
    EXPECT_EQ(window.MemMain()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(cp932::ToUtf8(window.SGd00()->CellText(10, 1)), "あ");  // the kana read from the right
    EXPECT_TRUE(window.close());
  }
  fixture_.window.reset();
  ui::MainWindow& window = Start(kArrows);
  EXPECT_TRUE(window.CommandAction(Command::ModeArrowKeys)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::ModeClick)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::ModeDwell)->isChecked());
  EXPECT_TRUE(window.close());
}

// Learning from the documents starts from the menu, is ticked while the
// window's learn timer steps it, and says what it learned at the end.
TEST_F(MainMenus, LearningFromTheDocumentsRunsOnTheTimerFromItsMenuItem) {
  ui::MainWindow& window = Start();
  QMenu* learning = SubMenu(TopMenu(window, 2), QStringLiteral("予測と学習(&P)"));
  ASSERT_NE(learning, nullptr);
  EXPECT_EQ(Describe(learning),
            "[x] 予測の行を表示(&R) | [ ] かなを一回で入力（゛~で濁点・小文字・カタカナ）(&K) | - | [ ] "
            "文書から言葉を覚える | 学習した語と文をすべて忘れる(&F)...");
  window.Form().Select().InsertText(cp932::Sj("水をください。"));
  QAction* learn = window.CommandAction(Command::LearnDocuments);
  learn->trigger();
  EXPECT_TRUE(learn->isChecked()) << "ticked while it runs";
  QTRY_VERIFY_WITH_TIMEOUT(!learn->isChecked(), 5000);
  EXPECT_EQ(cp932::ToUtf8(window.PnlMsg()->Message()).rfind("覚えました：1文、", 0), 0u)
      << cp932::ToUtf8(window.PnlMsg()->Message());
  EXPECT_TRUE(window.Form().Learned().Knows(cp932::Sj("水をください。")));
  window.Form().Plat().memMain.SetModified(false);  // closing asks nothing
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, NoItemActionOrButtonHasAKeyboardShortcut) {
  ui::MainWindow& window = Start();
  QList<QAction*> all = MainMenuActions(window);
  all << window.TBarMain()->actions();
  CollectActions(window.PMnuSGd(), all);
  CollectActions(window.PMnuTab(), all);
  all << window.findChildren<QAction*>();
  ASSERT_GT(all.size(), 40);
  for (const QAction* action : all) {
    EXPECT_TRUE(action->shortcuts().isEmpty())
        << action->text().toStdString() << ": " << action->shortcut().toString().toStdString();
  }
  EXPECT_TRUE(window.findChildren<QShortcut*>().isEmpty());
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, MainMenuShowsNoImages) {
  ui::MainWindow& window = Start();
  for (const QAction* action : MainMenuActions(window)) {
    EXPECT_TRUE(action->icon().isNull() || !action->isIconVisibleInMenu()) << action->text().toStdString();
  }
  EXPECT_TRUE(window.close());
}

struct ToolButtonRow {
  const char* action;  // nullptr: a separator
  const char* hint;
};

TEST_F(MainMenus, ToolbarButtonsInOrderWithHintsAndImages) {
  ui::MainWindow& window = Start();
  const ToolButtonRow rows[] = {
      {"ActFileNew", "新規作成"},
      {"ActFileOpen", "開く"},
      {"ActFileSave", "上書き保存"},
      {"ActFileAdd", "名前を付けて保存"},
      {"ActFilePrint", "印刷"},
      {nullptr, nullptr},
      {"ActSerFind", "検索"},
      {"ActSerRep", "置換"},
      {nullptr, nullptr},
      {"ActDspFont", "編集フォント変更"},
      {"ActDspMojiFont", "文字盤フォント変更"},
      {nullptr, nullptr},
      {"ActExeZoom", "虫めがね"},
      {nullptr, nullptr},
      {"ActEditUndo", "元に戻す"},
      {"ActEditRedo", "やり直す"},
  };
  QToolBar* bar = window.TBarMain();
  EXPECT_EQ(bar->height(), 25);
  EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
  EXPECT_EQ(bar->y(), window.menuBar()->isNativeMenuBar() ? 0 : window.menuBar()->height());
  const QList<QAction*> actions = bar->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(rows)));
  QList<QImage> pictures;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    QAction* action = actions[static_cast<qsizetype>(i)];
    if (!rows[i].action) {
      EXPECT_TRUE(action->isSeparator()) << i;
      continue;
    }
    EXPECT_EQ(action, window.ActionNamed(QString::fromLatin1(rows[i].action))) << rows[i].action;
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    ASSERT_NE(button, nullptr) << rows[i].action;
    EXPECT_TRUE(button->isVisible()) << rows[i].action;
    EXPECT_EQ(button->toolTip(), QString::fromUtf8(rows[i].hint)) << rows[i].action;
    EXPECT_FALSE(button->icon().isNull()) << rows[i].action;
    EXPECT_LE(button->geometry().bottom(), bar->height()) << rows[i].action;
    pictures << button->icon().pixmap(16, 16).toImage();
  }
  // A separator is an 8-pixel gap between the buttons on either side.
  for (qsizetype i = 1; i + 1 < actions.size(); ++i) {
    if (!actions[i]->isSeparator()) continue;
    const QRect before = bar->widgetForAction(actions[i - 1])->geometry();
    const QRect after = bar->widgetForAction(actions[i + 1])->geometry();
    EXPECT_EQ(after.left() - (before.right() + 1), 8) << "separator " << i;
  }
  ASSERT_EQ(pictures.size(), 12);
  // Twelve pictures, no two alike.
  for (int a = 0; a < pictures.size(); ++a) {
    EXPECT_FALSE(pictures[a].isNull()) << a;
    for (int b = a + 1; b < pictures.size(); ++b) EXPECT_NE(pictures[a], pictures[b]) << a << " and " << b;
  }
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, SaveItemAndSaveButtonAreGreyedAndRestoredTogether) {
  ui::MainWindow& window = Start();
  QAction* save = window.ActFileSave();
  ASSERT_EQ(TopMenu(window, 0)->actions().at(5), save);
  QWidget* button = window.TBarMain()->widgetForAction(save);
  ASSERT_NE(button, nullptr);
  // The board's 書~ cell is greyed and restored with them.
  ui::BoardGrid* grid = window.SGd00();
  int col = 1, row = 6;
  while (col <= 20 && cp932::ToUtf8(grid->CellText(col, row)) != "書~") {
    if (++col > 20 && row == 6) col = 1, row = 7;
  }
  ASSERT_LE(col, 20);
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(grid->CellEnabled(col, row));
  EXPECT_TRUE(grid->CellEnabled(col + (col < 20 ? 1 : -1), row));

  window.MemMain()->insertPlainText(QStringLiteral("abc"));
  EXPECT_TRUE(save->isEnabled());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_TRUE(grid->CellEnabled(col, row));

  {
    BoxAnswerer yes(QMessageBox::Yes);
    window.ActionNamed(QStringLiteral("ActFileNew"))->trigger();
    EXPECT_EQ(yes.text.toStdString(), "編集中です。新規作成しますか？");
  }
  EXPECT_TRUE(window.MemMain()->toPlainText().isEmpty());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(grid->CellEnabled(col, row));

  // The only action ever disabled is saving.
  for (QAction* action : window.TBarMain()->actions()) {
    if (action != save && !action->isSeparator()) {
      EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }
  }
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, CellEditorMenuIsOfferedOnTheUserTabsOnly) {
  ui::MainWindow& window = Start();
  ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_FALSE(window.SGd00()->CellMenuAttached());
  RightClickBoard(3, 2);
  EXPECT_TRUE(TakePopup().empty());

  const std::string cellMenu = "文字盤編集(&M)";
  for (int tab : {1, 2}) {
    window.TabC00()->setCurrentIndex(tab);  // as the user's click does
    EXPECT_TRUE(window.SGd00()->CellMenuAttached()) << tab;
    RightClickBoard(3, 2);
    EXPECT_EQ(TakePopup(), cellMenu) << tab;
  }
  window.TabC00()->setCurrentIndex(0);
  EXPECT_FALSE(window.SGd00()->CellMenuAttached());
  RightClickBoard(1, 6);
  EXPECT_TRUE(TakePopup().empty());
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, TabMenuIsOfferedOnEveryTab) {
  ui::MainWindow& window = Start();
  const std::string tabMenu = "タブ名変更(&T)";
  for (int tab : {0, 1, 2}) {
    window.TabC00()->setCurrentIndex(tab);
    for (int pointed : {0, 1, 2}) {
      RightClickTab(pointed);
      EXPECT_EQ(TakePopup(), tabMenu) << tab << " " << pointed;
      // A right click does not change the tab.
      EXPECT_EQ(window.TabC00()->currentIndex(), tab);
    }
  }
  EXPECT_TRUE(window.close());
}

TEST_F(MainMenus, TabStripNeverShowsThePlaceholderNames) {
  auto expectNames = [this](const char* when) {
    ui::TabStrip* tabs = W().TabC00();
    ASSERT_EQ(tabs->count(), 3) << when;
    for (int i = 0; i < tabs->count(); ++i) {
      bool digit = false;
      tabs->tabText(i).toInt(&digit);
      EXPECT_FALSE(digit) << when << ": " << tabs->tabText(i).toStdString();
    }
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("基本")) << when;
  };
  ui::MainWindow& window = Start();
  expectNames("at start");
  window.TabC00()->setCurrentIndex(2);
  expectNames("after a tab change");
  window.Form().Plat().memMain.SetText("a");  // saving wants a text
  ClickBoard(6, 7);                           // 名~: the slot board hides the tab strip
  EXPECT_FALSE(window.TabC00()->isVisible());
  ClickBoard(1, 7);  // ☆~: back to the tabs
  EXPECT_TRUE(window.TabC00()->isVisible());
  expectNames("after the slot board");
  EXPECT_EQ(window.TabC00()->currentIndex(), 2);
  ASSERT_TRUE(window.close());
  fixture_.window.reset();
  Start();
  expectNames("after a restart");
  EXPECT_EQ(W().TabC00()->currentIndex(), 2);
  EXPECT_TRUE(W().close());
}

}  // namespace
}  // namespace velkor::testing
