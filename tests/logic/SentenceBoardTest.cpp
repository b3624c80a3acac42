// My sentences, the face 文~ (row 7, column 12): the user's most used
// sentences from learning, most used first, the everyday list filling what
// is left; choosing one reads it aloud, and writes it too when set; ☆~
// leaves.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

struct SentenceRig {
  FakePlatform fake;
  MainForm form{fake.Get()};
  SentenceRig() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    form.Modes().MnuEditClickClick();
  }
  void Confirm(Place place, int col, int row) { form.Select().Confirm({place, {col, row}}); }
  // The sentences of the cells, row by row as they are laid out.
  std::vector<std::string> Cells() {
    std::vector<std::string> out;
    for (int row = 1; row <= SentenceBoard::kRows; ++row) {
      for (int col = 1; col <= 20; ++col) {
        const std::string text = form.Sentences().SentenceAt(col, row);
        if (!text.empty()) out.push_back(U(text));
      }
    }
    return out;
  }
  void Learn(const char* sentence, int times) {
    for (int i = 0; i < times; ++i) form.Learned().Learn(Sj("よみ"), Sj(sentence));
  }
};

TEST(SentenceBoard, TheEverydayListUntilLearnedSentencesPushItOutMostUsedFirst) {
  SentenceRig r;
  EXPECT_EQ(U(r.fake.sgd00.CellText(12, 7)), "文~");
  r.Confirm(Place::Board, 12, 7);
  ASSERT_EQ(r.form.Select().Face(), Place::Sentences);
  auto cells = r.Cells();
  ASSERT_GE(cells.size(), 6u) << "as many as the board holds, never empty";
  EXPECT_EQ(cells[0], "はい");
  EXPECT_EQ(cells[1], "いいえ");
  EXPECT_EQ(U(r.fake.sgd00.CellText(1, 1)), "はい") << "one per cell";

  r.Learn("窓を開けてください。", 1);
  r.Learn("お茶をください。", 3);
  r.Learn("テレビを消して。", 2);
  r.Confirm(Place::Sentences, 1, 7);  // ☆~
  EXPECT_EQ(r.form.Select().Face(), Place::Board);
  EXPECT_EQ(U(r.fake.sgd00.CellText(1, 1)), "あ") << "the board comes back";
  r.Confirm(Place::Board, 12, 7);
  cells = r.Cells();
  ASSERT_GE(cells.size(), 4u);
  EXPECT_EQ(cells[0], "お茶をください。");
  EXPECT_EQ(cells[1], "テレビを消して。");
  EXPECT_EQ(cells[2], "窓を開けてください。");
  EXPECT_EQ(cells[3], "はい") << "the everyday list fills what is left";
  // Learned sentences fill every cell in the end.
  for (int i = 0; i < SentenceBoard::kRows * 5; ++i) r.Learn(("文" + std::to_string(i) + "です。").c_str(), 5);
  r.form.Sentences().Show();
  cells = r.Cells();
  for (const std::string& cell : cells) EXPECT_NE(cell, "はい");
}

TEST(SentenceBoard, ChoosingReadsItAloudAndWritesItWhenSet) {
  SentenceRig r;
  r.Confirm(Place::Board, 12, 7);
  EXPECT_EQ(U(r.form.Select().Describe({Place::Sentences, {1, 1}}).text), "「はい」を読み上げる");
  r.Confirm(Place::Sentences, 1, 1);
  ASSERT_EQ(r.fake.speech.said.size(), 1u);
  EXPECT_EQ(U(r.fake.speech.said[0].text), "はい");
  EXPECT_EQ(U(r.fake.memMain.text), "") << "only read aloud by default";
  EXPECT_EQ(r.form.Select().Face(), Place::Sentences) << "the face stays for the next sentence";

  r.form.State().settings.SetNamed(named::kWriteSentence, "1");
  const std::string second = U(r.form.Sentences().SentenceAt(1, 2));
  EXPECT_EQ(U(r.form.Select().Describe({Place::Sentences, {1, 2}}).text), "「" + second + "」を読み上げて書く");
  r.Confirm(Place::Sentences, 1, 2);
  EXPECT_EQ(U(r.fake.speech.said.back().text), second);
  EXPECT_EQ(U(r.fake.memMain.text), second);
  // Empty places offer nothing; the pause holds the face too.
  EXPECT_FALSE(r.form.Select().Offers({Place::Sentences, {20, 1}}));
  EXPECT_FALSE(r.form.Select().Offers({Place::Board, {1, 1}})) << "only the face on show";
}

}  // namespace
}  // namespace velkor::testing
