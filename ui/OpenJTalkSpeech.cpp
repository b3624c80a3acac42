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

#include "document/Cp932.h"

namespace velkor::ui {

namespace {

constexpr int kSynthesisTimeoutMs = 60000;

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

QByteArray OpenJTalkSpeech::EngineText(const std::string& cp932Text) {
  // The engine reads only the first line: line breaks become pauses.
  QString text;
  bool pause = false;
  for (const QChar c : QString::fromStdU16String(cp932::Decode(cp932Text))) {
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

  QByteArray utf8 = text.toUtf8();
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

QStringList OpenJTalkSpeech::Arguments(int speedPercent, int volumePercent, const QString& input,
                                       const QString& wav, const QString& trace) const {
  QStringList arguments{QStringLiteral("-x"), dictionary_, QStringLiteral("-m"), voice_,
                        QStringLiteral("-r"), QString::number(SpeedFactor(speedPercent), 'f', 3),
                        QStringLiteral("-g"), QString::number(GainDb(volumePercent), 'f', 3),
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
  const QByteArray engineText = EngineText(text);
  if (engineText.isEmpty()) return false;
  if (!work_) {
    work_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velkor-speech-XXXXXX"));
    if (!work_->isValid()) {
      work_.reset();
      return false;
    }
  }
  ++utterance_;
  input_ = work_->filePath(QStringLiteral("speech-%1.txt").arg(utterance_));
  wav_ = work_->filePath(QStringLiteral("speech-%1.wav").arg(utterance_));
  QFile input(input_);
  if (!input.open(QIODevice::WriteOnly) || input.write(engineText + '\n') != engineText.size() + 1) {
    Finish();
    return false;
  }
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
  speaking_ = true;
  process_->start(engine_, Arguments(speedPercent, volumePercent, input_, wav_, {}));
  return speaking_;
}

void OpenJTalkSpeech::OnSynthesised(bool ok) {
  if (!process_) return;
  // The process object may be inside its own signal: delete it later.
  process_->disconnect(this);
  process_.release()->deleteLater();
  if (!ok || QFileInfo(wav_).size() <= 44) {
    Finish();
    return;
  }
  if (!player_) {
    player_ = std::make_unique<QSoundEffect>();
    connect(player_.get(), &QSoundEffect::playingChanged, this, &OpenJTalkSpeech::OnPlayingChanged);
    connect(player_.get(), &QSoundEffect::statusChanged, this, [this] {
      if (speaking_ && player_->status() == QSoundEffect::Error) Finish();
    });
  }
  started_ = false;
  player_->setSource(QUrl::fromLocalFile(wav_));
  player_->play();
}

void OpenJTalkSpeech::OnPlayingChanged() {
  if (!speaking_ || !player_) return;
  if (player_->isPlaying()) {
    started_ = true;
  } else if (started_) {
    Finish();
  }
}

void OpenJTalkSpeech::Stop() {
  if (process_) {
    process_->disconnect(this);
    process_->kill();
    process_->waitForFinished(1000);
    process_.reset();
  }
  if (player_ && player_->isPlaying()) player_->stop();
  Finish();
}

void OpenJTalkSpeech::Finish() {
  speaking_ = false;
  started_ = false;
  if (player_) player_->setSource(QUrl());  // lets go of the WAV file
  if (!input_.isEmpty()) QFile::remove(input_);
  if (!wav_.isEmpty()) QFile::remove(wav_);
  input_.clear();
  wav_.clear();
}

}  // namespace velkor::ui
