// Writes core/Cp932Tables.inc, the code page 932 tables of the codec, from
// the iconv "CP932" converter of the C library. The output is committed so that
// every platform decodes alike; run this only to regenerate it:
//
//   gen_cp932_tables [output-path]      (stdout when no path is given)
//
// Three tables come out:
//   kSingleByte   256 entries: the UTF-16 code of each byte that is a character
//                 on its own and decodes and re-encodes to itself, else 0.
//   kDoubleByte   60 lead bytes (0x81..0x9F, 0xE0..0xFC) x 256 second bytes: the
//                 UTF-16 code of each pair that decodes to one BMP code point
//                 which encodes back to the same pair, else 0. The NEC/IBM
//                 duplicate codes therefore get 0: their code point encodes to
//                 the other code of the pair of duplicates.
//   kEncodeFallbacks  sorted {code point, code} pairs for the code points that
//                 iconv encodes but that are not the decoded value of that code
//                 (U+301C -> 0x8160, U+00A5 -> 0x5C, ...): encode only.
//   kDuplicates   sorted {code, code point} pairs for the valid codes that
//                 decode to a character whose own code is another one (the
//                 NEC/IBM duplicates, 0xED40 -> U+7E8A -> 0xFA5C): the screen
//                 shows them as their characters while their bytes are kept.
// Uses only libc and iconv so it builds anywhere without the rest of the program.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kLeadCount = 60;

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
int LeadIndex(unsigned lead) { return lead <= 0x9F ? int(lead - 0x81) : int(lead - 0xE0 + 31); }

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "gen_cp932_tables: %s\n", what);
  std::exit(1);
}

// One conversion of a whole input with a fresh state. False when iconv rejects
// any of it, stops early, or reports a lossy (irreversible) conversion.
bool Convert(iconv_t cd, const std::string& in, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string src = in;
  char buffer[64];
  char* inPtr = src.data();
  size_t inLeft = src.size();
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (r != 0 || inLeft != 0) return false;
  r = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);  // flush any shift state
  if (r != 0) return false;
  out.assign(buffer, size_t(outPtr - buffer));
  return true;
}

std::string Utf32(char32_t c) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[size_t(i)] = char((c >> (8 * i)) & 0xFF);
  return s;
}

class Iconv {
 public:
  Iconv() : dec_(iconv_open("UTF-32LE", "CP932")), enc_(iconv_open("CP932", "UTF-32LE")) {
    if (dec_ == iconv_t(-1) || enc_ == iconv_t(-1)) Fail("iconv has no CP932 converter");
  }
  ~Iconv() {
    iconv_close(dec_);
    iconv_close(enc_);
  }

  // The one BMP code point `bytes` decodes to, or 0 when it is not exactly one.
  char32_t DecodeOne(const std::string& bytes) const {
    std::string out;
    if (!Convert(dec_, bytes, out) || out.size() != 4) return 0;
    char32_t c = 0;
    for (int i = 3; i >= 0; --i) c = (c << 8) | static_cast<unsigned char>(out[size_t(i)]);
    return c <= 0xFFFF ? c : 0;
  }

  // The code page 932 bytes of `c`, or "" when iconv has none.
  std::string Encode(char32_t c) const {
    std::string out;
    if (!Convert(enc_, Utf32(c), out)) return {};
    return out;
  }

 private:
  iconv_t dec_;
  iconv_t enc_;
};

// Writes comma-separated items, wrapped near 100 columns.
class Wrapper {
 public:
  explicit Wrapper(std::FILE* f) : f_(f) {}
  void Put(const char* item) {
    int len = int(std::strlen(item));
    if (column_ > 0 && column_ + len > 98) {
      std::fputc('\n', f_);
      column_ = 0;
    }
    if (column_ == 0) {
      std::fputs("  ", f_);
      column_ = 2;
    }
    std::fputs(item, f_);
    column_ += len;
  }
  void End() {
    if (column_ > 0) std::fputc('\n', f_);
    column_ = 0;
  }

 private:
  std::FILE* f_;
  int column_ = 0;
};

// Hex numbers, zeros written as a bare 0 to keep the file small.
void WriteValues(std::FILE* f, const std::vector<unsigned>& values) {
  Wrapper w(f);
  for (unsigned v : values) {
    char item[16];
    std::snprintf(item, sizeof item, v == 0 ? "0," : "0x%X,", v);
    w.Put(item);
  }
  w.End();
}

// What iconv says of every code, as the tables hold it.
struct Tables {
  std::vector<unsigned> single = std::vector<unsigned>(256, 0);
  std::vector<unsigned> pairs = std::vector<unsigned>(size_t(kLeadCount) * 256, 0);
  std::vector<unsigned> duplicates;  // code, code point, code, code point, ...
  std::vector<unsigned> fallbacks;   // code point, code, code point, code, ...
  int decodable = 0, roundTrip = 0;
};

void ReadSingleBytes(const Iconv& conv, Tables& t) {
  std::vector<unsigned>& single = t.single;
  // Plain ASCII must be itself: the codec relies on that.
  for (unsigned b = 0; b < 256; ++b) {
    if (IsLead(b)) continue;
    std::string bytes(1, char(b));
    char32_t c = b == 0 ? 0 : conv.DecodeOne(bytes);
    if (b != 0 && (c == 0 || conv.Encode(c) != bytes)) continue;
    if (b < 0x80 && c != b) Fail("an ASCII byte does not decode to itself");
    if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xF780 && c <= 0xF87F))
      Fail("a byte decodes to a surrogate or a raw-byte code point");
    single[b] = unsigned(c);
  }
}

