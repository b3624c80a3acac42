#include "input/DocumentLearning.h"

#include <algorithm>
#include <limits>

#include "core/Cp932.h"

namespace velkor {
namespace {

using cp932::Sj;

// What a word costs besides the lexicon's cost: fewer, longer words win.
constexpr long long kWordCost = 2000;
// What a hiragana costs read as itself: a word with its okurigana ("呼ん")
// wins over the same word without them.
constexpr long long kKanaCost = 2500;
// A sign or katakana the lexicon has no word for.
constexpr long long kOtherCost = 8000;
// A kanji the lexicon has no word for: any word wins.
constexpr long long kUnreadCost = 1000000;
// A sentence longer than this is not one to offer again (as when written).
constexpr std::size_t kLongestSentence = 1024;

char16_t Wide(std::string_view character) {
  const std::u16string c = cp932::Decode(character);
  return c.size() == 1 ? c[0] : 0;
}

bool IsHiragana(char16_t c) { return c >= u'ぁ' && c <= u'ゖ'; }
bool IsKatakana(char16_t c) { return c >= u'ァ' && c <= u'ヶ'; }
bool IsKanji(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) || c == u'々' ||
         c == u'〆';
}
bool IsMark(char16_t c) {
  return c == u'、' || c == u'。' || c == u'，' || c == u'．' || c == u'！' || c == u'？';
}

// One character on its own: its kind, its reading and its cost.
TextPiece Alone(std::string_view character, long long& cost) {
  const char16_t c = Wide(character);
  const std::string text(character);
  if (IsHiragana(c)) {
    cost = kKanaCost;
    return {text, text, TextPiece::Kind::Kana};
  }
  if (IsMark(c)) {
    cost = 0;
    return {text, text, TextPiece::Kind::Mark};
  }
  if (IsKanji(c)) {
    cost = kUnreadCost;
    return {text, "", TextPiece::Kind::Unread};
  }
  cost = kOtherCost;
  // Katakana read as the hiragana the board writes them from.
  if (IsKatakana(c) && c < u'ヵ') return {text, cp932::Encode(std::u16string(1, static_cast<char16_t>(c - 0x60))),
                                          TextPiece::Kind::Other};
  return {text, text, TextPiece::Kind::Other};
}

// Neighbouring kana, signs or unread kanji as one piece each.
std::vector<TextPiece> Joined(std::vector<TextPiece> pieces) {
  std::vector<TextPiece> out;
  for (TextPiece& piece : pieces) {
    const bool joins = piece.kind == TextPiece::Kind::Kana || piece.kind == TextPiece::Kind::Other ||
                       piece.kind == TextPiece::Kind::Unread;
    if (joins && !out.empty() && out.back().kind == piece.kind) {
      out.back().text += piece.text;
      out.back().reading += piece.reading;
    } else {
      out.push_back(std::move(piece));
    }
  }
  return out;
}

std::size_t Characters(std::string_view text) { return cp932::Decode(text).size(); }

}  // namespace

