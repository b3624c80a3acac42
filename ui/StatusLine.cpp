#include "ui/StatusLine.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QHBoxLayout>
#include <algorithm>

#include "ui/QtText.h"

namespace velkor::ui {

namespace {

void SetLabelColour(QLabel* label, Colour colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, ToQColor(colour));
  label->setPalette(pal);
}

}  // namespace

QFont FittingLabel::DrawnFont() const {
  QFont drawn = font();
  const int room = contentsRect().height();
  int pixels = QFontInfo(drawn).pixelSize();
  while (pixels > 6 && QFontMetrics(drawn).height() > room) drawn.setPixelSize(--pixels);
  return drawn;
}

QStringList FittingLabel::Lines() const {
  const QFont drawn = DrawnFont();
  const QFontMetrics metrics(drawn);
  const int width = contentsRect().width();
  const QString all = text();
  if (metrics.horizontalAdvance(all) <= width || width <= 0) return {all};
  const QString ellipsis = QStringLiteral("…");
  const auto cutToFit = [&](QString line) {
    while (!line.isEmpty() && metrics.horizontalAdvance(line + ellipsis) > width) line.chop(1);
    return line + ellipsis;
  };
  if (2 * metrics.lineSpacing() > contentsRect().height()) return {cutToFit(all)};
  // As much as fits on the first line, the rest on the second.
  int first = 0;
  while (first < all.size() && metrics.horizontalAdvance(all.left(first + 1)) <= width) ++first;
  const QString rest = all.mid(first);
  return {all.left(first), metrics.horizontalAdvance(rest) <= width ? rest : cutToFit(rest)};
}

void FittingLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(DrawnFont());
  painter.setPen(palette().color(QPalette::WindowText));
  const QStringList lines = Lines();
  const QFontMetrics metrics(painter.font());
  const QRect room = contentsRect();
  int y = room.top() + (room.height() - static_cast<int>(lines.size()) * metrics.lineSpacing()) / 2;
  for (const QString& line : lines) {
    painter.drawText(QRect(room.left(), y, room.width(), metrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
                     line);
    y += metrics.lineSpacing();
  }
}

StatusLine::StatusLine(QWidget* parent)
    : QFrame(parent), message_(new FittingLabel(this)), note_(new FittingLabel(this)), time_(new QLabel(this)) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 0, 0, 0);
  layout->setSpacing(0);
  message_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  message_->setTextFormat(Qt::PlainText);
  message_->setMinimumWidth(0);
  message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  note_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  note_->setTextFormat(Qt::PlainText);
  note_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  note_->setFrameShape(QFrame::Panel);
  note_->setFrameShadow(QFrame::Sunken);
  note_->setAutoFillBackground(true);
  QPalette notePalette = note_->palette();
  notePalette.setColor(QPalette::Window, QColor(255, 250, 205));  // a pale yellow, apart from the caption
  notePalette.setColor(QPalette::WindowText, Qt::black);
  note_->setPalette(notePalette);
  note_->hide();
  time_->setAlignment(Qt::AlignCenter);
  time_->setTextFormat(Qt::PlainText);
  time_->setFixedWidth(kTimePanelWidth);
  time_->setFrameShape(QFrame::Panel);
  time_->setFrameShadow(QFrame::Sunken);
  layout->addWidget(message_, 1);
  layout->addWidget(note_, 1);
  layout->addWidget(time_);
}

void StatusLine::SetText(const std::string& text, Colour colour) {
  text_ = text;
  message_->setText(FromCp932(text));
  SetLabelColour(message_, colour);
}

void StatusLine::SetFont(const FontSpec& font) {
  const QFont qfont = ToQFont(font);
  message_->setFont(qfont);
  note_->setFont(qfont);
  time_->setFont(qfont);
  time_->setFixedWidth(TimePanelWidth());
  SetLabelColour(message_, font.colour);
}

int StatusLine::TimePanelWidth() const {
  const QFontMetrics metrics(time_->font());
  return std::max(kTimePanelWidth,
                  metrics.horizontalAdvance(QStringLiteral("10.0\u79D2")) + 2 * time_->frameWidth() + 8);
}

void StatusLine::SetTimeText(const std::string& text, Colour colour) {
  timeText_ = text;
  time_->setText(FromCp932(text));
  SetLabelColour(time_, colour);
}

}  // namespace velkor::ui

namespace velkor::ui {

void StatusLine::SetMessage(const std::string& text) {
  messageText_ = text;
  note_->setText(FromCp932(text));
  note_->setToolTip(FromCp932(text));
  note_->setVisible(!text.empty());
}

}  // namespace velkor::ui
