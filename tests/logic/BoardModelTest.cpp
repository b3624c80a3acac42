#include "board/BoardModel.h"

#include <gtest/gtest.h>

#include "FakePlatform.h"

using namespace velkor;
using namespace velkor::board;
using velkor::testing::Sj;

namespace {

StringList SjList(std::initializer_list<const char*> utf8) {
  StringList out;
  for (const char* item : utf8) out.push_back(Sj(item));
  return out;
}

}  // namespace

// The built-in board column by column, as the user sees it; the list is held
// row by row, so a transposed or shifted cell shows here.
TEST(BoardModel, BuiltInBoardByColumn) {
  const char* columns[20][5] = {
      {"あ,ぁ,ア,ァ", "い,ぃ,イ,ィ", "う,ぅ,ウ,ゥ", "え,ぇ,エ,ェ", "お,ぉ,オ,ォ"},
      {"か,が,カ,ガ,ヵ", "き,ぎ,キ,ギ", "く,ぐ,ク,グ", "け,げ,ケ,ゲ", "こ,ご,コ,ゴ"},
      {"さ,ざ,サ,ザ", "し,じ,シ,ジ", "す,ず,ス,ズ", "せ,ぜ,セ,ゼ", "そ,ぞ,ソ,ゾ"},
      {"た,だ,タ,ダ", "ち,ぢ,チ,ヂ", "つ,っ,づ,ツ,ッ,ヅ", "て,で,テ,デ", "と,ど,ト,ド"},
      {"な,ナ", "に,ニ", "ぬ,ヌ", "ね,ネ", "の,ノ"},
      {"は,ば,ぱ,ハ,バ,パ", "ひ,び,ぴ,ヒ,ビ,ピ", "ふ,ぶ,ぷ,フ,ブ,プ", "へ,べ,ぺ,ヘ,ベ,ペ", "ほ,ぼ,ぽ,ホ,ボ,ポ"},
      {"ま,マ", "み,ミ", "む,ム", "め,メ", "も,モ"},
      {"や,ゃ,ヤ", "~", "ゆ,ゅ,ユ,ュ", "~", "よ,ょ,ヨ,ョ"},
      {"ら,ラ", "り,リ", "る,ル", "れ,レ", "ろ,ロ"},
      {"わ,ゎ,ワ,ヮ", "~", "を,ヲ", "ー", "ん,ン"},
      {"A,a", "G,g", "M,m", "S,s", "。"},
      {"B,b", "H,h", "N,n", "T,t", "、"},
      {"C,c", "I,i", "O,o", "U,u", "！"},
      {"D,d", "J,j", "P,p", "V,v", "？"},
      {"E,e", "K,k", "Q,q", "W,w", "Y,y"},
      {"F,f", "L,l", "R,r", "X,x", "Z,z"},
      {"(,)", "「,」", "{,}", "[,]", "<,>"},
      {"＋", "－", "×", "÷", "\\,$"},
      {"0", "1", "2", "3", "4"},
      {"5", "6", "7", "8", "9"},
  };
  const StringList board = BuiltInBoard();
  ASSERT_EQ(board.size(), 100u);
  for (int col = 1; col <= 20; ++col) {
    for (int row = 1; row <= 5; ++row) {
      SCOPED_TRACE("row " + std::to_string(row) + ", column " + std::to_string(col));
      EXPECT_EQ(board[CellIndex(row, col)], Sj(columns[col - 1][row - 1]));
    }
  }
}

