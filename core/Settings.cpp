#include "core/Settings.h"

#include <algorithm>

#include <charconv>
#include <stdexcept>

#include "core/Cp932.h"

namespace velkor {

namespace {

constexpr char kValueFile[] = "File";
constexpr char kValueOption[] = "Option";
constexpr char kValueCrt[] = "Crt";
constexpr char kValueVer[] = "Ver";

// "Option", "Crt" and "Ver" hold code page 932 text; "File" holds native file
// names, which must never be squeezed through code page 932.
StringList ReadCp932List(ISettingsStore& store, const char* name) {
  return ReadCommaText(cp932::Encode(store.Read(name)));
}

// The length of the well-formed UTF-8 sequence at `i` (no overlong form, no
// surrogate, nothing above U+10FFFF) with its code point; 0 for none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i, char32_t& cp) {
  const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char b = byte(i);
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  std::size_t more = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    more = 1;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    more = 2;
    cp = b & 0x0F;
    lo = b == 0xE0 ? 0xA0 : 0x80;
    hi = b == 0xED ? 0x9F : 0xBF;
  } else if (b >= 0xF0 && b <= 0xF4) {
    more = 3;
    cp = b & 0x07;
    lo = b == 0xF0 ? 0x90 : 0x80;
    hi = b == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + more >= text.size()) return 0;
  for (std::size_t k = 1; k <= more; ++k) {
    const unsigned char c = byte(i + k);
    if (c < lo || c > hi) return 0;
    cp = (cp << 6) | (c & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  return more + 1;
}

bool IsRawByteCharacter(char32_t cp) { return cp >= cp932::kRawByteBase && cp < cp932::kRawByteBase + 0x100; }

}  // namespace

std::u16string NativeToStored(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t run = 0;  // the start of the well-formed text not yet converted
  const auto flush = [&](std::size_t end) { out += cp932::Utf8ToUtf16(bytes.substr(run, end - run)); };
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t length = Utf8SequenceAt(bytes, i, cp);
    if (length > 0 && !IsRawByteCharacter(cp)) {
      i += length;
      continue;
    }
    flush(i);
    out += static_cast<char16_t>(cp932::kRawByteBase + static_cast<unsigned char>(bytes[i]));
    run = ++i;
  }
  flush(bytes.size());
  return out;
}

std::string StoredToNative(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t run = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsRawByteCharacter(text[i])) continue;
    out += cp932::Utf16ToUtf8(text.substr(run, i - run));
    if (i < text.size()) out += static_cast<char>(text[i] - cp932::kRawByteBase);
    run = i + 1;
  }
  return out;
}

std::optional<int> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size()) return std::nullopt;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<long long> ParseFixed4(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) ++i;
  long long whole = 0;
  int wholeDigits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++wholeDigits) {
    if (whole > 100000000000LL) return std::nullopt;
    whole = whole * 10 + (text[i] - '0');
  }
  long long fraction = 0;
  int fractionDigits = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++fractionDigits) {
      if (fractionDigits == 4) return std::nullopt;
      fraction = fraction * 10 + (text[i] - '0');
    }
  }
  if (i != text.size() || wholeDigits + fractionDigits == 0) return std::nullopt;
  for (int d = fractionDigits; d < 4; ++d) fraction *= 10;
  const long long value = whole * 10000 + fraction;
  return negative ? -value : value;
}

