#include "input/PredictionRow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/Cp932.h"

namespace velkor {

namespace {

// `fresh` laid out so that a candidate that was shown keeps its cell while
// it is still offered; the others fill the free cells in their order. A
// free cell between them is empty.
Prediction::Offer KeepCells(const Prediction::Offer& shown, const Prediction::Offer& fresh, std::size_t cells) {
  constexpr std::size_t kFree = static_cast<std::size_t>(-1);
  std::vector<std::size_t> at(cells, kFree);
  std::vector<bool> placed(fresh.candidates.size(), false);
  for (std::size_t cell = 0; cell < cells && cell < shown.candidates.size(); ++cell) {
    if (shown.candidates[cell].empty()) continue;
    const auto it = std::find(fresh.candidates.begin(), fresh.candidates.end(), shown.candidates[cell]);
    if (it == fresh.candidates.end()) continue;
    at[cell] = static_cast<std::size_t>(it - fresh.candidates.begin());
    placed[at[cell]] = true;
  }
  std::size_t next = 0;
  for (std::size_t& index : at) {
    if (index != kFree) continue;
    while (next < placed.size() && placed[next]) ++next;
    if (next == placed.size()) break;
    index = next;
    placed[next] = true;
  }
  Prediction::Offer out;
  std::size_t used = cells;
  while (used > 0 && at[used - 1] == kFree) --used;
  for (std::size_t cell = 0; cell < used; ++cell) {
    const std::size_t i = at[cell];
    out.candidates.push_back(i == kFree ? std::string() : fresh.candidates[i]);
    out.replaces.push_back(i == kFree ? std::string() : fresh.replaces[i]);
    out.readings.push_back(i == kFree || i >= fresh.readings.size() ? std::string() : fresh.readings[i]);
    out.learned.push_back(i == kFree || i >= fresh.learned.size() ? std::string() : fresh.learned[i]);
  }
  return out;
}

}  // namespace

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
  // A candidate the user has seen keeps its cell while more is written.
  Prediction::Offer offer = KeepCells(
      offer_, prediction_.Row(before.text, before.text.size(), static_cast<std::size_t>(cells), before.origin),
      static_cast<std::size_t>(std::max(0, cells)));
  const bool changed = offer.candidates != offer_.candidates || cells != p_.row.CellCount();
  offer_ = std::move(offer);
  if (!changed) return;
  p_.row.SetCells(cells, offer_.candidates);
  if (p_.row.Current() >= cells) p_.row.SetCurrent(cells - 1);
  // Candidates that appeared under a resting pointer are not read yet.
  if (refilled_) refilled_();
}

bool PredictionRow::Choose(int cell) {
  if (cell < 0 || static_cast<std::size_t>(cell) >= offer_.candidates.size() ||
      offer_.candidates[static_cast<std::size_t>(cell)].empty()) {
    return false;
  }
  filling_ = true;
  prediction_.Choose(p_.memMain, edits_, offer_, static_cast<std::size_t>(cell));
  filling_ = false;
  Refresh();
  return true;
}

std::string PredictionRow::LearnedText(int cell) const {
  if (cell < 0) return {};
  return prediction_.LearnedSource(offer_, static_cast<std::size_t>(cell));
}

bool PredictionRow::Forget(int cell) {
  const std::string learned = LearnedText(cell);
  if (learned.empty()) return false;
  prediction_.Forget(learned);
  Refresh();
  if (forgot_) forgot_(learned);
  return true;
}

void PredictionRow::Wrote() {
  const Before before = TextBefore();
  prediction_.Wrote(before.text, before.text.size(), before.origin);
}

}  // namespace velkor