TEST(BoardModel, BuiltInBoardText) {
  const std::string& text = BuiltInBoardText();
  EXPECT_EQ(text.size(), 824u);
  EXPECT_EQ(ReadCommaText(text).size(), 100u);
  EXPECT_EQ(WriteCommaText(BuiltInBoard()), text);
  // Group cells quoted, single characters bare.
  EXPECT_EQ(text.rfind(Sj("\"あ,ぁ,ア,ァ\",\"か,が,カ,ガ,ヵ\","), 0), 0u);
  EXPECT_NE(text.find(Sj(",＋,0,5,")), std::string::npos);
  EXPECT_NE(text.find(Sj(",\"<,>\",\"\\,$\",4,9")), std::string::npos);
  // The last cell ends the text: no trailing comma, no extra item.
  EXPECT_EQ(text.back(), '9');

  // Row 5, column 18 is the single bytes 0x5C and 0x24, not a yen sign.
  const std::string yenCell = BuiltInBoard()[CellIndex(5, 18)];
  EXPECT_EQ(yenCell, "\x5c,\x24");
  EXPECT_EQ(Variants(yenCell), (StringList{"\x5c", "\x24"}));
}

TEST(BoardModel, DefaultUserTabContents) {
  const StringList tab1 = ReadCommaText(DefaultUserTabContent(1));
  const StringList tab2 = ReadCommaText(DefaultUserTabContent(2));
  ASSERT_EQ(tab1.size(), 167u);
  ASSERT_EQ(tab2.size(), 167u);
  EXPECT_EQ(tab1[CellIndex(1, 1)], Sj("☆"));
  EXPECT_EQ(tab1[CellIndex(1, 2)], Sj("※"));
  EXPECT_EQ(tab2[CellIndex(1, 1)], Sj("こんにちは,さようなら"));
  EXPECT_EQ(Variants(tab2[0]), SjList({"こんにちは", "さようなら"}));
  for (std::size_t i = 2; i < tab1.size(); ++i) EXPECT_EQ(tab1[i], "~") << i;
  for (std::size_t i = 1; i < tab2.size(); ++i) EXPECT_EQ(tab2[i], "~") << i;
  // The "☆" of tab 1 is an ordinary one-character cell, not the cancel command.
  EXPECT_FALSE(CommandOfText(tab1[0]));
}

TEST(BoardModel, TabContentIsPaddedTo140) {
  struct Case {
    std::string text;
    std::size_t size;
    StringList leading;
  } cases[] = {
      {"", 140, {}},
      {"a,b", 140, {"a", "b"}},
      {",", 140, {"", ""}},
      {WriteCommaText(StringList(139, "x")), 140, StringList(139, "x")},
      {WriteCommaText(StringList(140, "x")), 140, StringList(140, "x")},
      {DefaultUserTabContent(1), 167, SjList({"☆", "※", "~"})},
      {WriteCommaText(StringList(200, "y")), 200, StringList(200, "y")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 30));
    const StringList items = ReadTabContent(c.text);
    ASSERT_EQ(items.size(), c.size);
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i], i < c.leading.size() ? c.leading[i] : "~") << i;
    }
  }
}

TEST(BoardModel, TabNamesAreExactlyThree) {
  const std::pair<std::string, StringList> cases[] = {
      {Sj("基本,拡張１,拡張２"), SjList({"基本", "拡張１", "拡張２"})},
      {"a", {"a", "", ""}},
      {"", {"", "", ""}},
      {"a,b,c,d", {"a", "b", "c"}},
      {"\"x y\",\"p,q\",z", {"x y", "p,q", "z"}},
  };
  for (const auto& [text, names] : cases) EXPECT_EQ(ReadTabNames(text), names) << text;
}

