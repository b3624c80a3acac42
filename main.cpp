// VelkorLT: a Japanese text editor written with a pointing device alone, with
// the arrow keys and one other key, or with a single switch.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "form/MainForm.h"
#include "document/TextFile.h"
#include "ui/MainWindow.h"
#include "ui/SettingsStore.h"
#include "ui/SessionEnd.h"
#include "ui/Shell.h"
#include "ui/Translations.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  velkor::ui::InstallJapaneseTranslations(app);
  velkor::ui::SettingsStore store;
  velkor::ui::Shell shell;
  velkor::ui::MainWindow window(store, shell, velkor::RealFileSystem(), velkor::RealTextFiles());
  if (!window.Create()) return 1;  // the error was shown; nothing was written
  // "--where": where this program keeps and finds its files, for a carer
  // (and the install check); the window is not shown.
  if (argc > 1 && std::strcmp(argv[1], "--where") == 0) {
    const velkor::ProgramState& state = window.Form().State();
    std::printf("documents: %s\n", state.dataDir.c_str());
    std::printf("settings: %s\n", velkor::ui::SettingsStore::FileName().toLocal8Bit().constData());
    std::printf("learning: %s\n", window.Form().LearningPath().c_str());
    std::printf("lexicon: %s\n", window.LexiconPath().c_str());
    std::printf("guide: %s\n", velkor::ui::GuideFile(shell.ProgramFolder()).c_str());
    return 0;
  }
  shell.OnShowHelp([&window, &shell] { window.ShowGuide(shell.ProgramFolder()); });
  velkor::ui::SessionEnd sessionEnd(window);
  window.show();
  if (sessionEnd.Ended()) return 0;  // a signal ended the session while a box was open at start
  return app.exec();
}
