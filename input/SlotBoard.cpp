#include "input/SlotBoard.h"

#include <cstdio>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "core/InputMode.h"

namespace velkor {

namespace {

using cp932::Sj;

// The name of the document shown: its file's name without the folder and
// extension, or 無題 while it is untitled.
std::string DocumentName(const std::string& path) {
  if (path.empty()) return Sj("無題");
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return cp932::FromUtf8(name);
}

}  // namespace

std::optional<int> SlotBoard::SlotAt(CellPos cell) {
  if (!board::IsContentCell(cell.col, cell.row)) return std::nullopt;
  return board::CellIndex(cell.row, cell.col);
}

std::string SlotBoard::Label(CellPos cell) {
  const auto slot = SlotAt(cell);
  if (!slot) return board::CommandToken(Command::CancelSlot);
  char digits[4];
  std::snprintf(digits, sizeof digits, "%.2d", *slot);
  return digits;
}

void SlotBoard::Show(Command command) {
  pending_ = command;
  previews_.clear();
  p_.sgd00.SetFixedColour(Opens() ? colours::clBtnFace : colours::Rgb(166, 202, 240));
  const std::string prefix = Sj(Opens() ? "開く：" : "保存：");
  const int size = p_.sgd00.DefaultRowHeight();
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    if (row <= board::kContentRows) p_.sgd00.SetRowHeight(row, size);
    for (int col = 1; col <= board::kContentCols; ++col) {
      if (row == 1) p_.sgd00.SetColWidth(col, size);
      p_.sgd00.SetCellText(col, row, Label({col, row}));
      if (const auto slot = SlotAt({col, row})) previews_.push_back(docs_.SlotPreviewOf(*slot, prefix));
    }
  }
  // Saving starts on the first empty slot: the cheapest choice never
  // replaces a document.
  start_ = {1, 1};
  if (!Opens()) {
    for (std::size_t n = 0; n < previews_.size(); ++n) {
      if (previews_[n] != prefix + Sj("空")) continue;
      start_ = {board::ColOfIndex(static_cast<int>(n)), board::RowOfIndex(static_cast<int>(n))};
      break;
    }
  }
  p_.sgd00.SetCol(start_.col);
  p_.sgd00.SetRow(start_.row);
  p_.tabC00.SetVisible(false);
  board_.ShowFace(BoardFace::Slots);
}

StatusText SlotBoard::Describe(CellPos cell) const {
  const auto slot = SlotAt(cell);
  if (!slot) return {Sj("キャンセル"), status::kBlue};
  const std::size_t n = static_cast<std::size_t>(*slot);
  const std::string preview = n < previews_.size() ? previews_[n] : std::string();
  if (pending_ == Command::New && preview == Sj("開く：空")) {
    // A new document in an empty slot: the one shown is closed first (its
    // unsaved text kept, as always).
    if (p_.memMain.Text().empty()) return {Sj("新規：空"), status::kRed};
    return {Sj("新規：") + DocumentName(state_.curFileName) + Sj("を閉じて新しく"), status::kRed};
  }
  return {preview, status::kRed};
}

bool SlotBoard::Replaces(CellPos cell) const {
  const auto slot = SlotAt(cell);
  if (Opens() || !slot) return false;
  const std::size_t n = static_cast<std::size_t>(*slot);
  const bool empty = n < previews_.size() && previews_[n] == Sj("保存：空");
  return !empty && docs_.SlotPathOf(*slot) != state_.curFileName;
}

void SlotBoard::Choose(CellPos cell) {
  // Only a slot of the board names a file: nothing outside the data folder
  // is ever touched.
  const auto slot = SlotAt(cell);
  if (slot && Replaces(cell) && ClickModeOn(state_.settings)) {
    const std::string name = DocumentName(docs_.SlotPathOf(*slot));
    if (!p_.window.AskYesNo(name + Sj(" はすでに存在します。上書きしますか？"))) return;
  }
  if (slot) {
    const std::string path = docs_.SlotPathOf(*slot);
    if (Opens()) {
      docs_.OpenDocument(path);
    } else {
      const std::string previous = state_.curFileName;
      state_.curFileName = path;
      // A slot that could not be written does not become the document's file.
      if (!docs_.SaveDocument(path)) state_.curFileName = previous;
    }
  }
  board_.FillBoard();
}

void SlotBoard::Cancel() {
  if (Shown()) board_.FillBoard();
}

}  // namespace velkor
