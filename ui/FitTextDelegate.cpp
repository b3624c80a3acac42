#include "ui/FitTextDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

namespace velkor::ui {

namespace {
constexpr int kSmallestPixels = 4;
}  // namespace

QString FitTextDelegate::Shortened(const QString& text) {
  // Full-width katakana as half-width ones, voiced marks apart: the same
  // reading in half the width.
  static const QString kFull = QStringLiteral(
      "ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノハバパヒビピフブプヘベペホボポ"
      "マミムメモャヤュユョヨラリルレロワヲンヴー・「」。、");
  static const QStringList kHalf = QStringLiteral(
      "ｧ ｱ ｨ ｲ ｩ ｳ ｪ ｴ ｫ ｵ ｶ ｶﾞ ｷ ｷﾞ ｸ ｸﾞ ｹ ｹﾞ ｺ ｺﾞ ｻ ｻﾞ ｼ ｼﾞ ｽ ｽﾞ ｾ ｾﾞ ｿ ｿﾞ ﾀ ﾀﾞ ﾁ ﾁﾞ ｯ ﾂ ﾂﾞ ﾃ ﾃﾞ ﾄ ﾄﾞ "
      "ﾅ ﾆ ﾇ ﾈ ﾉ ﾊ ﾊﾞ ﾊﾟ ﾋ ﾋﾞ ﾋﾟ ﾌ ﾌﾞ ﾌﾟ ﾍ ﾍﾞ ﾍﾟ ﾎ ﾎﾞ ﾎﾟ ﾏ ﾐ ﾑ ﾒ ﾓ ｬ ﾔ ｭ ﾕ ｮ ﾖ ﾗ ﾘ ﾙ ﾚ ﾛ ﾜ ｦ ﾝ ｳﾞ ｰ ･ ｢ ｣ ｡ ､")
                                       .split(QLatin1Char(' '));
  QString out;
  for (const QChar c : text) {
    const auto at = kFull.indexOf(c);
    if (at >= 0 && at < kHalf.size()) {
      out += kHalf[at];
    } else if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) {
      out += QChar(c.unicode() - 0xFEE0);  // a full-width letter, digit or sign
    } else if (c.unicode() == 0x3000) {
      out += QLatin1Char(' ');
    } else {
      out += c;
    }
  }
  return out;
}

FitTextDelegate::Fitted FitTextDelegate::FitText(const QFont& font, const QString& text, const QRect& room, Cut cut) {
  const int pixels = QFontInfo(font).pixelSize();
  const int smallest = std::max(kSmallestPixels, static_cast<int>(std::lround(pixels * kSmallestShare)));
  // The text at the largest size down to the smallest, then a label's
  // shortened form likewise (a readable size over the full form). A
  // candidate keeps its own characters: it is cut instead.
  const QString forms[] = {text, cut == Cut::Label ? Shortened(text) : text};
  Fitted fitted{font, text};
  for (const QString& form : forms) {
    if (&form != &forms[0] && form == text) break;
    fitted = {font, form};
    for (int size = pixels; size >= smallest; --size) {
      fitted.font.setPixelSize(size);
      const QFontMetricsF metrics(fitted.font);
      if (metrics.horizontalAdvance(form) <= room.width() && metrics.height() <= room.height()) return fitted;
    }
  }
  // Nothing fits: the shortest form at the smallest size, cut at its end.
  const QFontMetrics metrics(fitted.font);
  if (cut == Cut::Label) {
    // A label keeps its first characters, which name it (「時間」 → 「時」),
    // without the command mark and without 「…」, which would leave no room
    // for them; one character at the least.
    QString label = fitted.text;
    if (label.size() > 1 && label.endsWith(QLatin1Char('~'))) label.chop(1);
    while (label.size() > 1 && metrics.horizontalAdvance(label) > room.width()) label.chop(1);
    fitted.text = label;
    return fitted;
  }
  if (metrics.horizontalAdvance(fitted.text) > room.width()) {
    // Qt's own elision uses the font's ellipsis; the board's is 「…」.
    QString kept = fitted.text;
    const QString ellipsis = QStringLiteral("…");
    while (!kept.isEmpty() && metrics.horizontalAdvance(kept + ellipsis) > room.width()) kept.chop(1);
    fitted.text = kept + ellipsis;
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

const QColor FitTextDelegate::kScanFill(255, 221, 0);
const QColor FitTextDelegate::kScanText(0, 0, 0);
const QColor FitTextDelegate::kCurrentFill(20, 70, 150);
const QColor FitTextDelegate::kCurrentText(255, 255, 255);

void FitTextDelegate::UseCurrentColours(QWidget& widget) {
  QPalette pal = widget.palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::Highlight, kCurrentFill);
    pal.setColor(group, QPalette::HighlightedText, kCurrentText);
  }
  widget.setPalette(pal);
}