std::vector<TextPiece> SplitText(IPredictor& lexicon, std::string_view run) {
  // The characters' places, and for each the cheapest way there.
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < run.size(); i = cp932::NextCharPos(run, i)) at.push_back(i);
  const std::size_t n = at.size();
  at.push_back(run.size());
  struct Way {
    long long cost = std::numeric_limits<long long>::max();
    std::size_t from = 0;
    TextPiece piece;
  };
  std::vector<Way> best(n + 1);
  best[0].cost = 0;
  const auto reach = [&best](std::size_t to, std::size_t from, long long cost, TextPiece piece) {
    if (cost >= best[to].cost) return;
    best[to] = {cost, from, std::move(piece)};
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (best[i].cost == std::numeric_limits<long long>::max()) continue;
    const std::string_view rest = run.substr(at[i]);
    long long alone = 0;
    TextPiece piece = Alone(rest.substr(0, at[i + 1] - at[i]), alone);
    // Hiragana and punctuation begin no word: kana are read as themselves.
    if (piece.kind != TextPiece::Kind::Kana && piece.kind != TextPiece::Kind::Mark) {
      for (Word& word : lexicon.FormsAt(rest)) {
        const auto end = std::lower_bound(at.begin(), at.end(), at[i] + word.form.size());
        if (end == at.end() || *end != at[i] + word.form.size() || word.reading.empty()) continue;
        const long long cost = best[i].cost + kWordCost + std::max(0, word.cost);
        reach(static_cast<std::size_t>(end - at.begin()), i, cost,
              {std::move(word.form), std::move(word.reading), TextPiece::Kind::Word});
      }
    }
    reach(i + 1, i, best[i].cost + alone, std::move(piece));
  }
  std::vector<TextPiece> pieces;
  for (std::size_t i = n; i > 0; i = best[i].from) pieces.push_back(std::move(best[i].piece));
  std::reverse(pieces.begin(), pieces.end());
  return Joined(std::move(pieces));
}

void FindInSegment(IPredictor& lexicon, std::string_view segment, bool startsSentence, std::vector<FoundText>& found) {
  while (!segment.empty() && (segment.back() == '\r' || segment.back() == '\n')) segment.remove_suffix(1);
  if (segment.empty()) return;
  const std::vector<TextPiece> pieces = SplitText(lexicon, segment);
  using Kind = TextPiece::Kind;
  const TextPiece* previous = nullptr;
  std::string reading;
  bool read = true;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const TextPiece& piece = pieces[i];
    read = read && piece.kind != Kind::Unread;
    reading += piece.reading;
    const bool learned = piece.kind == Kind::Word || piece.kind == Kind::Kana;
    // Each word, and the kana after a word, after the word or kana right
    // before it: what the row offers after that one.
    if (learned && previous != nullptr) {
      found.push_back({Learning::ReadingAfter(previous->text, piece.reading), piece.text, FoundText::Kind::After});
    }
    if (piece.kind == Kind::Word) found.push_back({piece.reading, piece.text, FoundText::Kind::Word});
    // Kana before a punctuation mark are a phrase of their own, as when the
    // mark is written after them.
    if (piece.kind == Kind::Kana && i + 1 < pieces.size() && pieces[i + 1].kind == Kind::Mark &&
        Characters(piece.text) >= 2) {
      found.push_back({piece.text, piece.text, FoundText::Kind::Word});
      // Before 。！？ also with the mark, as the kana ending a sentence.
      const std::string ended = piece.text + pieces[i + 1].text;
      if (Learning::EndsSentence(ended)) {
        found.push_back({Learning::SentenceEndKey(ended), ended, FoundText::Kind::SentenceEnd});
      }
    }
    previous = learned ? &piece : nullptr;
  }
  if (startsSentence && read && pieces.size() > 1 && segment.size() <= kLongestSentence &&
      Learning::EndsSentence(segment)) {
    found.push_back({reading, std::string(segment), FoundText::Kind::Sentence});
  }
}

namespace {

// Where the segment that begins at `from` ends: after its sentence end, at
// the end of its line (the line break with it), or kLongestSegment bytes on.
std::size_t SegmentEnd(std::string_view text, std::size_t from) {
  std::size_t at = from;
  while (at < text.size()) {
    if (at - from >= DocumentLearning::kLongestSegment) return at;
    if (text[at] == '\n' || text[at] == '\r') {
      while (at < text.size() && (text[at] == '\n' || text[at] == '\r')) ++at;
      return at;
    }
    const std::size_t next = cp932::NextCharPos(text, at);
    if (Learning::EndsSentence(text.substr(from, next - from))) return next;
    at = next;
  }
  return at;
}

// A text that is no text: a NUL, or bytes that do not decode.
bool Damaged(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return true;
  const std::u16string decoded = cp932::Decode(bytes);
  return std::any_of(decoded.begin(), decoded.end(),
                     [](char16_t c) { return c >= cp932::kRawByteBase && c < cp932::kRawByteBase + 0x100; });
}

}  // namespace

