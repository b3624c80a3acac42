// The command line before any window: --where, --help and --version answer
// without a display and without creating or writing anything; Qt's own
// options pass to Qt; anything else is the usage and status 2. And where a
// program folder lies: installed, the build folder, or a folder of its own.
#include "ui/CommandLine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "ui/Shell.h"

namespace velkor::testing {
namespace {

using ui::Request;

TEST(CommandLine, ReadsItsOwnOptionsAndLeavesQtsToQt) {
  const struct {
    std::vector<const char*> args;
    Request request;
    const char* unknown;
  } cases[] = {
      {{}, Request::Window, ""},
      {{"--where"}, Request::Where, ""},
      {{"--help"}, Request::Help, ""},
      {{"-h"}, Request::Help, ""},
      {{"--version"}, Request::Version, ""},
      {{"-platform", "offscreen"}, Request::Window, ""},
      {{"--platform", "offscreen", "--where"}, Request::Where, ""},
      {{"-style=fusion", "-reverse"}, Request::Window, ""},
      {{"--bogus"}, Request::Unknown, "--bogus"},
      {{"-where"}, Request::Unknown, "-where"},
      {{"文書00.txt"}, Request::Unknown, "文書00.txt"},
      {{"-platform"}, Request::Unknown, "-platform"},  // its value is missing
      {{"--where", "--bogus"}, Request::Unknown, "--bogus"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"velkorlt"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ui::Arguments read = ui::ReadArguments(static_cast<int>(argv.size()), argv.data());
    SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
    EXPECT_EQ(read.request, c.request);
    EXPECT_EQ(read.unknown, c.unknown);
  }
}

// What RunCommandLine printed on each stream, and its status.
struct Answer {
  std::optional<int> status;
  std::string out, err;
};

std::string Drain(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

Answer RunWith(std::vector<const char*> args) {
  args.insert(args.begin(), "velkorlt");
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Answer run;
  run.status = ui::RunCommandLine(static_cast<int>(args.size()), args.data(), out, err);
  run.out = Drain(out);
  run.err = Drain(err);
  return run;
}

TEST(CommandLine, AnswersHelpVersionAndUnknownOptions) {
  const Answer help = RunWith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--where"), std::string::npos);
  EXPECT_NE(help.out.find("Usage:"), std::string::npos);
  EXPECT_EQ(RunWith({"-h"}).out, help.out);

  const Answer version = RunWith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("velkorlt 3.", 0), 0u) << version.out;

  const Answer unknown = RunWith({"--bogus"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("--bogus"), std::string::npos);
  EXPECT_NE(unknown.err.find(help.out), std::string::npos) << "the usage follows";

  EXPECT_EQ(RunWith({}).status, std::nullopt) << "the window starts";
}

// A shell over temporary folders, in a given place.
class PlacedShell : public IShell {
 public:
  std::string program, user;
  ProgramPlace place = ProgramPlace::OwnFolder;
  std::string ProgramFolder() const override { return program; }
  std::string PerUserDataFolder() const override { return user; }
  ProgramPlace Place() const override { return place; }
  void StartProgram(const std::string&) override {}
  void ShowHelp(const std::string&, const std::string&) override {}
};

QStringList Entries(const QString& folder) {
  QStringList entries;
  for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
       it.hasNext();) {
    entries << it.next();
  }
  return entries;
}

TEST(CommandLine, WhereListsEveryPlaceAndCreatesNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  PlacedShell shell;
  shell.program = dir.filePath(QStringLiteral("prog/")).toStdString();
  shell.user = dir.filePath(QStringLiteral("user/")).toStdString();
  ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("prog"))));
  for (const ProgramPlace place : {ProgramPlace::OwnFolder, ProgramPlace::BuildTree, ProgramPlace::Installed}) {
    SCOPED_TRACE(static_cast<int>(place));
    shell.place = place;
    const std::string text = ui::WhereText(shell, RealFileSystem());
    const std::string documents =
        place == ProgramPlace::OwnFolder ? shell.program + "Data/" : shell.user + "VelkorLT/Data/";
    for (const std::string& line :
         {"documents: " + documents, "recovery: " + documents + ".unsaved-N.txt",
          "learning: " + shell.user + "VelkorLT/learning.txt", "anthy: " + shell.user + "VelkorLT/anthy/"}) {
      EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << " in\n" << text;
    }
    for (const char* label : {"settings: ", "speech: ", "lexicon: ", "guide: "}) {
      EXPECT_NE(text.find(std::string("\n") + label), std::string::npos) << label << " in\n" << text;
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{dir.filePath(QStringLiteral("prog"))});
  }
}

