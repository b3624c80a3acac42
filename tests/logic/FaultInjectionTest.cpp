// Files under failing system calls: a write that stops half way, a disk that
// fills, a folder that takes no files or is gone, a file that became a folder,
// a slot file that cannot be read, names too long for the system, a file of
// 300 MB. The system calls of the file layer fail on demand (as they would on
// a real disk, which a superuser cannot provoke with permissions); the
// documents run in a main window over the fakes. Each failure is told on the
// mode's channel, and the previous file, the slot files and the window's state
// stay as they were.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/Captions.h"
#include "board/BoardModel.h"
#include "document/TextFile.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

// ------------------------------------------------------- failing system calls

// The real system calls, except those told to fail. A path fault hits every
// path that contains its text (an empty text: every path).
class FaultyCalls : public ISystemCalls {
 public:
  // open(2)
  std::string openMatch;
  int openError = 0;
  // stat(2) of a path (lstat(2) is left alone).
  std::string statMatch;
  int statError = 0;
  int accessError = 0;
  int fchmodError = 0;
  // Writes take `writeBudget` more bytes (the last one only in part), then
  // fail with `writeError`, or take nothing when it is 0. -1: no budget.
  long writeBudget = -1;
  int writeError = 0;
  // After this many more writes one write fails with `writeError`, once.
  // -1: none.
  int writesBeforeOneFailure = -1;
  // fsync(2) and close(2) of files opened for writing.
  int fsyncError = 0;
  int closeError = 0;
  int renameError = 0;
  // Reads of a file whose path contains `readMatch` give `readBudget` bytes,
  // then fail with `readError`.
  std::string readMatch;
  int readError = 0;
  long readBudget = 0;
  // Every other read and write is interrupted (EINTR) before it starts, and
  // none moves more than `chunk` bytes (0: no limit).
  bool interrupt = false;
  std::size_t chunk = 0;

  // No fault any more; descriptors still open stay counted.
  void Clear() {
    auto files = std::move(files_);
    *this = FaultyCalls();
    files_ = std::move(files);
  }
  // Descriptors opened through these calls and not closed yet.
  std::size_t OpenDescriptors() const { return files_.size(); }

  int Open(const char* path, int flags, mode_t mode) override {
    if (openError != 0 && Hits(path, openMatch)) return Fail(openError);
    const int fd = real_->Open(path, flags, mode);
    if (fd >= 0) files_[fd] = {path, (flags & O_ACCMODE) != O_RDONLY, readBudget};
    return fd;
  }
  int Close(int fd) override {
    const auto it = files_.find(fd);
    const bool written = it != files_.end() && it->second.written;
    if (it != files_.end()) files_.erase(it);
    const int result = real_->Close(fd);
    if (result == 0 && written && closeError != 0) return Fail(closeError);
    return result;
  }
  ssize_t Read(int fd, void* buffer, std::size_t count) override {
    if (Interrupted()) return Fail(EINTR);
    if (chunk != 0) count = std::min(count, chunk);
    File& file = files_[fd];
    if (readError != 0 && Hits(file.path, readMatch)) {
      if (file.readLeft <= 0) return Fail(readError);
      count = std::min<std::size_t>(count, static_cast<std::size_t>(file.readLeft));
    }
    const ssize_t got = real_->Read(fd, buffer, count);
    if (got > 0) file.readLeft -= got;
    return got;
  }
  ssize_t Write(int fd, const void* buffer, std::size_t count) override {
    if (Interrupted()) return Fail(EINTR);
    if (chunk != 0) count = std::min(count, chunk);
    if (writesBeforeOneFailure >= 0 && writesBeforeOneFailure-- == 0) return Fail(writeError);
    if (writeBudget == 0) return writeError != 0 ? Fail(writeError) : 0;
    if (writeBudget > 0) count = std::min<std::size_t>(count, static_cast<std::size_t>(writeBudget));
    const ssize_t done = real_->Write(fd, buffer, count);
    if (done > 0 && writeBudget > 0) writeBudget -= done;
    return done;
  }
  int Fsync(int fd) override {
    const auto it = files_.find(fd);
    if (fsyncError != 0 && it != files_.end() && it->second.written) return Fail(fsyncError);
    return real_->Fsync(fd);
  }
  int Fstat(int fd, struct stat* info) override { return real_->Fstat(fd, info); }
  int Fchmod(int fd, mode_t mode) override { return fchmodError != 0 ? Fail(fchmodError) : real_->Fchmod(fd, mode); }
  int Fchown(int fd, uid_t owner, gid_t group) override { return real_->Fchown(fd, owner, group); }
  int Ftruncate(int fd, off_t length) override { return real_->Ftruncate(fd, length); }
  off_t Lseek(int fd, off_t offset, int whence) override { return real_->Lseek(fd, offset, whence); }
  int Stat(const char* path, struct stat* info) override {
    return statError != 0 && Hits(path, statMatch) ? Fail(statError) : real_->Stat(path, info);
  }
  int Lstat(const char* path, struct stat* info) override { return real_->Lstat(path, info); }
  int Access(const char* path, int mode) override {
    return accessError != 0 ? Fail(accessError) : real_->Access(path, mode);
  }
  int Rename(const char* from, const char* to) override {
    return renameError != 0 ? Fail(renameError) : real_->Rename(from, to);
  }
  int Unlink(const char* path) override { return real_->Unlink(path); }
  std::optional<std::string> RealPath(const char* path) override { return real_->RealPath(path); }

 private:
  struct File {
    std::string path;
    bool written = false;
    long readLeft = 0;
  };
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  static bool Hits(const std::string& path, const std::string& match) { return path.find(match) != std::string::npos; }
  bool Interrupted() {
    if (!interrupt) return false;
    interrupted_ = !interrupted_;
    return interrupted_;
  }

  ISystemCalls* real_ = &RealSystemCalls();
  std::map<int, File> files_;
  bool interrupted_ = false;
};

// ------------------------------------------------------------ a real folder

