// The call bell 鈴~ (row 7, column 11): three chimes at the bell volume and
// 呼び出し中 in the message place, in every input mode and while input rests
// (休~); a second 鈴~ stops it; a scan switch held down for two seconds rings
// it, even with scanning paused; without a sound output the message place
// says so and nothing waits. And speaking as one writes: 。, ！ or ？ read the
// sentence they end.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

enum class Mode { Click, Dwell, Keys, Scan };

struct BellRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  Mode mode;
  explicit BellRig(Mode m = Mode::Click) : mode(m) {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.State().settings.SetNamed(named::kPredictionCells, "0");
    if (mode == Mode::Scan) form.State().settings.SetNamed(named::kScan, "1");
    form.FormShow();
    if (mode == Mode::Click) form.Modes().MnuEditClickClick();
    if (mode == Mode::Dwell) form.Modes().MnuEditM10Click();
    if (mode == Mode::Keys) form.Modes().MnuEditYaClick();
    fake.pointer.position = Point{150, 250};
  }
  void MoveTo(int col, int row) {
    const Rect cell = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, cell.left + 1, cell.top + 1));
  }
  void ScanTick() {
    if (fake.scanTimer.running) form.Scan().Tick();
  }
  // Confirms board cell (col, row) the way the mode does.
  void Confirm(int col, int row) {
    switch (mode) {
      case Mode::Keys:
        fake.sgd00.SetCol(col);
        fake.sgd00.SetRow(row);
        form.Keys().KeyDown(Key::Other);
        form.Keys().KeyUp(Key::Other);
        return;
      case Mode::Click: {
        MoveTo(col, row);
        const Rect cell = fake.sgd00.CellRect(col, row);
        PressAt(fake, form, OnGrid(fake, cell.left + 1, cell.top + 1));
        return;
      }
      case Mode::Dwell:
        MoveTo(col, row);
        for (int i = 0; i < 2; ++i) {
          fake.clock.now += fake.tmrInput0.interval;
          if (fake.tmrInput0.running) form.Pointer().Tick();
        }
        MoveTo(1, 1);  // leaves, so the next confirmation counts afresh
        return;
      case Mode::Scan:
        for (int i = 0; i < 20 && form.Scan().Highlight().row != row; ++i) ScanTick();
        ASSERT_EQ(form.Scan().Highlight().row, row);
        Press();
        Release();
        for (int i = 0; i < 40 && form.Scan().Highlight().col != col; ++i) ScanTick();
        ASSERT_EQ(form.Scan().Highlight().col, col);
        Press();
        Release();
        return;
    }
  }
  bool Press() { return form.SwitchPressed(SwitchInput::Space, false); }
  void Release() { form.SwitchReleased(SwitchInput::Space); }
  std::string Message() const { return U(fake.pnlMsg.message); }
};

TEST(CallBell, TheCellRingsThreeTimesInEveryModeAndASecondOneStopsIt) {
  for (const Mode mode : {Mode::Click, Mode::Dwell, Mode::Keys, Mode::Scan}) {
    SCOPED_TRACE(static_cast<int>(mode));
    BellRig r(mode);
    EXPECT_EQ(U(r.fake.sgd00.CellText(11, 7)), "鈴~");
    if (mode == Mode::Click) {
      r.MoveTo(11, 7);
      EXPECT_EQ(U(r.fake.pnlMsg.text), "呼び出し音を鳴らす");
    }
    r.Confirm(11, 7);
    ASSERT_EQ(r.fake.bell.rings.size(), 1u);
    EXPECT_EQ(r.fake.bell.rings[0].times, 3);
    EXPECT_EQ(r.fake.bell.rings[0].volume, 100);
    EXPECT_EQ(r.Message(), "呼び出し中");
    EXPECT_TRUE(r.fake.window.messages.empty()) << "no dialog in any mode";
    r.Confirm(11, 7);
    EXPECT_FALSE(r.fake.bell.ringing);
    EXPECT_EQ(r.fake.bell.rings.size(), 1u) << "the second one stops, it does not ring again";
    EXPECT_EQ(r.Message(), "");
    // Played to its end, the chime takes its message away; the next 鈴~
    // rings again.
    r.Confirm(11, 7);
    EXPECT_EQ(r.fake.bell.rings.size(), 2u);
    r.fake.bell.Finish();
    EXPECT_EQ(r.Message(), "");
  }
}

