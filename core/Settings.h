// The settings store: three lists of numbered slots, read once when the main
// window is created and written once when it closes.
#pragma once

#include <optional>
#include <map>
#include <set>
#include <string>

#include "core/ColourText.h"
#include "core/CommaText.h"
#include "core/Platform.h"

namespace velkor {

// Slots of CrtList (30 slots).
namespace crt {
enum Slot : int {
  kWindowWidth = 0,
  kWindowHeight = 1,
  kWindowLeft = 2,
  kWindowTop = 3,
  kEditFontName = 4,
  kEditFontSize = 5,
  kEditFontColour = 6,
  kLowerPanelHeight = 7,
  kBoardPanelWidth = 8,
  kReserved9 = 9,
  kBoardFontName = 10,
  kBoardFontSize = 11,
  kBoardFontColour = 12,
  kTab1Content = 13,
  kTab2Content = 14,
  kTabNames = 15,
  kTab0Sizes = 16,
  kTab1Sizes = 17,
  kTab2Sizes = 18,
  kSelectedTab = 19,
  kEditBackground = 20,
  kBoardBackground = 21,
  kFirstReservedTail = 22,
  kLastReservedTail = 28,
  kEndMarker = 29,
  kCount = 30,
};
}  // namespace crt

// Slots of OptionList (10 slots).
namespace option {
enum Slot : int {
  kClickMode = 0,
  kDwellSeconds = 1,
  kArrowKeyMode = 2,
  kWordWrap = 3,
  kKanaMirroring = 4,
  kSpeechSpeed = 5,   // percent of normal; "0" (older settings) reads as 100
  kSpeechVolume = 6,  // percent of normal; "0" reads as 100
  kCount = 10,
};
}  // namespace option

inline constexpr char kVersionTag[] = "*V3.2";

// What the defaults are computed from at load time: the screen and the
// window's design size and fonts.
struct SettingsEnvironment {
  int screenWidth = 0;
  int screenHeight = 0;
  int windowWidth = 0;  // the window's size at this moment (its design size)
  int windowHeight = 0;
  FontSpec editFont;   // the edit area's design font
  FontSpec boardFont;  // the board grid's design font
  // The two user tabs' built-in content (comma text), from the board.
  std::string userTabContent[2];
};

// Named settings beside the three lists, each a key of its group in the
// settings file. Added after the lists: an older file, without them, loads
// unchanged with their defaults.
namespace named {
// 1: a kana cell inserts its first variant at once, and the modifier cell
// 「゛~」 is on the board; 0 (the default): the variant list.
inline constexpr char kQuickKana[] = "Entry/QuickKana";
// The cells of the prediction row above the board, 0 to 8 (the default); 0
// hides the row.
inline constexpr char kPredictionCells[] = "Entry/PredictionCells";
// Pixels the pointer may wander from where a dwell count began without
// changing the cell (a tremor across a border); 0 (the default): any move
// onto another cell restarts the count.
inline constexpr char kDwellTolerancePx[] = "Access/DwellTolerancePx";
// 1: in dwell mode 終~ and 印~ take a second confirmation on the cell itself;
// 0 (the default): they act at once, as designed.
inline constexpr char kConfirmTwice[] = "Access/ConfirmTwice";
// Milliseconds after which a board cell still dwelt on after its
// confirmation confirms again (BS~, the caret moves, a character); 0 (the
// default): never.
inline constexpr char kRepeatMs[] = "Access/RepeatMs";
// Milliseconds a dwelt cell may be left and come back to with its count
// going on where it stopped; 300 by default, 0: every return starts afresh.
inline constexpr char kDwellMemoryMs[] = "Access/DwellMemoryMs";
// 1: the cells grow to fill the board area; 0 (the default): they keep the
// stored sizes.
inline constexpr char kFitCells[] = "Access/FitCells";
// 1: scanning, the fourth input mode, with click, dwell and arrow keys off;
// 0 (the default): the option slots choose the mode.
inline constexpr char kScan[] = "Access/Scan";
// Seconds the scan highlight rests on a row or cell (0.5 to 10.0 in tenths;
// 1.5 by default).
inline constexpr char kScanInterval[] = "Access/ScanInterval";
// What the switch is: "space" (the default), "enter", "any-key" or "mouse".
inline constexpr char kScanSwitch[] = "Access/ScanSwitch";
// 1 (the default): one switch chooses, the highlight steps by itself; 2:
// Space steps and Enter chooses, with no timer.
inline constexpr char kScanSwitches[] = "Access/ScanSwitches";
// With Access/FitCells: the percentage of the window's height the board area
// takes (50, 67 or 75), kept on every resize; 0 (the default): the stored
// height, as the splitter leaves it.
inline constexpr char kBoardShare[] = "Access/BoardShare";
// The call bell's volume in percent, 0 to 100 (the default), apart from the
// volume of reading aloud.
inline constexpr char kBellVolume[] = "Access/BellVolume";
// 1 (the default): under scanning, holding the switch down for two seconds
// rings the call bell; 0: a held switch is one press.
inline constexpr char kBellHold[] = "Access/BellHold";
// 1: writing 。, ！ or ？ reads the sentence it ends aloud at once; 0 (the
// default): only 話~ reads.
inline constexpr char kSpeakSentenceEnd[] = "Speech/SentenceEnd";
// 1: a sentence chosen on 文~ is written at the caret as well as read aloud;
// 0 (the default): it is only read aloud.
inline constexpr char kWriteSentence[] = "Speech/WriteSentence";
// 1: under scanning, the row and then the cell under the highlight is read
// aloud briefly; 0 (the default): scanning is silent.
inline constexpr char kScanSpeak[] = "Access/ScanSpeak";
// 1 (the default, for older files too: it only adds a line to what scanning
// offers, on the board's own face): under scanning, the shortcut line of ゛~,
// 変~, 戻, BS~, 。 and 、 comes right after the prediction row; 0: the rows
// alone.
inline constexpr char kScanShortcuts[] = "Access/ScanShortcuts";
}  // namespace named
// How long the scan switch is held down to ring the call bell.
inline constexpr int kBellHoldMs = 2000;
inline constexpr int kMaxDwellTolerancePx = 200;
inline constexpr int kMaxPredictionCells = 8;
inline constexpr int kMaxDwellMemoryMs = 2000;
inline constexpr int kMaxRepeatMs = 60000;
// The dwell time in tenths of a second the dwell slot may hold: the whole
// seconds 1 to 5, or 0.3 to 5.0 in tenths.
inline constexpr int kMinDwellTenths = 3;
inline constexpr int kMaxDwellTenths = 50;
inline constexpr int kMinScanTenths = 5;
inline constexpr int kMaxScanTenths = 100;
// The scan switch kinds, as stored.
enum class ScanSwitch { Space, Enter, AnyKey, Mouse };

class Settings {
 public:
  StringList crtList;     // code page 932 texts
  StringList optionList;  // code page 932 texts
  StringList fileList;    // native file names (UTF-8 here)

