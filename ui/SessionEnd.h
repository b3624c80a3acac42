// The end of the desktop session: SIGTERM and SIGHUP (logout, shutdown),
// SIGINT and SIGQUIT (Ctrl+C and Ctrl+\ in the terminal the program was
// started from) reach the window's logic as an end without a question,
// instead of ending the program at once; the session manager's request to
// save keeps the text and the settings without ending anything, since the
// logout may still be cancelled.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace velkor::ui {

class MainWindow;

class SessionEnd : public QObject {
  Q_OBJECT
 public:
  // Catches the signals for `window` as long as this object lives.
  explicit SessionEnd(MainWindow& window);
  ~SessionEnd() override;

  // A signal ended the session: every event loop running then was left
  // (a box open at start is closed), and the program must end instead of
  // entering its main loop.
  bool Ended() const { return ended_; }

 private:
  void SignalArrived();

  MainWindow& window_;
  QSocketNotifier* notifier_ = nullptr;
  bool ended_ = false;
};

}  // namespace velkor::ui
