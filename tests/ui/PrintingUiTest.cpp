// Printing from the real window: the board's print command and the print
// action, into a PDF file read back with poppler's pdfinfo and pdftotext.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>

#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"
#include "ui/QtText.h"

namespace velkor::testing {
namespace {

constexpr char kClick[] = "1,0,0,1,0,0,0,0,0,0";
constexpr char kDwell[] = "0,2,0,1,0,0,0,0,0,0";

std::string Sj(const QString& text) { return cp932::Encode(text.toStdU16String()); }

// Moves the pointer onto `at`. A move to where the pointer already is (a
// window of an earlier test may have left it there) never reaches the
// window, so the pointer passes a pixel beside first.
void PointAt(QWidget* widget, QPoint at) {
  QTest::mouseMove(widget, at + QPoint(1, 1));
  QTest::mouseMove(widget, at);
}

// The printed pages are read back with poppler's tools, which scripts/setup.sh
// installs: without them the test fails by their name.
constexpr char kNoPoppler[] = "pdfinfo and pdftotext (package poppler-utils) are not installed";

bool HavePoppler() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QStringLiteral("<failed>");
  return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path) {
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
          .match(Run(QStringLiteral("pdfinfo"), {path}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of each page, its lines without the empty ones.
QList<QStringList> PdfText(const QString& path) {
  const QString text =
      Run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
  QList<QStringList> pages;
  QStringList pageTexts = text.split(QLatin1Char('\f'));
  // pdftotext ends the last page with a form feed too.
  if (!pageTexts.isEmpty() && pageTexts.last().trimmed().isEmpty()) pageTexts.removeLast();
  for (const QString& page : pageTexts) {
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
      if (!line.trimmed().isEmpty()) lines << line.trimmed();
    }
    pages << lines;
  }
  return pages;
}

// Rejects any dialog other than a message box that opens, and counts them.
class DialogGuard {
 public:
  explicit DialogGuard(std::function<void(QDialog*)> act = [](QDialog* d) { d->reject(); }) : act_(std::move(act)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || qobject_cast<QMessageBox*>(dialog)) return;
      ++shown;
      act_(dialog);
    });
    timer_.start();
  }
  int shown = 0;

 private:
  std::function<void(QDialog*)> act_;
  QTimer timer_;
};

class PrintingUi : public ::testing::Test {
 protected:
  // Starts the window; with `toPdf` every print job goes into pdf_.
  ui::MainWindow& Start(const char* option = kClick, bool toPdf = true) {
    fixture_.Store("Option", QString::fromLatin1(option));
    ui::MainWindow& window = fixture_.Start();
    pdf_ = fixture_.Root() + QStringLiteral("/printed.pdf");
    if (toPdf) window.PrinterDevice().PrintToPdf(pdf_);
    return window;
  }
  ui::MainWindow& W() { return *fixture_.window; }
  IEditArea& Area() { return W().Form().Plat().memMain; }

  QPoint BoardCell(int col, int row) {
    const Rect r = W().SGd00()->CellRect(col, row);
    return W().SGd00()->viewport()->mapFrom(W().SGd00(), QPoint(r.left + r.width / 2, r.top + r.height / 2));
  }
  // The board's print command "印~", clicked.
  void ClickPrintCell() {
    ASSERT_EQ(W().SGd00()->CellText(7, 7), cp932::FromUtf8("印~"));
    QWidget* viewport = W().SGd00()->viewport();
    PointAt(viewport, BoardCell(7, 7));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, BoardCell(7, 7));
  }
  // The board's print command confirmed as the selection engine does it.
  void ExecutePrintCell() {
    ASSERT_EQ(W().SGd00()->CellText(7, 7), cp932::FromUtf8("印~"));
    W().Form().Select().Confirm({Place::Board, {7, 7}});
  }
  // The printer's page and font as the program lays text out on them.
  QRect PageRect() {
    QPrinter& device = W().PrinterDevice().Device();
    return device.pageLayout().paintRectPixels(device.resolution());
  }
  QFontMetrics PrintMetrics() { return QFontMetrics(ui::ToQFont(Area().Font()), &W().PrinterDevice().Device()); }
  void CloseDiscarding() {
    Area().SetModified(false);
    EXPECT_TRUE(W().close());
  }

  WindowFixture fixture_;
  QString pdf_;
};

