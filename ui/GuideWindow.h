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
#include <QElapsedTimer>
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
  // How far the dwell count on `button` has come, in percent (0: none).
  int DwellPercent(const QPushButton* button) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

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
  void SetUpDwell();
  // A pointer movement over `button`: its dwell count starts, unless it is
  // already counting or was pressed by this stay.
  void StartDwell(QPushButton* button);
  void StopDwell();

  int dwellMs_ = 0;
  // The button the pointer rests on (counting or done), and whether this
  // stay already pressed it.
  QPushButton* dwellOn_ = nullptr;
  bool dwellDone_ = false;
  QElapsedTimer dwellClock_;
  QTimer dwell_;
  // Redraws the count while it runs.
  QTimer dwellTick_;
  // The drawn count, one over each button (it passes the pointer through).
  std::vector<QWidget*> dwellMarks_;
  QTimer scan_;
};

}  // namespace velkor::ui
