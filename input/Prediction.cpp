#include "input/Prediction.h"

#include <algorithm>
#include <vector>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "document/CaretMoves.h"

namespace velkor {
namespace {

// Parts committed this session that are kept to find sentences' readings.
constexpr std::size_t kCommittedKept = 512;
// How much each character of the reading written lowers an engine word's
// cost in the row: a word that takes in more of what was written is the
// more likely.
constexpr long kLongerReadingCounts = 3000;
// Readings of the kana by the conversion engine offered on the row, when the
// phrases leave room for them.
constexpr std::size_t kConversionsOffered = 2;
// What writing the last kana other than it stands costs a word.
constexpr long kOtherLastKanaCosts = 1500;
// The phrase model's next phrases offered after a word before the kana
// phrases the user wrote after words (which take no account of the word).
constexpr std::size_t kNextPhrasesFirst = 4;
// After a word ending in kana, the rests of learned kana phrases that go on
// from its last one, two or three kana, this many for each.
constexpr std::size_t kTailKana = 3;
constexpr std::size_t kRestsPerTail = 4;

// The phrase model's phrases for the kana as written offered before its
// phrase for each kana the modifier would turn the last one into.
constexpr std::size_t kPhrasesBeforeTurned = 2;
// Learned kana phrases weighed for the row after a word: this many times
// the cells, of which the row takes those likeliest after the word.
constexpr std::size_t kKanaPhrasesWeighed = 3;
// What one place further down the order of use costs a learned word, and
// what a word the engine cannot judge costs, in the engine's units (8192 a
// tenfold drop in its chance).
constexpr long kPlaceCosts = 2000;
constexpr long kUnjudgedCosts = 40000;

char16_t Wide(std::string_view character) {
  const std::u16string c = cp932::Decode(character);
  return c.size() == 1 ? c[0] : 0;
}

bool IsHiragana(char16_t c) { return c >= u'ぁ' && c <= u'ゖ'; }

// `reading` with its last kana turned into each other hiragana of its board
// cell ("て" into "で", "つ" into "っ" and "づ"), as the modifier ゛~ would
// turn it: writing one of them with one selection a kana, the user may mean
// any other.
std::vector<std::string> OtherLastKana(const std::string& reading) {
  static const StringList cells = board::BuiltInBoard();
  std::vector<std::string> out;
  if (reading.empty()) return out;
  const std::size_t lastAt = cp932::PrevCharPos(reading, reading.size());
  const std::string last = reading.substr(lastAt);
  for (const std::string& cell : cells) {
    const StringList variants = board::Variants(cell);
    if (std::find(variants.begin(), variants.end(), last) == variants.end()) continue;
    for (const std::string& other : variants) {
      if (other != last && IsHiragana(Wide(other))) out.push_back(reading.substr(0, lastAt) + other);
    }
    break;
  }
  return out;
}

bool IsKatakana(char16_t c) { return c >= u'ァ' && c <= u'ヶ'; }
bool IsKanji(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) || c == u'々' ||
         c == u'〆' || c == 0;
}
bool IsPunctuation(char16_t c) {
  return c == u'、' || c == u'。' || c == u'，' || c == u'．' || c == u'！' || c == u'？';
}
bool EndsSentence(char16_t c) { return c == u'。' || c == u'！' || c == u'？'; }

// How far back a reading and a sentence are looked for: a reading longer
// than the conversion takes, or a sentence longer than this, is no word or
// sentence to offer or learn, and a long line costs no more per change.
constexpr std::size_t kLongestReading = 2 * Conversion::kMaxReading;
constexpr std::size_t kLongestSentence = 1024;

// The characters of `text` before `caret`, back to (not including) the last
// one for which `stop` holds, a line break or the start; at most `limit`
// bytes back (then the run's start is not known: nothing when `whole`).
template <typename Stop>
std::optional<std::size_t> StartOfRun(const std::string& text, std::size_t caret, Stop stop,
                                      std::size_t limit = std::string::npos, bool whole = false) {
  std::size_t start = caret;
  while (start > 0) {
    if (caret - start >= limit) {
      if (whole) return std::nullopt;
      break;
    }
    const std::size_t previous = caret::Left(text, start);
    const std::string_view character = std::string_view(text).substr(previous, start - previous);
    if (character == "\r\n" || character == "\n" || character == "\r" || stop(Wide(character))) break;
    start = previous;
  }
  return start;
}

// Adds what is not offered yet, up to `cells`; `learned` gives for each of
// `more` the learned text it comes from (none: the engines'). A candidate
// offered already by an engine that was learned too can be forgotten.
void Add(Prediction::Offer& offer, const std::vector<Word>& more, const std::string& replaces, std::size_t cells,
         const StringList& learned = {}) {
  for (std::size_t i = 0; i < more.size(); ++i) {
    const Word& word = more[i];
    // The reading itself would change nothing.
    if (word.form == replaces) continue;
    const std::string source = i < learned.size() ? learned[i] : std::string();
    const auto there = std::find(offer.candidates.begin(), offer.candidates.end(), word.form);
    if (there != offer.candidates.end()) {
      std::string& kept = offer.learned[static_cast<std::size_t>(there - offer.candidates.begin())];
      if (kept.empty()) kept = source;
      continue;
    }
    if (offer.candidates.size() == cells) {
      if (learned.empty()) return;
      continue;
    }
    offer.candidates.push_back(word.form);
    offer.replaces.push_back(replaces);
    offer.readings.push_back(word.reading);
    offer.learned.push_back(source);
  }
}

// Learned words offered as they were learned: each its own source.
void AddLearned(Prediction::Offer& offer, const std::vector<Word>& words, const std::string& replaces,
                std::size_t cells) {
  StringList sources;
  for (const Word& word : words) sources.push_back(word.form);
  Add(offer, words, replaces, cells, sources);
}

// Texts whose readings are not known.
std::vector<Word> Unread(const StringList& texts) {
  std::vector<Word> words;
  for (const std::string& text : texts) words.push_back({text, ""});
  return words;
}

// The first `max` of learned words given in the order of use (the most used
// and latest first), ordered anew by that order and by the engine's cost of
// each right after `before`: each place further down costs as much as
// kPlaceCosts of the engine's; a word the engine cannot judge costs as a
// rare one.
std::vector<Word> Reranked(IPredictor& engine, const std::string& before, std::vector<Word> words, std::size_t max) {
  const std::vector<std::optional<long>> costs = engine.CostsAfter(before, words);
  std::vector<std::pair<long, std::size_t>> order;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const long cost = i < costs.size() && costs[i] ? *costs[i] : kUnjudgedCosts;
    order.emplace_back(cost + kPlaceCosts * static_cast<long>(i), i);
  }
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Word> out;
  for (std::size_t k = 0; k < order.size() && out.size() < max; ++k) out.push_back(std::move(words[order[k].second]));
  return out;
}

}  // namespace

