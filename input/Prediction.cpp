#include "input/Prediction.h"

#include <algorithm>

#include "core/Cp932.h"
#include "document/CaretMoves.h"

namespace velkor {
namespace {

// Parts committed this session that are kept to find sentences' readings.
constexpr std::size_t kCommittedKept = 512;

char16_t Wide(std::string_view character) {
  const std::u16string c = cp932::Decode(character);
  return c.size() == 1 ? c[0] : 0;
}

bool IsHiragana(char16_t c) { return c >= u'ぁ' && c <= u'ゖ'; }
bool IsKatakana(char16_t c) { return c >= u'ァ' && c <= u'ヶ'; }
bool IsKanji(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) || c == u'々' ||
         c == u'〆' || c == 0;
}
bool IsPunctuation(char16_t c) {
  return c == u'、' || c == u'。' || c == u'，' || c == u'．' || c == u'！' || c == u'？';
}
bool EndsSentence(char16_t c) { return c == u'。' || c == u'！' || c == u'？'; }

// The characters of `text` before `caret`, back to (not including) the last
// one for which `stop` holds, a line break or the start.
template <typename Stop>
std::size_t StartOfRun(const std::string& text, std::size_t caret, Stop stop) {
  std::size_t start = caret;
  while (start > 0) {
    const std::size_t previous = caret::Left(text, start);
    const std::string_view character = std::string_view(text).substr(previous, start - previous);
    if (character == "\r\n" || character == "\n" || character == "\r" || stop(Wide(character))) break;
    start = previous;
  }
  return start;
}

void Add(Prediction::Offer& offer, const std::vector<Word>& more, const std::string& replaces, std::size_t cells) {
  for (const Word& word : more) {
    if (offer.candidates.size() == cells) return;
    // The reading itself would change nothing.
    if (word.form == replaces) continue;
    if (std::find(offer.candidates.begin(), offer.candidates.end(), word.form) != offer.candidates.end()) continue;
    offer.candidates.push_back(word.form);
    offer.replaces.push_back(replaces);
    offer.readings.push_back(word.reading);
  }
}

// Texts whose readings are not known.
std::vector<Word> Unread(const StringList& texts) {
  std::vector<Word> words;
  for (const std::string& text : texts) words.push_back({text, ""});
  return words;
}

}  // namespace

std::string Prediction::ReadingBefore(const std::string& text, std::size_t caret) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  const std::size_t start = StartOfRun(text, caret, [](char16_t c) { return !IsHiragana(c); });
  return text.substr(start, caret - start);
}

std::string Prediction::SentenceBefore(const std::string& text, std::size_t caret) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  const std::size_t start = StartOfRun(text, caret, EndsSentence);
  return text.substr(start, caret - start);
}

Prediction::Offer Prediction::Row(const std::string& text, std::size_t caret, std::size_t cells) const {
  Offer offer;
  if (cells == 0) return offer;
  caret = std::min(caret, text.size());
  Add(offer, Unread(learning_.Continuations(SentenceBefore(text, caret), cells)), "", cells);
  const std::string kana = ReadingBefore(text, caret);
  if (kana.empty()) {
    Add(offer, Unread(engine_.Next(text.substr(0, caret), cells)), "", cells);
    return offer;
  }
  // The longest end of the kana run that has candidates: whole first, then
  // one character shorter at a time.
  const std::size_t before = offer.candidates.size();
  for (std::size_t start = 0; start < kana.size() && offer.candidates.size() == before;
       start = cp932::NextCharPos(kana, start)) {
    const std::string reading = kana.substr(start);
    Add(offer, learning_.Words(reading, cells), reading, cells);
    Add(offer, engine_.Complete(reading, cells), reading, cells);
  }
  return offer;
}