// A fresh folder, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/velkor-faults-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
  }
  ~TempFolder() {
    if (!path.empty()) RemoveTree(path);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  static void RemoveTree(const std::string& folder) {
    for (const std::string& name : Names(folder)) {
      const std::string child = folder + name;
      struct stat info {};
      if (::lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        RemoveTree(child + "/");
      else
        ::unlink(child.c_str());
    }
    ::rmdir(folder.c_str());
  }
  static std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
      while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.insert(name);
      }
      ::closedir(d);
    }
    return names;
  }

  std::string path;  // ends with "/"
};

std::string Content(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Everything below a folder: each file's bytes, each folder as "<folder>".
std::map<std::string, std::string> Disk(const std::string& folder, const std::string& prefix = "") {
  std::map<std::string, std::string> disk;
  for (const std::string& name : TempFolder::Names(folder)) {
    struct stat info {};
    ::lstat((folder + name).c_str(), &info);
    if (S_ISDIR(info.st_mode)) {
      disk[prefix + name] = "<folder>";
      disk.merge(Disk(folder + name + "/", prefix + name + "/"));
    } else if (S_ISFIFO(info.st_mode)) {
      disk[prefix + name] = "<fifo>";  // reading it would wait for a writer
    } else {
      disk[prefix + name] = Content(folder + name);
    }
  }
  return disk;
}

// A text of `size` bytes with CR LF line breaks and double-byte characters.
std::string Text(std::size_t size) {
  const std::string line = Sj("書きかけの文章です。") + "\r\n";
  std::string text;
  while (text.size() < size) text += line;
  text.resize(size);
  return text;
}

std::string Write(int errnum, const std::string& path) { return FileErrorMessage(errnum, path, FileOperation::Write); }
std::string Read(int errnum, const std::string& path) { return FileErrorMessage(errnum, path, FileOperation::Read); }

// A 300 MB file that takes no disk space: its bytes are all zero.
constexpr std::size_t kLargeFile = std::size_t{300} << 20;
bool MakeSparseFile(const std::string& path, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
  return ::close(fd) == 0 && ok;
}

long PeakMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// ------------------------------------------------------- the file layer alone

class FileLayerFaults : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(tmp_.path.empty()); }

  TempFolder tmp_;
  FaultyCalls calls_;
  std::unique_ptr<ITextFiles> files_ = MakeTextFiles(calls_);
};

struct WriteFault {
  const char* name;
  std::function<void(FaultyCalls&)> arm;
  int errnum;  // the error told
};

const WriteFault kWriteFaults[] = {
    {"the disk fills half way",
     [](FaultyCalls& c) {
       c.writeBudget = 3000;
       c.writeError = ENOSPC;
     },
     ENOSPC},
    {"the quota runs out half way",
     [](FaultyCalls& c) {
       c.writeBudget = 1;
       c.writeError = EDQUOT;
     },
     EDQUOT},
    {"the disk fails half way",
     [](FaultyCalls& c) {
       c.writeBudget = 4096;
       c.writeError = EIO;
     },
     EIO},
    {"a write takes nothing", [](FaultyCalls& c) { c.writeBudget = 0; }, EIO},
    {"the flush to the disk fails", [](FaultyCalls& c) { c.fsyncError = EIO; }, EIO},
    {"closing the written file fails", [](FaultyCalls& c) { c.closeError = EIO; }, EIO},
    {"the rename fails", [](FaultyCalls& c) { c.renameError = EBUSY; }, EBUSY},
    {"the folder takes no new file",
     [](FaultyCalls& c) {
       c.openMatch = ".velkorlt-";
       c.openError = EACCES;
     },
     EACCES},
    {"the disk is read-only",
     [](FaultyCalls& c) {
       c.openMatch = ".velkorlt-";
       c.openError = EROFS;
       c.accessError = EROFS;
     },
     EROFS},
    {"no descriptor is left", [](FaultyCalls& c) { c.openError = EMFILE; }, EMFILE},
};

TEST_F(FileLayerFaults, AFailedWriteKeepsThePreviousFileAndLeavesNoTemporaryFile) {
  const std::string text = Text(10000);
  for (const WriteFault& fault : kWriteFaults) {
    for (const bool existing : {true, false}) {
      SCOPED_TRACE(std::string(fault.name) + (existing ? ", replacing a file" : ", a new file"));
      const std::string path = tmp_.path + "文書.txt";
      ::unlink(path.c_str());
      if (existing) Put(path, "previous\r\ncontent");
      const auto before = Disk(tmp_.path);
      fault.arm(calls_);

      EXPECT_EQ(files_->WriteAtomic(path, text), Write(fault.errnum, path));
      EXPECT_EQ(Disk(tmp_.path), before);
      EXPECT_EQ(calls_.OpenDescriptors(), 0u);

      // Nothing of the failure lingers: the same layer writes once the fault is gone.
      calls_.Clear();
      EXPECT_EQ(files_->WriteAtomic(path, text), "");
      EXPECT_EQ(Content(path), text);
      EXPECT_EQ(TempFolder::Names(tmp_.path), std::set<std::string>{"文書.txt"});
    }
  }
  // Permission bits that cannot be copied stop the replacement of a file.
  const std::string path = tmp_.path + "文書.txt";
  Put(path, "previous");
  calls_.fchmodError = EPERM;
  EXPECT_EQ(files_->WriteAtomic(path, text), Write(EPERM, path));
  EXPECT_EQ(Content(path), "previous");
  EXPECT_EQ(TempFolder::Names(tmp_.path), std::set<std::string>{"文書.txt"});
}

// A file with several names is written in place; when that fails half way,
// the old text goes back, so no name of it is left with half a document.
TEST_F(FileLayerFaults, AFailedWriteThroughAHardLinkPutsTheOldTextBack) {
  const std::string text = Text(10000);
  const std::string path = tmp_.path + "文書.txt";
  const std::string other = tmp_.path + "link.txt";
  Put(path, "previous\r\ncontent");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  // The new text goes in 1000-byte writes; the third fails, after which
  // the old text is written back.
  calls_.chunk = 1000;
  calls_.writesBeforeOneFailure = 2;
  calls_.writeError = ENOSPC;
  EXPECT_EQ(files_->WriteAtomic(path, text), Write(ENOSPC, path));
  calls_.Clear();
  EXPECT_EQ(Content(other), "previous\r\ncontent");
  EXPECT_EQ(calls_.OpenDescriptors(), 0u);
  EXPECT_EQ(files_->WriteAtomic(path, text), "");
  EXPECT_EQ(Content(other), text);
}