std::string Prediction::ReadingBefore(const std::string& text, std::size_t caret) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  const std::size_t start = *StartOfRun(
      text, caret, [](char16_t c) { return !IsHiragana(c); }, kLongestReading);
  return text.substr(start, caret - start);
}

namespace {

// The sentence written so far before `caret`; nothing when it is longer
// than a sentence is looked for.
std::optional<std::string> SentenceOf(const std::string& text, std::size_t caret) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  const auto start = StartOfRun(text, caret, EndsSentence, kLongestSentence, true);
  if (!start) return std::nullopt;
  return text.substr(*start, caret - *start);
}

}  // namespace

std::string Prediction::SentenceBefore(const std::string& text, std::size_t caret) {
  return SentenceOf(text, caret).value_or(std::string());
}

Prediction::Offer Prediction::Row(const std::string& text, std::size_t caret, std::size_t cells,
                                  std::size_t origin) const {
  Offer offer;
  if (cells == 0) return offer;
  caret = caret::Snap(text, std::min(caret, text.size()));
  if (const auto sentence = SentenceOf(text, caret)) {
    const StringList rests = learning_.Continuations(*sentence, cells);
    StringList sentences;
    for (const std::string& rest : rests) sentences.push_back(*sentence + rest);
    Add(offer, Unread(rests), "", cells, sentences);
  }
  const std::string kana = KanaSinceCommit(text, caret, origin);
  if (kana.empty()) {
    AddAfterText(offer, text, caret, cells, CommitBefore(text, caret, origin));
    return offer;
  }
  // The ends of the kana run, longest first: the whole run may be one word,
  // or kana written before a word and never converted may precede it.
  std::vector<std::string> ends;
  for (std::size_t start = 0; start < kana.size(); start = cp932::NextCharPos(kana, start)) {
    ends.push_back(kana.substr(start));
  }
  const std::string before = text.substr(0, caret - kana.size());
  // What the user wrote before after the text just committed, for these
  // kana, first.
  AddLearned(offer, learning_.WordsAfter(CommitBefore(before, before.size(), origin), kana, cells), kana, cells);
  AddForKana(offer, before, kana, ends, cells);
  return offer;
}

