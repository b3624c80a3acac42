#include "input/Prediction.h"

#include <algorithm>

#include "core/Cp932.h"
#include "document/CaretMoves.h"

namespace velkor {
namespace {

bool IsHiragana(std::string_view character) {
  const std::u16string c = cp932::Decode(character);
  return c.size() == 1 && c[0] >= u'ぁ' && c[0] <= u'ゖ';
}

void AddUnique(StringList& row, const StringList& more, std::size_t cells) {
  for (const std::string& candidate : more) {
    if (row.size() == cells) return;
    if (std::find(row.begin(), row.end(), candidate) == row.end()) row.push_back(candidate);
  }
}

}  // namespace

std::string Prediction::ReadingBefore(const std::string& text, std::size_t caret) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  std::size_t start = caret;
  while (start > 0) {
    const std::size_t previous = caret::Left(text, start);
    if (!IsHiragana(std::string_view(text).substr(previous, start - previous))) break;
    start = previous;
  }
  return text.substr(start, caret - start);
}

Prediction::Offer Prediction::Row(const std::string& text, std::size_t caret, std::size_t cells) const {
  Offer offer;
  if (cells == 0) return offer;
  const std::string kana = ReadingBefore(text, caret);
  if (kana.empty()) {
    AddUnique(offer.candidates, engine_.Next(text.substr(0, std::min(caret, text.size())), cells), cells);
    return offer;
  }
  // The longest end of the kana run that has candidates: whole first, then
  // one character shorter at a time.
  for (std::size_t start = 0; start < kana.size(); start = cp932::NextCharPos(kana, start)) {
    const std::string reading = kana.substr(start);
    AddUnique(offer.candidates, learning_.Candidates(reading, cells), cells);
    AddUnique(offer.candidates, engine_.Complete(reading, cells), cells);
    if (!offer.candidates.empty()) {
      offer.reading = reading;
      return offer;
    }
  }
  return offer;
}

void Prediction::Choose(IEditArea& edit, TextEdits& edits, const Offer& offer, const std::string& candidate) {
  const std::string text = edit.Text();
  const std::size_t caret = caret::Snap(text, static_cast<std::size_t>(std::max(0, edit.SelStart())));
  // Only the reading that is still there before the caret is replaced.
  const std::string before = ReadingBefore(text, caret);
  const bool there = before.size() >= offer.reading.size() &&
                     before.compare(before.size() - offer.reading.size(), std::string::npos, offer.reading) == 0;
  const std::size_t replaced = there ? offer.reading.size() : 0;
  edit.SetSelStart(static_cast<int>(caret - replaced));
  edit.SetSelLength(static_cast<int>(replaced));
  edits.ReplaceSelection(candidate);
  if (there) learning_.Learn(offer.reading, candidate);
}

}  // namespace velkor