TEST(BoardModel, CommandTokensAreRecognisedWhole) {
  const std::pair<const char*, Command> tokens[] = {
      {"改~", Command::NewLine}, {"←~", Command::Left},      {"→~", Command::Right},      {"↑~", Command::Up},
      {"↓~", Command::Down},     {"挿~", Command::Blank},    {"削~", Command::Delete},    {"BS~", Command::BackSpace},
      {"戻", Command::Undo},     {"直", Command::Redo},      {"《~", Command::PrevTab},   {"》~", Command::NextTab},
      {"新~", Command::New},     {"開~", Command::Open},     {"書~", Command::Save},      {"名~", Command::SaveAs},
      {"印~", Command::Print},   {"終~", Command::Quit},     {"☆~", Command::CancelSlot}, {"変~", Command::Convert},
      {"話~", Command::Speak},   {"゛~", Command::Modifier}, {"休~", Command::Pause},     {"設~", Command::Settings},
      {"鈴~", Command::CallBell},  {"文~", Command::Sentences}, {"忘~", Command::ForgetOne},
  };
  // Every command with a token is here; the others (find, replace and the
  // menu's own items) have no board cell.
  int withTokens = 0;
  for (const CommandEntry& entry : AllCommands()) withTokens += *entry.token != '\0';
  EXPECT_EQ(static_cast<int>(std::size(tokens)), withTokens);
  for (const auto& [utf8, command] : tokens) {
    SCOPED_TRACE(utf8);
    EXPECT_EQ(CommandOfText(Sj(utf8)), command);
    EXPECT_EQ(CommandToken(command), Sj(utf8));
  }

  const char* ordinary[] = {"改~~", "戻 ", " 戻", "☆",     "改",     "改～",  "bs~", "BS",
                            "BS~ ", "~",   "",    "戻,直", "\"戻\"", "終~,x", "☆~~", "直~"};
  for (const char* utf8 : ordinary) EXPECT_FALSE(CommandOfText(Sj(utf8))) << utf8;
}

TEST(BoardModel, CommandPlaces) {
  const char* row6[] = {"改~", "←~", "→~", "↑~", "↓~", "挿~", "削~", "BS~", "戻", "直", "変~", "話~", "゛~"};
  const char* row7[] = {"《~", "》~", "新~", "開~", "書~", "名~", "印~", "終~", "休~", "設~", "鈴~", "文~", "忘~"};
  // -1 is where the grid reports a point on no cell.
  for (int col = -1; col <= 21; ++col) {
    for (int row = -1; row <= 8; ++row) {
      SCOPED_TRACE("row " + std::to_string(row) + ", column " + std::to_string(col));
      const char* expected = nullptr;
      if (row == 6 && col >= 1 && col <= 13) expected = row6[col - 1];
      if (row == 7 && col >= 1 && col <= 13) expected = row7[col - 1];
      const auto command = CommandAt(col, row);
      if (expected) {
        ASSERT_TRUE(command);
        EXPECT_EQ(CommandToken(*command), Sj(expected));
      } else {
        EXPECT_FALSE(command);
      }
    }
  }
}

// A blank outside quotes separates variants like a comma; inside quotes it
// stays in the one variant.
TEST(BoardModel, VariantsOfCellTexts) {
  const std::pair<std::string, StringList> cases[] = {
      {"two words", {"two", "words"}},
      {"\"two words\"", {"two words"}},
      {"a,b,c", {"a", "b", "c"}},
      {"x\ty", {"x", "y"}},
      {"\"a,b\",c", {"a,b", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"~", {"~"}},
      {"", {}},
      {Sj("こんにちは,さようなら"), SjList({"こんにちは", "さようなら"})},
      {Sj("つ,っ,づ,ツ,ッ,ヅ"), SjList({"つ", "っ", "づ", "ツ", "ッ", "ヅ"})},
      {Sj("ソ,表"), SjList({"ソ", "表"})},  // second byte 0x5C is no separator or escape
  };
  for (const auto& [text, variants] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Variants(text), variants);
  }
}

TEST(BoardModel, CellLabels) {
  struct Case {
    std::string text;
    std::string builtInLabel;
    std::string userLabel;
  } cases[] = {
      {Sj("か,が,カ,ガ,ヵ"), Sj("か"), Sj("か,が,カ,ガ,ヵ")},
      {"(,)", "(", "(,)"},
      {"\\,$", "\\", "\\,$"},
      {Sj("＋"), Sj("＋"), Sj("＋")},
      {"~", "", ""},
      {"~~", "~~", "~~"},
      {"", "", ""},
      {"\"a,b\",c", "a,b", "\"a,b\",c"},
      {"two words", "two", "two words"},
      {Sj("改~"), Sj("改~"), Sj("改~")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CellLabel(c.text, true), c.builtInLabel);
    EXPECT_EQ(CellLabel(c.text, false), c.userLabel);
  }
}
