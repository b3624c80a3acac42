// Reading aloud with the real Open JTalk: what it says (the reading in its
// trace), how long and how loud, and that nothing pretends to speak where
// nothing can be heard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAudioDevice>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "core/Cp932.h"
#include "ui/Dialogs.h"
#include "ui/OpenJTalkSpeech.h"

namespace velkor::ui {
namespace {

// A 16-bit PCM WAV file as the engine writes it.
struct Wav {
  int sampleRate = 0;
  int channels = 0;
  std::size_t frames = 0;
  int peak = 0;  // the largest sample magnitude
  double Seconds() const { return sampleRate > 0 ? static_cast<double>(frames) / sampleRate : 0.0; }
};

std::uint32_t Le32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<std::uint32_t>(u[3]) << 24);
}
std::uint16_t Le16(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint16_t>(u[0] | (u[1] << 8));
}

std::optional<Wav> ReadWav(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 12 || std::memcmp(bytes.constData(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.constData() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  Wav wav;
  int bits = 0;
  for (qsizetype at = 12; at + 8 <= bytes.size();) {
    const char* chunk = bytes.constData() + at;
    const std::uint32_t size = Le32(chunk + 4);
    const qsizetype body = at + 8;
    if (body + static_cast<qsizetype>(size) > bytes.size()) return std::nullopt;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      if (Le16(chunk + 8) != 1) return std::nullopt;  // PCM only
      wav.channels = Le16(chunk + 10);
      wav.sampleRate = static_cast<int>(Le32(chunk + 12));
      bits = Le16(chunk + 22);
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (bits != 16 || wav.channels < 1) return std::nullopt;
      wav.frames = size / 2 / static_cast<std::size_t>(wav.channels);
      for (std::uint32_t i = 0; i + 1 < size; i += 2) {
        const int sample = static_cast<std::int16_t>(Le16(chunk + 8 + i));
        wav.peak = std::max(wav.peak, std::abs(sample));
      }
      return wav;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

// The katakana reading in the engine's trace: the pronunciation field of
// each word of the text analysis, accent marks removed.
QString TraceReading(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
  QString reading;
  bool inAnalysis = false;
  for (const QString& line : lines) {
    if (line.startsWith(QLatin1Char('['))) {
      inAnalysis = line == QStringLiteral("[Text analysis result]");
      continue;
    }
    const QStringList fields = line.split(QLatin1Char(','));
    if (inAnalysis && fields.size() > 9) reading += fields[9];
  }
  reading.remove(QChar(u'’'));
  reading.remove(QLatin1Char('\''));
  return reading;
}

using cp932::Sj;

const char* const kSentence = "看護師さんを呼んでください";

class OpenJTalkSpeechTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // scripts/setup.sh installs the engine, its dictionary and its voice:
    // without them the test fails by their names.
    if (!speech_.Available()) {
      FAIL() << "Open JTalk (packages open-jtalk, open-jtalk-mecab-naist-jdic, hts-voice-nitech-jp-atr503-m001) "
                "is not installed";
    }
  }
  QString Path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

  // Synthesises `text` (UTF-8) into a file named after the settings.
  Wav Synth(const char* text, int speed, int volume, const QString& trace = {}) {
    const QString wavPath = Path("out.wav") + QString::number(speed) + QLatin1Char('-') + QString::number(volume);
    EXPECT_TRUE(speech_.Synthesize(Sj(text), speed, volume, wavPath, trace));
    const std::optional<Wav> wav = ReadWav(wavPath);
    EXPECT_TRUE(wav.has_value()) << "no 16-bit PCM WAV in " << wavPath.toStdString();
    return wav.value_or(Wav{});
  }

  QTemporaryDir dir_;
  OpenJTalkSpeech speech_;
};

TEST_F(OpenJTalkSpeechTest, SaysTheSentenceAudiblyWithItsReading) {
  const Wav wav = Synth(kSentence, 100, 100, Path("trace.txt"));
  EXPECT_GE(wav.sampleRate, 16000);
  EXPECT_GT(wav.Seconds(), 1.5);
  EXPECT_LT(wav.Seconds(), 4.0);
  EXPECT_GT(wav.peak, 2000) << "the WAV is (nearly) silent";
  EXPECT_EQ(TraceReading(Path("trace.txt")), QStringLiteral("カンゴシサンヲヨンデクダサイ"));
  // Percent 0 is the normal setting, not silence or a stop.
  const Wav normal = Synth(kSentence, 0, 0);
  EXPECT_EQ(normal.frames, wav.frames);
  EXPECT_EQ(normal.peak, wav.peak);
}

TEST_F(OpenJTalkSpeechTest, SpeedAndVolumeChangeLengthAndLoudness) {
  const Wav normal = Synth(kSentence, 100, 100);
  const Wav fast = Synth(kSentence, 150, 100);
  const Wav slow = Synth(kSentence, 50, 100);
  const Wav quiet = Synth(kSentence, 100, 25);
  EXPECT_LT(fast.Seconds(), normal.Seconds() * 0.8);
  EXPECT_GT(slow.Seconds(), normal.Seconds() * 1.5);
  // 25 % is -12 dB: about a quarter of the amplitude.
  EXPECT_LT(quiet.peak, normal.peak / 2);
  EXPECT_GT(quiet.peak, normal.peak / 8);
}

TEST_F(OpenJTalkSpeechTest, ReadsEveryLineNotOnlyTheFirst) {
  // The engine itself stops at the first line break.
  Synth("看護師さん\r\nを呼んで\r\n\r\nください", 100, 100, Path("trace.txt"));
  EXPECT_EQ(TraceReading(Path("trace.txt")).remove(QChar(u'、')), QStringLiteral("カンゴシサンヲヨンデクダサイ"));
}

TEST_F(OpenJTalkSpeechTest, LongTextIsCutAtASentenceWithinTheEngineLimit) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += Sj("今日は晴れです。");
  const QByteArray engineText = OpenJTalkSpeech::EngineText(text);
  EXPECT_LE(engineText.size(), OpenJTalkSpeech::kMaxUtf8Bytes);
  EXPECT_TRUE(engineText.endsWith(QStringLiteral("。").toUtf8()));
  EXPECT_EQ(QString::fromUtf8(engineText).toUtf8(), engineText) << "cut inside a character";
  EXPECT_TRUE(speech_.Synthesize(text, 300, 100, Path("long.wav")));
}

TEST_F(OpenJTalkSpeechTest, SpeaksALongTextWholeInPiecesAndLeavesNoFiles) {
  if (QMediaDevices::audioOutputs().isEmpty()) GTEST_SKIP() << "no audio output";
  // The engine's working files go under dir_.
  const QByteArray tmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", dir_.path().toLocal8Bit());
  const auto restore = qScopeGuard([&] { tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp); });
  const auto workFiles = [&] {
    QStringList files;
    QDirIterator it(dir_.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
  };
  // Two sentences more than the engine's limit apart: two pieces to read.
  const std::string sentence = Sj(kSentence) + Sj("。");
  const std::string text = sentence + std::string(1000, ' ') + sentence;
  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(speech_.Speak(text, 200, 100));
  // Watched while it speaks: the WAV files come and go, and it still speaks
  // when the first one has played and is gone.
  QStringList wavs;
  bool speaksAfterTheFirst = false;
  while (speech_.Speaking() && timer.elapsed() < 30000) {
    for (const QString& file : workFiles()) {
      if (file.endsWith(QStringLiteral(".wav")) && !wavs.contains(file)) wavs << file;
    }
    speaksAfterTheFirst = speaksAfterTheFirst || (!wavs.isEmpty() && !QFile::exists(wavs.first()));
    QTest::qWait(10);
  }
  EXPECT_FALSE(speech_.Speaking());
  EXPECT_EQ(wavs.size(), 2);
  EXPECT_TRUE(speaksAfterTheFirst) << "silent after the first piece";
  EXPECT_EQ(workFiles(), QStringList());

  // Stopped in the first piece, it is silent at once and stays silent.
  ASSERT_TRUE(speech_.Speak(text, 200, 100));
  QTest::qWait(300);
  EXPECT_TRUE(speech_.Speaking());
  speech_.Stop();
  EXPECT_FALSE(speech_.Speaking());
  EXPECT_EQ(workFiles(), QStringList());
  QTest::qWait(2000);
  EXPECT_FALSE(speech_.Speaking());
}

TEST_F(OpenJTalkSpeechTest, AFailingEngineIsNoSpeech) {
  OpenJTalkSpeech failing(QStringLiteral("/bin/false"));
  ASSERT_TRUE(failing.Available());
  EXPECT_FALSE(failing.Synthesize(Sj(kSentence), 100, 100, Path("failed.wav")));
  if (failing.Speak(Sj(kSentence), 100, 100)) {
    QTRY_VERIFY_WITH_TIMEOUT(!failing.Speaking(), 5000);
  }
  EXPECT_FALSE(failing.Speaking());
}

TEST_F(OpenJTalkSpeechTest, SpeaksOnlyWhereItCanBeHeard) {
  if (QMediaDevices::audioOutputs().isEmpty()) {
    // Qt's player would claim to play here and never finish.
    EXPECT_FALSE(speech_.Speak(Sj(kSentence), 100, 100));
    EXPECT_FALSE(speech_.Speaking());
    return;
  }
  ASSERT_TRUE(speech_.Speak(Sj(kSentence), 100, 100));
  EXPECT_TRUE(speech_.Speaking());
  QTest::qWait(300);
  EXPECT_TRUE(speech_.Speaking());
  speech_.Stop();
  EXPECT_FALSE(speech_.Speaking());
  // Left alone, it plays to the end (about 2.5 s) and is silent again.
  ASSERT_TRUE(speech_.Speak(Sj(kSentence), 200, 100));
  QTRY_VERIFY_WITH_TIMEOUT(!speech_.Speaking(), 15000);
  // Nothing to read is not speech.
  EXPECT_FALSE(speech_.Speak(Sj(" \r\n。"), 100, 100));
  EXPECT_FALSE(speech_.Speaking());
}

TEST(OpenJTalkSpeechMissing, AnyMissingPartMeansNoSpeech) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString wav = dir.filePath(QStringLiteral("out.wav"));
  const std::string text = Sj(kSentence);
  const QString engine = OpenJTalkSpeech::DefaultEngine();
  const QString absent = dir.filePath(QStringLiteral("absent"));
  std::vector<std::unique_ptr<OpenJTalkSpeech>> speeches;
  speeches.push_back(std::make_unique<OpenJTalkSpeech>(absent));
  speeches.push_back(std::make_unique<OpenJTalkSpeech>(QString()));
  speeches.push_back(std::make_unique<OpenJTalkSpeech>(engine, absent));
  speeches.push_back(
      std::make_unique<OpenJTalkSpeech>(engine, QString::fromLatin1(OpenJTalkSpeech::kDictionary), absent));
  for (const auto& speech : speeches) {
    EXPECT_FALSE(speech->Available());
    EXPECT_FALSE(speech->Synthesize(text, 100, 100, wav));
    EXPECT_FALSE(QFile::exists(wav));
    EXPECT_FALSE(speech->Speak(text, 100, 100));
    EXPECT_FALSE(speech->Speaking());
  }
}