namespace {

bool IsNumber(const std::string& value) { return ParseDecimal(value).has_value(); }
// The dwell slot: "0" (dwell off), a whole second 1 to 5, or 0.3 to 5.0
// seconds in tenths.
bool IsDwellTime(const std::string& value) {
  return value == "0" || ParseTenths(value, kMinDwellTenths, kMaxDwellTenths).has_value();
}
bool IsScanInterval(const std::string& value) { return ParseTenths(value, kMinScanTenths, kMaxScanTenths).has_value(); }
bool IsScanSwitch(const std::string& value) {
  return value == "space" || value == "enter" || value == "any-key" || value == "mouse";
}
bool IsOneOrTwo(const std::string& value) { return value == "1" || value == "2"; }
bool AnyText(const std::string&) { return true; }
bool IsZeroOrOne(const std::string& value) { return value == "0" || value == "1"; }
bool IsBoardShare(const std::string& value) { return value == "0" || value == "50" || value == "67" || value == "75"; }

// A whole number from 0 to Max.
template <int Max>
bool IsUpTo(const std::string& value) {
  return ParseBounded(value, 0, Max).has_value();
}

// The named settings: key, default and what each may hold. A new setting is
// one line.
struct NamedEntry {
  const char* key;
  const char* fallback;
  bool (*valid)(const std::string&);
};
constexpr NamedEntry kNamedEntries[] = {
    {named::kQuickKana, "0", IsZeroOrOne},
    {named::kPredictionCells, "8", IsUpTo<kMaxPredictionCells>},
    {named::kDwellTolerancePx, "0", IsUpTo<kMaxDwellTolerancePx>},
    {named::kConfirmTwice, "0", IsZeroOrOne},
    {named::kRepeatMs, "0", IsUpTo<kMaxRepeatMs>},
    {named::kDwellMemoryMs, "300", IsUpTo<kMaxDwellMemoryMs>},
    {named::kFitCells, "0", IsZeroOrOne},
    {named::kScan, "0", IsZeroOrOne},
    {named::kScanInterval, "1.5", IsScanInterval},
    {named::kScanSwitch, "space", IsScanSwitch},
    {named::kScanSwitches, "1", IsOneOrTwo},
    {named::kBoardShare, "0", IsBoardShare},
    {named::kBellVolume, "100", IsUpTo<100>},
    {named::kBellHold, "1", IsZeroOrOne},
    {named::kSpeakSentenceEnd, "0", IsZeroOrOne},
    {named::kWriteSentence, "0", IsZeroOrOne},
    {named::kScanSpeak, "0", IsZeroOrOne},
    {named::kScanShortcuts, "1", IsZeroOrOne},
};

// The option slots: each one's default and what it may hold; a stored value
// it may not hold gives way to the default. A new option is one line.
struct OptionEntry {
  int slot;
  const char* fallback;
  bool (*valid)(const std::string&);
};
constexpr OptionEntry kOptionEntries[option::kCount] = {
    {option::kClickMode, "1", IsNumber},
    {option::kDwellSeconds, "0", IsDwellTime},
    {option::kArrowKeyMode, "0", IsNumber},
    {option::kWordWrap, "1", IsNumber},
    {option::kKanaMirroring, "0", IsNumber},
    {option::kSpeechSpeed, "0", AnyText},  // read as a percentage, 100 when it is none
    {option::kSpeechVolume, "0", AnyText},
    {7, "0", AnyText},  // kept as stored, unused
    {8, "0", AnyText},
    {9, "0", AnyText},
};

}  // namespace

StringList Settings::DefaultOptionList() {
  StringList list;
  for (const OptionEntry& entry : kOptionEntries) list.emplace_back(entry.fallback);
  return list;
}

namespace {

using Env = SettingsEnvironment;

// The Crt slots' defaults, computed from the screen and the window's design
// at load time. A slot not listed holds "0". Numbers and colours read from
// these slots fall back to the slot's default when the stored text is none
// (Settings::CrtInt, Settings::CrtColour). A new slot is one line.
struct CrtEntry {
  int slot;
  std::string (*fallback)(const Env& env);
};
// clang-format off
constexpr CrtEntry kCrtEntries[] = {
    {crt::kWindowWidth, [](const Env&) -> std::string { return "710"; }},
    {crt::kWindowHeight, [](const Env&) -> std::string { return "500"; }},
    // Centred for the window's size at this moment (its design size), not for
    // the 710 x 500 it is about to take; the division drops the fraction.
    {crt::kWindowLeft, [](const Env& e) { return std::to_string((e.screenWidth - e.windowWidth) / 2); }},
    {crt::kWindowTop, [](const Env& e) { return std::to_string((e.screenHeight - e.windowHeight) / 2); }},
    {crt::kEditFontName, [](const Env& e) { return e.editFont.name; }},
    {crt::kEditFontSize, [](const Env& e) { return std::to_string(e.editFont.size); }},
    {crt::kEditFontColour, [](const Env& e) { return ColourToText(e.editFont.colour); }},
    {crt::kLowerPanelHeight, [](const Env&) -> std::string { return "330"; }},
    {crt::kBoardPanelWidth, [](const Env&) -> std::string { return "531"; }},
    {crt::kBoardFontName, [](const Env& e) { return e.boardFont.name; }},
    {crt::kBoardFontSize, [](const Env& e) { return std::to_string(e.boardFont.size); }},
    {crt::kBoardFontColour, [](const Env& e) { return ColourToText(e.boardFont.colour); }},
    {crt::kTab1Content, [](const Env& e) { return e.userTabContent[0]; }},
    {crt::kTab2Content, [](const Env& e) { return e.userTabContent[1]; }},
    {crt::kTabNames, [](const Env&) { return cp932::FromUtf8("基本,拡張１,拡張２"); }},
    {crt::kSelectedTab, [](const Env&) -> std::string { return "0"; }},
    {crt::kEditBackground, [](const Env&) -> std::string { return "clWindow"; }},
    {crt::kBoardBackground, [](const Env&) -> std::string { return "clWindow"; }},
    {crt::kEndMarker, [](const Env&) -> std::string { return "\\EOD"; }},
};
// clang-format on

}  // namespace

