#include "ui/FitTextDelegate.h"

#include <QPainter>
#include <QPolygonF>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

namespace velkor::ui {

namespace {
constexpr int kSmallestPixels = 4;
}  // namespace

QFont FitTextDelegate::FittedFont(const QFont& font, const QString& text, const QRect& room) {
  QFont fitted = font;
  int pixels = QFontInfo(font).pixelSize();
  while (pixels > kSmallestPixels) {
    const QFontMetricsF metrics(fitted);
    if (metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height()) break;
    fitted.setPixelSize(--pixels);
  }
  return fitted;
}

void FitTextDelegate::PaintDwell(QPainter* painter, const QRect& cell, int percent) {
  if (percent <= 0) return;
  const QColor strong(255, 120, 0);
  painter->save();
  const int height = cell.height() * std::min(percent, 100) / 100;
  QColor fill = strong;
  fill.setAlpha(110);
  painter->fillRect(QRect(cell.left(), cell.bottom() + 1 - height, cell.width(), height), fill);
  QPen frame(strong);
  frame.setWidth(std::max(2, cell.height() / 12));
  painter->setPen(frame);
  painter->setBrush(Qt::NoBrush);
  const int inset = frame.width() / 2;
  painter->drawRect(cell.adjusted(inset, inset, -inset - 1, -inset - 1));
  painter->restore();
}

void FitTextDelegate::PaintScan(QPainter* painter, const QRect& cell) {
  painter->save();
  painter->fillRect(cell, QColor(255, 230, 0, 120));
  QPen frame(QColor(0, 40, 200));
  frame.setWidth(std::max(4, cell.height() / 8));
  painter->setPen(frame);
  painter->setBrush(Qt::NoBrush);
  const int inset = frame.width() / 2;
  painter->drawRect(cell.adjusted(inset, inset, -inset - 1, -inset - 1));
  painter->restore();
}

void FitTextDelegate::MarkScan(QTableWidget& table, int col, int row) {
  for (int r = 0; r < table.rowCount(); ++r) {
    for (int c = 0; c < table.columnCount(); ++c) {
      const bool on = row >= 0 && r == row && (col < 0 || c == col);
      QTableWidgetItem* cell = table.item(r, c);
      if (!cell) {
        if (!on) continue;
        cell = new QTableWidgetItem;
        table.setItem(r, c, cell);
      }
      if (cell->data(kScanRole).toBool() != on) cell->setData(kScanRole, on ? QVariant(true) : QVariant());
    }
  }
}

void FitTextDelegate::PaintDone(QPainter* painter, const QRect& cell) {
  const QColor green(0, 130, 60);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  QPen pen(green);
  pen.setWidth(std::max(3, cell.height() / 10));
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);
  const int inset = pen.width() / 2;
  painter->drawRect(cell.adjusted(inset, inset, -inset - 1, -inset - 1));
  // The check mark: a quarter of the cell's height, in the upper right corner.
  const int size = std::max(8, std::min(cell.width(), cell.height()) / 3);
  const QPointF corner(cell.right() - pen.width() - size, cell.top() + pen.width());
  painter->drawPolyline(QPolygonF({corner + QPointF(0, size * 0.55), corner + QPointF(size * 0.38, size * 0.9),
                                   corner + QPointF(size, size * 0.1)}));
  painter->restore();
}

void FitTextDelegate::MarkDwell(QTableWidget& table, int col, int row, DwellMark mark) {
  if (col < 0 || row < 0 || col >= table.columnCount() || row >= table.rowCount()) return;
  QTableWidgetItem* cell = table.item(row, col);
  if (!cell) {
    if (mark == DwellMark{}) return;
    cell = new QTableWidgetItem;
    table.setItem(row, col, cell);
  }
  cell->setData(kDwellRole, mark.percent > 0 ? QVariant(mark.percent) : QVariant());
  cell->setData(kDoneRole, mark.done ? QVariant(true) : QVariant());
}

bool FitTextDelegate::ScanMarked(const QTableWidget& table, int col, int row) {
  const QTableWidgetItem* cell = table.item(row, col);
  return cell && cell->data(kScanRole).toBool();
}

void FitTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (index.data(kScanRole).toBool()) PaintScan(painter, option.rect);
  PaintDwell(painter, option.rect, index.data(kDwellRole).toInt());
  if (index.data(kDoneRole).toBool()) PaintDone(painter, option.rect);
}

void FitTextDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (option->text.isEmpty()) return;
  // The grid line and a pixel of air on each side.
  option->font = FittedFont(option->font, option->text, option->rect.adjusted(1, 0, -2, -1));
  option->fontMetrics = QFontMetrics(option->font);
}

}  // namespace velkor::ui