void Prediction::AddAfterText(Offer& offer, const std::string& text, std::size_t caret, std::size_t cells,
                              const std::string& committed) const {
  // What the user wrote before right after the text just committed.
  AddLearned(offer, learning_.WordsAfter(committed, "", cells), "", cells);
  // Right after a word (not after punctuation or at the start of a line):
  // the kana phrases the user writes after words.
  const std::size_t previous = caret > 0 ? caret::Left(text, caret) : 0;
  const char16_t before = caret > 0 ? Wide(std::string_view(text).substr(previous, caret - previous)) : 0;
  const std::vector<Word> next = engine_.Next(text.substr(0, caret), cells);
  const std::size_t first = std::min(next.size(), kNextPhrasesFirst);
  Add(offer, std::vector<Word>(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(first)), "", cells);
  AddRestsAfter(offer, committed, cells);
  if (before != 0 && !IsPunctuation(before) && before != u'\n' && before != u'\r') {
    std::vector<Word> phrases;
    for (std::string& phrase : learning_.KanaPhrases(cells * kKanaPhrasesWeighed)) phrases.push_back({phrase, phrase});
    AddLearned(offer, Reranked(engine_, text.substr(0, caret), std::move(phrases), cells), "", cells);
  }
  Add(offer, next, "", cells);
}

void Prediction::AddRestsAfter(Offer& offer, const std::string& committed, std::size_t cells) const {
  // The kana ending the word, as tails of three, two and one kana (two bytes
  // each); a word that began a learned kana phrase ("会いた" of "たいです。")
  // is offered its rest ("いです。"), the longest tail's first.
  const std::string run = ReadingBefore(committed, committed.size());
  for (std::size_t kana = std::min(run.size() / 2, kTailKana); kana > 0; --kana) {
    std::vector<Word> rests;
    StringList phrases;
    for (auto& [rest, phrase] : learning_.PhraseRestsAfter(run.substr(run.size() - 2 * kana), kRestsPerTail)) {
      rests.push_back({rest, rest});
      phrases.push_back(std::move(phrase));
    }
    Add(offer, rests, "", cells, phrases);
  }
}

void Prediction::AddForKana(Offer& offer, const std::string& before, const std::string& kana,
                            const std::vector<std::string>& ends, std::size_t cells) const {
  // What the user wrote before for the ends `from` to `to`, and the ends of
  // kana phrases the user wrote that go on from them.
  const auto addLearned = [&](std::size_t from, std::size_t to) {
    for (std::size_t e = from; e < to; ++e) AddLearned(offer, learning_.Words(ends[e], cells), ends[e], cells);
    for (std::size_t e = from; e < to; ++e) {
      std::vector<Word> phraseEnds;
      StringList phrases;
      for (auto& [end, phrase] : learning_.PhraseEndsOf(ends[e], 2)) {
        phraseEnds.push_back({end, end});
        phrases.push_back(std::move(phrase));
      }
      Add(offer, phraseEnds, ends[e], cells, phrases);
    }
  };
  // First what was learned for the whole run and for its ends of two kana
  // or more. What was learned for its last kana alone comes after the
  // phrases: words of one kana are many, and would fill the row before the
  // word the longer run is the reading of (あつい: 暑い, not 家に for い).
  std::size_t single = 1;
  while (single < ends.size() && cp932::Decode(ends[single]).size() >= 2) ++single;
  addLearned(0, single);
  // The likeliest phrases that begin with the kana, after what was written
  // before them: a word with its endings in one selection. The first two,
  // then the likeliest one for each kana the modifier would turn the last
  // into (まだて: です for で, one selection instead of the modifier and the
  // phrase), then the rest.
  const std::vector<Word> phrases = engine_.Phrases(before, kana, cells);
  const std::size_t first = std::min(phrases.size(), kPhrasesBeforeTurned);
  Add(offer, std::vector<Word>(phrases.begin(), phrases.begin() + static_cast<std::ptrdiff_t>(first)), kana, cells);
  for (const std::string& turned : OtherLastKana(kana)) Add(offer, engine_.Phrases(before, turned, 1), kana, cells);
  Add(offer, phrases, kana, cells);
  // The conversion engine's reading of all of them, when there is room: a
  // word or phrase no dictionary entry covers, in one selection.
  if (offer.candidates.size() < cells) Add(offer, Converted(kana), kana, cells);
  addLearned(single, ends.size());
  AddEngineWords(offer, ends, cells);
}

