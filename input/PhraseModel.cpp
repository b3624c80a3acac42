#include "input/PhraseModel.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "core/Cp932.h"

namespace velkor {

namespace {

// How many first words a phrase is grown from, how many following words
// each step tries, and how many words a phrase has at most.
constexpr std::size_t kFirstWords = 40;
constexpr std::size_t kContinuations = 8;
constexpr int kMostWords = 6;
// A phrase ends only after a word that ends one often enough, a third of
// the time or more: a verb stem ("呼", "飲ん") nearly always goes on, while
// ます and です, often followed by か, が or ね, end a sentence as often. In
// the model's units (8192 a log10).
constexpr long kMostEndCost = 4096;
// Phrases grown from one first word at most: the row shows several words
// rather than one word with every ending (看護師を, 看護師に, 看護師の, ...).
constexpr long kMostPerFirstWord = 4;
// Phrases popped from the search at most: a bound on the work of one call.
constexpr int kMostSteps = 1500;
// The longest written form looked for in the text before the kana.
constexpr std::size_t kLongestForm = 8;

// Reads little-endian values from a byte string, failing once for good.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Ok() const { return ok_; }
  std::size_t At() const { return at_; }
  template <typename T>
  T Get() {
    if (!ok_ || bytes_.size() - at_ < sizeof(T)) {
      ok_ = false;
      return T{};
    }
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      value |= static_cast<T>(static_cast<T>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i));
    }
    at_ += sizeof(T);
    return value;
  }
  // An array with its count first, in place; its count must be `expected`
  // unless that is npos. Arrays start at a multiple of four bytes, after
  // zero bytes where needed.
  template <typename T>
  std::span<const T> Array(std::size_t expected = std::string_view::npos) {
    at_ = std::min(bytes_.size(), (at_ + 3) / 4 * 4);
    const std::uint32_t count = Get<std::uint32_t>();
    if (!ok_ || (expected != std::string_view::npos && count != expected) ||
        (bytes_.size() - at_) / sizeof(T) < count ||
        reinterpret_cast<std::uintptr_t>(bytes_.data() + at_) % alignof(T) != 0) {
      ok_ = false;
      return {};
    }
    // The file is little-endian, as every host this program is built for.
    const std::span<const T> values(reinterpret_cast<const T*>(bytes_.data() + at_), count);
    at_ += count * sizeof(T);
    return values;
  }
  std::string_view Rest() const { return bytes_.substr(std::min(at_, bytes_.size())); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

bool EndsSentenceOrLine(std::string_view c) {
  static const std::string marks[] = {cp932::Sj("。"), cp932::Sj("！"), cp932::Sj("？")};
  return c == "\r" || c == "\n" || std::find(std::begin(marks), std::end(marks), c) != std::end(marks);
}

bool Compatible(std::string_view reading, std::string_view kana) {
  const std::size_t n = std::min(reading.size(), kana.size());
  return reading.substr(0, n) == kana.substr(0, n);
}

}  // namespace

