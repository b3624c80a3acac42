// The call bell's chime played with Qt Multimedia: the WAV file made for the
// project at build time (tools/gen_chime), played a number of times over at a
// volume of its own. Without a sound output Qt's player claims to play and
// never ends, so Ring checks for an output first. Use from the UI thread only.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "input/Bell.h"

class QSoundEffect;

namespace velkor::ui {

class ChimeBell : public QObject, public IBell {
  Q_OBJECT

 public:
  // `file` is the chime's WAV file ("" when none was found).
  explicit ChimeBell(QString file, QObject* parent = nullptr);
  ~ChimeBell() override;
  ChimeBell(const ChimeBell&) = delete;
  ChimeBell& operator=(const ChimeBell&) = delete;

  // IBell.
  bool Ring(int times, int volumePercent) override;
  void Stop() override;
  bool Ringing() const override { return ringing_; }
  void OnFinished(std::function<void()> handler) override { finished_ = std::move(handler); }

 private:
  void OnPlayingChanged();

  QString file_;
  std::unique_ptr<QSoundEffect> player_;
  std::function<void()> finished_;
  bool ringing_ = false;
  bool started_ = false;  // the player has begun to play
};

}  // namespace velkor::ui
