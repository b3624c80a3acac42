// The properties that the fuzz targets check on arbitrary input. Each check
// returns normally when the property holds and aborts (through FuzzRequire)
// when it does not, so libFuzzer reports the input; the ordinary test suite
// replays the committed corpus through the same checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "core/ColourText.h"
#include "core/CommaText.h"
#include "core/Settings.h"
#include "core/Cp932.h"
#include "document/Search.h"
#include "document/TextFile.h"

namespace velkor::fuzz {

inline void FuzzRequire(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The one list the comma text cannot carry: an item whose last character is a
// lone lead byte, when a comma or a closing quote would follow it (the reader
// takes the two bytes as one character).
inline bool EndsInLoneLeadByte(const std::string& item) {
  if (item.empty()) return false;
  std::size_t pos = 0, last = 0;
  while (pos < item.size()) {
    last = pos;
    pos = cp932::NextCharPos(item, pos);
  }
  return pos - last == 1 && cp932::IsLeadByte(static_cast<unsigned char>(item[last]));
}

// Reading any text gives a list that writes and reads back unchanged.
inline void CheckCommaText(std::string_view text) {
  for (Stepping stepping : {Stepping::Cp932, Stepping::SingleByte}) {
    const StringList items = ReadCommaText(text, stepping);
    bool representable = true;
    if (stepping == Stepping::Cp932) {
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (EndsInLoneLeadByte(items[i])) representable = false;
      }
    }
    const std::string written = WriteCommaText(items, stepping);
    const StringList again = ReadCommaText(written, stepping);
    if (representable) FuzzRequire(again == items, "comma text: read, write, read gives the same list");
  }
}

// A colour that reads writes back as text that reads as the same colour.
inline void CheckColourText(std::string_view text) {
  if (const auto colour = TextToColour(text)) {
    const std::string written = ColourToText(*colour);
    const auto again = TextToColour(written);
    FuzzRequire(again && *again == *colour, "colour text: value survives writing and reading");
  }
}

// Any bytes decode and encode back to themselves.
inline void CheckCodec(std::string_view bytes) {
  bool lossy = true;
  const std::string back = cp932::Encode(cp932::Decode(bytes), &lossy);
  FuzzRequire(back == bytes, "codec: decode then encode returns the input");
  FuzzRequire(!lossy, "codec: decoded text encodes without loss");
}

// A settings store holding four arbitrary values.
class FuzzStore : public ISettingsStore {
 public:
  std::map<std::string, std::u16string> values;
  bool OpenForRead() override { return true; }
  bool OpenForWrite() override { return true; }
  std::u16string Read(const std::string& name) override { return values[name]; }
  void Write(const std::string& name, const std::u16string& value) override { values[name] = value; }
  void Close() override {}
};

// Any four values load without failure, save back, and load again to the
// same lists.
inline void CheckSettings(std::string_view input) {
  // The input is split into the four values at the first three NUL bytes.
  std::string parts[4];
  int part = 0;
  for (char c : input) {
    if (c == '\0' && part < 3) {
      ++part;
    } else {
      parts[part] += c;
    }
  }
  FuzzStore store;
  store.values["File"] = cp932::Utf8ToUtf16(parts[0]);
  store.values["Option"] = cp932::Decode(parts[1]);
  store.values["Crt"] = cp932::Decode(parts[2]);
  store.values["Ver"] = cp932::Decode(parts[3]);
  SettingsEnvironment env{1280,
                          1024,
                          625,
                          351,
                          FontSpec{"Edit", 20, colours::clWindowText},
                          FontSpec{"Board", 22, colours::clWindowText},
                          {"a,b", "c,d"}};
  Settings settings;
  settings.Load(store, env);
  FuzzRequire(settings.crtList.size() >= 30 && settings.optionList.size() >= 10, "settings: slots present");
  for (int slot = 0; slot < crt::kCount; ++slot) {
    (void)settings.CrtInt(slot);
    (void)settings.CrtColour(slot);
  }
  (void)settings.CrtFont(crt::kEditFontName);
  (void)settings.CrtFont(crt::kBoardFontName);
  settings.Write(store);
  Settings again;
  again.Load(store, env);
  auto representable = [](const StringList& items) {
    for (const std::string& item : items) {
      if (EndsInLoneLeadByte(item)) return false;
    }
    return true;
  };
  if (representable(settings.optionList)) {
    FuzzRequire(again.optionList == settings.optionList, "settings: Option survives a save");
  }
  if (representable(settings.crtList)) FuzzRequire(again.crtList == settings.crtList, "settings: Crt survives a save");
  FuzzRequire(again.fileList == settings.fileList, "settings: File survives a save");
}

// Any file loads; its normalised text is stable and saves back unchanged.
inline void CheckFileText(std::string_view bytes) {
  const std::string text = NormaliseLineBreaks(bytes);
  FuzzRequire(NormaliseLineBreaks(text) == text, "file: normalising twice changes nothing");
  std::string reference;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      reference += "\r\n";
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      reference += bytes[i];
    }
  }
  FuzzRequire(text == reference, "file: every line break becomes CR LF and nothing else changes");
}

