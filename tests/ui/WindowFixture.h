// Starts the real main window in a temporary program folder with its own
// settings file, and answers the message boxes it opens.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/Platform.h"
#include "document/TextFile.h"
#include "ui/MainWindow.h"
#include "ui/SettingsStore.h"

namespace velkor::testing {

// The desktop, with the program folder in a temporary folder.
class TestShell : public IShell {
 public:
  std::string programFolder;
  std::string userDataFolder;
  std::vector<std::string> started;
  std::string ProgramFolder() const override { return programFolder; }
  std::string PerUserDataFolder() const override { return userDataFolder; }
  void StartProgram(const std::string& name) override { started.push_back(name); }
  // As the program's own shell: the help is the guide in the main window.
  void ShowHelp(const std::string&, const std::string&) override {
    if (onHelp) onHelp();
  }
  std::function<void()> onHelp;
};

// Clicks `button` in the next message box that opens, and keeps its text.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton button) : button_(button) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      text = box->text();
      title = box->windowTitle();
      icon = box->icon();
      ++answered;
      timer_.stop();
      box->button(button_)->click();
    });
    timer_.start();
  }
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int answered = 0;

 private:
  QMessageBox::StandardButton button_;
  QTimer timer_;
};

class WindowFixture {
 public:
  WindowFixture() {
    root_ = dir_.path();
    QDir(root_).mkpath(QStringLiteral("prog"));
    QDir(root_).mkpath(QStringLiteral("user"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root_ + QStringLiteral("/config"));
    shell.programFolder = (root_ + QStringLiteral("/prog/")).toStdString();
    shell.userDataFolder = (root_ + QStringLiteral("/user/")).toStdString();
    // The program folder lies outside the build tree, so it finds its
    // lexicon and guide where an installed program does.
    QDir(root_).mkpath(QStringLiteral("share/velkorlt"));
    QFile::link(QStringLiteral(VELKOR_LEXICON_PATH), root_ + QStringLiteral("/share/velkorlt/lexicon.txt"));
    QFile::link(QStringLiteral(VELKOR_CHIME_PATH), root_ + QStringLiteral("/share/velkorlt/chime.wav"));
    QFile::link(QStringLiteral(VELKOR_PHRASE_MODEL_PATH), root_ + QStringLiteral("/share/velkorlt/phrase-model.bin"));
    QFile::link(QFileInfo(QStringLiteral(VELKOR_GUIDE_PATH)).absolutePath(),
                root_ + QStringLiteral("/share/velkorlt/guide"));
  }

  // The settings file as the program reads and writes it.
  QString SettingsFile() const { return root_ + QStringLiteral("/config/Quillfern/VelkorLT3.conf"); }
  QString Root() const { return root_; }

  // A value stored before the program starts (code page 932 text given as UTF-8).
  void Store(const QString& name, const QString& value) {
    QSettings settings(QStringLiteral("Quillfern"), QStringLiteral("VelkorLT3"));
    settings.setValue(name, value);
  }
  QString Stored(const QString& name) const {
    QSettings settings(QStringLiteral("Quillfern"), QStringLiteral("VelkorLT3"));
    return settings.value(name).toString();
  }

  // Starts the window. Unless told it is the very first start, a settings
  // file is there, as after any earlier run (the lists at their defaults).
  ui::MainWindow& Start(bool firstStart = false) {
    if (!firstStart && !QFile::exists(SettingsFile())) Store(QStringLiteral("Ver"), QStringLiteral("*V3.2"));
    window = std::make_unique<ui::MainWindow>(store, shell, RealFileSystem(), RealTextFiles());
    shell.onHelp = [this] { window->ShowGuide(shell.programFolder); };
    created = window->Create();
    if (created) window->show();
    return *window;
  }

  TestShell shell;
  ui::SettingsStore store;
  std::unique_ptr<ui::MainWindow> window;
  bool created = false;

 private:
  QTemporaryDir dir_;
  QString root_;
};

}  // namespace velkor::testing
