// The prediction row above the board: filled anew from the text before the
// caret whenever the text or the caret changes (a candidate already shown
// keeps its cell while it is still offered), and a chosen cell written
// through the prediction.
#pragma once

#include <functional>
#include <string>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/TextEdits.h"
#include "input/Prediction.h"

namespace velkor {

class PredictionRow {
 public:
  // The platform's parts it uses.
  struct Ports {
    IEditArea& memMain;
    IPredictionRow& row;
  };

  PredictionRow(ProgramState& state, Ports ports, Prediction& prediction, TextEdits& edits)
      : state_(state), p_(ports), prediction_(prediction), edits_(edits) {}

  // Fills the row for the text before the caret, in as many cells as the
  // settings give it.
  void Refresh();
  // Told when the row shows other candidates than before.
  void OnRefilled(std::function<void()> handler) { refilled_ = std::move(handler); }
  std::string CellText(int cell) const { return p_.row.CellText(cell); }
  // What the row offers now, cell by cell.
  const Prediction::Offer& Offer() const { return offer_; }
  // Writes the candidate of cell `cell`; false (nothing written) for an
  // empty cell.
  bool Choose(int cell);
  // The board wrote at the caret: what ended there is learned.
  void Wrote();
  // The learned text that makes the candidate of cell `cell` (the
  // candidate, or the whole sentence or kana phrase it ends); "" when only
  // the engines offer it, which cannot be forgotten.
  std::string LearnedText(int cell) const;
  // Forgets every entry learned with the learned text of cell `cell`
  // instead of writing it, and fills the row again; false (nothing
  // forgotten) when it was not learned.
  bool Forget(int cell);
  // Told with the text forgotten, to write the learning at once.
  void OnForgot(std::function<void(const std::string&)> handler) { forgot_ = std::move(handler); }

 private:
  // The text before the caret as far as a reading or a sentence is looked
  // for back: from the line's start, else from a character boundary at most
  // kLookBack bytes back (the whole text only where none is found). A long
  // document is never copied whole at each change.
  struct Before {
    std::string text;
    std::size_t origin = 0;  // where `text` starts in the document
  };
  static constexpr std::size_t kLookBack = 2048;
  Before TextBefore() const;

  ProgramState& state_;
  Ports p_;
  Prediction& prediction_;
  TextEdits& edits_;
  Prediction::Offer offer_;
  bool filling_ = false;
  std::function<void()> refilled_;
  std::function<void(const std::string&)> forgot_;
};

}  // namespace velkor
