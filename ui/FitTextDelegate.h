// Draws each cell's caption whole: a caption wider or taller than its cell is
// drawn in a smaller size of the same font until it fits.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "core/Platform.h"

namespace velkor::ui {

class FitTextDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // `font` at the largest size (never above its own) in which `text` fits
  // `room`; 4 pixels at the least.
  static QFont FittedFont(const QFont& font, const QString& text, const QRect& room);

  // The item data role holding how far a dwell count on the cell has come,
  // in percent.
  static constexpr int kDwellRole = Qt::UserRole + 1;
  // Draws a dwell count in `cell`: a strong orange fill rising from the
  // bottom to the top at 100 percent, over a frame of the same colour, seen
  // on any cell colour and at any size.
  static void PaintDwell(QPainter* painter, const QRect& cell, int percent);
  // The item data role set on the cells the scan highlight is on.
  static constexpr int kScanRole = Qt::UserRole + 2;
  // Draws the scan highlight on `cell`: a yellow tint under a thick dark
  // blue frame, told apart from the dwell count's orange at a glance.
  static void PaintScan(QPainter* painter, const QRect& cell);
  // Marks the cells of `table` the scan highlight covers (in the table's own
  // rows and columns): cell (col, row), the whole of `row` when col is -1,
  // none when row is -1; and reads the mark back.
  static void MarkScan(QTableWidget& table, int col, int row);
  // The item data role set on a cell confirmed by resting on it, until the
  // pointer leaves it.
  static constexpr int kDoneRole = Qt::UserRole + 3;
  // Draws a cell confirmed by resting on it: a thick green frame and a check
  // mark in its upper right corner, so a user still resting there sees that
  // the choice was made and another needs leaving first.
  static void PaintDone(QPainter* painter, const QRect& cell);
  // Sets the dwell mark of table cell (col, row); an empty mark takes it off.
  static void MarkDwell(QTableWidget& table, int col, int row, DwellMark mark);
  static bool ScanMarked(const QTableWidget& table, int col, int row);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace velkor::ui
