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
//   gen_lexicon <ipadic folder> <output file>
//
// Uses only libc and iconv (EUC-JP to UTF-8, UTF-8 to CP932).
#include <iconv.h>

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

#include "IconvText.h"

namespace {

using velkor::tools::Convert;

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "gen_lexicon: %s\n", what.c_str());
  std::exit(1);
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: gen_lexicon <ipadic folder> <output file>");
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