bool PhraseModel::Load(ITextFiles& files, const std::string& path) {
  *this = PhraseModel();
  std::unique_ptr<FileBytes> file = files.ReadInPlace(path);
  if (!file || file->Bytes().substr(0, 8) != "VKPHRS2\n") return false;
  Reader r(file->Bytes().substr(8));
  const std::uint32_t words = r.Get<std::uint32_t>(), bigrams = r.Get<std::uint32_t>();
  const std::uint32_t trigrams = r.Get<std::uint32_t>(), textBytes = r.Get<std::uint32_t>();
  sentenceStart_ = r.Get<std::uint32_t>();
  // A damaged count asks for no more words than the file could hold.
  constexpr std::size_t kWordBytes = 18;
  if (!r.Ok() || words > r.Rest().size() / kWordBytes) {
    *this = PhraseModel();
    return false;
  }
  std::vector<WordEntry> entries(words);
  for (WordEntry& e : entries) {
    e = {r.Get<std::uint32_t>(), r.Get<std::uint32_t>(), r.Get<std::uint8_t>(),
         r.Get<std::uint8_t>(),  r.Get<std::uint16_t>(), r.Get<std::uint16_t>(),
         r.Get<std::uint16_t>(), r.Get<std::uint8_t>(),  r.Get<std::uint8_t>()};
  }
  bigramStart_ = r.Array<std::uint32_t>(std::size_t{words} + 1);
  bigramNext_ = r.Array<std::uint32_t>(bigrams);
  bigramCost_ = r.Array<std::uint16_t>(bigrams);
  bigramBackoff_ = r.Array<std::uint16_t>(bigrams);
  trigramStart_ = r.Array<std::uint32_t>(std::size_t{bigrams} + 1);
  trigramNext_ = r.Array<std::uint32_t>(trigrams);
  trigramCost_ = r.Array<std::uint16_t>(trigrams);
  byReading_ = r.Array<std::uint32_t>();
  byForm_ = r.Array<std::uint32_t>();
  text_ = r.Rest();
  bool sound = r.Ok() && text_.size() == textBytes && sentenceStart_ < words && bigramStart_.back() == bigrams &&
               trigramStart_.back() == trigrams;
  for (const WordEntry& e : entries) {
    sound = sound && std::size_t{e.reading} + e.readingLength <= text_.size() &&
            std::size_t{e.form} + e.formLength <= text_.size();
  }
  const auto inRange = [words](std::span<const std::uint32_t> ids) {
    return std::all_of(ids.begin(), ids.end(), [words](std::uint32_t id) { return id < words; });
  };
  sound = sound && inRange(bigramNext_) && inRange(trigramNext_) && inRange(byReading_) && inRange(byForm_);
  if (!sound) {
    *this = PhraseModel();
    return false;
  }
  words_ = std::move(entries);
  file_ = std::move(file);
  return true;
}

std::string_view PhraseModel::ReadingOf(std::uint32_t word) const {
  const WordEntry& e = words_[word];
  return text_.substr(e.reading, e.readingLength);
}

std::string_view PhraseModel::WrittenAfter(Context context, std::uint32_t word) const {
  // After the て of a verb a verb that only helps it is written in kana
  // (呼んでください, 見ている, 置いておく), though the model's text writes it
  // as the verb itself (下さい, 居る, 置く). で is that て only after a verb
  // stem ending in ん or い (読んで, 泳いで); after a noun it is the particle,
  // and the verb after it keeps its form (テレビで見る, 車で来ます).
  static const std::vector<std::string> helping = [] {
    std::vector<std::string> out;
    for (const char* form : {"下さ", "頂", "戴", "致", "居", "置", "見", "仕舞", "貰", "来", "行", "呉"}) {
      out.push_back(cp932::FromUtf8(form));
    }
    return out;
  }();
  static const std::string te = cp932::FromUtf8("て"), de = cp932::FromUtf8("で"), n = cp932::FromUtf8("ん"),
                           i = cp932::FromUtf8("い");
  const std::string_view form = FormOf(word);
  const std::string_view previous = FormOf(context.second);
  if (previous != ReadingOf(context.second) || (previous != te && previous != de)) return form;
  if (previous == de) {
    const std::string_view stem = FormOf(context.first);
    const std::string_view last = stem.size() >= 2 ? stem.substr(stem.size() - 2) : std::string_view();
    if (last != n && last != i) return form;
  }
  return std::find(helping.begin(), helping.end(), form) != helping.end() ? ReadingOf(word) : form;
}

std::string_view PhraseModel::FormOf(std::uint32_t word) const {
  if (word >= words_.size()) return {};
  const WordEntry& e = words_[word];
  return text_.substr(e.form, e.formLength);
}

std::size_t PhraseModel::Bigram(std::uint32_t context, std::uint32_t next) const {
  const auto first = bigramNext_.begin() + bigramStart_[context];
  const auto last = bigramNext_.begin() + bigramStart_[context + 1];
  const auto it = std::lower_bound(first, last, next);
  return it != last && *it == next ? static_cast<std::size_t>(it - bigramNext_.begin()) : std::string_view::npos;
}