void Prediction::AddEngineWords(Offer& offer, const std::vector<std::string>& ends, std::size_t cells) const {
  // The engine's words for all of them, the most common first, a longer
  // reading counting for more (more of the word was written); also with the
  // last kana voiced or small, as the modifier would turn it ("て" offers
  // "です"), counting for a little less. A single kana only when it is all
  // there is.
  struct Scored {
    Word word;
    std::string replaces;
    long score;
    bool learned = false;
  };
  std::vector<Scored> scored;
  for (const std::string& reading : ends) {
    const long chars = static_cast<long>(cp932::Decode(reading).size());
    // A single kana at the end of a longer run would bring the engine's
    // commonest words of all ("ご" after "かん": 後, 号) before the one
    // being written; only what was learned is offered for it.
    const bool engineToo = chars >= 2 || ends.size() == 1;
    if (engineToo) {
      for (Word& word : engine_.Complete(reading, cells)) {
        const long score = word.cost - kLongerReadingCounts * chars;
        scored.push_back({std::move(word), reading, score});
      }
    }
    for (const std::string& other : OtherLastKana(reading)) {
      for (Word& word : learning_.Words(other, cells)) scored.push_back({std::move(word), reading, -1, true});
      if (!engineToo) continue;
      for (Word& word : engine_.Complete(other, cells)) {
        const long score = word.cost - kLongerReadingCounts * chars + kOtherLastKanaCosts;
        scored.push_back({std::move(word), reading, score});
      }
    }
  }
  std::stable_sort(scored.begin(), scored.end(), [](const Scored& a, const Scored& b) { return a.score < b.score; });
  for (const Scored& s : scored) {
    if (s.learned) {
      AddLearned(offer, {s.word}, s.replaces, cells);
    } else {
      Add(offer, {s.word}, s.replaces, cells);
    }
  }
}

std::vector<Word> Prediction::Converted(const std::string& kana) const {
  std::vector<Word> out;
  if (converter_ == nullptr || (converterBusy_ && converterBusy_()) || !converter_->Available() ||
      !converter_->Begin(kana)) {
    return out;
  }
  std::vector<std::vector<std::string>> segments;
  for (int s = 0; s < converter_->SegmentCount(); ++s) {
    std::vector<std::string> candidates = converter_->Candidates(s);
    if (candidates.empty()) candidates.push_back(converter_->SegmentReading(s));
    segments.push_back(std::move(candidates));
  }
  converter_->End();
  // The best reading, then the same with one of the first three segments
  // read as its second or third candidate, up to kConversionsOffered readings.
  const auto add = [&](std::size_t changed, std::size_t candidate) {
    if (out.size() == kConversionsOffered) return;
    if (changed < segments.size() && segments[changed].size() <= candidate) return;
    std::string text;
    for (std::size_t s = 0; s < segments.size(); ++s) text += segments[s][s == changed ? candidate : 0];
    if (!text.empty() && std::none_of(out.begin(), out.end(), [&](const Word& w) { return w.form == text; })) {
      out.push_back({text, kana});
    }
  };
  add(segments.size(), 0);
  for (std::size_t candidate : {std::size_t{1}, std::size_t{2}}) {
    for (std::size_t changed = 0; changed < 3; ++changed) add(changed, candidate);
  }
  return out;
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
  // The text committed just before this one, when it still stands right
  // before it: this choice is learned after it too.
  const std::string previous = CommitBefore(text, caret - replaced, 0);
  edits.ReplaceSelection(candidate);
  lastCommit_ = candidate;
  lastCommitEnd_ = caret - replaced + candidate.size();
  std::optional<std::string> learned;
  if (there || (!whole.empty() && whole != candidate)) {
    // Learned for its whole reading, so that writing it again from the start
    // finds it, and a sentence it is part of is read right (a next phrase
    // comes with its reading too). Kana with the mark ending a sentence
    // ("です。") are learned as such, not as a sentence of their own.
    if (whole == candidate && Learning::EndsSentence(candidate)) {
      learning_.LearnSentenceEnd(candidate);
    } else {
      learning_.Learn(whole, candidate);
    }
    Remember(whole, candidate);
    learned = whole;
  } else if (const auto known = ReadingOf(candidate)) {
    // The rest of a learned sentence, or a next word: its reading is known
    // when its parts are, so the sentence it completes can be learned.
    Remember(*known, candidate);
    learned = known;
  }
  if (learned && !previous.empty()) learning_.LearnAfter(previous, *learned, candidate);
  Wrote(edit.Text(), static_cast<std::size_t>(std::max(0, edit.SelStart())));
}

