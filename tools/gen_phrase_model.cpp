// Writes the phrase model from the word trigram model of Debian's libkkc-data
// (GPL-3+): its words ("reading/form", a MARISA trie whose key ids number
// the records) and its unigram, bigram and trigram records, with their costs
// (-log10 of a probability, 8192 to the unit) and back-off weights. The
// output is one little-endian binary file that input/PhraseModel maps into
// memory and reads in place: every array (its count, then its values)
// starts at a multiple of four bytes from the file's start, after zero
// bytes where needed.
//
//   "VKPHRS2\n"
//   u32 words, bigrams, trigrams, text bytes, the sentence start's word
//   words:      {u32 reading, u32 form (offsets into text), u8 reading
//               length, u8 form length, u16 cost, u16 back-off, u16 end
//               cost, u8 flags, u8 0} each
//   u32 count, then the first bigram of each context word (words + 1)
//   u32 count, then the bigrams' next words, u16 costs, u16 back-offs,
//               sorted by context, then next word
//   u32 count, then the first trigram of each bigram (bigrams + 1)
//   u32 count, then the trigrams' next words, u16 costs, by bigram, then
//               next word
//   u32 count, then the ids of words with a reading, sorted by reading
//   u32 count, then the ids of words, sorted by written form
//   the text: readings (hiragana) and written forms in code page 932
//
// A word's end cost is what ending a phrase after it costs: -log10 of the
// chance that the next word does not attach to it (a word attaches when it
// is all hiragana: endings, particles, auxiliaries). A verb stem, which
// nearly always goes on, costs much; a noun little.
//
// A word's flags: it has a reading and a form the code page holds (1), it is
// all hiragana and may go on a phrase (2), a phrase may begin with it (4),
// and, all hiragana, it is yet a word of its own by IPADIC (8: こと, この).
//
//   gen_phrase_model <libkkc sorted3 model folder> <output file> [<IPADIC folder>]
//
// Uses libc, iconv (UTF-8 and EUC-JP to CP932) and libmarisa (the trie).
#include <iconv.h>
#include <marisa.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "IconvText.h"

namespace {

using velkor::tools::Convert;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "gen_phrase_model: %s\n", what.c_str());
  std::exit(1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename T>
T Get(const std::string& bytes, std::size_t at) {
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    value |= static_cast<T>(static_cast<T>(static_cast<unsigned char>(bytes[at + i])) << (8 * i));
  }
  return value;
}

// Code page 932 character classes, by lead and trail byte.
bool IsHiragana(const std::string& s, std::size_t at) {
  const auto lead = static_cast<unsigned char>(s[at]), trail = static_cast<unsigned char>(s[at + 1]);
  return (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) || (lead == 0x81 && trail == 0x5B);
}
bool AllHiragana(const std::string& s) {
  if (s.empty() || s.size() % 2 != 0) return false;
  for (std::size_t at = 0; at < s.size(); at += 2) {
    if (!IsHiragana(s, at)) return false;
  }
  return true;
}
// A word a phrase may start with: its first character is kana or kanji.
bool StartsPhrase(const std::string& s) {
  if (s.size() < 2) return false;
  const auto lead = static_cast<unsigned char>(s[0]), trail = static_cast<unsigned char>(s[1]);
  return (lead == 0x82 && trail >= 0x9F) || (lead == 0x83 && trail <= 0x96) || (lead >= 0x88 && lead <= 0x9F) ||
         (lead >= 0xE0 && lead <= 0xEA) || (lead == 0x81 && (trail == 0x58 || trail == 0x5B));
}

constexpr std::uint8_t kUsable = 1;    // a reading and a written form in code page 932
constexpr std::uint8_t kAttaches = 2;  // all hiragana: it may go on a phrase
constexpr std::uint8_t kStarts = 4;    // a phrase may begin with it
constexpr std::uint8_t kKanaWord = 8;  // all hiragana, yet a word of its own (こと, よう, とても, この)
constexpr double kScale = 8192.0;      // cost units to one log10

struct WordRecord {
  std::string reading, form;
  std::uint16_t cost = 0, backoff = 0, endCost = 0;
  std::uint8_t flags = 0;
};

struct Bigram {
  std::uint32_t context, next;
  std::uint16_t cost, backoff;
  std::uint32_t fileIndex;
};

