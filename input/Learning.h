// What the user has written, learned: each reading (kana, code page 932)
// with the text it was committed as, counted and stamped, so that what the
// user writes ranks above the lexicon. Kept per user in one file, written
// atomically, capped in size: the rarest and oldest entries go first.
//
// The file is the user's: every field is escaped, every line is checked when
// read (a damaged line is skipped and counted, the others are kept), a
// damaged file is kept beside before it is replaced, and it is written only
// when something was learned or forgotten. Programs running at the same time
// share it: a write merges what this program learned into the file as it is
// then, under a lock, and the file records when everything was last
// forgotten, and when each text forgotten on its own was, so that no later
// write brings a forgotten entry back.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Platform.h"
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
  // A count or a use stamp above these in the file is damage, not use.
  static constexpr long long kMaxCount = 1000000000LL;
  static constexpr long long kMaxStamp = 1000000000000000LL;
  // At most this many texts forgotten one by one are remembered; the
  // oldest forgetting goes first.
  static constexpr std::size_t kMaxForgottenTexts = 4000;

  struct Entry {
    std::string reading;  // code page 932
    std::string text;     // code page 932: kanji, kana, a phrase or a sentence
    long long count = 0;
    // A use stamp: the wall clock in milliseconds at the last use, and always
    // above the stamp before it (older files hold plain use numbers).
    long long lastUse = 0;
  };

  Learning();

  // Counts one more use of `text` written for `reading`.
  void Learn(const std::string& reading, const std::string& text);
  // Counts one more use of `text` written for `reading` right after
  // `before`, the text committed just before it, so that it is offered after
  // the same text in a new sentence. Kept as an entry of the same file whose
  // reading is `before`, kAfterMark and `reading` (a byte no reading holds),
  // and so shared, merged and forgotten with everything else; the other
  // look-ups pass these entries over.
  void LearnAfter(const std::string& before, const std::string& reading, const std::string& text);
  // Counts one more use of `kana`, the kana that ended a sentence with its
  // mark ("んでください。"), as a kana phrase: offered after words, from
  // within and for its own kana like the kana phrases, never as a sentence
  // (it is the end of one) nor as the reading of a text. Kept for the reading
  // SentenceEndKey(kana), which the sentence and reading look-ups pass over as
  // they do the entries learned after a text.
  void LearnSentenceEnd(const std::string& kana);
  static std::string SentenceEndKey(const std::string& kana);
  // What was learned after `before` for readings that start with `prefix`
  // ("" for everything learned after it), best first; at most `max`.
  std::vector<Word> WordsAfter(std::string_view before, std::string_view prefix, std::size_t max) const;
  static constexpr char kAfterMark = '\x1f';
  // The texts learned for readings that start with `prefix`, best first: the
  // most used, and of those the most recent; at most `max`.
  std::vector<std::string> Candidates(std::string_view prefix, std::size_t max) const;
  // The same, each with the reading it was learned for.
  std::vector<Word> Words(std::string_view prefix, std::size_t max) const;
  // What the learned sentences add to `written` (the sentence written so
  // far, possibly empty): the rest of each learned sentence (a text ending in
  // 。, ！ or ？) that starts with it, best first; at most `max`.
  std::vector<std::string> Continuations(std::string_view written, std::size_t max) const;
  // The phrases learned in kana as they stand ("てください") and the kana that
  // ended sentences ("てください。"), best first: what the user likely writes
  // right after a word; at most `max`.
  std::vector<std::string> KanaPhrases(std::size_t max) const;
  // The ends of learned kana phrases that start with `kana` after the
  // phrase's own start ("て" finds "てください" in "してください"), best
  // first; at most `max`.
  std::vector<std::string> PhraseEnds(std::string_view kana, std::size_t max) const;
  // The same, each with the phrase it ends.
  std::vector<std::pair<std::string, std::string>> PhraseEndsOf(std::string_view kana, std::size_t max) const;
  // What follows `kana` in learned kana phrases that hold it anywhere, the
  // phrase's start included ("い" finds "です。" in "いです。", "ます。" in
  // "います。"), each with its phrase, best first; at most `max`. The rest of
  // the phrase a word ending in those kana began ("会いた" → "いです。").
  std::vector<std::pair<std::string, std::string>> PhraseRestsAfter(std::string_view kana, std::size_t max) const;
  // The reading `text` was learned for (the most used); nothing when it was
  // never learned.
  std::optional<std::string> ReadingOf(std::string_view text) const;
  // Forgets everything learned (a machine shared with another person); the
  // next write makes every program sharing the file forget it too.
  void Forget();
  // Forgets every entry whose text is `text`: learned for any reading, after
  // any text, or as a sentence. The forgetting is recorded with its stamp, so
  // that no program sharing the file brings back what was learned before it;
  // what is learned again after it counts anew.
  void Forget(const std::string& text);
  // Some entry holds `text` (learned for any reading or after any text).
  bool Knows(std::string_view text) const;
  // `text` was forgotten on its own, and not learned again since.
  bool ForgottenAlone(std::string_view text) const;
  // The reading of an entry learned after `before` (LearnAfter's): "" when
  // `before` cannot be one.
  static std::string ReadingAfter(const std::string& before, const std::string& reading);
  // Learns each of `found` (reading, text) that is not learned yet, once:
  // what the user's documents hold rather than what they chose. One per
  // entry of the result: whether it was learned.
  std::vector<bool> LearnNew(const std::vector<std::pair<std::string, std::string>>& found);
  std::size_t Size() const { return entries_.size(); }
  // Grows with every use learned and every forgetting: a changed number
  // means there is something to write.
  long long Changes() const { return changes_; }
  // A text that ends in 。, ！ or ？ (code page 932).
  static bool EndsSentence(std::string_view text);

  // The clock of the use stamps, in milliseconds since 1970 (the system's
  // by default; tests give their own).
  void SetClock(std::function<long long()> now) { now_ = std::move(now); }

  // The learning file: the header line "VelkorLT learning 3", a tab and the
  // stamp of the last forgetting of everything (0: never), then one entry a
  // line: count, use stamp, reading and text, separated by tabs; and one line
  // for each text forgotten on its own: "-", its stamp and the text. In the
  // reading and the text a backslash, tab, CR and LF are written \\, \t, \r
  // and \n, and a lead byte without its second byte as \xHH. A file with no
  // text forgotten on its own is written as version 2 (the same without
  // those lines), which older programs read. Files of versions 2 and of the
  // first version (header "VelkorLT learning 1", nothing escaped) are read
  // as they are.
  std::string Serialise() const;
  // Learns the entries of a learning file, replacing what was learned. A
  // damaged line (a field missing or empty, a count of 0 or too large, a
  // broken escape, a last line cut off) is skipped and counted; CR LF line
  // ends are read as LF. False when any line, or the header, was damaged.
  bool Parse(std::string_view text);
  // The lines the last Parse or Load skipped (a missing header counts one).
  std::size_t DamagedLines() const { return damaged_; }

  // Reads the file at `path`. A missing file is a fresh start. The message to
  // give the user (code page 932), or "": lines skipped, and where the
  // damaged file will be kept before it is replaced; a file that cannot be
  // read, or that is a symbolic link or not the user's own, which is then
  // never written (learning is kept in memory only).
  std::string Load(ITextFiles& files, const std::string& path);
  // Writes the file atomically as it stands; "" or the file layer's message.
  std::string Save(ITextFiles& files, const std::string& path) const;
  // Writes what was learned or forgotten since the last write, merged with
  // the file as it is now (what other programs added stays; what anyone
  // forgot stays forgotten), under the lock file `path` + ".lock"; then
  // holds what was written. Nothing is written when nothing changed: the
  // file is only read, and what it holds is held. "" or
  // the message for the user (code page 932): why nothing could be written
  // (learning stays in memory and is written at the next try), or where a
  // damaged file was kept.
  std::string Sync(ITextFiles& files, IFileSystem& fs, const std::string& path);
  // Something was learned or forgotten that is not written yet.
  bool Unsaved() const { return forgetPending_ || !pending_.empty(); }

 private:
  using Key = std::pair<std::string, std::string>;  // reading, text
  struct Pending {
    long long count = 0;
    long long lastUse = 0;
  };
  // Texts forgotten one by one, with the stamp of each forgetting.
  using ForgottenTexts = std::map<std::string, long long, std::less<>>;
  // A learning file as read: its good entries, its forgetting and its damage.
  struct FileImage {
    std::vector<Entry> entries;
    long long forgotten = 0;
    ForgottenTexts forgottenTexts;
    std::size_t damaged = 0;
  };
  static FileImage ReadImage(std::string_view text);
  static std::string Write(const std::vector<Entry>& entries, long long forgotten, const ForgottenTexts& texts);
  // The file's entries and what this program learned since the last write,
  // less what was forgotten (`forgotten`, `texts`: everything known).
  std::vector<Entry> Merged(FileImage& image, long long forgotten, const ForgottenTexts& texts) const;
  // Holds the file's entries as they are (nothing pending), less what this
  // program knows was forgotten.
  void Adopt(FileImage image);
  long long NextStamp();
  void Trim();
  std::string KeepDamaged(ITextFiles& files, const std::string& path, const std::string& bytes);
  std::string DamagedCopyName(const std::string& path) const;
  // The entries of `found`, best first, no text twice.
  static std::vector<const Entry*> Best(std::vector<const Entry*>& found, std::size_t max);
  // The pieces of learned kana phrases where `kana` stands at a place from
  // `firstAt` on with more after it: from `kana` on, or (`after`) what follows
  // it; each with its phrase, best first, no piece twice, at most `max`.
  std::vector<std::pair<std::string, std::string>> PhrasePieces(std::string_view kana, std::size_t firstAt, bool after,
                                                                std::size_t max) const;

  std::vector<Entry> entries_;
  long long uses_ = 0;
  long long changes_ = 0;
  std::function<long long()> now_;
  // Learned since the last write, by reading and text.
  std::map<Key, Pending> pending_;
  // The stamp of the last forgetting known (this program's or the file's).
  long long forgotten_ = 0;
  // The texts forgotten one by one that are known (this program's or the
  // file's).
  ForgottenTexts forgottenTexts_;
  bool forgetPending_ = false;
  std::size_t damaged_ = 0;
  // Where a damaged file read at start is kept before it is replaced.
  std::string damagedCopy_;
  // Why the file is never written in this run ("": it may be).
  std::string refused_;
};

}  // namespace velkor
