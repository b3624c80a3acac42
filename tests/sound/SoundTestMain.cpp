// Runs the playback tests inside one QApplication, with a sound server of
// their own: a PulseAudio whose only output is a null sink ("nul"), in a
// private runtime folder, started before Qt looks for audio outputs and
// stopped at the end. With --no-server the program is pointed at a server
// that is not there, as on a machine without sound.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <cstring>

#include "tests/sound/NullSink.h"
#include "ui/Translations.h"

namespace velkor::testing {

QString& NullSinkFailure() {
  static QString failure;
  return failure;
}

namespace {

// Starts the server; an empty text when it runs, else why not.
QString StartServer(const QString& runtime) {
  const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
  if (server.isEmpty()) return QStringLiteral("pulseaudio is not installed (packages pulseaudio, pulseaudio-utils)");
  if (QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
    return QStringLiteral("parec is not installed (package pulseaudio-utils)");
  QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
  env.insert(QStringLiteral("HOME"), runtime);
  env.remove(QStringLiteral("PULSE_SERVER"));
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::MergedChannels);
  // Daemonized: the starting process returns once the server runs.
  process.start(server, {QStringLiteral("-n"), QStringLiteral("--daemonize=yes"), QStringLiteral("--exit-idle-time=-1"),
                         QStringLiteral("--disallow-exit"), QStringLiteral("--disable-shm=yes"), QStringLiteral("-L"),
                         QStringLiteral("module-null-sink sink_name=nul"), QStringLiteral("-L"),
                         QStringLiteral("module-native-protocol-unix")});
  if (!process.waitForFinished(20000) || process.exitCode() != 0)
    return QStringLiteral("pulseaudio did not start: ") + QString::fromLocal8Bit(process.readAll());
  for (int i = 0; i < 100 && !QFile::exists(runtime + QStringLiteral("/pulse/native")); ++i) QThread::msleep(50);
  if (!QFile::exists(runtime + QStringLiteral("/pulse/native"))) return QStringLiteral("pulseaudio made no socket");
  return {};
}

void StopServer(const QString& runtime) {
  QFile pidFile(runtime + QStringLiteral("/pulse/pid"));
  if (!pidFile.open(QIODevice::ReadOnly)) return;
  const qint64 pid = pidFile.readAll().trimmed().toLongLong();
  if (pid <= 0) return;
  QProcess::execute(QStringLiteral("kill"), {QString::number(pid)});
  for (int i = 0; i < 40 && QFile::exists(runtime + QStringLiteral("/pulse/pid")); ++i) QThread::msleep(50);
}

}  // namespace
}  // namespace velkor::testing

int main(int argc, char* argv[]) {
  bool noServer = false;
  for (int i = 1; i < argc; ++i) noServer = noServer || std::strcmp(argv[i], "--no-server") == 0;
  QTemporaryDir home;
  QTemporaryDir runtime;
  if (!home.isValid() || !runtime.isValid()) return 2;
  const QByteArray config = (home.path() + "/config").toUtf8();
  const QByteArray data = (home.path() + "/data").toUtf8();
  setenv("XDG_CONFIG_HOME", config.constData(), 1);
  setenv("XDG_DATA_HOME", data.constData(), 1);
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QString& failure = velkor::testing::NullSinkFailure();
  if (noServer) {
    setenv("PULSE_SERVER", (runtime.path() + "/no-server-here").toUtf8().constData(), 1);
  } else {
    failure = velkor::testing::StartServer(runtime.path());
    setenv("PULSE_SERVER", ("unix:" + runtime.path() + "/pulse/native").toUtf8().constData(), 1);
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    velkor::ui::InstallJapaneseTranslations(app);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (!noServer) velkor::testing::StopServer(runtime.path());
  return result;
}
