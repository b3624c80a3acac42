// What the user has written, learned: each reading (kana, code page 932)
// with the text it was committed as, counted and stamped, so that what the
// user writes ranks above the lexicon. Kept per user in one file, written
// atomically, capped in size: the rarest and oldest entries go first.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/TextFile.h"

namespace velkor {

// A written form (code page 932) with the whole reading it is written for.
struct Word {
  std::string form;
  std::string reading;
  int cost = 0;  // the engine's: lower is more common
  bool operator==(const Word&) const = default;
};

class Learning {
 public:
  // At most this many entries are kept.
  static constexpr std::size_t kMaxEntries = 20000;

  struct Entry {
    std::string before;   // code page 932: the text committed just before it (the second file only)
    std::string reading;  // code page 932
    std::string text;     // code page 932: kanji, kana, a phrase or a sentence
    long long count = 0;
    long long lastUse = 0;  // a use number: later uses have higher ones
  };

  // Counts one more use of `text` written for `reading`.
  void Learn(const std::string& reading, const std::string& text);
  // Counts one more use of `text` written for `reading` right after
  // `before`, the text committed just before it: a word or phrase is offered
  // after the same text in a new sentence.
  void LearnAfter(const std::string& before, const std::string& reading, const std::string& text);
  // What was learned after `before` for readings that start with `prefix`
  // ("" for everything learned after it), best first; at most `max`.
  std::vector<Word> WordsAfter(std::string_view before, std::string_view prefix, std::size_t max) const;
  std::size_t SizeAfter() const { return after_.size(); }

  // The texts learned for readings that start with `prefix`, best first: the
  // most used, and of those the most recent; at most `max`.
  std::vector<std::string> Candidates(std::string_view prefix, std::size_t max) const;
  // The same, each with the reading it was learned for.
  std::vector<Word> Words(std::string_view prefix, std::size_t max) const;
  // What the learned sentences add to `written` (the sentence written so
  // far, possibly empty): the rest of each learned sentence (a text ending in
  // 。, ！ or ？) that starts with it, best first; at most `max`.
  std::vector<std::string> Continuations(std::string_view written, std::size_t max) const;
  // The phrases learned in kana as they stand ("てください"), best first: what
  // the user likely writes right after a word; at most `max`.
  std::vector<std::string> KanaPhrases(std::size_t max) const;
  // The ends of learned kana phrases that start with `kana` after the
  // phrase's own start ("て" finds "てください" in "してください"), best
  // first; at most `max`.
  std::vector<std::string> PhraseEnds(std::string_view kana, std::size_t max) const;
  // The reading `text` was learned for (the most used); nothing when it was
  // never learned.
  std::optional<std::string> ReadingOf(std::string_view text) const;
  // Forgets everything learned (a machine shared with another person).
  void Forget();
  std::size_t Size() const { return entries_.size(); }
  // Grows with every use learned and every forgetting: a changed number
  // means there is something to write.
  long long Changes() const { return changes_; }
  // A text that ends in 。, ！ or ？ (code page 932).
  static bool EndsSentence(std::string_view text);

  // The learning file: a header line, then one entry a line (count, use
  // number, reading and text, separated by tabs).
  std::string Serialise() const;
  // False, and nothing learned, when the text is not a learning file.
  bool Parse(std::string_view text);
  // The second file, of what was written after what: a header line, then
  // one entry a line (count, use number, the text before, reading and text,
  // separated by tabs). A file of its own, so that the first keeps the
  // format every version reads. A damaged line is skipped; false when the
  // text is not such a file.
  std::string SerialiseAfter() const;
  bool ParseAfter(std::string_view text);
  // Where the second file is kept beside the first ("…/learning.txt" ->
  // "…/learning-after.txt").
  static std::string AfterPath(const std::string& path);

  // Reads the file at `path`, and the second file beside it. A missing file
  // is a fresh start; a damaged one is too, and the message to give the user
  // is returned (code page 932).
  std::string Load(ITextFiles& files, const std::string& path);
  // Writes both files atomically; "" or the file layer's message.
  std::string Save(ITextFiles& files, const std::string& path) const;

 private:
  static void Trim(std::vector<Entry>& entries);
  // The entries of `found`, best first, no text twice.
  static std::vector<const Entry*> Best(std::vector<const Entry*>& found, std::size_t max);

  std::vector<Entry> entries_;
  std::vector<Entry> after_;  // with their texts before
  long long uses_ = 0;
  long long changes_ = 0;
};

}  // namespace velkor
