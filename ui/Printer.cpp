#include "ui/Printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QTimer>

#include "ui/QtText.h"

namespace velkor::ui {

namespace {

class PrintJob : public IPrintJob {
 public:
  PrintJob(QPrinter& printer, const FontSpec& font) : printer_(printer) {
    QFont qfont = ToQFont(font);
    ok_ = painter_.begin(&printer_);
    if (!ok_) return;
    painter_.setFont(qfont);
    const QColor colour = ToQColor(font.colour);
    painter_.setPen(colour.isValid() ? colour : QColor(Qt::black));
    metrics_ = std::make_unique<QFontMetrics>(painter_.font(), &printer_);
    page_ = printer_.pageLayout().paintRectPixels(printer_.resolution());
  }
  ~PrintJob() override {
    if (painter_.isActive()) painter_.end();
  }
  bool Started() const { return ok_; }

  int CharWidth(std::string_view character) const override {
    return metrics_->horizontalAdvance(FromCp932(std::string(character)));
  }
  int CharHeight() const override { return metrics_->height(); }
  int AverageCharWidth() const override { return metrics_->averageCharWidth(); }
  int PageWidth() const override { return page_.width(); }
  int PageHeight() const override { return page_.height(); }
  void DrawText(int x, int y, const std::string& text) override {
    // The flags overload lays the text out exactly, without word wrapping.
    const QString shown = FromCp932(text);
    painter_.drawText(QRect(x, y, metrics_->horizontalAdvance(shown) + 1, metrics_->height()),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
  }
  void NewPage() override { ok_ = printer_.newPage() && ok_; }
  bool End() override {
    const bool ended = painter_.end();
    return ok_ && ended && printer_.printerState() != QPrinter::Error;
  }

 private:
  QPrinter& printer_;
  QPainter painter_;
  std::unique_ptr<QFontMetrics> metrics_;
  QRect page_;
  bool ok_ = false;
};

}  // namespace

Printer::Printer(QWidget* parent) : parent_(parent) {}

void Printer::HidePageRange(QPrintDialog& dialog) {
  // The dialog of a print server may still offer pages "from ... to" and a
  // page list; the program prints all of the text or the selection.
  for (const char* name : {"from", "to", "printRange", "pagesRadioButton", "pagesLineEdit"}) {
    if (auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name))) {
      widget->setEnabled(false);
      widget->hide();
    }
  }
}

std::optional<PrintChoice> Printer::ShowPrintDialog() {
  QPrintDialog dialog(&printer_, parent_);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  printer_.setPrintRange(QPrinter::AllPages);
  // The dialog sets its controls up again as it shows: once it is shown,
  // the range controls are taken out.
  QTimer::singleShot(0, &dialog, [&dialog] { HidePageRange(dialog); });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // Only all of the text or the selection is printed: no range may reach
  // the print server either.
  if (printer_.printRange() != QPrinter::Selection) printer_.setPrintRange(QPrinter::AllPages);
  printer_.setPageRanges(QPageRanges());
  PrintChoice choice;
  choice.copies = std::max(1, printer_.copyCount());
  choice.selectionOnly = printer_.printRange() == QPrinter::Selection;
  // Each copy is a job of its own.
  printer_.setCopyCount(1);
  return choice;
}

std::unique_ptr<IPrintJob> Printer::BeginJob(const FontSpec& font) {
  ++jobsStarted_;
  auto job = std::make_unique<PrintJob>(printer_, font);
  if (!job->Started()) return nullptr;
  return job;
}

void Printer::PrintToPdf(const QString& path) {
  if (path.isEmpty()) {
    // Clearing the file name asks for the printer again; without a printer
    // installed the next job then fails, as it must, instead of writing PDF.
    printer_.setOutputFileName(QString());
    printer_.setOutputFormat(QPrinter::NativeFormat);
  } else {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(path);
  }
}

}  // namespace velkor::ui
