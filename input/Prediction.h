// Prediction: what the prediction row offers. While kana are being written,
// candidates for the reading written since the last commit point (learned
// ones first, then the engine's); right after a commit or a punctuation
// mark, the likely next words. Choosing one replaces the reading as one
// change and learns it. What the user commits otherwise (a conversion, kana
// between punctuation, a whole sentence) is learned as it is written.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/CommaText.h"
#include "core/Platform.h"
#include "document/TextEdits.h"
#include "input/Conversion.h"
#include "input/Learning.h"

namespace velkor {

// The prediction engine behind the row (a lexicon with frequencies).
class IPredictor {
 public:
  virtual ~IPredictor() = default;
  // Words, phrases and sentences (code page 932) whose reading starts with
  // `reading` (hiragana), each with its whole reading, best first, at most
  // `max`.
  virtual std::vector<Word> Complete(const std::string& reading, std::size_t max) = 0;
  // Phrases (a word with the endings, particles and auxiliaries that follow
  // it) whose reading starts with `kana`, written after `before` (the text
  // before the kana), each with its whole reading, best first, at most `max`.
  virtual std::vector<Word> Phrases(const std::string& before, const std::string& kana, std::size_t max) = 0;
  // The likely next words or phrases after `before` (the text up to the
  // caret), each with its reading, best first, at most `max`.
  virtual std::vector<Word> Next(const std::string& before, std::size_t max) = 0;
  // The words whose written form `text` begins with, each form once with its
  // likeliest reading and its cost, shortest first: how the readings of text
  // written elsewhere are found. None from an engine that cannot tell.
  virtual std::vector<Word> FormsAt(std::string_view text) {
    static_cast<void>(text);
    return {};
  }
  // What writing each of `words` right after `before` costs, as -log10 of
  // its chance (8192 to the unit, lower is likelier), judged by its first
  // word; nullopt from an engine that cannot tell, or for a word whose first
  // word it does not know. One answer for each of `words`.
  virtual std::vector<std::optional<long>> CostsAfter(const std::string& before, const std::vector<Word>& words) {
    static_cast<void>(before);
    return std::vector<std::optional<long>>(words.size());
  }
};

class Prediction {
 public:
  Prediction(IPredictor& engine, Learning& learning) : engine_(engine), learning_(learning) {}

  // The conversion engine also offers its reading of the kana run, whenever
  // `busy` says no conversion is using it.
  void UseConverter(IConverter& converter, std::function<bool()> busy) {
    converter_ = &converter;
    converterBusy_ = std::move(busy);
  }

  // The reading before `caret`: the hiragana written since the last commit
  // point, which is anything that is not hiragana (kanji, katakana,
  // punctuation, a line break, the start of the text).
  static std::string ReadingBefore(const std::string& text, std::size_t caret);
  // The sentence written so far before `caret`: the text since the last 。,
  // ！ or ？, line break or the start of the text.
  static std::string SentenceBefore(const std::string& text, std::size_t caret);

  // What the row offers: the candidates, best first, and for each the
  // reading before the caret it replaces (empty for next words and the rest
  // of a learned sentence, which are inserted) and its whole reading (it may
  // be offered before all of it was written; empty when not known); and the
  // learned text it comes from: the candidate, the whole sentence it ends,
  // or the whole kana phrase it ends ("" when only the engines offer it).
  struct Offer {
    StringList candidates;
    StringList replaces;
    StringList readings;
    StringList learned;
  };
  // The row for the text with its caret: at most `cells` candidates, none
  // twice; empty when there is nothing to offer. First the rest of learned
  // sentences that begin as the sentence written so far; then what was
  // learned for the kana before the caret or an end of them; the
  // conversion engine's reading of those kana; then the engine's words for
  // them or an end of them (kana written before a word and never converted
  // do not hide it); with no kana, the next words.
  // `text` may be the part of the document that ends at the caret, starting
  // at byte `origin` of it on a character boundary.
  Offer Row(const std::string& text, std::size_t caret, std::size_t cells, std::size_t origin = 0) const;

  // Candidate `index` of `offer` chosen: the reading it replaces before the
  // caret gives way to it as one change (one undo takes it back), and it is
  // learned for that reading.
  void Choose(IEditArea& edit, TextEdits& edits, const Offer& offer, std::size_t index);

  // A conversion committed `text` for `reading`, ending at byte `end` of the
  // text: learned, and a commit point.
  void Converted(const std::string& reading, const std::string& text, std::size_t end);
  // The board wrote at the caret. After a punctuation mark the kana written
  // since the last one are learned as they stand, and after 。, ！ or ？ the
  // whole sentence is learned for its reading, when every part of it is
  // known (kana, or what was committed for a reading this session).
  void Wrote(const std::string& text, std::size_t caret, std::size_t origin = 0);

  // The reading of `written`: kana as they stand (katakana as hiragana),
  // punctuation as it stands, and texts committed this session by their
  // readings. Nothing when any part is not known.
  std::optional<std::string> ReadingOf(const std::string& written) const;
  // Forgets what was committed this session, with all that was learned.
  void Forget() { committed_.clear(); }
  // What was learned that makes candidate `index` of `offer`: the text whose
  // entries Forget(text) removes so that it is not offered for what was
  // learned any more; "" when the engines alone offer it.
  std::string LearnedSource(const Offer& offer, std::size_t index) const;
  // Forgets every entry learned with `text`, and it is no part of a
  // sentence's reading any more.
  void Forget(const std::string& text);

 private:
  // What was committed for which reading, latest last: the parts that make a
  // sentence's reading.
  void Remember(const std::string& reading, const std::string& text);
  // The kana before the caret written since the last commit point: a
  // committed text that ends in kana ("少し") is no part of the next reading.
  std::string KanaSinceCommit(const std::string& text, std::size_t caret, std::size_t origin) const;
  // The conversion engine's best readings of `kana` as one text each; none
  // while it is busy.
  std::vector<Word> Converted(const std::string& kana) const;
  // The row's offers with no kana before the caret: after a word, the rests
  // of learned kana phrases that go on from its last kana and the kana
  // phrases the user writes after words; then the engine's next words.
  // First what was learned after `committed`, the text committed right
  // before the caret.
  void AddAfterText(Offer& offer, const std::string& text, std::size_t caret, std::size_t cells,
                    const std::string& committed) const;
  // The rests of learned kana phrases that go on from the kana ending
  // `committed` (AddAfterText's, after the engine's first next phrases).
  void AddRestsAfter(Offer& offer, const std::string& committed, std::size_t cells) const;
  // The last text committed when it ends at byte `at` of `text` (which
  // starts at byte `origin` of the document) and still stands there; "".
  std::string CommitBefore(const std::string& text, std::size_t at, std::size_t origin) const;
  // The row's offers for the kana run before the caret, written after
  // `before`, whose ends (longest first) are `ends`.
  void AddForKana(Offer& offer, const std::string& before, const std::string& kana,
                  const std::vector<std::string>& ends, std::size_t cells) const;
  // The engine's words for the ends, by score (AddForKana's last offers).
  void AddEngineWords(Offer& offer, const std::vector<std::string>& ends, std::size_t cells) const;

  IPredictor& engine_;
  Learning& learning_;
  std::deque<std::pair<std::string, std::string>> committed_;  // {text, reading}
  // The last text committed (a choice on the row, a conversion) and the byte
  // where it ended.
  std::string lastCommit_;
  std::size_t lastCommitEnd_ = 0;
  IConverter* converter_ = nullptr;
  std::function<bool()> converterBusy_;
};

}  // namespace velkor
