// The start face: on the very first start (no settings file yet) the board
// area shows a few large choices instead of the board, so that a user who can
// only rest the pointer, press arrow keys or press one switch can set the
// program up without help. First how cells are chosen (クリックで使う,
// 注視で使う, 矢印キーで使う, スイッチで使う), then the size (大きいセル,
// いまのまま); then the board. Every choice is stored at once.
//
// Whatever the input mode, each choice is confirmed by a click, by resting
// the pointer on it for kDwellTenths, by the arrow keys and any other key,
// or by a press of Space on a scan highlight that starts stepping after
// kScanWaitMs without input. The input sources see it as the board grid's
// face `Place::Start`.
#pragma once

#include <functional>
#include <string>

#include "board/BoardDisplay.h"
#include "core/Commands.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/SettingsBoard.h"

namespace velkor {

class StartFace {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
    IMainWindow& window;
    ITimer& scanTimer;
    IStatusLine& pnlMsg;
  };
  enum class Step { Mode, Size };

  // How long resting on a choice takes, in tenths of a second, whatever the
  // dwell setting is (there may be none yet).
  static constexpr int kDwellTenths = 20;
  // The scan highlight starts after this long without input, then steps at
  // the scan interval.
  static constexpr int kScanWaitMs = 5000;
  static constexpr int kScanStepMs = 1500;
  // What 大きいセル gives the board area: two thirds of the window's height.
  static constexpr int kLargeShare = 67;

  StartFace(ProgramState& state, Ports ports, BoardDisplay& board, SettingsBoard& settings);

  // Shows the first question (the input mode).
  void Show();
  bool Shown() const { return board_.Face() == BoardFace::Start; }
  Step Current() const { return step_; }
  // How many choices the question on show has (one row of them).
  int Choices() const;
  // A choice's caption; empty off the choices.
  std::string Caption(int col, int row) const;
  // What the status line promises over a choice.
  StatusText Status(int col, int row) const;
  // Confirms a choice: it is made and stored; the next question or the board
  // follows.
  void Choose(int col, int row);
  // The choices share the grid's whole room (on every resize of the grid).
  void Layout();
  // Any input: the scan highlight waits again before it steps.
  void Input();
  // The scan timer's tick: the highlight steps to the next choice.
  void Tick();

  // Told when the board comes back after the last question.
  void OnDone(std::function<void()> done) { done_ = std::move(done); }

 private:
  void ShowStep(Step step);
  void ChooseMode(int choice);
  void ChooseSize(int choice);

  ProgramState& state_;
  Ports p_;
  BoardDisplay& board_;
  SettingsBoard& settings_;
  Step step_ = Step::Mode;
  int highlight_ = 0;  // the choice the scan highlight is on; 0 before it starts
  std::function<void()> done_;
};

}  // namespace velkor
