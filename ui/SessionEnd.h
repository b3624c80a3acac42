// The end of the desktop session: SIGTERM and SIGHUP (logout, shutdown) and
// the session manager's request to save reach the window's logic as an end
// without a question, instead of ending the program at once.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace velkor::ui {

class MainWindow;

class SessionEnd : public QObject {
  Q_OBJECT
 public:
  // Catches SIGTERM and SIGHUP for `window` as long as this object lives.
  explicit SessionEnd(MainWindow& window);
  ~SessionEnd() override;

 private:
  void SignalArrived();

  MainWindow& window_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velkor::ui
