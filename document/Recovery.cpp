#include "document/Recovery.h"

#include "document/Cp932.h"

namespace velkor {

namespace {

// "文書NN.txt": the slot's file name without its folder.
std::string SlotName(int n) { return SlotPath("", n); }

}  // namespace

std::string Recovery::SavedMessage(const std::string& where) const {
  return cp932::FromUtf8("未保存の文書を" + where + " に保存しました");
}

std::optional<int> Recovery::LowestEmptySlot() const {
  for (int n = 0; n < 100; ++n) {
    if (!p_.files.Exists(SlotPath(state_.dataDir, n))) return n;
  }
  return std::nullopt;
}

void Recovery::Recover() {
  const FileResult notice = p_.files.ReadAll(NoticePath());
  if (notice.ok) {
    notice_ = notice.bytes;
    p_.fs.RemoveFile(NoticePath());
  }
  if (!p_.files.Exists(CopyPath())) return;
  const FileResult copy = p_.files.ReadAll(CopyPath());
  if (!copy.ok) {
    notice_ = copy.error;
    return;
  }
  if (const auto slot = LowestEmptySlot()) {
    if (p_.files.WriteAtomic(SlotPath(state_.dataDir, *slot), copy.bytes).empty()) {
      p_.fs.RemoveFile(CopyPath());
      notice_ = SavedMessage(SlotName(*slot));
      return;
    }
  }
  // No slot could take it: the copy stays where it is, and the user is told.
  notice_ = SavedMessage(CopyPath());
}

void Recovery::TextChanged() {
  if (!p_.recoveryTimer.Running()) p_.recoveryTimer.Start();
}

void Recovery::RecoveryTimerTick() {
  p_.recoveryTimer.Stop();
  if (!p_.memMain.Modified()) return;
  const std::string text = p_.memMain.Text();
  if (text.empty()) {
    p_.fs.RemoveFile(CopyPath());
    return;
  }
  p_.files.WriteAtomic(CopyPath(), text);
}

void Recovery::Discard() {
  p_.recoveryTimer.Stop();
  if (p_.files.Exists(CopyPath())) p_.fs.RemoveFile(CopyPath());
}

void Recovery::Close(bool questionAsked) {
  p_.recoveryTimer.Stop();
  const std::string text = p_.memMain.Text();
  if (questionAsked || !p_.memMain.Modified() || text.empty()) {
    Discard();
    return;
  }
  std::string message;
  if (const auto slot = LowestEmptySlot();
      slot && p_.files.WriteAtomic(SlotPath(state_.dataDir, *slot), text).empty()) {
    Discard();
    message = SavedMessage(SlotName(*slot));
  } else if (p_.files.WriteAtomic(CopyPath(), text).empty()) {
    message = SavedMessage(CopyPath());
  } else {
    return;  // nothing more can be done without a writable data folder
  }
  p_.files.WriteAtomic(NoticePath(), message);
}

}  // namespace velkor
