// The texts the benchmarks work on: Japanese prose in code page 932 with a
// CR LF line break after every 36 to 44 characters, always the same for the
// same size, so that runs on different days compare.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Cp932.h"

namespace velkor::bench {

inline constexpr std::size_t kKiB = 1024;
inline constexpr std::size_t kMiB = 1024 * 1024;

// Everyday sentences of kanji, hiragana, katakana and punctuation, written
// for the benchmarks.
inline constexpr char kProse[] =
    "今日は朝から雨が降っていたので、家で本を読みながら静かに過ごしました。"
    "午後になると空が明るくなり、近くの公園まで散歩に出かけました。"
    "桜の木の下では子供たちが楽しそうに遊んでいて、川の水は春の光を受けて輝いていました。"
    "帰り道に小さな店でお茶とお菓子を買い、夕方には友達に長い手紙を書きました。"
    "明日は早く起きて、駅の近くにある図書館へ行くつもりです。"
    "コーヒーを飲みながらノートにメモを取り、カレンダーに予定を書き込みます。"
    "電車の窓から見える山や海の景色は、季節ごとに違う色を見せてくれます。";

// The code page 932 characters of kProse, each one or two bytes.
inline std::vector<std::string> ProseCharacters() {
  const std::string bytes = cp932::FromUtf8(kProse);
  std::vector<std::string> chars;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t next = cp932::NextCharPos(bytes, pos);
    chars.push_back(bytes.substr(pos, next - pos));
    pos = next;
  }
  return chars;
}

// About `size` bytes (never more, at most one character less) of prose in
// code page 932, lines of 36 to 44 characters ending in CR LF. The text does
// not end inside a line break.
inline std::string JapaneseText(std::size_t size) {
  static const std::vector<std::string> chars = ProseCharacters();
  std::string text;
  text.reserve(size + 128);
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  std::size_t pos = next() % chars.size();
  while (text.size() < size) {
    const int lineLength = 36 + static_cast<int>(next() % 9);
    for (int i = 0; i < lineLength; ++i) {
      text += chars[pos];
      pos = (pos + 1) % chars.size();
    }
    text += "\r\n";
    // Lines start at different places of the prose.
    if (next() % 4 == 0) pos = next() % chars.size();
  }
  std::size_t end = cp932::FloorCharBoundary(text, size);
  while (end > 0 && (text[end - 1] == '\r')) --end;
  text.resize(end);
  return text;
}

// "10 KB", "1 MB", "10 MB".
inline std::string SizeName(std::size_t size) {
  if (size >= kMiB) return std::to_string(size / kMiB) + " MB";
  return std::to_string(size / kKiB) + " KB";
}

}  // namespace velkor::bench
