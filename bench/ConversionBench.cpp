// Selections per character to write ten everyday sentences with the board,
// with and without kana-to-kanji conversion, counting every confirmation
// (board cell, variant, control cell) of the best sequence found; and the
// engine's time per sentence and the memory it adds.
//
//   velkor_bench_conversion <data folder for the engine's learning>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "ui/AnthyConverter.h"

namespace {

using velkor::StringList;
namespace cp932 = velkor::cp932;

struct Sentence {
  const char* target;
  const char* reading;  // what the board writes before "変~"
};

constexpr Sentence kSentences[] = {
    {"今日はいい天気です。", "きょうはいいてんきです"},
    {"私の名前は山田です。", "わたしのなまえはやまだです"},
    {"病院に行きたい。", "びょういんにいきたい"},
    {"水を飲みたい。", "みずをのみたい"},
    {"テレビを消してください。", "てれびをけしてください"},
    {"明日の予定を教えて。", "あしたのよていをおしえて"},
    {"寒いので窓を閉めて。", "さむいのでまどをしめて"},
    {"薬の時間です。", "くすりのじかんです"},
    {"看護師さんを呼んでください。", "かんごしさんをよんでください"},
    {"ありがとうございます。", "ありがとうございます"},
};

double ResidentMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

// Confirmations to write one character from the built-in board: a cell with
// several variants is confirmed, then its variant; a single one acts at once.
int BoardSelections(const std::string& character) {
  for (const std::string& cell : velkor::board::BuiltInBoard()) {
    const StringList variants = velkor::board::Variants(cell);
    for (const std::string& variant : variants) {
      if (variant == character) return variants.size() >= 2 ? 2 : 1;
    }
  }
  return -1;  // not on the board
}

int CountCharacters(const std::string& cp932Text) {
  int count = 0;
  for (std::size_t pos = 0; pos < cp932Text.size(); pos = cp932::NextCharPos(cp932Text, pos)) ++count;
  return count;
}

int WriteWithBoard(const std::string& cp932Text) {
  int selections = 0;
  for (std::size_t pos = 0; pos < cp932Text.size(); pos = cp932::NextCharPos(cp932Text, pos)) {
    const int cost = BoardSelections(cp932Text.substr(pos, cp932::CharLength(cp932Text, pos)));
    if (cost < 0) return -1;
    selections += cost;
  }
  return selections;
}

// The candidate of `segment` that continues `rest`, or -1.
int Fitting(velkor::IConverter& engine, int segment, const std::string& rest) {
  const auto candidates = engine.Candidates(segment);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (!candidates[i].empty() && rest.compare(0, candidates[i].size(), candidates[i]) == 0) return static_cast<int>(i);
  }
  return -1;
}

// The engine's first candidates of segments `from` to `to` (not included).
std::string Tops(velkor::IConverter& engine, int from, int to) {
  std::string tops;
  for (int s = from; s < to; ++s) {
    const auto candidates = engine.Candidates(s);
    tops += candidates.empty() ? engine.SegmentReading(s) : candidates.front();
  }
  return tops;
}

// The best sequence found, as the list offers it: "確~" as soon as the top
// candidates of the rest are the target's rest; else the accept cell that
// takes the most segments (two to four, never the whole rest) whose top
// candidates continue the target; else the segment's candidate that does
// (paging as needed); when none does, the fewest resizes of that segment
// that make one fit.
int Convert(velkor::IConverter& engine, const std::string& reading, const std::string& target) {
  if (!engine.Begin(reading)) return -1;
  int selections = 1;  // "変~"
  std::string rest = target;
  std::vector<std::pair<int, int>> resizes;  // every resize made so far, in order
  int segment = 0;
  while (segment < engine.SegmentCount()) {
    if (Tops(engine, segment, engine.SegmentCount()) == rest) return selections + 1;  // "確~"
    int accepted = 0;
    for (int count = 4; count >= 2 && accepted == 0; --count) {
      if (segment + count >= engine.SegmentCount()) continue;
      const std::string tops = Tops(engine, segment, segment + count);
      if (rest.compare(0, tops.size(), tops) == 0) {
        accepted = count;
        rest.erase(0, tops.size());
      }
    }
    if (accepted > 0) {  // an accept cell
      ++selections;
      segment += accepted;
      continue;
    }
    int chosen = Fitting(engine, segment, rest);
    if (chosen < 0) {
      for (int steps : {-1, +1, -2, +2, -3, +3}) {
        engine.Begin(reading);
        for (const auto& [s, delta] : resizes) engine.Resize(s, delta);
        for (int k = 0; k < std::abs(steps); ++k) engine.Resize(segment, steps < 0 ? -1 : +1);
        if (segment < engine.SegmentCount() && (chosen = Fitting(engine, segment, rest)) >= 0) {
          for (int k = 0; k < std::abs(steps); ++k) resizes.emplace_back(segment, steps < 0 ? -1 : +1);
          selections += std::abs(steps);
          break;
        }
      }
      if (chosen < 0) return -1;
      continue;  // the tops may now all fit
    }
    selections += chosen / 12 + 1;  // "次~" per page, then the candidate
    rest.erase(0, engine.Candidates(segment)[static_cast<std::size_t>(chosen)].size());
    ++segment;
  }
  engine.End();
  return rest.empty() ? selections : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string folder = argc > 1 ? argv[1] : "/tmp/velkor-conversion-bench/";
  velkor::ui::AnthyConverter engine(folder);
  const double before = ResidentMiB();
  if (!engine.Available()) {
    std::printf("the conversion engine is not available here\n");
    return 1;
  }
  const double afterInit = ResidentMiB();

  int characters = 0, withoutTotal = 0, withTotal = 0;
  double slowest = 0, total = 0;
  std::printf("%-36s %6s %9s %9s %9s\n", "sentence", "chars", "kana only", "converted", "ms");
  for (const Sentence& s : kSentences) {
    const std::string target = cp932::FromUtf8(s.target);
    const std::string reading = cp932::FromUtf8(s.reading);
    const std::string period = cp932::FromUtf8("。");
    const int chars = CountCharacters(target);
    const int kana = WriteWithBoard(reading + period);
    const auto start = std::chrono::steady_clock::now();
    const int converted = Convert(engine, reading, target.substr(0, target.size() - period.size()));
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const int with = converted < 0 ? -1 : WriteWithBoard(reading) + converted + WriteWithBoard(period);
    std::printf("%-36s %6d %9d %9d %9.2f\n", s.target, chars, kana, with, ms);
    characters += chars;
    withoutTotal += kana;
    withTotal += with < 0 ? kana : with;
    total += ms;
    slowest = std::max(slowest, ms);
  }
  std::printf(
      "\nselections per character of the sentences: %.2f in kana only (no kanji possible), "
      "%.2f with conversion\n",
      static_cast<double>(withoutTotal) / characters, static_cast<double>(withTotal) / characters);
  std::printf("conversion time per sentence: %.2f ms on average, %.2f ms at most\n", total / 10, slowest);
  std::printf("resident memory added by the engine: %.1f MiB at start, %.1f MiB after the sentences\n",
              afterInit - before, ResidentMiB() - before);
  return 0;
}
