// The very first start under a real X display, with the real pointer moved
// by xdotool as a head mouse moves it (a tremor of two pixels, no click, no
// key): resting on 注視で使う sets the program up for dwell.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include "core/CommaText.h"
#include "core/Cp932.h"
#include "core/InputMode.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

void Move(QPoint global) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())}),
            0);
  QTest::qWait(20);
}

void Rest(QPoint at, int ms) {
  static const QPoint kShake[] = {{1, 0}, {0, 1}, {-1, 1}, {-1, 0}, {0, -1}, {1, -1}, {2, 1}, {-2, -1}};
  for (int waited = 0, i = 0; waited < ms; waited += 100, ++i) {
    Move(at + kShake[i % std::size(kShake)]);
    QTest::qWait(80);
  }
}

TEST(FirstStart, RestingOnTheSecondChoiceTurnsOnDwellAndItIsKept) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start(true);
  ASSERT_TRUE(fixture.created);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Move(QPoint(1, 1));
  ASSERT_TRUE(window.Form().Start().Shown());

  // The second choice from the left, at half the board area's height.
  ui::BoardGrid* grid = window.SGd00();
  const Rect second = grid->CellRect(2, 1);
  const QPoint at = grid->mapToGlobal(QPoint(second.left + second.width / 2, grid->height() / 2));
  ASSERT_GT(second.height, grid->height() / 2) << "the choice fills the board area's height";
  Move(at + QPoint(30, 0));
  Move(at);
  Rest(at, 2500);
  EXPECT_TRUE(DwellModeOn(window.Form().State().settings));
  EXPECT_EQ(cp932::ToUtf8(window.Form().Plat().sgd00.CellText(1, 1)), "大きいセル");
  EXPECT_EQ(window.Form().Plat().memMain.Text(), "");

  EXPECT_TRUE(window.close());
  const StringList option = ReadCommaText(cp932::Encode(fixture.Stored(QStringLiteral("Option")).toStdU16String()));
  ASSERT_GE(option.size(), 2u);
  EXPECT_EQ(option[0], "0");
  EXPECT_NE(option[1], "0");
}

// A key pressed on the display, as the user's keyboard or switch presses it.
void Key(const char* name) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QLatin1String(name)}), 0);
  QTest::qWait(100);
}

// The dwell choice and the settings file after it: option slot 1 non-zero
// (dwell), slot 0 zero (no click mode).
void ExpectDwellKept(WindowFixture& fixture, ui::MainWindow& window) {
  EXPECT_TRUE(DwellModeOn(window.Form().State().settings));
  EXPECT_EQ(window.Form().Plat().memMain.Text(), "") << "choosing wrote nothing";
  EXPECT_TRUE(window.close());
  const StringList option = ReadCommaText(cp932::Encode(fixture.Stored(QStringLiteral("Option")).toStdU16String()));
  ASSERT_GE(option.size(), 2u);
  EXPECT_EQ(option[0], "0");
  EXPECT_NE(option[1], "0");
}

// By the arrow keys and any other key: → onto 注視で使う, Enter takes it;
// then Enter takes 大きいセル, where the highlight starts.
TEST(FirstStart, TheArrowKeysAndAnotherKeyChooseDwell) {
  // The pointer away from the window: the cursor is where the keys put it.
  Move(QPoint(1, 1));
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start(true);
  ASSERT_TRUE(fixture.created);
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(window.Form().Start().Shown());
  ASSERT_EQ(window.SGd00()->Col(), 1);
  Key("Right");
  EXPECT_EQ(window.SGd00()->Col(), 2) << "one press, one step";
  Key("Return");
  EXPECT_EQ(cp932::ToUtf8(window.Form().Plat().sgd00.CellText(1, 1)), "大きいセル");
  Key("Return");
  EXPECT_FALSE(window.Form().Start().Shown());
  EXPECT_TRUE(window.Form().State().settings.FitCells());
  ExpectDwellKept(fixture, window);
}

// By one switch: after five seconds without input the highlight steps over
// the choices; Space while it is on 注視で使う takes it.
TEST(FirstStart, SpaceOnTheScanHighlightChoosesDwell) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start(true);
  ASSERT_TRUE(fixture.created);
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Move(QPoint(1, 1));
  ui::BoardGrid* grid = window.SGd00();
  QElapsedTimer waited;
  waited.start();
  QTest::qWait(4000);
  EXPECT_FALSE(grid->ScanHighlighted(1, 1) || grid->ScanHighlighted(2, 1)) << "no highlight before 5 s";
  while (!grid->ScanHighlighted(2, 1) && waited.elapsed() < 15000) QTest::qWait(20);
  ASSERT_TRUE(grid->ScanHighlighted(2, 1)) << "the highlight never reached 注視で使う";
  EXPECT_GE(waited.elapsed(), 5000);
  Key("space");
  EXPECT_EQ(cp932::ToUtf8(window.Form().Plat().sgd00.CellText(1, 1)), "大きいセル");
  ExpectDwellKept(fixture, window);
}

}  // namespace
}  // namespace velkor::testing