void Prediction::Choose(IEditArea& edit, TextEdits& edits, const Offer& offer, std::size_t index) {
  if (index >= offer.candidates.size()) return;
  const std::string& candidate = offer.candidates[index];
  const std::string& reading = offer.replaces[index];
  const std::string& whole =
      index < offer.readings.size() && !offer.readings[index].empty() ? offer.readings[index] : reading;
  const std::string text = edit.Text();
  const std::size_t caret = caret::Snap(text, static_cast<std::size_t>(std::max(0, edit.SelStart())));
  // Only the reading that is still there before the caret is replaced.
  const std::string before = ReadingBefore(text, caret);
  const bool there = !reading.empty() && before.size() >= reading.size() &&
                     before.compare(before.size() - reading.size(), std::string::npos, reading) == 0;
  const std::size_t replaced = there ? reading.size() : 0;
  edit.SetSelStart(static_cast<int>(caret - replaced));
  edit.SetSelLength(static_cast<int>(replaced));
  edits.ReplaceSelection(candidate);
  if (there) {
    // Learned for its whole reading, so that writing it again from the start
    // finds it, and a sentence it is part of is read right.
    learning_.Learn(whole, candidate);
    Remember(whole, candidate);
  } else if (const auto known = ReadingOf(candidate)) {
    // The rest of a learned sentence, or a next word: its reading is known
    // when its parts are, so the sentence it completes can be learned.
    Remember(*known, candidate);
  }
  Wrote(edit.Text(), static_cast<std::size_t>(std::max(0, edit.SelStart())));
}

void Prediction::Converted(const std::string& reading, const std::string& text) {
  learning_.Learn(reading, text);
  Remember(reading, text);
}

void Prediction::Remember(const std::string& reading, const std::string& text) {
  if (reading.empty() || text.empty() || reading == text) return;
  committed_.emplace_back(text, reading);
  if (committed_.size() > kCommittedKept) committed_.pop_front();
}

void Prediction::Wrote(const std::string& text, std::size_t caret) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  if (caret == 0) return;
  const std::size_t markAt = caret::Left(text, caret);
  const char16_t mark = Wide(std::string_view(text).substr(markAt, caret - markAt));
  if (!IsPunctuation(mark)) return;
  // The kana since the last punctuation mark, as they stand.
  const std::size_t segmentStart = StartOfRun(text, markAt, IsPunctuation);
  const std::string segment = text.substr(segmentStart, markAt - segmentStart);
  const bool allKana = !segment.empty() && StartOfRun(segment, segment.size(),
                                                      [](char16_t c) { return !IsHiragana(c) && c != u'ー'; }) == 0;
  if (allKana) learning_.Learn(segment, segment);
  if (!EndsSentence(mark)) return;
  // The sentence this mark ends, the mark included.
  const std::string sentence = SentenceBefore(text, markAt) + text.substr(markAt, caret - markAt);
  if (sentence.size() <= caret - markAt) return;
  // A sentence learned before keeps its reading; a new one is read from its
  // parts.
  std::optional<std::string> reading = learning_.ReadingOf(sentence);
  if (!reading) reading = ReadingOf(sentence);
  if (reading) learning_.Learn(*reading, sentence);
}

std::optional<std::string> Prediction::ReadingOf(const std::string& written) const {
  std::string reading;
  std::size_t at = 0;
  while (at < written.size()) {
    // The longest part committed this session that stands here.
    std::size_t longest = 0;
    const std::string* partReading = nullptr;
    for (const auto& [text, read] : committed_) {
      if (text.size() > longest && written.compare(at, text.size(), text) == 0) {
        longest = text.size();
        partReading = &read;
      }
    }
    if (partReading != nullptr) {
      reading += *partReading;
      at += longest;
      continue;
    }
    const std::size_t next = cp932::NextCharPos(written, at);
    const std::string character = written.substr(at, next - at);
    const char16_t c = Wide(character);
    if (IsKanji(c)) return std::nullopt;
    // Katakana are read as the hiragana the board writes them from.
    reading +=
        IsKatakana(c) && c < u'ヵ' ? cp932::Encode(std::u16string(1, static_cast<char16_t>(c - 0x60))) : character;
    at = next;
  }
  return reading;
}

}  // namespace velkor
