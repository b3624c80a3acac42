// Kana-to-kanji conversion from the board: the reading before the caret (or
// the selected kana) is split into segments by a conversion engine, and the
// candidates of each segment are offered in the variant list, after cells to
// make the segment shorter or longer, to page through candidates, to give up,
// and to accept the engine's first candidates up to a later segment or for
// the whole rest at once.
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
// chosen cell's place.
class Conversion {
 public:
  // The platform's parts it uses.
  struct Ports {
    IEditArea& memMain;
    IConverter& converter;
  };

  // The list: 4 columns, 5 rows, read row after row; a cell is named by its
  // index there. The control cells come first, where a scan reaches them
  // first:
  //   row 0: 短~ 長~ 次~ 取消~ (次~ empty without a further page)
  //   row 1: three cells that accept the engine's first candidates of the
  //          current segment and the next one, two, three (their caption is
  //          what they write; empty where that would be the whole rest), then
  //          確~, which accepts them for the whole rest
  //   rows 2-4: the current segment's candidates, a page of 12
  static constexpr int kCols = 4;
  static constexpr int kRows = 5;
  static constexpr int kCells = kCols * kRows;
  static constexpr int kShorterCell = 0;
  static constexpr int kLongerCell = 1;
  static constexpr int kNextCell = 2;
  static constexpr int kCancelCell = 3;
  static constexpr int kFirstAcceptCell = kCols;  // two segments; then three, four
  static constexpr int kAcceptCells = 3;
  static constexpr int kAcceptRestCell = kCols + kAcceptCells;
  static constexpr int kFirstCandidateCell = 2 * kCols;
  static constexpr int kPerPage = kCells - kFirstCandidateCell;
  static constexpr int kMaxReading = 64;  // characters

  Conversion(ProgramState& state, Ports ports, TextEdits& edits) : state_(state), p_(ports), edits_(edits) {}

  bool Active() const { return active_; }
  // Takes the reading and starts the engine. An empty result means the list
  // can open; otherwise it is the message to show (code page 932).
  std::string Start();
  // The kCells cells of the list for the current segment and page; what they
  // do is decided by what was shown here last.
  StringList Cells();
  // The cell at `index` of the list shown last was chosen. True while the
  // conversion goes on.
  bool Choose(int index);
  // Ends the conversion; what was converted stays.
  void End();
  // Gives up a conversion that is not finished: the caret goes after the
  // reading left unconverted, so that what is written next follows it. True
  // when there was such a conversion.
  bool Abandon();
  // The status text of the cell at `index` of the list shown last, and
  // whether it is a control cell.
  std::string Describe(int index, bool* control) const;

  // Called with each segment's reading and the text the user committed for
  // it, with the caret right after that text.
  void OnConverted(std::function<void(const std::string& reading, const std::string& text)> handler) {
    onConverted_ = std::move(handler);
  }

  // The reading the conversion would take now: the selected kana, else the
  // run of hiragana and long-vowel marks before the caret. Sets `start`.
  std::string Reading(std::size_t* start) const;

 private:
  // The engine's first candidate of each segment from `from` up to (not
  // including) `to`, one after the other; a segment without any as its reading.
  std::string FirstCandidates(int from, int to) const;
  // How many segments accept cell `index` takes (2 to 4), or 0 when it is
  // no accept cell or has nothing to take now.
  int AcceptCount(int index) const;
  // A segment's reading (its length in bytes) and the text that replaces it.
  struct Part {
    std::size_t readingLength;
    std::string text;
  };
  // Replaces the readings of consecutive segments from the current one by
  // their texts as one change of the edit area, and tells each part.
  void Replace(const std::vector<Part>& parts);
  // What the chosen cell at `index` does; true while the conversion goes on.
  bool Act(int index);
  // Writes the first candidates of `count` segments from the current one as
  // one change, and goes on after them.
  bool AcceptSegments(int count);
  // Candidate `index` of the current segment.
  bool ChooseCandidate(std::size_t index);
  // Goes on at `segment`; the conversion ends after the last one.
  bool Advance(int segment);

  ProgramState& state_;
  Ports p_;
  TextEdits& edits_;
  bool active_ = false;
  int segment_ = 0;
  int page_ = 0;
  std::size_t segmentStart_ = 0;  // byte position of the current segment's reading
  std::vector<std::string> candidates_;
  StringList shown_;  // the cells shown last
  std::function<void(const std::string&, const std::string&)> onConverted_;
};

}  // namespace velkor