void FitTextDelegate::PaintScanFill(QPainter* painter, const QRect& cell) { painter->fillRect(cell, kScanFill); }

void FitTextDelegate::PaintScanFrame(QPainter* painter, const QRect& cell) {
  painter->save();
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
  if (index.data(kScanRole).toBool()) {
    // The highlight's own colours replace the cell's, the current cell's
    // included, so the text keeps its contrast.
    QStyleOptionViewItem scanned = option;
    initStyleOption(&scanned, index);
    scanned.state &= ~QStyle::State_Selected;
    scanned.backgroundBrush = QBrush(kScanFill);
    scanned.palette.setColor(QPalette::Text, kScanText);
    scanned.palette.setColor(QPalette::WindowText, kScanText);
    PaintScanFill(painter, option.rect);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &scanned, painter, widget);
    PaintScanFrame(painter, option.rect);
  } else {
    QStyledItemDelegate::paint(painter, option, index);
  }
  if (dotted_.count({index.column(), index.row()}) != 0) {
    // The 「●」 of a chosen value whose name took its room: a dot in the
    // cell's upper left corner, in the text's colour.
    QStyleOptionViewItem drawn = option;
    initStyleOption(&drawn, index);
    const bool light = index.data(kScanRole).toBool() || !(drawn.state & QStyle::State_Selected);
    const QColor colour = index.data(kScanRole).toBool() ? kScanText
                          : light ? drawn.palette.color(QPalette::Text)
                                  : drawn.palette.color(QPalette::HighlightedText);
    const int size = std::max(4, option.rect.height() / 5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawEllipse(QRect(option.rect.left() + 2, option.rect.top() + 2, size, size));
    painter->restore();
  }
  PaintDwell(painter, option.rect, index.data(kDwellRole).toInt());
  if (index.data(kDoneRole).toBool()) PaintDone(painter, option.rect);
}

void FitTextDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (option->text.isEmpty()) return;
  // The grid line and a pixel of air on each side.
  const QRect room = option->rect.adjusted(1, 0, -2, -1);
  Fitted fitted = FitText(option->font, option->text, room, cut_);
  // A label marked 「●」 (the value in force) that had to be cut keeps its
  // name and shows the mark as a dot drawn in the corner instead.
  const QString mark = QStringLiteral("●");
  const bool dotted = cut_ == Cut::Label && option->text.startsWith(mark) && option->text.size() > 1 &&
                      fitted.text != option->text && fitted.text != Shortened(option->text);
  if (dotted) fitted = FitText(option->font, option->text.mid(1), room, cut_);
  if (dotted) {
    dotted_.insert({index.column(), index.row()});
  } else {
    dotted_.erase({index.column(), index.row()});
  }
  drawn_[{index.column(), index.row()}] = fitted.font.pixelSize();
  option->font = fitted.font;
  option->text = fitted.text;
  option->fontMetrics = QFontMetrics(option->font);
}

}  // namespace velkor::ui
