// The printer over QPrinter: the print dialog, and print jobs drawn with
// QPainter on the printable area. The printer chosen in the dialog stays the
// current one for the board's print command. Tests can direct the jobs into a
// PDF file instead of a printer.
#pragma once

#include <QPrintDialog>
#include <QPrinter>
#include <QString>
#include <QWidget>

#include "core/Platform.h"

namespace velkor::ui {

class Printer : public IPrinter {
 public:
  explicit Printer(QWidget* parent);

  std::optional<PrintChoice> ShowPrintDialog() override;
  std::unique_ptr<IPrintJob> BeginJob(const FontSpec& font) override;

  // Every job from now on goes into this PDF file (empty: the printer again).
  void PrintToPdf(const QString& path);
  int JobsStarted() const { return jobsStarted_; }
  QPrinter& Device() { return printer_; }

  // Takes every page-range control out of a print dialog.
  static void HidePageRange(QPrintDialog& dialog);

 private:
  QWidget* parent_;
  QPrinter printer_;
  int jobsStarted_ = 0;
};

}  // namespace velkor::ui