// ------------------------------------------- kills during a save in place

// The real system calls, with the process killed (SIGKILL: as `kill -9` or
// the end of the power would end it) when the writes have taken `killAfter`
// bytes, or just before the `ordinal`-th call named `killBefore`.
class KillingCalls : public ISystemCalls {
 public:
  long long killAfter = -1;
  std::string killBefore;
  int ordinal = 1;

  int Open(const char* path, int flags, mode_t mode) override { return real_.Open(path, flags, mode); }
  int Close(int fd) override { return real_.Close(fd); }
  ssize_t Read(int fd, void* buffer, std::size_t count) override { return real_.Read(fd, buffer, count); }
  ssize_t Write(int fd, const void* buffer, std::size_t count) override {
    if (killAfter >= 0 && written_ + static_cast<long long>(count) >= killAfter) {
      const auto part = static_cast<std::size_t>(killAfter - written_);
      if (part > 0) real_.Write(fd, buffer, part);
      ::raise(SIGKILL);
    }
    const ssize_t done = real_.Write(fd, buffer, count);
    if (done > 0) written_ += done;
    return done;
  }
  int Fsync(int fd) override { return Call("fsync") ? real_.Fsync(fd) : -1; }
  int Fstat(int fd, struct stat* info) override { return real_.Fstat(fd, info); }
  int Fchmod(int fd, mode_t mode) override { return real_.Fchmod(fd, mode); }
  int Fchown(int fd, uid_t owner, gid_t group) override { return real_.Fchown(fd, owner, group); }
  int Ftruncate(int fd, off_t length) override { return Call("ftruncate") ? real_.Ftruncate(fd, length) : -1; }
  off_t Lseek(int fd, off_t offset, int whence) override { return real_.Lseek(fd, offset, whence); }
  int Stat(const char* path, struct stat* info) override { return real_.Stat(path, info); }
  int Lstat(const char* path, struct stat* info) override { return real_.Lstat(path, info); }
  int Access(const char* path, int mode) override { return real_.Access(path, mode); }
  int Rename(const char* from, const char* to) override { return Call("rename") ? real_.Rename(from, to) : -1; }
  int Unlink(const char* path) override { return Call("unlink") ? real_.Unlink(path) : -1; }
  std::optional<std::string> RealPath(const char* path) override { return real_.RealPath(path); }

 private:
  bool Call(const std::string& name) {
    if (name == killBefore && ++calls_ == ordinal) ::raise(SIGKILL);
    return true;
  }
  ISystemCalls& real_ = RealSystemCalls();
  long long written_ = 0;
  int calls_ = 0;
};

// Where a kill lands: after so many bytes, or before a call.
struct KillPoint {
  long long bytes = -1;
  const char* call = "";
  int ordinal = 1;
};

