// The access settings as the real widgets show them: cells grown to the
// window fill the board without scroll bars, the dwell count in the status
// line is never cut off, and the scan highlight is on the cells it names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "core/Cp932.h"
#include "core/Settings.h"
#include "tests/ui/WindowFixture.h"
#include "ui/BoardGrid.h"
#include "ui/FitTextDelegate.h"
#include "ui/PredictionStrip.h"
#include "ui/StatusLine.h"

namespace velkor::testing {
namespace {

TEST(AccessUi, FittedCellsFillTheBoardAndFollowTheWindow) {
  WindowFixture fixture;
  fixture.Store(named::kFitCells, QStringLiteral("1"));
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  ui::BoardGrid* grid = window.SGd00();
  for (const QSize size : {QSize(1200, 900), QSize(800, 600)}) {
    window.resize(size);
    QTest::qWait(50);
    const int cellWidth = grid->ColWidth(1);
    const int cellHeight = grid->RowHeight(1);
    EXPECT_GE(cellWidth, grid->DefaultRowHeight());
    // Every column and row fits: no scroll bar, less than a cell left over.
    int width = grid->ColWidth(0);
    for (int col = 1; col < grid->ColCount(); ++col) width += grid->ColWidth(col);
    int height = grid->RowHeight(0);
    for (int row = 1; row < grid->RowCount(); ++row) height += grid->RowHeight(row);
    EXPECT_LE(width, grid->contentsRect().width()) << size.width();
    EXPECT_LE(height, grid->contentsRect().height()) << size.width();
    if (cellWidth > grid->DefaultRowHeight()) {
      EXPECT_GT(width + 20, grid->contentsRect().width());
    }
    if (cellHeight > grid->DefaultRowHeight()) {
      EXPECT_GT(height + 7, grid->contentsRect().height());
    }
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
  }
  const int small = grid->ColWidth(1);
  window.resize(1400, 1000);
  QTest::qWait(50);
  EXPECT_GT(grid->ColWidth(1), small) << "a bigger window, bigger cells";
}

// The prediction row, the most used target, is as tall as a board row: with
// the cells grown and without, and when the board takes a share of the
// window, the rows and the row divide that share.
TEST(AccessUi, ThePredictionRowIsAsTallAsABoardRow) {
  for (const char* share : {"0", "67"}) {
    SCOPED_TRACE(share);
    WindowFixture fixture;
    fixture.Store(named::kFitCells, QStringLiteral("1"));
    fixture.Store(named::kBoardShare, QLatin1String(share));
    ui::MainWindow& window = fixture.Start();
    ASSERT_TRUE(fixture.created);
    ui::BoardGrid* grid = window.SGd00();
    ui::PredictionStrip* row = window.Predictions();
    ASSERT_TRUE(row->isVisible());
    for (const QSize size : {QSize(1200, 900), QSize(900, 1000)}) {
      window.resize(size);
      // The layout settles in a few passes of the event loop (more under
      // the sanitizers): the row follows the board's rows when it has.
      (void)QTest::qWaitFor([&] { return row->height() == grid->RowHeight(1); }, 3000);
      EXPECT_GT(grid->RowHeight(1), grid->DefaultRowHeight()) << size.height();
      EXPECT_EQ(row->height(), grid->RowHeight(1)) << size.height();
      int height = grid->RowHeight(0);
      for (int r = 1; r < grid->RowCount(); ++r) height += grid->RowHeight(r);
      EXPECT_LE(height, grid->contentsRect().height()) << size.height();
      EXPECT_GT(height + 8, grid->contentsRect().height()) << size.height();
    }
  }
  WindowFixture plain;
  ui::MainWindow& window = plain.Start();
  ASSERT_TRUE(plain.created);
  EXPECT_EQ(window.Predictions()->height(), window.SGd00()->RowHeight(1));
}

// WCAG's relative luminance and the contrast of two colours.
double Luminance(QColor c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double Contrast(QColor a, QColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The text of a highlighted cell as drawn: the colour of its background (the
// most common colour inside the cell, frame excluded) and the colour that
// differs most from it (the glyphs' strokes).
double DrawnContrast(QWidget& widget, const QRect& cell) {
  const QImage image =
      widget.grab(cell.adjusted(cell.width() / 5, cell.height() / 5, -cell.width() / 5, -cell.height() / 5)).toImage();
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  }
  const QRgb background =
      std::max_element(counts.begin(), counts.end(), [](auto a, auto b) { return a.second < b.second; })->first;
  double best = 1.0;
  for (const auto& [rgb, n] : counts) best = std::max(best, Contrast(QColor(rgb), QColor(background)));
  return best;
}

TEST(AccessUi, HighlightedTextKeepsAContrastOfFourAndAHalf) {
  WindowFixture fixture;
  fixture.Store(named::kScan, QStringLiteral("1"));
  fixture.Store(named::kScanShortcuts, QStringLiteral("0"));
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  window.resize(1000, 800);
  QTest::qWait(50);
  ui::BoardGrid* grid = window.SGd00();
  // The switch chooses the first row: the scan highlight is on か's row's
  // first cell, which is also the current cell.
  QTest::keyClick(window.MemMain(), Qt::Key_Space);
  ASSERT_TRUE(grid->ScanHighlighted(1, 1));
  const QRect scanned = grid->visualRect(grid->model()->index(0, 0));
  EXPECT_GE(DrawnContrast(*grid->viewport(), scanned), 4.5) << "the scan highlight";
  // The colours themselves: the scan's and the current cell's.
  EXPECT_GE(Contrast(ui::FitTextDelegate::kScanText, ui::FitTextDelegate::kScanFill), 4.5);
  EXPECT_GE(Contrast(ui::FitTextDelegate::kCurrentText, ui::FitTextDelegate::kCurrentFill), 4.5);
  EXPECT_EQ(window.Predictions()->palette().color(QPalette::Highlight), ui::FitTextDelegate::kCurrentFill);
}

TEST(AccessUi, TheDwellCountIsNeverCutOff) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  ui::StatusLine* status = window.PnlMsg();
  for (const int pixels : {12, 22, 40}) {
    FontSpec font = window.SGd00()->Font();
    font.size = pixels;
    status->SetFont(font);
    status->SetTimeText(cp932::FromUtf8("10.0秒"), status::kBlue);
    QLabel* time = nullptr;
    for (QLabel* label : status->findChildren<QLabel*>()) {
      if (label->text() == QStringLiteral("10.0秒")) time = label;
    }
    ASSERT_NE(time, nullptr);
    EXPECT_GE(time->contentsRect().width(), QFontMetrics(time->font()).horizontalAdvance(time->text())) << pixels;
  }
}

TEST(AccessUi, TheScanHighlightIsOnTheCellsItNames) {
  WindowFixture fixture;
  fixture.Store(named::kScan, QStringLiteral("1"));
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  ui::BoardGrid* grid = window.SGd00();
  // Scanning starts on the shortcut line: 変~ 戻 BS~ 。 、 lit where they lie
  // (no ゛~ without quick kana), and nothing else.
  const std::set<std::pair<int, int>> line = {{11, 6}, {9, 6}, {8, 6}, {11, 5}, {12, 5}};
  for (int row = 1; row <= 7; ++row) {
    for (int col = 1; col <= 20; ++col) {
      EXPECT_EQ(grid->ScanHighlighted(col, row), line.count({col, row}) > 0) << col << "," << row;
    }
  }
  EXPECT_TRUE(window.ScanTimer()->Running());
  EXPECT_EQ(window.ScanTimer()->IntervalMs(), 1500);
  // Then the first row, whole; the line's cells are no longer lit.
  window.Form().Scan().Tick();
  for (int col = 1; col < grid->ColCount(); ++col) EXPECT_TRUE(grid->ScanHighlighted(col, 1)) << col;
  EXPECT_FALSE(grid->ScanHighlighted(1, 2));
  EXPECT_FALSE(grid->ScanHighlighted(11, 6));
  // The switch (Space) chooses the row: one cell is left.
  QTest::keyClick(window.MemMain(), Qt::Key_Space);
  EXPECT_TRUE(grid->ScanHighlighted(1, 1));
  EXPECT_FALSE(grid->ScanHighlighted(2, 1));
  EXPECT_EQ(cp932::ToUtf8(window.Form().Plat().memMain.Text()), "") << "the switch typed nothing";
}

// A text longer than the status line is never cut mid-glyph: it takes a
// second line where the line is tall enough, and ends in 「…」 where even
// that is not enough; a font taller than the line is drawn smaller.
TEST(AccessUi, TheStatusLineNeverClipsItsText) {
  ui::StatusLine status;
  status.SetFont({"IPAGothic", 20, colours::Rgb(0, 0, 0)});
  const std::string text =
      cp932::FromUtf8("開く：看護師さんを呼んでください。体の向きを変えてください。今日は良い天気です。");
  status.SetText(text, colours::Rgb(0, 0, 0));
  auto* label = status.findChild<ui::FittingLabel*>();
  ASSERT_NE(label, nullptr);
  for (const int height : {24, 37, 90}) {
    SCOPED_TRACE(height);
    status.resize(420, height);
    status.SetHeight(height);
    status.show();
    QApplication::processEvents();
    const QFont drawn = label->DrawnFont();
    const QFontMetrics metrics(drawn);
    EXPECT_LE(metrics.height(), label->contentsRect().height()) << "no glyph top or foot is cut";
    const QStringList lines = label->Lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_LE(lines.size() * metrics.lineSpacing(), std::max(label->contentsRect().height(), metrics.lineSpacing()));
    for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width());
    EXPECT_TRUE(lines.join(QString()).startsWith(QStringLiteral("開く：看護師さんを")));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("…")));
    EXPECT_EQ(lines.size(), height == 90 ? 2 : 1);
  }
  EXPECT_EQ(status.Text(), text) << "the text itself is kept whole";
}

