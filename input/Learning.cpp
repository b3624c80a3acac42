#include "input/Learning.h"

#include <algorithm>
#include <charconv>

#include "core/Cp932.h"

namespace velkor {
namespace {

constexpr std::string_view kHeader = "VelkorLT learning 1";
constexpr std::string_view kAfterHeader = "VelkorLT learning after 1";

bool ParseNumber(std::string_view text, long long& out) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && out >= 0;
}

// One line's fields (count, use number, then the texts: `texts` of them),
// split at tabs (neither a tab nor a line break is ever a byte of a code
// page 932 character).
bool ParseLine(std::string_view line, Learning::Entry& entry, int texts = 2) {
  std::string_view fields[5];
  const int count = 2 + texts;
  for (int i = 0; i + 1 < count; ++i) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  fields[count - 1] = line;
  if (!ParseNumber(fields[0], entry.count) || !ParseNumber(fields[1], entry.lastUse)) return false;
  for (int i = 2; i < count; ++i) {
    if (fields[i].empty() || fields[i].find('\t') != std::string_view::npos) return false;
  }
  if (texts == 3) entry.before = std::string(fields[2]);
  entry.reading = std::string(fields[count - 2]);
  entry.text = std::string(fields[count - 1]);
  return entry.count > 0;
}

// A text the learning files can hold on one line of tab-separated fields.
bool Storable(std::string_view text) { return !text.empty() && text.find_first_of("\t\r\n") == std::string_view::npos; }

// Better first: more uses, then the more recent.
bool Better(const Learning::Entry& a, const Learning::Entry& b) {
  return a.count != b.count ? a.count > b.count : a.lastUse > b.lastUse;
}

}  // namespace

void Learning::Learn(const std::string& reading, const std::string& text) {
  // A tab or a line break would make the file unreadable, and all of it lost.
  if (!Storable(reading) || !Storable(text)) return;
  ++uses_;
  ++changes_;
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.reading == reading && e.text == text; });
  if (it != entries_.end()) {
    ++it->count;
    it->lastUse = uses_;
    return;
  }
  entries_.push_back({"", reading, text, 1, uses_});
  Trim(entries_);
}

void Learning::LearnAfter(const std::string& before, const std::string& reading, const std::string& text) {
  if (!Storable(before) || !Storable(reading) || !Storable(text)) return;
  ++uses_;
  ++changes_;
  const auto it = std::find_if(after_.begin(), after_.end(), [&](const Entry& e) {
    return e.before == before && e.reading == reading && e.text == text;
  });
  if (it != after_.end()) {
    ++it->count;
    it->lastUse = uses_;
    return;
  }
  after_.push_back({before, reading, text, 1, uses_});
  Trim(after_);
}

std::vector<Word> Learning::WordsAfter(std::string_view before, std::string_view prefix, std::size_t max) const {
  std::vector<const Entry*> found;
  for (const Entry& e : after_) {
    if (e.before == before && e.reading.compare(0, prefix.size(), prefix) == 0) found.push_back(&e);
  }
  std::vector<Word> out;
  for (const Entry* e : Best(found, max)) out.push_back({e->text, e->reading});
  return out;
}

void Learning::Trim(std::vector<Entry>& entries) {
  if (entries.size() <= kMaxEntries) return;
  // The rarest, and of those the oldest, go first.
  std::sort(entries.begin(), entries.end(), Better);
  entries.resize(kMaxEntries);
}

std::vector<Word> Learning::Words(std::string_view prefix, std::size_t max) const {
  std::vector<const Entry*> found;
  for (const Entry& e : entries_) {
    if (e.reading.compare(0, prefix.size(), prefix) == 0) found.push_back(&e);
  }
  std::vector<Word> out;
  for (const Entry* e : Best(found, max)) out.push_back({e->text, e->reading});
  return out;
}

std::vector<std::string> Learning::Candidates(std::string_view prefix, std::size_t max) const {
  std::vector<std::string> out;
  for (Word& word : Words(prefix, max)) out.push_back(std::move(word.form));
  return out;
}

std::vector<std::string> Learning::Continuations(std::string_view written, std::size_t max) const {
  std::vector<const Entry*> found;
  for (const Entry& e : entries_) {
    if (e.text.size() > written.size() && e.text.compare(0, written.size(), written) == 0 && EndsSentence(e.text)) {
      found.push_back(&e);
    }
  }
  std::vector<std::string> out;
  for (const Entry* e : Best(found, max)) out.push_back(e->text.substr(written.size()));
  return out;
}

std::vector<const Learning::Entry*> Learning::Best(std::vector<const Entry*>& found, std::size_t max) {
  std::sort(found.begin(), found.end(), [](const Entry* a, const Entry* b) { return Better(*a, *b); });
  std::vector<const Entry*> out;
  for (const Entry* e : found) {
    if (out.size() == max) break;
    if (std::none_of(out.begin(), out.end(), [e](const Entry* kept) { return kept->text == e->text; })) {
      out.push_back(e);
    }
  }
  return out;
}