// Saves `text` over `path` in a child process that is killed at `point`;
// true when it was killed.
bool SaveAndKill(const std::string& path, const std::string& text, const std::string& keepFolder, KillPoint point) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    KillingCalls calls;
    calls.killAfter = point.bytes;
    calls.killBefore = point.call;
    calls.ordinal = point.ordinal;
    const std::unique_ptr<ITextFiles> files = MakeTextFiles(calls);
    files->SetKeepFolder(keepFolder);
    ::_exit(files->WriteAtomic(path, text).empty() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

std::set<std::string> KeepCopies(const std::string& folder) {
  std::set<std::string> keeps;
  for (const std::string& name : TempFolder::Names(folder)) {
    if (name.rfind(".velkorlt-keep-", 0) == 0) keeps.insert(name);
  }
  return keeps;
}

// A hard-linked document of 40 MB is saved in place, and the save is killed
// at 20 places spread over every byte it writes (its keep copy, then the new
// text) and just before each step that follows a write. After the next
// start's repair both names hold the old text or the new one, never a mix.
TEST_F(FileLayerFaults, KillsDuringTheSaveOfAHardLinkedDocumentLeaveTheOldTextOrTheNewUnderBothNames) {
  const std::string path = tmp_.path + "文書.txt";
  const std::string other = tmp_.path + "別名.txt";
  const std::string keep = tmp_.path + "keep/";
  const std::string old = Text(std::size_t{40} << 20);
  std::string next = Sj("新しい文章に書き直しました。") + "\r\n";
  while (next.size() < (std::size_t{40} << 20) + 4321) next += next.substr(0, 4096);
  // The header of a keep copy (its first line alone is 16 bytes) comes
  // before the old text.
  const long long total = static_cast<long long>(old.size() + next.size()) + 16;
  std::vector<KillPoint> points;
  for (int i = 0; i < 20; ++i) points.push_back({1 + i * (total - 1) / 19});
  points.push_back({-1, "rename", 1});     // the keep copy written, not yet named
  points.push_back({-1, "fsync", 2});      // the new text written, not yet on the disk
  points.push_back({-1, "ftruncate", 1});  // the new text written over a shorter old one
  points.push_back({-1, "unlink", 1});     // all done but the keep copy's removal
  int torn = 0;
  int restored = 0;
  for (const KillPoint& point : points) {
    SCOPED_TRACE(point.bytes >= 0 ? std::to_string(point.bytes) + " bytes" : std::string("before ") + point.call);
    ::unlink(path.c_str());
    ::unlink(other.c_str());
    Put(path, old);
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    ASSERT_TRUE(SaveAndKill(path, next, keep, point));
    const std::string left = Content(path);
    if (left != old && left != next) ++torn;
    // The next start puts right what the kill cut short.
    const std::vector<std::string> said = MakeTextFiles(RealSystemCalls())->RestoreInterruptedWrites(keep);
    const std::string now = Content(path);
    EXPECT_TRUE(now == old || now == next) << now.size() << " bytes, neither the old text nor the new";
    EXPECT_TRUE(Content(other) == now) << "the other name differs";
    EXPECT_EQ(said.size(), left != now ? 1u : 0u) << "the old text put back is said";
    if (!said.empty()) {
      ++restored;
      EXPECT_EQ(said.front(), Sj("保存の途中で終わったため、保存する前の内容に戻しました「" + path + "」"));
    }
    EXPECT_TRUE(KeepCopies(keep).empty());
  }
  EXPECT_GE(torn, 9) << "the kills landed inside the write in place";
  EXPECT_EQ(restored, torn);
  RecordProperty("kills", static_cast<int>(points.size()));
  std::printf("%zu kills during the save of a hard-linked 40 MB document: %d left it torn, all put back\n",
              points.size(), torn);
}

// A keep copy whose writer still runs is not touched; one left by a killed
// save never undoes a later save of the same file.
TEST_F(FileLayerFaults, AKeepCopyIsUsedOnlyWhenItsWriterEndedAndNeverUndoesALaterSave) {
  const std::string path = tmp_.path + "文書.txt";
  const std::string other = tmp_.path + "別名.txt";
  const std::string keep = tmp_.path + "keep/";
  Put(path, Text(300000));
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  const std::string next = Text(200000) + "x";
  ASSERT_TRUE(SaveAndKill(path, next, keep, {400000}));
  const std::string torn = Content(path);
  ASSERT_EQ(KeepCopies(keep).size(), 1u);

  // A writer that still runs holds its copy's lock.
  const std::string copy = keep + *KeepCopies(keep).begin();
  const int held = ::open(copy.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const std::unique_ptr<ITextFiles> files = MakeTextFiles(RealSystemCalls());
  EXPECT_TRUE(files->RestoreInterruptedWrites(keep).empty());
  EXPECT_EQ(Content(path), torn);
  ::close(held);

  // Saved again before any start put it right: the new save stands.
  files->SetKeepFolder(keep);
  EXPECT_EQ(files->WriteAtomic(path, "later"), "");
  EXPECT_TRUE(files->RestoreInterruptedWrites(keep).empty());
  EXPECT_EQ(Content(other), "later");
  EXPECT_TRUE(KeepCopies(keep).empty());
}

// Without a keep folder that can be used, the copy is kept beside the file.
TEST_F(FileLayerFaults, AKeepCopyGoesBesideTheFileWhenTheKeepFolderCannotBeMade) {
  const std::string path = tmp_.path + "文書.txt";
  Put(path, "the old text, longer than the new");
  ASSERT_EQ(::link(path.c_str(), (tmp_.path + "b.txt").c_str()), 0);
  // Killed with the new text written over the start of the old one.
  ASSERT_TRUE(SaveAndKill(path, "new", tmp_.path + "missing/keep/", {-1, "ftruncate", 1}));
  EXPECT_EQ(Content(path), "new old text, longer than the new");
  EXPECT_EQ(KeepCopies(tmp_.path).size(), 1u);
  EXPECT_EQ(MakeTextFiles(RealSystemCalls())->RestoreInterruptedWrites(tmp_.path).size(), 1u);
  EXPECT_EQ(Content(tmp_.path + "b.txt"), "the old text, longer than the new");
}

TEST_F(FileLayerFaults, InterruptedAndPartialCallsAreCarriedThrough) {
  const std::string path = tmp_.path + "a.txt";
  const std::string text = Text(70000) + "x\ny\rz";
  calls_.interrupt = true;
  calls_.chunk = 7;
  EXPECT_EQ(files_->WriteAtomic(path, text), "");
  EXPECT_EQ(Content(path), text);
  EXPECT_EQ(files_->ReadAll(path).bytes, text);
  EXPECT_EQ(LoadTextFile(*files_, path).bytes, NormaliseLineBreaks(text));
  EXPECT_EQ(files_->ReadPrefix(path, 401).bytes, text.substr(0, 401));
  EXPECT_EQ(SlotPreview(*files_, path, Sj("開く：")), SlotPreview(RealTextFiles(), path, Sj("開く：")));
  EXPECT_EQ(calls_.OpenDescriptors(), 0u);
}

// A text already in CR LF form is loaded as read, any other is normalised:
// both give what normalising gives.
TEST(FileLayerLoading, TextIsNormalisedWhetherOrNotItIsCopied) {
  std::mt19937 random(300);
  const std::string pieces[] = {"a", "\r", "\n", "\r\n", "\r\n", Sj("あ"), std::string(1, '\0')};
  FakeTextFiles files;
  for (int round = 0; round < 3000; ++round) {
    std::string content;
    const std::size_t count = random() % 12;
    for (std::size_t i = 0; i < count; ++i) content += pieces[random() % std::size(pieces)];
    files.files["f"] = content;
    const FileResult loaded = LoadTextFile(files, "f");
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.bytes, NormaliseLineBreaks(content)) << ::testing::PrintToString(content);
  }
}

TEST_F(FileLayerFaults, AFailedReadGivesTheMessageAndNoBytes) {
  const struct {
    const char* name;
    std::function<void(FaultyCalls&)> arm;
    int errnum;
  } cases[] = {
      {"no access", [](FaultyCalls& c) { c.openError = EACCES; }, EACCES},
      {"the disk fails at once", [](FaultyCalls& c) { c.readError = EIO; }, EIO},
      {"the disk fails half way",
       [](FaultyCalls& c) {
         c.readError = EIO;
         c.readBudget = 70000;
       },
       EIO},
      {"the disk fails past the preview",
       [](FaultyCalls& c) {
         c.readError = EIO;
         c.readBudget = 401;
       },
       EIO},
  };
  const std::string path = tmp_.path + "文書05.txt";
  Put(path, Text(200000));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    calls_.Clear();
    c.arm(calls_);
    const FileResult all = files_->ReadAll(path);
    EXPECT_FALSE(all.ok);
    EXPECT_EQ(all.error, Read(c.errnum, path));
    const FileResult loaded = LoadTextFile(*files_, path);
    EXPECT_FALSE(loaded.ok);
    EXPECT_TRUE(loaded.bytes.empty());
    EXPECT_EQ(loaded.error, Read(c.errnum, path));
    // The preview reads 401 bytes: a failure past them does not spoil it.
    const std::string preview = SlotPreview(*files_, path, Sj("開く："));
    if (c.errnum == EIO && calls_.readBudget >= 401) {
      EXPECT_EQ(preview, SlotPreview(RealTextFiles(), path, Sj("開く：")));
    } else {
      EXPECT_EQ(preview, Sj("開く：読み込めません"));
    }
    EXPECT_EQ(calls_.OpenDescriptors(), 0u);
  }
}

