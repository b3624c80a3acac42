// The guide inside the program: the help item opens it in a window of its
// own with every picture it names, and its one large button closes it by a
// click, by the switch, or by resting the pointer on it in dwell mode. Qt's
// own buttons read Japanese whatever the locale.
#include <gtest/gtest.h>

#include <QScrollBar>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextList>
#include <set>

#include "core/Commands.h"
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

// Every run of the shown text drawn struck through.
QStringList StruckThrough(const QTextDocument& document) {
  QStringList struck;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().fontStrikeOut()) struck << it.fragment().text();
    }
  }
  return struck;
}

// The shown block that begins with `start`; an invalid block when none does.
QTextBlock BlockStarting(const QTextDocument& document, const QString& start) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.text().startsWith(start)) return block;
  }
  return {};
}

QString ReadGuideSource() {
  QFile file(QStringLiteral(VELKOR_GUIDE_PATH));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The board's cell names that the guide mentions: those of the command table
// and every name in 「」 that ends in "~" (the conversion list's 短~, 長~ ...).
std::set<QString> CellNamesInGuide(const QString& source) {
  std::set<QString> names;
  for (const CommandEntry& entry : AllCommands()) {
    const QString token = QString::fromUtf8(entry.token);
    if (token.endsWith(QLatin1Char('~')) && source.contains(token)) names.insert(token);
  }
  static const QRegularExpression quoted(QStringLiteral("「([^「」\\s]{1,3}~)」"));
  for (const auto& match : quoted.globalMatch(source)) names.insert(match.captured(1));
  return names;
}

// The guide as the help window shows it: Markdown reads a pair of "~" as
// strikethrough, which would strike out the text between two cell names and
// drop their tildes; and the places in section 11 are a list inside a list.
TEST(Guide, ShowsEveryCellNameWithItsTildeAndNothingStruckThrough) {
  WindowFixture fixture;
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  ui::GuideWindow* guide = OpenGuide(window);
  ASSERT_NE(guide, nullptr);
  const QTextDocument& shown = *guide->Browser()->document();
  EXPECT_EQ(StruckThrough(shown).join(QStringLiteral(" | ")).toStdString(), "");
  const QString source = ReadGuideSource();
  ASSERT_FALSE(source.isEmpty());
  // A tilde escaped in the file ("設\~") reads the same in any Markdown reader.
  const std::set<QString> names = CellNamesInGuide(QString(source).replace(QStringLiteral("\\~"), QStringLiteral("~")));
  EXPECT_GE(names.size(), 20u);
  const QString text = guide->Browser()->toPlainText();
  for (const QString& name : names) EXPECT_TRUE(text.contains(name)) << name.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("\\~")));

  const QTextBlock places = BlockStarting(shown, QStringLiteral("ファイルの場所"));
  ASSERT_TRUE(places.isValid() && places.textList());
  for (const char* place : {"文書：", "設定：", "学習（予測の行）："}) {
    const QTextBlock item = BlockStarting(shown, QString::fromUtf8(place));
    ASSERT_TRUE(item.isValid()) << place << " is not an item of its own";
    ASSERT_NE(item.textList(), nullptr) << place;
    EXPECT_GT(item.textList()->format().indent(), places.textList()->format().indent()) << place;
  }
}

// Two cell names in one paragraph keep their tildes even where the file does
// not escape them.
TEST(Guide, TwoCellNamesInAParagraphAreNotStruckThrough) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("guide.md"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("# Guide\n\n「設~」で開き、「☆~」で戻ります。BS~ と 削~ で消します。\n");
  file.close();
  ui::GuideWindow guide(nullptr, path, 0);
  EXPECT_EQ(StruckThrough(*guide.Browser()->document()).join(QStringLiteral(" | ")).toStdString(), "");
  EXPECT_TRUE(guide.Browser()->toPlainText().contains(
      QStringLiteral("「設~」で開き、「☆~」で戻ります。BS~ と 削~ で消します。")));
}

