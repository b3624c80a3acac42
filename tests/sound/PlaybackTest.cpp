// What the program plays, heard for real: the null sink's monitor is
// recorded while the real window speaks (話~, and a sentence ended by 。) and
// rings the call bell (鈴~, also while input rests, and by a scan switch
// held down for two seconds). The levels and times measured are printed.
// Where the voice is not installed, 話~ must say so in the message place
// and play nothing; that is what is checked then.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <cstdio>

#include "core/Cp932.h"
#include "tests/sound/NullSink.h"
#include "tests/ui/WindowFixture.h"
#include "ui/OpenJTalkSpeech.h"

namespace velkor::testing {
namespace {

using cp932::Sj;

constexpr CellPos kSpeak{12, 6};
constexpr CellPos kPause{9, 7};
constexpr CellPos kBell{11, 7};

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(NullSinkFailure().isEmpty()) << NullSinkFailure().toStdString();
    ASSERT_TRUE(recorder.Start()) << "parec records nothing from nul.monitor";
  }
  ui::MainWindow& Open(bool scanning = false) {
    if (scanning) fixture.Store(QStringLiteral("Access/Scan"), QStringLiteral("1"));
    ui::MainWindow& w = fixture.Start();
    EXPECT_TRUE(fixture.created);
    // Out of click mode, messages go to the status line's message place.
    if (!scanning) w.Form().Modes().MnuEditM10Click();
    return w;
  }
  MainForm& Form() { return fixture.window->Form(); }
  void Confirm(CellPos cell) { Form().Select().Confirm({Place::Board, cell}); }
  std::string Message() { return cp932::ToUtf8(Form().Plat().pnlMsg.Message()); }
  static bool VoiceInstalled() { return ui::OpenJTalkSpeech().Available(); }

  WindowFixture fixture;
  Recorder recorder;
};

// 話~ on 今日は良い天気です。: heard for at least a second; a second 話~ stops
// it within 300 ms.
TEST_F(Playback, SpeakIsHeardAndASecondSpeakStopsIt) {
  Open();
  Form().Select().InsertText(Sj("今日は良い天気です。"));
  if (!VoiceInstalled()) {
    Confirm(kSpeak);
    EXPECT_EQ(Message().rfind("音声を出力できません", 0), 0u) << Message();
    QTest::qWait(1500);
    EXPECT_EQ(recorder.LastHeard(), -1) << "nothing plays without the voice";
    std::printf("voice not installed: 話~ said 「%s」 and played nothing\n", Message().c_str());
    return;
  }
  double asked = NowMs();
  Confirm(kSpeak);
  ASSERT_TRUE(WaitFor([&] { return !Form().Plat().speech.Speaking(); }, 20000));
  QTest::qWait(300);
  const double heardFrom = recorder.WindowStartMs(static_cast<std::size_t>(std::max(0L, recorder.FirstHeard(asked))));
  ASSERT_GE(recorder.FirstHeard(asked), 0) << "nothing was heard";
  const double span = recorder.SpanMs(asked, NowMs());
  const double heard = recorder.HeardMs(asked, NowMs());
  const double rms = recorder.HeardRms(asked, NowMs());
  std::printf(
      "話~: first sound %.0f ms after the confirmation, sound for %.0f ms (%.0f ms of it above silence), "
      "RMS %.3f\n",
      heardFrom - asked, span, heard, rms);
  EXPECT_GE(span, 1000);
  EXPECT_GE(heard, 0.7 * span) << "mostly sound, not a click and a tail";
  EXPECT_GT(rms, 0.02);

  // Again, stopped half-way.
  asked = NowMs();
  Confirm(kSpeak);
  ASSERT_TRUE(WaitFor([&] { return recorder.FirstHeard(asked) >= 0; }, 10000));
  QTest::qWait(600);
  const double stopped = NowMs();
  Confirm(kSpeak);
  EXPECT_FALSE(Form().Plat().speech.Speaking());
  QTest::qWait(800);
  recorder.Stop();
  const double lastSound = recorder.WindowStartMs(static_cast<std::size_t>(recorder.LastHeard())) + Recorder::kWindowMs;
  std::printf("second 話~: sound ends %.0f ms after it\n", lastSound - stopped);
  EXPECT_LE(lastSound - stopped, 300);
}

// 鈴~: three chimes (two strikes each), 呼び出し中 meanwhile, silence after.
TEST_F(Playback, TheBellIsHeardThreeTimes) {
  Open();
  const double asked = NowMs();
  Confirm(kBell);
  EXPECT_EQ(Message(), "呼び出し中");
  ASSERT_TRUE(WaitFor([&] { return !Form().Plat().bell.Ringing(); }, 10000)) << "it never ends";
  QTest::qWait(300);
  recorder.Stop();
  const auto strikes = recorder.StrikesMs(asked);
  const double first = strikes.empty() ? 0 : strikes.front();
  std::printf("鈴~: %zu strikes, the first %.0f ms after the confirmation, at (ms from it):", strikes.size(),
              first - asked);
  for (const double at : strikes) std::printf(" %.0f", at - asked);
  std::printf("; %.0f ms heard, RMS %.3f\n", recorder.HeardMs(asked, NowMs()), recorder.HeardRms(asked, NowMs()));
  EXPECT_EQ(strikes.size(), 6u) << "three chimes of two strikes";
  EXPECT_GT(recorder.HeardRms(asked, NowMs()), 0.1) << "a loud bell";
  EXPECT_EQ(Message(), "") << "its message goes when it ends";
}

