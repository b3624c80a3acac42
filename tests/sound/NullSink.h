// Hearing what the program plays: the null sink's monitor recorded with
// parec as raw 16 kHz mono samples, each sample placed in time on one clock
// with the program's own events, and the recording measured in 50 ms windows.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace velkor::testing {

// Why the null-sink server is not running; empty when it runs.
QString& NullSinkFailure();

// One clock for the recording and the test's events, in milliseconds.
inline QElapsedTimer& TestClock() {
  static QElapsedTimer clock = [] {
    QElapsedTimer c;
    c.start();
    return c;
  }();
  return clock;
}
inline double NowMs() { return static_cast<double>(TestClock().nsecsElapsed()) / 1e6; }

// Runs the event loop until `done` or `timeoutMs` passed; true when done.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const double end = NowMs() + timeoutMs;
  while (!done() && NowMs() < end) QTest::qWait(10);
  return done();
}

class Recorder {
 public:
  static constexpr int kRate = 16000;
  static constexpr int kWindowMs = 50;
  // A window is sound when its RMS (of full scale 1.0) is above this;
  // the null sink's silence is exactly 0.
  static constexpr double kHeard = 0.005;

  // Starts recording; false when parec cannot record the monitor.
  bool Start() {
    process_ = std::make_unique<QProcess>();
    QObject::connect(process_.get(), &QProcess::readyReadStandardOutput, [this] { Read(); });
    process_->start(
        QStandardPaths::findExecutable(QStringLiteral("parec")),
        {QStringLiteral("-d"), QStringLiteral("nul.monitor"), QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
         QStringLiteral("--rate=16000"), QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
    if (!process_->waitForStarted(5000)) return false;
    // The monitor streams silence at once: wait for a little of it.
    return WaitFor([this] { return samples_.size() >= kRate / 5; }, 5000);
  }
  void Stop() {
    if (!process_) return;
    Read();
    process_->kill();
    process_->waitForFinished(2000);
    process_.reset();
  }
  ~Recorder() { Stop(); }

  // The RMS of each 50 ms window, and when each window began.
  std::vector<double> Windows() const {
    const std::size_t per = kRate * kWindowMs / 1000;
    std::vector<double> out;
    for (std::size_t at = 0; at + per <= samples_.size(); at += per) {
      double sum = 0;
      for (std::size_t i = at; i < at + per; ++i) sum += samples_[i] * samples_[i];
      out.push_back(std::sqrt(sum / per));
    }
    return out;
  }
  double WindowStartMs(std::size_t window) const { return start_ + window * static_cast<double>(kWindowMs); }
  // The first window from `fromMs` on that is sound (-1: none).
  long FirstHeard(double fromMs = 0) const {
    const auto w = Windows();
    for (std::size_t i = 0; i < w.size(); ++i)
      if (WindowStartMs(i) >= fromMs && w[i] > kHeard) return static_cast<long>(i);
    return -1;
  }
  // The last window that is sound (-1: none).
  long LastHeard() const {
    const auto w = Windows();
    for (std::size_t i = w.size(); i-- > 0;)
      if (w[i] > kHeard) return static_cast<long>(i);
    return -1;
  }
  // Milliseconds from the first sound to the end of the last between two
  // times (a voice pauses between words).
  double SpanMs(double fromMs, double toMs) const {
    const auto w = Windows();
    double first = -1, last = -1;
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (WindowStartMs(i) < fromMs || WindowStartMs(i) >= toMs || w[i] <= kHeard) continue;
      if (first < 0) first = WindowStartMs(i);
      last = WindowStartMs(i) + kWindowMs;
    }
    return first < 0 ? 0 : last - first;
  }
  // Milliseconds of sound between two times.
  double HeardMs(double fromMs, double toMs) const {
    const auto w = Windows();
    double heard = 0;
    for (std::size_t i = 0; i < w.size(); ++i)
      if (WindowStartMs(i) >= fromMs && WindowStartMs(i) < toMs && w[i] > kHeard) heard += kWindowMs;
    return heard;
  }
  // The RMS over the sound windows between two times.
  double HeardRms(double fromMs, double toMs) const {
    const auto w = Windows();
    double sum = 0;
    int n = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (WindowStartMs(i) >= fromMs && WindowStartMs(i) < toMs && w[i] > kHeard) {
        sum += w[i] * w[i];
        ++n;
      }
    }
    return n ? std::sqrt(sum / n) : 0.0;
  }
  // Strikes: windows whose RMS more than doubles that of two windows
  // before (a strike may begin inside a window) and is well above silence,
  // at least 200 ms after the last strike.
  std::vector<double> StrikesMs(double fromMs = 0) const {
    const auto w = Windows();
    std::vector<double> out;
    for (std::size_t i = 2; i < w.size(); ++i) {
      if (WindowStartMs(i) < fromMs || w[i] < 0.02 || w[i] < 2.0 * w[i - 2]) continue;
      if (!out.empty() && WindowStartMs(i) - out.back() < 200) continue;
      out.push_back(WindowStartMs(i));
    }
    return out;
  }
  std::size_t SampleCount() const { return samples_.size(); }

 private:
  void Read() {
    if (!process_) return;
    pending_ += process_->readAllStandardOutput();
    const qsizetype whole = pending_.size() / 2 * 2;
    for (qsizetype i = 0; i < whole; i += 2) {
      std::int16_t v;
      std::memcpy(&v, pending_.constData() + i, 2);
      samples_.push_back(v / 32768.0);
    }
    pending_.remove(0, whole);
    // The stream began no later than now less what it holds: the earliest
    // such bound is the truest (least delayed) start.
    start_ = std::min(start_, NowMs() - samples_.size() * 1000.0 / kRate);
  }

  std::unique_ptr<QProcess> process_;
  QByteArray pending_;
  std::vector<double> samples_;
  double start_ = std::numeric_limits<double>::max();
};

}  // namespace velkor::testing
