// The real program as separate processes: two running at once take copy
// numbers of their own, and the end of the session (SIGTERM, SIGHUP) keeps
// the settings instead of ending the program at once.
#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
  QString Data(const char* name) const { return dir_.path() + QStringLiteral("/prog/Data/") + QLatin1String(name); }
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
  for (const int sig : {SIGTERM, SIGHUP}) {
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

}  // namespace
