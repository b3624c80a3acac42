#include "ui/Shell.h"

#include <unistd.h>

#include <string>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "ui/QtText.h"

namespace velkor::ui {

std::string Shell::ProgramFolder() const {
  // The bytes of the program's own path, as the kernel has them: a folder
  // name that is not UTF-8 (Shift-JIS from an archive, Latin-1) survives
  // no decoding.
  std::string exe(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", exe.data(), exe.size());
  if (length > 0 && static_cast<std::size_t>(length) < exe.size()) {
    exe.resize(static_cast<std::size_t>(length));
    const std::size_t slash = exe.rfind('/');
    if (slash != std::string::npos) return exe.substr(0, slash + 1);
  }
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

void Shell::ShowHelp(const std::string& /*helpFile*/, const std::string& /*topic*/) {
  if (onShowHelp_) onShowHelp_();
}

namespace {
constexpr char kInstalledData[] = "../share/velkorlt/";

std::string FirstExisting(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (!path.empty() && QFileInfo(FromUtf8(path)).isFile()) return path;
  }
  return {};
}

// The running program lies in the folder it was built in. Read from the
// program's own path, so that it holds before Qt starts (--where).
bool RunsFromBuildTree([[maybe_unused]] const std::string& programFolder) {
#ifdef VELKOR_BUILD_DIR
  const QString build = QFileInfo(QStringLiteral(VELKOR_BUILD_DIR)).canonicalFilePath();
  const QString here = QFileInfo(FromUtf8(programFolder)).canonicalFilePath();
  return !build.isEmpty() && (here == build || here.startsWith(build + QLatin1Char('/')));
#else
  return false;
#endif
}
}  // namespace

ProgramPlace PlaceOf(const std::string& programFolder) {
  if (QFileInfo(FromUtf8(programFolder + kInstalledData)).isDir()) return ProgramPlace::Installed;
  if (QFileInfo(FromUtf8(programFolder + "CMakeCache.txt")).isFile()) return ProgramPlace::BuildTree;
  return ProgramPlace::OwnFolder;
}

std::vector<std::string> LexiconFiles(const std::string& programFolder) {
  std::vector<std::string> paths{programFolder + "lexicon.txt", programFolder + kInstalledData + "lexicon.txt"};
#ifdef VELKOR_LEXICON_PATH
  if (RunsFromBuildTree(programFolder)) paths.emplace_back(VELKOR_LEXICON_PATH);
#endif
  return paths;
}

std::string LexiconFile(const std::string& programFolder) { return FirstExisting(LexiconFiles(programFolder)); }

std::string ChimeFile(const std::string& programFolder) {
  std::vector<std::string> paths{programFolder + "chime.wav", programFolder + kInstalledData + "chime.wav"};
#ifdef VELKOR_CHIME_PATH
  if (RunsFromBuildTree(programFolder)) paths.emplace_back(VELKOR_CHIME_PATH);
#endif
  return FirstExisting(paths);
}

std::string PhraseModelFile(const std::string& programFolder) {
  std::vector<std::string> paths{programFolder + "phrase-model.bin",
                                 programFolder + kInstalledData + "phrase-model.bin"};
#ifdef VELKOR_PHRASE_MODEL_PATH
  if (RunsFromBuildTree(programFolder)) paths.emplace_back(VELKOR_PHRASE_MODEL_PATH);
#endif
  return FirstExisting(paths);
}

std::string GuideFile(const std::string& programFolder) {
  std::vector<std::string> paths{programFolder + kInstalledData + "guide/guide-ja.md"};
#ifdef VELKOR_GUIDE_PATH
  if (RunsFromBuildTree(programFolder)) paths.emplace_back(VELKOR_GUIDE_PATH);
#endif
  return FirstExisting(paths);
}

}  // namespace velkor::ui