TEST_F(PrintingUi, ManyShortLinesSpillOntoAsManyPagesAsTheLineHeightNeeds) {
  if (!HavePoppler()) FAIL() << kNoPoppler;
  Start();
  QStringList lines;
  for (int i = 1; i <= 200; ++i) lines << QStringLiteral("line %1 行").arg(i, 3, 10, QLatin1Char('0'));
  Area().SetText(Sj(lines.join(QStringLiteral("\r\n"))));
  {
    BoxAnswerer none(QMessageBox::Ok);
    ClickPrintCell();
    QTest::qWait(20);
    EXPECT_EQ(none.answered, 0) << none.text.toStdString();
  }
  EXPECT_EQ(W().PrinterDevice().JobsStarted(), 1);
  ASSERT_TRUE(QFile::exists(pdf_));

  // Lines go down by the font's height + 2; a page ends when the next line
  // would start below the page height less two line heights.
  const int lineHeight = PrintMetrics().height() + 2;
  const int pageHeight = PageRect().height();
  ASSERT_GT(lineHeight, 2);
  int perPage = 0;
  for (int y = 0; y <= pageHeight - 2 * lineHeight || perPage == 0; y += lineHeight) ++perPage;
  const int expectedPages = (200 + perPage - 1) / perPage;
  ASSERT_GT(expectedPages, 1) << "page height " << pageHeight << ", line height " << lineHeight;

  EXPECT_EQ(PdfPages(pdf_), expectedPages);
  const QList<QStringList> pages = PdfText(pdf_);
  ASSERT_EQ(pages.size(), expectedPages);
  QStringList printed;
  for (int p = 0; p < pages.size(); ++p) {
    if (p + 1 < pages.size()) {
      EXPECT_EQ(pages[p].size(), perPage) << "page " << p + 1;
    }
    printed << pages[p];
  }
  EXPECT_EQ(printed.join(QLatin1Char('\n')).toStdString(), lines.join(QLatin1Char('\n')).toStdString());
  CloseDiscarding();
}

TEST_F(PrintingUi, LongJapaneseLineIsBrokenBetweenWholeCharacters) {
  if (!HavePoppler()) FAIL() << kNoPoppler;
  Start();
  const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねの");
  QString line;
  while (line.size() < 300) line += kana;
  line.truncate(300);
  // A line ending with a lone half-width letter after the wrapped text.
  Area().SetText(Sj(line + QStringLiteral("\r\nend")));
  ClickPrintCell();
  ASSERT_TRUE(QFile::exists(pdf_));

  const int advance = PrintMetrics().horizontalAdvance(QStringLiteral("あ"));
  ASSERT_GT(advance, 0);
  const int perLine = PageRect().width() / advance;
  ASSERT_LT(perLine, 300);
  const QList<QStringList> pages = PdfText(pdf_);
  ASSERT_EQ(pages.size(), 1);
  const QStringList& printed = pages[0];
  const int wrapped = (300 + perLine - 1) / perLine;
  ASSERT_EQ(printed.size(), wrapped + 1) << printed.join(QLatin1Char('|')).toStdString();
  for (int i = 0; i + 1 < wrapped; ++i) EXPECT_EQ(printed[i].size(), perLine) << "printed line " << i;
  EXPECT_EQ(printed.mid(0, wrapped).join(QString()).toStdString(), line.toStdString());
  EXPECT_EQ(printed.last().toStdString(), "end");
  CloseDiscarding();
}

TEST_F(PrintingUi, EmptyEditAreaPrintsNothing) {
  Start();
  {
    BoxAnswerer ok(QMessageBox::Ok);
    ClickPrintCell();
    EXPECT_EQ(ok.answered, 1);
    EXPECT_EQ(ok.text.toStdString(), "印刷するデータがありません");
    EXPECT_EQ(ok.icon, QMessageBox::NoIcon);
  }
  {
    DialogGuard guard;
    BoxAnswerer ok(QMessageBox::Ok);
    W().ActionNamed(QStringLiteral("ActFilePrint"))->trigger();
    EXPECT_EQ(ok.text.toStdString(), "印刷するデータがありません");
    EXPECT_EQ(guard.shown, 0);  // no print dialog
  }
  EXPECT_EQ(W().PrinterDevice().JobsStarted(), 0);
  EXPECT_FALSE(QFile::exists(pdf_));
  EXPECT_TRUE(W().close());

  // Dwell mode: the status line says it.
  fixture_.window.reset();
  Start(kDwell);
  ExecutePrintCell();
  EXPECT_EQ(cp932::ToUtf8(W().PnlMsg()->Message()), "印刷するデータがありません");
  EXPECT_FALSE(QFile::exists(pdf_));
  EXPECT_TRUE(W().close());
}

