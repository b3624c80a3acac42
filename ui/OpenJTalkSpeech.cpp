#include "ui/OpenJTalkSpeech.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>
#include <cmath>
#include <utility>

#include "core/Cp932.h"
#include "input/SpeechText.h"

namespace velkor::ui {

namespace {

constexpr int kSynthesisTimeoutMs = 60000;
constexpr qint64 kWavHeaderBytes = 44;

}  // namespace

OpenJTalkSpeech::OpenJTalkSpeech(QString engine, QString dictionary, QString voice, QObject* parent)
    : QObject(parent), engine_(std::move(engine)), dictionary_(std::move(dictionary)), voice_(std::move(voice)) {}

OpenJTalkSpeech::~OpenJTalkSpeech() { Stop(); }

QString OpenJTalkSpeech::DefaultEngine() { return QStandardPaths::findExecutable(QStringLiteral("open_jtalk")); }

bool OpenJTalkSpeech::Available() const {
  const QFileInfo engine(engine_);
  return !engine_.isEmpty() && engine.isFile() && engine.isExecutable() && QFileInfo(dictionary_).isDir() &&
         QFileInfo(voice_).isFile();
}

SpeechFailure OpenJTalkSpeech::Failure() const {
  const QFileInfo engine(engine_);
  if (engine_.isEmpty() || !engine.isFile() || !engine.isExecutable()) return SpeechFailure::NoEngine;
  if (!QFileInfo(dictionary_).isDir()) return SpeechFailure::NoDictionary;
  if (!QFileInfo(voice_).isFile()) return SpeechFailure::NoVoice;
  return SpeechFailure::NoOutput;
}

QByteArray OpenJTalkSpeech::EngineLine(const QString& source) {
  // The engine reads only the first line: line breaks become pauses.
  QString text;
  bool pause = false;
  for (const QChar c : source) {
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')) {
      pause = !text.isEmpty();
      continue;
    }
    if (pause && !c.isSpace()) {
      const QChar last = text.back();
      if (last != QChar(u'、') && last != QChar(u'。')) text += QChar(u'、');
      pause = false;
    }
    text += c;
  }
  text = text.trimmed();
  bool readable = false;
  for (const QChar c : text) readable = readable || c.isLetterOrNumber();
  if (!readable) return {};
  return text.toUtf8();
}

QByteArray OpenJTalkSpeech::EngineText(const std::string& cp932Text) {
  QByteArray utf8 = EngineLine(QString::fromStdU16String(cp932::Decode(cp932Text)));
  if (utf8.size() <= kMaxUtf8Bytes) return utf8;
  int cut = kMaxUtf8Bytes;
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;  // a character boundary
  utf8.truncate(cut);
  const QByteArray fullStop = QStringLiteral("。").toUtf8();
  const qsizetype sentenceEnd = utf8.lastIndexOf(fullStop);
  if (sentenceEnd > 0) utf8.truncate(sentenceEnd + fullStop.size());
  return utf8;
}

double OpenJTalkSpeech::SpeedFactor(int speedPercent) { return speedPercent <= 0 ? 1.0 : speedPercent / 100.0; }

double OpenJTalkSpeech::GainDb(int volumePercent) {
  return volumePercent <= 0 ? 0.0 : 20.0 * std::log10(volumePercent / 100.0);
}

QStringList OpenJTalkSpeech::Arguments(int speedPercent, int volumePercent, const QString& input, const QString& wav,
                                       const QString& trace) const {
  QStringList arguments{QStringLiteral("-x"),  dictionary_,
                        QStringLiteral("-m"),  voice_,
                        QStringLiteral("-r"),  QString::number(SpeedFactor(speedPercent), 'f', 3),
                        QStringLiteral("-g"),  QString::number(GainDb(volumePercent), 'f', 3),
                        QStringLiteral("-ow"), wav};
  if (!trace.isEmpty()) arguments << QStringLiteral("-ot") << trace;
  arguments << input;
  return arguments;
}