// While 休~ rests input, 鈴~ still rings, and a second 鈴~ silences it at once.
TEST_F(Playback, TheBellRingsWhileInputRestsAndASecondOneStopsIt) {
  Open();
  Confirm(kPause);
  ASSERT_EQ(Message(), "休止中");
  const double asked = NowMs();
  Confirm(kBell);
  ASSERT_TRUE(WaitFor([&] { return recorder.StrikesMs(asked).size() >= 2; }, 5000)) << "not heard while paused";
  const double stopped = NowMs();
  Confirm(kBell);
  EXPECT_EQ(Message(), "休止中");
  QTest::qWait(800);
  recorder.Stop();
  const double lastSound = recorder.WindowStartMs(static_cast<std::size_t>(recorder.LastHeard())) + Recorder::kWindowMs;
  std::printf("鈴~ while paused: first strike %.0f ms after it; the second 鈴~ silences it within %.0f ms\n",
              recorder.StrikesMs(asked).front() - asked, lastSound - stopped);
  EXPECT_LE(lastSound - stopped, 300);
}

// Under scanning, the switch held down for two seconds rings the bell.
TEST_F(Playback, HoldingTheScanSwitchRingsTheBell) {
  ui::MainWindow& w = Open(true);
  ASSERT_TRUE(Form().Scan().Active());
  const double pressed = NowMs();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(&w, &press);
  QTest::qWait(kBellHoldMs + 300);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(&w, &release);
  ASSERT_TRUE(WaitFor([&] { return recorder.StrikesMs(pressed).size() >= 2; }, 5000)) << "not heard";
  EXPECT_EQ(Message(), "呼び出し中");
  const double first = recorder.StrikesMs(pressed).front();
  std::printf("switch held: first strike %.0f ms after the press\n", first - pressed);
  EXPECT_GE(first - pressed, kBellHoldMs - 400) << "not at the press: after the hold";
  // A short press is only a press.
  Form().Select().Confirm({Place::Board, kBell});
  QTest::qWait(500);
  const double tapped = NowMs();
  QApplication::sendEvent(&w, &press);
  QTest::qWait(300);
  QApplication::sendEvent(&w, &release);
  QTest::qWait(kBellHoldMs + 500);
  EXPECT_TRUE(recorder.StrikesMs(tapped).empty());
}

// Speaking as one writes: the 。 reads the sentence it ends.
TEST_F(Playback, TheFullStopReadsTheSentenceAloud) {
  fixture.Store(QStringLiteral("Speech/SentenceEnd"), QStringLiteral("1"));
  Open();
  Form().Select().InsertText(Sj("今日は良い天気です"));
  QTest::qWait(300);
  EXPECT_EQ(recorder.LastHeard(), -1) << "nothing before the 。";
  const double written = NowMs();
  Form().Select().InsertText(Sj("。"));
  if (!VoiceInstalled()) {
    EXPECT_EQ(Message().rfind("音声を出力できません", 0), 0u) << Message();
    std::printf("voice not installed: the 。 said 「%s」\n", Message().c_str());
    return;
  }
  ASSERT_TRUE(WaitFor([&] { return !Form().Plat().speech.Speaking(); }, 20000));
  QTest::qWait(300);
  const double span = recorder.SpanMs(written, NowMs());
  std::printf("。 written: first sound %.0f ms after it, sound for %.0f ms, RMS %.3f\n",
              recorder.WindowStartMs(static_cast<std::size_t>(std::max(0L, recorder.FirstHeard(written)))) - written,
              span, recorder.HeardRms(written, NowMs()));
  EXPECT_GE(span, 1000);
  EXPECT_GT(recorder.HeardRms(written, NowMs()), 0.02);
}

// Without a sound server (run with --no-server): each says so in the
// message place at once and nothing waits.
TEST(NoSoundServer, EachSaysSoAtOnceAndNothingWaits) {
  WindowFixture fixture;
  fixture.Store(QStringLiteral("Speech/SentenceEnd"), QStringLiteral("1"));
  ui::MainWindow& w = fixture.Start();
  ASSERT_TRUE(fixture.created);
  MainForm& form = w.Form();
  form.Modes().MnuEditM10Click();
  const auto message = [&form] { return cp932::ToUtf8(form.Plat().pnlMsg.Message()); };
  form.Select().Confirm({Place::Board, kBell});
  EXPECT_EQ(message(), "呼び出し音を鳴らせません（音の出力先がありません）");
  EXPECT_FALSE(form.Plat().bell.Ringing());
  form.Select().InsertText(Sj("今日は良い天気です。"));
  EXPECT_EQ(message().rfind("音声を出力できません", 0), 0u) << message();
  form.Select().Confirm({Place::Board, kSpeak});
  EXPECT_EQ(message().rfind("音声を出力できません", 0), 0u) << message();
  EXPECT_FALSE(form.Plat().speech.Speaking());
  // The window goes on: a cell still writes.
  form.Select().InsertText(Sj("あ"));
  EXPECT_EQ(cp932::ToUtf8(form.Plat().memMain.Text()), "今日は良い天気です。あ");
}

}  // namespace
}  // namespace velkor::testing
