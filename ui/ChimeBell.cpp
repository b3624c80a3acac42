#include "ui/ChimeBell.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <algorithm>

namespace velkor::ui {

ChimeBell::ChimeBell(QString file, QObject* parent) : QObject(parent), file_(std::move(file)) {}

ChimeBell::~ChimeBell() { Stop(); }

bool ChimeBell::Ring(int times, int volumePercent) {
  Stop();
  if (file_.isEmpty() || !QFileInfo(file_).isFile() || QMediaDevices::audioOutputs().isEmpty()) return false;
  // A fresh player each time: one that has played to its end may end the
  // next ring at once.
  if (player_) player_.release()->deleteLater();
  player_ = std::make_unique<QSoundEffect>();
  QSoundEffect* player = player_.get();
  connect(player, &QSoundEffect::playingChanged, this, &ChimeBell::OnPlayingChanged);
  connect(player, &QSoundEffect::statusChanged, this, [this, player] {
    if (ringing_ && player->status() == QSoundEffect::Error) {
      Stop();
      if (finished_) finished_();
    }
  });
  player->setSource(QUrl::fromLocalFile(file_));
  player->setLoopCount(std::max(1, times));
  player->setVolume(std::clamp(volumePercent, 0, 100) / 100.0f);
  ringing_ = true;
  started_ = false;
  player->play();
  return true;
}

void ChimeBell::OnPlayingChanged() {
  if (!ringing_ || !player_) return;
  if (player_->isPlaying()) {
    started_ = true;
  } else if (started_) {
    ringing_ = false;
    started_ = false;
    if (finished_) finished_();
  }
}

void ChimeBell::Stop() {
  // Silent first: the player's signals below must not report an end.
  ringing_ = false;
  started_ = false;
  if (player_) {
    player_->disconnect(this);
    player_->stop();
  }
}

}  // namespace velkor::ui
