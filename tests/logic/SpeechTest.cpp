// Reading aloud from the board: what "話~" speaks, how a second confirmation
// stops it, and the speed and volume it speaks with.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

class SpeechTest : public ::testing::Test {
 protected:
  void Start(const char* option = "0,1,0,1,0,0,0,0,0,0") {
    fake_.store.SetCp932("Option", option);
    form_ = std::make_unique<MainForm>(fake_.Get());
    WireNotifications(fake_, *form_);
    ASSERT_TRUE(form_->FormCreate());
    form_->FormShow();
  }
  void SpeakCell() { form_->Select().Confirm({Place::Board, {12, 6}}); }
  void SetText(const char* utf8, int selStart, int selLength) {
    fake_.memMain.text = Sj(utf8);
    fake_.memMain.selStart = selStart;
    fake_.memMain.selLength = selLength;
  }
  std::string LastSaid() {
    return fake_.speech.said.empty() ? "<nothing>" : cp932::ToUtf8(fake_.speech.said.back().text);
  }

  FakePlatform fake_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(SpeechTest, TheSpeakCellSitsInTheCommandRowsAndSaysWhatItDoes) {
  Start();
  EXPECT_EQ(cp932::ToUtf8(fake_.sgd00.CellText(12, 6)), "話~");
  form_->Select().Point({Place::Board, {12, 6}});
  EXPECT_EQ(cp932::ToUtf8(fake_.pnlMsg.text), "読み上げる");
  EXPECT_EQ(fake_.pnlMsg.colour, status::kBlue);
}

TEST_F(SpeechTest, ItSpeaksTheSelectionElseTheCaretLineElseTheWholeText) {
  Start();
  const struct {
    const char* text;
    int selStart, selLength;
    const char* said;
  } cases[] = {
      {"水を飲みたい。\r\n薬の時間です。", 0, 6, "水を飲"},                                     // the selection
      {"水を飲みたい。\r\n薬の時間です。", 18, 0, "薬の時間です。"},                            // the caret's line
      {"水を飲みたい。\r\n薬の時間です。", 14, 0, "水を飲みたい。"},                            // at the line's end
      {"水を飲みたい。\r\n薬の時間です。", 0, 0, "水を飲みたい。"},                             // at the text's start
      {"水を飲みたい。\r\n\r\n薬の時間です。", 16, 0, "水を飲みたい。\r\n\r\n薬の時間です。"},  // an empty line
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    fake_.speech.speaking = false;
    SetText(c.text, c.selStart, c.selLength);
    SpeakCell();
    EXPECT_EQ(LastSaid(), c.said);
  }
}

TEST_F(SpeechTest, NothingToSpeakOrNoOutputIsSaidOnTheMessageChannel) {
  Start();
  SetText("", 0, 0);
  SpeakCell();
  EXPECT_EQ(cp932::ToUtf8(fake_.pnlMsg.message), "読み上げるデータがありません");
  EXPECT_TRUE(fake_.speech.said.empty());

  // A missing part is named by its package, so that the user or a carer
  // knows what to install; anything else keeps the plain message.
  const struct {
    SpeechFailure failure;
    const char* message;
  } cases[] = {
      {SpeechFailure::NoOutput, "音声を出力できません"},
      {SpeechFailure::NoVoice,
       "音声を出力できません（声のパッケージ hts-voice-nitech-jp-atr503-m001 が入っていません）"},
      {SpeechFailure::NoEngine, "音声を出力できません（open-jtalk が入っていません）"},
      {SpeechFailure::NoDictionary, "音声を出力できません（open-jtalk-mecab-naist-jdic が入っていません）"},
  };
  SetText("はい", 0, 0);
  fake_.speech.canOutput = false;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    fake_.pnlMsg.message.clear();
    fake_.speech.failure = c.failure;
    SpeakCell();
    EXPECT_EQ(cp932::ToUtf8(fake_.pnlMsg.message), c.message);
  }
}

TEST_F(SpeechTest, ASecondConfirmationStopsTheSpeech) {
  Start();
  SetText("ありがとうございます。", 0, 0);
  SpeakCell();
  ASSERT_TRUE(fake_.speech.Speaking());
  SpeakCell();
  EXPECT_FALSE(fake_.speech.Speaking());
  EXPECT_EQ(fake_.speech.stops, 1);
  EXPECT_EQ(fake_.speech.said.size(), 1u);
  SpeakCell();  // and a third speaks again
  EXPECT_EQ(fake_.speech.said.size(), 2u);
}

TEST_F(SpeechTest, SpeedAndVolumeComeFromTheirSlotsWithZeroAsNormal) {
  Start("0,1,0,1,0,0,0,0,0,0");
  SetText("はい", 0, 0);
  SpeakCell();
  EXPECT_EQ(fake_.speech.said.back().speed, 100);
  EXPECT_EQ(fake_.speech.said.back().volume, 100);
  fake_.speech.speaking = false;
  form_->State().settings.SetOption(option::kSpeechSpeed, "150");
  form_->State().settings.SetOption(option::kSpeechVolume, "80");
  SpeakCell();
  EXPECT_EQ(fake_.speech.said.back().speed, 150);
  EXPECT_EQ(fake_.speech.said.back().volume, 80);
}

TEST_F(SpeechTest, TheSettingsDialogStoresSpeedAndVolume) {
  Start("0,1,0,1,0,0,0,0,0,0");
  form_->MnuDspSpeechClick();  // cancelled: nothing changes
  EXPECT_EQ(fake_.dialogs.speechPresets.back(), (std::pair<int, int>{100, 100}));
  EXPECT_EQ(form_->State().settings.Option(option::kSpeechSpeed), "0");
  fake_.dialogs.speechAnswers.push_back(std::pair<int, int>{130, 70});
  form_->MnuDspSpeechClick();
  EXPECT_EQ(form_->State().settings.Option(option::kSpeechSpeed), "130");
  EXPECT_EQ(form_->State().settings.Option(option::kSpeechVolume), "70");
  form_->MnuDspSpeechClick();
  EXPECT_EQ(fake_.dialogs.speechPresets.back(), (std::pair<int, int>{130, 70}));
  // They reach the settings store at close.
  ASSERT_TRUE(form_->FormClose());
  EXPECT_EQ(fake_.store.Cp932("Option"), "0,1,0,1,0,130,70,0,0,0");
}

}  // namespace
}  // namespace velkor::testing
