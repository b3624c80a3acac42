#include "ui/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "ui/QtText.h"

namespace velkor::ui {

std::string Shell::ProgramFolder() const {
  return ToUtf8(QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/'));
}

std::string Shell::PerUserDataFolder() const {
  return ToUtf8(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/'));
}

void Shell::StartProgram(const std::string& fileName) {
  // The program's own folder first, then the search path, as a bare file name
  // is found on the platform the program comes from. Silent when absent.
  const QString name = FromUtf8(fileName);
  QString path = QDir(QCoreApplication::applicationDirPath()).filePath(name);
  if (!QFileInfo(path).isExecutable()) path = QStandardPaths::findExecutable(name);
  if (path.isEmpty()) return;
  QProcess::startDetached(path, {});
}

void Shell::ShowHelp(const std::string& helpFile, const std::string& /*topic*/) {
  // The desktop's viewer for the help file; the topic cannot be passed on.
  const QString path = FromUtf8(helpFile);
  if (QFileInfo::exists(path)) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace velkor::ui
