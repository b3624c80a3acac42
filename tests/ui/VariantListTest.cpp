// The variant list as the conversion uses it: columns as wide as the longest
// candidate, and the whole list inside the board panel.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>

#include "ui/FitTextDelegate.h"

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

// Captions wider than their cells ("00" in a small cell, "BS~", a variant
// "hello world") are drawn whole in a smaller size, never clipped.
TEST(FitText, EveryCaptionFitsItsCell) {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(29);
  const QRect cell(0, 0, 30, 33);
  for (const char* caption : {"00", "BS~", "←~", "hello world", "あ"}) {
    SCOPED_TRACE(caption);
    const QString text = QString::fromUtf8(caption);
    const QFont fitted = ui::FitTextDelegate::FittedFont(font, text, cell);
    const QFontMetricsF metrics(fitted);
    EXPECT_LE(metrics.horizontalAdvance(text), cell.width());
    EXPECT_LE(metrics.height(), cell.height());
  }
  // A caption that fits keeps its size.
  EXPECT_EQ(QFontInfo(ui::FitTextDelegate::FittedFont(font, QStringLiteral("あ"), QRect(0, 0, 60, 60))).pixelSize(),
            29);
}

}  // namespace
}  // namespace velkor::testing
