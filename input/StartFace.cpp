#include "input/StartFace.h"

#include <algorithm>
#include <array>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "core/InputMode.h"

namespace velkor {

namespace {

using cp932::Sj;
using Item = SettingsBoard::Item;

struct Choice {
  const char* caption;
  const char* status;
};
constexpr std::array<Choice, 4> kModes = {{
    {"クリックで使う", "クリックで選ぶ（マウスのボタンを押す）"},
    {"注視で使う", "ポインターを止めて選ぶ（1.5秒）"},
    {"矢印キーで使う", "矢印キーで動かし、ほかのキーで選ぶ"},
    {"スイッチで使う", "ひとつのスイッチ（スペースキー）で選ぶ（1.5秒ごとに進む）"},
}};
constexpr std::array<Choice, 2> kSizes = {{
    {"大きいセル", "セルを大きくし、文字盤を画面の高さの３分の２にする"},
    {"いまのまま", "セルの大きさを変えずに始める"},
}};

// The input modes' choice numbers on the settings board (0 click, 2 arrow
// keys need nothing more).
constexpr int kDwell = 1, kScan = 3;
constexpr int kStartTenths = 15;  // dwell and scanning start at 1.5 s

}  // namespace

StartFace::StartFace(ProgramState& state, Ports ports, BoardDisplay& board, SettingsBoard& settings)
    : state_(state), p_(ports), board_(board), settings_(settings) {}

void StartFace::Show() { ShowStep(Step::Mode); }

int StartFace::Choices() const {
  return step_ == Step::Mode ? static_cast<int>(kModes.size()) : static_cast<int>(kSizes.size());
}

std::string StartFace::Caption(int col, int row) const {
  if (row != 1 || col < 1 || col > Choices()) return {};
  return Sj(step_ == Step::Mode ? kModes[static_cast<std::size_t>(col - 1)].caption
                                : kSizes[static_cast<std::size_t>(col - 1)].caption);
}

StatusText StartFace::Status(int col, int row) const {
  if (Caption(col, row).empty()) return {"", status::kBlack};
  const Choice& choice =
      step_ == Step::Mode ? kModes[static_cast<std::size_t>(col - 1)] : kSizes[static_cast<std::size_t>(col - 1)];
  return {Sj(choice.status), status::kBlue};
}

void StartFace::ShowStep(Step step) {
  step_ = step;
  highlight_ = 0;
  IBoardGrid& grid = p_.sgd00;
  p_.tabC00.SetVisible(false);
  for (int row = 1; row <= board::kLastCommandRow; ++row) {
    for (int col = 1; col <= board::kContentCols; ++col) grid.SetCellText(col, row, Caption(col, row));
  }
  grid.SetScanMark({});
  grid.SetCol(1);
  grid.SetRow(1);
  Layout();
  board_.ShowFace(BoardFace::Start);
  Input();
}

void StartFace::Layout() {
  IBoardGrid& grid = p_.sgd00;
  const int width = std::max(grid.DefaultRowHeight(), (grid.AreaWidth() - board::kFixedSize) / Choices());
  const int height = std::max(grid.DefaultRowHeight(), grid.AreaHeight() - board::kFixedSize);
  for (int col = 1; col <= board::kContentCols; ++col) grid.SetColWidth(col, col <= Choices() ? width : 0);
  for (int row = 1; row <= board::kLastCommandRow; ++row) grid.SetRowHeight(row, row == 1 ? height : 0);
}

void StartFace::Input() {
  if (!Shown()) return;
  if (highlight_ != 0) p_.sgd00.SetScanMark({});
  highlight_ = 0;
  p_.scanTimer.Stop();
  p_.scanTimer.SetIntervalMs(kScanWaitMs);
  p_.scanTimer.Start();
}

void StartFace::Tick() {
  if (!Shown()) return;
  highlight_ = highlight_ % Choices() + 1;
  // The highlight is the arrow keys' cursor too: a key chooses what it shows.
  p_.sgd00.SetCol(highlight_);
  p_.sgd00.SetRow(1);
  p_.sgd00.SetScanMark({1, highlight_});
  const StatusText status = Status(highlight_, 1);
  p_.pnlMsg.SetText(status.text, status.colour);
  if (p_.scanTimer.IntervalMs() != kScanStepMs) {
    p_.scanTimer.Stop();
    p_.scanTimer.SetIntervalMs(kScanStepMs);
    p_.scanTimer.Start();
  }
}

void StartFace::Choose(int col, int row) {
  if (!Shown() || Caption(col, row).empty()) return;
  if (step_ == Step::Mode) {
    ChooseMode(col - 1);
    ShowStep(Step::Size);
    return;
  }
  ChooseSize(col - 1);
  p_.scanTimer.Stop();
  p_.sgd00.SetScanMark({});
  board_.FillBoard();
  if (done_) done_();
}

void StartFace::ChooseMode(int choice) {
  settings_.Set(Item::InputMode, choice);
  if (choice == kDwell) settings_.Set(Item::DwellTime, kStartTenths);
  if (choice == kScan) {
    settings_.Set(Item::ScanInterval, kStartTenths);
    settings_.Set(Item::ScanSwitch, 0);  // Space
    settings_.Set(Item::Switches, 1);
  }
}

void StartFace::ChooseSize(int choice) {
  if (choice != 0) return;  // いまのまま
  settings_.Set(Item::FitCells, 1);
  settings_.Set(Item::BoardShare, kLargeShare);
  p_.window.Maximise();
}

}  // namespace velkor