void DocumentLearning::Start(const std::string& current, const std::vector<std::string>& slots) {
  sources_.clear();
  current_ = current;
  if (!current_.empty()) sources_.push_back("");
  for (const std::string& path : slots) {
    if (!files_.Missing(path)) sources_.push_back(path);
  }
  done_ = 0;
  open_ = false;
  text_.clear();
  sentences_ = words_ = skipped_ = 0;
  cancelled_ = false;
  running_ = true;
  if (sources_.empty()) running_ = false;
}

bool DocumentLearning::Open(const std::string& path) {
  at_ = 0;
  atSentenceStart_ = true;
  if (path.empty()) {
    text_ = std::move(current_);
    current_.clear();
    return true;
  }
  if (files_.RefusalOf(path) != Refusal::None) return false;
  FileResult read = files_.ReadOwn(path, kMaxDocumentBytes);
  if (!read.ok) return false;
  text_ = std::move(read.bytes);
  // A document cut at the limit ends on a whole character.
  if (text_.size() == kMaxDocumentBytes) text_.resize(cp932::FloorCharBoundary(text_, text_.size() - 1));
  return !Damaged(text_);
}

bool DocumentLearning::Step() {
  if (!running_) return false;
  const long long start = clock_.NowMs();
  if (!open_) {
    if (!Open(sources_[done_])) {
      ++skipped_;
      text_.clear();
      if (++done_ == sources_.size()) Finished();
      return running_;
    }
    open_ = true;
  }
  std::vector<FoundText> found;
  do {
    const std::size_t end = SegmentEnd(text_, at_);
    const std::string_view segment = std::string_view(text_).substr(at_, end - at_);
    FindInSegment(lexicon_, segment, atSentenceStart_, found);
    atSentenceStart_ = end - at_ < kLongestSegment || Learning::EndsSentence(segment) || segment.back() == '\n' ||
                       segment.back() == '\r';
    at_ = end;
  } while (at_ < text_.size() && clock_.NowMs() - start < kStepMs);
  Learn(found);
  if (at_ >= text_.size()) {
    open_ = false;
    text_.clear();
    if (++done_ == sources_.size()) Finished();
  }
  return running_;
}

void DocumentLearning::Learn(const std::vector<FoundText>& found) {
  if (found.empty()) return;
  std::vector<std::pair<std::string, std::string>> uses;
  uses.reserve(found.size());
  for (const FoundText& f : found) {
    // A sentence learned before keeps its reading (and is not learned
    // again for another).
    if (f.kind == FoundText::Kind::Sentence) {
      if (const auto known = learning_.ReadingOf(f.text)) {
        uses.emplace_back(*known, f.text);
        continue;
      }
    }
    uses.emplace_back(f.reading, f.text);
  }
  const std::vector<bool> learned = learning_.LearnNew(uses);
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (!learned[i]) continue;
    if (found[i].kind == FoundText::Kind::Sentence) ++sentences_;
    if (found[i].kind == FoundText::Kind::Word) ++words_;
  }
}

void DocumentLearning::Cancel() {
  if (!running_) return;
  cancelled_ = true;
  Finished();
}

void DocumentLearning::Finished() {
  running_ = false;
  open_ = false;
  text_.clear();
  current_.clear();
}

std::string DocumentLearning::ProgressText() const {
  return Sj("覚えています ") + std::to_string(Done()) + "/" + std::to_string(Total());
}

std::string DocumentLearning::ResultText() const {
  std::string said = Sj(cancelled_ ? "覚えるのをやめました：" : "覚えました：") + std::to_string(sentences_) + Sj("文、") +
                     std::to_string(words_) + Sj("語");
  if (skipped_ > 0) said += Sj("（読めない文書 ") + std::to_string(skipped_) + Sj("）");
  return said;
}

}  // namespace velkor
