// The real program as separate processes: two running at once take copy
// numbers of their own, and the end of the session (SIGTERM, SIGHUP) keeps
// the settings instead of ending the program at once; so do Ctrl+C and
// Ctrl+\ in the terminal it was started from, even while a box is open.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

class ProgramProcesses : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath(QStringLiteral("prog"));
    program_ = dir_.path() + QStringLiteral("/prog/velkorlt");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELKOR_PROGRAM), program_));
  }
  void TearDown() override {
    for (QProcess* p : processes_) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
      delete p;
    }
  }
  QProcess* Start() {
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.path() + QStringLiteral("/user"));
    // What is checked here is the end of the program, not its leaks.
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p->setProcessEnvironment(env);
    p->start(program_, {});
    processes_.push_back(p);
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
  }
  // Waits until `path` exists (the program got that far), at most 20 s.
  static bool WaitFor(const QString& path) {
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path) && clock.elapsed() < 20000) QTest::qWait(50);
    return QFile::exists(path);
  }
  QString Data(const char* name) const { return dir_.path() + QStringLiteral("/prog/Data/") + QString::fromUtf8(name); }
  QString SettingsFile() const { return dir_.path() + QStringLiteral("/config/Quillfern/VelkorLT3.conf"); }

  QTemporaryDir dir_;
  QString program_;
  std::vector<QProcess*> processes_;
};

TEST_F(ProgramProcesses, TwoRunningProgramsHoldRecoveryCopyNumbersOfTheirOwn) {
  Start();
  ASSERT_TRUE(WaitFor(Data(".unsaved-0.lock")));
  Start();
  EXPECT_TRUE(WaitFor(Data(".unsaved-1.lock"))) << "the second program took the first one's number";
}

TEST_F(ProgramProcesses, TheEndOfTheSessionWritesTheSettingsAndEndsCleanly) {
  for (const int sig : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
    SCOPED_TRACE(sig);
    QFile::remove(SettingsFile());
    QProcess* p = Start();
    ASSERT_TRUE(WaitFor(Data(".unsaved-0.lock")));
    QTest::qWait(500);  // the window shows
    ::kill(static_cast<pid_t>(p->processId()), sig);
    ASSERT_TRUE(p->waitForFinished(15000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(QFile::exists(SettingsFile()));
    EXPECT_FALSE(QFile::exists(Data(".unsaved-0.lock"))) << "the lock goes with the program";
  }
}

// A copy left by a crash is put in a slot at start and said in a box (click
// mode). A signal while that box waits for OK ends the program as a session
// end does: the text stays in its slot and the program does not go on.
TEST_F(ProgramProcesses, ASignalWhileTheStartBoxIsOpenEndsTheProgramAndKeepsTheText) {
  const QByteArray text("\x8C\xC4\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2");  // 呼んでください
  for (const int sig : {SIGTERM, SIGINT, SIGQUIT}) {
    SCOPED_TRACE(sig);
    QDir(Data("")).removeRecursively();
    QDir().mkpath(Data(""));
    QFile copy(Data(".unsaved.txt"));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(text);
    copy.close();
    // Not the first start: the box, not the start face, says where the text went.
    QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
    QFile settings(SettingsFile());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\nVer=*V3.2\n");
    settings.close();
    QProcess* p = Start();
    ASSERT_TRUE(WaitFor(Data("文書00.txt")));
    QTest::qWait(1000);  // the box shows
    ::kill(static_cast<pid_t>(p->processId()), sig);
    ASSERT_TRUE(p->waitForFinished(15000)) << "the program went on after the signal";
    EXPECT_EQ(p->exitCode(), 0);
    QFile slot(Data("文書00.txt"));
    ASSERT_TRUE(slot.open(QIODevice::ReadOnly));
    EXPECT_EQ(slot.readAll(), text);
    EXPECT_FALSE(QFile::exists(Data(".unsaved.txt")));
  }
}

// A program folder whose name is not UTF-8 (Shift-JIS from an archive made
// on another system) still holds Data/: the folder is found from the bytes
// of the program's own path.
TEST_F(ProgramProcesses, AProgramFolderNamedInShiftJisKeepsItsDataFolder) {
  const std::string folder = QFile::encodeName(dir_.path()).toStdString() + "/\x95\xB6\x8F\x91";  // 文書
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const std::string program = folder + "/velkorlt";
  std::filesystem::copy_file(QFile::encodeName(program_).toStdString(), program);
  ::chmod(program.c_str(), 0700);
  const std::string config = "XDG_CONFIG_HOME=" + QFile::encodeName(dir_.path()).toStdString() + "/config";
  const std::string data = "XDG_DATA_HOME=" + QFile::encodeName(dir_.path()).toStdString() + "/user";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::chdir("/") != 0) ::_exit(126);
    const char* env[] = {"QT_QPA_PLATFORM=offscreen", "ASAN_OPTIONS=detect_leaks=0", config.c_str(), data.c_str(),
                         nullptr};
    const char* argv[] = {program.c_str(), nullptr};
    ::execve(program.c_str(), const_cast<char* const*>(argv), const_cast<char* const*>(env));
    ::_exit(127);
  }
  const std::string lock = folder + "/Data/.unsaved-0.lock";
  struct stat info {};
  for (int i = 0; i < 400 && ::stat(lock.c_str(), &info) != 0; ++i) QTest::qWait(50);
  EXPECT_EQ(::stat(lock.c_str(), &info), 0) << "no Data folder beside the program";
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
}

}  // namespace
