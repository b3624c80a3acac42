#include "input/SentenceBoard.h"

#include <algorithm>

#include "board/BoardModel.h"
#include "core/Cp932.h"

namespace velkor {

namespace {

using cp932::Sj;

// A sentence cell is this many of the board's cells wide at the least.
constexpr int kCellsPerSentence = 4;
constexpr int kMaxColumns = 5;

}  // namespace

SentenceBoard::SentenceBoard(ProgramState& state, Ports ports, BoardDisplay& board, const Learning& learning)
    : state_(state), p_(ports), board_(board), learning_(learning) {}

const std::vector<const char*>& SentenceBoard::Defaults() {
  static const std::vector<const char*> sentences = {
      "はい",
      "いいえ",
      "ありがとう",
      "ちょっと待ってください",
      "わかりません",
      "痛いです",
      "体の向きを変えてください",
      "お願いします",
      "水をください",
      "トイレに行きたいです",
      "寒いです",
      "暑いです",
      "少し休みたいです",
      "大丈夫です",
      "もう一度言ってください",
  };
  return sentences;
}

std::vector<std::string> SentenceBoard::Sentences(std::size_t max) const {
  // The user's own, most used first, then the everyday ones they push out.
  std::vector<std::string> out = learning_.Continuations("", max);
  for (const char* utf8 : Defaults()) {
    if (out.size() >= max) break;
    const std::string sentence = Sj(utf8);
    if (std::find(out.begin(), out.end(), sentence) == out.end()) out.push_back(sentence);
  }
  return out;
}

int SentenceBoard::Columns() const {
  const int cell = std::max(1, p_.sgd00.DefaultRowHeight());
  const int fit = (p_.sgd00.AreaWidth() - board::kFixedSize) / (cell * kCellsPerSentence);
  return std::clamp(fit, 1, kMaxColumns);
}

void SentenceBoard::Show() {
  columns_ = Columns();
  shown_ = Sentences(static_cast<std::size_t>(columns_ * kRows));
  IBoardGrid& grid = p_.sgd00;
  p_.tabC00.SetVisible(false);
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    for (int col = 1; col <= board::kContentCols; ++col) {
      grid.SetCellText(col, row, Leaves(col, row) ? board::CommandToken(Command::CancelSlot) : SentenceAt(col, row));
    }
  }
  grid.SetScanMark({});
  grid.SetCol(1);
  grid.SetRow(1);
  Layout();
  board_.ShowFace(BoardFace::Sentences);
}

void SentenceBoard::Layout() {
  IBoardGrid& grid = p_.sgd00;
  const int size = grid.DefaultRowHeight();
  const int width = std::max(size * kCellsPerSentence, (grid.AreaWidth() - board::kFixedSize) / columns_);
  for (int col = 1; col <= board::kContentCols; ++col) grid.SetColWidth(col, col <= columns_ ? width : 0);
  for (int row = 1; row <= board::kLastCommandRow; ++row) grid.SetRowHeight(row, size);
}

std::string SentenceBoard::SentenceAt(int col, int row) const {
  if (col < 1 || col > columns_ || row < 1 || row > kRows) return {};
  const std::size_t index = static_cast<std::size_t>((row - 1) * columns_ + (col - 1));
  return index < shown_.size() ? shown_[index] : std::string();
}

bool SentenceBoard::Leaves(int col, int row) const {
  return row == board::kLastCommandRow && col >= 1 && col <= columns_;
}

StatusText SentenceBoard::Status(int col, int row) const {
  if (Leaves(col, row)) return {Sj("よく使う文を閉じる"), status::kBlue};
  const std::string sentence = SentenceAt(col, row);
  if (sentence.empty()) return {"", status::kBlack};
  const bool writes = state_.settings.WriteSentence();
  return {Sj("「") + sentence + Sj(writes ? "」を読み上げて書く" : "」を読み上げる"), status::kBlue};
}

std::string SentenceBoard::Choose(int col, int row) {
  if (Leaves(col, row)) {
    board_.FillBoard();
    return {};
  }
  const std::string sentence = SentenceAt(col, row);
  if (sentence.empty()) return {};
  if (speak_) speak_(sentence);
  return state_.settings.WriteSentence() ? sentence : std::string();
}

}  // namespace velkor
