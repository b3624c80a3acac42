// Learning from what the user has already written: the words and sentences
// of the hundred document slots and of the text being written, so that the
// prediction row knows the user's words from the first day. Texts carry no
// readings: the prediction lexicon finds them (the lowest-cost split of each
// run of text into its words; hiragana read as themselves). What is found is
// learned as writing it on the board would have taught it: each word with
// its reading, and after the word before it; the kana before a punctuation
// mark as a phrase; each sentence whose every part has a reading. The work
// goes in small steps (a timer drives them) so the window never waits long.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Platform.h"
#include "document/TextFile.h"
#include "input/Learning.h"
#include "input/Prediction.h"

namespace velkor {

// A part of a written text with the reading found for it.
struct TextPiece {
  enum class Kind {
    Word,    // a word of the lexicon, with the lexicon's reading
    Kana,    // hiragana, read as themselves
    Mark,    // a punctuation mark: 、。，．！？
    Other,   // katakana, digits, letters and signs the lexicon has no word for, read as they stand
    Unread,  // kanji the lexicon has no word for: no reading
  };
  std::string text;
  std::string reading;  // "" for Unread
  Kind kind = Kind::Word;
  bool operator==(const TextPiece&) const = default;
};

// The lowest-cost reading of `run` (code page 932, no line break in it):
// where a character other than hiragana begins, the lexicon's words whose
// form starts there (their costs plus a cost for each word, so that fewer
// and longer words win); a hiragana as itself; a character the lexicon
// has no word for alone, kanji at a cost high enough that any word wins.
// Neighbouring kana (and neighbouring signs, neighbouring unread kanji)
// make one piece.
std::vector<TextPiece> SplitText(IPredictor& lexicon, std::string_view run);

// What a text teaches, for Learning::LearnNew.
struct FoundText {
  // SentenceEnd: the kana ending a sentence with its mark, counted as part
  // of the kana phrase before the mark, not as a word of their own.
  enum class Kind { Word, Sentence, After, SentenceEnd };
  std::string reading;  // After: Learning::ReadingAfter's; SentenceEnd: Learning::SentenceEndKey's
  std::string text;
  Kind kind = Kind::Word;
};

// What one piece of a text teaches: `segment` is a sentence (up to and with
// its 。！？), or a line's end without one, or a part of a long line (then
// `startsSentence` is false). Appended to `found`.
void FindInSegment(IPredictor& lexicon, std::string_view segment, bool startsSentence, std::vector<FoundText>& found);

class DocumentLearning {
 public:
  // How long one step works at most, in milliseconds (a little over it for
  // the last segment and the learning of what it found).
  static constexpr int kStepMs = 30;
  // What is learned of one document at most: its first 4 MiB.
  static constexpr std::size_t kMaxDocumentBytes = std::size_t{4} << 20;
  // A piece of a line without a sentence end is looked at this long at most.
  static constexpr std::size_t kLongestSegment = 4096;

  DocumentLearning(Learning& learning, IPredictor& lexicon, ITextFiles& files, IClock& clock)
      : learning_(learning), lexicon_(lexicon), files_(files), clock_(clock) {}

  // Begins with `current` (the text being written; nothing when empty), then
  // each of the slot files `slots` that exists (anything by that name: what
  // cannot be read is skipped and counted).
  void Start(const std::string& current, const std::vector<std::string>& slots);
  bool Running() const { return running_; }
  // Works on one document for at most kStepMs: true while more is left.
  // What it found is learned at the end of the step.
  bool Step();
  // Stops where it is: what was learned so far stays.
  void Cancel();
  // The documents done (learned or skipped) and all of them.
  int Done() const { return static_cast<int>(done_); }
  int Total() const { return static_cast<int>(sources_.size()); }
  int Sentences() const { return sentences_; }
  int Words() const { return words_; }
  int Skipped() const { return skipped_; }
  // "覚えています N/M" (code page 932).
  std::string ProgressText() const;
  // The end: "覚えました：K文、L語", or after a cancel "覚えるのをやめました：K文、L語";
  // with "（読めない文書 S）" when documents were skipped.
  std::string ResultText() const;

 private:
  // Reads the next document; false when it cannot be read or is no text.
  bool Open(const std::string& path);
  void Learn(const std::vector<FoundText>& found);
  void Finished();

  Learning& learning_;
  IPredictor& lexicon_;
  ITextFiles& files_;
  IClock& clock_;
  // The documents: slot paths, "" standing for the text being written.
  std::vector<std::string> sources_;
  std::string current_;
  std::size_t done_ = 0;
  bool open_ = false;
  std::string text_;  // the document being learned
  std::size_t at_ = 0;
  bool atSentenceStart_ = true;
  int sentences_ = 0;
  int words_ = 0;
  int skipped_ = 0;
  bool running_ = false;
  bool cancelled_ = false;
};

}  // namespace velkor