// Figures of loading 300 MB through LoadTextFile, and the memory it holds.
TEST_F(FileLayerFaults, A300MegabyteFileLoadsWithoutCopiesToSpare) {
  const std::string path = tmp_.path + "large.txt";
  ASSERT_TRUE(MakeSparseFile(path, kLargeFile));
  const long peakBefore = PeakMegabytes();
  const auto start = std::chrono::steady_clock::now();
  const FileResult loaded = LoadTextFile(RealTextFiles(), path);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(loaded.ok) << cp932::ToUtf8(loaded.error);
  EXPECT_EQ(loaded.bytes.size(), kLargeFile);
  // The string is as large as the file: the read that finds the end of the
  // file does not double it.
  EXPECT_LT(loaded.bytes.capacity(), kLargeFile + 65536);
  EXPECT_EQ(loaded.bytes.find_first_not_of('\0'), std::string::npos);
  RecordProperty("load_seconds", std::to_string(seconds));
  RecordProperty("peak_megabytes_before", std::to_string(peakBefore));
  RecordProperty("peak_megabytes_after", std::to_string(PeakMegabytes()));
  std::printf("LoadTextFile of 300 MB: %.2f s, peak resident %ld MB -> %ld MB\n", seconds, peakBefore, PeakMegabytes());
}

// ------------------------------------------------------ the documents

enum class Mode { Click, Dwell };

const char* ModeName(Mode mode) { return mode == Mode::Click ? "click" : "dwell"; }

// What the user sees of the document.
struct DocState {
  std::string text;
  bool modified = false;
  std::string caption;
  std::string curFile;
  StringList recent;
  bool saveEnabled = false;
  bool operator==(const DocState&) const = default;
};

void PrintTo(const DocState& s, std::ostream* out) {
  *out << "{text of " << s.text.size() << " bytes, modified " << s.modified << ", caption \"" << s.caption
       << "\", file \"" << s.curFile << "\", recent " << ::testing::PrintToString(s.recent) << ", save "
       << s.saveEnabled << "}";
}

// A shown main window over the fakes, with real files in a temporary folder
// reached through failing system calls: documents in docs/, the slots in
// prog/Data/.
struct Rig {
  explicit Rig(Mode mode) : mode(mode) {
    EXPECT_FALSE(tmp.path.empty());
    docs = tmp.path + "docs/";
    ::mkdir(docs.c_str(), 0700);
    ::mkdir((tmp.path + "prog").c_str(), 0700);
    fake.shell.programFolder = tmp.path + "prog/";
    fake.shell.userDataFolder = tmp.path + "user/";
    ::mkdir(fake.shell.userDataFolder.c_str(), 0700);
    ::mkdir((fake.shell.userDataFolder + "VelkorLT").c_str(), 0700);
    ::mkdir((fake.shell.userDataFolder + "VelkorLT/Data").c_str(), 0700);
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    data = form.State().dataDir;
    if (mode == Mode::Click)
      form.Modes().MnuEditClickClick();
    else
      form.Modes().MnuEditM10Click();
    fake.pointer.position = Point{150, 250};
  }

  DocState State() {
    return {fake.memMain.text,        fake.memMain.modified,          fake.window.caption,
            form.State().curFileName, form.State().settings.fileList, fake.window.fileSaveEnabled};
  }
  void Forget() {
    fake.window.messages.clear();
    fake.pnlMsg.history.clear();
  }
  // Everything said on the mode's channel since Forget(), and on the other.
  std::vector<std::string> Told() const { return mode == Mode::Click ? Boxes() : fake.pnlMsg.history; }
  std::vector<std::string> ToldElsewhere() const { return mode == Mode::Click ? fake.pnlMsg.history : Boxes(); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& [text, icon] : fake.window.messages) texts.push_back(text);
    return texts;
  }

  void OpenByDialog(const std::string& path) {
    fake.dialogs.openAnswers.push_back(path);
    form.Docs().ActFileOpenExecute();
  }
  void SaveAs(const std::string& path) {
    fake.dialogs.saveAnswers.push_back(path);
    form.Docs().ActFileAddExecute();
  }
  void Save() { form.Docs().ActFileSaveExecute(); }
  // A document in docs/ opened, then changed by typing.
  void EditDocument(const std::string& name, const std::string& content) {
    Put(docs + name, content);
    OpenByDialog(docs + name);
    fake.memMain.SetSelStart(0);
    fake.memMain.Type(Sj("追加"));
  }

  // Confirms board cell (col, row) as the mode does.
  void Confirm(int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    const Rect other = fake.sgd00.CellRect(col == 20 ? 19 : col + 1, row);
    if (mode == Mode::Dwell) {
      PointerAt(fake, form, OnGrid(fake, other.left + 1, other.top + 1));
      PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
      form.Pointer().Tick();
      form.Pointer().Tick();
    } else {
      PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
      PressAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
    }
  }
  void ConfirmCommand(const char* utf8) {
    for (int row = board::kFirstCommandRow; row <= board::kLastCommandRow; ++row) {
      for (int col = 1; col <= board::kContentCols; ++col) {
        if (fake.sgd00.CellText(col, row) == Sj(utf8)) return Confirm(col, row);
      }
    }
    ADD_FAILURE() << "no command cell " << utf8;
  }
  void PointAtSlot(int n) {
    const Rect r = fake.sgd00.CellRect(n % 20 + 1, n / 20 + 1);
    PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
  }
  void ConfirmSlot(int n) { Confirm(n % 20 + 1, n / 20 + 1); }
  // What the status line says over each slot of the slot board shown.
  StringList Previews() {
    StringList previews;
    for (int n = 0; n < 100; ++n) previews.push_back(form.Slots().Describe({n % 20 + 1, n / 20 + 1}).text);
    return previews;
  }
  std::string Slot(int n) const { return SlotPath(data, n); }

  Mode mode;
  TempFolder tmp;
  FaultyCalls calls;
  std::unique_ptr<ITextFiles> files = MakeTextFiles(calls);
  FakePlatform fake;
  MainForm form{fake.Get(*files, RealFileSystem())};
  std::string docs;
  std::string data;
};

