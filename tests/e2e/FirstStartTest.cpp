// The very first start under a real X display, with the real pointer moved
// by xdotool as a head mouse moves it (a tremor of two pixels, no click, no
// key): resting on 注視で使う sets the program up for dwell.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velkor::testing
