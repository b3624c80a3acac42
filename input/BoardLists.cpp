#include "input/BoardLists.h"

#include "core/Cp932.h"

namespace velkor {

namespace {

using cp932::Sj;

}  // namespace

CellPos BoardLists::ListShape(int m) {
  if (m <= 2) return {2, 1};
  if (m <= 4) return {2, 2};
  if (m == 5) return {2, 3};
  if (m == 6) return {3, 2};
  if (m <= 9) return {3, 3};
  return {4, 4};
}

void BoardLists::OpenVariants(const StringList& variants) {
  Open(Kind::Variants, variants, ListShape(static_cast<int>(variants.size())));
}

void BoardLists::StartConversion() {
  Hide();
  const std::string message = conversion_.Start();
  if (!message.empty()) {
    docs_.Message(message);
    return;
  }
  // The arrow keys start on the first candidate; the controls are a step
  // or two up.
  Open(Kind::Conversion, conversion_.Cells(), {Conversion::kCols, Conversion::kRows},
       {Conversion::kFirstCandidateCell % Conversion::kCols, Conversion::kFirstCandidateCell / Conversion::kCols});
  p_.sgd01.FitToText();
}

void BoardLists::Open(Kind kind, const StringList& cells, CellPos shape, CellPos current) {
  IVariantList& list = p_.sgd01;
  const int cellWidth = p_.sgd00.ColWidth(anchor_.col);
  const int cellHeight = p_.sgd00.RowHeight(anchor_.row);
  kind_ = kind;
  shape_ = shape;
  list.SetCellSize(cellWidth, cellHeight);
  list.SetFont(p_.sgd00.Font());
  list.SetShape(shape.col, shape.row);
  Fill(cells);
  const Rect cell = p_.sgd00.CellRect(anchor_.col, anchor_.row);
  list.SetGeometry({cell.left, cell.top, cellWidth * shape.col + 10, cellHeight * shape.row + 10});
  list.SetCol(current.col);
  list.SetRow(current.row);
  list.SetVisible(true);
  list.SetFocus();
  ShownChanged();
}

void BoardLists::Fill(const StringList& cells) {
  cells_ = cells;
  cells_.resize(static_cast<std::size_t>(shape_.col * shape_.row));
  for (int r = 0; r < shape_.row; ++r) {
    p_.sgd01.ClearRow(r);
    for (int c = 0; c < shape_.col; ++c) {
      const std::string& text = cells_[static_cast<std::size_t>(r * shape_.col + c)];
      if (!text.empty()) p_.sgd01.SetCellText(c, r, text);
    }
  }
}

std::string BoardLists::CellText(CellPos cell) const {
  const int index = IndexOf(cell);
  return index < 0 ? std::string() : cells_[static_cast<std::size_t>(index)];
}

int BoardLists::IndexOf(CellPos cell) const {
  if (!Visible() || cell.col < 0 || cell.row < 0 || cell.col >= shape_.col || cell.row >= shape_.row) return -1;
  return cell.row * shape_.col + cell.col;
}

StatusText BoardLists::Describe(CellPos cell) const {
  const std::string text = CellText(cell);
  if (kind_ == Kind::Conversion) {
    // The conversion tells its cells by their place: an accept cell and a
    // candidate may read alike.
    bool control = false;
    const std::string said = conversion_.Describe(IndexOf(cell), &control);
    return {said, control ? status::kBlue : status::kRed};
  }
  if (text.empty()) return {"", status::kRed};
  return {Sj("「") + text + Sj("」を入力"), status::kRed};
}

std::string BoardLists::Choose(CellPos cell) {
  const std::string text = CellText(cell);
  if (text.empty()) return {};
  if (kind_ == Kind::Variants) {
    Hide();
    return text;
  }
  if (conversion_.Choose(IndexOf(cell))) {
    Fill(conversion_.Cells());
    p_.sgd01.FitToText();
    ShownChanged();
  } else {
    kind_ = Kind::None;
    p_.sgd01.SetVisible(false);
    ShownChanged();
  }
  return {};
}

void BoardLists::Hide() {
  if (!Visible()) return;
  kind_ = Kind::None;
  cells_.clear();
  p_.sgd01.SetVisible(false);
  if (conversion_.Abandon()) docs_.Message(Sj("変換を終了しました"));
  ShownChanged();
}

void BoardLists::ShownChanged() const {
  if (shownChanged_) shownChanged_();
}

}  // namespace velkor
