// What the user has written, learned: each reading (kana, code page 932)
// with the text it was committed as, counted and stamped, so that what the
// user writes ranks above the lexicon. Kept per user in one file, written
// atomically, capped in size: the rarest and oldest entries go first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/TextFile.h"

namespace velkor {

class Learning {
 public:
  // At most this many entries are kept.
  static constexpr std::size_t kMaxEntries = 20000;

  struct Entry {
    std::string reading;  // code page 932
    std::string text;     // code page 932: kanji, kana, a phrase or a sentence
    long long count = 0;
    long long lastUse = 0;  // a use number: later uses have higher ones
  };

  // Counts one more use of `text` written for `reading`.
  void Learn(const std::string& reading, const std::string& text);
  // The texts learned for readings that start with `prefix`, best first: the
  // most used, and of those the most recent; at most `max`.
  std::vector<std::string> Candidates(std::string_view prefix, std::size_t max) const;
  // Forgets everything learned (a machine shared with another person).
  void Forget();
  std::size_t Size() const { return entries_.size(); }

  // The learning file: a header line, then one entry a line (count, use
  // number, reading and text, separated by tabs).
  std::string Serialise() const;
  // False, and nothing learned, when the text is not a learning file.
  bool Parse(std::string_view text);

  // Reads the file at `path`. A missing file is a fresh start; a damaged one
  // is too, and the message to give the user is returned (code page 932).
  std::string Load(ITextFiles& files, const std::string& path);
  // Writes the file atomically; "" or the file layer's message.
  std::string Save(ITextFiles& files, const std::string& path) const;

 private:
  void Trim();

  std::vector<Entry> entries_;
  long long uses_ = 0;
};

}  // namespace velkor