TEST_F(PrintingUi, PrintDialogCancelledOrWithTheSelectionAndCopies) {
  if (!HavePoppler()) FAIL() << kNoPoppler;
  Start();
  Area().SetText(Sj(QStringLiteral("first line\r\nsecond line")));
  {
    DialogGuard cancel;
    W().ActionNamed(QStringLiteral("ActFilePrint"))->trigger();
    EXPECT_EQ(cancel.shown, 1);
  }
  EXPECT_EQ(W().PrinterDevice().JobsStarted(), 0);
  EXPECT_FALSE(QFile::exists(pdf_));

  // The selection, three copies: three jobs of the selected text alone.
  Area().SetSelStart(6);
  Area().SetSelLength(10);  // "line\r\nseco"
  bool offered = false;
  {
    DialogGuard choose([&offered](QDialog* dialog) {
      auto* selection = dialog->findChild<QRadioButton*>(QStringLiteral("printSelection"));
      auto* copies = dialog->findChild<QSpinBox*>(QStringLiteral("copies"));
      offered = selection && selection->isEnabled() && copies;
      if (!offered) {
        dialog->reject();
        return;
      }
      selection->setChecked(true);
      copies->setValue(3);
      dialog->accept();
    });
    W().ActionNamed(QStringLiteral("ActFilePrint"))->trigger();
    EXPECT_EQ(choose.shown, 1);
  }
  if (!offered) GTEST_SKIP() << "this print dialog has no selection range or copy count to choose";
  EXPECT_EQ(W().PrinterDevice().JobsStarted(), 3);
  const QList<QStringList> pages = PdfText(pdf_);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_EQ(pages[0].join(QLatin1Char('|')).toStdString(), "line|seco");
  CloseDiscarding();
}

// The machine's normal state: no printer installed and no PDF output set.
TEST_F(PrintingUi, WithoutAPrinterThePrintIsReportedAsAnError) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) {
    GTEST_SKIP() << "a printer is installed here; this test would print on it";
  }
  for (const char* option : {kClick, kDwell}) {
    SCOPED_TRACE(option);
    Start(option, false);
    ASSERT_TRUE(W().PrinterDevice().Device().outputFileName().isEmpty());
    Area().SetText("abc");
    BoxAnswerer ok(QMessageBox::Ok);
    if (option == kClick) {
      ClickPrintCell();
    } else {
      ExecutePrintCell();
    }
    QTest::qWait(20);
    if (option == kClick) {
      EXPECT_EQ(ok.answered, 1);
      EXPECT_EQ(ok.text.toStdString(), "印刷エラー");
      EXPECT_EQ(ok.icon, QMessageBox::Critical);
    } else {
      EXPECT_EQ(ok.answered, 0) << ok.text.toStdString();
      EXPECT_EQ(cp932::ToUtf8(W().PnlMsg()->Message()), "印刷エラー");
    }
    EXPECT_EQ(W().PrinterDevice().JobsStarted(), 1);
    CloseDiscarding();
    fixture_.window.reset();
  }
  EXPECT_TRUE(QDir(fixture_.Root() + QStringLiteral("/prog")).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

// After printing into a PDF file, an empty file name sends the jobs to the
// printer again: with none installed, a print is an error and the PDF file
// is left as it was.
TEST_F(PrintingUi, EmptyPdfNameSendsTheJobsToThePrinterAgain) {
  if (!HavePoppler()) FAIL() << kNoPoppler;
  if (!QPrinterInfo::availablePrinters().isEmpty()) {
    GTEST_SKIP() << "a printer is installed here; this test would print on it";
  }
  Start();
  Area().SetText("alpha");
  ClickPrintCell();
  ASSERT_TRUE(QFile::exists(pdf_));

  W().PrinterDevice().PrintToPdf(QString());
  Area().SetText("second");
  BoxAnswerer ok(QMessageBox::Ok);
  ClickPrintCell();
  QTest::qWait(20);
  EXPECT_EQ(ok.text.toStdString(), "印刷エラー");
  const QList<QStringList> pages = PdfText(pdf_);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_EQ(pages[0].join(QLatin1Char('|')).toStdString(), "alpha");
  CloseDiscarding();
}

// Only all of the text or the selection can be printed, so the dialog
// offers no page range to be ignored.
TEST(PrintDialog, OffersNoPageRange) {
  QPrinter printer;
  QPrintDialog dialog(&printer);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
  dialog.show();
  QApplication::processEvents();
  ui::Printer::HidePageRange(dialog);  // as the shown dialog's first event does
  for (const char* name : {"from", "to", "printRange", "pagesRadioButton", "pagesLineEdit"}) {
    auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_FALSE(widget->isVisible()) << name;
    EXPECT_FALSE(widget->isEnabled()) << name;
  }
  dialog.reject();
}

}  // namespace
}  // namespace velkor::testing
