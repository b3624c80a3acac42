// The real main window from start to close under the offscreen platform, with
// a real settings file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "core/CommaText.h"
#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

StringList StoredList(const WindowFixture& fixture, const char* name) {
  return ReadCommaText(cp932::Encode(fixture.Stored(QString::fromLatin1(name)).toStdU16String()));
}

std::string Utf8(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

TEST(MainWindowStart, FirstRunShowsUntitledWindowWithDefaults) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);

  EXPECT_EQ(window.windowTitle(), QStringLiteral("Velkor*LT*V3.2-新規"));
  EXPECT_EQ(window.width(), 710);
  EXPECT_EQ(window.height(), 500);
  EXPECT_TRUE(QFileInfo(fixture.Root() + "/prog/Data").isDir());
  EXPECT_EQ(window.Form().State().dataDir, fixture.shell.programFolder + "Data/");
  EXPECT_EQ(window.Form().State().helpFileName, fixture.shell.programFolder + "VelkorLTH.hlp");

  ui::TabStrip* tabs = window.TabC00();
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("基本"));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("拡張１"));
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("拡張２"));
  EXPECT_EQ(tabs->currentIndex(), 0);

  EXPECT_FALSE(window.ActFileSave()->isEnabled());
  EXPECT_TRUE(window.CommandAction(Command::ModeClick)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::ModeDwell)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::ModeArrowKeys)->isChecked());
  EXPECT_TRUE(window.CommandAction(Command::WordWrap)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::MirrorKana)->isChecked());
  EXPECT_EQ(window.MemMain()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_TRUE(window.MemMain()->toPlainText().isEmpty());

  ui::BoardGrid* grid = window.SGd00();
  EXPECT_EQ(grid->ColCount(), 21);
  EXPECT_EQ(grid->RowCount(), 8);
  EXPECT_EQ(Utf8(grid->CellText(1, 1)), "あ");
  EXPECT_EQ(Utf8(grid->CellText(17, 1)), "(");
  EXPECT_EQ(Utf8(grid->CellText(1, 6)), "改~");
  EXPECT_EQ(Utf8(grid->CellText(8, 7)), "終~");

  EXPECT_TRUE(window.close());
  EXPECT_TRUE(QFileInfo::exists(fixture.SettingsFile()));
}

TEST(MainWindowStart, CloseWritesEverySettingInOrder) {
  WindowFixture fixture;
  fixture.Start();
  ASSERT_TRUE(fixture.window->close());

  EXPECT_EQ(fixture.Stored("Ver"), QStringLiteral("*V3.2"));
  EXPECT_EQ(fixture.Stored("Option"), QStringLiteral("1,0,0,1,0,0,0,0,0,0"));
  EXPECT_TRUE(fixture.Stored("File").isEmpty());
  const StringList crt = StoredList(fixture, "Crt");
  ASSERT_EQ(crt.size(), 30u);
  EXPECT_EQ(crt[0], "710");
  EXPECT_EQ(crt[1], "500");
  EXPECT_EQ(Utf8(crt[4]), "ＭＳ ゴシック");
  EXPECT_EQ(crt[5], "20");
  EXPECT_EQ(crt[6], "clWindowText");
  EXPECT_EQ(crt[11], "22");
  EXPECT_EQ(Utf8(crt[15]), "基本,拡張１,拡張２");
  // The shown tab's sizes come back whole: 20 widths and 5 heights of 33 px
  // on a 96 dpi screen.
  const StringList sizes = ReadCommaText(crt[16]);
  ASSERT_EQ(sizes.size(), 25u);
  const std::string cell = std::to_string(fixture.window->SGd00()->DefaultRowHeight());
  for (const std::string& size : sizes) EXPECT_EQ(size, cell);
  EXPECT_EQ(crt[17], "0");
  EXPECT_EQ(crt[19], "0");
  EXPECT_EQ(crt[20], "clWindow");
  EXPECT_EQ(crt[21], "clWindow");
  EXPECT_EQ(crt[29], "\\EOD");
  EXPECT_EQ(ReadCommaText(crt[13]).size(), 167u);
}

TEST(MainWindowStart, SettingsOfOneRunAreTheNextRunsStart) {
  WindowFixture fixture;
  {
    ui::MainWindow& window = fixture.Start();
    window.TabC00()->setCurrentIndex(1);  // as the user's click does
    window.Form().Modes().MnuEditM30Click();
    window.Form().Board().MnuDspHiraClick();
    window.SGd00()->setColumnWidth(2, 61);  // column 3 dragged wider
    ASSERT_TRUE(window.close());
  }
  ui::MainWindow& window = fixture.Start();
  EXPECT_EQ(window.TabC00()->currentIndex(), 1);
  EXPECT_EQ(window.SGd00()->ColWidth(3), 61);
  EXPECT_EQ(Utf8(window.SGd00()->CellText(1, 1)), "☆");
  EXPECT_TRUE(window.CommandAction(Command::ModeDwell)->isChecked());
  EXPECT_TRUE(window.CommandAction(Command::ModeDwell3)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::ModeClick)->isChecked());
  EXPECT_TRUE(window.CommandAction(Command::MirrorKana)->isChecked());
  EXPECT_TRUE(window.close());
}

