// The prediction lexicon: readings with their written forms and costs (lower
// is more common), from Debian's IPADIC (tools/gen_lexicon), loaded whole into
// one block of memory; with the phrase model beside it (input/PhraseModel),
// which gives phrases and next phrases.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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
  bool LoadModel(ITextFiles& files, const std::string& path) { return model_.Load(files, path); }
  const PhraseModel& Model() const { return model_; }

  // The written forms whose reading starts with `reading`, most common first.
  std::vector<Word> Complete(const std::string& reading, std::size_t max) override;
  // The phrase model's phrases for the kana after `before`.
  std::vector<Word> Phrases(const std::string& before, const std::string& kana, std::size_t max) override;
  // The phrase model's likely next phrases.
  std::vector<Word> Next(const std::string& before, std::size_t max) override;

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

  std::string text_;
  std::vector<Entry> entries_;  // sorted by reading, as the file is
  PhraseModel model_;
};

}  // namespace velkor
