#include "ui/StatusLine.h"

#include <QHBoxLayout>

#include "ui/QtText.h"

namespace velkor::ui {

namespace {

void SetLabelColour(QLabel* label, Colour colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, ToQColor(colour));
  label->setPalette(pal);
}

}  // namespace

StatusLine::StatusLine(QWidget* parent) : QFrame(parent), message_(new QLabel(this)), time_(new QLabel(this)) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 0, 0, 0);
  layout->setSpacing(0);
  message_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  message_->setTextFormat(Qt::PlainText);
  message_->setMinimumWidth(0);
  message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  time_->setAlignment(Qt::AlignCenter);
  time_->setTextFormat(Qt::PlainText);
  time_->setFixedWidth(kTimePanelWidth);
  time_->setFrameShape(QFrame::Panel);
  time_->setFrameShadow(QFrame::Sunken);
  layout->addWidget(message_, 1);
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
  time_->setFont(qfont);
  SetLabelColour(message_, font.colour);
}

void StatusLine::SetTimeText(const std::string& text, Colour colour) {
  timeText_ = text;
  time_->setText(FromCp932(text));
  SetLabelColour(time_, colour);
}

}  // namespace velkor::ui
