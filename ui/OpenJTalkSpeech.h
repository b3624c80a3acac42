// Reading aloud with Open JTalk, which is a command-line program: the text is
// synthesised into temporary WAV files by a separate process and played with
// Qt Multimedia when the process ends, so the UI thread never waits. The
// engine reads one short line, so a long text is read in pieces, the next
// one synthesised while the current one plays.
//
// A machine without the engine, its dictionary or its voice builds and runs
// the program, only without speech. Use from the UI thread only.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>

#include "input/Speech.h"

class QProcess;
class QSoundEffect;

namespace velkor::ui {

class OpenJTalkSpeech : public QObject, public ISpeech {
  Q_OBJECT

 public:
  static constexpr const char* kDictionary = "/var/lib/mecab/dic/open-jtalk/naist-jdic";
  static constexpr const char* kVoice = "/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice";
  // The engine reads one line of at most 1023 bytes: Synthesize cuts longer
  // text (after its last "。" within the limit when it has one), Speak reads
  // it in pieces of SplitForSpeech.
  static constexpr int kMaxUtf8Bytes = 1000;

  // `engine` is the open_jtalk program, `dictionary` its dictionary folder,
  // `voice` an .htsvoice file.
  explicit OpenJTalkSpeech(QString engine = DefaultEngine(), QString dictionary = QString::fromLatin1(kDictionary),
                           QString voice = QString::fromLatin1(kVoice), QObject* parent = nullptr);
  ~OpenJTalkSpeech() override;
  OpenJTalkSpeech(const OpenJTalkSpeech&) = delete;
  OpenJTalkSpeech& operator=(const OpenJTalkSpeech&) = delete;

  static QString DefaultEngine();

  // The engine, its dictionary and its voice are all there.
  bool Available() const;

  // ISpeech. Speak reads the whole text, piece by piece, and Speaking() is
  // true until the last piece has played or Stop() is called. Speak is false
  // at once, playing nothing, when the engine is not Available(), when Qt
  // finds no audio output or when the text has nothing to read.
  bool Speak(const std::string& text, int speedPercent, int volumePercent) override;
  void Stop() override;
  bool Speaking() const override { return speaking_; }
  // The part that is missing (engine, dictionary, voice), else no output.
  SpeechFailure Failure() const override;

  // Synthesises `cp932Text` into `wavPath` (and the engine's trace into
  // `tracePath` when given), waiting for the engine. False when the engine is
  // not Available() or fails.
  bool Synthesize(const std::string& cp932Text, int speedPercent, int volumePercent, const QString& wavPath,
                  const QString& tracePath = {});

  // What the engine is given: one line of UTF-8, line breaks read as pauses
  // ("、"), cut to kMaxUtf8Bytes. Empty when there is nothing to read.
  static QByteArray EngineText(const std::string& cp932Text);
  // -r: the speed factor (0 or less means normal).
  static double SpeedFactor(int speedPercent);
  // -g: the gain in dB, 20·log10(p/100) (0 or less means normal).
  static double GainDb(int volumePercent);

 private:
  QStringList Arguments(int speedPercent, int volumePercent, const QString& input, const QString& wav,
                        const QString& trace) const;
  // One line for the engine: line breaks read as pauses. Empty when there is
  // nothing to read.
  static QByteArray EngineLine(const QString& text);
  // Starts the engine on the next piece unless it is busy or a WAV already
  // waits to be played. False when its input cannot be written.
  bool SynthesiseNext();
  void OnSynthesised(bool ok);
  void PlayNext();  // the next waiting WAV, or silence after the last piece
  void OnPlayingChanged();

  QString engine_, dictionary_, voice_;
  int speed_ = 0, volume_ = 0;  // the settings of the text being read
  std::unique_ptr<QTemporaryDir> work_;
  std::unique_ptr<QProcess> process_;
  std::unique_ptr<QSoundEffect> player_;
  std::deque<QByteArray> pending_;  // engine lines not yet synthesised
  QString input_, synthesising_;    // the running engine's input and WAV files
  std::deque<QString> ready_;       // synthesised WAV files waiting to be played
  QString playing_;                 // the WAV file being played
  int piece_ = 0;                   // numbers the files: QSoundEffect reloads only a new source
  bool speaking_ = false;
  bool started_ = false;  // the player has begun to play the current WAV
};

}  // namespace velkor::ui
