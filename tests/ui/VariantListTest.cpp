// The variant list as the conversion uses it: columns as wide as the longest
// candidate, and the whole list inside the board panel.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QWidget>

#include "ui/VariantList.h"

namespace velkor::testing {
namespace {

TEST(VariantList, FitToTextWidensToTheLongestTextAndStaysInsideThePanel) {
  QWidget panel;
  panel.resize(300, 200);
  ui::VariantList list(&panel);
  list.SetCellSize(33, 33);
  list.SetShape(4, 4);
  const std::string longest = "MMMM";
  list.SetCellText(1, 0, longest);
  list.SetCellText(0, 3, "a");
  list.SetGeometry({250, 150, 4 * 33 + 10, 4 * 33 + 10});  // over a cell near the corner
  list.FitToText();

  const QFontMetrics metrics(list.font());
  const int width = list.columnWidth(0);
  EXPECT_GE(width, metrics.horizontalAdvance(QString::fromStdString(longest)));
  for (int c = 1; c < 4; ++c) EXPECT_EQ(list.columnWidth(c), width);
  const Rect area = list.Geometry();
  EXPECT_GE(area.left, 0);
  EXPECT_GE(area.top, 0);
  EXPECT_LE(area.left + area.width, 300);
  EXPECT_LE(area.top + area.height, 200);
  EXPECT_EQ(area.height, 4 * 33 + 2 * list.frameWidth());

  // Short texts keep the cells as large as the board's.
  list.SetCellText(1, 0, "x");
  list.SetCellSize(33, 33);
  list.FitToText();
  EXPECT_EQ(list.columnWidth(0), 33);
}

}  // namespace
}  // namespace velkor::testing
