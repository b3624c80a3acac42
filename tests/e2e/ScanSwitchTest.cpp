// One switch alone, under a real X display: the window scans at a 1.0 s
// interval and the only input is the Space key, pressed through xdotool when
// the highlight is where the user wants it (as a user watching the screen
// does). It writes あい and saves it to a slot; the time it took is printed.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "core/Cp932.h"
#include "core/Settings.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

class ScanSwitch : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture_.Store("Option", QStringLiteral("1,0,0,1,0,0,0,0,0,0"));
    fixture_.Store(named::kScan, QStringLiteral("1"));
    fixture_.Store(named::kScanInterval, QStringLiteral("1.0"));
    fixture_.Store(named::kPredictionCells, QStringLiteral("0"));
    window_ = &fixture_.Start();
    ASSERT_TRUE(fixture_.created);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    QTest::qWait(200);
  }
  void TearDown() override {
    window_->Form().Plat().memMain.SetModified(false);
    window_->close();
  }

  std::string Text() { return cp932::ToUtf8(window_->Form().Plat().memMain.Text()); }
  // The switch: a real key press on the display.
  void Press() {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("space")}), 0);
    QTest::qWait(50);
    ++presses_;
  }
  // Waits (at most 30 s) until the highlight is on board row `row` (and
  // cell `col`, when not -1), then presses.
  void PressAt(int row, int col = -1, bool inList = false) {
    const Scanner& scan = window_->Form().Scan();
    QElapsedTimer waited;
    waited.start();
    const auto there = [&] {
      const Scanner::Mark mark = scan.Highlight();
      return mark.inList == inList && mark.row == row && mark.col == col;
    };
    while (!there() && waited.elapsed() < 30000) QTest::qWait(20);
    ASSERT_TRUE(there()) << "the highlight never reached row " << row << ", cell " << col;
    Press();
  }

  WindowFixture fixture_;
  ui::MainWindow* window_ = nullptr;
  int presses_ = 0;
};

TEST_F(ScanSwitch, OneSwitchWritesAiAndSavesItToASlot) {
  ASSERT_TRUE(window_->Form().Scan().Active());
  QElapsedTimer clock;
  clock.start();
  PressAt(1);            // the first row (after the shortcut line)
  PressAt(1, 1);         // あ: its list, two rows of two, stepped entry by entry
  PressAt(0, 0, true);   // あ
  ASSERT_EQ(Text(), "あ");
  PressAt(2);            // the second row
  PressAt(2, 1);         // い: its list
  PressAt(0, 0, true);   // い
  ASSERT_EQ(Text(), "あい");
  const qint64 writing = clock.elapsed();
  const int writingPresses = presses_;

  PressAt(7);     // the command row
  PressAt(7, 6);  // 名~: the slot board
  ASSERT_FALSE(window_->TabC00()->isVisible()) << "the slot board is shown";
  PressAt(1);     // the first row of slots
  PressAt(1, 6);  // slot 05
  const qint64 total = clock.elapsed();
  ASSERT_TRUE(window_->TabC00()->isVisible()) << "the board is back";

  const QString slot = QString::fromStdString(window_->Form().Docs().SlotPathOf(5));
  QFile file(slot);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << slot.toStdString();
  EXPECT_EQ(cp932::ToUtf8(file.readAll().toStdString()), "あい");
  EXPECT_EQ(window_->Form().State().curFileName, slot.toStdString());
  std::printf(
      "one switch at a 1.0 s interval: あい written in %.1f s with %d presses; saved to slot 05 after %.1f s, "
      "%d presses\n",
      writing / 1000.0, writingPresses, total / 1000.0, presses_);
}

}  // namespace
}  // namespace velkor::testing
