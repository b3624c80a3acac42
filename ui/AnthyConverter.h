// Kana-to-kanji conversion by anthy, loaded when the program runs: a machine
// without libanthy builds and runs the program, only without conversion.
//
// anthy keeps its state for the whole process and learns into one home
// folder: converters alive at the same time share the engine and must name
// the same folder (one over another folder is not Available()). Use from the
// UI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "input/Conversion.h"

namespace velkor::ui {

class AnthyConverter : public IConverter {
 public:
  static constexpr const char* kLibrary = "libanthy.so.1";

  // `dataFolder` (a native UTF-8 path, created when missing) is where anthy
  // keeps what it learns, in `dataFolder`/.anthy/. `library` is the file
  // dlopen loads. Nothing is loaded before the first Available() or Begin().
  explicit AnthyConverter(std::string dataFolder, std::string library = kLibrary);
  ~AnthyConverter() override;
  AnthyConverter(const AnthyConverter&) = delete;
  AnthyConverter& operator=(const AnthyConverter&) = delete;

  bool Available() override;
  bool Begin(const std::string& reading) override;
  int SegmentCount() override;
  // The part of the reading as given (anthy reads katakana as hiragana);
  // anthy's own reading where its segments do not add up to the reading's
  // characters (it reads "ヴ" as "う゛").
  std::string SegmentReading(int segment) override;
  // The engine's candidates in its order, without those code page 932 cannot
  // hold; the segment's reading, as given and in hiragana, is always among
  // them (last when the engine does not offer it).
  std::vector<std::string> Candidates(int segment) override;
  void Resize(int segment, int delta) override;
  void Commit(int segment, int candidate) override;
  // anthy learns only when every segment of a conversion is committed: when
  // some but not all were, the rest are committed with their top candidate
  // so that the user's choices are learnt.
  void End() override;

 private:
  struct Api;
  struct Segment {
    std::string reading;  // code page 932
    bool loaded = false;
    bool committed = false;
    std::vector<std::string> candidates;  // code page 932
    std::vector<int> engineIndex;         // anthy's number of each candidate
  };

  bool Init();
  void Shutdown();
  void LoadSegments();  // the segments after Begin or Resize
  Segment* Loaded(int segment);
  std::string EngineText(int segment, int engineCandidate);  // UTF-8

  std::string dataFolder_;
  std::string library_;
  std::string reading_;  // code page 932
  enum class State { kNotTried, kReady, kFailed } state_ = State::kNotTried;
  std::unique_ptr<Api> api_;
  void* handle_ = nullptr;   // dlopen handle
  void* context_ = nullptr;  // anthy_context_t
  std::vector<Segment> segments_;
};

}  // namespace velkor::ui
