#include "input/PredictionRow.h"

#include <algorithm>

#include "core/Cp932.h"

namespace velkor {

PredictionRow::Before PredictionRow::TextBefore() const {
  const TextRope text = p_.memMain.Snapshot();
  const std::size_t caret = std::min(static_cast<std::size_t>(std::max(0, p_.memMain.SelStart())), text.size());
  const std::size_t lowest = caret > kLookBack ? caret - kLookBack : 0;
  // A line starts on a character boundary, and nothing the row looks at
  // reaches over a line break.
  std::size_t start = caret;
  while (start > lowest && text.At(start - 1) != '\n') --start;
  if (start == lowest && lowest > 0) {
    // A longer line: a byte that cannot begin a two-byte character ends one,
    // so the next byte starts one.
    while (start < caret && cp932::IsLeadByte(static_cast<unsigned char>(text.At(start)))) ++start;
    ++start;
    // Too few bytes left for a sentence and its reading (a long run of
    // bytes that may all begin characters): the whole text, this once.
    if (start > caret || caret - start < kLookBack / 2) return {text.Flatten().substr(0, caret), 0};
  }
  return {text.Substr(start, caret - start), start};
}

void PredictionRow::Refresh() {
  // A choice changes the text, which refreshes the row: once is enough.
  if (filling_) return;
  const int cells = state_.settings.PredictionCells();
  const Before before = TextBefore();
  Prediction::Offer offer =
      prediction_.Row(before.text, before.text.size(), static_cast<std::size_t>(cells), before.origin);
  const bool changed = offer.candidates != offer_.candidates || cells != p_.row.CellCount();
  offer_ = std::move(offer);
  if (!changed) return;
  p_.row.SetCells(cells, offer_.candidates);
  if (p_.row.Current() >= cells) p_.row.SetCurrent(cells - 1);
  // Candidates that appeared under a resting pointer are not read yet.
  if (refilled_) refilled_();
}

bool PredictionRow::Choose(int cell) {
  if (cell < 0 || static_cast<std::size_t>(cell) >= offer_.candidates.size()) return false;
  filling_ = true;
  prediction_.Choose(p_.memMain, edits_, offer_, static_cast<std::size_t>(cell));
  filling_ = false;
  Refresh();
  return true;
}

void PredictionRow::Wrote() {
  const Before before = TextBefore();
  prediction_.Wrote(before.text, before.text.size(), before.origin);
}

}  // namespace velkor