// A path of 4,096 bytes, one more than the system takes, in folders that
// exist: its folder is short enough for a temporary file beside it.
std::string PathOf4096Bytes(const std::string& base) {
  std::string folder = base;
  while (folder.size() < 3800) {
    folder += std::string(200, 'd') + "/";
    ::mkdir(folder.c_str(), 0700);
  }
  return folder + std::string(4096 - 4 - folder.size(), 'n') + ".txt";
}

struct DocumentFault {
  const char* name;
  // Prepares the fault for the document at `path`; gives the error told.
  std::function<int(Rig&, const std::string& path)> arm;
  bool lasting;  // the disk stays as the fault left it
};

const DocumentFault kSaveFaults[] = {
    {"the disk fills half way",
     [](Rig& r, const std::string&) {
       r.calls.writeBudget = 2000;
       return r.calls.writeError = ENOSPC;
     },
     false},
    {"the disk fails half way",
     [](Rig& r, const std::string&) {
       r.calls.writeBudget = 100;
       return r.calls.writeError = EIO;
     },
     false},
    {"the disk is read-only",
     [](Rig& r, const std::string&) {
       r.calls.openMatch = ".velkorlt-";
       r.calls.accessError = EROFS;
       return r.calls.openError = EROFS;
     },
     false},
    {"the folder takes no new file",
     [](Rig& r, const std::string&) {
       r.calls.openMatch = ".velkorlt-";
       return r.calls.openError = EACCES;
     },
     false},
    {"the folder was deleted",
     [](Rig& r, const std::string&) {
       TempFolder::RemoveTree(r.docs);
       return ENOENT;
     },
     true},
    {"the file was replaced by a folder",
     [](Rig&, const std::string& path) {
       ::unlink(path.c_str());
       ::mkdir(path.c_str(), 0700);
       Put(path + "/inside.txt", "inside");
       return EISDIR;
     },
     true},
};

TEST(DocumentFaults, SavingOverADocumentThatCannotBeReplacedChangesNothing) {
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    for (const DocumentFault& fault : kSaveFaults) {
      SCOPED_TRACE(std::string(ModeName(mode)) + ": " + fault.name);
      Rig r(mode);
      const std::string path = r.docs + "a.txt";
      r.EditDocument("a.txt", Text(9000));
      const int errnum = fault.arm(r, path);
      const DocState before = r.State();
      const auto disk = Disk(r.tmp.path);
      r.Forget();

      r.Save();

      EXPECT_EQ(r.Told(), std::vector<std::string>{Write(errnum, path)});
      EXPECT_TRUE(r.ToldElsewhere().empty());
      EXPECT_EQ(r.State(), before);
      EXPECT_EQ(Disk(r.tmp.path), disk);
      if (fault.lasting) continue;

      r.calls.Clear();
      r.Forget();
      r.Save();
      EXPECT_EQ(r.Told(), std::vector<std::string>{Sj("保存しました")});
      EXPECT_EQ(Content(path), before.text);
      EXPECT_FALSE(r.fake.memMain.modified);
    }
  }
}

TEST(DocumentFaults, SavingAsWhereNoFileCanBeMadeChangesNothing) {
  const struct {
    const char* name;
    std::function<std::string(Rig&)> target;  // prepares the place
    std::function<void(FaultyCalls&)> arm;
    int errnum;
  } cases[] = {
      {"a folder that takes no new file", [](Rig& r) { return r.docs + "b.txt"; },
       [](FaultyCalls& c) {
         c.openMatch = ".velkorlt-";
         c.openError = EACCES;
       },
       EACCES},
      {"a read-only disk", [](Rig& r) { return r.docs + "b.txt"; },
       [](FaultyCalls& c) {
         c.openMatch = ".velkorlt-";
         c.openError = EROFS;
       },
       EROFS},
      {"a missing folder", [](Rig& r) { return r.docs + "gone/b.txt"; }, [](FaultyCalls&) {}, ENOENT},
      {"a folder",
       [](Rig& r) {
         ::mkdir((r.docs + "folder.txt").c_str(), 0700);
         return r.docs + "folder.txt";
       },
       [](FaultyCalls&) {}, EISDIR},
      {"a path of 4,096 bytes", [](Rig& r) { return PathOf4096Bytes(r.docs); }, [](FaultyCalls&) {}, ENAMETOOLONG},
      {"a name of 256 bytes", [](Rig& r) { return r.docs + std::string(252, 'n') + ".txt"; }, [](FaultyCalls&) {},
       ENAMETOOLONG},
  };
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(ModeName(mode)) + ": " + c.name);
      Rig r(mode);
      r.EditDocument("a.txt", "previous");
      const std::string target = c.target(r);
      c.arm(r.calls);
      const DocState before = r.State();
      const auto disk = Disk(r.tmp.path);
      r.Forget();

      r.SaveAs(target);

      EXPECT_EQ(r.Told(), std::vector<std::string>{Write(c.errnum, target)});
      EXPECT_EQ(Disk(r.tmp.path), disk);
      EXPECT_EQ(r.State(), before) << "a failed save must not rename the window nor list the file";
    }
  }
}

struct UnreadableTarget {
  const char* name;
  std::function<std::string(Rig&)> target;  // prepares the file
  std::function<void(FaultyCalls&)> arm;
  int errnum;
};

