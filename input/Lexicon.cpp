#include "input/Lexicon.h"

#include <algorithm>
#include <charconv>

namespace velkor {

bool Lexicon::Load(ITextFiles& files, const std::string& path) {
  entries_.clear();
  FileResult read = files.ReadAll(path);
  if (!read.ok) return false;
  text_ = std::move(read.bytes);
  const std::string_view all(text_);
  std::size_t pos = 0;
  while (pos < all.size()) {
    const std::size_t end = all.find('\n', pos);
    const std::size_t tab1 = all.find('\t', pos);
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : all.find('\t', tab1 + 1);
    if (end == std::string_view::npos || tab2 == std::string_view::npos || tab2 >= end || tab1 == pos) {
      entries_.clear();
      return false;
    }
    Entry e{static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(tab1 - pos),
            static_cast<std::uint32_t>(tab1 + 1), static_cast<std::uint32_t>(tab2 - tab1 - 1), 0};
    std::from_chars(all.data() + tab2 + 1, all.data() + end, e.cost);
    entries_.push_back(e);
    pos = end + 1;
  }
  return !entries_.empty();
}

std::vector<Word> Lexicon::Complete(const std::string& reading, std::size_t max) {
  std::vector<Word> out;
  if (reading.empty() || max == 0) return out;
  const auto first = std::lower_bound(entries_.begin(), entries_.end(), std::string_view(reading),
                                      [this](const Entry& e, std::string_view r) { return ReadingOf(e) < r; });
  std::vector<const Entry*> found;
  for (auto it = first; it != entries_.end() && ReadingOf(*it).substr(0, reading.size()) == reading; ++it)
    found.push_back(&*it);
  // The most common first; a longer reading only when it is as common.
  const auto better = [this](const Entry* a, const Entry* b) {
    return a->cost != b->cost ? a->cost < b->cost : a->readingLength < b->readingLength;
  };
  const std::size_t keep = std::min(found.size(), max * 4);
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(keep), found.end(), better);
  for (std::size_t i = 0; i < keep && out.size() < max; ++i) {
    const std::string form(FormOf(*found[i]));
    if (std::none_of(out.begin(), out.end(), [&form](const Word& w) { return w.form == form; })) {
      out.push_back({form, std::string(ReadingOf(*found[i])), found[i]->cost});
    }
  }
  return out;
}

std::vector<Word> Lexicon::Phrases(const std::string& before, const std::string& kana, std::size_t max) {
  return model_.Phrases(before, kana, max);
}

std::vector<Word> Lexicon::Next(const std::string& before, std::size_t max) { return model_.Next(before, max); }

}  // namespace velkor
