// My sentences, the board face 文~ shows: the sentences the user writes most,
// from what was learned, most used first, one per wide cell, as many as the
// board holds at its cell size; until enough is learned, a short list of
// everyday sentences fills the rest, pushed out by the user's own. Choosing
// one reads it aloud and, with Speech/WriteSentence, writes it at the caret
// too. ☆~ along the last row leaves, as on the settings board.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "board/BoardDisplay.h"
#include "core/Commands.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/Learning.h"

namespace velkor {

class SentenceBoard {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    ITabStrip& tabC00;
  };
  // The rows of sentences above the row of ☆~.
  static constexpr int kRows = 6;

  SentenceBoard(ProgramState& state, Ports ports, BoardDisplay& board, const Learning& learning);

  void Show();
  bool Shown() const { return board_.Face() == BoardFace::Sentences; }
  // The grid was resized: the cells share its width again.
  void Layout();
  // The sentences in their order (code page 932), for the cells row by row.
  std::vector<std::string> Sentences(std::size_t max) const;
  // The sentence in cell (col, row); "" for none (the leave row included).
  std::string SentenceAt(int col, int row) const;
  bool Leaves(int col, int row) const;
  StatusText Status(int col, int row) const;
  // Confirms the cell: ☆~ leaves; a sentence is read aloud, and returned
  // when it is to be written too ("" otherwise).
  std::string Choose(int col, int row);
  // How a sentence is read aloud (set by the main form).
  void OnSpeak(std::function<void(const std::string&)> speak) { speak_ = std::move(speak); }
  // The everyday sentences that fill what learning leaves empty (UTF-8).
  static const std::vector<const char*>& Defaults();

 private:
  int Columns() const;

  ProgramState& state_;
  Ports p_;
  BoardDisplay& board_;
  const Learning& learning_;
  std::vector<std::string> shown_;  // the sentences of the cells, row by row
  int columns_ = 1;
  std::function<void(const std::string&)> speak_;
};

}  // namespace velkor