void ReadPairs(const Iconv& conv, Tables& t) {
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    for (unsigned trail = 0; trail < 256; ++trail) {
      std::string bytes{char(lead), char(trail)};
      char32_t c = conv.DecodeOne(bytes);
      if (c == 0) continue;
      ++t.decodable;
      if (conv.Encode(c) != bytes) {
        if (conv.Encode(c).size() != 2) Fail("a duplicate code's character is not a double-byte character");
        t.duplicates.push_back((lead << 8) | trail);
        t.duplicates.push_back(unsigned(c));
        continue;
      }
      if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xF780 && c <= 0xF87F))
        Fail("a pair decodes to a surrogate or a raw-byte code point");
      if (trail == 0x0D || trail == 0x0A) Fail("a pair ends in CR or LF");
      t.pairs[size_t(LeadIndex(lead)) * 256 + trail] = unsigned(c);
      ++t.roundTrip;
    }
  }
}

void ReadFallbacks(const Iconv& conv, Tables& t) {
  // The decoded value of every code, to find the code points that encode one way.
  std::vector<char32_t> decodedOf(0x10000, 0);
  for (unsigned b = 0; b < 256; ++b) decodedOf[b] = t.single[b];
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead)
    if (IsLead(lead))
      for (unsigned trail = 0; trail < 256; ++trail)
        decodedOf[(lead << 8) | trail] = t.pairs[size_t(LeadIndex(lead)) * 256 + trail];

  for (char32_t c = 1; c <= 0xFFFF; ++c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xF780 && c <= 0xF87F)) continue;
    std::string bytes = conv.Encode(c);
    if (bytes.empty() || bytes.size() > 2) continue;
    unsigned code = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2) code = (code << 8) | static_cast<unsigned char>(bytes[1]);
    if (decodedOf[code] == c) continue;
    if (code == 0) Fail("a code point other than U+0000 encodes to NUL");
    if (bytes.size() == 2 && !IsLead(code >> 8)) Fail("a code point encodes to a pair without a lead byte");
    t.fallbacks.push_back(unsigned(c));
    t.fallbacks.push_back(code);
  }
}

}  // namespace

// Pairs of numbers as {0x.., 0x..} items of a two-column table.
void WritePairs(std::FILE* f, const char* name, const std::vector<unsigned>& flat) {
  std::fprintf(f, "constexpr std::uint16_t %s[%zu][2] = {\n", name, flat.size() / 2);
  Wrapper w(f);
  for (size_t i = 0; i < flat.size(); i += 2) {
    char item[32];
    std::snprintf(item, sizeof item, "{0x%X,0x%X},", flat[i], flat[i + 1]);
    w.Put(item);
  }
  w.End();
  std::fprintf(f, "};\n");
}

void WriteTables(std::FILE* f, const Tables& t, int singleCount) {
  std::fprintf(f,
               "// Generated by tools/gen_cp932_tables from the iconv \"CP932\" converter.\n"
               "// Do not edit by hand: change the generator and run it again.\n"
               "//\n"
               "// kSingleByte: UTF-16 code of each single byte, 0 = no character (raw byte).\n"
               "// kDoubleByte: UTF-16 code of lead byte x second byte, leads 0x81..0x9F then\n"
               "//   0xE0..0xFC, 256 second bytes each; 0 = the pair does not round-trip.\n"
               "// kEncodeFallbacks: {code point, code} pairs, sorted, encode only.\n"
               "// kDuplicates: {code, code point} pairs, sorted by code, decode only for\n"
               "//   the screen; their characters encode to the other code.\n"
               "// %d single bytes, %d of %d decodable pairs round-trip, %zu fallbacks.\n\n",
               singleCount, t.roundTrip, t.decodable, t.fallbacks.size() / 2);

  std::fprintf(f, "constexpr char16_t kSingleByte[256] = {\n");
  WriteValues(f, t.single);
  std::fprintf(f, "};\n\n");

  std::fprintf(f, "constexpr char16_t kDoubleByte[%d * 256] = {\n", kLeadCount);
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    std::fprintf(f, "  // 0x%X\n", lead);
    std::vector<unsigned> row(t.pairs.begin() + LeadIndex(lead) * 256, t.pairs.begin() + (LeadIndex(lead) + 1) * 256);
    WriteValues(f, row);
  }
  std::fprintf(f, "};\n\n");

  WritePairs(f, "kEncodeFallbacks", t.fallbacks);
  std::fprintf(f, "\n");
  WritePairs(f, "kDuplicates", t.duplicates);
}

int main(int argc, char** argv) {
  Iconv conv;
  Tables t;
  ReadSingleBytes(conv, t);
  ReadPairs(conv, t);
  ReadFallbacks(conv, t);

  std::FILE* f = stdout;
  if (argc > 1) {
    f = std::fopen(argv[1], "w");
    if (!f) Fail("cannot open the output file");
  }
  int singleCount = 0;
  for (unsigned v : t.single) singleCount += v != 0;
  WriteTables(f, t, singleCount);
  if (f != stdout && std::fclose(f) != 0) Fail("cannot write the output file");
  std::fprintf(stderr, "single %d, pairs %d/%d, fallbacks %zu\n", singleCount, t.roundTrip, t.decodable,
               t.fallbacks.size() / 2);
  return 0;
}