StringList Settings::DefaultCrtList(const SettingsEnvironment& env) {
  StringList crt(crt::kCount, "0");
  for (const CrtEntry& entry : kCrtEntries) crt[entry.slot] = entry.fallback(env);
  return crt;
}

void Settings::Load(ISettingsStore& store, const SettingsEnvironment& env) {
  // When the key is missing every read gives the empty text; a store with
  // nothing in it is the program's very first start.
  firstStart_ = !store.OpenForRead();
  fileList = ReadCommaText(StoredToNative(store.Read(kValueFile)), Stepping::SingleByte);
  optionList = ReadCp932List(store, kValueOption);
  crtList = ReadCp932List(store, kValueCrt);
  store.Read(kValueVer);  // read and ignored: no conversion of older data
  named_.clear();
  namedInFile_.clear();
  for (const NamedEntry& entry : kNamedEntries) {
    std::string value = cp932::Utf16ToUtf8(store.Read(entry.key));
    if (!value.empty()) namedInFile_.insert(entry.key);
    named_[entry.key] = entry.valid(value) ? std::move(value) : entry.fallback;
  }
  store.Close();

  crtDefaults_ = DefaultCrtList(env);
  if (optionList.size() < static_cast<std::size_t>(option::kCount)) {
    optionList = DefaultOptionList();
  } else {
    // A hand-edited slot that is not what the program keeps there takes its
    // default (an input mode must stay chosen, for instance).
    for (const OptionEntry& entry : kOptionEntries) {
      if (!entry.valid(optionList[entry.slot])) optionList[entry.slot] = entry.fallback;
    }
    const std::string& dwell = optionList[option::kDwellSeconds];
    // No stored value leaves the user without a way to write.
    if (optionList[option::kClickMode] != "1" && dwell == "0" && optionList[option::kArrowKeyMode] != "1")
      optionList[option::kClickMode] = "1";
  }
  if (crtList.size() > static_cast<std::size_t>(crt::kCount)) RealignCrt(crtList);
  if (crtList.size() < static_cast<std::size_t>(crt::kCount)) crtList = crtDefaults_;
}

void Settings::RealignCrt(StringList& crt) {
  // A font name with a space, written without quotes by hand, reads as two
  // slots and shifts every slot after it: the user's tabs would be written
  // back in the wrong slots. When joining the name's parts again brings the
  // end marker to its slot, that is what the hand meant.
  StringList joined = crt;
  for (const int nameSlot : {crt::kEditFontName, crt::kBoardFontName}) {
    while (joined.size() > static_cast<std::size_t>(crt::kCount) && !IsNumber(joined[nameSlot + 1])) {
      joined[nameSlot] += " " + joined[nameSlot + 1];
      joined.erase(joined.begin() + nameSlot + 1);
    }
  }
  if (joined.size() != static_cast<std::size_t>(crt::kCount) || joined[crt::kEndMarker] != "\\EOD") return;
  // The numbers around the names stand where numbers belong.
  for (const int slot : {crt::kWindowWidth, crt::kWindowHeight, crt::kWindowLeft, crt::kWindowTop, crt::kEditFontSize,
                         crt::kLowerPanelHeight, crt::kBoardPanelWidth, crt::kBoardFontSize, crt::kSelectedTab}) {
    if (!IsNumber(joined[slot])) return;
  }
  crt = joined;
}

void Settings::Write(ISettingsStore& store) const {
  if (!store.OpenForWrite()) return;
  store.Write(kValueFile, NativeToStored(WriteCommaText(fileList, Stepping::SingleByte)));
  store.Write(kValueOption, cp932::Decode(WriteCommaText(optionList)));
  store.Write(kValueCrt, cp932::Decode(WriteCommaText(crtList)));
  // A file without the named settings stays as the lists alone wrote it.
  for (const NamedEntry& entry : kNamedEntries) {
    const std::string value = Named(entry.key);
    if (value != entry.fallback || namedInFile_.count(entry.key)) store.Write(entry.key, cp932::Utf8ToUtf16(value));
  }
  store.Write(kValueVer, cp932::Decode(kVersionTag));
  store.Close();
}

std::string Settings::Named(const char* key) const {
  if (const auto it = named_.find(key); it != named_.end()) return it->second;
  for (const NamedEntry& entry : kNamedEntries) {
    if (std::string_view(entry.key) == key) return entry.fallback;
  }
  return {};
}