long PhraseModel::Cost(std::uint32_t word, Context context) const {
  long backoff = 0;
  const std::size_t pair = Bigram(context.first, context.second);
  if (pair != std::string_view::npos) {
    const auto first = trigramNext_.begin() + trigramStart_[pair];
    const auto last = trigramNext_.begin() + trigramStart_[pair + 1];
    const auto it = std::lower_bound(first, last, word);
    if (it != last && *it == word) return trigramCost_[static_cast<std::size_t>(it - trigramNext_.begin())];
    backoff = bigramBackoff_[pair];
  }
  const std::size_t single = Bigram(context.second, word);
  if (single != std::string_view::npos) return backoff + bigramCost_[single];
  return backoff + words_[context.second].backoff + words_[word].cost;
}

std::size_t PhraseModel::WordWritten(std::string_view form) const {
  const auto it = std::lower_bound(byForm_.begin(), byForm_.end(), form,
                                   [this](std::uint32_t id, std::string_view f) { return FormOf(id) < f; });
  // The ids of one form are sorted by cost: the first is the likeliest.
  return it != byForm_.end() && FormOf(*it) == form ? *it : std::string_view::npos;
}

PhraseModel::Context PhraseModel::ContextOf(std::string_view before) const {
  // The words found, the last first.
  std::uint32_t found[2] = {sentenceStart_, sentenceStart_};
  std::size_t end = before.size();
  for (std::uint32_t& word : found) {
    if (end == 0) break;
    const std::size_t lastAt = cp932::PrevCharPos(before, end);
    if (EndsSentenceOrLine(before.substr(lastAt, end - lastAt))) break;
    // The longest written form of a word that ends here.
    std::size_t start = end, wordStart = end, id = std::string_view::npos;
    for (std::size_t chars = 0; chars < kLongestForm && start > 0; ++chars) {
      start = cp932::PrevCharPos(before, start);
      const std::size_t here = WordWritten(before.substr(start, end - start));
      if (here != std::string_view::npos) {
        id = here;
        wordStart = start;
      }
    }
    if (id == std::string_view::npos) break;
    word = static_cast<std::uint32_t>(id);
    end = wordStart;
  }
  return {found[1], found[0]};
}

std::optional<long> PhraseModel::CostAfter(Context context, std::string_view text) const {
  if (!Loaded()) return std::nullopt;
  std::size_t word = std::string_view::npos;
  std::size_t end = 0;
  for (std::size_t chars = 0; chars < kLongestForm && end < text.size(); ++chars) {
    end = cp932::NextCharPos(text, end);
    if (const std::size_t here = WordWritten(text.substr(0, end)); here != std::string_view::npos) word = here;
  }
  if (word == std::string_view::npos) return std::nullopt;
  return Cost(static_cast<std::uint32_t>(word), context);
}

std::vector<std::uint32_t> PhraseModel::WordsReading(std::string_view prefix) const {
  std::vector<std::uint32_t> out;
  const auto readingLess = [this](std::uint32_t id, std::string_view r) { return ReadingOf(id) < r; };
  auto it = std::lower_bound(byReading_.begin(), byReading_.end(), prefix, readingLess);
  for (; it != byReading_.end() && ReadingOf(*it).substr(0, prefix.size()) == prefix; ++it) out.push_back(*it);
  // Words that take in only the beginning of the kana: the rest is in what
  // follows them ("よ" 呼 for "よん").
  for (std::size_t end = 2; end < prefix.size(); end += 2) {
    const std::string_view part = prefix.substr(0, end);
    for (auto at = std::lower_bound(byReading_.begin(), byReading_.end(), part, readingLess);
         at != byReading_.end() && ReadingOf(*at) == part; ++at) {
      out.push_back(*at);
    }
  }
  return out;
}

