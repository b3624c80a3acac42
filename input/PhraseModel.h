// The phrase model: a word trigram model with readings (tools/gen_phrase_model
// makes it from Debian's libkkc-data). It offers phrases, a word with the
// endings, particles and auxiliaries that follow it ("呼んで", "飲みたい",
// "看護師さんを"), for the first kana of them, ranked by how likely they are
// after the words written before; and, right after a word, the likely next
// phrases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/TextFile.h"
#include "input/Learning.h"

namespace velkor {

class PhraseModel {
 public:
  // Reads the model file; false (and no model) when it cannot be read or is
  // not one.
  bool Load(ITextFiles& files, const std::string& path);
  bool Loaded() const { return !words_.empty(); }
  std::size_t Size() const { return words_.size(); }

  // Whether a word (its number in the model, written form and reading, code
  // page 932) is one the row may begin a phrase with; the model's words come
  // from news and encyclopaedia text, rich in names of places and people.
  using KnownWord = std::function<bool(std::uint32_t word, std::string_view form, std::string_view reading)>;

  // Phrases whose reading starts with `kana` (hiragana, code page 932),
  // written after `before` (the text before the kana), best first, at most
  // `max`, at most four grown from one first word. Each word's cost is the
  // phrase's (lower is likelier). With `known`, only words it knows begin
  // a phrase.
  std::vector<Word> Phrases(const std::string& before, const std::string& kana, std::size_t max,
                            const KnownWord& known = {}) const;
  // The likely phrases right after `before`, best first, at most `max`;
  // none when no word of the model ends it (a line's or sentence's start).
  std::vector<Word> Next(const std::string& before, std::size_t max, const KnownWord& known = {}) const;

  // What `text` costs right after `before` (-log10 of its chance, in the
  // model's units), judged by its first word: the longest written form of a
  // word it begins with. nullopt when no word of the model begins it.
  std::optional<long> CostAfter(const std::string& before, std::string_view text) const {
    return CostAfter(ContextOf(before), text);
  }

  // The two words before the end of `before` (the last one second), as the
  // model knows them: a sentence's start before the first word of a line or
  // a sentence.
  struct Context {
    std::uint32_t first, second;
  };
  Context ContextOf(std::string_view before) const;
  // The same after the words `context`, as ContextOf found them.
  std::optional<long> CostAfter(Context context, std::string_view text) const;
  // The form of a word of the model (for tests).
  std::string_view FormOf(std::uint32_t word) const;

 private:
  struct WordEntry {
    std::uint32_t reading, form;
    std::uint8_t readingLength, formLength;
    std::uint16_t cost, backoff, endCost;
    std::uint8_t flags, unused;
  };
  static constexpr std::uint8_t kUsable = 1, kAttaches = 2, kStarts = 4, kKanaWord = 8;

  // A phrase being built: its text and reading so far, the last two words,
  // and whether it has its word yet (one not all hiragana, or all hiragana
  // and a word of its own such as こと or この: a phrase is at most one
  // particle, its word, and the endings after it).
  enum class Has { kParticleOnly, kWord };
  enum class Stage { kGrowing, kEnded };
  struct Partial {
    long cost;
    std::string form, reading;
    Context context;
    int words;
    Has has;
    Stage stage;
    std::uint32_t firstWord = 0;  // the word the phrase began with
  };
  // A phrase begun with `word` after the words `before`.
  Partial First(long cost, std::uint32_t word, Context before) const;
  bool Known(std::uint32_t word, const KnownWord& known) const;
  std::string_view ReadingOf(std::uint32_t word) const;
  // How `word` is written right after the words `context` in a phrase.
  std::string_view WrittenAfter(Context context, std::uint32_t word) const;
  // -log10 P(word | context) in the model's units.
  long Cost(std::uint32_t word, Context context) const;
  // The bigram index of (context, next), or npos.
  std::size_t Bigram(std::uint32_t context, std::uint32_t next) const;
  // The word written as `form` that is likeliest alone, or npos.
  std::size_t WordWritten(std::string_view form) const;
  // The words whose reading starts with `prefix` (all of it), and those whose
  // reading is all of `prefix`'s beginning up to `prefix.size()` bytes.
  std::vector<std::uint32_t> WordsReading(std::string_view prefix) const;
  // Grows the phrases from their first words, best first, until `max`
  // phrases whose reading starts with `kana` are done.
  std::vector<Word> Grow(std::vector<Partial> firsts, std::string_view kana, std::size_t max) const;
  void AddContinuations(const Partial& p, std::string_view kana, std::vector<Partial>& heap) const;

  // The file, read in place: the arrays and the text below are in it.
  std::unique_ptr<FileBytes> file_;
  std::vector<WordEntry> words_;
  std::span<const std::uint32_t> bigramStart_, bigramNext_;
  std::span<const std::uint16_t> bigramCost_, bigramBackoff_;
  std::span<const std::uint32_t> trigramStart_, trigramNext_;
  std::span<const std::uint16_t> trigramCost_;
  std::span<const std::uint32_t> byReading_, byForm_;
  std::string_view text_;
  std::uint32_t sentenceStart_ = 0;
};

}  // namespace velkor
