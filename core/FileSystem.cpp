#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <system_error>

#include "core/Platform.h"

namespace velkor {

namespace {

// Opens a lock file without ever waiting (a FIFO put in its place would
// block an ordinary open) and only when it is a plain file.
int OpenLockFile(const std::string& path, bool create) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Copies a plain file to a name nobody has, then removes the original: a
// move across file systems. Nothing is left at `to` when the copy fails.
MoveResult CopyThenRemove(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return MoveResult::Failed;
  struct stat info {};
  if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(in);
    return MoveResult::Failed;
  }
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
  if (out < 0) {
    const bool taken = errno == EEXIST;
    ::close(in);
    return taken ? MoveResult::NameTaken : MoveResult::Failed;
  }
  char buffer[65536];
  bool ok = true;
  for (ssize_t n; ok && (n = ::read(in, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      ok = errno == EINTR;
      continue;
    }
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t written = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
      ok = written > 0 || (written < 0 && errno == EINTR);
      if (written > 0) done += written;
    }
  }
  ok = ::fsync(out) == 0 && ok;
  ok = ::close(out) == 0 && ok;
  ::close(in);
  if (!ok || ::unlink(from.c_str()) != 0) {
    ::unlink(to.c_str());
    return MoveResult::Failed;
  }
  return MoveResult::Moved;
}

class RealFs : public IFileSystem {
 public:
  static constexpr int kLockPollMs = 10;

  bool DirectoryExists(const std::string& path) const override {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(path), error);
  }
  bool CreateDirectories(const std::string& path) override {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path), error);
    return !error && DirectoryExists(path);
  }
  bool DirectoryWritable(const std::string& path) const override {
    return DirectoryExists(path) && access(path.c_str(), W_OK | X_OK) == 0;
  }
  bool RemoveFile(const std::string& path) override {
    std::error_code error;
    return std::filesystem::remove(std::filesystem::path(path), error) && !error;
  }
  std::vector<std::string> ListFolder(const std::string& path) const override {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(std::filesystem::path(path), error), end; !error && it != end;
         it.increment(error)) {
      names.push_back(it->path().filename().string());
    }
    return names;
  }
  bool HoldLock(const std::string& path) override {
    if (held_.count(path) > 0) return false;
    const int fd = OpenLockFile(path, true);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    held_[path] = fd;
    return true;
  }
  bool WaitForLock(const std::string& path, int waitMs) override {
    // Taken within this program already: waiting would never end.
    if (held_.count(path) > 0) return false;
    for (int waited = 0;; waited += kLockPollMs) {
      if (HoldLock(path)) return true;
      if (waited >= waitMs) return false;
      ::usleep(kLockPollMs * 1000);
    }
  }
  void ReleaseLock(const std::string& path) override {
    const auto it = held_.find(path);
    if (it == held_.end()) return;
    ::close(it->second);
    held_.erase(it);
  }
  bool LockFree(const std::string& path) const override {
    if (held_.count(path) > 0) return false;
    const int fd = OpenLockFile(path, false);
    if (fd < 0) return errno == ENOENT;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);  // closing gives a lock just taken back
    return free;
  }
  bool ProcessRunning(int pid) const override {
    // A process of another user answers EPERM: it runs all the same.
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
  }
  MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to) override {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return MoveResult::Moved;
    if (errno == EEXIST) return MoveResult::NameTaken;
    // Another file system, or one that cannot rename without replacing.
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS) return CopyThenRemove(from, to);
    return MoveResult::Failed;
  }

 private:
  std::map<std::string, int> held_;
};

}  // namespace

IFileSystem& RealFileSystem() {
  static RealFs fs;
  return fs;
}

}  // namespace velkor