// Which part is missing is told apart, so that 話~ names the package to
// install; with every part there, a failure is one of the output.
TEST(OpenJTalkSpeechMissing, TheMissingPartIsNamed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString absent = dir.filePath(QStringLiteral("absent"));
  const QString engine = OpenJTalkSpeech::DefaultEngine();
  const QString dictionary = QString::fromLatin1(OpenJTalkSpeech::kDictionary);
  const QString voice = QString::fromLatin1(OpenJTalkSpeech::kVoice);
  const struct {
    QString engine, dictionary, voice;
    SpeechFailure failure;
  } cases[] = {
      {absent, dictionary, voice, SpeechFailure::NoEngine}, {QString(), dictionary, voice, SpeechFailure::NoEngine},
      {engine, absent, voice, SpeechFailure::NoDictionary}, {engine, dictionary, absent, SpeechFailure::NoVoice},
      {engine, dictionary, voice, SpeechFailure::NoOutput},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.failure));
    EXPECT_EQ(OpenJTalkSpeech(c.engine, c.dictionary, c.voice).Failure(), c.failure);
  }
}

// The speech settings dialog, answered while it is open: the spin boxes as
// they were shown, then `speed` typed into the speed box and OK or Cancel.
struct SpeechDialogRun {
  int shownSpeed = -1, shownVolume = -1;
  QString title;
  std::optional<std::pair<int, int>> result;
};
SpeechDialogRun RunSpeechDialog(int presetSpeed, int presetVolume, int speed, bool ok) {
  SpeechDialogRun run;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    auto* speedBox = dialog ? dialog->findChild<QSpinBox*>(QStringLiteral("speed")) : nullptr;
    auto* volumeBox = dialog ? dialog->findChild<QSpinBox*>(QStringLiteral("volume")) : nullptr;
    auto* buttons = dialog ? dialog->findChild<QDialogButtonBox*>() : nullptr;
    if (!speedBox || !volumeBox || !buttons) return;
    timer.stop();
    run.title = dialog->windowTitle();
    run.shownSpeed = speedBox->value();
    run.shownVolume = volumeBox->value();
    speedBox->selectAll();
    QTest::keyClicks(speedBox, QString::number(speed));
    buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
  });
  timer.start();
  Dialogs dialogs(nullptr);
  run.result = dialogs.ChooseSpeech(presetSpeed, presetVolume);
  return run;
}

TEST(OpenJTalkSpeechSettingsDialog, ShowsTheSettingsAndReturnsTheChoiceOnlyOnOk) {
  SpeechDialogRun run = RunSpeechDialog(150, 80, 120, true);
  EXPECT_EQ(run.title, QStringLiteral("読み上げの設定"));
  EXPECT_EQ(run.shownSpeed, 150);
  EXPECT_EQ(run.shownVolume, 80);
  EXPECT_EQ(run.result, std::optional(std::pair{120, 80}));

  EXPECT_EQ(RunSpeechDialog(150, 80, 120, false).result, std::nullopt);

  // Presets and entries outside the ranges are held inside them.
  run = RunSpeechDialog(500, 0, 30, true);
  EXPECT_EQ(run.shownSpeed, Dialogs::kMaxSpeed);
  EXPECT_EQ(run.shownVolume, Dialogs::kMinVolume);
  ASSERT_TRUE(run.result.has_value());
  EXPECT_GE(run.result->first, Dialogs::kMinSpeed);
  EXPECT_LE(run.result->first, Dialogs::kMaxSpeed);
}

}  // namespace
}  // namespace velkor::ui
