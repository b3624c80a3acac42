// Benchmarks of the logic alone (no window): the code page 932 codec, line
// break normalisation, search, print layout and the edit area's text and
// position translations, each over 10 MB of Japanese text, with a reference
// that does comparable work by other means (glibc iconv, std::string_view::find,
// a plain copy). Prints ROW and SAMPLE lines (bench/Rows.h): one sample per
// repetition, in milliseconds per operation.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchText.h"
#include "bench/Rows.h"
#include "core/Cp932.h"
#include "document/EditText.h"
#include "document/PrintLayout.h"
#include "document/Search.h"
#include "document/TextFile.h"

namespace velkor::bench {
namespace {

constexpr std::size_t kSize = 10 * kMiB;
constexpr int kRepetitions = 9;

// The texts, made once.
struct Texts {
  std::string bytes = JapaneseText(kSize);                    // as the file holds it (CR LF)
  std::u16string decoded = cp932::Decode(bytes);              // CR LF kept
  std::u16string display = DisplayFromEditText(bytes);        // one "\n" per line break
  std::string pattern = cp932::FromUtf8("見つからない言葉");  // occurs nowhere
};

const Texts& T() {
  static const Texts texts;
  return texts;
}

// A fixed printer surface: 10-pixel single-byte and 20-pixel double-byte
// characters, A4-like page in pixels.
class FixedMetrics : public IPrintMetrics {
 public:
  int CharWidth(std::string_view character) const override { return character.size() == 2 ? 20 : 10; }
  int CharHeight() const override { return 20; }
  int AverageCharWidth() const override { return 10; }
  int PageWidth() const override { return 800; }
  int PageHeight() const override { return 1100; }
};

// glibc's iconv over a whole buffer; the output grows as needed.
std::string Iconv(const char* to, const char* from, const char* in, std::size_t inBytes, std::size_t outGuess) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(outGuess, '\0');
  char* inPtr = const_cast<char*>(in);
  std::size_t inLeft = inBytes;
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      if (errno != E2BIG) break;
      const std::size_t used = out.size() - outLeft;
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
    }
  }
  out.resize(out.size() - outLeft);
  iconv_close(cd);
  return out;
}

bool IconvHasCp932() {
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

// Passes each repetition's time per operation on as a SAMPLE line.
class SampleReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string key = run.run_name.function_name;
      if (run.error_occurred) {
        Note(key, "failed: " + run.error_message);
        continue;
      }
      const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      Sample(key, seconds * 1e3);
    }
  }
};

template <class F>
void Add(const RowLine& row, F body) {
  Row(row);
  benchmark::RegisterBenchmark(row.key.c_str(),
                               [body](benchmark::State& state) {
                                 for (auto _ : state) body(state);
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->MinTime(0.05)
      ->Repetitions(kRepetitions);
}

void RegisterAll() {
  Section("Logic over 10 MB of Japanese text (Google Benchmark, real time per operation)");
  const bool iconv = IconvHasCp932();
  const std::string refDecode = iconv ? "logic.ref.iconv_decode" : "logic.ref.copy";
  const std::string refEncode = iconv ? "logic.ref.iconv_encode" : "logic.ref.copy";

  Add({"logic.decode", "cp932::Decode, 10 MB", "ms", refDecode},
      [](benchmark::State&) { benchmark::DoNotOptimize(cp932::Decode(T().bytes)); });
  Add({"logic.encode", "cp932::Encode, 10 MB", "ms", refEncode},
      [](benchmark::State&) { benchmark::DoNotOptimize(cp932::Encode(T().decoded)); });
  Add({"logic.normalise", "NormaliseLineBreaks, 10 MB (CR LF text)", "ms", "logic.ref.copy"},
      [](benchmark::State&) { benchmark::DoNotOptimize(NormaliseLineBreaks(T().bytes)); });
  Add({"logic.search", "SearchText, 10 MB, no match", "ms", "logic.ref.find"}, [](benchmark::State& state) {
    const auto found = SearchText(T().bytes, 0, 0, T().pattern, SearchOptions{});
    if (found) state.SkipWithError("the pattern was found");
    benchmark::DoNotOptimize(found);
  });
  Add({"logic.layout", "LayOutPrintText, 10 MB, fixed metric", "ms", "logic.ref.copy"}, [](benchmark::State&) {
    static const FixedMetrics metrics;
    benchmark::DoNotOptimize(LayOutPrintText(T().bytes, metrics));
  });
  Add({"logic.edit_from_display", "EditTextFromDisplay, 10 MB", "ms", refEncode},
      [](benchmark::State&) { benchmark::DoNotOptimize(EditTextFromDisplay(T().display)); });
  Add({"logic.display_from_edit", "DisplayFromEditText, 10 MB", "ms", refDecode},
      [](benchmark::State&) { benchmark::DoNotOptimize(DisplayFromEditText(T().bytes)); });
  Add({"logic.byte_offset", "ByteOffsetOfDisplayIndex, end of 10 MB", "ms", "logic.ref.copy"}, [](benchmark::State&) {
    benchmark::DoNotOptimize(ByteOffsetOfDisplayIndex(T().display, static_cast<int>(T().display.size())));
  });
  Add({"logic.display_index", "DisplayIndexOfByteOffset, end of 10 MB", "ms", "logic.ref.copy"}, [](benchmark::State&) {
    benchmark::DoNotOptimize(DisplayIndexOfByteOffset(T().display, static_cast<int>(T().bytes.size())));
  });

  if (iconv) {
    Add({"logic.ref.iconv_decode", "  ref: glibc iconv CP932 -> UTF-16, 10 MB"}, [](benchmark::State&) {
      const std::string& b = T().bytes;
      benchmark::DoNotOptimize(Iconv("UTF-16LE", "CP932", b.data(), b.size(), b.size() * 2));
    });
    Add({"logic.ref.iconv_encode", "  ref: glibc iconv UTF-16 -> CP932, 10 MB"}, [](benchmark::State&) {
      const std::u16string& d = T().decoded;
      benchmark::DoNotOptimize(Iconv("CP932", "UTF-16LE", reinterpret_cast<const char*>(d.data()),
                                     d.size() * sizeof(char16_t), d.size() * 2));
    });
  }
  Add({"logic.ref.find", "  ref: std::string_view::find, 10 MB, no match"},
      [](benchmark::State&) { benchmark::DoNotOptimize(std::string_view(T().bytes).find(T().pattern)); });
  Add({"logic.ref.copy", "  ref: copy of the 10 MB (std::string)"}, [](benchmark::State&) {
    std::string copy = T().bytes;
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  });
}

}  // namespace
}  // namespace velkor::bench

int main(int argc, char** argv) {
  velkor::bench::RegisterAll();
  // Repetitions of different benchmarks are interleaved, so that a slow phase
  // of the machine does not land on one row alone.
  std::vector<char*> args(argv, argv + argc);
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  velkor::bench::T();  // the texts are made before any timing
  velkor::bench::SampleReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