// Files that cannot be read, each with the fault that makes it so.
std::vector<UnreadableTarget> UnreadableTargets() {
  return {
      {"a file without access",
       [](Rig& r) {
         Put(r.docs + "b.txt", "b");
         return r.docs + "b.txt";
       },
       [](FaultyCalls& c) {
         c.openMatch = "b.txt";
         c.openError = EACCES;
       },
       EACCES},
      {"a disk that fails half way",
       [](Rig& r) {
         Put(r.docs + "b.txt", Text(200000));
         return r.docs + "b.txt";
       },
       [](FaultyCalls& c) {
         c.readMatch = "b.txt";
         c.readError = EIO;
         c.readBudget = 100000;
       },
       EIO},
      {"a file in a folder without access",
       [](Rig& r) {
         Put(r.docs + "b.txt", "b");
         return r.docs + "b.txt";
       },
       [](FaultyCalls& c) {
         c.statMatch = c.openMatch = "b.txt";
         c.statError = c.openError = EACCES;
       },
       EACCES},
      {"a folder where the file was",
       [](Rig& r) {
         ::mkdir((r.docs + "b.txt").c_str(), 0700);
         return r.docs + "b.txt";
       },
       [](FaultyCalls&) {}, EISDIR},
      {"a path of 4,096 bytes", [](Rig& r) { return PathOf4096Bytes(r.docs); }, [](FaultyCalls&) {}, ENAMETOOLONG},
      {"a name of 256 bytes", [](Rig& r) { return r.docs + std::string(252, 'n') + ".txt"; }, [](FaultyCalls&) {},
       ENAMETOOLONG},
  };
}

TEST(DocumentFaults, OpeningWhatCannotBeReadChangesNothing) {
  const std::vector<UnreadableTarget> cases = UnreadableTargets();
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(ModeName(mode)) + ": " + c.name);
      Rig r(mode);
      r.EditDocument("a.txt", "previous");
      const std::string target = c.target(r);
      c.arm(r.calls);
      const DocState before = r.State();
      const auto disk = Disk(r.tmp.path);
      r.Forget();

      r.OpenByDialog(target);

      EXPECT_EQ(r.Told(), std::vector<std::string>{Read(c.errnum, target)});
      EXPECT_TRUE(r.ToldElsewhere().empty());
      EXPECT_EQ(r.State(), before) << "the unsaved text must stay, marked as unsaved";
      EXPECT_EQ(Disk(r.tmp.path), disk);
      EXPECT_EQ(r.calls.OpenDescriptors(), 0u);
    }
  }
}

TEST(DocumentFaults, ASlotFileThatCannotBeReadSpoilsOnlyItsOwnPreview) {
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    SCOPED_TRACE(ModeName(mode));
    Rig r(mode);
    const std::map<int, std::string> slots = {{0, "first"}, {5, "unreadable"}, {42, Sj("あ\nい")}, {99, "last"}};
    for (const auto& [n, content] : slots) Put(r.Slot(n), content);
    r.EditDocument("a.txt", "previous");
    r.calls.openMatch = "文書05.txt";
    r.calls.openError = EIO;
    const DocState before = r.State();
    const auto disk = Disk(r.tmp.path);

    r.ConfirmCommand("開~");
    const StringList previews = r.Previews();
    ASSERT_EQ(previews.size(), 100u);
    for (int n = 0; n < 100; ++n) {
      SCOPED_TRACE(n);
      const std::string expected =
          n == 5 ? Sj("開く：読み込めません") : SlotPreview(RealTextFiles(), r.Slot(n), Sj("開く："));
      EXPECT_EQ(previews[static_cast<std::size_t>(n)], expected);
    }
    EXPECT_EQ(previews[42], Sj("開く：あ\r\nい\r\n"));
    EXPECT_EQ(previews[1], Sj("開く：空"));
    r.PointAtSlot(5);
    EXPECT_EQ(r.fake.pnlMsg.text, Sj("開く：読み込めません"));

    r.Forget();
    r.ConfirmSlot(5);
    const std::string error = Read(EIO, r.Slot(5));
    if (mode == Mode::Click) {
      EXPECT_EQ(r.Boxes(), std::vector<std::string>{error});
    } else {
      EXPECT_TRUE(r.Boxes().empty());
      EXPECT_EQ(r.fake.pnlMsg.message, error);
    }
    EXPECT_EQ(r.State(), before) << "the unsaved text must stay, marked as unsaved";
    EXPECT_EQ(Disk(r.tmp.path), disk);
  }
}

TEST(DocumentFaults, SavingToASlotOnAFullDiskKeepsTheSlotsAndTheUntitledDocument) {
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    SCOPED_TRACE(ModeName(mode));
    Rig r(mode);
    Put(r.Slot(0), "zero");
    Put(r.Slot(6), "six");
    r.fake.memMain.Type(Text(5000));
    r.calls.writeBudget = 1000;
    r.calls.writeError = ENOSPC;
    const DocState before = r.State();
    const auto disk = Disk(r.tmp.path);

    r.ConfirmCommand("書~");
    EXPECT_EQ(r.Previews().at(6), Sj("保存：six\r\n"));
    r.Forget();
    r.ConfirmSlot(5);

    const std::string error = Write(ENOSPC, r.Slot(5));
    if (mode == Mode::Click) {
      EXPECT_EQ(r.Boxes(), std::vector<std::string>{error});
    } else {
      EXPECT_EQ(r.fake.pnlMsg.message, error);
    }
    EXPECT_EQ(Disk(r.tmp.path), disk);
    EXPECT_EQ(r.State(), before) << "a failed save must not name the window after the slot";
  }
}

// Closing outside click mode puts unsaved text into the lowest empty slot; on
// a full disk that fails, no slot file may suffer for it, and the window
// stays open rather than lose the text.
TEST(DocumentFaults, ClosingOnAFullDiskStaysOpenAndLeavesTheSlotFilesAsTheyWere) {
  for (const long budget : {0L, 1L, 3000L}) {
    SCOPED_TRACE(budget);
    Rig r(Mode::Dwell);
    Put(r.Slot(0), "zero");
    Put(r.Slot(2), "two");
    r.fake.memMain.Type(Text(5000));
    r.calls.writeBudget = budget;
    r.calls.writeError = ENOSPC;
    const auto disk = Disk(r.tmp.path);

    EXPECT_FALSE(r.form.FormClose());
    EXPECT_FALSE(r.form.Closed());
    EXPECT_EQ(Disk(r.tmp.path), disk);
    EXPECT_EQ(cp932::ToUtf8(r.fake.pnlMsg.message).rfind("未保存の文書を保存できないため、終了しません", 0), 0u);
    EXPECT_EQ(r.fake.memMain.text, Text(5000));
    EXPECT_EQ(r.calls.OpenDescriptors(), 0u);
  }
}

