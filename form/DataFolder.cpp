#include "form/DataFolder.h"

#include <algorithm>

#include "core/Cp932.h"

namespace velkor {

namespace {

constexpr char kLockSuffix[] = ".lock";
constexpr int kMaxAsideFolders = 99;

bool IsLock(const std::string& name) {
  const std::size_t length = sizeof kLockSuffix - 1;
  return name.size() > length && name.compare(name.size() - length, length, kLockSuffix) == 0;
}

// The folder a folder path ("…/Data/") lies in, with its separator.
std::string ParentOf(const std::string& dir) {
  const std::size_t end = dir.size() > 1 && dir.back() == '/' ? dir.size() - 1 : dir.size();
  const std::size_t slash = dir.rfind('/', end - 1);
  return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

// A folder for names taken in the per-user folder that no earlier move made:
// its files are never mixed with those of another build folder.
std::string FreshAsideDir(const IFileSystem& fs, const std::string& base) {
  for (int n = 1; n <= kMaxAsideFolders; ++n) {
    const std::string dir = base + (n == 1 ? "" : "-" + std::to_string(n)) + "/";
    if (!fs.DirectoryExists(dir)) return dir;
  }
  return {};
}

bool KeepAside(IFileSystem& fs, const std::string& from, const std::string& name, const std::string& asideBase,
               DataMove* move) {
  if (move->asideDir.empty()) move->asideDir = FreshAsideDir(fs, asideBase);
  if (move->asideDir.empty()) return false;
  if (!fs.DirectoryExists(move->asideDir) && !fs.CreateDirectories(move->asideDir)) return false;
  return fs.MoveWithoutReplacing(from + name, move->asideDir + name) == MoveResult::Moved;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : "、") + name;
  return text;
}

}  // namespace

std::vector<std::string> DataDirCandidates(ProgramPlace place, const std::string& beside,
                                           const std::string& perUserDataDir) {
  if (place != ProgramPlace::OwnFolder) return {perUserDataDir};
  return {beside, perUserDataDir};
}

std::string DataDirToBe(const IFileSystem& fs, ProgramPlace place, const std::string& beside,
                        const std::string& perUserDataDir) {
  const std::vector<std::string> candidates = DataDirCandidates(place, beside, perUserDataDir);
  for (const std::string& dir : candidates) {
    if (fs.DirectoryExists(dir) ? fs.DirectoryWritable(dir) : fs.DirectoryWritable(ParentOf(dir))) return dir;
  }
  return candidates.back();
}

DataMove MoveDataOut(IFileSystem& fs, const std::string& from, const std::string& to, const std::string& asideBase) {
  DataMove move;
  std::vector<std::string> names = fs.ListFolder(from);
  std::sort(names.begin(), names.end());
  // A program of an earlier version still running from the build folder
  // writes there: its files stay until a later start.
  for (const std::string& name : names) {
    if (IsLock(name) && !fs.LockFree(from + name)) {
      move.inUse = true;
      return move;
    }
  }
  for (const std::string& name : names) {
    if (IsLock(name)) {
      fs.RemoveFile(from + name);  // nobody holds it: its copy is recovered where it goes
      continue;
    }
    switch (fs.MoveWithoutReplacing(from + name, to + name)) {
      case MoveResult::Moved: ++move.moved; break;
      case MoveResult::NameTaken:
        (KeepAside(fs, from, name, asideBase, &move) ? move.keptAside : move.left).push_back(name);
        break;
      case MoveResult::Failed: move.left.push_back(name); break;
    }
  }
  if (fs.ListFolder(from).empty()) fs.RemoveFile(from);  // an empty folder is removed as a file is
  return move;
}

std::string DataMoveNotice(const DataMove& move, const std::string& from, const std::string& to) {
  if (move.inUse) {
    return cp932::FromUtf8(from + " のファイルは、そこから動いているプログラムが使っているため、移していません");
  }
  std::string text;
  const std::size_t total = static_cast<std::size_t>(move.moved) + move.keptAside.size();
  if (total > 0) {
    text =
        "ビルドのフォルダーの " + from + " にあったファイル " + std::to_string(total) + " 個を " + to + " に移しました";
  }
  if (!move.keptAside.empty()) {
    text += "（同じ名前がすでにあった " + std::to_string(move.keptAside.size()) + " 個は " + move.asideDir + " に）";
  }
  if (!move.left.empty()) {
    text += (text.empty() ? "" : "。") + from + " から移せなかったもの：" + Joined(move.left);
  }
  return cp932::FromUtf8(text);
}

std::string FirstStartNotice(ProgramPlace place, const std::string& dataDir) {
  switch (place) {
    case ProgramPlace::OwnFolder: return {};
    case ProgramPlace::Installed: return cp932::FromUtf8("文書は " + dataDir + " に保存します");
    case ProgramPlace::BuildTree:
      return cp932::FromUtf8("文書は " + dataDir + " に保存します（ビルドのフォルダーの中には置きません）");
  }
  return {};
}

}  // namespace velkor
