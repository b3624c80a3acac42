// Unsaved work is never lost: while the program runs, a recovery copy of an
// unsaved text is kept in the data folder; a close without a question (dwell
// and arrow-key mode), and opening or beginning another document in those
// modes, first write the text to the lowest-numbered empty document slot; a
// recovery copy left behind by a crash goes into such a slot at the next
// start. The next start says where the text went.
//
// Every running program has a recovery copy of its own, ".unsaved-N.txt",
// and holds the lock file ".unsaved-N.lock" of the same number for as long as
// it runs: a copy whose lock nobody holds was left by a program that ended
// without a close, and only such copies are recovered. A copy is removed only
// by the program that wrote it, or once it has been placed in a slot.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/TextFile.h"

namespace velkor {

class Recovery {
 public:
  // The platform's parts it uses.
  struct Ports {
    IEditArea& memMain;
    IFileSystem& fs;
    ITextFiles& files;
    ITimer& recoveryTimer;
  };

  static constexpr int kDelayMs = 10000;
  // The copy of earlier versions of the program, recovered like any other.
  static constexpr char kLegacyCopyName[] = ".unsaved.txt";
  static constexpr char kLegacyNoticeName[] = ".unsaved-notice";

  Recovery(ProgramState& state, Ports ports) : state_(state), p_(ports) {}
  ~Recovery();
  Recovery(const Recovery&) = delete;
  Recovery& operator=(const Recovery&) = delete;

  // At start, once the data folder is known: takes this program's copy
  // number, removes temporary files of saves that ended programs left behind,
  // takes up the notices left by earlier closes and moves every copy left by a
  // program that is no longer running into a slot of its own.
  void Recover();
  // The message for the user at start, if any (code page 932).
  const std::string& Notice() const { return notice_; }

  // A change of the text: a recovery copy is written within ten seconds.
  void TextChanged();
  // The ten seconds are over: the unsaved text goes into the recovery copy.
  void RecoveryTimerTick();
  // The document was saved, or its unsaved text deliberately dropped: this
  // program's own copy goes.
  void Discard();
  // Where unsaved text went, or why it could not go anywhere.
  struct Kept {
    bool ok = false;
    std::string message;  // code page 932; "" when there was nothing to keep
  };
  // Before another document replaces unsaved text that nobody was asked
  // about: the text goes into the lowest-numbered empty slot other than
  // `except` (the slot about to be opened), else into a slot of the per-user
  // data folder. Not ok when no slot could take it: the caller must then
  // leave the text where it is.
  Kept KeepBeforeReplacing(const std::string& except);
  // The window closes: unsaved text that nobody was asked about goes into the
  // lowest-numbered empty slot, else stays in the recovery copy, else goes
  // into a slot of the per-user data folder. Not ok when none of them could
  // take it: the window must stay open.
  Kept Close(bool questionAsked);

  // Removes the temporary files that saves of ended programs left in
  // `folder` (a folder the program writes: the data folders, the learning
  // folder, a document's folder).
  void RemoveStaleTemporaryFiles(const std::string& folder);
  // Leaves `text` (code page 932) for the next start to say, after what is
  // left for it already.
  void LeaveNotice(const std::string& text);

  // This program's recovery copy and lock ("" before Recover()).
  std::string CopyPath() const;
  std::string LockPath() const;
  // The lowest-numbered slot of `folder` without a file, other than `except`.
  std::optional<int> LowestEmptySlot(const std::string& folder, const std::string& except = {}) const;

 private:
  Kept PlaceInSlot(const std::string& folder, const std::string& text, const std::string& except) const;
  Kept PlaceInPerUserFolder(const std::string& text, const std::string& except) const;
  Kept PlaceAnywhere(const std::string& text, const std::string& except) const;
  void TakeCopyNumber();
  void TakeUpNotices(const std::string& folder);
  void RecoverOrphans();
  void RecoverCopy(const std::string& copyPath);
  std::string SavedMessage(const std::string& where) const;
  std::string NoticePath() const;

  ProgramState& state_;
  Ports p_;
  std::string notice_;
  int number_ = -1;  // this program's copy number
};

}  // namespace velkor