struct Trigram {
  std::uint32_t bigram, next;  // bigram: index after sorting
  std::uint16_t cost;
};

std::vector<WordRecord> ReadWords(const std::string& folder) {
  marisa::Trie trie;
  try {
    trie.load((folder + "/data.1gram.index").c_str());
  } catch (const marisa::Exception& e) {
    Fail(std::string("cannot read the word index: ") + e.what());
  }
  const std::string unigrams = ReadFile(folder + "/data.1gram");
  const std::size_t count = unigrams.size() / 6;
  if (count != trie.num_keys()) Fail("the word index and the unigrams differ in number");
  iconv_t toCp932 = iconv_open("CP932", "UTF-8");
  if (toCp932 == iconv_t(-1)) Fail("iconv has no CP932 converter");
  std::vector<WordRecord> words(count);
  marisa::Agent agent;
  for (std::size_t id = 0; id < count; ++id) {
    agent.set_query(id);
    trie.reverse_lookup(agent);
    const std::string key(agent.key().ptr(), agent.key().length());
    WordRecord& w = words[id];
    w.cost = Get<std::uint16_t>(unigrams, id * 6);
    w.backoff = Get<std::uint16_t>(unigrams, id * 6 + 2);
    const std::size_t slash = key.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == key.size()) {
      // A symbol or a sentence mark: known by its form alone.
      w.form = Convert(toCp932, key);
      continue;
    }
    w.reading = Convert(toCp932, key.substr(0, slash));
    w.form = Convert(toCp932, key.substr(slash + 1));
    if (w.reading.empty() || w.form.empty() || !AllHiragana(w.reading) || w.reading.size() > 255 ||
        w.form.size() > 255) {
      w.reading.clear();
      continue;
    }
    w.flags = kUsable;
    if (AllHiragana(w.form)) w.flags |= kAttaches;
    if (StartsPhrase(w.form)) w.flags |= kStarts;
  }
  iconv_close(toCp932);
  return words;
}

std::vector<Bigram> ReadBigrams(const std::string& folder, std::size_t words) {
  const std::string bytes = ReadFile(folder + "/data.2gram");
  std::vector<Bigram> out(bytes.size() / 12);
  for (std::size_t i = 0; i < out.size(); ++i) {
    // Each record: the next word, its context word, the cost, the back-off.
    out[i] = {Get<std::uint32_t>(bytes, i * 12 + 4), Get<std::uint32_t>(bytes, i * 12),
              Get<std::uint16_t>(bytes, i * 12 + 8), Get<std::uint16_t>(bytes, i * 12 + 10),
              static_cast<std::uint32_t>(i)};
    if (out[i].context >= words || out[i].next >= words) Fail("a bigram names a word that is not there");
  }
  std::sort(out.begin(), out.end(),
            [](const Bigram& a, const Bigram& b) { return std::tie(a.context, a.next) < std::tie(b.context, b.next); });
  return out;
}

std::vector<Trigram> ReadTrigrams(const std::string& folder, const std::vector<Bigram>& bigrams, std::size_t words) {
  // Where each record of the file's bigram order went.
  std::vector<std::uint32_t> sortedAt(bigrams.size());
  for (std::size_t i = 0; i < bigrams.size(); ++i) sortedAt[bigrams[i].fileIndex] = static_cast<std::uint32_t>(i);
  const std::string bytes = ReadFile(folder + "/data.3gram");
  std::vector<Trigram> out(bytes.size() / 10);
  for (std::size_t i = 0; i < out.size(); ++i) {
    // Each record: the next word, the bigram before it, the cost.
    const std::uint32_t next = Get<std::uint32_t>(bytes, i * 10);
    const std::uint32_t bigram = Get<std::uint32_t>(bytes, i * 10 + 4);
    if (next >= words || bigram >= bigrams.size()) Fail("a trigram names a word or bigram that is not there");
    out[i] = {sortedAt[bigram], next, Get<std::uint16_t>(bytes, i * 10 + 8)};
  }
  std::sort(out.begin(), out.end(),
            [](const Trigram& a, const Trigram& b) { return std::tie(a.bigram, a.next) < std::tie(b.bigram, b.next); });
  return out;
}

double Probability(std::uint16_t cost) { return std::pow(10.0, -cost / kScale); }

