// The variant list as the conversion uses it: columns as wide as the longest
// candidate, and the whole list inside the board panel.
#include <gtest/gtest.h>

#include "tests/ui/WindowFixture.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include "ui/FitTextDelegate.h"

#include <QFontMetrics>
#include <QScrollBar>
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

  // A caption wider than the panel allows (four segments accepted at once)
  // widens the columns only as far as the panel: the last column stays on
  // screen, and the caption is drawn to fit its cell.
  list.SetCellText(0, 1, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
  list.SetCellText(3, 1, "x");
  list.FitToText();
  const Rect wide = list.Geometry();
  EXPECT_GE(wide.left, 0);
  EXPECT_LE(wide.left + wide.width, 300);
  EXPECT_GE(wide.left + wide.width, 300 - 4) << "as wide as the panel allows";
  for (int c = 1; c < 4; ++c) EXPECT_EQ(list.columnWidth(c), list.columnWidth(0));
  EXPECT_EQ(wide.width, 4 * list.columnWidth(0) + 2 * list.frameWidth()) << "every column inside the list";
}

// Candidates and captions wider than their cells ("00" in a small cell, "BS~", a variant
// "hello world", a long learned sentence) fit their cell, never below 0.6 of
// the font: what does not fit then is cut with 「…」 at its end.
TEST(FitText, EveryCaptionFitsItsCellInAReadableSize) {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(29);
  const QRect cell(0, 0, 30, 33);
  const QString sentence =
      QStringLiteral("看護師さんを呼んでください。体の向きを変えてください。ありがとうございます。");
  for (const QString& text : {QStringLiteral("00"), QStringLiteral("BS~"), QStringLiteral("←~"),
                              QStringLiteral("hello world"), QStringLiteral("あ"), sentence}) {
    SCOPED_TRACE(text.toStdString());
    const QRect room = text == sentence ? QRect(0, 0, 160, 33) : cell;
    const ui::FitTextDelegate::Fitted fitted = ui::FitTextDelegate::FitText(font, text, room);
    const QFontMetricsF metrics(fitted.font);
    EXPECT_LE(metrics.horizontalAdvance(fitted.text), room.width());
    EXPECT_LE(metrics.height(), room.height());
    EXPECT_GE(QFontInfo(fitted.font).pixelSize(), 17) << "0.6 of 29 pixels";
    if (fitted.text != text) {
      EXPECT_TRUE(fitted.text.endsWith(QStringLiteral("…")));
      EXPECT_TRUE(text.startsWith(fitted.text.chopped(1)));
    }
  }
  EXPECT_NE(ui::FitTextDelegate::FitText(font, sentence, QRect(0, 0, 160, 33)).text, sentence);
  // A label that does not fit at 0.6 of the font takes its shorter form
  // (half-width katakana) before it is cut, at a readable size still.
  const auto label = ui::FitTextDelegate::FitText(font, QStringLiteral("●クリック"), QRect(0, 0, 60, 33),
                                                  ui::FitTextDelegate::Cut::Label);
  EXPECT_EQ(label.text, QStringLiteral("●ｸﾘｯｸ"));
  // A candidate keeps its own characters and is cut with 「…」.
  const auto candidate = ui::FitTextDelegate::FitText(font, QStringLiteral("アメリカ"), QRect(0, 0, 60, 33));
  EXPECT_EQ(candidate.text, QStringLiteral("アメ…"));
  EXPECT_GE(QFontInfo(label.font).pixelSize(), 17);
  EXPECT_LE(QFontMetricsF(label.font).horizontalAdvance(label.text), 60);
  // A board label keeps its first characters, without the command mark.
  const QRect narrow(0, 0, 20, 33);
  using ui::FitTextDelegate;
  EXPECT_EQ(FitTextDelegate::FitText(font, QStringLiteral("時間"), narrow, FitTextDelegate::Cut::Label).text,
            QStringLiteral("時"));
  EXPECT_EQ(FitTextDelegate::FitText(font, QStringLiteral("改～"), narrow, FitTextDelegate::Cut::Label).text,
            QStringLiteral("改"));
  EXPECT_EQ(FitTextDelegate::FitText(font, QStringLiteral("00"), narrow, FitTextDelegate::Cut::Label).text,
            QStringLiteral("00"));
  EXPECT_EQ(ui::FitTextDelegate::Shortened(QStringLiteral("全キー１／２ガバパ")), QStringLiteral("全ｷｰ1/2ｶﾞﾊﾞﾊﾟ"));
  // A caption that fits keeps its size and its text.
  const auto whole = ui::FitTextDelegate::FitText(font, QStringLiteral("あ"), QRect(0, 0, 60, 60));
  EXPECT_EQ(QFontInfo(whole.font).pixelSize(), 29);
  EXPECT_EQ(whole.text, QStringLiteral("あ"));
}

