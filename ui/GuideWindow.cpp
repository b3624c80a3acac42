#include "ui/GuideWindow.h"

#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "ui/FitTextDelegate.h"

namespace velkor::ui {

namespace {
// The buttons: as tall as two board cells.
constexpr int kButtonHeight = 64;
// GitHub's Markdown without its strikethrough: the board's cell names end in
// "~" ("設~", "☆~"), and two of them in one paragraph would strike through
// the text between them and lose both tildes.
constexpr int kStrikethrough = 0x0200;
const QTextDocument::MarkdownFeatures kGuideMarkdown(int(QTextDocument::MarkdownDialectGitHub) & ~kStrikethrough);

// The dwell count over a button, drawn as on a board cell; the pointer's
// events pass through to the button.
class DwellMark : public QWidget {
 public:
  DwellMark(QWidget* button, std::function<int()> percent) : QWidget(button), percent_(std::move(percent)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    FitTextDelegate::PaintDwell(&painter, rect(), percent_());
  }

 private:
  std::function<int()> percent_;
};

QString ReadGuide(const QString& guideFile) {
  QFile file(guideFile);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("使い方ガイドを読めません：") + guideFile;
  return QString::fromUtf8(file.readAll());
}
}  // namespace

GuideWindow::GuideWindow(QWidget* parent, const QString& guideFile, int dwellMs, int scanMs)
    : QDialog(parent), browser_(new QTextBrowser(this)), heading_(new QLabel(this)), dwellMs_(dwellMs) {
  setWindowTitle(QStringLiteral("使い方ガイド"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(760, 640);
  auto* layout = new QVBoxLayout(this);
  QFont headingFont = heading_->font();
  headingFont.setPixelSize(22);
  headingFont.setBold(true);
  heading_->setFont(headingFont);
  layout->addWidget(heading_);
  browser_->setOpenExternalLinks(false);
  browser_->setOpenLinks(true);
  // The pictures are found beside the guide.
  browser_->setSearchPaths({QFileInfo(guideFile).absolutePath()});
  browser_->document()->setBaseUrl(QUrl::fromLocalFile(guideFile));
  browser_->document()->setMarkdown(ReadGuide(guideFile), kGuideMarkdown);
  QFont font = browser_->font();
  font.setPixelSize(18);
  browser_->setFont(font);
  browser_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(browser_, 1);

  auto* row = new QHBoxLayout;
  previous_ = AddButton(QStringLiteral("前へ"));
  next_ = AddButton(QStringLiteral("次へ"));
  close_ = AddButton(QStringLiteral("閉じる"));
  for (QPushButton* button : buttons_) row->addWidget(button, 1);
  layout->addLayout(row);
  connect(previous_, &QPushButton::clicked, this, [this] { ShowSection(section_ - 1); });
  connect(next_, &QPushButton::clicked, this, [this] { ShowSection(section_ + 1); });
  connect(close_, &QPushButton::clicked, this, &QDialog::close);
  close_->setDefault(true);
  close_->setFocus();

  SetUpDwell();
  // Under scanning the focus walks the buttons; the switch presses the one
  // in focus.
  if (scanMs > 0) {
    scan_.setInterval(scanMs);
    connect(&scan_, &QTimer::timeout, this, &GuideWindow::ScanStep);
    scan_.start();
  }
  FindSections();
  ShowSection(0);
}

void GuideWindow::SetUpDwell() {
  // Resting the pointer on a button presses it, as a cell is confirmed by
  // dwelling on it, with the count drawn on the button; a further press
  // takes leaving the button first. The count starts when the pointer moves
  // over the button, not when the window opens under a resting pointer.
  dwell_.setSingleShot(true);
  dwell_.setInterval(std::max(1, dwellMs_));
  connect(&dwell_, &QTimer::timeout, this, [this] {
    if (!dwellOn_) return;
    dwellDone_ = true;
    dwellTick_.stop();
    for (QWidget* mark : dwellMarks_) mark->update();
    dwellOn_->click();
  });
  dwellTick_.setInterval(40);
  connect(&dwellTick_, &QTimer::timeout, this, [this] {
    for (QWidget* mark : dwellMarks_) mark->update();
  });
}

QPushButton* GuideWindow::AddButton(const QString& caption) {
  auto* button = new QPushButton(caption, this);
  QFont buttonFont = button->font();
  buttonFont.setPixelSize(28);
  button->setFont(buttonFont);
  button->setMinimumHeight(kButtonHeight);
  button->setAutoDefault(false);
  button->setMouseTracking(true);
  button->installEventFilter(this);
  buttons_.push_back(button);
  auto* mark = new DwellMark(button, [this, button] { return DwellPercent(button); });
  mark->resize(button->size());
  dwellMarks_.push_back(mark);
  return button;
}

void GuideWindow::FindSections() {
  for (QTextBlock block = browser_->document()->begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 2) continue;
    starts_.push_back(block.position());
    titles_.push_back(block.text());
  }
  if (starts_.empty()) {
    starts_.push_back(0);
    titles_.push_back(windowTitle());
  }
}

QString GuideWindow::SectionText() const {
  return QStringLiteral("%1/%2　%3").arg(section_ + 1).arg(starts_.size()).arg(titles_.at(section_));
}

void GuideWindow::ShowSection(int index) {
  section_ = std::clamp(index, 0, static_cast<int>(starts_.size()) - 1);
  heading_->setText(SectionText());
  // The heading at the top of the view: to the end first, then back to it.
  QTextCursor cursor(browser_->document());
  browser_->verticalScrollBar()->setValue(browser_->verticalScrollBar()->maximum());
  cursor.setPosition(section_ == 0 ? 0 : starts_.at(static_cast<std::size_t>(section_)));
  browser_->setTextCursor(cursor);
  browser_->ensureCursorVisible();
  if (section_ == 0) browser_->verticalScrollBar()->setValue(0);
  previous_->setEnabled(section_ > 0);
  next_->setEnabled(section_ + 1 < static_cast<int>(starts_.size()));
}

void GuideWindow::MoveFocus(int step) {
  const int count = static_cast<int>(buttons_.size());
  int at = 0;
  for (int i = 0; i < count; ++i) {
    if (focusWidget() == buttons_[static_cast<std::size_t>(i)]) at = i;
  }
  // A button that cannot be pressed (前へ on the first section) is passed over.
  for (int tries = 0; tries < count; ++tries) {
    at = (at + step + count) % count;
    if (buttons_[static_cast<std::size_t>(at)]->isEnabled()) break;
  }
  buttons_[static_cast<std::size_t>(at)]->setFocus();
}

void GuideWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: MoveFocus(-1); return;
    case Qt::Key_Right:
    case Qt::Key_Down: MoveFocus(1); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      for (QPushButton* button : buttons_) {
        if (focusWidget() == button) button->click();
      }
      return;
    default: QDialog::keyPressEvent(event);
  }
}

