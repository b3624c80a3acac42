// The prediction lexicon: readings with their written forms and costs (lower
// is more common), from Debian's IPADIC (tools/gen_lexicon), loaded whole into
// one block of memory; with the phrase model beside it (input/PhraseModel),
// which gives phrases and next phrases.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/TextFile.h"
#include "input/PhraseModel.h"
#include "input/Prediction.h"

namespace velkor {

class Lexicon : public IPredictor {
 public:
  // Reads the lexicon file; false (and an empty lexicon) when it cannot be
  // read or is not one.
  bool Load(ITextFiles& files, const std::string& path);
  std::size_t Size() const { return entries_.size(); }
  // Reads the phrase model; false (and no phrases) when it cannot be read.
  bool LoadModel(ITextFiles& files, const std::string& path);
  const PhraseModel& Model() const { return model_; }

  // The written forms whose reading starts with `reading`, most common first.
  std::vector<Word> Complete(const std::string& reading, std::size_t max) override;
  // The phrase model's phrases for the kana after `before`, each beginning
  // with a word this lexicon knows (it holds no names of places or people).
  std::vector<Word> Phrases(const std::string& before, const std::string& kana, std::size_t max) override;
  // The phrase model's likely next phrases, beginning likewise.
  std::vector<Word> Next(const std::string& before, std::size_t max) override;
  // Whether an entry's form begins with `form` and its reading with `reading`.
  bool Begins(std::string_view form, std::string_view reading);
  // The phrase model's costs of `words` after `before` (the words before
  // found once for all of them).
  std::vector<std::optional<long>> CostsAfter(const std::string& before, const std::vector<Word>& words) override;
  // The forms `text` begins with, each with the reading of its lowest cost.
  std::vector<Word> FormsAt(std::string_view text) override;
  // The longest form looked for, in characters.
  static constexpr std::size_t kLongestForm = 16;

 private:
  struct Entry {
    std::uint32_t reading, readingLength;  // in text_
    std::uint32_t form, formLength;
    std::int32_t cost;
  };
  std::string_view ReadingOf(const Entry& e) const {
    return std::string_view(text_).substr(e.reading, e.readingLength);
  }
  std::string_view FormOf(const Entry& e) const { return std::string_view(text_).substr(e.form, e.formLength); }

  // The entries by written form, made when a form is first looked for:
  // grouped by the form's first character (its code page 932 code), each
  // group sorted by form and cost when it is first looked at, so that no
  // look-up sorts the whole lexicon at once.
  void GroupForms();
  std::pair<std::uint32_t, std::uint32_t> FormGroup(std::string_view text);

  std::string text_;
  std::vector<Entry> entries_;             // sorted by reading, as the file is
  std::vector<std::uint32_t> byForm_;      // entry numbers, grouped by first character
  std::vector<std::uint32_t> groupStart_;  // where each group begins in byForm_ (one past the last too)
  std::vector<bool> groupSorted_;
  PhraseModel model_;
  // For each of the model's words, whether Begins() knows it: 0 not asked
  // yet, 1 known, 2 not known. Asked when a phrase first begins with it.
  std::vector<std::uint8_t> modelWordKnown_;
  bool KnowsModelWord(std::uint32_t word, std::string_view form, std::string_view reading);
};

}  // namespace velkor
