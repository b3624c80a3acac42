// The settings board: the board's third face, opened by 設~ as the slot board
// is by 開~. Every setting a user changes for themselves is one row of cells
// here, changed by selections alone: a choice cell per value (input mode,
// scan switch), −/+ cells around a value (times, sizes, counts) and a cell that
// turns a setting on and off. Each change takes effect at once and is stored;
// ☆~ leaves the board.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "board/BoardDisplay.h"
#include "core/Commands.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/InputModes.h"
#include "input/PredictionRow.h"

namespace velkor {

class SettingsBoard {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
  };

  // What a setting is.
  enum class Item {
    InputMode,
    DwellTime,
    DwellMemory,
    Tolerance,
    Repeat,
    ScanInterval,
    ScanSwitch,
    Switches,
    PredictionCells,
    QuickKana,
    FitCells,
    ConfirmTwice,
    FontSize,
    SpeechSpeed,
    SpeechVolume,
    BoardShare,     // the board area's share of the window's height (with 拡大)
    StartFace,      // shows the start face again
    BellVolume,     // the call bell's volume, apart from the speech's
    BellHold,       // a scan switch held down for two seconds rings the bell
    SentenceEnd,    // 。！？ written reads the sentence aloud
    WriteSentence,  // a sentence chosen on 文~ is written as well
    ScanSpeak,      // scanning reads the highlighted row and cell aloud
    Guide,          // opens the guide
    ScanShortcuts,  // scanning offers the shortcut line before the board's rows
    LearnDocuments,  // learns the words and sentences of the documents; stops it while it runs
  };
  // What a cell of it does: names the setting (and shows its value), chooses
  // one value, steps the value down or up, turns it on or off, or leaves.
  enum class Kind { Label, Choice, Minus, Value, Plus, Toggle, Leave, Run };
  struct Cell {
    int col = 0;
    int row = 0;
    Item item = Item::InputMode;
    Kind kind = Kind::Label;
    int choice = 0;  // the value a choice cell sets
  };

  SettingsBoard(ProgramState& state, Ports ports, BoardDisplay& board, InputModes& modes, PredictionRow& row);

  // Fills the grid with the settings board (the tab strip is hidden as for
  // the slot board).
  void Show();
  bool Shown() const { return board_.Face() == BoardFace::Settings; }
  // The board comes back.
  void Leave();
  // The cell at (col, row), if the board has one there.
  std::optional<Cell> CellAt(int col, int row) const;
  // What the status line promises for the cell: exactly what confirming it
  // will do.
  StatusText Status(int col, int row) const;
  // Confirms the cell: the change is made, stored and shown.
  void Choose(int col, int row);
  // Told after every change, to store the settings.
  void OnChanged(std::function<void()> handler) { changed_ = std::move(handler); }
  // Told after the input mode changed.
  void OnModeChanged(std::function<void()> handler) { modeChanged_ = std::move(handler); }
  // Told when the start face is asked for (はじめ).
  void OnShowStartFace(std::function<void()> handler) { showStartFace_ = std::move(handler); }
  // Told when the guide is asked for (使い方).
  void OnShowGuide(std::function<void()> handler) { showGuide_ = std::move(handler); }
  // Told when learning from the documents is asked for (学ぶ), which begins
  // it or, while it runs, stops it; `progress` gives the documents done and
  // all of them while it runs.
  void OnLearnFromDocuments(std::function<void()> handler,
                            std::function<std::optional<std::pair<int, int>>()> progress) {
    learnDocuments_ = std::move(handler);
    learningProgress_ = std::move(progress);
  }
  // Sets a setting from elsewhere (the start face) as a cell of this board
  // would: a choice item takes its choice's number (the board share its
  // percentage), a toggle 0 or 1, the others their value in their own unit;
  // stored and reported alike.
  void Set(Item item, int value);

  // The value of a numeric setting in its own unit (tenths of a second,
  // milliseconds, pixels, points, percent), and its text on the board.
  int Value(Item item) const;
  std::string ValueText(Item item, int value) const;
  // The current choice of a choice setting (input mode 0 to 3: click, dwell,
  // arrow keys, scanning; scan switch 0 to 3; switches 1 or 2).
  int CurrentChoice(Item item) const;

 private:
  struct Range {
    int min, max, step;
  };
  static Range RangeOf(Item item);
  // The value a −/+ cell steps to; nothing at the end of the range (or for
  // the dwell time outside dwell mode).
  std::optional<int> Stepped(Item item, int direction) const;
  void SetValue(Item item, int value);
  void SetChoice(Item item, int choice);
  void Toggle(Item item);
  bool On(Item item) const;
  std::string CellText(const Cell& cell) const;
  void Redraw();

  ProgramState& state_;
  Ports p_;
  BoardDisplay& board_;
  InputModes& modes_;
  PredictionRow& row_;
  std::function<void()> changed_;
  std::function<void()> modeChanged_;
  std::function<void()> showStartFace_;
  std::function<void()> showGuide_;
  std::function<void()> learnDocuments_;
  std::function<std::optional<std::pair<int, int>>()> learningProgress_;
};

}  // namespace velkor