// A plain search: every character start from the start position, folded
// comparison, a match must end on a character boundary.
inline std::string FoldForReference(std::string_view text, bool matchCase) {
  std::string out(text);
  if (matchCase) return out;
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t length = cp932::CharLength(out, pos);
    const unsigned char b = static_cast<unsigned char>(out[pos]);
    if (length == 1 && b >= 'A' && b <= 'Z') out[pos] = static_cast<char>(b + 32);
    if (length == 2 && b == 0x82) {
      const unsigned char t = static_cast<unsigned char>(out[pos + 1]);
      if (t >= 0x60 && t <= 0x79) out[pos + 1] = static_cast<char>(t + 0x21);
    }
    pos += length;
  }
  return out;
}

inline std::optional<SearchRange> ReferenceSearch(std::string_view text, int selStart, int selLength,
                                                  std::string_view pattern, SearchOptions options) {
  if (pattern.empty() || text.empty()) return std::nullopt;
  std::size_t start = 0;
  if (selLength > 0) {
    const long long s = options.replace ? selStart : static_cast<long long>(selStart) + selLength;
    if (s < 0 || s > static_cast<long long>(text.size())) return std::nullopt;
    start = static_cast<std::size_t>(s);
    if (!cp932::IsCharBoundary(text, start)) start = cp932::NextCharPos(text, cp932::FloorCharBoundary(text, start));
  }
  const std::string folded = FoldForReference(text, options.matchCase);
  const std::string needle = FoldForReference(pattern, options.matchCase);
  for (std::size_t pos = 0; pos < text.size(); pos = cp932::NextCharPos(text, pos)) {
    if (pos < start) continue;
    if (folded.compare(pos, needle.size(), needle) == 0 && pos + needle.size() <= text.size() &&
        cp932::IsCharBoundary(text, pos + needle.size())) {
      return SearchRange{static_cast<int>(pos), static_cast<int>(pattern.size())};
    }
  }
  return std::nullopt;
}

// The input: two option bytes, then text and pattern separated by the first NUL.
inline void CheckSearch(std::string_view input) {
  if (input.size() < 3) return;
  const unsigned char flags = static_cast<unsigned char>(input[0]);
  const unsigned char where = static_cast<unsigned char>(input[1]);
  input.remove_prefix(2);
  const std::size_t split = input.find('\0');
  const std::string_view text = input.substr(0, split);
  const std::string_view pattern = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  const SearchOptions options{(flags & 1) != 0, (flags & 2) != 0};
  const int selStart = text.empty() ? 0 : static_cast<int>(where % (text.size() + 1));
  const int selLength = (flags >> 2) % 4;
  const auto found = SearchText(text, selStart, selLength, pattern, options);
  const auto expected = ReferenceSearch(text, selStart, selLength, pattern, options);
  FuzzRequire(found == expected, "search: the same occurrence as a plain search");
}

}  // namespace velkor::fuzz