TEST(CallBell, RingsWhileInputRestsAndNothingElseCounts) {
  for (const Mode mode : {Mode::Click, Mode::Dwell, Mode::Keys, Mode::Scan}) {
    SCOPED_TRACE(static_cast<int>(mode));
    BellRig r(mode);
    r.Confirm(9, 7);  // 休~
    ASSERT_EQ(r.Message(), "休止中");
    if (mode == Mode::Dwell) {
      r.MoveTo(11, 7);
      EXPECT_TRUE(r.fake.tmrInput0.running) << "the count runs on the bell while paused";
      r.MoveTo(1, 1);
    }
    r.Confirm(11, 7);
    ASSERT_EQ(r.fake.bell.rings.size(), 1u);
    EXPECT_EQ(r.Message(), "呼び出し中");
    r.fake.bell.Finish();
    EXPECT_EQ(r.Message(), "休止中") << "the pause says so again";
    r.Confirm(19, 1);  // "0": still suspended
    EXPECT_EQ(U(r.fake.memMain.text), "");
    EXPECT_EQ(r.fake.bell.rings.size(), 1u);
    // Stopped by a second 鈴~ during the pause: the pause message returns.
    r.Confirm(11, 7);
    r.Confirm(11, 7);
    EXPECT_FALSE(r.fake.bell.ringing);
    EXPECT_EQ(r.Message(), "休止中");
  }
}

TEST(CallBell, HoldingTheScanSwitchTwoSecondsRingsItEvenWithScanningPaused) {
  BellRig r(Mode::Scan);
  // A press let go before two seconds is only a press.
  EXPECT_TRUE(r.Press());
  EXPECT_TRUE(r.fake.holdTimer.running);
  EXPECT_EQ(r.fake.holdTimer.interval, kBellHoldMs);
  r.Release();
  EXPECT_FALSE(r.fake.holdTimer.running);
  EXPECT_TRUE(r.fake.bell.rings.empty());
  // Held down: the key's repeats do not start the count again.
  r.Press();
  EXPECT_TRUE(r.form.SwitchPressed(SwitchInput::Space, true));
  r.form.HoldTick();
  ASSERT_EQ(r.fake.bell.rings.size(), 1u);
  EXPECT_EQ(r.Message(), "呼び出し中");
  r.Release();
  // Held again, it stops the bell as a second 鈴~ does.
  r.Press();
  r.form.HoldTick();
  EXPECT_FALSE(r.fake.bell.ringing);
  r.Release();

  // Scanning paused after three empty rounds: the press that wakes it,
  // held down, rings too.
  for (int i = 0; i < 40 && !r.form.Scan().Paused(); ++i) r.ScanTick();
  ASSERT_TRUE(r.form.Scan().Paused());
  r.Press();
  r.form.HoldTick();
  EXPECT_EQ(r.fake.bell.rings.size(), 2u);
  r.Release();

  // With the mouse as the switch, its button held down counts alike; a key
  // that is not the switch does not.
  r.form.State().settings.SetNamed(named::kScanSwitch, "mouse");
  r.fake.bell.Stop();
  EXPECT_FALSE(r.form.SwitchPressed(SwitchInput::Enter, false));
  EXPECT_FALSE(r.fake.holdTimer.running);
  EXPECT_TRUE(r.form.SwitchPressed(SwitchInput::Mouse, false));
  r.form.SwitchReleased(SwitchInput::Enter);
  EXPECT_TRUE(r.fake.holdTimer.running) << "another key let go ends nothing";
  r.form.HoldTick();
  EXPECT_EQ(r.fake.bell.rings.size(), 3u);
  r.form.SwitchReleased(SwitchInput::Mouse);

  // Turned off on the settings board: a held switch is one press.
  r.form.State().settings.SetNamed(named::kBellHold, "0");
  r.form.SwitchPressed(SwitchInput::Mouse, false);
  EXPECT_FALSE(r.fake.holdTimer.running);
  r.form.HoldTick();
  EXPECT_EQ(r.fake.bell.rings.size(), 3u);
}

TEST(CallBell, ItsVolumeIsItsOwnAndWithoutSoundTheMessagePlaceSaysSo) {
  BellRig r(Mode::Click);
  r.form.State().settings.SetNamed(named::kBellVolume, "40");
  r.form.State().settings.SetOption(option::kSpeechVolume, "150");
  r.Confirm(11, 7);
  ASSERT_EQ(r.fake.bell.rings.size(), 1u);
  EXPECT_EQ(r.fake.bell.rings[0].volume, 40);
  r.Confirm(11, 7);

  r.fake.bell.canOutput = false;
  r.Confirm(11, 7);
  EXPECT_EQ(r.Message(), "呼び出し音を鳴らせません（音の出力先がありません）");
  EXPECT_TRUE(r.fake.window.messages.empty()) << "a dialog nobody may be able to answer";
  EXPECT_FALSE(r.fake.bell.ringing);
  // The next confirmation takes the message away as any message goes.
  r.Confirm(19, 1);
  EXPECT_EQ(r.Message(), "");
}

