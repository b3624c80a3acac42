// Unsaved work is never lost: while the program runs, a recovery copy of an
// unsaved text is kept in the data folder; a close without a question (dwell
// and arrow-key mode) writes the text to the lowest-numbered empty document
// slot; a recovery copy left behind by a crash goes into such a slot at the
// next start. The next start says where the text went.
#pragma once

#include <optional>
#include <string>

#include "app/Platform.h"
#include "app/ProgramState.h"
#include "document/TextFile.h"

namespace velkor {

class Recovery {
 public:
  static constexpr int kDelayMs = 10000;
  static constexpr char kCopyName[] = ".unsaved.txt";
  static constexpr char kNoticeName[] = ".unsaved-notice";

  Recovery(ProgramState& state, Platform& platform) : state_(state), p_(platform) {}

  // At start, once the data folder is known: a notice left by the last close
  // is taken up, and a recovery copy left by a crash is moved into a slot.
  void Recover();
  // The message for the user at start, if any (code page 932).
  const std::string& Notice() const { return notice_; }

  // A change of the text: a recovery copy is written within ten seconds.
  void TextChanged();
  // The ten seconds are over: the unsaved text goes into the recovery copy.
  void RecoveryTimerTick();
  // The document was saved, or its unsaved text deliberately dropped.
  void Discard();
  // The window closes: unsaved text that nobody was asked about goes into the
  // lowest-numbered empty slot (or stays in the recovery copy when none is).
  void Close(bool questionAsked);

  std::string CopyPath() const { return state_.dataDir + kCopyName; }
  std::string NoticePath() const { return state_.dataDir + kNoticeName; }
  // The lowest-numbered slot without a file.
  std::optional<int> LowestEmptySlot() const;

 private:
  std::string SavedMessage(const std::string& where) const;

  ProgramState& state_;
  Platform& p_;
  std::string notice_;
};

}  // namespace velkor
