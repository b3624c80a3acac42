// Prediction: what the prediction row offers. While kana are being written,
// candidates for the reading written since the last commit point (learned
// ones first, then the engine's); right after a commit or a punctuation
// mark, the likely next words. Choosing one replaces the reading as one
// change and learns it.
#pragma once

#include <cstddef>
#include <string>

#include "core/CommaText.h"
#include "core/Platform.h"
#include "document/TextEdits.h"
#include "input/Learning.h"

namespace velkor {

// The prediction engine behind the row (a lexicon with frequencies).
class IPredictor {
 public:
  virtual ~IPredictor() = default;
  // Words, phrases and sentences (code page 932) whose reading starts with
  // `reading` (hiragana), best first, at most `max`.
  virtual StringList Complete(const std::string& reading, std::size_t max) = 0;
  // The likely next words or phrases after `before` (the text up to the
  // caret), best first, at most `max`.
  virtual StringList Next(const std::string& before, std::size_t max) = 0;
};

class Prediction {
 public:
  Prediction(IPredictor& engine, Learning& learning) : engine_(engine), learning_(learning) {}

  // The reading before `caret`: the hiragana written since the last commit
  // point, which is anything that is not hiragana (kanji, katakana,
  // punctuation, a line break, the start of the text).
  static std::string ReadingBefore(const std::string& text, std::size_t caret);

  // What the row offers: the candidates, and the reading before the caret
  // they replace (empty for next words, which are inserted).
  struct Offer {
    std::string reading;
    StringList candidates;
  };
  // The row for the text with its caret: at most `cells` candidates, none
  // twice; empty when there is nothing to offer. The reading is the longest
  // end of the kana before the caret that has candidates, so kana written
  // before a word and never converted do not hide it.
  Offer Row(const std::string& text, std::size_t caret, std::size_t cells) const;

  // `candidate` of `offer` chosen: the offer's reading before the caret gives
  // way to it as one change (one undo takes it back), and it is learned for
  // that reading.
  void Choose(IEditArea& edit, TextEdits& edits, const Offer& offer, const std::string& candidate);

 private:
  IPredictor& engine_;
  Learning& learning_;
};

}  // namespace velkor