TEST(CallBell, TheSettingsBoardSetsTheBellAndSpeakingAtTheSentenceEnd) {
  BellRig r(Mode::Click);
  r.Confirm(10, 7);  // 設~
  EXPECT_EQ(U(r.fake.sgd00.CellText(1, 5)), "鈴量");
  EXPECT_EQ(U(r.fake.sgd00.CellText(3, 5)), "100%");
  r.MoveTo(2, 5);
  EXPECT_EQ(U(r.fake.pnlMsg.text), "呼び出し音の音量を90%にする");
  for (int i = 0; i < 10; ++i) r.Confirm(2, 5);
  EXPECT_EQ(r.form.State().settings.BellVolume(), 0);
  EXPECT_EQ(r.form.State().settings.SpeechPercent(option::kSpeechVolume), 100) << "the speech keeps its own";
  r.MoveTo(7, 5);
  EXPECT_EQ(U(r.fake.pnlMsg.text), "スイッチ長押し（２秒）で呼び出しを切にする");
  r.Confirm(7, 5);
  r.MoveTo(10, 5);
  EXPECT_EQ(U(r.fake.pnlMsg.text), "文末で読み上げを入にする");
  r.Confirm(10, 5);
  Settings stored;
  stored.Load(r.fake.store, SettingsEnvironment{});
  EXPECT_EQ(stored.BellVolume(), 0);
  EXPECT_FALSE(stored.BellHold());
  EXPECT_TRUE(stored.SpeakSentenceEnd());
}

// 。, ！ or ？ written at the caret reads the sentence it ends, once the
// setting is on; nothing else that changes the text does.
TEST(SpeakingAsYouWrite, TheMarkReadsTheSentenceItEnds) {
  BellRig r(Mode::Click);
  Selection& s = r.form.Select();
  const auto said = [&r] {
    std::vector<std::string> out;
    for (const auto& one : r.fake.speech.said) out.push_back(U(one.text));
    return out;
  };
  s.InsertText(Sj("今日は良い天気です"));
  s.InsertText(Sj("。"));
  EXPECT_TRUE(said().empty()) << "off by default";

  r.form.State().settings.SetNamed(named::kSpeakSentenceEnd, "1");
  s.InsertText(Sj("明日は？"));
  EXPECT_EQ(said(), std::vector<std::string>{"明日は？"});
  s.InsertText(Sj("\r\n雨です"));
  EXPECT_EQ(said().size(), 1u);
  s.InsertText(Sj("！"));
  EXPECT_EQ(said().back(), "雨です！") << "a line break begins a sentence";
  // Written inside the text, the sentence runs from the mark before.
  r.fake.memMain.SetSelStart(static_cast<int>(Sj("今日は良い天気です。明日").size()));
  r.fake.memMain.SetSelLength(0);
  s.InsertText(Sj("も。"));
  EXPECT_EQ(said().back(), "明日も。");
  const std::size_t count = said().size();
  // A whole new text, or a change elsewhere, reads nothing.
  r.form.Edits().SetText(Sj("読まない。"), TextEdits::Journaling::Record);
  r.form.UndoLog().Undo();
  EXPECT_EQ(said().size(), count);
  // A kana that is not a mark reads nothing.
  r.fake.memMain.SetSelStart(static_cast<int>(r.fake.memMain.text.size()));
  s.InsertText(Sj("あ"));
  EXPECT_EQ(said().size(), count);
  // A mark with nothing before it but spaces, at the start of a line or
  // after another mark, is no sentence: nothing is read, and no failure said.
  s.InsertText(Sj("。"));
  const std::size_t afterA = said().size();
  for (const char* alone : {"　。", "\r\n。", "！", " ？"}) {
    s.InsertText(Sj(alone));
    EXPECT_EQ(said().size(), afterA) << alone;
  }

  // Without a voice, the message place names what is missing.
  r.form.Modes().MnuEditM10Click();  // out of click mode: messages go to the status line
  r.fake.speech.canOutput = false;
  r.fake.speech.failure = SpeechFailure::NoVoice;
  s.InsertText(Sj("雨。"));
  EXPECT_EQ(r.Message(), "音声を出力できません（声のパッケージ hts-voice-nitech-jp-atr503-m001 が入っていません）");
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// Hearing the board: under scanning with 読走 on, the row and then the cell
// under the highlight is read aloud briefly (a command by its short name);
// a sentence being read is never cut off by it.
TEST(HearingTheBoard, TheRowThenTheCellIsReadBriefly) {
  BellRig r(Mode::Scan);
  const auto last = [&r] { return r.fake.speech.said.empty() ? std::string() : U(r.fake.speech.said.back().text); };
  r.ScanTick();
  EXPECT_TRUE(r.fake.speech.said.empty()) << "off by default";
  r.form.State().settings.SetNamed(named::kScanSpeak, "1");
  for (int i = 0; i < 20 && r.form.Scan().Highlight().row != 7; ++i) r.ScanTick();
  EXPECT_EQ(last(), "7行");
  r.Press();
  r.Release();
  EXPECT_EQ(last(), "文字盤のタブを替える") << "《~ by its short name";
  for (int i = 0; i < 20 && r.form.Scan().Highlight().col != 11; ++i) r.ScanTick();
  EXPECT_EQ(last(), "呼び出し音を鳴らす");
  // Something else being read is not cut off by the next step.
  r.form.Reading().Say(Sj("長い文です。"));
  const std::size_t count = r.fake.speech.said.size();
  r.ScanTick();
  EXPECT_EQ(r.fake.speech.said.size(), count);
}

}  // namespace
}  // namespace velkor::testing