// A slot that is a symbolic link (even one that leads nowhere yet), a FIFO or
// another user's file is refused when opened, saved to or previewed, with
// the reason; nothing behind it is read or written, and the document stays
// as it was.
TEST(DocumentFaults, ASlotThatIsNotTheUsersOwnPlainFileIsRefused) {
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    SCOPED_TRACE(ModeName(mode));
    Rig r(mode);
    Put(r.docs + "secret.txt", "secret");
    ASSERT_EQ(::symlink((r.docs + "secret.txt").c_str(), r.Slot(3).c_str()), 0);
    ASSERT_EQ(::symlink((r.docs + "made.txt").c_str(), r.Slot(4).c_str()), 0);
    ASSERT_EQ(::mkfifo(r.Slot(5).c_str(), 0600), 0);
    struct Case {
      int slot;
      int error;
      const char* preview;
    };
    std::vector<Case> cases = {{3, kSymbolicLink, "シンボリック リンクのため使えません"},
                               {4, kSymbolicLink, "シンボリック リンクのため使えません"},
                               {5, kNotAPlainFile, "通常のファイルではないため使えません"}};
    if (::geteuid() == 0) {
      Put(r.Slot(6), "theirs");
      ASSERT_EQ(::chown(r.Slot(6).c_str(), 1234, 1234), 0);
      cases.push_back({6, kNotYourFile, "ほかのユーザーのファイルのため使えません"});
    }
    r.fake.memMain.Type(Sj("下書き"));
    const DocState before = r.State();
    const auto disk = Disk(r.tmp.path);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.slot);
      EXPECT_EQ(r.form.Docs().SlotPreviewOf(c.slot, Sj("開く：")), Sj("開く：") + Sj(c.preview));
      r.Forget();
      r.form.Docs().OpenDocument(r.Slot(c.slot));
      EXPECT_EQ(r.Told(), std::vector<std::string>{Read(c.error, r.Slot(c.slot))});
      r.Forget();
      r.form.State().curFileName = r.Slot(c.slot);
      EXPECT_FALSE(r.form.Docs().SaveDocument(r.Slot(c.slot)));
      r.form.State().curFileName.clear();
      EXPECT_EQ(r.Told(), std::vector<std::string>{Write(c.error, r.Slot(c.slot))});
      EXPECT_EQ(r.State(), before);
      EXPECT_EQ(Disk(r.tmp.path), disk);
    }
    // A close without a question passes over them to a free slot.
    if (mode == Mode::Dwell) {
      Put(r.Slot(0), "zero");
      Put(r.Slot(1), "one");
      Put(r.Slot(2), "two");
      ASSERT_TRUE(r.form.FormClose());
      EXPECT_EQ(Content(r.Slot(7)), Sj("下書き"));
      EXPECT_EQ(Content(r.docs + "secret.txt"), "secret");
      EXPECT_EQ(TempFolder::Names(r.docs), std::set<std::string>{"secret.txt"});
    }
  }
}

// The next start puts back the old text of a hard-linked document whose save
// a kill cut short, says so, and clears the keep folder.
TEST(DocumentFaults, TheNextStartPutsBackADocumentWhoseSaveWasKilled) {
  TempFolder tmp;
  const std::string docs = tmp.path + "docs/";
  const std::string keep = tmp.path + "user/VelkorLT/";
  for (const std::string& folder : {docs, tmp.path + "prog/", tmp.path + "user/", keep}) ::mkdir(folder.c_str(), 0700);
  const std::string path = docs + "手紙.txt";
  const std::string old = Text(100000);
  Put(path, old);
  ASSERT_EQ(::link(path.c_str(), (docs + "控え.txt").c_str()), 0);
  // Killed with the keep copy complete and part of the new text written.
  // The new text differs from its first byte on, so the part written shows.
  ASSERT_TRUE(SaveAndKill(path, std::string(50000, 'x'), keep, {static_cast<long long>(old.size()) + 4096}));
  ASSERT_TRUE(Content(path) != old) << "the kill left the document as it was";
  FakePlatform fake;
  fake.shell.programFolder = tmp.path + "prog/";
  fake.shell.userDataFolder = tmp.path + "user/";
  const std::unique_ptr<ITextFiles> files = MakeTextFiles(RealSystemCalls());
  MainForm form(fake.Get(*files, RealFileSystem()));
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  EXPECT_EQ(Content(path), old);
  EXPECT_EQ(Content(docs + "控え.txt"), old);
  ASSERT_EQ(fake.window.messages.size(), 1u) << "said at start, a box in click mode";
  EXPECT_NE(fake.window.messages.front().first.find(
                Sj("保存の途中で終わったため、保存する前の内容に戻しました「" + path + "」")),
            std::string::npos);
  EXPECT_TRUE(KeepCopies(keep).empty());
  for (const std::string& name : TempFolder::Names(keep)) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

TEST(DocumentFaults, OpeningA300MegabyteFileLoadsIt) {
  Rig r(Mode::Dwell);
  const std::string path = r.docs + "large.txt";
  ASSERT_TRUE(MakeSparseFile(path, kLargeFile));
  r.Forget();
  r.OpenByDialog(path);
  EXPECT_EQ(r.fake.memMain.text.size(), kLargeFile);
  EXPECT_FALSE(r.fake.memMain.modified);
  EXPECT_EQ(r.form.State().curFileName, path);
  EXPECT_EQ(r.fake.window.caption, DocumentCaption(path));
  EXPECT_TRUE(r.Told().empty());
}

}  // namespace
}  // namespace velkor::testing
