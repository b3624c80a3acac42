#include "input/SettingsBoard.h"

#include <algorithm>
#include <array>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "core/InputMode.h"

namespace velkor {

namespace {

using cp932::Sj;

using Item = SettingsBoard::Item;
using Kind = SettingsBoard::Kind;
using Cell = SettingsBoard::Cell;

// The board's layout: four rows of settings, ☆~ along the last row.
// clang-format off
constexpr Cell kCells[] = {
    // Row 1: how cells are chosen, and the dwell.
    {1, 1, Item::InputMode, Kind::Label, 0},
    {2, 1, Item::InputMode, Kind::Choice, 0}, {3, 1, Item::InputMode, Kind::Choice, 1},
    {4, 1, Item::InputMode, Kind::Choice, 2}, {5, 1, Item::InputMode, Kind::Choice, 3},
    {7, 1, Item::DwellTime, Kind::Label, 0},   {8, 1, Item::DwellTime, Kind::Minus, 0},
    {9, 1, Item::DwellTime, Kind::Value, 0},   {10, 1, Item::DwellTime, Kind::Plus, 0},
    {12, 1, Item::DwellMemory, Kind::Label, 0}, {13, 1, Item::DwellMemory, Kind::Minus, 0},
    {14, 1, Item::DwellMemory, Kind::Value, 0}, {15, 1, Item::DwellMemory, Kind::Plus, 0},
    {17, 1, Item::Tolerance, Kind::Label, 0},  {18, 1, Item::Tolerance, Kind::Minus, 0},
    {19, 1, Item::Tolerance, Kind::Value, 0},  {20, 1, Item::Tolerance, Kind::Plus, 0},
    // Row 2: repeat and scanning.
    {1, 2, Item::Repeat, Kind::Label, 0},       {2, 2, Item::Repeat, Kind::Minus, 0},
    {3, 2, Item::Repeat, Kind::Value, 0},       {4, 2, Item::Repeat, Kind::Plus, 0},
    {6, 2, Item::ScanInterval, Kind::Label, 0}, {7, 2, Item::ScanInterval, Kind::Minus, 0},
    {8, 2, Item::ScanInterval, Kind::Value, 0}, {9, 2, Item::ScanInterval, Kind::Plus, 0},
    {11, 2, Item::ScanSwitch, Kind::Label, 0},
    {12, 2, Item::ScanSwitch, Kind::Choice, 0}, {13, 2, Item::ScanSwitch, Kind::Choice, 1},
    {14, 2, Item::ScanSwitch, Kind::Choice, 2}, {15, 2, Item::ScanSwitch, Kind::Choice, 3},
    {17, 2, Item::Switches, Kind::Label, 0},
    {18, 2, Item::Switches, Kind::Choice, 1},   {19, 2, Item::Switches, Kind::Choice, 2},
    // Row 3: writing and the board.
    {1, 3, Item::PredictionCells, Kind::Label, 0}, {2, 3, Item::PredictionCells, Kind::Minus, 0},
    {3, 3, Item::PredictionCells, Kind::Value, 0}, {4, 3, Item::PredictionCells, Kind::Plus, 0},
    {6, 3, Item::QuickKana, Kind::Label, 0},    {7, 3, Item::QuickKana, Kind::Toggle, 0},
    {9, 3, Item::FitCells, Kind::Label, 0},     {10, 3, Item::FitCells, Kind::Toggle, 0},
    {12, 3, Item::ConfirmTwice, Kind::Label, 0}, {13, 3, Item::ConfirmTwice, Kind::Toggle, 0},
    {15, 3, Item::FontSize, Kind::Label, 0},    {16, 3, Item::FontSize, Kind::Minus, 0},
    {17, 3, Item::FontSize, Kind::Value, 0},    {18, 3, Item::FontSize, Kind::Plus, 0},
    {19, 3, Item::ScanShortcuts, Kind::Label, 0}, {20, 3, Item::ScanShortcuts, Kind::Toggle, 0},
    // Row 4: speech.
    {1, 4, Item::SpeechSpeed, Kind::Label, 0},  {2, 4, Item::SpeechSpeed, Kind::Minus, 0},
    {3, 4, Item::SpeechSpeed, Kind::Value, 0},  {4, 4, Item::SpeechSpeed, Kind::Plus, 0},
    {6, 4, Item::SpeechVolume, Kind::Label, 0}, {7, 4, Item::SpeechVolume, Kind::Minus, 0},
    {8, 4, Item::SpeechVolume, Kind::Value, 0}, {9, 4, Item::SpeechVolume, Kind::Plus, 0},
    // The board area's height with 拡大, and the start face again.
    {11, 4, Item::BoardShare, Kind::Label, 0},
    {12, 4, Item::BoardShare, Kind::Choice, 0}, {13, 4, Item::BoardShare, Kind::Choice, 1},
    {14, 4, Item::BoardShare, Kind::Choice, 2}, {15, 4, Item::BoardShare, Kind::Choice, 3},
    {17, 4, Item::StartFace, Kind::Run, 0},   {19, 4, Item::Guide, Kind::Run, 0},
    // Row 5: the call bell, and speaking as one writes.
    {1, 5, Item::BellVolume, Kind::Label, 0},  {2, 5, Item::BellVolume, Kind::Minus, 0},
    {3, 5, Item::BellVolume, Kind::Value, 0},  {4, 5, Item::BellVolume, Kind::Plus, 0},
    {6, 5, Item::BellHold, Kind::Label, 0},    {7, 5, Item::BellHold, Kind::Toggle, 0},
    {9, 5, Item::SentenceEnd, Kind::Label, 0}, {10, 5, Item::SentenceEnd, Kind::Toggle, 0},
    {12, 5, Item::WriteSentence, Kind::Label, 0}, {13, 5, Item::WriteSentence, Kind::Toggle, 0},
    {15, 5, Item::ScanSpeak, Kind::Label, 0}, {16, 5, Item::ScanSpeak, Kind::Toggle, 0},
    {18, 5, Item::LearnDocuments, Kind::Run, 0},
};
// clang-format on

// The last row leaves the board.
constexpr int kLeaveRow = board::kLastCommandRow;

struct ItemText {
  const char* label;  // on the board
  const char* name;   // in the status line
};
constexpr ItemText kTexts[] = {
    {"入力", "入力方法"},
    {"時間", "注視時間"},
    {"記憶", "注視の記憶"},
    {"許容", "注視の許容範囲"},
    {"反復", "注視の繰り返し"},
    {"間隔", "走査の間隔"},
    {"合図", "走査のスイッチ"},
    {"数", "スイッチの数"},
    {"予測", "予測の数"},
    {"一字", "かなを一度で入力"},
    {"拡大", "セルを広げる"},
    {"二度", "終了と印刷の確認"},
    {"文字", "文字盤の文字の大きさ"},
    {"速さ", "読み上げの速さ"},
    {"音量", "読み上げの音量"},
    {"高さ", "拡大のときの文字盤の高さ"},
    {"はじめ", "はじめの画面"},
    {"鈴量", "呼び出し音の音量"},
    {"長押", "スイッチ長押し（２秒）で呼び出し"},
    {"文末", "文末で読み上げ"},
    {"文書", "よく使う文を選ぶと書く"},
    {"読走", "読み上げ走査"},
    {"使い方", "使い方のガイド"},
    {"近道", "走査の近道（゛~ 変~ 戻 BS~ 。 、）"},
    {"学ぶ", "文書から言葉を覚える"},
};
const ItemText& TextOf(Item item) { return kTexts[static_cast<int>(item)]; }

constexpr std::array<const char*, 4> kModeNames = {"クリック", "注視", "矢印", "走査"};
constexpr std::array<const char*, 4> kModeStatus = {"クリック", "注視", "矢印キー", "走査"};
constexpr std::array<const char*, 4> kSwitchNames = {"空白", "改行", "全キー", "マウス"};
constexpr std::array<const char*, 4> kSwitchStatus = {"スペースキー", "Enterキー", "どのキーでも", "マウスのボタン"};
constexpr std::array<const char*, 4> kSwitchValues = {"space", "enter", "any-key", "mouse"};
constexpr std::array<const char*, 4> kShareNames = {"元", "1/2", "2/3", "3/4"};
constexpr std::array<const char*, 4> kShareStatus = {"ウィンドウで決めた高さ", "画面の半分", "画面の３分の２",
                                                     "画面の４分の３"};
constexpr std::array<int, 4> kSharePercents = {0, 50, 67, 75};

std::string Seconds(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + cp932::FromUtf8("秒");
}

}  // namespace

SettingsBoard::SettingsBoard(ProgramState& state, Ports ports, BoardDisplay& board, InputModes& modes,
                             PredictionRow& row)
    : state_(state), p_(ports), board_(board), modes_(modes), row_(row) {}

SettingsBoard::Range SettingsBoard::RangeOf(Item item) {
  switch (item) {
    case Item::DwellTime: return {kMinDwellTenths, kMaxDwellTenths, 1};
    case Item::DwellMemory: return {0, kMaxDwellMemoryMs, 100};
    case Item::Tolerance: return {0, 60, 2};
    case Item::Repeat: return {0, 5000, 500};
    case Item::ScanInterval: return {kMinScanTenths, kMaxScanTenths, 1};
    case Item::PredictionCells: return {0, kMaxPredictionCells, 1};
    case Item::FontSize: return {8, 72, 2};
    case Item::SpeechSpeed: return {50, 200, 10};
    case Item::SpeechVolume: return {10, 200, 10};
    case Item::BellVolume: return {0, 100, 10};
    default: return {0, 0, 1};
  }
}

int SettingsBoard::Value(Item item) const {
  const Settings& s = state_.settings;
  switch (item) {
    case Item::DwellTime: return s.DwellTenths().value_or(10);
    case Item::DwellMemory: return s.DwellMemoryMs();
    case Item::Tolerance: return s.DwellTolerancePx();
    case Item::Repeat: return s.RepeatMs();
    case Item::ScanInterval: return s.ScanIntervalMs() / 100;
    case Item::PredictionCells: return s.PredictionCells();
    case Item::FontSize: return s.CrtFont(crt::kBoardFontName).size;
    case Item::SpeechSpeed: return s.SpeechPercent(option::kSpeechSpeed);
    case Item::SpeechVolume: return s.SpeechPercent(option::kSpeechVolume);
    case Item::BellVolume: return s.BellVolume();
    default: return 0;
  }
}

std::string SettingsBoard::ValueText(Item item, int value) const {
  switch (item) {
    case Item::DwellTime:
    case Item::ScanInterval: return Seconds(value);
    case Item::DwellMemory: return Seconds(value / 100);
    case Item::Repeat: return value == 0 ? Sj("切") : Seconds(value / 100);
    case Item::Tolerance: return std::to_string(value) + "px";
    case Item::FontSize: return std::to_string(value) + "pt";
    case Item::SpeechSpeed:
    case Item::SpeechVolume:
    case Item::BellVolume: return std::to_string(value) + "%";
    default: return std::to_string(value);
  }
}

int SettingsBoard::CurrentChoice(Item item) const {
  const Settings& s = state_.settings;
  switch (item) {
    case Item::InputMode:
      if (ScanModeOn(s)) return 3;
      if (ArrowKeyModeOn(s)) return 2;
      if (DwellModeOn(s)) return 1;
      return 0;
    case Item::ScanSwitch: return static_cast<int>(s.ScanSwitchKind());
    case Item::Switches: return s.TwoSwitches() ? 2 : 1;
    case Item::BoardShare: {
      const auto at = std::find(kSharePercents.begin(), kSharePercents.end(), s.BoardShare());
      return at == kSharePercents.end() ? 0 : static_cast<int>(at - kSharePercents.begin());
    }
    default: return 0;
  }
}

bool SettingsBoard::On(Item item) const {
  const Settings& s = state_.settings;
  switch (item) {
    case Item::QuickKana: return s.QuickKana();
    case Item::FitCells: return s.FitCells();
    case Item::ConfirmTwice: return s.ConfirmTwice();
    case Item::BellHold: return s.BellHold();
    case Item::SentenceEnd: return s.SpeakSentenceEnd();
    case Item::WriteSentence: return s.WriteSentence();
    case Item::ScanSpeak: return s.ScanSpeak();
    case Item::ScanShortcuts: return s.ScanShortcuts();
    default: return false;
  }
}

std::optional<int> SettingsBoard::Stepped(Item item, int direction) const {
  // The dwell slot holds the time only while dwell is the mode.
  if (item == Item::DwellTime && !DwellModeOn(state_.settings)) return std::nullopt;
  const Range range = RangeOf(item);
  const int value = Value(item);
  // A stored value between the steps goes to the nearest step that way.
  int next =
      direction > 0 ? (value / range.step + 1) * range.step : ((value + range.step - 1) / range.step - 1) * range.step;
  next = std::clamp(next, range.min, range.max);
  if (next == value) return std::nullopt;
  return next;
}

std::optional<Cell> SettingsBoard::CellAt(int col, int row) const {
  if (row == kLeaveRow && col >= 1 && col <= board::kContentCols)
    return Cell{col, row, Item::InputMode, Kind::Leave, 0};
  for (const Cell& cell : kCells) {
    if (cell.col == col && cell.row == row) return cell;
  }
  return std::nullopt;
}

std::string SettingsBoard::CellText(const Cell& cell) const {
  switch (cell.kind) {
    case Kind::Label: return Sj(TextOf(cell.item).label);
    case Kind::Minus: return Sj("－");
    case Kind::Plus: return Sj("＋");
    case Kind::Value: return ValueText(cell.item, Value(cell.item));
    case Kind::Toggle: return Sj(On(cell.item) ? "入" : "切");
    case Kind::Leave: return board::CommandToken(Command::CancelSlot);
    case Kind::Run: return Sj(TextOf(cell.item).label);
    case Kind::Choice: {
      const char* name = cell.item == Item::InputMode    ? kModeNames[static_cast<std::size_t>(cell.choice)]
                         : cell.item == Item::ScanSwitch ? kSwitchNames[static_cast<std::size_t>(cell.choice)]
                         : cell.item == Item::BoardShare ? kShareNames[static_cast<std::size_t>(cell.choice)]
                         : cell.choice == 1              ? "1"
                                                         : "2";
      // The value in force is marked.
      return (CurrentChoice(cell.item) == cell.choice ? Sj("●") : std::string()) + Sj(name);
    }
  }
  return {};
}

StatusText SettingsBoard::Status(int col, int row) const {
  const auto cell = CellAt(col, row);
  if (!cell) return {"", status::kBlack};
  if (cell->kind == Kind::Leave) return {Sj("設定を終わる"), status::kBlue};
  if (cell->kind == Kind::Run && cell->item == Item::Guide) return {Sj("使い方のガイドを開く"), status::kBlue};
  if (cell->kind == Kind::Run && cell->item == Item::LearnDocuments) {
    if (const auto progress = learningProgress_ ? learningProgress_() : std::nullopt) {
      return {Sj("覚えるのをやめる（") + std::to_string(progress->first) + "/" + std::to_string(progress->second) +
                  Sj("）"),
              status::kBlue};
    }
    return {Sj("文書から言葉を覚える（100の場所と、いま書いている文）"), status::kBlue};
  }
  if (cell->kind == Kind::Run) return {Sj("はじめの画面を出す（入力方法と大きさを選び直す）"), status::kBlue};
  const std::string name = Sj(TextOf(cell->item).name);
  const auto now = [&]() -> std::string {
    switch (cell->item) {
      case Item::InputMode: return Sj(kModeStatus[static_cast<std::size_t>(CurrentChoice(cell->item))]);
      case Item::ScanSwitch: return Sj(kSwitchStatus[static_cast<std::size_t>(CurrentChoice(cell->item))]);
      case Item::Switches: return std::to_string(CurrentChoice(cell->item));
      case Item::BoardShare: return Sj(kShareStatus[static_cast<std::size_t>(CurrentChoice(cell->item))]);
      case Item::QuickKana:
      case Item::FitCells:
      case Item::ConfirmTwice:
      case Item::BellHold:
      case Item::SentenceEnd:
      case Item::WriteSentence:
      case Item::ScanSpeak:
      case Item::ScanShortcuts: return Sj(On(cell->item) ? "入" : "切");
      case Item::DwellTime:
        if (!DwellModeOn(state_.settings)) return Sj("注視入力のときに変えられます");
        return ValueText(cell->item, Value(cell->item));
      default: return ValueText(cell->item, Value(cell->item));
    }
  };
  switch (cell->kind) {
    case Kind::Choice: {
      if (CurrentChoice(cell->item) == cell->choice) return {name + Sj("：") + now(), status::kBlack};
      const std::size_t choice = static_cast<std::size_t>(cell->choice);
      const std::string value = cell->item == Item::InputMode    ? Sj(kModeStatus[choice])
                                : cell->item == Item::ScanSwitch ? Sj(kSwitchStatus[choice])
                                : cell->item == Item::BoardShare ? Sj(kShareStatus[choice])
                                                                 : std::to_string(cell->choice);
      return {name + Sj("を") + value + Sj("にする"), status::kBlue};
    }
    case Kind::Toggle: return {name + Sj(On(cell->item) ? "を切にする" : "を入にする"), status::kBlue};
    case Kind::Minus:
    case Kind::Plus: {
      const auto next = Stepped(cell->item, cell->kind == Kind::Plus ? 1 : -1);
      if (!next) return {name + Sj("：") + now(), status::kBlack};
      return {name + Sj("を") + ValueText(cell->item, *next) + Sj("にする"), status::kBlue};
    }
    default: return {name + Sj("：") + now(), status::kBlack};
  }
}

void SettingsBoard::SetValue(Item item, int value) {
  Settings& s = state_.settings;
  switch (item) {
    case Item::DwellTime: s.SetOption(option::kDwellSeconds, TenthsText(value)); break;
    case Item::DwellMemory: s.SetNamed(named::kDwellMemoryMs, std::to_string(value)); break;
    case Item::Tolerance: s.SetNamed(named::kDwellTolerancePx, std::to_string(value)); break;
    case Item::Repeat: s.SetNamed(named::kRepeatMs, std::to_string(value)); break;
    case Item::ScanInterval: s.SetNamed(named::kScanInterval, TenthsText(value)); break;
    case Item::PredictionCells:
      s.SetNamed(named::kPredictionCells, std::to_string(value));
      row_.Refresh();
      break;
    case Item::FontSize: {
      FontSpec font = s.CrtFont(crt::kBoardFontName);
      font.size = value;
      board_.SetBoardFont(font);
      break;
    }
    case Item::SpeechSpeed: s.SetOption(option::kSpeechSpeed, std::to_string(value)); break;
    case Item::SpeechVolume: s.SetOption(option::kSpeechVolume, std::to_string(value)); break;
    case Item::BellVolume: s.SetNamed(named::kBellVolume, std::to_string(value)); break;
    default: break;
  }
}

void SettingsBoard::SetChoice(Item item, int choice) {
  Settings& s = state_.settings;
  if (item == Item::InputMode) {
    // The menu's modes end scanning themselves; scanning keeps the slots.
    if (choice == 0) modes_.MnuEditClickClick();
    if (choice == 1) modes_.SetDwell(TenthsText(s.DwellTenths().value_or(10)));
    if (choice == 2) modes_.MnuEditYaClick();
    if (choice == 3) s.SetNamed(named::kScan, "1");
  } else if (item == Item::ScanSwitch) {
    s.SetNamed(named::kScanSwitch, kSwitchValues[static_cast<std::size_t>(choice)]);
  } else if (item == Item::Switches) {
    s.SetNamed(named::kScanSwitches, choice == 2 ? "2" : "1");
  } else if (item == Item::BoardShare) {
    s.SetNamed(named::kBoardShare, std::to_string(kSharePercents[static_cast<std::size_t>(choice)]));
  }
}

void SettingsBoard::Toggle(Item item) {
  const char* key = item == Item::QuickKana       ? named::kQuickKana
                    : item == Item::FitCells      ? named::kFitCells
                    : item == Item::BellHold      ? named::kBellHold
                    : item == Item::SentenceEnd   ? named::kSpeakSentenceEnd
                    : item == Item::WriteSentence ? named::kWriteSentence
                    : item == Item::ScanSpeak     ? named::kScanSpeak
                    : item == Item::ScanShortcuts ? named::kScanShortcuts
                                                  : named::kConfirmTwice;
  state_.settings.SetNamed(key, On(item) ? "0" : "1");
  if (item == Item::QuickKana) row_.Refresh();
}

void SettingsBoard::Choose(int col, int row) {
  const auto cell = CellAt(col, row);
  if (!cell) return;
  if (cell->kind == Kind::Leave) {
    Leave();
    return;
  }
  if (cell->kind == Kind::Run) {
    const auto& run = cell->item == Item::Guide            ? showGuide_
                      : cell->item == Item::LearnDocuments ? learnDocuments_
                                                           : showStartFace_;
    if (run) run();
    return;
  }
  const int modeBefore = CurrentChoice(Item::InputMode);
  switch (cell->kind) {
    case Kind::Choice:
      if (CurrentChoice(cell->item) == cell->choice) return;
      SetChoice(cell->item, cell->choice);
      break;
    case Kind::Toggle: Toggle(cell->item); break;
    case Kind::Minus:
    case Kind::Plus: {
      const auto next = Stepped(cell->item, cell->kind == Kind::Plus ? 1 : -1);
      if (!next) return;
      SetValue(cell->item, *next);
      break;
    }
    default: return;
  }
  Redraw();
  if (changed_) changed_();
  if (modeChanged_ && CurrentChoice(Item::InputMode) != modeBefore) modeChanged_();
}

void SettingsBoard::Set(Item item, int value) {
  const int modeBefore = CurrentChoice(Item::InputMode);
  switch (item) {
    case Item::InputMode:
    case Item::ScanSwitch:
    case Item::Switches:
    case Item::BoardShare: {
      if (item == Item::BoardShare) {
        const auto at = std::find(kSharePercents.begin(), kSharePercents.end(), value);
        value = at == kSharePercents.end() ? 0 : static_cast<int>(at - kSharePercents.begin());
      }
      if (CurrentChoice(item) != value) SetChoice(item, value);
      break;
    }
    case Item::QuickKana:
    case Item::FitCells:
    case Item::ConfirmTwice:
    case Item::BellHold:
    case Item::SentenceEnd:
    case Item::WriteSentence:
    case Item::ScanSpeak:
    case Item::ScanShortcuts:
      if (On(item) != (value != 0)) Toggle(item);
      break;
    case Item::StartFace:
    case Item::Guide:
    case Item::LearnDocuments: return;
    default: SetValue(item, value); break;
  }
  if (Shown()) Redraw();
  if (changed_) changed_();
  if (modeChanged_ && CurrentChoice(Item::InputMode) != modeBefore) modeChanged_();
}

void SettingsBoard::Show() {
  p_.sgd00.SetFixedColour(colours::Rgb(200, 230, 200));
  Redraw();
  p_.sgd00.SetCol(1);
  p_.sgd00.SetRow(1);
  p_.tabC00.SetVisible(false);
  board_.ShowFace(BoardFace::Settings);
}

void SettingsBoard::Redraw() {
  IBoardGrid& grid = p_.sgd00;
  const int size = grid.DefaultRowHeight();
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    if (row <= board::kContentRows) grid.SetRowHeight(row, size);
    for (int col = 1; col <= board::kContentCols; ++col) {
      if (row == 1) grid.SetColWidth(col, size);
      const auto cell = CellAt(col, row);
      grid.SetCellText(col, row, cell ? CellText(*cell) : std::string());
    }
  }
  board_.FitCells();
}

void SettingsBoard::Leave() { board_.FillBoard(); }

}  // namespace velkor