// The real program, with no display to be had: --where answers all the same
// and creates nothing. Run from its build folder, its documents are in the
// per-user folder.
TEST(CommandLine, TheProgramAnswersWhereWithoutADisplay) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(VELKOR_PROGRAM), {QStringLiteral("--where")});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  const QString out = QString::fromUtf8(program.readAllStandardOutput());
  EXPECT_TRUE(out.contains(QStringLiteral("documents: ") + dir.filePath(QStringLiteral("data/VelkorLT/Data/")) +
                           QLatin1Char('\n')))
      << out.toStdString();
  EXPECT_EQ(Entries(dir.path()), QStringList());
}

// What a crash left in the data folder: a recovery copy whose lock nobody
// holds, the notice of an earlier close, a learning file and a temporary file
// of a save cut short. --where reads and prints: it recovers nothing, takes
// up no notice and removes no file, so the next start still says where the
// text went.
QByteArray Contents(const QString& folder) {
  QByteArray all;
  for (const QString& path : Entries(folder)) {
    QFile file(path);
    all += path.toUtf8() + '\n';
    if (file.open(QIODevice::ReadOnly)) all += file.readAll() + '\n';
  }
  return all;
}

TEST(CommandLine, WhereAfterACrashChangesNothingOnDisk) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString data = dir.filePath(QStringLiteral("data/VelkorLT/Data/"));
  ASSERT_TRUE(QDir().mkpath(data));
  const std::pair<const char*, const char*> leftovers[] = {{".unsaved-1.txt", "crash text"},
                                                           {".unsaved-1.lock", ""},
                                                           {".unsaved-notice-2", "saved to 03"},
                                                           {".velkorlt-999999-1.tmp", "half"},
                                                           {"../learning.txt", "# learning\n"}};
  for (const auto& [name, text] : leftovers) {
    QFile file(data + QString::fromUtf8(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  const QByteArray before = Contents(dir.path());
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(VELKOR_PROGRAM), {QStringLiteral("--where")});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(program.readAllStandardError(), QByteArray()) << "nothing to warn about";
  EXPECT_EQ(Contents(dir.path()), before);
}

TEST(ProgramPlaceOf, InstalledBuildFolderOrAFolderOfItsOwn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto folder = [&dir](const char* name) { return dir.filePath(QLatin1String(name)).toStdString() + "/"; };
  ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("usr/bin"))));
  ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("usr/share/velkorlt"))));
  ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("build"))));
  QFile cache(dir.filePath(QStringLiteral("build/CMakeCache.txt")));
  ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
  cache.close();
  ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("stick"))));
  EXPECT_EQ(ui::PlaceOf(folder("usr/bin")), ProgramPlace::Installed);
  EXPECT_EQ(ui::PlaceOf(folder("build")), ProgramPlace::BuildTree);
  EXPECT_EQ(ui::PlaceOf(folder("stick")), ProgramPlace::OwnFolder);
  // The program the tests were built with runs from its build folder.
  const QString built = QFileInfo(QStringLiteral(VELKOR_PROGRAM)).absolutePath() + QLatin1Char('/');
  EXPECT_EQ(ui::PlaceOf(built.toStdString()), ProgramPlace::BuildTree);
}

}  // namespace
}  // namespace velkor::testing