// The pointer moving a little over `button`, as a resting head mouse does.
void MoveOver(QPushButton* button) {
  const QPointF at(button->width() / 2.0, button->height() / 2.0);
  QMouseEvent move(QEvent::MouseMove, at, button->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(button, &move);
}

TEST(Guide, RestingOnTheCloseButtonClosesItInDwellMode) {
  WindowFixture fixture;
  fixture.Store("Option", QStringLiteral("0,0.3,0,1,0,0,0,0,0,0"));
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  QPointer<ui::GuideWindow> guide = OpenGuide(window);
  ASSERT_FALSE(guide.isNull());
  QPushButton* close = guide->CloseButton();
  // The window opening under a resting pointer starts nothing: the count
  // starts with a movement over the button, and is drawn on it.
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(close, &enter);
  QTest::qWait(500);
  ASSERT_FALSE(guide.isNull()) << "entering alone presses nothing";
  EXPECT_EQ(guide->DwellPercent(close), 0);
  MoveOver(close);
  QTest::qWait(150);
  ASSERT_FALSE(guide.isNull()) << "not before the dwell time";
  EXPECT_GT(guide->DwellPercent(close), 10);
  EXPECT_LT(guide->DwellPercent(close), 100);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(close, &leave);
  EXPECT_EQ(guide->DwellPercent(close), 0);
  QTest::qWait(300);
  EXPECT_FALSE(guide.isNull()) << "leaving stops the count";
  QApplication::sendEvent(close, &enter);
  MoveOver(close);
  QTest::qWait(500);
  EXPECT_TRUE(guide.isNull() || !guide->isVisible());
}

// Without a wheel or keys the guide is read section by section: 次へ and 前へ
// step through its second-level headings and name the one shown; by resting
// on them in dwell mode, by the arrow keys and a switch, and under scanning
// by the switch alone.
TEST(Guide, StepsThroughItsSectionsByButtonsKeysAndScanning) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("guide.md"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  QByteArray text("# Guide\n\nfirst words\n\n");
  for (const char* title : {"one", "two", "three"}) {
    text += QByteArray("## ") + title + "\n\n";
    for (int i = 0; i < 40; ++i) text += QByteArray(title) + " line " + QByteArray::number(i) + "\n\n";
  }
  file.write(text);
  file.close();
  {
    ui::GuideWindow guide(nullptr, path, 0);
    guide.show();
    EXPECT_EQ(guide.SectionText(), QStringLiteral("1/3　one"));
    EXPECT_FALSE(guide.PreviousButton()->isEnabled());
    guide.NextButton()->click();
    guide.NextButton()->click();
    EXPECT_EQ(guide.SectionText(), QStringLiteral("3/3　three"));
    EXPECT_FALSE(guide.NextButton()->isEnabled());
    EXPECT_GT(guide.Browser()->verticalScrollBar()->value(), 0) << "the section is scrolled into view";
    guide.PreviousButton()->click();
    EXPECT_EQ(guide.Section(), 1);
    // The arrow keys move the focus; the switch presses the button in focus.
    guide.CloseButton()->setFocus();
    QTest::keyClick(guide.CloseButton(), Qt::Key_Left);
    EXPECT_EQ(guide.focusWidget(), guide.NextButton());
    QTest::keyClick(guide.NextButton(), Qt::Key_Space);
    EXPECT_EQ(guide.Section(), 2) << "one press, one step";
  }
  {
    // Resting on 次へ for the dwell time steps once; leaving and coming back
    // steps again.
    ui::GuideWindow guide(nullptr, path, 100);
    guide.show();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(guide.NextButton(), &enter);
    MoveOver(guide.NextButton());
    QTest::qWait(350);
    MoveOver(guide.NextButton());
    QTest::qWait(200);
    EXPECT_EQ(guide.Section(), 1) << "moving on the pressed button presses it no more";
    QApplication::sendEvent(guide.NextButton(), &leave);
    QApplication::sendEvent(guide.NextButton(), &enter);
    MoveOver(guide.NextButton());
    QTest::qWait(200);
    EXPECT_EQ(guide.Section(), 2);
  }
  {
    // The window opening with 次へ under a resting pointer: its tremor
    // presses nothing until the pointer has left the button and come back.
    ui::GuideWindow guide(nullptr, path, 100);
    guide.show();
    const QPoint onNext = guide.NextButton()->mapToGlobal(guide.NextButton()->rect().center());
    QCursor::setPos(onNext);
    ASSERT_EQ(QCursor::pos(), onNext);
    guide.hide();
    guide.show();
    MoveOver(guide.NextButton());
    QTest::qWait(250);
    MoveOver(guide.NextButton());
    QTest::qWait(250);
    EXPECT_EQ(guide.Section(), 0) << "nothing is pressed for a pointer that was there";
    EXPECT_EQ(guide.DwellPercent(guide.NextButton()), 0);
    QEvent leave(QEvent::Leave);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(guide.NextButton(), &leave);
    QApplication::sendEvent(guide.NextButton(), &enter);
    MoveOver(guide.NextButton());
    QTest::qWait(250);
    EXPECT_EQ(guide.Section(), 1);
  }
  {
    // Scanning: the focus walks 次へ and 閉じる (前へ cannot be pressed on the
    // first section); Space on 次へ steps.
    ui::GuideWindow guide(nullptr, path, 0, 60000);
    guide.show();
    guide.activateWindow();
    EXPECT_TRUE(guide.Scanning());
    guide.ScanStep();
    ASSERT_EQ(guide.focusWidget(), guide.NextButton());
    QTest::keyClick(guide.NextButton(), Qt::Key_Space);
    EXPECT_EQ(guide.Section(), 1);
  }
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