bool OpenJTalkSpeech::Synthesize(const std::string& cp932Text, int speedPercent, int volumePercent,
                                 const QString& wavPath, const QString& tracePath) {
  if (!Available()) return false;
  const QByteArray text = EngineText(cp932Text);
  if (text.isEmpty()) return false;
  QTemporaryFile input(QDir::tempPath() + QStringLiteral("/velkor-speech-XXXXXX.txt"));
  if (!input.open() || input.write(text + '\n') != text.size() + 1 || !input.flush()) return false;
  input.close();
  QFile::remove(wavPath);

  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(engine_, Arguments(speedPercent, volumePercent, input.fileName(), wavPath, tracePath));
  if (!process.waitForFinished(kSynthesisTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && QFileInfo(wavPath).size() > 44;
}

bool OpenJTalkSpeech::Speak(const std::string& text, int speedPercent, int volumePercent) {
  Stop();
  // Without an audio output Qt's player claims to play and never ends.
  if (!Available() || QMediaDevices::audioOutputs().isEmpty()) return false;
  for (const std::u16string& piece : SplitForSpeech(cp932::Decode(text), kMaxUtf8Bytes)) {
    QByteArray line = EngineLine(QString::fromStdU16String(piece));
    if (!line.isEmpty()) pending_.push_back(std::move(line));
  }
  if (pending_.empty()) return false;
  if (!work_) {
    work_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velkor-speech-XXXXXX"));
    if (!work_->isValid()) {
      work_.reset();
      pending_.clear();
      return false;
    }
  }
  speed_ = speedPercent;
  volume_ = volumePercent;
  speaking_ = true;
  if (!SynthesiseNext()) Stop();
  return speaking_;
}

bool OpenJTalkSpeech::SynthesiseNext() {
  if (process_ || !ready_.empty() || pending_.empty()) return true;
  ++piece_;
  input_ = work_->filePath(QStringLiteral("speech-%1.txt").arg(piece_));
  synthesising_ = work_->filePath(QStringLiteral("speech-%1.wav").arg(piece_));
  const QByteArray line = pending_.front() + '\n';
  pending_.pop_front();
  QFile input(input_);
  if (!input.open(QIODevice::WriteOnly) || input.write(line) != line.size()) return false;
  input.close();

  process_ = std::make_unique<QProcess>();
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_->setStandardOutputFile(QProcess::nullDevice());
  connect(process_.get(), &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
    OnSynthesised(status == QProcess::NormalExit && exitCode == 0);
  });
  connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) OnSynthesised(false);
  });
  process_->start(engine_, Arguments(speed_, volume_, input_, synthesising_, {}));
  return true;
}

void OpenJTalkSpeech::OnSynthesised(bool ok) {
  if (!process_) return;
  // The process object may be inside its own signal: delete it later.
  process_->disconnect(this);
  process_.release()->deleteLater();
  QFile::remove(input_);
  input_.clear();
  const QString wav = std::exchange(synthesising_, QString());
  if (!ok || QFileInfo(wav).size() <= kWavHeaderBytes) {
    QFile::remove(wav);
    Stop();
    return;
  }
  ready_.push_back(wav);
  if (playing_.isEmpty()) PlayNext();
}

void OpenJTalkSpeech::PlayNext() {
  if (ready_.empty()) {
    if (!process_ && pending_.empty()) Stop();  // the last piece has played
    return;
  }
  // A fresh player for each piece: one that has played to its end may end
  // the next source at once.
  if (player_) {
    // The old player may be inside its own signal: delete it later.
    player_->disconnect(this);
    player_->stop();
    player_.release()->deleteLater();
  }
  player_ = std::make_unique<QSoundEffect>();
  QSoundEffect* player = player_.get();
  connect(player, &QSoundEffect::playingChanged, this, &OpenJTalkSpeech::OnPlayingChanged);
  connect(player, &QSoundEffect::statusChanged, this, [this, player] {
    if (speaking_ && player->status() == QSoundEffect::Error) Stop();
  });
  playing_ = ready_.front();
  ready_.pop_front();
  started_ = false;
  player_->setSource(QUrl::fromLocalFile(playing_));
  player_->play();
  // The next piece is synthesised while this one plays.
  if (!SynthesiseNext()) Stop();
}

void OpenJTalkSpeech::OnPlayingChanged() {
  if (!speaking_ || !player_ || playing_.isEmpty()) return;
  if (player_->isPlaying()) {
    started_ = true;
  } else if (started_) {
    started_ = false;
    QFile::remove(std::exchange(playing_, QString()));
    PlayNext();
  }
}

void OpenJTalkSpeech::Stop() {
  // Silent first: the player's signals below must not start the next piece.
  speaking_ = false;
  started_ = false;
  pending_.clear();
  if (process_) {
    process_->disconnect(this);
    process_->kill();
    process_->waitForFinished(1000);
    process_.reset();
  }
  if (player_ && player_->isPlaying()) player_->stop();
  for (const QString& path : {input_, synthesising_, playing_}) {
    if (!path.isEmpty()) QFile::remove(path);
  }
  for (const QString& path : ready_) QFile::remove(path);
  ready_.clear();
  input_.clear();
  synthesising_.clear();
  playing_.clear();
}

}  // namespace velkor::ui