  // Reads "File", "Option", "Crt", "Ver" and the named settings, replacing a
  // list that is too short by its defaults.
  void Load(ISettingsStore& store, const SettingsEnvironment& env);
  // The last Load found no settings at all (no settings file, or one with
  // nothing in it): the program's very first start.
  bool FirstStart() const { return firstStart_; }
  // Writes "File", "Option", "Crt", the named settings that are not at their
  // defaults or that the file held, then "Ver", when the store opens for
  // writing.
  void Write(ISettingsStore& store) const;

  // The default of a CrtList slot, as computed by the last Load.
  const std::string& CrtDefault(int slot) const;

  // A slot read as a decimal integer; the slot's default when the text is not
  // one (a hand-edited settings file).
  int CrtInt(int slot) const;
  // A colour slot as the program writes it (a colour name, "$" and
  // hexadecimal digits); the slot's default for anything else, a bare
  // number included (a list shifted by a hand edit puts a font size or a tab
  // number there).
  Colour CrtColour(int slot) const;
  FontSpec CrtFont(int nameSlot) const;  // name, size and colour slots in a row
  void SetCrtFont(int nameSlot, const FontSpec& font);

  // The speed or the volume of reading aloud in percent of normal; older
  // settings hold "0" in these slots, which reads as 100.
  int SpeechPercent(int slot) const;

