// Writes the prediction lexicon from the IPADIC sources of Debian's
// mecab-ipadic: one line per reading and written form, in code page 932,
//
//   reading<TAB>written form<TAB>cost
//
// sorted by reading, then by cost (lower is more common). Readings are
// hiragana (IPADIC writes them in katakana). Proper nouns (names, places,
// organisations) are left out: everyday writing rarely needs them, and they
// would crowd the row. Forms the code page cannot hold are left out too.
//
// IPADIC's costs are made for splitting sentences into words, not for
// telling how common a word is ("ミズムシ" before "水"). When the word model
// of Debian's libkkc-data is given, its unigram costs (counted over real
// text) rank the words it knows, the words it does not know rank with its
// rarest, in IPADIC's order; its words that IPADIC lacks are added.
//
//   gen_lexicon <ipadic folder> <output file> [<libkkc sorted3 model folder>]
//
// Uses libc, iconv (EUC-JP to UTF-8, UTF-8 to CP932) and libmarisa (the
// model's word index).
#include <iconv.h>
#include <marisa.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "gen_lexicon: %s\n", what.c_str());
  std::exit(1);
}

// The whole of `in` converted, or "" when iconv rejects any of it.
std::string Convert(iconv_t cd, const std::string& in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string src = in;
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = src.data();
  size_t inLeft = src.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return {};
  out.resize(out.size() - outLeft);
  return out;
}

// Katakana (UTF-8) to hiragana: ァ..ヶ (E3 82 A1 .. E3 83 B6) move down by 0x60.
std::string Hiragana(const std::string& katakana) {
  std::u32string wide;
  for (std::size_t i = 0; i < katakana.size();) {
    const unsigned char b = static_cast<unsigned char>(katakana[i]);
    char32_t c;
    int n;
    if (b < 0x80)
      c = b, n = 1;
    else if (b < 0xE0)
      c = b & 0x1F, n = 2;
    else if (b < 0xF0)
      c = b & 0x0F, n = 3;
    else
      c = b & 0x07, n = 4;
    for (int k = 1; k < n && i + static_cast<std::size_t>(k) < katakana.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(katakana[i + static_cast<std::size_t>(k)]) & 0x3F);
    i += static_cast<std::size_t>(n);
    if (c >= 0x30A1 && c <= 0x30F6) c -= 0x60;
    wide.push_back(c);
  }
  std::string out;
  for (char32_t c : wide) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) out.push_back(field);
  return out;
}

bool LeftOut(const std::string& file) {
  return file == "Noun.name.csv" || file == "Noun.place.csv" || file == "Noun.org.csv";
}

// Words IPADIC has and the model does not know were not seen in its text:
// they rank with its rarest words (a word seen once costs about 47500), in
// IPADIC's own order among themselves.
constexpr int kUnknownToTheModel = 48000;
int UnknownCost(int ipadicCost) { return kUnknownToTheModel + std::clamp(ipadicCost, 0, 20000) / 2; }

// The model splits inflected words into a stem and kana ("くださ" + "い");
// IPADIC has them whole ("ください"). A whole word the model does not know
// costs what its stem costs there, a little more for each kana after it.
constexpr int kPerKanaAfterTheStem = 800;
int StemCost(const std::map<std::pair<std::string, std::string>, int>& model, const std::string& reading,
             const std::string& form, int otherwise) {
  int cost = otherwise;
  // Code page 932 kana are two bytes each: up to three kana after the stem.
  // A stem of one kana ("で") says nothing of the word: two at the least.
  for (std::size_t tail = 2; tail <= 6 && tail + 4 <= reading.size() && tail < form.size(); tail += 2) {
    if (reading.compare(reading.size() - tail, tail, form, form.size() - tail, tail) != 0) break;
    const auto stem = model.find({reading.substr(0, reading.size() - tail), form.substr(0, form.size() - tail)});
    if (stem != model.end()) cost = std::min(cost, stem->second + kPerKanaAfterTheStem * static_cast<int>(tail / 2));
  }
  return cost;
}

// The model's words: "reading/form" keys of a MARISA trie whose key number
// indexes 6-byte unigram records, the first two bytes the cost (little
// endian; lower is more common). (reading, form) in code page 932 -> cost.
std::map<std::pair<std::string, std::string>, int> ModelCosts(const fs::path& folder, iconv_t toCp932) {
  std::map<std::pair<std::string, std::string>, int> costs;
  std::ifstream records(folder / "data.1gram", std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(records)), std::istreambuf_iterator<char>());
  marisa::Trie trie;
  try {
    trie.load((folder / "data.1gram.index").string().c_str());
  } catch (const marisa::Exception& e) {
    Fail(std::string("cannot read the word model's index: ") + e.what());
  }
  marisa::Agent agent;
  agent.set_query("");
  while (trie.predictive_search(agent)) {
    const std::string key(agent.key().ptr(), agent.key().length());
    const std::size_t at = static_cast<std::size_t>(agent.key().id()) * 6;
    const std::size_t slash = key.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == key.size() || at + 2 > data.size()) continue;
    const int cost = static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8);
    const std::string reading = Convert(toCp932, Hiragana(key.substr(0, slash)));
    const std::string form = Convert(toCp932, key.substr(slash + 1));
    if (reading.empty() || form.empty()) continue;
    auto [it, inserted] = costs.try_emplace({reading, form}, cost);
    if (!inserted) it->second = std::min(it->second, cost);
  }
  if (costs.empty()) Fail("the word model holds no words");
  return costs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) Fail("usage: gen_lexicon <ipadic folder> <output file> [<libkkc model folder>]");
  iconv_t fromEuc = iconv_open("UTF-8", "EUC-JP");
  iconv_t toCp932 = iconv_open("CP932", "UTF-8");
  if (fromEuc == iconv_t(-1) || toCp932 == iconv_t(-1)) Fail("iconv has no EUC-JP or CP932 converter");
  // (reading, form) -> lowest cost
  std::map<std::pair<std::string, std::string>, int> best;
  for (const auto& entry : fs::directory_iterator(argv[1])) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".csv" || LeftOut(name)) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string raw;
    while (std::getline(in, raw)) {
      const std::string line = Convert(fromEuc, raw);
      const auto f = Fields(line);
      if (f.size() < 12 || f[11] == "*" || f[0].empty()) continue;
      const std::string reading = Convert(toCp932, Hiragana(f[11]));
      const std::string form = Convert(toCp932, f[0]);
      if (reading.empty() || form.empty()) continue;
      const int cost = std::atoi(f[3].c_str());
      auto [it, inserted] = best.try_emplace({reading, form}, cost);
      if (!inserted) it->second = std::min(it->second, cost);
    }
  }
  if (argc == 4) {
    const auto model = ModelCosts(argv[3], toCp932);
    for (auto& [key, cost] : best) {
      const auto known = model.find(key);
      cost = known != model.end() ? known->second : StemCost(model, key.first, key.second, UnknownCost(cost));
    }
    for (const auto& [key, cost] : model) best.try_emplace(key, cost);
  }
  std::vector<std::tuple<std::string, int, std::string>> rows;
  rows.reserve(best.size());
  for (const auto& [key, cost] : best) rows.emplace_back(key.first, cost, key.second);
  std::sort(rows.begin(), rows.end());
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  for (const auto& [reading, cost, form] : rows) out << reading << '\t' << form << '\t' << cost << '\n';
  if (!out) Fail("cannot write the output file");
  iconv_close(fromEuc);
  iconv_close(toCp932);
  std::fprintf(stderr, "gen_lexicon: %zu entries\n", rows.size());
  return 0;
}
