// The user's guide inside the program: a plain text browser showing the
// guide (Markdown, with its pictures), and one large close button at the
// bottom that a pointer user can hit, that closes by resting the pointer on
// it in dwell mode, and that has the keyboard focus so that a switch (Space
// or Enter) closes it too.
#pragma once

#include <QDialog>
#include <QTimer>

class QPushButton;
class QTextBrowser;

namespace velkor::ui {

class GuideWindow : public QDialog {
  Q_OBJECT
 public:
  // `dwellMs` > 0: resting on the close button that long closes the window.
  GuideWindow(QWidget* parent, const QString& guideFile, int dwellMs);

  QTextBrowser* Browser() const { return browser_; }
  QPushButton* CloseButton() const { return close_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTextBrowser* browser_;
  QPushButton* close_;
  QTimer dwell_;
};

}  // namespace velkor::ui
