// Writing a short Japanese text with the board alone and saving it to a
// document slot, in each input mode, through the real window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QTest>

#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";
constexpr char kDwell[] = "0,1,0,1,0,0,0,0,0,0";
constexpr char kArrows[] = "0,0,1,1,0,0,0,0,0,0";

class WritingScenario : public ::testing::Test {
 protected:
  ui::MainWindow& Start(const char* option) {
    fixture_.Store("Option", QString::fromLatin1(option));
    ui::MainWindow& window = fixture_.Start();
    window.activateWindow();
    return window;
  }
  ui::MainWindow& W() { return *fixture_.window; }
  QWidget* GridViewport() { return W().SGd00()->viewport(); }

  // The centre of a board cell in the grid viewport's coordinates.
  QPoint BoardCell(int col, int row) {
    const Rect r = W().SGd00()->CellRect(col, row);
    return GridViewport()->mapFrom(W().SGd00(), QPoint(r.left + r.width / 2, r.top + r.height / 2));
  }
  QPoint ListCell(int col, int row) {
    ui::VariantList* list = W().SGd01();
    const QRect r = list->visualItemRect(list->item(row, col));
    return r.center();
  }
  void ClickBoard(int col, int row) {
    QTest::mouseMove(GridViewport(), BoardCell(col, row));
    QTest::mouseClick(GridViewport(), Qt::LeftButton, {}, BoardCell(col, row));
  }
  void ClickList(int col, int row) {
    QWidget* viewport = W().SGd01()->viewport();
    QTest::mouseMove(viewport, ListCell(col, row));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, ListCell(col, row));
  }
  // Comes from the cell beside it and rests on a board cell until the dwell
  // time of one second has passed.
  void DwellBoard(int col, int row) {
    QTest::mouseMove(GridViewport(), BoardCell(col == 20 ? 19 : col + 1, row));
    QTest::mouseMove(GridViewport(), BoardCell(col, row));
    Tick(2);
  }
  // Comes from the entry beside it (the list opened under the pointer, so
  // the entry there counts only after a move) and rests.
  void DwellList(int col, int row) {
    QTest::mouseMove(W().SGd01()->viewport(), ListCell(col ^ 1, row));
    QTest::mouseMove(W().SGd01()->viewport(), ListCell(col, row));
    Tick(2);
  }
  void Tick(int times) {
    for (int i = 0; i < times; ++i) W().Form().Pointer().Tick();
  }
  // Walks the board cursor to (col, row) with the arrow keys and confirms.
  void KeyBoard(int col, int row) {
    ui::EditArea* edit = W().MemMain();
    // Down passes over the prediction row (a row above the first), which
    // leaves the column below the row's cell: the column comes last.
    while (W().SGd00()->Row() != row || W().Predictions()->Current() >= 0) QTest::keyClick(edit, Qt::Key_Down);
    while (W().SGd00()->Col() != col) QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  void KeyList(int col, int row) {
    ui::VariantList* list = W().SGd01();
    ASSERT_TRUE(list->isVisible());
    while (list->currentColumn() < col) QTest::keyClick(list, Qt::Key_Right);
    while (list->currentRow() < row) QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space);
  }
  std::string SlotFile(int n) {
    QFile file(fixture_.Root() + QStringLiteral("/prog/Data/文書%1.txt").arg(n, 2, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
  }
  std::string Expected() { return cp932::FromUtf8("かナ\r\nA。"); }

  WindowFixture fixture_;
};

TEST_F(WritingScenario, ClickModeWritesAndSavesToASlot) {
  Start(kClick);
  ClickBoard(2, 1);  // か group
  ASSERT_TRUE(W().SGd01()->isVisible());
  EXPECT_EQ(W().SGd01()->ColCount(), 2);
  EXPECT_EQ(W().SGd01()->RowCount(), 3);
  ClickList(0, 0);  // か
  EXPECT_FALSE(W().SGd01()->isVisible());
  ClickBoard(5, 1);   // な,ナ
  ClickList(1, 0);    // ナ
  ClickBoard(1, 6);   // 改~
  ClickBoard(11, 1);  // A,a
  ClickList(0, 0);
  ClickBoard(11, 5);  // 。 acts at once
  EXPECT_EQ(W().Form().Plat().memMain.Text(), Expected());
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("。"));

  ClickBoard(6, 7);  // 名~: the slot board for saving
  EXPECT_FALSE(W().TabC00()->isVisible());
  EXPECT_EQ(W().SGd00()->CellText(6, 1), "05");
  BoxAnswerer saved(QMessageBox::Ok);
  ClickBoard(6, 1);  // slot 05
  EXPECT_EQ(saved.text, QStringLiteral("保存しました"));
  EXPECT_EQ(SlotFile(5), Expected());
  EXPECT_TRUE(W().TabC00()->isVisible());
  EXPECT_TRUE(W().windowTitle().endsWith(QStringLiteral("/prog/Data/文書05.txt")));
  EXPECT_FALSE(W().Form().Plat().memMain.Modified());
  EXPECT_TRUE(W().close());
}

TEST_F(WritingScenario, DwellModeWritesAndSavesToASlot) {
  Start(kDwell);
  DwellBoard(2, 1);
  ASSERT_TRUE(W().SGd01()->isVisible());
  DwellList(0, 0);
  EXPECT_FALSE(W().SGd01()->isVisible());
  DwellBoard(5, 1);
  DwellList(1, 0);
  DwellBoard(1, 6);
  DwellBoard(11, 1);
  DwellList(0, 0);
  DwellBoard(11, 5);
  EXPECT_EQ(W().Form().Plat().memMain.Text(), Expected());
  EXPECT_TRUE(W().PnlMsg()->TimeText().empty());

  DwellBoard(6, 7);  // 名~
  ASSERT_FALSE(W().TabC00()->isVisible());
  DwellBoard(6, 1);  // slot 05
  EXPECT_EQ(SlotFile(5), Expected());
  EXPECT_EQ(cp932::ToUtf8(W().PnlMsg()->Message()), "保存しました");
  EXPECT_TRUE(W().close());
}

TEST_F(WritingScenario, ArrowKeyModeWritesAndSavesToASlot) {
  Start(kArrows);
  W().MemMain()->setFocus();
  KeyBoard(2, 1);
  KeyList(0, 0);
  KeyBoard(5, 1);
  KeyList(1, 0);
  KeyBoard(1, 6);
  KeyBoard(11, 1);
  KeyList(0, 0);
  KeyBoard(11, 5);
  EXPECT_EQ(W().Form().Plat().memMain.Text(), Expected());

  KeyBoard(6, 7);  // 名~
  ASSERT_FALSE(W().TabC00()->isVisible());
  KeyBoard(6, 1);  // slot 05
  EXPECT_EQ(SlotFile(5), Expected());
  EXPECT_TRUE(W().close());
}

TEST_F(WritingScenario, OneUndoTakesBackOneInsertedCell) {
  Start(kClick);
  ClickBoard(19, 1);  // 0
  ClickBoard(19, 2);  // 1
  ClickBoard(1, 6);   // 改~
  EXPECT_EQ(W().Form().Plat().memMain.Text(), "01\r\n");
  ClickBoard(9, 6);  // 戻
  EXPECT_EQ(W().Form().Plat().memMain.Text(), "01");
  ClickBoard(10, 6);  // 直
  EXPECT_EQ(W().Form().Plat().memMain.Text(), "01\r\n");
  W().Form().Plat().memMain.SetModified(false);
  EXPECT_TRUE(W().close());
}

}  // namespace
}  // namespace velkor::testing