void Settings::SetNamed(const char* key, std::string value) {
  // A setting changed once is written from then on, so that going back to
  // its default replaces the value written before.
  if (Named(key) != value) namedInFile_.insert(key);
  named_[key] = std::move(value);
}

// A value set from the program (not read from the file) may still be out of
// range: it reads as the default.
int Settings::RepeatMs() const { return ParseBounded(Named(named::kRepeatMs), 0, kMaxRepeatMs).value_or(0); }

int Settings::BellVolume() const { return ParseBounded(Named(named::kBellVolume), 0, 100).value_or(100); }

int Settings::BoardShare() const { return ParseBounded(Named(named::kBoardShare), 0, 75).value_or(0); }

int Settings::DwellMemoryMs() const {
  return ParseBounded(Named(named::kDwellMemoryMs), 0, kMaxDwellMemoryMs).value_or(300);
}

int Settings::ScanIntervalMs() const {
  return ParseTenths(Named(named::kScanInterval), kMinScanTenths, kMaxScanTenths).value_or(15) * 100;
}

ScanSwitch Settings::ScanSwitchKind() const {
  const std::string value = Named(named::kScanSwitch);
  if (value == "enter") return ScanSwitch::Enter;
  if (value == "any-key") return ScanSwitch::AnyKey;
  if (value == "mouse") return ScanSwitch::Mouse;
  return ScanSwitch::Space;
}

std::optional<int> Settings::DwellTenths() const {
  return ParseTenths(Option(option::kDwellSeconds), kMinDwellTenths, kMaxDwellTenths);
}

std::optional<int> ParseBounded(std::string_view text, int min, int max) {
  const auto value = ParseDecimal(text);
  if (!value || *value < min || *value > max) return std::nullopt;
  return value;
}

std::optional<int> ParseTenths(std::string_view text, int min, int max) {
  // Digits with at most one decimal: a time the 100 ms count reaches exactly.
  const std::size_t dot = text.find('.');
  if (dot != std::string_view::npos && (dot == 0 || text.size() - dot != 2)) return std::nullopt;
  const auto fixed = ParseFixed4(text);
  if (!fixed || text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  if (*fixed % 1000 != 0) return std::nullopt;
  const long long tenths = *fixed / 1000;
  if (tenths < min || tenths > max) return std::nullopt;
  return static_cast<int>(tenths);
}

std::string TenthsText(int tenths) {
  if (tenths % 10 == 0) return std::to_string(tenths / 10);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

int Settings::DwellTolerancePx() const {
  return ParseBounded(Named(named::kDwellTolerancePx), 0, kMaxDwellTolerancePx).value_or(0);
}

int Settings::PredictionCells() const {
  return ParseBounded(Named(named::kPredictionCells), 0, kMaxPredictionCells).value_or(kMaxPredictionCells);
}

const std::string& Settings::CrtDefault(int slot) const {
  static const std::string kZero = "0";
  if (slot < 0 || static_cast<std::size_t>(slot) >= crtDefaults_.size()) return kZero;
  return crtDefaults_[slot];
}

int Settings::CrtInt(int slot) const {
  if (auto value = ParseDecimal(crtList.at(slot))) return *value;
  return ParseDecimal(CrtDefault(slot)).value_or(0);
}

namespace {

// A colour as the settings hold it: a name or hexadecimal digits, never a
// bare number.
std::optional<Colour> StoredColour(std::string_view text) {
  const bool decimal = !text.empty() && (text[0] == '-' || text[0] == '+' || (text[0] >= '0' && text[0] <= '9')) &&
                       !(text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'));
  if (decimal) return std::nullopt;
  return TextToColour(text);
}

}  // namespace

Colour Settings::CrtColour(int slot) const {
  if (auto value = StoredColour(crtList.at(slot))) return *value;
  return TextToColour(CrtDefault(slot)).value_or(colours::clWindow);
}

int Settings::SpeechPercent(int slot) const {
  const auto value = ParseDecimal(Option(slot));
  return value && *value > 0 ? *value : 100;
}

FontSpec Settings::CrtFont(int nameSlot) const {
  int size = CrtInt(nameSlot + 1);
  if (size <= 0) size = ParseDecimal(CrtDefault(nameSlot + 1)).value_or(0);
  if (size <= 0) size = 10;  // no usable size anywhere: a readable one
  return FontSpec{crtList.at(nameSlot), size, CrtColour(nameSlot + 2)};
}

void Settings::SetCrtFont(int nameSlot, const FontSpec& font) {
  crtList.at(nameSlot) = font.name;
  crtList.at(nameSlot + 1) = std::to_string(font.size);
  crtList.at(nameSlot + 2) = ColourToText(font.colour);
}

}  // namespace velkor
