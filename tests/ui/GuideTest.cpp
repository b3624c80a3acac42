// The guide inside the program: the help item opens it in a window of its
// own with every picture it names, and its one large button closes it by a
// click, by the switch, or by resting the pointer on it in dwell mode. Qt's
// own buttons read Japanese whatever the locale.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include "tests/ui/WindowFixture.h"
#include "ui/GuideWindow.h"
#include "ui/Translations.h"

namespace velkor::testing {
namespace {

ui::GuideWindow* OpenGuide(ui::MainWindow& window) {
  QAction* help = nullptr;
  for (QAction* action : window.menuBar()->actions()) {
    if (action->text() == QStringLiteral("ヘルプ(&H)")) help = action;
  }
  if (!help) return nullptr;
  help->trigger();
  return window.findChild<ui::GuideWindow*>();
}

TEST(Guide, TheHelpItemOpensTheGuideWithItsPictures) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  ui::GuideWindow* guide = OpenGuide(window);
  ASSERT_NE(guide, nullptr);
  EXPECT_TRUE(guide->isVisible());
  EXPECT_EQ(guide->windowTitle(), QStringLiteral("使い方ガイド"));
  const QString text = guide->Browser()->toPlainText();
  for (const char* heading : {"はじめて使うとき", "注視入力", "ひとつのスイッチで書く", "困ったとき"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
  }
  // Every picture the guide names is shown.
  QFile file(QStringLiteral(VELKOR_GUIDE_PATH));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString markdown = QString::fromUtf8(file.readAll());
  int pictures = 0;
  for (const auto& match : QRegularExpression(QStringLiteral("\\]\\((images/[^)]+)\\)")).globalMatch(markdown)) {
    const QString name = match.captured(1);
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(file).absolutePath() + QLatin1Char('/') + name)) << name.toStdString();
    const QVariant image = guide->Browser()->document()->resource(QTextDocument::ImageResource, QUrl(name));
    EXPECT_TRUE(image.isValid() && !image.value<QImage>().isNull()) << name.toStdString();
    ++pictures;
  }
  EXPECT_GE(pictures, 7);
  // One large button, holding the keyboard focus: a switch closes it.
  QPushButton* close = guide->CloseButton();
  EXPECT_GE(close->height(), 64);
  EXPECT_EQ(close->text(), QStringLiteral("閉じる"));
  EXPECT_TRUE(QTest::qWaitForWindowExposed(guide));
  EXPECT_TRUE(close->hasFocus() || QApplication::focusWidget() == close);
  QPointer<ui::GuideWindow> watched(guide);
  QTest::keyClick(close, Qt::Key_Space);
  QTest::qWait(20);
  EXPECT_TRUE(watched.isNull() || !watched->isVisible());
}

TEST(Guide, RestingOnTheCloseButtonClosesItInDwellMode) {
  WindowFixture fixture;
  fixture.Store("Option", QStringLiteral("0,0.3,0,1,0,0,0,0,0,0"));
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  QPointer<ui::GuideWindow> guide = OpenGuide(window);
  ASSERT_FALSE(guide.isNull());
  QPushButton* close = guide->CloseButton();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(close, &enter);
  QTest::qWait(150);
  EXPECT_FALSE(guide.isNull()) << "not before the dwell time";
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(close, &leave);
  QTest::qWait(300);
  EXPECT_FALSE(guide.isNull()) << "leaving stops the count";
  QApplication::sendEvent(close, &enter);
  QTest::qWait(500);
  EXPECT_TRUE(guide.isNull() || !guide->isVisible());
}

TEST(Guide, QtsButtonsReadJapaneseUnderTheCLocale) {
  const QLocale before;
  QLocale::setDefault(QLocale::c());
  qputenv("LANG", "C");
  ui::InstallJapaneseTranslations(*QApplication::instance());
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace velkor::testing