// No caption on any face of the board is drawn below 0.6 of the board's
// font, at three font sizes, in a window of the default size: a caption too
// long for its cell takes its shorter form, or is cut with 「…」, and the
// status line says it whole. Measured from the size each cell was drawn in.
TEST(AccessUi, NoCaptionIsDrawnBelowSixTenthsOfTheBoardFont) {
  for (const int points : {12, 16, 24}) {
    SCOPED_TRACE(points);
    WindowFixture fixture;
    ui::MainWindow& window = fixture.Start();
    ASSERT_TRUE(fixture.created);
    // Set on the settings board, which is then left, as a user does.
    window.Form().SettingsFace().Show();
    window.Form().SettingsFace().Set(SettingsBoard::Item::FontSize, points);
    window.Form().SettingsFace().Leave();
    window.resize(1024, 700);
    QTest::qWait(50);
    ui::BoardGrid* grid = window.SGd00();
    const auto* delegate = qobject_cast<const ui::FitTextDelegate*>(grid->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    const int smallest = static_cast<int>(std::lround(QFontInfo(grid->font()).pixelSize() * 0.6));
    MainForm& form = window.Form();
    const auto check = [&](const char* face, int cells) {
      SCOPED_TRACE(face);
      QApplication::processEvents();
      grid->grab();  // draws every cell
      int drawn = 0;
      for (int row = 0; row < grid->RowCount(); ++row) {
        for (int col = 0; col < grid->ColCount(); ++col) {
          const std::string text = grid->CellText(col, row);
          if (text.empty() || grid->isColumnHidden(col) || grid->isRowHidden(row)) continue;
          const int pixels = delegate->DrawnPixels(col, row);
          if (pixels == 0) continue;  // scrolled out of sight
          ++drawn;
          EXPECT_GE(pixels, smallest) << cp932::ToUtf8(text) << " at " << col << "," << row << " in " << grid->columnWidth(col) << "x" << grid->rowHeight(row);
        }
      }
      EXPECT_GE(drawn, cells);
    };
    check("board", 60);
    // The prediction row: as tall as a board row at this font size, and a
    // 40-character candidate drawn no smaller than 0.6 of the board font,
    // cut with 「…」.
    ui::PredictionStrip* row = window.Predictions();
    EXPECT_EQ(row->height(), grid->RowHeight(1));
    const std::string sentence = cp932::FromUtf8(
        "看護師さんを呼んでください。体の向きを変えてください。ありがとうございます。よろ");
    ASSERT_EQ(cp932::Decode(sentence).size(), 40U);
    row->SetCells(row->CellCount(), {sentence});
    row->grab();
    const auto [rowPixels, rowText] = row->Drawn(0);
    EXPECT_GE(rowPixels, smallest);
    EXPECT_TRUE(rowText.endsWith(QStringLiteral("…"))) << rowText.toStdString();
    form.Board().SwitchTab(1);
    check("second tab", 10);
    form.SettingsFace().Show();
    check("settings", 60);
    form.Slots().Show(Command::Open);
    check("slots", 100);
    form.Sentences().Show();
    check("sentences", 3);
    form.Start().Show();
    check("start face", 4);
    EXPECT_TRUE(window.close());
  }
}

}  // namespace
}  // namespace velkor::testing
