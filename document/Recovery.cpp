#include "document/Recovery.h"

#include <algorithm>
#include <cstdlib>

#include "core/Cp932.h"

namespace velkor {

namespace {

constexpr char kCopyPrefix[] = ".unsaved-";
constexpr char kCopySuffix[] = ".txt";
constexpr char kLockSuffix[] = ".lock";
constexpr char kNoticePrefix[] = ".unsaved-notice";
// Temporary files of a save: ".velkorlt-PID-N.tmp" (see TextFile).
constexpr char kTempPrefix[] = ".velkorlt-";
constexpr char kTempSuffix[] = ".tmp";
constexpr int kMaxCopyNumbers = 1000;

bool StartsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool EndsWith(const std::string& s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The digits of `s` from `from` up to the first non-digit; -1 when there are none.
long long NumberAt(const std::string& s, std::size_t from, std::size_t* end) {
  std::size_t i = from;
  long long n = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - from < 9) n = n * 10 + (s[i++] - '0');
  *end = i;
  return i == from ? -1 : n;
}

// A recovery copy's name: ".unsaved-N.txt" or the single copy of earlier versions.
bool IsCopyName(const std::string& name) {
  if (name == Recovery::kLegacyCopyName) return true;
  if (!StartsWith(name, kCopyPrefix)) return false;
  std::size_t end = 0;
  return NumberAt(name, sizeof kCopyPrefix - 1, &end) >= 0 && name.substr(end) == kCopySuffix;
}

// The lock that belongs to a copy: the same name with ".lock" for ".txt".
std::string LockOfCopy(const std::string& copyPath) {
  return copyPath.substr(0, copyPath.size() - (sizeof kCopySuffix - 1)) + kLockSuffix;
}

// The process that wrote a save's temporary file, or -1 for another name.
long long TempFileOwner(const std::string& name) {
  if (!StartsWith(name, kTempPrefix) || !EndsWith(name, kTempSuffix)) return -1;
  std::size_t end = 0;
  const long long pid = NumberAt(name, sizeof kTempPrefix - 1, &end);
  return end < name.size() && name[end] == '-' ? pid : -1;
}

std::string Join(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + cp932::FromUtf8("　") + b;
}

// "文書NN.txt": the slot's file name without its folder.
std::string SlotName(int n) { return SlotPath("", n); }

}  // namespace

Recovery::~Recovery() {
  // As the end of the process would: the lock no longer says "running". The
  // file goes first, while still held, so that no other program can take
  // the number of a file about to vanish.
  if (number_ < 0) return;
  p_.fs.RemoveFile(LockPath());
  p_.fs.ReleaseLock(LockPath());
}

std::string Recovery::CopyPath() const {
  return number_ < 0 ? std::string() : state_.dataDir + kCopyPrefix + std::to_string(number_) + kCopySuffix;
}

std::string Recovery::LockPath() const {
  return number_ < 0 ? std::string() : state_.dataDir + kCopyPrefix + std::to_string(number_) + kLockSuffix;
}

std::string Recovery::NoticePath() const { return state_.dataDir + kNoticePrefix + "-" + std::to_string(number_); }

std::string Recovery::SavedMessage(const std::string& where) const {
  return cp932::FromUtf8("未保存の文書を" + where + " に保存しました");
}

std::optional<int> Recovery::LowestEmptySlot(const std::string& folder, const std::string& except) const {
  for (int n = 0; n < 100; ++n) {
    const std::string path = SlotPath(folder, n);
    if (path != except && p_.files.Missing(path)) return n;
  }
  return std::nullopt;
}

Recovery::Kept Recovery::PlaceInSlot(const std::string& folder, const std::string& text,
                                     const std::string& except) const {
  const auto slot = LowestEmptySlot(folder, except);
  if (!slot) return {false, cp932::FromUtf8("空いている文書がありません「" + folder + "」")};
  // A slot is the user's own plain file: never written through a link.
  const std::string error = p_.files.WriteOwn(SlotPath(folder, *slot), text);
  if (!error.empty()) return {false, error};
  // A slot of the usual folder is named as the slot board shows it; any
  // other place in full.
  return {true, SavedMessage(folder == state_.dataDir ? SlotName(*slot) : SlotPath(folder, *slot))};
}

void Recovery::TakeCopyNumber() {
  // A number whose copy is still there (no slot could take it) is not taken:
  // this program would write its own copy over it.
  for (int n = 0; n < kMaxCopyNumbers && number_ < 0; ++n) {
    number_ = n;
    if (!p_.files.Missing(CopyPath()) || !p_.fs.HoldLock(LockPath())) number_ = -1;
  }
}

void Recovery::Recover() {
  RemoveStaleTemporaryFiles(state_.dataDir);
  TakeUpNotices(state_.dataDir);
  if (state_.perUserDataDir != state_.dataDir && p_.fs.DirectoryExists(state_.perUserDataDir)) {
    RemoveStaleTemporaryFiles(state_.perUserDataDir);
    TakeUpNotices(state_.perUserDataDir);
  }
  RecoverOrphans();
  TakeCopyNumber();
}

void Recovery::RemoveStaleTemporaryFiles(const std::string& folder) {
  for (const std::string& name : p_.fs.ListFolder(folder)) {
    const long long pid = TempFileOwner(name);
    if (pid > 0 && !p_.fs.ProcessRunning(static_cast<int>(pid))) p_.fs.RemoveFile(folder + name);
  }
}

void Recovery::TakeUpNotices(const std::string& folder) {
  for (const std::string& name : p_.fs.ListFolder(folder)) {
    if (!StartsWith(name, kNoticePrefix)) continue;
    // A notice of a program still closing is left for the next start.
    std::size_t end = 0;
    const long long n = NumberAt(name, sizeof kNoticePrefix, &end);
    if (n >= 0 && !p_.fs.LockFree(folder + kCopyPrefix + std::to_string(n) + kLockSuffix)) continue;
    const FileResult notice = p_.files.ReadPrefix(folder + name, 4096);
    if (notice.ok) notice_ = Join(notice_, notice.bytes);
    p_.fs.RemoveFile(folder + name);
  }
}

void Recovery::RecoverOrphans() {
  std::vector<std::string> names = p_.fs.ListFolder(state_.dataDir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (IsCopyName(name)) RecoverCopy(state_.dataDir + name);
  }
}

void Recovery::RecoverCopy(const std::string& copyPath) {
  // A copy whose lock can be taken belongs to no running program. Holding
  // the lock while the copy is moved keeps a program starting at the same
  // moment from moving it too.
  const std::string lock = LockOfCopy(copyPath);
  if (!p_.fs.HoldLock(lock)) return;
  const FileResult copy = p_.files.ReadAll(copyPath);
  Kept placed;
  if (!copy.ok) {
    placed.message = copy.error;
  } else if (copy.bytes.empty()) {
    placed.ok = true;
  } else {
    placed = PlaceInSlot(state_.dataDir, copy.bytes, {});
  }
  if (placed.ok) {
    p_.fs.RemoveFile(copyPath);
    notice_ = Join(notice_, placed.message);
  } else {
    // No slot could take it: the copy stays where it is, and the user is told.
    notice_ = Join(notice_, Join(SavedMessage(copyPath), placed.message));
  }
  p_.fs.RemoveFile(lock);
  p_.fs.ReleaseLock(lock);
}

void Recovery::TextChanged() {
  if (!p_.recoveryTimer.Running()) p_.recoveryTimer.Start();
}

void Recovery::RecoveryTimerTick() {
  p_.recoveryTimer.Stop();
  if (number_ < 0 || !p_.memMain.Modified()) return;
  const std::string text = p_.memMain.Text();
  if (text.empty()) {
    p_.fs.RemoveFile(CopyPath());
    return;
  }
  p_.files.WriteAtomic(CopyPath(), text);
}

void Recovery::Discard() {
  p_.recoveryTimer.Stop();
  if (number_ >= 0 && p_.files.Exists(CopyPath())) p_.fs.RemoveFile(CopyPath());
}

Recovery::Kept Recovery::PlaceInPerUserFolder(const std::string& text, const std::string& except) const {
  const std::string& folder = state_.perUserDataDir;
  if (folder == state_.dataDir || !p_.fs.CreateDirectories(folder)) return {};
  return PlaceInSlot(folder, text, except);
}

Recovery::Kept Recovery::PlaceAnywhere(const std::string& text, const std::string& except) const {
  Kept placed = PlaceInSlot(state_.dataDir, text, except);
  if (!placed.ok) {
    if (Kept second = PlaceInPerUserFolder(text, except); second.ok) return second;
  }
  return placed;
}

Recovery::Kept Recovery::KeepBeforeReplacing(const std::string& except) {
  const std::string text = p_.memMain.Text();
  if (!p_.memMain.Modified() || text.empty()) return {true, {}};
  Kept kept = PlaceAnywhere(text, except);
  if (!kept.ok) {
    kept.message = cp932::FromUtf8("未保存の文書を保存できないため、取りやめました：") + kept.message;
    return kept;
  }
  Discard();
  return kept;
}

Recovery::Kept Recovery::Close(bool questionAsked) {
  p_.recoveryTimer.Stop();
  const std::string text = p_.memMain.Text();
  if (questionAsked || !p_.memMain.Modified() || text.empty()) {
    Discard();
    return {true, {}};
  }
  Kept kept = PlaceInSlot(state_.dataDir, text, {});
  // With every slot taken, the copy stays; the next start finds it and says
  // where it is.
  if (!kept.ok && number_ >= 0 && p_.files.WriteAtomic(CopyPath(), text).empty())
    return {true, SavedMessage(CopyPath())};
  if (!kept.ok) {
    if (Kept second = PlaceInPerUserFolder(text, {}); second.ok) kept = second;
  }
  if (!kept.ok) {
    // Closing now would lose the text: the window stays open and says why.
    kept.message = cp932::FromUtf8("未保存の文書を保存できないため、終了しません：") + kept.message;
    return kept;
  }
  Discard();  // the text is in a slot: a copy of it would come back at the next start
  // The next start tells the user; when the data folder cannot take the
  // notice, the per-user folder, which the next start reads too, may.
  LeaveNotice(kept.message);
  return kept;
}

void Recovery::LeaveNotice(const std::string& text) {
  if (number_ < 0 || text.empty()) return;
  // When the data folder cannot take the notice, the per-user folder, which
  // the next start reads too, may.
  std::vector<std::string> paths{NoticePath()};
  if (state_.perUserDataDir != state_.dataDir)
    paths.push_back(state_.perUserDataDir + kNoticePrefix + "-" + std::to_string(number_));
  for (const std::string& path : paths) {
    const FileResult before = p_.files.Exists(path) ? p_.files.ReadPrefix(path, 4096) : FileResult{};
    if (p_.files.WriteAtomic(path, Join(before.ok ? before.bytes : std::string(), text)).empty()) return;
  }
}

}  // namespace velkor
