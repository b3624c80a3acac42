#include "ui/SessionEnd.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include "ui/MainWindow.h"

namespace velkor::ui {

namespace {

// The signal handler may only write a byte; the event loop does the rest.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

constexpr int kSessionSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

}  // namespace

SessionEnd::SessionEnd(MainWindow& window) : window_(window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0) {
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { SignalArrived(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSessionSignals) ::sigaction(signal, &action, nullptr);
  }
  // The session manager asks to save before it ends the session; the user
  // may still cancel the logout, so the program goes on as it was.
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { window_.Form().SessionMayEnd(); });
}

SessionEnd::~SessionEnd() {
  for (const int signal : kSessionSignals) ::signal(signal, SIG_DFL);
  if (signalPipe[0] >= 0) {
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
  }
}

void SessionEnd::SignalArrived() {
  char byte = 0;
  [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
  window_.EndSession();
  ended_ = true;
  // Leaves every event loop, a message box's at start included; quit()
  // would do nothing before the main loop runs, and the program would go on
  // as if it had never been asked to end.
  QCoreApplication::exit(0);
}

}  // namespace velkor::ui
