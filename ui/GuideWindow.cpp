#include "ui/GuideWindow.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace velkor::ui {

namespace {
// The close button: as tall as two board cells, wide across the window.
constexpr int kCloseHeight = 64;
// GitHub's Markdown without its strikethrough: the board's cell names end in
// "~" ("設~", "☆~"), and two of them in one paragraph would strike through
// the text between them and lose both tildes.
constexpr int kStrikethrough = 0x0200;
const QTextDocument::MarkdownFeatures kGuideMarkdown(int(QTextDocument::MarkdownDialectGitHub) & ~kStrikethrough);

QString ReadGuide(const QString& guideFile) {
  QFile file(guideFile);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("使い方ガイドを読めません：") + guideFile;
  return QString::fromUtf8(file.readAll());
}
}  // namespace

GuideWindow::GuideWindow(QWidget* parent, const QString& guideFile, int dwellMs)
    : QDialog(parent), browser_(new QTextBrowser(this)), close_(new QPushButton(QStringLiteral("閉じる"), this)) {
  setWindowTitle(QStringLiteral("使い方ガイド"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(760, 640);
  auto* layout = new QVBoxLayout(this);
  browser_->setOpenExternalLinks(false);
  browser_->setOpenLinks(true);
  // The pictures are found beside the guide.
  browser_->setSearchPaths({QFileInfo(guideFile).absolutePath()});
  browser_->document()->setBaseUrl(QUrl::fromLocalFile(guideFile));
  browser_->document()->setMarkdown(ReadGuide(guideFile), kGuideMarkdown);
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
