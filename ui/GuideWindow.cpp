#include "ui/GuideWindow.h"

#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace velkor::ui {

namespace {
// The close button: as tall as two board cells, wide across the window.
constexpr int kCloseHeight = 64;
}  // namespace

GuideWindow::GuideWindow(QWidget* parent, const QString& guideFile, int dwellMs)
    : QDialog(parent), browser_(new QTextBrowser(this)), close_(new QPushButton(QStringLiteral("閉じる"), this)) {
  setWindowTitle(QStringLiteral("使い方ガイド"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(760, 640);
  auto* layout = new QVBoxLayout(this);
  browser_->setOpenExternalLinks(false);
  browser_->setOpenLinks(true);
  browser_->setSearchPaths({QFileInfo(guideFile).absolutePath()});
  browser_->setSource(QUrl::fromLocalFile(guideFile), QTextDocument::MarkdownResource);
  QFont font = browser_->font();
  font.setPixelSize(18);
  browser_->setFont(font);
  layout->addWidget(browser_, 1);

  QFont buttonFont = close_->font();
  buttonFont.setPixelSize(28);
  close_->setFont(buttonFont);
  close_->setMinimumHeight(kCloseHeight);
  close_->setDefault(true);
  close_->setFocus();
  layout->addWidget(close_);
  connect(close_, &QPushButton::clicked, this, &QDialog::close);

  // Resting the pointer on the button closes the window, as a cell is
  // confirmed by dwelling on it.
  dwell_.setSingleShot(true);
  dwell_.setInterval(std::max(1, dwellMs));
  connect(&dwell_, &QTimer::timeout, this, &QDialog::close);
  if (dwellMs > 0) close_->installEventFilter(this);
}

bool GuideWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == close_) {
    if (event->type() == QEvent::Enter) dwell_.start();
    if (event->type() == QEvent::Leave) dwell_.stop();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace velkor::ui