void PhraseModel::AddContinuations(const Partial& p, std::string_view kana, std::vector<Partial>& heap) const {
  const std::uint32_t last = p.context.second;
  // The words that may follow are the last word's bigrams; a trigram after
  // the two last words, where the model has one, gives the cost instead
  // (as Cost() does). Both lists are sorted by word: one walk finds them.
  const std::size_t pair = Bigram(p.context.first, last);
  auto trigram = trigramNext_.begin() + (pair == std::string_view::npos ? 0 : trigramStart_[pair]);
  const auto trigramsLast = trigramNext_.begin() + (pair == std::string_view::npos ? 0 : trigramStart_[pair + 1]);
  const long backoff = pair == std::string_view::npos ? 0 : bigramBackoff_[pair];
  std::vector<std::pair<long, std::uint32_t>> next;
  for (std::uint32_t b = bigramStart_[last]; b < bigramStart_[last + 1]; ++b) {
    const std::uint32_t word = bigramNext_[b];
    while (trigram != trigramsLast && *trigram < word) ++trigram;
    // After the word, the endings (all hiragana); after a particle alone, a
    // word, or one particle more (ので, には), which then ends the phrase or
    // takes endings as a word would.
    const std::uint8_t flags = words_[word].flags;
    // While the phrase is still inside the kana written, a word may also go
    // on with another (看護 + 師).
    const bool content =
        (flags & (kUsable | kStarts)) == (kUsable | kStarts) && (!(flags & kAttaches) || (flags & kKanaWord));
    const bool ending = (flags & (kUsable | kAttaches)) == (kUsable | kAttaches);
    const bool fits = p.has == Has::kWord ? ending || (content && p.reading.size() < kana.size())
                                          : content || (ending && p.words == 1);
    if (!fits) continue;
    // The phrase so far fits the kana: the word must fit what is left of them.
    if (p.reading.size() < kana.size() && !Compatible(ReadingOf(word), kana.substr(p.reading.size()))) continue;
    const bool inTrigram = trigram != trigramsLast && *trigram == word;
    next.emplace_back(
        inTrigram ? trigramCost_[static_cast<std::size_t>(trigram - trigramNext_.begin())] : backoff + bigramCost_[b],
        word);
  }
  const std::size_t keep = std::min(next.size(), kContinuations);
  std::partial_sort(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(keep), next.end());
  const auto worse = [](const Partial& a, const Partial& b) { return a.cost > b.cost; };
  for (std::size_t i = 0; i < keep; ++i) {
    const std::uint32_t word = next[i].second;
    heap.push_back({p.cost + next[i].first,
                    p.form + std::string(WrittenAfter(p.context, word)),
                    p.reading + std::string(ReadingOf(word)),
                    {last, word},
                    p.words + 1,
                    Has::kWord,
                    Stage::kGrowing,
                    p.firstWord});
    std::push_heap(heap.begin(), heap.end(), worse);
  }
}

PhraseModel::Partial PhraseModel::First(long cost, std::uint32_t word, Context before) const {
  const std::uint8_t flags = words_[word].flags;
  const Has has = (flags & kAttaches) && !(flags & kKanaWord) ? Has::kParticleOnly : Has::kWord;
  return {cost,
          std::string(WrittenAfter(before, word)),
          std::string(ReadingOf(word)),
          {before.second, word},
          1,
          has,
          Stage::kGrowing,
          word};
}

std::vector<Word> PhraseModel::Grow(std::vector<Partial> heap, std::string_view kana, std::size_t max) const {
  std::vector<Word> out;
  std::vector<std::uint32_t> firstsOut;
  const auto worse = [](const Partial& a, const Partial& b) { return a.cost > b.cost; };
  std::make_heap(heap.begin(), heap.end(), worse);
  for (int steps = 0; !heap.empty() && out.size() < max && steps < kMostSteps; ++steps) {
    std::pop_heap(heap.begin(), heap.end(), worse);
    Partial p = std::move(heap.back());
    heap.pop_back();
    // A word that has given its phrases is grown no further.
    if (std::count(firstsOut.begin(), firstsOut.end(), p.firstWord) >= kMostPerFirstWord) continue;
    if (p.stage == Stage::kEnded) {
      if (std::none_of(out.begin(), out.end(), [&p](const Word& w) { return w.form == p.form; })) {
        out.push_back({p.form, p.reading, static_cast<int>(p.cost)});
        firstsOut.push_back(p.firstWord);
      }
      continue;
    }
    const long endCost = words_[p.context.second].endCost;
    // A phrase ends after its word and endings, or as one word alone (ありがとう).
    const bool whole = p.has == Has::kWord || p.words == 1;
    if (whole && p.reading.size() >= kana.size() && endCost <= kMostEndCost) {
      Partial ended = p;
      ended.cost += endCost;
      ended.stage = Stage::kEnded;
      heap.push_back(std::move(ended));
      std::push_heap(heap.begin(), heap.end(), worse);
    }
    if (p.words < kMostWords && (p.has == Has::kWord || p.words == 1)) AddContinuations(p, kana, heap);
  }
  return out;
}

