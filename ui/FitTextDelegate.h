// Draws each cell's caption whole: a caption wider or taller than its cell is
// drawn in a smaller size of the same font until it fits.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

namespace velkor::ui {

class FitTextDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // `font` at the largest size (never above its own) in which `text` fits
  // `room`; 4 pixels at the least.
  static QFont FittedFont(const QFont& font, const QString& text, const QRect& room);

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace velkor::ui
