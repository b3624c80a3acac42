#include "input/PredictionRow.h"

#include <algorithm>

namespace velkor {

void PredictionRow::Refresh() {
  // A choice changes the text, which refreshes the row: once is enough.
  if (filling_) return;
  const int cells = state_.settings.PredictionCells();
  const std::string text = p_.memMain.Text();
  const std::size_t caret = static_cast<std::size_t>(std::max(0, p_.memMain.SelStart()));
  Prediction::Offer offer = prediction_.Row(text, caret, static_cast<std::size_t>(cells));
  const bool changed = offer.candidates != offer_.candidates || cells != p_.row.CellCount();
  offer_ = std::move(offer);
  if (!changed) return;
  p_.row.SetCells(cells, offer_.candidates);
  if (p_.row.Current() >= cells) p_.row.SetCurrent(cells - 1);
  if (state_.onCandidates == kOnPredictionRow) {
    state_.rowJustFilled = true;
    p_.tmrInput0.Stop();
    state_.dwellTicks = 0;
    if (const auto pointer = p_.pointer.Position()) {
      state_.rowAnchorX = pointer->x;
      state_.rowAnchorY = pointer->y;
    }
  }
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
  prediction_.Wrote(p_.memMain.Text(), static_cast<std::size_t>(std::max(0, p_.memMain.SelStart())));
}

}  // namespace velkor