  // A named setting's value (named::...); its default when the file had none
  // or one it may not hold.
  std::string Named(const char* key) const;
  void SetNamed(const char* key, std::string value);
  bool QuickKana() const { return Named(named::kQuickKana) == "1"; }
  int PredictionCells() const;
  int DwellTolerancePx() const;
  bool ConfirmTwice() const { return Named(named::kConfirmTwice) == "1"; }
  int RepeatMs() const;
  int DwellMemoryMs() const;
  bool FitCells() const { return Named(named::kFitCells) == "1"; }
  // The board area's share of the window's height in percent; 0: as stored.
  int BoardShare() const;
  bool Scan() const { return Named(named::kScan) == "1"; }
  // The scan interval in milliseconds.
  int ScanIntervalMs() const;
  ScanSwitch ScanSwitchKind() const;
  bool TwoSwitches() const { return Named(named::kScanSwitches) == "2"; }
  // The call bell's volume in percent (0 to 100).
  int BellVolume() const;
  bool BellHold() const { return Named(named::kBellHold) == "1"; }
  bool SpeakSentenceEnd() const { return Named(named::kSpeakSentenceEnd) == "1"; }
  bool WriteSentence() const { return Named(named::kWriteSentence) == "1"; }
  bool ScanSpeak() const { return Named(named::kScanSpeak) == "1"; }
  bool ScanShortcuts() const { return Named(named::kScanShortcuts) == "1"; }
  // The dwell slot's time in tenths of a second (3 to 50); nothing when the
  // slot holds no dwell time (dwell off).
  std::optional<int> DwellTenths() const;

  // Option slot tests as exact text comparisons.
  const std::string& Option(int slot) const { return optionList.at(slot); }
  void SetOption(int slot, std::string value) { optionList.at(slot) = std::move(value); }

  static StringList DefaultOptionList();
  static StringList DefaultCrtList(const SettingsEnvironment& env);

 private:
  static void RealignCrt(StringList& crt);

  bool firstStart_ = false;
  StringList crtDefaults_;
  std::map<std::string, std::string> named_;
  std::set<std::string> namedInFile_;  // keys the file held when read, or changed since
};

// Native file names as the settings store holds them (UTF-16): any bytes
// come back exactly. Bytes that are not UTF-8 (a folder named in Shift-JIS)
// are stored as the private-use characters U+F780 + byte, as the code page
// 932 codec keeps raw bytes, and so are the bytes of a name's own character
// from that range.
std::u16string NativeToStored(std::string_view bytes);
std::string StoredToNative(std::u16string_view text);

// Decimal integer text as the slots hold it: an optional minus sign and digits,
// nothing else. No value for anything else or for a number out of range.
std::optional<int> ParseDecimal(std::string_view text);

// A decimal number with at most four decimal places ("2", "2.5", "-0.25"),
// in ten-thousandths. No value for anything else.
std::optional<long long> ParseFixed4(std::string_view text);

// ParseDecimal within [min, max]; nothing for anything else.
std::optional<int> ParseBounded(std::string_view text, int min, int max);

// A time in whole tenths of a second ("1", "1.5", "0.3") within [min, max]
// tenths; nothing for anything else (hundredths, out of range).
std::optional<int> ParseTenths(std::string_view text, int min, int max);
// Tenths of a second as the settings file holds them: "2" for whole
// seconds, "1.5" otherwise.
std::string TenthsText(int tenths);

}  // namespace velkor
