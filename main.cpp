// VelkorLT: a Japanese text editor written with a pointing device alone, with
// the arrow keys and one other key, or with a single switch.
#include <QApplication>

#include "form/MainForm.h"
#include "document/TextFile.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/SettingsStore.h"
#include "ui/SessionEnd.h"
#include "ui/Shell.h"
#include "ui/Translations.h"

int main(int argc, char* argv[]) {
  // --where, --help and --version are answered before Qt starts: they need
  // no display and change nothing.
  if (const std::optional<int> status = velkor::ui::RunCommandLine(argc, argv)) return *status;
  QApplication app(argc, argv);
  velkor::ui::InstallJapaneseTranslations(app);
  velkor::ui::SettingsStore store;
  velkor::ui::Shell shell;
  velkor::ui::MainWindow window(store, shell, velkor::RealFileSystem(), velkor::RealTextFiles());
  if (!window.Create()) return 1;  // the error was shown; nothing was written
  shell.OnShowHelp([&window, &shell] { window.ShowGuide(shell.ProgramFolder()); });
  velkor::ui::SessionEnd sessionEnd(window);
  window.show();
  if (sessionEnd.Ended()) return 0;  // a signal ended the session while a box was open at start
  return app.exec();
}
