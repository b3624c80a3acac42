// Kana-to-kanji conversion from the board: the reading before the caret (or
// the selected kana) is split into segments by a conversion engine, and the
// candidates of each segment are offered in the variant list, with cells to
// make the segment shorter or longer, to page through candidates and to
// accept the rest at once.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velkor {

// A conversion engine, as the program needs it. Texts are code page 932.
// Segments are numbered from 0 in the order of the reading.
class IConverter {
 public:
  virtual ~IConverter() = default;
  // False when no engine can be had on this machine.
  virtual bool Available() = 0;
  // Starts converting `reading` (hiragana, katakana and the long-vowel mark):
  // the engine splits it into segments. False when it cannot.
  virtual bool Begin(const std::string& reading) = 0;
  virtual int SegmentCount() = 0;
  // The reading that segment `segment` covers.
  virtual std::string SegmentReading(int segment) = 0;
  // The candidates of a segment, best first.
  virtual std::vector<std::string> Candidates(int segment) = 0;
  // Makes a segment one character shorter (-1) or longer (+1); the segments
  // after it are split anew.
  virtual void Resize(int segment, int delta) = 0;
  // The user chose candidate `candidate` of segment `segment` (the engine
  // learns from it). Segments are committed in order, from the first.
  virtual void Commit(int segment, int candidate) = 0;
  // Ends the conversion (what was committed stays learnt).
  virtual void End() = 0;
};

}  // namespace velkor

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/TextEdits.h"

namespace velkor {

// One conversion from the board, from "変~" until every segment is done or
// the conversion is given up. It decides what the variant list shows and what
// a chosen cell does; the selection engine shows the list and hands it the
// chosen cells.
class Conversion {
 public:
  // The platform's parts it uses.
  struct Ports {
    IEditArea& memMain;
    IConverter& converter;
  };

  // The list: 4 columns, 4 rows; 12 candidates, then the control cells.
  static constexpr int kCols = 4;
  static constexpr int kRows = 4;
  static constexpr int kPerPage = 12;
  static constexpr int kMaxReading = 64;  // characters

  Conversion(ProgramState& state, Ports ports, TextEdits& edits) : state_(state), p_(ports), edits_(edits) {}

  bool Active() const { return active_; }
  // Takes the reading and starts the engine. An empty result means the list
  // can open; otherwise it is the message to show (code page 932).
  std::string Start();
  // The 16 cells of the list for the current segment and page.
  StringList Cells();
  // A chosen cell of the list. True while the conversion goes on.
  bool Choose(const std::string& cellText);
  // Ends the conversion; what was converted stays.
  void End();
  // Gives up a conversion that is not finished: the caret goes after the
  // reading left unconverted, so that what is written next follows it. True
  // when there was such a conversion.
  bool Abandon();
  // The status text of a list cell, and whether it is a control cell.
  std::string Describe(const std::string& cellText, bool* control) const;

  // Called with each reading and the text the user committed for it.
  void OnConverted(std::function<void(const std::string& reading, const std::string& text)> handler) {
    onConverted_ = std::move(handler);
  }

  // The reading the conversion would take now: the selected kana, else the
  // run of hiragana and long-vowel marks before the caret. Sets `start`.
  std::string Reading(std::size_t* start) const;

 private:
  void Replace(std::size_t length, const std::string& with);

  ProgramState& state_;
  Ports p_;
  TextEdits& edits_;
  bool active_ = false;
  int segment_ = 0;
  int page_ = 0;
  std::size_t segmentStart_ = 0;  // byte position of the current segment's reading
  std::vector<std::string> candidates_;
  std::function<void(const std::string&, const std::string&)> onConverted_;
};

}  // namespace velkor
