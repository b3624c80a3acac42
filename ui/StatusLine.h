// The status line with the dwell-time panel at its right end.
#pragma once

#include <QFrame>
#include <QLabel>

#include "core/Platform.h"

namespace velkor::ui {

// A line of the status line that never cuts a glyph: a text too wide for it
// goes on a second line when two fit its height, and is cut at its end with
// 「…」 when even that is not enough; a font taller than the line is drawn
// smaller until it fits.
class FittingLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  // What is drawn: the lines of the text as they fit, and the font.
  QStringList Lines() const;
  QFont DrawnFont() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class StatusLine : public QFrame, public IStatusLine {
  Q_OBJECT
 public:
  explicit StatusLine(QWidget* parent = nullptr);

  void SetText(const std::string& text, Colour colour) override;
  std::string Text() const override { return text_; }
  void SetFont(const FontSpec& font) override;
  void SetHeight(int height) override { setFixedHeight(height); }
  void SetTimeText(const std::string& text, Colour colour) override;
  std::string TimeText() const { return timeText_; }
  void SetMessage(const std::string& text) override;
  std::string Message() const override { return messageText_; }

  // The count's place is at least this wide, and always wide enough for the
  // longest count ("10.0秒") in the status line's font.
  static constexpr int kTimePanelWidth = 80;
  int TimePanelWidth() const;

 private:
  FittingLabel* message_;
  FittingLabel* note_;  // the message for the user, beside the caption
  QLabel* time_;
  std::string text_;
  std::string timeText_;
  std::string messageText_;
};

}  // namespace velkor::ui