bool GuideWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QPushButton*>(watched);
  if (button && std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end()) {
    if (event->type() == QEvent::MouseMove && dwellMs_ > 0) StartDwell(button);
    if (event->type() == QEvent::Leave && dwellOn_ == button) StopDwell();
    if (event->type() == QEvent::Resize) {
      const auto at = std::find(buttons_.begin(), buttons_.end(), button) - buttons_.begin();
      dwellMarks_[static_cast<std::size_t>(at)]->resize(button->size());
    }
    // Space and Enter on a button in focus go through the window's own keys,
    // so that one press is one press.
    if (event->type() == QEvent::KeyPress) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void GuideWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The window opening under a resting pointer presses nothing: a button
  // that is under the pointer then counts as pressed by this stay, so that
  // a tremor (a movement) on it starts no count until the pointer has left.
  if (dwellMs_ <= 0) return;
  StopDwell();
  for (QPushButton* button : buttons_) {
    if (button->isVisible() && button->rect().contains(button->mapFromGlobal(QCursor::pos()))) {
      dwellOn_ = button;
      dwellDone_ = true;
    }
  }
}

void GuideWindow::StartDwell(QPushButton* button) {
  if (dwellOn_ == button) return;  // counting, or pressed by this stay
  StopDwell();
  dwellOn_ = button;
  dwellDone_ = false;
  dwellClock_.start();
  dwell_.start();
  dwellTick_.start();
}

void GuideWindow::StopDwell() {
  dwell_.stop();
  dwellTick_.stop();
  dwellOn_ = nullptr;
  dwellDone_ = false;
  for (QWidget* mark : dwellMarks_) mark->update();
}

int GuideWindow::DwellPercent(const QPushButton* button) const {
  if (button != dwellOn_ || dwellDone_ || !dwell_.isActive()) return 0;
  return static_cast<int>(std::min<qint64>(100, dwellClock_.elapsed() * 100 / std::max(1, dwellMs_)));
}

}  // namespace velkor::ui