TEST(MainWindowStart, ShortStoredListsAreReplacedAndLongOnesKept) {
  WindowFixture fixture;
  QStringList crt29;
  for (int i = 0; i < 29; ++i) crt29 << QStringLiteral("9");
  fixture.Store("Crt", crt29.join(','));
  fixture.Store("Option", QStringLiteral("0,1,0,0,0,0,0,0,0,0,extra1,extra2"));
  ui::MainWindow& window = fixture.Start();
  EXPECT_EQ(window.width(), 710);  // all 30 slots took their defaults
  EXPECT_TRUE(window.CommandAction(Command::ModeDwell1)->isChecked());
  EXPECT_FALSE(window.CommandAction(Command::WordWrap)->isChecked());
  ASSERT_TRUE(window.close());
  EXPECT_EQ(fixture.Stored("Option"), QStringLiteral("0,1,0,0,0,0,0,0,0,0,extra1,extra2"));
  EXPECT_EQ(StoredList(fixture, "Crt").size(), 30u);
}

TEST(MainWindowStart, HandEditedSlotsFallBackToTheirDefaults) {
  WindowFixture fixture;
  QStringList crt;
  for (int i = 0; i < 30; ++i) crt << QStringLiteral("0");
  crt[0] = QStringLiteral("wide");
  crt[1] = QStringLiteral("400");
  crt[5] = QStringLiteral("big");
  crt[15] = QStringLiteral("One");  // one tab name: the other two are empty
  crt[19] = QStringLiteral("7");    // no such tab
  crt[20] = QStringLiteral("purple-ish");
  fixture.Store("Crt", crt.join(','));
  ui::MainWindow& window = fixture.Start();
  EXPECT_EQ(window.width(), 710);
  EXPECT_EQ(window.height(), 400);
  EXPECT_EQ(window.Form().Plat().memMain.Font().size, 20);
  ASSERT_EQ(window.TabC00()->count(), 3);
  EXPECT_EQ(window.TabC00()->tabText(0), QStringLiteral("One"));
  EXPECT_TRUE(window.TabC00()->tabText(2).isEmpty());
  EXPECT_EQ(window.TabC00()->currentIndex(), 0);
  EXPECT_EQ(window.Form().Plat().memMain.Background(), colours::clWindow);
  EXPECT_TRUE(window.close());
}

struct CloseCase {
  const char* name;
  const char* option;  // stored input mode
  bool unsaved;
  bool asks;
};

class MainWindowClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(MainWindowClose, AsksOnlyInClickModeWithUnsavedChanges) {
  const CloseCase& c = GetParam();
  WindowFixture fixture;
  fixture.Store("Option", QString::fromLatin1(c.option));
  ui::MainWindow& window = fixture.Start();
  if (c.unsaved) {
    // An edit by the user (typed keys would be discarded in arrow-key mode).
    window.MemMain()->insertPlainText(QStringLiteral("abc"));
    ASSERT_TRUE(window.Form().Plat().memMain.Modified());
  }
  if (c.asks) {
    {
      BoxAnswerer no(QMessageBox::No);
      EXPECT_FALSE(window.close());
      EXPECT_EQ(no.answered, 1);
      EXPECT_EQ(no.text, QStringLiteral("編集中です。終了しますか？"));
      EXPECT_EQ(no.title, QStringLiteral("確認"));
      EXPECT_EQ(no.icon, QMessageBox::Question);
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.MemMain()->toPlainText(), QStringLiteral("abc"));
    EXPECT_FALSE(QFileInfo::exists(fixture.SettingsFile()) && !fixture.Stored("Crt").isEmpty());
    BoxAnswerer yes(QMessageBox::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(yes.answered, 1);
  } else {
    BoxAnswerer none(QMessageBox::Yes);
    EXPECT_TRUE(window.close());
    QTest::qWait(20);
    EXPECT_EQ(none.answered, 0);
  }
  EXPECT_FALSE(fixture.Stored("Crt").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(InputModes, MainWindowClose,
                         ::testing::Values(CloseCase{"ClickUnsaved", "1,0,0,1,0,0,0,0,0,0", true, true},
                                           CloseCase{"ClickSaved", "1,0,0,1,0,0,0,0,0,0", false, false},
                                           CloseCase{"DwellUnsaved", "0,2,0,1,0,0,0,0,0,0", true, false},
                                           CloseCase{"DwellSaved", "0,2,0,1,0,0,0,0,0,0", false, false},
                                           CloseCase{"ArrowKeysUnsaved", "0,0,1,1,0,0,0,0,0,0", true, false},
                                           CloseCase{"ArrowKeysSaved", "0,0,1,1,0,0,0,0,0,0", false, false}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(MainWindowDataFolder, FallsBackToThePerUserFolder) {
  WindowFixture fixture;
  // A program folder under a plain file cannot hold a folder.
  QFile blocker(fixture.Root() + "/blocker");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  fixture.shell.programFolder = (fixture.Root() + "/blocker/").toStdString();
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  EXPECT_EQ(window.Form().State().dataDir, fixture.shell.userDataFolder + "VelkorLT/Data/");
  EXPECT_TRUE(QFileInfo(fixture.Root() + "/user/VelkorLT/Data").isDir());
  EXPECT_TRUE(window.close());
}

TEST(MainWindowDataFolder, NoFolderAtAllEndsCleanlyWithoutSettings) {
  WindowFixture fixture;
  QFile blocker(fixture.Root() + "/blocker");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  fixture.shell.programFolder = (fixture.Root() + "/blocker/").toStdString();
  fixture.shell.userDataFolder = (fixture.Root() + "/blocker/").toStdString();
  BoxAnswerer ok(QMessageBox::Ok);
  fixture.Start();
  EXPECT_FALSE(fixture.created);
  EXPECT_EQ(ok.answered, 1);
  EXPECT_EQ(ok.text, QStringLiteral("Cannot create DataDir"));
  EXPECT_EQ(ok.icon, QMessageBox::Critical);
  EXPECT_FALSE(QFileInfo::exists(fixture.SettingsFile()));
}

// Faults found in use, through the real window.

TEST(WindowFaults, TheBoardBackgroundColourIsDrawn) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  ui::BoardGrid* grid = window.SGd00();
  grid->SetBackground(colours::Rgb(255, 0, 0));
  const Rect cell = grid->CellRect(2, 1);
  const QImage image = grid->grab().toImage();
  EXPECT_EQ(image.pixelColor(cell.left + 2, cell.top + cell.height - 3), QColor(255, 0, 0));
  EXPECT_TRUE(window.close());
}

TEST(WindowFaults, TheHeaderRowAndColumnAreTrackedAsRowAndColumnOne) {
  WindowFixture fixture;
  fixture.Store("Option", QStringLiteral("0,1,0,1,0,0,0,0,0,0"));
  ui::MainWindow& window = fixture.Start();
  ui::BoardGrid* grid = window.SGd00();
  const Rect cell5 = grid->CellRect(5, 3);
  const Rect cell1 = grid->CellRect(1, 4);
  struct Move {
    QWidget* target;
    QPoint at;
    CellPos tracked;
  } moves[] = {
      {grid->horizontalHeader()->viewport(), QPoint(cell5.left + 3 - grid->verticalHeader()->width(), 2), {5, 1}},
      {grid->verticalHeader()->viewport(), QPoint(2, cell1.top + 3 - grid->horizontalHeader()->height()), {1, 4}},
  };
  for (const Move& m : moves) {
    QCursor::setPos(m.target->mapToGlobal(m.at));
    QMouseEvent move(QEvent::MouseMove, QPointF(m.at), m.target->mapToGlobal(QPointF(m.at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m.target, &move);
    ASSERT_TRUE(window.Form().Pointer().Under().has_value());
    EXPECT_EQ(window.Form().Pointer().Under()->cell, m.tracked);
  }
  EXPECT_TRUE(window.close());
}

TEST(WindowFaults, AStoredGeometryIsBroughtOntoTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const WindowRect stored[] = {{10, 10, 2147483647, 2147483647}, {-90000, 90000, 400, 300}, {100, 80, 400, 300}};
  for (const WindowRect& rect : stored) {
    const QRect fitted = ui::MainWindow::FitToScreens(rect);
    EXPECT_TRUE(area.contains(fitted)) << fitted.x() << "," << fitted.y() << " " << fitted.width();
  }
  EXPECT_EQ(ui::MainWindow::FitToScreens({100, 80, 400, 300}), QRect(100, 80, 400, 300));

  // What is stored at the close is the corner that was applied.
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  window.SetGeometry({120, 90, 500, 400});
  EXPECT_EQ(window.Geometry(), (WindowRect{120, 90, 500, 400}));
  EXPECT_TRUE(window.close());
}

TEST(WindowFaults, QtsOwnButtonsAreInJapanese) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")))
      << box.button(QMessageBox::Yes)->text().toStdString();
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
}

}  // namespace
}  // namespace velkor::testing
