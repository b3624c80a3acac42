#include <fcntl.h>
#include <signal.h>
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

 private:
  std::map<std::string, int> held_;
};

}  // namespace

IFileSystem& RealFileSystem() {
  static RealFs fs;
  return fs;
}

}  // namespace velkor
