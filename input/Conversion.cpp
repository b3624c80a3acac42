#include "input/Conversion.h"

#include <algorithm>

#include "document/CaretMoves.h"
#include "core/Cp932.h"

namespace velkor {

namespace {

using cp932::Sj;

const char* const kShorter = "短~";
const char* const kLonger = "長~";
const char* const kNext = "次~";
const char* const kAcceptRest = "確~";

bool IsHiraganaOrMark(unsigned char lead, unsigned char trail) {
  return (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) || (lead == 0x81 && trail == 0x5B);
}

bool IsKatakana(unsigned char lead, unsigned char trail) { return lead == 0x83 && trail >= 0x40 && trail <= 0x96; }

}  // namespace

std::string Conversion::Reading(std::size_t* start) const {
  const std::string text = p_.memMain.Text();
  const std::size_t selStart = static_cast<std::size_t>(std::max(0, p_.memMain.SelStart()));
  const std::size_t selLength = static_cast<std::size_t>(std::max(0, p_.memMain.SelLength()));
  if (selLength > 0) {
    // The selection, when it is all kana.
    const std::string selected = text.substr(selStart, selLength);
    for (std::size_t pos = 0; pos < selected.size(); pos += 2) {
      if (cp932::CharLength(selected, pos) != 2) return {};
      const auto lead = static_cast<unsigned char>(selected[pos]);
      const auto trail = static_cast<unsigned char>(selected[pos + 1]);
      if (!IsHiraganaOrMark(lead, trail) && !IsKatakana(lead, trail)) return {};
    }
    *start = selStart;
    return selected.size() <= static_cast<std::size_t>(2 * kMaxReading) ? selected : std::string();
  }
  std::size_t pos = caret::Snap(text, selStart);
  const std::size_t end = pos;
  int characters = 0;
  while (pos > 0 && characters < kMaxReading) {
    const std::size_t before = caret::CharBefore(text, pos);
    if (pos - before != 2 ||
        !IsHiraganaOrMark(static_cast<unsigned char>(text[before]), static_cast<unsigned char>(text[before + 1]))) {
      break;
    }
    pos = before;
    ++characters;
  }
  *start = pos;
  return text.substr(pos, end - pos);
}

std::string Conversion::Start() {
  End();
  std::size_t start = 0;
  const std::string reading = Reading(&start);
  if (reading.empty()) return Sj("変換する文字がありません");
  if (!p_.converter.Available() || !p_.converter.Begin(reading) || p_.converter.SegmentCount() == 0) {
    return Sj("変換エンジンがありません");
  }
  active_ = true;
  segment_ = 0;
  page_ = 0;
  segmentStart_ = start;
  return {};
}

StringList Conversion::Cells() {
  StringList cells(kCols * kRows);
  if (!active_) return cells;
  candidates_ = p_.converter.Candidates(segment_);
  const std::size_t first = static_cast<std::size_t>(page_) * kPerPage;
  for (std::size_t i = 0; i < static_cast<std::size_t>(kPerPage) && first + i < candidates_.size(); ++i) {
    cells[i] = candidates_[first + i];
  }
  cells[kPerPage + 0] = Sj(kShorter);
  cells[kPerPage + 1] = Sj(kLonger);
  cells[kPerPage + 2] = first + kPerPage < candidates_.size() ? Sj(kNext) : std::string();
  cells[kPerPage + 3] = Sj(kAcceptRest);
  return cells;
}

void Conversion::Replace(std::size_t length, const std::string& with) {
  // One change of the edit area: one journal entry; the caret ends after it.
  const std::string text = p_.memMain.Text();
  const std::string reading = segmentStart_ <= text.size() ? text.substr(segmentStart_, length) : std::string();
  p_.memMain.SetSelStart(static_cast<int>(segmentStart_));
  p_.memMain.SetSelLength(static_cast<int>(length));
  edits_.ReplaceSelection(with);
  segmentStart_ += with.size();
  if (onConverted_) onConverted_(reading, with);
}

bool Conversion::Choose(const std::string& cell) {
  if (!active_ || cell.empty()) return active_;
  IConverter& engine = p_.converter;
  if (cell == Sj(kShorter) || cell == Sj(kLonger)) {
    engine.Resize(segment_, cell == Sj(kShorter) ? -1 : +1);
    page_ = 0;
    return true;
  }
  if (cell == Sj(kNext)) {
    ++page_;
    return true;
  }
  if (cell == Sj(kAcceptRest)) {
    // The engine's first candidate for this and every remaining segment, as
    // one change.
    std::size_t length = 0;
    std::string converted;
    for (int s = segment_; s < engine.SegmentCount(); ++s) {
      length += engine.SegmentReading(s).size();
      const std::vector<std::string> candidates = engine.Candidates(s);
      converted += candidates.empty() ? engine.SegmentReading(s) : candidates.front();
    }
    for (int s = segment_; s < engine.SegmentCount(); ++s) engine.Commit(s, 0);
    Replace(length, converted);
    End();
    return false;
  }
  // A candidate: it replaces this segment's reading.
  const std::size_t first = static_cast<std::size_t>(page_) * kPerPage;
  std::size_t index = first;
  while (index < candidates_.size() && candidates_[index] != cell) ++index;
  if (index >= candidates_.size()) return true;
  Replace(engine.SegmentReading(segment_).size(), cell);
  engine.Commit(segment_, static_cast<int>(index));
  ++segment_;
  page_ = 0;
  if (segment_ >= engine.SegmentCount()) {
    End();
    return false;
  }
  return true;
}

bool Conversion::Abandon() {
  if (!active_) return false;
  std::size_t rest = 0;
  for (int s = segment_; s < p_.converter.SegmentCount(); ++s) rest += p_.converter.SegmentReading(s).size();
  const std::size_t end = std::min(segmentStart_ + rest, p_.memMain.Text().size());
  End();
  p_.memMain.SetSelStart(static_cast<int>(end));
  return true;
}

void Conversion::End() {
  if (active_) p_.converter.End();
  active_ = false;
  candidates_.clear();
}

std::string Conversion::Describe(const std::string& cell, bool* control) const {
  *control = true;
  if (cell == Sj(kShorter)) return Sj("文節を短く");
  if (cell == Sj(kLonger)) return Sj("文節を長く");
  if (cell == Sj(kNext)) return Sj("次の候補");
  if (cell == Sj(kAcceptRest)) {
    // What it writes: the engine's first candidate of this and every
    // remaining segment, as the choice will write it.
    std::string rest;
    for (int s = segment_; active_ && s < p_.converter.SegmentCount(); ++s) {
      const std::vector<std::string> candidates = p_.converter.Candidates(s);
      rest += candidates.empty() ? p_.converter.SegmentReading(s) : candidates.front();
    }
    return Sj("残りをすべて確定") + (rest.empty() ? std::string() : Sj("「") + rest + Sj("」"));
  }
  *control = false;
  if (cell.empty()) return {};
  return Sj("「") + cell + Sj("」を入力");
}

}  // namespace velkor