std::vector<std::string> Learning::KanaPhrases(std::size_t max) const {
  std::vector<const Entry*> found;
  for (const Entry& e : entries_) {
    if (e.text == e.reading) found.push_back(&e);
  }
  std::vector<std::string> out;
  for (const Entry* e : Best(found, max)) out.push_back(e->text);
  return out;
}

std::vector<std::string> Learning::PhraseEnds(std::string_view kana, std::size_t max) const {
  std::vector<const Entry*> found;
  std::vector<std::string> ends;
  for (const Entry& e : entries_) {
    if (kana.empty() || e.text != e.reading) continue;
    // Kana are two bytes each: only even places start one.
    for (std::size_t at = 2; at + kana.size() < e.text.size(); at += 2) {
      if (e.text.compare(at, kana.size(), kana) == 0) {
        found.push_back(&e);
        break;
      }
    }
  }
  std::vector<std::string> out;
  for (const Entry* e : Best(found, found.size())) {
    if (out.size() == max) break;
    for (std::size_t at = 2; at + kana.size() < e->text.size(); at += 2) {
      if (e->text.compare(at, kana.size(), kana) != 0) continue;
      std::string end = e->text.substr(at);
      if (std::find(out.begin(), out.end(), end) == out.end()) out.push_back(std::move(end));
      break;
    }
  }
  return out;
}

std::optional<std::string> Learning::ReadingOf(std::string_view text) const {
  const Entry* best = nullptr;
  for (const Entry& e : entries_) {
    if (e.text == text && (best == nullptr || Better(e, *best))) best = &e;
  }
  if (best == nullptr) return std::nullopt;
  return best->reading;
}

bool Learning::EndsSentence(std::string_view text) {
  for (const char* mark : {"。", "！", "？"}) {
    const std::string sj = cp932::FromUtf8(mark);
    if (text.size() >= sj.size() && text.compare(text.size() - sj.size(), sj.size(), sj) == 0) return true;
  }
  return false;
}

void Learning::Forget() {
  entries_.clear();
  after_.clear();
  uses_ = 0;
  ++changes_;
}

std::string Learning::Serialise() const {
  std::string out(kHeader);
  out += '\n';
  for (const Entry& e : entries_) {
    out += std::to_string(e.count) + '\t' + std::to_string(e.lastUse) + '\t' + e.reading + '\t' + e.text + '\n';
  }
  return out;
}

bool Learning::Parse(std::string_view text) {
  Forget();
  if (text.substr(0, kHeader.size()) != kHeader || text.size() == kHeader.size() || text[kHeader.size()] != '\n')
    return false;
  text.remove_prefix(kHeader.size() + 1);
  std::vector<Entry> parsed;
  long long uses = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return false;  // cut short
    Entry entry;
    if (!ParseLine(text.substr(0, end), entry)) return false;
    uses = std::max(uses, entry.lastUse);
    parsed.push_back(std::move(entry));
    text.remove_prefix(end + 1);
  }
  entries_ = std::move(parsed);
  uses_ = uses;
  Trim(entries_);
  return true;
}

std::string Learning::SerialiseAfter() const {
  std::string out(kAfterHeader);
  out += '\n';
  for (const Entry& e : after_) {
    out += std::to_string(e.count) + '\t' + std::to_string(e.lastUse) + '\t' + e.before + '\t' + e.reading + '\t' +
           e.text + '\n';
  }
  return out;
}

bool Learning::ParseAfter(std::string_view text) {
  after_.clear();
  if (text.substr(0, kAfterHeader.size()) != kAfterHeader || text.size() == kAfterHeader.size() ||
      text[kAfterHeader.size()] != '\n') {
    return false;
  }
  text.remove_prefix(kAfterHeader.size() + 1);
  while (!text.empty()) {
    // A line cut short or damaged is skipped; the others stay.
    const auto end = std::min(text.find('\n'), text.size());
    Entry entry;
    if (end < text.size() && ParseLine(text.substr(0, end), entry, 3)) {
      uses_ = std::max(uses_, entry.lastUse);
      after_.push_back(std::move(entry));
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  Trim(after_);
  return true;
}

std::string Learning::AfterPath(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (extension ? path.substr(0, dot) : path) + "-after" + (extension ? path.substr(dot) : ".txt");
}

std::string Learning::Load(ITextFiles& files, const std::string& path) {
  Forget();
  bool sound = true;
  if (files.Exists(path)) {
    const FileResult read = files.ReadAll(path);
    sound = read.ok && Parse(read.bytes);
  }
  // The second file, written by this version and later; older ones leave it
  // alone and read the first as before.
  const std::string after = AfterPath(path);
  if (files.Exists(after)) {
    const FileResult read = files.ReadAll(after);
    sound = read.ok && ParseAfter(read.bytes) && sound;
  }
  return sound ? "" : cp932::FromUtf8("学習の記録が読めないため、新しく学習を始めます");
}

std::string Learning::Save(ITextFiles& files, const std::string& path) const {
  const std::string failed = files.WriteAtomic(path, Serialise());
  if (!failed.empty()) return failed;
  return files.WriteAtomic(AfterPath(path), SerialiseAfter());
}

}  // namespace velkor