bool PhraseModel::Known(std::uint32_t word, const KnownWord& known) const {
  // Endings, particles and auxiliaries (all hiragana) are always known.
  return !known || (words_[word].flags & kAttaches) || known(word, FormOf(word), ReadingOf(word));
}

std::vector<Word> PhraseModel::Phrases(const std::string& before, const std::string& kana, std::size_t max,
                                       const KnownWord& known) const {
  if (!Loaded() || kana.empty() || max == 0) return {};
  const Context context = ContextOf(before);
  std::vector<std::pair<long, std::uint32_t>> firsts;
  for (std::uint32_t word : WordsReading(kana)) {
    if (!(words_[word].flags & kStarts)) continue;
    if (!Known(word, known)) continue;
    firsts.emplace_back(Cost(word, context), word);
  }
  const std::size_t keep = std::min(firsts.size(), kFirstWords);
  std::partial_sort(firsts.begin(), firsts.begin() + static_cast<std::ptrdiff_t>(keep), firsts.end());
  std::vector<Partial> heap;
  for (std::size_t i = 0; i < keep; ++i) {
    heap.push_back(First(firsts[i].first, firsts[i].second, context));
  }
  return Grow(std::move(heap), kana, max);
}

std::vector<Word> PhraseModel::Next(const std::string& before, std::size_t max, const KnownWord& known) const {
  if (!Loaded() || max == 0) return {};
  const Context context = ContextOf(before);
  // Only after a word: at the start of a line or a sentence the model knows
  // nothing of what the user means to write.
  if (context.second == sentenceStart_) return {};
  // The words the model has seen after these, with their costs as Cost()
  // gives them: the trigrams', then the bigrams' the trigrams do not have.
  const auto starts = [this, &known](std::uint32_t word) {
    return (words_[word].flags & (kUsable | kStarts)) == (kUsable | kStarts) && Known(word, known);
  };
  std::vector<std::pair<long, std::uint32_t>> firsts;
  const std::size_t pair = Bigram(context.first, context.second);
  const auto trigramsFirst = trigramNext_.begin() + (pair == std::string_view::npos ? 0 : trigramStart_[pair]);
  const auto trigramsLast = trigramNext_.begin() + (pair == std::string_view::npos ? 0 : trigramStart_[pair + 1]);
  for (auto it = trigramsFirst; it != trigramsLast; ++it) {
    if (starts(*it)) firsts.emplace_back(trigramCost_[static_cast<std::size_t>(it - trigramNext_.begin())], *it);
  }
  const long backoff = pair == std::string_view::npos ? 0 : bigramBackoff_[pair];
  for (std::uint32_t b = bigramStart_[context.second]; b < bigramStart_[context.second + 1]; ++b) {
    const std::uint32_t word = bigramNext_[b];
    if (!starts(word) || std::binary_search(trigramsFirst, trigramsLast, word)) continue;
    firsts.emplace_back(backoff + bigramCost_[b], word);
  }
  const std::size_t keep = std::min(firsts.size(), kFirstWords);
  std::partial_sort(firsts.begin(), firsts.begin() + static_cast<std::ptrdiff_t>(keep), firsts.end());
  std::vector<Partial> heap;
  for (std::size_t i = 0; i < keep; ++i) {
    heap.push_back(First(firsts[i].first, firsts[i].second, context));
  }
  return Grow(std::move(heap), "", max);
}

}  // namespace velkor