// A list near the board's right or bottom edge shows all its cells, and the
// whole of it is where pointer rests are tracked, also over the tab strip.
TEST(VariantListPlace, AListNearTheEdgeIsWhollyShownAndTracked) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  QApplication::processEvents();  // the window's layout settles
  ui::VariantList* list = window.SGd01();
  const QWidget* panel = list->parentWidget();
  list->SetShape(4, 4);
  list->SetCellSize(33, 33);
  list->SetGeometry({panel->width() - 40, panel->height() - 40, 4 * 33 + 10, 4 * 33 + 10});
  list->SetVisible(true);
  EXPECT_TRUE(QRect(QPoint(0, 0), panel->size()).contains(list->geometry()))
      << list->geometry().x() << "," << list->geometry().y() << " " << list->width() << "x" << list->height() << " in "
      << panel->width() << "x" << panel->height();
  // Every part of it is found under the pointer, where it lies over the tab
  // strip too.
  const QPoint last = list->mapToGlobal(QPoint(list->width() - 8, list->height() - 8));
  EXPECT_EQ(list->CellAtScreen({last.x(), last.y()}), (CellPos{3, 3}));
  list->SetVisible(false);
  EXPECT_TRUE(window.close());
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// The prediction row lies above the board in the same panel: a list opened
// over a board cell still lies on that cell, the row is part of the tracked
// board area, and the board keeps all its rows in view (the row comes on top
// of the lower panel's height, not out of the board's).
TEST(VariantListPlace, TheListLiesOnItsCellBelowThePredictionRow) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  QApplication::processEvents();
  ui::PredictionStrip* row = window.Predictions();
  ASSERT_TRUE(row->isVisible());
  ui::BoardGrid* grid = window.SGd00();
  EXPECT_GE(row->mapToGlobal(QPoint(0, row->height())).y(), row->mapToGlobal(QPoint(0, 0)).y() + 20);
  EXPECT_LE(row->mapToGlobal(QPoint(0, row->height())).y(), grid->mapToGlobal(QPoint(0, 0)).y());
  const Rect cell = grid->CellRect(2, 1);
  ui::VariantList* list = window.SGd01();
  list->SetShape(2, 2);
  list->SetCellSize(33, 33);
  list->SetGeometry({cell.left, cell.top, 2 * 33 + 10, 2 * 33 + 10});
  list->SetVisible(true);
  EXPECT_EQ(list->mapToGlobal(QPoint(0, 0)), grid->mapToGlobal(QPoint(cell.left, cell.top)));
  EXPECT_EQ(list->Geometry().top, cell.top);
  const QPoint onRow = row->mapToGlobal(QPoint(5, row->height() / 2));
  EXPECT_EQ(row->CellAtScreen({onRow.x(), onRow.y()}), (CellPos{0, 0}));
  EXPECT_EQ(grid->verticalScrollBar()->isVisible(), false) << "every board row in view";
  const int stored = window.LowerPanelHeight();
  window.Form().ShowPredictionRow(false);
  QApplication::processEvents();
  EXPECT_EQ(window.LowerPanelHeight(), stored) << "the stored height is the panel's without the row";
  list->SetVisible(false);
  EXPECT_TRUE(window.close());
}

}  // namespace
}  // namespace velkor::testing