// The end cost of every word, from its bigrams and its back-off to the
// unigrams.
void SetEndCosts(std::vector<WordRecord>& words, const std::vector<Bigram>& bigrams) {
  double attachingShare = 0;
  for (const WordRecord& w : words) {
    if (w.flags & kAttaches) attachingShare += Probability(w.cost);
  }
  std::vector<double> attach(words.size(), 0.0);
  for (const Bigram& b : bigrams) {
    if (words[b.next].flags & kAttaches) attach[b.context] += Probability(b.cost);
  }
  for (std::size_t id = 0; id < words.size(); ++id) {
    // What the bigrams leave goes to the unigrams, weighted by the back-off;
    // half of it is counted, as the bigrams listed take the likeliest.
    const double p = std::min(0.99, attach[id] + Probability(words[id].backoff) * attachingShare * 0.5);
    words[id].endCost = static_cast<std::uint16_t>(std::lround(-std::log10(1.0 - p) * kScale));
  }
}

class Writer {
 public:
  explicit Writer(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}
  template <typename T>
  void Put(T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) out_.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    written_ += sizeof(T);
  }
  void Bytes(const std::string& s) {
    out_.write(s.data(), static_cast<std::streamsize>(s.size()));
    written_ += s.size();
  }
  // Zero bytes up to the next multiple of four from the file's start.
  void Align() {
    while (written_ % 4 != 0) Put(std::uint8_t{0});
  }
  bool Ok() const { return static_cast<bool>(out_); }

 private:
  std::ofstream out_;
  std::size_t written_ = 0;
};

std::vector<std::uint32_t> Starts(std::size_t groups, std::size_t count,
                                  const std::function<std::uint32_t(std::size_t)>& groupOf) {
  std::vector<std::uint32_t> starts(groups + 1, 0);
  for (std::size_t i = 0; i < count; ++i) ++starts[groupOf(i) + 1];
  std::partial_sum(starts.begin(), starts.end(), starts.begin());
  return starts;
}

template <typename T>
void PutArray(Writer& w, const std::vector<T>& values) {
  w.Align();
  w.Put(static_cast<std::uint32_t>(values.size()));
  for (T v : values) w.Put(v);
}

void Write(const std::string& path, const std::vector<WordRecord>& words, const std::vector<Bigram>& bigrams,
           const std::vector<Trigram>& trigrams, std::uint32_t sentenceStart) {
  std::string text;
  std::vector<std::uint32_t> readingAt(words.size()), formAt(words.size());
  for (std::size_t id = 0; id < words.size(); ++id) {
    readingAt[id] = static_cast<std::uint32_t>(text.size());
    text += words[id].reading;
    formAt[id] = static_cast<std::uint32_t>(text.size());
    text += words[id].form;
  }
  std::vector<std::uint32_t> byReading, byForm;
  for (std::uint32_t id = 0; id < words.size(); ++id) {
    if (words[id].flags & kUsable) byReading.push_back(id);
    if (!words[id].form.empty()) byForm.push_back(id);
  }
  const auto order = [&words](auto field) {
    return [&words, field](std::uint32_t a, std::uint32_t b) {
      return std::tie(words[a].*field, words[a].cost) < std::tie(words[b].*field, words[b].cost);
    };
  };
  std::sort(byReading.begin(), byReading.end(), order(&WordRecord::reading));
  std::sort(byForm.begin(), byForm.end(), order(&WordRecord::form));

  Writer w(path);
  w.Bytes("VKPHRS2\n");
  for (std::size_t n : {words.size(), bigrams.size(), trigrams.size(), text.size()}) {
    w.Put(static_cast<std::uint32_t>(n));
  }
  w.Put(sentenceStart);
  for (std::size_t id = 0; id < words.size(); ++id) {
    const WordRecord& r = words[id];
    w.Put(readingAt[id]);
    w.Put(formAt[id]);
    w.Put(static_cast<std::uint8_t>(r.reading.size()));
    w.Put(static_cast<std::uint8_t>(r.form.size()));
    w.Put(r.cost);
    w.Put(r.backoff);
    w.Put(r.endCost);
    w.Put(r.flags);
    w.Put(std::uint8_t{0});
  }
  PutArray(w, Starts(words.size(), bigrams.size(), [&](std::size_t i) { return bigrams[i].context; }));
  std::vector<std::uint32_t> next;
  std::vector<std::uint16_t> cost, backoff;
  for (const Bigram& b : bigrams) next.push_back(b.next), cost.push_back(b.cost), backoff.push_back(b.backoff);
  PutArray(w, next);
  PutArray(w, cost);
  PutArray(w, backoff);
  PutArray(w, Starts(bigrams.size(), trigrams.size(), [&](std::size_t i) { return trigrams[i].bigram; }));
  next.clear();
  cost.clear();
  for (const Trigram& t : trigrams) next.push_back(t.next), cost.push_back(t.cost);
  PutArray(w, next);
  PutArray(w, cost);
  PutArray(w, byReading);
  PutArray(w, byForm);
  w.Bytes(text);
  if (!w.Ok()) Fail("cannot write " + path);
}

