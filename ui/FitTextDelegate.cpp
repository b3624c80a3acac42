#include "ui/FitTextDelegate.h"

#include <QFontInfo>
#include <QFontMetricsF>

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

void FitTextDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (option->text.isEmpty()) return;
  // The grid line and a pixel of air on each side.
  option->font = FittedFont(option->font, option->text, option->rect.adjusted(1, 0, -2, -1));
  option->fontMetrics = QFontMetrics(option->font);
}

}  // namespace velkor::ui
