#include "input/Lexicon.h"

#include <algorithm>
#include <charconv>

#include "core/Cp932.h"

namespace velkor {

namespace {

constexpr std::size_t kGroups = 0x10000;

// The code page 932 code of the first character: the group of a form.
std::size_t FirstCode(std::string_view text) {
  if (text.empty()) return 0;
  const std::size_t length = cp932::CharLength(text, 0);
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  return length == 2 ? (std::size_t{byte(0)} << 8) | byte(1) : byte(0);
}

}  // namespace

bool Lexicon::Load(ITextFiles& files, const std::string& path) {
  entries_.clear();
  byForm_.clear();
  groupStart_.clear();
  groupSorted_.clear();
  // Which of the model's words this lexicon knows is asked of it anew.
  std::fill(modelWordKnown_.begin(), modelWordKnown_.end(), 0);
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

bool Lexicon::LoadModel(ITextFiles& files, const std::string& path) {
  const bool loaded = model_.Load(files, path);
  modelWordKnown_.assign(model_.Size(), 0);
  return loaded;
}

bool Lexicon::KnowsModelWord(std::uint32_t word, std::string_view form, std::string_view reading) {
  if (word >= modelWordKnown_.size()) return Begins(form, reading);
  std::uint8_t& known = modelWordKnown_[word];
  if (known == 0) known = Begins(form, reading) ? 1 : 2;
  return known == 1;
}

std::vector<std::optional<long>> Lexicon::CostsAfter(const std::string& before, const std::vector<Word>& words) {
  const PhraseModel::Context context = model_.ContextOf(before);
  std::vector<std::optional<long>> costs;
  for (const Word& word : words) costs.push_back(model_.CostAfter(context, word.form));
  return costs;
}

std::vector<Word> Lexicon::Phrases(const std::string& before, const std::string& kana, std::size_t max) {
  return model_.Phrases(before, kana, max, [this](std::uint32_t word, std::string_view form, std::string_view reading) {
    return KnowsModelWord(word, form, reading);
  });
}

std::vector<Word> Lexicon::Next(const std::string& before, std::size_t max) {
  return model_.Next(before, max, [this](std::uint32_t word, std::string_view form, std::string_view reading) {
    return KnowsModelWord(word, form, reading);
  });
}

bool Lexicon::Begins(std::string_view form, std::string_view reading) {
  if (entries_.empty() || form.empty()) return true;
  const auto [first, last] = FormGroup(form);
  const auto end = byForm_.begin() + last;
  auto at = std::lower_bound(byForm_.begin() + first, end, form,
                             [this](std::uint32_t e, std::string_view f) { return FormOf(entries_[e]) < f; });
  for (int looked = 0; at != end && looked < 400; ++at, ++looked) {
    const Entry& e = entries_[*at];
    if (FormOf(e).substr(0, form.size()) != form) break;
    if (ReadingOf(e).substr(0, reading.size()) == reading) return true;
  }
  return false;
}

void Lexicon::GroupForms() {
  // One pass to count each group, one to place the entries.
  groupStart_.assign(kGroups + 1, 0);
  for (const Entry& e : entries_) ++groupStart_[FirstCode(FormOf(e)) + 1];
  for (std::size_t g = 1; g <= kGroups; ++g) groupStart_[g] += groupStart_[g - 1];
  byForm_.resize(entries_.size());
  std::vector<std::uint32_t> next(groupStart_.begin(), groupStart_.end() - 1);
  for (std::uint32_t i = 0; i < entries_.size(); ++i) byForm_[next[FirstCode(FormOf(entries_[i]))]++] = i;
  groupSorted_.assign(kGroups, false);
}

std::pair<std::uint32_t, std::uint32_t> Lexicon::FormGroup(std::string_view text) {
  if (groupStart_.empty()) GroupForms();
  const std::size_t group = FirstCode(text);
  const std::uint32_t first = groupStart_[group];
  const std::uint32_t last = groupStart_[group + 1];
  if (!groupSorted_[group]) {
    std::sort(byForm_.begin() + first, byForm_.begin() + last, [this](std::uint32_t a, std::uint32_t b) {
      const std::string_view fa = FormOf(entries_[a]);
      const std::string_view fb = FormOf(entries_[b]);
      return fa != fb ? fa < fb : entries_[a].cost < entries_[b].cost;
    });
    groupSorted_[group] = true;
  }
  return {first, last};
}

std::vector<Word> Lexicon::FormsAt(std::string_view text) {
  std::vector<Word> out;
  if (entries_.empty() || text.empty()) return out;
  const auto [first, last] = FormGroup(text);
  auto from = byForm_.begin() + first;
  const auto end = byForm_.begin() + last;
  std::size_t length = 0;
  for (std::size_t chars = 0; chars < kLongestForm && length < text.size(); ++chars) {
    length = cp932::NextCharPos(text, length);
    const std::string_view prefix = text.substr(0, length);
    // The forms from here on sort at or after the prefix; the lowest cost of
    // one form comes first.
    from = std::lower_bound(from, end, prefix,
                            [this](std::uint32_t e, std::string_view p) { return FormOf(entries_[e]) < p; });
    if (from == end || FormOf(entries_[*from]).substr(0, length) != prefix) break;  // no longer form either
    const Entry& e = entries_[*from];
    if (FormOf(e) == prefix) out.push_back({std::string(prefix), std::string(ReadingOf(e)), e.cost});
  }
  return out;
}

}  // namespace velkor
