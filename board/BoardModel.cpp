#include "board/BoardModel.h"

#include <array>

#include "core/Cp932.h"

namespace velkor::board {

namespace {

const std::array<std::string, kCommandCount>& TokenTexts() {
  static const std::array<std::string, kCommandCount> texts = [] {
    std::array<std::string, kCommandCount> out;
    for (const CommandEntry& entry : AllCommands()) out[static_cast<int>(entry.id)] = cp932::FromUtf8(entry.token);
    return out;
  }();
  return texts;
}

// The built-in board, row by row: the syllabary in columns 1 to 10 with あ at
// the left, Latin letters and punctuation in 11 to 16, brackets, signs and the
// digit keypad in 17 to 20. "\" is the single byte 0x5C.
// clang-format off
constexpr std::array<const char*, kContentCells> kBuiltInCells = {
    // Row 1
    "あ,ぁ,ア,ァ", "か,が,カ,ガ,ヵ", "さ,ざ,サ,ザ", "た,だ,タ,ダ", "な,ナ",
    "は,ば,ぱ,ハ,バ,パ", "ま,マ", "や,ゃ,ヤ", "ら,ラ", "わ,ゎ,ワ,ヮ",
    "A,a", "B,b", "C,c", "D,d", "E,e", "F,f", "(,)", "＋", "0", "5",
    // Row 2
    "い,ぃ,イ,ィ", "き,ぎ,キ,ギ", "し,じ,シ,ジ", "ち,ぢ,チ,ヂ", "に,ニ",
    "ひ,び,ぴ,ヒ,ビ,ピ", "み,ミ", "~", "り,リ", "~",
    "G,g", "H,h", "I,i", "J,j", "K,k", "L,l", "「,」", "－", "1", "6",
    // Row 3
    "う,ぅ,ウ,ゥ", "く,ぐ,ク,グ", "す,ず,ス,ズ", "つ,っ,づ,ツ,ッ,ヅ", "ぬ,ヌ",
    "ふ,ぶ,ぷ,フ,ブ,プ", "む,ム", "ゆ,ゅ,ユ,ュ", "る,ル", "を,ヲ",
    "M,m", "N,n", "O,o", "P,p", "Q,q", "R,r", "{,}", "×", "2", "7",
    // Row 4
    "え,ぇ,エ,ェ", "け,げ,ケ,ゲ", "せ,ぜ,セ,ゼ", "て,で,テ,デ", "ね,ネ",
    "へ,べ,ぺ,ヘ,ベ,ペ", "め,メ", "~", "れ,レ", "ー",
    "S,s", "T,t", "U,u", "V,v", "W,w", "X,x", "[,]", "÷", "3", "8",
    // Row 5
    "お,ぉ,オ,ォ", "こ,ご,コ,ゴ", "そ,ぞ,ソ,ゾ", "と,ど,ト,ド", "の,ノ",
    "ほ,ぼ,ぽ,ホ,ボ,ポ", "も,モ", "よ,ょ,ヨ,ョ", "ろ,ロ", "ん,ン",
    "。", "、", "！", "？", "Y,y", "Z,z", "<,>", "\\,$", "4", "9",
};
// clang-format on

// The fillers after a user tab's first row: 7 rounds of 21 empty markers.
std::string FillerText() { return WriteCommaText(StringList(7 * 21, std::string(kEmptyMarker))); }

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

}  // namespace

const std::string& CommandToken(Command command) { return TokenTexts()[static_cast<int>(command)]; }

std::optional<Command> CommandOfText(std::string_view cellText) {
  const auto& texts = TokenTexts();
  if (cellText.empty()) return std::nullopt;
  for (int i = 0; i < kCommandCount; ++i) {
    if (texts[i] == cellText) return static_cast<Command>(i);
  }
  return std::nullopt;
}

std::optional<Command> CommandAt(int col, int row) {
  for (const CommandEntry& entry : AllCommands()) {
    if (entry.row == 0) continue;  // not on the board, or placed only by the slot board
    if (entry.row == row && entry.col == col) return entry.id;
  }
  return std::nullopt;
}

const std::string& BuiltInBoardText() {
  static const std::string text = [] {
    StringList cells;
    cells.reserve(kContentCells);
    for (const char* cell : kBuiltInCells) cells.push_back(cp932::FromUtf8(cell));
    return WriteCommaText(cells);
  }();
  return text;
}

StringList BuiltInBoard() { return ReadCommaText(BuiltInBoardText()); }

std::string DefaultUserTabContent(int tab) {
  const std::string tilde(kEmptyMarker);
  if (tab == 1) {
    return cp932::FromUtf8("☆,※,") + Repeat(tilde + ",", 18) + FillerText();
  }
  return WriteCommaText({cp932::FromUtf8("こんにちは,さようなら")}) + "," + Repeat(tilde + ",", 19) + FillerText();
}

StringList Variants(std::string_view cellText) { return ReadCommaText(cellText); }

std::string CellLabel(std::string_view cellText, bool builtInTab) {
  if (cellText == kEmptyMarker) return {};
  if (!builtInTab) return std::string(cellText);
  StringList variants = Variants(cellText);
  return variants.empty() ? std::string() : variants.front();
}

StringList ReadTabContent(std::string_view commaText) {
  StringList items = ReadCommaText(commaText);
  if (items.size() < static_cast<std::size_t>(kTabListMinItems)) {
    items.resize(kTabListMinItems, std::string(kEmptyMarker));
  }
  return items;
}

StringList ReadTabNames(std::string_view commaText) {
  StringList names = ReadCommaText(commaText);
  names.resize(kTabCount);
  return names;
}

}  // namespace velkor::board
