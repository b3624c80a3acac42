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
const char* const kCancel = "取消~";
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

std::string Conversion::FirstCandidates(int from, int to) const {
  std::string out;
  for (int s = from; s < to; ++s) {
    const std::vector<std::string> candidates = p_.converter.Candidates(s);
    out += candidates.empty() ? p_.converter.SegmentReading(s) : candidates.front();
  }
  return out;
}

StringList Conversion::Cells() {
  shown_.assign(static_cast<std::size_t>(kCells), std::string());
  if (!active_) return shown_;
  IConverter& engine = p_.converter;
  candidates_ = engine.Candidates(segment_);
  const std::size_t first = static_cast<std::size_t>(page_) * kPerPage;
  shown_[kShorterCell] = Sj(kShorter);
  shown_[kLongerCell] = Sj(kLonger);
  shown_[kNextCell] = first + kPerPage < candidates_.size() ? Sj(kNext) : std::string();
  shown_[kCancelCell] = Sj(kCancel);
  // Up to the second, third, fourth segment from here, while segments are
  // left after them (else 確~ does the same).
  for (int j = 0; j < kAcceptCells; ++j) {
    const int to = segment_ + 2 + j;
    if (to < engine.SegmentCount())
      shown_[static_cast<std::size_t>(kFirstAcceptCell + j)] = FirstCandidates(segment_, to);
  }
  shown_[kAcceptRestCell] = Sj(kAcceptRest);
  for (std::size_t i = 0; i < static_cast<std::size_t>(kPerPage) && first + i < candidates_.size(); ++i) {
    shown_[kFirstCandidateCell + i] = candidates_[first + i];
  }
  return shown_;
}

int Conversion::AcceptCount(int index) const {
  if (index < kFirstAcceptCell || index >= kFirstAcceptCell + kAcceptCells) return 0;
  if (static_cast<std::size_t>(index) >= shown_.size() || shown_[static_cast<std::size_t>(index)].empty()) return 0;
  return index - kFirstAcceptCell + 2;
}

void Conversion::Replace(const std::vector<Part>& parts) {
  // One change of the edit area: one journal entry; the caret ends after it.
  const std::string text = p_.memMain.Text();
  const std::size_t start = segmentStart_;
  std::size_t length = 0;
  std::string with;
  for (const Part& part : parts) {
    length += part.readingLength;
    with += part.text;
  }
  p_.memMain.SetSelStart(static_cast<int>(start));
  p_.memMain.SetSelLength(static_cast<int>(length));
  edits_.ReplaceSelection(with);
  segmentStart_ = start + with.size();
  if (!onConverted_) return;
  // Each part is told with the caret right after its text, as a choice of
  // that segment alone leaves it; the caret ends after the last.
  std::size_t readingAt = start;
  std::size_t end = start;
  for (const Part& part : parts) {
    const std::string reading = readingAt <= text.size() ? text.substr(readingAt, part.readingLength) : std::string();
    readingAt += part.readingLength;
    end += part.text.size();
    if (parts.size() > 1) p_.memMain.SetSelStart(static_cast<int>(end));
    onConverted_(reading, part.text);
  }
}

bool Conversion::Choose(int index) {
  if (!active_ || index < 0 || static_cast<std::size_t>(index) >= shown_.size() ||
      shown_[static_cast<std::size_t>(index)].empty()) {
    return active_;
  }
  const bool goesOn = Act(index);
  // What was shown no longer holds: Cells() shows the list anew.
  shown_.clear();
  return goesOn;
}

bool Conversion::Act(int index) {
  IConverter& engine = p_.converter;
  switch (index) {
    case kShorterCell:
    case kLongerCell:
      engine.Resize(segment_, index == kShorterCell ? -1 : +1);
      page_ = 0;
      return true;
    case kNextCell: ++page_; return true;
    case kCancelCell: Abandon(); return false;
    case kAcceptRestCell: return AcceptSegments(engine.SegmentCount() - segment_);
    default: break;
  }
  if (const int count = AcceptCount(index)) return AcceptSegments(count);
  return ChooseCandidate(static_cast<std::size_t>(page_) * kPerPage +
                         static_cast<std::size_t>(index - kFirstCandidateCell));
}

bool Conversion::AcceptSegments(int count) {
  // The segments' first candidates, as the cell shows them, as one change;
  // the engine learns each in order, and each is told as its own commit, so
  // that a sentence made of them is read from its parts as when each was
  // chosen alone.
  IConverter& engine = p_.converter;
  const int to = std::min(segment_ + count, engine.SegmentCount());
  std::vector<Part> parts;
  for (int s = segment_; s < to; ++s) parts.push_back({engine.SegmentReading(s).size(), FirstCandidates(s, s + 1)});
  for (int s = segment_; s < to; ++s) engine.Commit(s, 0);
  Replace(parts);
  return Advance(to);
}

bool Conversion::ChooseCandidate(std::size_t index) {
  // A candidate: it replaces this segment's reading.
  if (index >= candidates_.size()) return true;
  IConverter& engine = p_.converter;
  Replace({{engine.SegmentReading(segment_).size(), candidates_[index]}});
  engine.Commit(segment_, static_cast<int>(index));
  return Advance(segment_ + 1);
}

bool Conversion::Advance(int segment) {
  segment_ = segment;
  page_ = 0;
  if (segment_ >= p_.converter.SegmentCount()) {
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
  shown_.clear();
}

std::string Conversion::Describe(int index, bool* control) const {
  *control = false;
  if (!active_ || index < 0 || static_cast<std::size_t>(index) >= shown_.size()) return {};
  const std::string& cell = shown_[static_cast<std::size_t>(index)];
  if (cell.empty()) return {};
  *control = true;
  switch (index) {
    case kShorterCell: return Sj("文節を短く");
    case kLongerCell: return Sj("文節を長く");
    case kNextCell: return Sj("次の候補");
    case kCancelCell: return Sj("変換をやめる（かなのまま）");
    case kAcceptRestCell: {
      // What it writes: the engine's first candidate of this and every
      // remaining segment, as the choice will write it.
      const std::string rest = FirstCandidates(segment_, p_.converter.SegmentCount());
      return Sj("残りをすべて確定") + (rest.empty() ? std::string() : Sj("「") + rest + Sj("」"));
    }
    default: break;
  }
  if (AcceptCount(index) > 0) return Sj("ここまで確定「") + cell + Sj("」");
  *control = false;
  return Sj("「") + cell + Sj("」を入力");
}

}  // namespace velkor