std::string Prediction::LearnedSource(const Offer& offer, std::size_t index) const {
  if (index >= offer.candidates.size()) return {};
  if (index < offer.learned.size() && !offer.learned[index].empty() && learning_.Knows(offer.learned[index]))
    return offer.learned[index];
  // Learned for another reading than the one the row offers it for.
  if (learning_.Knows(offer.candidates[index])) return offer.candidates[index];
  return {};
}

void Prediction::Forget(const std::string& text) {
  learning_.Forget(text);
  std::erase_if(committed_, [&text](const auto& part) { return part.first == text; });
}

void Prediction::Converted(const std::string& reading, const std::string& text, std::size_t end) {
  // After the text committed just before it, when it ends where this begins.
  if (!lastCommit_.empty() && end >= text.size() && lastCommitEnd_ == end - text.size()) {
    learning_.LearnAfter(lastCommit_, reading, text);
  }
  learning_.Learn(reading, text);
  Remember(reading, text);
  lastCommit_ = text;
  lastCommitEnd_ = end;
}

std::string Prediction::CommitBefore(const std::string& text, std::size_t at, std::size_t origin) const {
  if (lastCommit_.empty() || lastCommitEnd_ < origin || lastCommitEnd_ - origin != at || at > text.size() ||
      at < lastCommit_.size() || text.compare(at - lastCommit_.size(), lastCommit_.size(), lastCommit_) != 0) {
    return {};
  }
  return lastCommit_;
}

std::string Prediction::KanaSinceCommit(const std::string& text, std::size_t caret, std::size_t origin) const {
  std::string kana = ReadingBefore(text, caret);
  const std::size_t runStart = caret - kana.size();
  if (lastCommitEnd_ < origin) return kana;
  const std::size_t lastCommitEnd = lastCommitEnd_ - origin;
  // The commit point counts while the committed text still stands there.
  if (!lastCommit_.empty() && lastCommitEnd > runStart && lastCommitEnd <= caret &&
      lastCommitEnd >= lastCommit_.size() &&
      text.compare(lastCommitEnd - lastCommit_.size(), lastCommit_.size(), lastCommit_) == 0) {
    kana.erase(0, lastCommitEnd - runStart);
  }
  return kana;
}

void Prediction::Remember(const std::string& reading, const std::string& text) {
  if (reading.empty() || text.empty() || reading == text) return;
  committed_.emplace_back(text, reading);
  if (committed_.size() > kCommittedKept) committed_.pop_front();
}

void Prediction::Wrote(const std::string& text, std::size_t caret, std::size_t origin) {
  caret = caret::Snap(text, std::min(caret, text.size()));
  if (caret == 0) return;
  const std::size_t markAt = caret::Left(text, caret);
  const char16_t mark = Wide(std::string_view(text).substr(markAt, caret - markAt));
  if (!IsPunctuation(mark)) return;
  // The kana written since the last commit point, as they stand: a
  // phrase between punctuation, or the kana ending a sentence after its
  // last word ("てください").
  const std::string kana = KanaSinceCommit(text, markAt, origin);
  if (cp932::Decode(kana).size() >= 2) learning_.Learn(kana, kana);
  if (!EndsSentence(mark)) return;
  // At the end of a sentence, the kana ending it with its mark, whether
  // written, chosen or both ("てください。" after 呼ん): a phrase that ends
  // sentences is offered whole next time, the mark with it.
  const std::string run = ReadingBefore(text, markAt);
  if (cp932::Decode(run).size() >= 2) learning_.LearnSentenceEnd(run + text.substr(markAt, caret - markAt));
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