// The hiragana forms of two kana or more that IPADIC knows as a word of their
// own (a noun, an adverb, a pre-noun, an interjection, a conjunction) and
// never as a particle other than a sentence's last or an auxiliary: こと,
// よう, ため, とても, この, いつ; not から, ので, ない, です. The trigram
// model has no parts of speech; without these, a phrase could not be built
// of them (この手紙を, ように).
std::set<std::string> KanaWords(const std::string& ipadic) {
  iconv_t fromEuc = iconv_open("UTF-8", "EUC-JP");
  iconv_t toCp932 = iconv_open("CP932", "UTF-8");
  if (fromEuc == iconv_t(-1) || toCp932 == iconv_t(-1)) Fail("iconv has no EUC-JP or CP932 converter");
  std::set<std::string> words, functions;
  for (const char* file :
       {"Noun.csv", "Noun.others.csv", "Noun.demonst.csv", "Noun.adjv.csv", "Noun.adverbal.csv", "Adverb.csv",
        "Adnominal.csv", "Interjection.csv", "Conjunction.csv", "Postp.csv", "Postp-col.csv", "Auxil.csv"}) {
    std::ifstream in(ipadic + "/" + file, std::ios::binary);
    if (!in) Fail("cannot read " + ipadic + "/" + file);
    const bool function = std::strncmp(file, "Postp", 5) == 0 || std::strcmp(file, "Auxil.csv") == 0;
    std::string raw;
    while (std::getline(in, raw)) {
      const std::string line = Convert(fromEuc, raw);
      const std::size_t comma = line.find(',');
      if (comma == std::string::npos) continue;
      const std::string form = Convert(toCp932, line.substr(0, comma));
      if (form.size() < 4 || !AllHiragana(form)) continue;
      // A particle that only ends a sentence (よう, かな) leaves the word be.
      if (function && line.find("終助詞") == std::string::npos) functions.insert(form);
      if (!function) words.insert(form);
    }
  }
  iconv_close(fromEuc);
  iconv_close(toCp932);
  std::set<std::string> out;
  std::set_difference(words.begin(), words.end(), functions.begin(), functions.end(), std::inserter(out, out.end()));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    Fail("usage: gen_phrase_model <libkkc sorted3 model folder> <output file> [<IPADIC folder>]");
  }
  const std::string folder = argv[1];
  std::vector<WordRecord> words = ReadWords(folder);
  if (argc == 4) {
    const std::set<std::string> kanaWords = KanaWords(argv[3]);
    for (WordRecord& w : words) {
      if ((w.flags & kAttaches) && kanaWords.count(w.form)) w.flags |= kKanaWord;
    }
  }
  const std::vector<Bigram> bigrams = ReadBigrams(folder, words.size());
  const std::vector<Trigram> trigrams = ReadTrigrams(folder, bigrams, words.size());
  SetEndCosts(words, bigrams);
  std::uint32_t sentenceStart = 0;
  for (std::uint32_t id = 0; id < words.size(); ++id) {
    if (words[id].form == "<s>") sentenceStart = id;
  }
  if (words[sentenceStart].form != "<s>") Fail("the model has no sentence start");
  Write(argv[2], words, bigrams, trigrams, sentenceStart);
  std::fprintf(stderr, "gen_phrase_model: %zu words, %zu bigrams, %zu trigrams\n", words.size(), bigrams.size(),
               trigrams.size());
  return 0;
}
