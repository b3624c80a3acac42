#include "input/Learning.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <unordered_set>

#include "core/Cp932.h"

namespace velkor {
namespace {

constexpr std::string_view kHeader1 = "VelkorLT learning 1";
constexpr std::string_view kHeader2 = "VelkorLT learning 2";
constexpr std::string_view kHeader3 = "VelkorLT learning 3";
// The first field of a line that records a text forgotten on its own.
constexpr std::string_view kForgottenMark = "-";
constexpr std::string_view kHeaderStem = "VelkorLT learning ";
// How long a write waits for another program's write to end.
constexpr int kLockWaitMs = 2000;

bool ParseNumber(std::string_view text, long long& out, long long max) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && out >= 0 && out <= max;
}

// A second byte of a double-byte character.
constexpr bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The bytes at `i` are a whole double-byte character: its second byte may be
// a backslash, which is then no escape.
bool PairAt(std::string_view text, std::size_t i) {
  return cp932::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
         IsTrailByte(static_cast<unsigned char>(text[i + 1]));
}

constexpr char kHex[] = "0123456789ABCDEF";

// A field as the file holds it: nothing in it can end the field or the line.
std::string Escape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(field[i]);
    if (PairAt(field, i)) {
      out.append(field.substr(i, 2));
      ++i;
    } else if (cp932::IsLeadByte(b)) {
      // A lead byte alone would take the next byte of the file as its pair.
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else if (b == '\\') {
      out += "\\\\";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b == '\n') {
      out += "\\n";
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The field a file's text stands for; nothing when an escape is broken.
std::optional<std::string> Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(field[i]);
    if (PairAt(field, i)) {
      out.append(field.substr(i, 2));
      ++i;
      continue;
    }
    if (cp932::IsLeadByte(b) || b == '\r') return std::nullopt;  // never written bare
    if (b != '\\') {
      out += static_cast<char>(b);
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 'x': {
        const int high = i + 1 < field.size() ? HexDigit(field[i + 1]) : -1;
        const int low = i + 2 < field.size() ? HexDigit(field[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

// One line's four fields, split at tabs; version 1 has no escapes (and a
// tab in its text, which it could not hold, damages the line).
bool ParseLine(std::string_view line, int version, Learning::Entry& entry) {
  std::string_view fields[4];
  for (int i = 0; i < 3; ++i) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  fields[3] = line;
  if (fields[3].find('\t') != std::string_view::npos) return false;
  if (!ParseNumber(fields[0], entry.count, Learning::kMaxCount) ||
      !ParseNumber(fields[1], entry.lastUse, Learning::kMaxStamp))
    return false;
  if (version == 1) {
    entry.reading = std::string(fields[2]);
    entry.text = std::string(fields[3]);
  } else {
    std::optional<std::string> reading = Unescape(fields[2]);
    std::optional<std::string> text = Unescape(fields[3]);
    if (!reading || !text) return false;
    entry.reading = std::move(*reading);
    entry.text = std::move(*text);
  }
  return entry.count > 0 && !entry.reading.empty() && !entry.text.empty();
}

// A line of version 3 that records a text forgotten on its own: "-", the
// stamp and the text.
bool ParseForgotten(std::string_view line, std::string& text, long long& stamp) {
  if (line.substr(0, kForgottenMark.size() + 1) != std::string(kForgottenMark) + '\t') return false;
  line.remove_prefix(kForgottenMark.size() + 1);
  const auto tab = line.find('\t');
  if (tab == std::string_view::npos || !ParseNumber(line.substr(0, tab), stamp, Learning::kMaxStamp)) return false;
  const std::string_view raw = line.substr(tab + 1);
  if (raw.find('\t') != std::string_view::npos) return false;
  std::optional<std::string> field = Unescape(raw);
  if (!field || field->empty()) return false;
  text = std::move(*field);
  return true;
}

// The same reading and text twice (two files merged by hand) count as one.
std::vector<Learning::Entry> Combined(std::vector<Learning::Entry> entries) {
  std::map<std::pair<std::string, std::string>, std::size_t> seen;
  std::vector<Learning::Entry> out;
  for (Learning::Entry& e : entries) {
    const auto [it, fresh] = seen.emplace(std::make_pair(e.reading, e.text), out.size());
    if (fresh) {
      out.push_back(std::move(e));
      continue;
    }
    Learning::Entry& kept = out[it->second];
    kept.count = std::min(Learning::kMaxCount, kept.count + e.count);
    kept.lastUse = std::max(kept.lastUse, e.lastUse);
  }
  return out;
}

std::string Sj(const std::string& utf8) { return cp932::FromUtf8(utf8); }

long long SystemNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// An entry learned on its own, not after a text.
bool Plain(const Learning::Entry& e) { return e.reading.find(Learning::kAfterMark) == std::string::npos; }

// The kana that ended a sentence with its mark, kept for the after-mark byte
// and itself (Learning::SentenceEndKey).
bool SentenceEnd(const Learning::Entry& e) {
  return e.reading.size() == e.text.size() + 1 && e.reading[0] == Learning::kAfterMark &&
         e.reading.compare(1, std::string::npos, e.text) == 0;
}

// A phrase learned in kana as it stands, or the kana that ended a sentence.
bool KanaPhrase(const Learning::Entry& e) { return e.text == e.reading || SentenceEnd(e); }

// Better first: more uses, then the more recent.
bool Better(const Learning::Entry& a, const Learning::Entry& b) {
  return a.count != b.count ? a.count > b.count : a.lastUse > b.lastUse;
}

using TextStamps = std::map<std::string, long long, std::less<>>;

// Drops the records of texts forgotten alone that the forgetting of
// everything since covers, and the entries learned before their text was
// forgotten alone.
void DropForgotten(std::vector<Learning::Entry>& entries, TextStamps& texts, long long forgotten) {
  std::erase_if(texts, [forgotten](const auto& record) { return record.second <= forgotten; });
  if (texts.empty()) return;
  std::erase_if(entries, [&texts](const Learning::Entry& e) {
    const auto it = texts.find(e.text);
    return it != texts.end() && e.lastUse <= it->second;
  });
}

// The records of both, each text with its latest forgetting.
TextStamps MergedStamps(TextStamps texts, const TextStamps& more) {
  for (const auto& [text, stamp] : more) {
    long long& kept = texts[text];
    kept = std::max(kept, stamp);
  }
  return texts;
}

// At most kMaxForgottenTexts records: the oldest forgetting goes first (its
// entries are long gone from every program that has written since).
void CapStamps(TextStamps& texts) {
  if (texts.size() <= Learning::kMaxForgottenTexts) return;
  std::vector<TextStamps::iterator> order;
  for (auto it = texts.begin(); it != texts.end(); ++it) order.push_back(it);
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a->second < b->second; });
  const std::size_t over = texts.size() - Learning::kMaxForgottenTexts;
  for (std::size_t i = 0; i < over; ++i) texts.erase(order[i]);
}

void TrimEntries(std::vector<Learning::Entry>& entries) {
  if (entries.size() <= Learning::kMaxEntries) return;
  // The rarest, and of those the oldest, go first.
  std::sort(entries.begin(), entries.end(), Better);
  entries.resize(Learning::kMaxEntries);
}

}  // namespace

Learning::Learning() : now_(SystemNowMs) {}

long long Learning::NextStamp() {
  // Later uses always stamp higher, even when the clock stands still or goes
  // back, and no stamp leaves the range the file may hold.
  uses_ = std::min(kMaxStamp, std::max(uses_ + 1, now_()));
  return uses_;
}

void Learning::Learn(const std::string& reading, const std::string& text) {
  if (reading.empty() || text.empty()) return;
  const long long stamp = NextStamp();
  ++changes_;
  Pending& pending = pending_[{reading, text}];
  pending.count = std::min(kMaxCount, pending.count + 1);
  pending.lastUse = stamp;
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.reading == reading && e.text == text; });
  if (it != entries_.end()) {
    it->count = std::min(kMaxCount, it->count + 1);
    it->lastUse = stamp;
    return;
  }
  entries_.push_back({reading, text, 1, stamp});
  Trim();
}

void Learning::Trim() { TrimEntries(entries_); }

void Learning::LearnAfter(const std::string& before, const std::string& reading, const std::string& text) {
  if (before.empty() || before.find(kAfterMark) != std::string::npos || reading.empty()) return;
  Learn(before + kAfterMark + reading, text);
}

void Learning::LearnSentenceEnd(const std::string& kana) { Learn(SentenceEndKey(kana), kana); }

std::string Learning::SentenceEndKey(const std::string& kana) { return kAfterMark + kana; }

std::vector<Word> Learning::WordsAfter(std::string_view before, std::string_view prefix, std::size_t max) const {
  if (before.empty()) return {};
  const std::string key = std::string(before) + kAfterMark + std::string(prefix);
  std::vector<const Entry*> found;
  for (const Entry& e : entries_) {
    if (e.reading.compare(0, key.size(), key) == 0) found.push_back(&e);
  }
  std::vector<Word> out;
  for (const Entry* e : Best(found, max)) out.push_back({e->text, e->reading.substr(before.size() + 1)});
  return out;
}

std::vector<Word> Learning::Words(std::string_view prefix, std::size_t max) const {
  std::vector<const Entry*> found;
  for (const Entry& e : entries_) {
    // The kana that ended a sentence are their own reading.
    const bool end = SentenceEnd(e);
    if ((end || Plain(e)) && (end ? e.text : e.reading).compare(0, prefix.size(), prefix) == 0) found.push_back(&e);
  }
  std::vector<Word> out;
  for (const Entry* e : Best(found, max)) out.push_back({e->text, SentenceEnd(*e) ? e->text : e->reading});
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
    if (Plain(e) && e.text.size() > written.size() && e.text.compare(0, written.size(), written) == 0 &&
        EndsSentence(e.text)) {
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
    if (KanaPhrase(e)) found.push_back(&e);
  }
  std::vector<std::string> out;
  for (const Entry* e : Best(found, max)) out.push_back(e->text);
  return out;
}

std::vector<std::string> Learning::PhraseEnds(std::string_view kana, std::size_t max) const {
  std::vector<std::string> out;
  for (auto& [end, phrase] : PhraseEndsOf(kana, max)) out.push_back(std::move(end));
  return out;
}

std::vector<std::pair<std::string, std::string>> Learning::PhraseEndsOf(std::string_view kana, std::size_t max) const {
  // Kana are two bytes each: the second kana of a phrase is at 2.
  return PhrasePieces(kana, 2, false, max);
}

std::vector<std::pair<std::string, std::string>> Learning::PhraseRestsAfter(std::string_view kana,
                                                                            std::size_t max) const {
  return PhrasePieces(kana, 0, true, max);
}

std::vector<std::pair<std::string, std::string>> Learning::PhrasePieces(std::string_view kana, std::size_t firstAt,
                                                                        bool after, std::size_t max) const {
  // Where `kana` stands in `text`, with more after it; kana are two bytes
  // each, so only even places start one.
  const auto place = [&kana, firstAt](const std::string& text) -> std::optional<std::size_t> {
    for (std::size_t at = firstAt; at + kana.size() < text.size(); at += 2) {
      if (text.compare(at, kana.size(), kana) == 0) return at;
    }
    return std::nullopt;
  };
  std::vector<const Entry*> found;
  for (const Entry& e : entries_) {
    if (!kana.empty() && KanaPhrase(e) && place(e.text)) found.push_back(&e);
  }
  std::vector<std::pair<std::string, std::string>> out;
  for (const Entry* e : Best(found, found.size())) {
    if (out.size() == max) break;
    std::string piece = e->text.substr(*place(e->text) + (after ? kana.size() : 0));
    if (std::none_of(out.begin(), out.end(), [&piece](const auto& kept) { return kept.first == piece; }))
      out.emplace_back(std::move(piece), e->text);
  }
  return out;
}

std::optional<std::string> Learning::ReadingOf(std::string_view text) const {
  const Entry* best = nullptr;
  for (const Entry& e : entries_) {
    if (Plain(e) && e.text == text && (best == nullptr || Better(e, *best))) best = &e;
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
  pending_.clear();
  forgotten_ = NextStamp();
  // Every text forgotten alone before is forgotten with everything.
  forgottenTexts_.clear();
  forgetPending_ = true;
  ++changes_;
}

void Learning::Forget(const std::string& text) {
  if (text.empty()) return;
  std::erase_if(entries_, [&text](const Entry& e) { return e.text == text; });
  std::erase_if(pending_, [&text](const auto& pending) { return pending.first.second == text; });
  forgottenTexts_[text] = NextStamp();
  CapStamps(forgottenTexts_);
  forgetPending_ = true;
  ++changes_;
}

bool Learning::Knows(std::string_view text) const {
  return std::any_of(entries_.begin(), entries_.end(), [text](const Entry& e) { return e.text == text; });
}

bool Learning::ForgottenAlone(std::string_view text) const {
  return forgottenTexts_.find(text) != forgottenTexts_.end() && !Knows(text);
}

std::string Learning::ReadingAfter(const std::string& before, const std::string& reading) {
  if (before.empty() || before.find(kAfterMark) != std::string::npos || reading.empty()) return {};
  return before + kAfterMark + reading;
}

std::vector<bool> Learning::LearnNew(const std::vector<std::pair<std::string, std::string>>& found) {
  // What the documents hold counts less than what the user chose: each text
  // is learned once, as a word chosen once, however often the documents
  // hold it, so one more choice of the user's puts theirs first; a text
  // learned already (by the user, or from the same documents before) is
  // left as it is, so learning from them again adds nothing. It takes only
  // the room left below the cap, never pushing out what the user chose, and
  // never brings back a text the user forgot on its own: only writing it
  // again does.
  std::unordered_set<std::string> known;
  const auto keyOf = [](const std::string& reading, const std::string& text) {
    return reading + '\0' + text;
  };
  for (const Entry& e : entries_) known.insert(keyOf(e.reading, e.text));
  std::vector<bool> learned;
  learned.reserve(found.size());
  for (const auto& [reading, text] : found) {
    const bool fresh = !reading.empty() && !text.empty() && entries_.size() < kMaxEntries &&
                       forgottenTexts_.find(text) == forgottenTexts_.end() &&
                       known.insert(keyOf(reading, text)).second;
    learned.push_back(fresh);
    if (!fresh) continue;
    const long long stamp = NextStamp();
    entries_.push_back({reading, text, 1, stamp});
    Pending& pending = pending_[{reading, text}];
    pending.count = std::min(kMaxCount, pending.count + 1);
    pending.lastUse = stamp;
    ++changes_;
  }
  return learned;
}

std::string Learning::Write(const std::vector<Entry>& entries, long long forgotten, const ForgottenTexts& texts) {
  std::string out(texts.empty() ? kHeader2 : kHeader3);
  out += '\t' + std::to_string(forgotten) + '\n';
  for (const Entry& e : entries) {
    out += std::to_string(e.count) + '\t' + std::to_string(e.lastUse) + '\t' + Escape(e.reading) + '\t' +
           Escape(e.text) + '\n';
  }
  for (const auto& [text, stamp] : texts) {
    out += std::string(kForgottenMark) + '\t' + std::to_string(stamp) + '\t' + Escape(text) + '\n';
  }
  return out;
}

std::string Learning::Serialise() const { return Write(entries_, forgotten_, forgottenTexts_); }

Learning::FileImage Learning::ReadImage(std::string_view text) {
  FileImage image;
  int version = 2;
  // The header; without one the lines are read all the same.
  const std::size_t firstEnd = text.find('\n');
  std::string_view first = text.substr(0, firstEnd);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  const auto stampedHeader = [&first, &image](std::string_view header) {
    return first.substr(0, header.size()) == header && first.size() > header.size() && first[header.size()] == '\t' &&
           ParseNumber(first.substr(header.size() + 1), image.forgotten, kMaxStamp);
  };
  if (first == kHeader1) {
    version = 1;
  } else if (stampedHeader(kHeader3)) {
    version = 3;
  } else if (!stampedHeader(kHeader2)) {
    ++image.damaged;
  }
  const bool headerRead = image.damaged == 0 || first.substr(0, kHeaderStem.size()) == kHeaderStem;
  if (headerRead) text.remove_prefix(firstEnd == std::string_view::npos ? text.size() : firstEnd + 1);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      ++image.damaged;  // a last line cut off
      break;
    }
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Entry entry;
    std::string forgottenText;
    long long stamp = 0;
    if (ParseLine(line, version, entry)) {
      image.entries.push_back(std::move(entry));
    } else if (version >= 3 && ParseForgotten(line, forgottenText, stamp)) {
      long long& kept = image.forgottenTexts[forgottenText];
      kept = std::max(kept, stamp);
    } else {
      ++image.damaged;
    }
  }
  image.entries = Combined(std::move(image.entries));
  DropForgotten(image.entries, image.forgottenTexts, image.forgotten);
  CapStamps(image.forgottenTexts);
  return image;
}

bool Learning::Parse(std::string_view text) {
  FileImage image = ReadImage(text);
  entries_ = std::move(image.entries);
  pending_.clear();
  forgetPending_ = false;
  forgotten_ = image.forgotten;
  forgottenTexts_ = std::move(image.forgottenTexts);
  damaged_ = image.damaged;
  uses_ = forgotten_;
  for (const Entry& e : entries_) uses_ = std::max(uses_, e.lastUse);
  for (const auto& [text, stamp] : forgottenTexts_) uses_ = std::max(uses_, stamp);
  Trim();
  ++changes_;
  return damaged_ == 0;
}

std::string Learning::DamagedCopyName(const std::string& path) const {
  const std::time_t seconds = static_cast<std::time_t>(now_() / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y%m%d-%H%M%S", &local);
  return path + ".damaged-" + date;
}

std::string Learning::Load(ITextFiles& files, const std::string& path) {
  Parse(kHeader1);  // nothing learned, nothing damaged
  damagedCopy_.clear();
  refused_.clear();
  if (files.Missing(path)) return "";
  switch (files.RefusalOf(path)) {
    case Refusal::SymbolicLink:
      refused_ = Sj("学習の記録はシンボリック リンクのため書き込まず、今回の学習はこの実行の間だけ使います「" + path + "」");
      break;
    case Refusal::NotYourFile:
      refused_ = Sj("学習の記録はほかのユーザーのファイルのため書き込まず、今回の学習はこの実行の間だけ使います「" + path +
                    "」");
      break;
    case Refusal::NotAPlainFile:
    case Refusal::None: break;
  }
  // What a link or another user's file holds is still read: it is the
  // user's learning, only never written.
  const FileResult read = files.ReadAll(path);
  if (!read.ok) {
    refused_ = Sj("学習の記録が読めないため、今回の学習はこの実行の間だけ使います：") + read.error;
    return refused_;
  }
  Parse(read.bytes);
  if (damaged_ == 0) return refused_;
  std::string said;
  if (refused_.empty()) {
    damagedCopy_ = DamagedCopyName(path);
    said = Sj("（元のファイルは書き換える前に " + damagedCopy_ + " として残します）");
  }
  const std::string what =
      entries_.empty() ? Sj("学習の記録が読めないため、新しく学習を始めます")
                       : Sj("学習の記録の " + std::to_string(damaged_) + " 行が読めないため、読み飛ばしました");
  return what + said + (refused_.empty() ? "" : Sj("　") + refused_);
}

std::string Learning::Save(ITextFiles& files, const std::string& path) const {
  return files.WriteAtomic(path, Serialise());
}

// Keeps a damaged file under a name of its own before it is replaced: the
// one the start named, else a new one. "" or the file layer's message.
std::string Learning::KeepDamaged(ITextFiles& files, const std::string& path, const std::string& bytes) {
  std::string name = damagedCopy_.empty() ? DamagedCopyName(path) : damagedCopy_;
  for (int n = 2; !files.Missing(name); ++n) {
    const FileResult there = files.ReadOwn(name, std::string::npos);
    if (there.ok && there.bytes == bytes) return "";  // kept already
    name = (damagedCopy_.empty() ? DamagedCopyName(path) : damagedCopy_) + "-" + std::to_string(n);
  }
  if (std::string failed = files.WriteOwn(name, bytes); !failed.empty()) return failed;
  if (name != damagedCopy_) damagedCopy_ = name;
  return "";
}

std::string Learning::Sync(ITextFiles& files, IFileSystem& fs, const std::string& path) {
  if (!refused_.empty()) return Unsaved() ? refused_ : "";
  if (!Unsaved()) {
    // Nothing to write: what other programs wrote (and forgot) is taken up.
    const bool missing = files.Missing(path);
    const FileResult disk = missing ? FileResult{true, {}, {}} : files.ReadOwn(path, std::string::npos);
    if (disk.ok) Adopt(missing ? FileImage{} : ReadImage(disk.bytes));
    return "";
  }
  const std::string lock = path + ".lock";
  if (!fs.WaitForLock(lock, kLockWaitMs)) return Sj("学習の記録はほかのプログラムが書き込み中のため、あとで書き込みます");
  const auto release = [&fs, &lock](std::string message) {
    fs.ReleaseLock(lock);
    return message;
  };
  FileResult disk{true, {}, {}};
  const bool missing = files.Missing(path);
  if (!missing) disk = files.ReadOwn(path, std::string::npos);
  if (!disk.ok) return release(Sj("学習の記録を書き込めません：") + disk.error);
  FileImage image = missing ? FileImage{} : ReadImage(disk.bytes);
  const long long forgotten = std::max(image.forgotten, forgotten_);
  ForgottenTexts texts = MergedStamps(image.forgottenTexts, forgottenTexts_);
  std::vector<Entry> none;
  DropForgotten(none, texts, forgotten);
  CapStamps(texts);
  std::vector<Entry> merged = Merged(image, forgotten, texts);
  const bool announced = !damagedCopy_.empty();
  std::string kept;
  if (image.damaged > 0) {
    if (std::string failed = KeepDamaged(files, path, disk.bytes); !failed.empty())
      return release(Sj("読めない行のある学習の記録を残せないため、書き換えません：") + failed);
    if (!announced) kept = Sj("読めない行のあった学習の記録を " + damagedCopy_ + " に残しました");
  }
  if (std::string failed = files.WriteOwn(path, Write(merged, forgotten, texts)); !failed.empty())
    return release(Sj("学習の記録を書き込めません：") + failed);
  pending_.clear();
  forgetPending_ = false;
  Adopt({std::move(merged), forgotten, std::move(texts), 0});
  return release(kept);
}

std::vector<Learning::Entry> Learning::Merged(FileImage& image, long long forgotten,
                                              const ForgottenTexts& texts) const {
  // Whatever anyone learned before the last forgetting of everything, or
  // before its text was forgotten alone, stays forgotten.
  const auto gone = [forgotten, &texts](const std::string& text, long long stamp) {
    if (forgotten > 0 && stamp <= forgotten) return true;
    const auto it = texts.find(text);
    return it != texts.end() && stamp <= it->second;
  };
  std::vector<Entry> merged;
  for (Entry& e : image.entries) {
    if (gone(e.text, e.lastUse)) continue;
    // Used since by a program that had not heard of this program's
    // forgetting of the text: its count may hold uses from before the
    // forgetting, which stay forgotten; one use after it is certain.
    const auto ours = forgottenTexts_.find(e.text);
    const auto theirs = image.forgottenTexts.find(e.text);
    if (ours != forgottenTexts_.end() && (theirs == image.forgottenTexts.end() || theirs->second < ours->second))
      e.count = 1;
    merged.push_back(std::move(e));
  }
  for (const auto& [key, pending] : pending_) {
    if (!gone(key.second, pending.lastUse)) merged.push_back({key.first, key.second, pending.count, pending.lastUse});
  }
  merged = Combined(std::move(merged));
  TrimEntries(merged);
  return merged;
}

void Learning::Adopt(FileImage image) {
  entries_ = std::move(image.entries);
  forgotten_ = std::max(forgotten_, image.forgotten);
  forgottenTexts_ = MergedStamps(std::move(image.forgottenTexts), forgottenTexts_);
  DropForgotten(entries_, forgottenTexts_, forgotten_);
  CapStamps(forgottenTexts_);
  for (const Entry& e : entries_) uses_ = std::max(uses_, e.lastUse);
  for (const auto& [text, stamp] : forgottenTexts_) uses_ = std::max(uses_, stamp);
  uses_ = std::max(uses_, forgotten_);
  damaged_ = image.damaged;
  ++changes_;
}

}  // namespace velkor
