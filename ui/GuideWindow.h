// The user's guide inside the program: a plain text browser showing the
// guide (Markdown, with its pictures), the section shown named above it, and
// three large buttons at the bottom, 前へ, 次へ and 閉じる, that step through
// the guide's sections and close it without a mouse wheel or keys: a pointer
// user hits them, resting on one for the dwell time presses it in dwell
// mode, the arrow keys move between them and any switch (Space or Enter)
// presses the one in focus, and under scanning the focus moves from button
// to button on its own.
#pragma once

#include <QDialog>
#include <QTimer>
#include <vector>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace velkor::ui {

class GuideWindow : public QDialog {
  Q_OBJECT
 public:
  // `dwellMs` > 0: resting on a button that long presses it. `scanMs` > 0:
  // the focus moves to the next button at that interval.
  GuideWindow(QWidget* parent, const QString& guideFile, int dwellMs, int scanMs = 0);

  QTextBrowser* Browser() const { return browser_; }
  QPushButton* CloseButton() const { return close_; }
  QPushButton* PreviousButton() const { return previous_; }
  QPushButton* NextButton() const { return next_; }
  // The section shown (from 0) and its heading as the label names it.
  int Section() const { return section_; }
  QString SectionText() const;

  // Shows section `index` (clamped to the guide's sections) at the top.
  void ShowSection(int index);
  // One step of scanning: the focus to the next button that can be pressed.
  void ScanStep() { MoveFocus(1); }
  bool Scanning() const { return scan_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPushButton* AddButton(const QString& caption);
  void FindSections();
  void MoveFocus(int step);

  QTextBrowser* browser_;
  QLabel* heading_;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<QPushButton*> buttons_;
  // The text positions and titles of the guide's second-level headings.
  std::vector<int> starts_;
  QStringList titles_;
  int section_ = 0;
  int dwellMs_ = 0;
  QPushButton* dwellOn_ = nullptr;
  QTimer dwell_;
  QTimer scan_;
};

}  // namespace velkor::ui
