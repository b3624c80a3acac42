#include "ui/StatusLine.h"

#include <QFontMetrics>
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

StatusLine::StatusLine(QWidget* parent)
    : QFrame(parent), message_(new QLabel(this)), note_(new QLabel(this)), time_(new QLabel(this)) {
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
