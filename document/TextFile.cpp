#include "document/TextFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/Cp932.h"

namespace velkor {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::size_t kReadChunk = 64 * 1024;

// Japanese texts (UTF-8 here) for the errno values a user meets when opening
// and saving documents; nullptr for the rest.
const char* KnownErrorText(int errnum, FileOperation operation) {
  switch (errnum) {
    case ENOENT:
      return operation == FileOperation::Read ? "ファイルが見つかりません。" : "保存先のフォルダーが見つかりません。";
    case ENOTDIR: return "フォルダーの指定が正しくありません。";
    case EACCES:
    case EPERM: return "アクセスが拒否されました。";
    case ENOSPC: return "ディスクの空き領域が不足しています。";
    case EDQUOT: return "ディスクの使用量が上限を超えました。";
    case EISDIR: return "ファイルではなくフォルダーです。";
    case EROFS: return "ディスクは書き込み禁止になっています。";
    case ENAMETOOLONG: return "ファイル名が長すぎます。";
    case EFBIG:
      return operation == FileOperation::Read ? "ファイルが大きすぎるため開けません（上限 512 MB）。"
                                              : "ファイルが大きすぎます。";
    case kNotAPlainFile:
      return operation == FileOperation::Read ? "通常のファイルではないため開けません。"
                                              : "通常のファイルではないため保存できません。";
    case kSymbolicLink:
      return operation == FileOperation::Read ? "シンボリック リンクのため開けません。"
                                              : "シンボリック リンクのため保存できません。";
    case kNotYourFile:
      return operation == FileOperation::Read ? "ほかのユーザーのファイルのため開けません。"
                                              : "ほかのユーザーのファイルのため保存できません。";
    case EIO: return "ディスクの読み書き中にエラーが発生しました。";
    case ELOOP: return "シンボリック リンクの参照が多すぎます。";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます。";
    case EBUSY:
    case ETXTBSY: return "ファイルは使用中です。";
    case ENOMEM: return "メモリが不足しています。";
    default: return nullptr;
  }
}

FileResult Failure(int errnum, const std::string& path, FileOperation operation) {
  FileResult result;
  result.error = FileErrorMessage(errnum, path, operation);
  return result;
}

class PosixSystemCalls : public ISystemCalls {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
  int Close(int fd) override { return ::close(fd); }
  ssize_t Read(int fd, void* buffer, std::size_t count) override { return ::read(fd, buffer, count); }
  ssize_t Write(int fd, const void* buffer, std::size_t count) override { return ::write(fd, buffer, count); }
  int Fsync(int fd) override { return ::fsync(fd); }
  int Fstat(int fd, struct stat* info) override { return ::fstat(fd, info); }
  int Fchmod(int fd, mode_t mode) override { return ::fchmod(fd, mode); }
  int Fchown(int fd, uid_t owner, gid_t group) override { return ::fchown(fd, owner, group); }
  int Ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
  off_t Lseek(int fd, off_t offset, int whence) override { return ::lseek(fd, offset, whence); }
  int Stat(const char* path, struct stat* info) override { return ::stat(path, info); }
  int Lstat(const char* path, struct stat* info) override { return ::lstat(path, info); }
  int Access(const char* path, int mode) override { return ::access(path, mode); }
  int Rename(const char* from, const char* to) override { return ::rename(from, to); }
  int Unlink(const char* path) override { return ::unlink(path); }
  std::optional<std::string> RealPath(const char* path) override {
    char* resolved = ::realpath(path, nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string name(resolved);
    std::free(resolved);
    return name;
  }
};

// Closes a descriptor on every path out of a scope unless closed before.
class Descriptor {
 public:
  Descriptor(ISystemCalls& calls, int fd) : calls_(calls), fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) calls_.Close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports close's own failure (0 or errno).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return calls_.Close(fd) == 0 ? 0 : errno;
  }

 private:
  ISystemCalls& calls_;
  int fd_;
};

// The open(2) flags that keep a rule: the user's own files are never opened
// through a symbolic link.
int RuleFlags(FileRule rule) { return rule == FileRule::OwnPlainFile ? O_NOFOLLOW : 0; }

// Whether an open file may be used under `rule`: 0 or the error.
int CheckOpened(const struct stat& info, FileRule rule) {
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return kNotAPlainFile;
  if (rule == FileRule::OwnPlainFile && info.st_uid != ::geteuid()) return kNotYourFile;
  return 0;
}

// The error of a failed open: a link met where none may be is said as such.
int OpenError(FileRule rule) { return rule == FileRule::OwnPlainFile && errno == ELOOP ? kSymbolicLink : errno; }

int ReadDescriptor(ISystemCalls& calls, int fd, std::size_t limit, std::string& out, FileRule rule,
                   std::size_t maxBytes = kMaxFileBytes);

// A file mapped read-only; unmapped with the object.
class MappedBytes : public FileBytes {
 public:
  MappedBytes(void* at, std::size_t size) : at_(at), size_(size) {}
  MappedBytes(const MappedBytes&) = delete;
  MappedBytes& operator=(const MappedBytes&) = delete;
  ~MappedBytes() override { ::munmap(at_, size_); }
  std::string_view Bytes() const override { return {static_cast<const char*>(at_), size_}; }

 private:
  void* at_;
  std::size_t size_;
};

// Reads at most `limit` bytes into `out`; 0 or errno. Only plain files are
// read: the open never waits (a FIFO would block it until a writer came),
// and a device or FIFO is refused before a byte is read from it.
int ReadUpTo(ISystemCalls& calls, const std::string& path, std::size_t limit, std::string& out,
             FileRule rule = FileRule::Any) {
  Descriptor fd(calls, calls.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | RuleFlags(rule), 0));
  if (fd.get() < 0) return OpenError(rule);
  return ReadDescriptor(calls, fd.get(), limit, out, rule);
}

// Reads an open file as ReadUpTo does; files above `maxBytes` are refused.
int ReadDescriptor(ISystemCalls& calls, int fd, std::size_t limit, std::string& out, FileRule rule,
                   std::size_t maxBytes) {
  struct stat info {};
  if (calls.Fstat(fd, &info) != 0) return errno;
  if (const int error = CheckOpened(info, rule); error != 0) return error;
  // A whole-file read stops at the size limit rather than fill the memory.
  if (limit == std::string::npos) {
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) return EFBIG;
    limit = maxBytes + 1;
  }
  try {
    if (S_ISREG(info.st_mode) && info.st_size > 0)
      out.reserve(std::min<std::size_t>(limit, static_cast<std::size_t>(info.st_size) + 1));
    while (out.size() < limit) {
      const std::size_t old = out.size();
      std::size_t want = std::min(kReadChunk, limit - old);
      // Reads stay within the room reserved for the file's size and the one
      // byte that finds its end, so the last read does not double the string.
      if (const std::size_t room = out.capacity() - old; room > 0) want = std::min(want, room);
      out.resize(old + want);
      const ssize_t got = calls.Read(fd, out.data() + old, want);
      if (got < 0) {
        out.resize(old);
        if (errno == EINTR) continue;
        return errno;
      }
      out.resize(old + static_cast<std::size_t>(got));
      if (got == 0) break;
      // The file grew while it was read (or lies about its size).
      if (out.size() > maxBytes) return EFBIG;
    }
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  } catch (const std::length_error&) {
    return EFBIG;
  }
  return 0;
}

int WriteFully(ISystemCalls& calls, int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = calls.Write(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // A write that takes nothing and reports no error would be repeated for
    // ever.
    if (done == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return 0;
}

// The folder part of a path, with its separator ("" for a bare file name).
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// FNV-1a over the bytes: tells a keep copy's new text from any other.
std::uint64_t HashOf(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

// A keep copy: its first line names it, the second gives the file's device
// and inode, the sizes of the old and new texts, the new text's hash and the
// length of the file's name, the third line that name; the old text follows.
constexpr std::string_view kKeepMagic = "VelkorLT keep 1\n";
constexpr char kKeepPrefix[] = ".velkorlt-keep-";
// A keep copy holds a whole document and its header.
constexpr std::size_t kMaxKeepBytes = kMaxFileBytes + 65536;

struct KeepHeader {
  unsigned long long dev = 0, ino = 0, oldSize = 0, newSize = 0, newHash = 0, pathSize = 0;
  std::string path;
  std::string_view old;
};

std::string KeepHeaderText(const std::string& target, const struct stat& info, std::size_t oldSize,
                           std::string_view bytes) {
  std::string header(kKeepMagic);
  for (const unsigned long long n :
       {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
        static_cast<unsigned long long>(oldSize), static_cast<unsigned long long>(bytes.size()),
        static_cast<unsigned long long>(HashOf(bytes)), static_cast<unsigned long long>(target.size())}) {
    header += std::to_string(n) + ' ';
  }
  header.back() = '\n';
  return header + target + '\n';
}

std::optional<KeepHeader> ParseKeep(std::string_view bytes) {
  if (bytes.substr(0, kKeepMagic.size()) != kKeepMagic) return std::nullopt;
  bytes.remove_prefix(kKeepMagic.size());
  KeepHeader h;
  unsigned long long* const fields[] = {&h.dev, &h.ino, &h.oldSize, &h.newSize, &h.newHash, &h.pathSize};
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    const char end = i + 1 == std::size(fields) ? '\n' : ' ';
    const std::size_t stop = bytes.find(end);
    if (stop == std::string_view::npos || stop == 0) return std::nullopt;
    const auto [at, error] = std::from_chars(bytes.data(), bytes.data() + stop, *fields[i]);
    if (error != std::errc() || at != bytes.data() + stop) return std::nullopt;
    bytes.remove_prefix(stop + 1);
  }
  if (bytes.size() < h.pathSize + 1 || bytes[h.pathSize] != '\n') return std::nullopt;
  h.path = std::string(bytes.substr(0, h.pathSize));
  bytes.remove_prefix(h.pathSize + 1);
  if (bytes.size() != h.oldSize) return std::nullopt;
  h.old = bytes;
  return h;
}

class PosixTextFiles : public ITextFiles {
 public:
  explicit PosixTextFiles(ISystemCalls& calls) : calls_(calls) {}

  bool Exists(const std::string& path) const override {
    struct stat info {};
    return calls_.Stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  }

  bool Missing(const std::string& path) const override {
    // A symbolic link that leads nowhere is not missing: something is there.
    struct stat info {};
    const auto gone = [] { return errno == ENOENT || errno == ENOTDIR; };
    return calls_.Stat(path.c_str(), &info) != 0 && gone() && calls_.Lstat(path.c_str(), &info) != 0 && gone();
  }

  FileResult ReadAll(const std::string& path) const override { return Read(path, std::string::npos, FileRule::Any); }

  std::unique_ptr<FileBytes> ReadInPlace(const std::string& path) const override {
    Descriptor fd(calls_, calls_.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0));
    struct stat info {};
    if (fd.get() < 0 || calls_.Fstat(fd.get(), &info) != 0 || CheckOpened(info, FileRule::Any) != 0) return nullptr;
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size > 0 && size <= kMaxFileBytes) {
      void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
      if (at != MAP_FAILED) return std::make_unique<MappedBytes>(at, size);
    }
    return ITextFiles::ReadInPlace(path);
  }

  FileResult ReadPrefix(const std::string& path, std::size_t maxBytes) const override {
    return Read(path, maxBytes, FileRule::Any);
  }

  FileResult ReadOwn(const std::string& path, std::size_t maxBytes) const override {
    return Read(path, maxBytes, FileRule::OwnPlainFile);
  }

  std::string WriteAtomic(const std::string& path, std::string_view bytes) override {
    return Write(path, bytes, FileRule::Any);
  }

  std::string WriteOwn(const std::string& path, std::string_view bytes) override {
    return Write(path, bytes, FileRule::OwnPlainFile);
  }

  Refusal RefusalOf(const std::string& path) const override {
    struct stat info {};
    if (calls_.Lstat(path.c_str(), &info) != 0) return Refusal::None;
    if (S_ISLNK(info.st_mode)) return Refusal::SymbolicLink;
    if (S_ISDIR(info.st_mode)) return Refusal::None;  // said as a folder where it is read
    if (!S_ISREG(info.st_mode)) return Refusal::NotAPlainFile;
    return info.st_uid == ::geteuid() ? Refusal::None : Refusal::NotYourFile;
  }

  void SetKeepFolder(const std::string& folder) override { keepFolder_ = folder; }

  std::vector<std::string> RestoreInterruptedWrites(const std::string& folder) override {
    std::vector<std::string> messages;
    for (const std::string& name : KeepCopiesIn(folder)) {
      if (std::optional<std::string> message = RestoreFrom(folder + name); message) messages.push_back(*message);
    }
    return messages;
  }

 private:
  std::string Write(const std::string& path, std::string_view bytes, FileRule rule) {
    // The user's own files are never written through a link: the name itself
    // is replaced, whatever it is by then.
    const std::string target = rule == FileRule::Any ? ResolveLink(path) : path;
    struct stat info {};
    const bool exists =
        (rule == FileRule::Any ? calls_.Stat(target.c_str(), &info) : calls_.Lstat(target.c_str(), &info)) == 0;
    if (exists && S_ISDIR(info.st_mode)) return FileErrorMessage(EISDIR, path, FileOperation::Write);
    if (exists && S_ISLNK(info.st_mode)) return FileErrorMessage(kSymbolicLink, path, FileOperation::Write);
    // A FIFO or a device is not a document to be replaced.
    if (exists && !S_ISREG(info.st_mode)) return FileErrorMessage(kNotAPlainFile, path, FileOperation::Write);
    if (exists && rule == FileRule::OwnPlainFile && info.st_uid != ::geteuid())
      return FileErrorMessage(kNotYourFile, path, FileOperation::Write);
    // Renaming over a file would bypass its own missing write permission.
    if (exists && calls_.Access(target.c_str(), W_OK) != 0) return FileErrorMessage(errno, path, FileOperation::Write);
    // A new file in place of one with other names would leave them the old text.
    if (exists && info.st_nlink > 1) return WriteInPlace(path, target, bytes, rule);

    std::string temp;
    const std::string folder = FolderOf(target);
    const int fd = CreateTemporary(folder, exists, temp);
    if (fd < 0) return FileErrorMessage(errno, path, FileOperation::Write);
    Descriptor file(calls_, fd);
    int error = 0;
    if (exists) {
      // The owner and group first (a change of owner clears set-ID bits).
      if ((info.st_uid != ::geteuid() || info.st_gid != ::getegid()) &&
          calls_.Fchown(fd, info.st_uid, info.st_gid) != 0) {
        file.Close();
        calls_.Unlink(temp.c_str());
        return WriteInPlace(path, target, bytes, rule);
      }
      error = CopyMode(fd, info.st_mode);
    }
    if (error == 0) error = WriteFully(calls_, fd, bytes);
    if (error == 0 && calls_.Fsync(fd) != 0 && errno != EINVAL) error = errno;
    const int closeError = file.Close();
    if (error == 0) error = closeError;
    if (error == 0 && calls_.Rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
      calls_.Unlink(temp.c_str());
      return FileErrorMessage(error, path, FileOperation::Write);
    }
    SyncFolder(folder);
    return {};
  }

  // A new temporary file beside the target, named after this process so that
  // a later start can tell whether its writer still runs.
  int CreateTemporary(const std::string& folder, bool exists, std::string& temp) {
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temp = folder + ".velkorlt-" + std::to_string(::getpid()) + "-" + std::to_string(++counter_) + ".tmp";
      // A new file gets the usual bits less the umask; an existing file's
      // bits are copied afterwards.
      fd = calls_.Open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    return fd;
  }

  int CopyMode(int fd, mode_t mode) {
    if (calls_.Fchmod(fd, mode & 07777) == 0) return 0;
    // Bits the owner may not set (set-group-ID outside the group) are dropped.
    return calls_.Fchmod(fd, mode & 0777) == 0 ? 0 : errno;
  }

  // Writes the file itself rather than a new one: every name of it, its owner,
  // group and bits stay. The old text (read first) is kept in a keep copy
  // until the new text is on the disk; when the new text cannot be written
  // whole, the old text is put back at once.
  std::string WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes, FileRule rule) {
    std::string old;
    if (const int error = ReadUpTo(calls_, target, std::string::npos, old, rule); error != 0)
      return FileErrorMessage(error, path, FileOperation::Write);
    Descriptor fd(calls_, calls_.Open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | RuleFlags(rule), 0));
    if (fd.get() < 0) return FileErrorMessage(OpenError(rule), path, FileOperation::Write);
    struct stat info {};
    if (calls_.Fstat(fd.get(), &info) != 0) return FileErrorMessage(errno, path, FileOperation::Write);
    if (const int error = CheckOpened(info, rule); error != 0)
      return FileErrorMessage(error, path, FileOperation::Write);
    Keep keep;
    if (const int error = MakeKeepCopy(target, info, old, bytes, keep); error != 0)
      return FileErrorMessage(error, path, FileOperation::Write);
    int error = Rewrite(fd.get(), bytes);
    // Only a file holding one whole text lets the keep copy go; otherwise the
    // next start puts the old text back from it.
    const bool whole = error == 0 || Rewrite(fd.get(), old) == 0;
    const int closeError = fd.Close();
    if (error == 0) error = closeError;
    if (whole) DropKeepCopy(keep);
    ReleaseKeepCopy(keep);
    return error == 0 ? std::string() : FileErrorMessage(error, path, FileOperation::Write);
  }

  // The whole content of an open file replaced by `bytes`; 0 or errno.
  int Rewrite(int fd, std::string_view bytes) {
    if (calls_.Lseek(fd, 0, SEEK_SET) < 0) return errno;
    if (const int error = WriteFully(calls_, fd, bytes); error != 0) return error;
    if (calls_.Ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    if (calls_.Fsync(fd) != 0 && errno != EINVAL) return errno;
    return 0;
  }

  // A keep copy being written or in place, held locked by this program.
  struct Keep {
    std::string path;
    std::string folder;
    int fd = -1;
  };

  // The keep folder when it can be used, else the target's own folder.
  std::vector<std::string> KeepFolders(const std::string& target) {
    std::vector<std::string> folders;
    if (!keepFolder_.empty() && (calls_.Mkdir(keepFolder_.c_str(), 0700) == 0 || errno == EEXIST))
      folders.push_back(keepFolder_);
    if (folders.empty() || folders.front() != FolderOf(target)) folders.push_back(FolderOf(target));
    return folders;
  }

  // Writes the old text of `target` to a keep copy, locked, on the disk and
  // under its final name before the target is touched; 0 or errno.
  int MakeKeepCopy(const std::string& target, const struct stat& info, const std::string& old, std::string_view bytes,
                   Keep& keep) {
    const std::string name = calls_.RealPath(target.c_str()).value_or(target);
    const std::string header = KeepHeaderText(name, info, old.size(), bytes);
    int error = 0;
    for (const std::string& folder : KeepFolders(target)) {
      DropStaleKeepCopies(folder, info);
      std::string temp;
      keep.fd = CreateTemporary(folder, true, temp);
      if (keep.fd < 0) {
        error = errno;
        continue;
      }
      keep.folder = folder;
      keep.path = folder + kKeepPrefix + std::to_string(::getpid()) + "-" + std::to_string(++counter_);
      error = calls_.Flock(keep.fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
      if (error == 0) error = WriteFully(calls_, keep.fd, header);
      if (error == 0) error = WriteFully(calls_, keep.fd, old);
      if (error == 0 && calls_.Fsync(keep.fd) != 0 && errno != EINVAL) error = errno;
      if (error == 0 && calls_.Rename(temp.c_str(), keep.path.c_str()) != 0) error = errno;
      if (error == 0) {
        SyncFolder(folder);
        return 0;
      }
      calls_.Unlink(temp.c_str());
      ReleaseKeepCopy(keep);
    }
    return error;
  }

  void DropKeepCopy(Keep& keep) {
    if (keep.fd < 0) return;
    calls_.Unlink(keep.path.c_str());
    SyncFolder(keep.folder);
  }

  void ReleaseKeepCopy(Keep& keep) {
    if (keep.fd >= 0) calls_.Close(keep.fd);
    keep.fd = -1;
  }

  // Keep copies of the file `info` describes whose writers ended: the text
  // about to be written replaces what they would put back.
  void DropStaleKeepCopies(const std::string& folder, const struct stat& info) {
    for (const std::string& name : KeepCopiesIn(folder)) {
      const std::string path = folder + name;
      Descriptor fd(calls_, calls_.Open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
      if (fd.get() < 0 || calls_.Flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
      std::string bytes;
      if (ReadDescriptor(calls_, fd.get(), std::string::npos, bytes, FileRule::OwnPlainFile, kMaxKeepBytes) != 0)
        continue;
      const std::optional<KeepHeader> header = ParseKeep(bytes);
      if (header && header->dev == static_cast<unsigned long long>(info.st_dev) &&
          header->ino == static_cast<unsigned long long>(info.st_ino))
        calls_.Unlink(path.c_str());
    }
  }

  static std::vector<std::string> KeepCopiesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name.substr(0, sizeof kKeepPrefix - 1) == kKeepPrefix) names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
  }

  // Puts back the old text from one keep copy whose writer ended; the message
  // for the user, or nothing when there was nothing to put back.
  std::optional<std::string> RestoreFrom(const std::string& keepPath) {
    Descriptor fd(calls_, calls_.Open(keepPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
    // A copy still locked belongs to a write going on now.
    if (fd.get() < 0 || calls_.Flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return std::nullopt;
    std::string bytes;
    if (ReadDescriptor(calls_, fd.get(), std::string::npos, bytes, FileRule::OwnPlainFile, kMaxKeepBytes) != 0)
      return std::nullopt;
    const std::optional<KeepHeader> keep = ParseKeep(bytes);
    if (!keep) return std::nullopt;  // not a copy this program wrote: left alone
    struct stat info {};
    std::string now;
    // A file that is gone or was replaced as a whole holds a whole text.
    if (calls_.Lstat(keep->path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<unsigned long long>(info.st_dev) != keep->dev ||
        static_cast<unsigned long long>(info.st_ino) != keep->ino ||
        ReadUpTo(calls_, keep->path, std::string::npos, now, FileRule::Any) != 0) {
      calls_.Unlink(keepPath.c_str());
      return std::nullopt;
    }
    const bool complete = now.size() == keep->newSize && HashOf(now) == keep->newHash;
    if (complete || now == keep->old) {
      calls_.Unlink(keepPath.c_str());
      return std::nullopt;
    }
    Descriptor target(calls_, calls_.Open(keep->path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
    const int error = target.get() < 0 ? errno : Rewrite(target.get(), keep->old);
    if (error != 0) {
      return cp932::FromUtf8("保存の途中で終わったファイルを元に戻せません：") +
             FileErrorMessage(error, keep->path, FileOperation::Write);
    }
    calls_.Unlink(keepPath.c_str());
    SyncFolder(FolderOf(keepPath));
    return cp932::FromUtf8("保存の途中で終わったため、保存する前の内容に戻しました「" + keep->path + "」");
  }

  FileResult Read(const std::string& path, std::size_t limit, FileRule rule) const {
    FileResult result;
    if (const int error = ReadUpTo(calls_, path, limit, result.bytes, rule); error != 0)
      return Failure(error, path, FileOperation::Read);
    result.ok = true;
    return result;
  }

  // The file a name stands for: a symbolic link is followed to the file it
  // names, so that saving replaces that file and keeps the link.
  std::string ResolveLink(const std::string& path) const {
    struct stat info {};
    if (calls_.Lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    // A dangling link is written as named.
    return calls_.RealPath(path.c_str()).value_or(path);
  }

  // Makes the rename itself durable; a failure here loses nothing already
  // written, so it is not reported.
  void SyncFolder(const std::string& folder) const {
    const int fd = calls_.Open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return;
    calls_.Fsync(fd);
    calls_.Close(fd);
  }

  ISystemCalls& calls_;
  unsigned long counter_ = 0;
  std::string keepFolder_;
};

}  // namespace

int ISystemCalls::Flock(int fd, int operation) { return ::flock(fd, operation); }

int ISystemCalls::Mkdir(const char* path, mode_t mode) { return ::mkdir(path, mode); }

namespace {

int RefusalError(Refusal refusal) {
  switch (refusal) {
    case Refusal::SymbolicLink: return kSymbolicLink;
    case Refusal::NotAPlainFile: return kNotAPlainFile;
    case Refusal::NotYourFile: return kNotYourFile;
    case Refusal::None: break;
  }
  return 0;
}

}  // namespace

FileResult ITextFiles::ReadOwn(const std::string& path, std::size_t maxBytes) const {
  if (const Refusal refusal = RefusalOf(path); refusal != Refusal::None)
    return Failure(RefusalError(refusal), path, FileOperation::Read);
  return maxBytes == std::string::npos ? ReadAll(path) : ReadPrefix(path, maxBytes);
}

std::string ITextFiles::WriteOwn(const std::string& path, std::string_view bytes) {
  if (const Refusal refusal = RefusalOf(path); refusal != Refusal::None)
    return FileErrorMessage(RefusalError(refusal), path, FileOperation::Write);
  return WriteAtomic(path, bytes);
}

namespace {

// A file read whole into memory of its own (aligned as operator new aligns).
class ReadBytes : public FileBytes {
 public:
  explicit ReadBytes(std::string bytes) : size_(bytes.size()), bytes_(new std::max_align_t[Units(size_)]) {
    std::memcpy(bytes_.get(), bytes.data(), size_);
  }
  std::string_view Bytes() const override { return {reinterpret_cast<const char*>(bytes_.get()), size_}; }

 private:
  static std::size_t Units(std::size_t size) { return size / sizeof(std::max_align_t) + 1; }
  std::size_t size_;
  std::unique_ptr<std::max_align_t[]> bytes_;
};

}  // namespace

std::unique_ptr<FileBytes> ITextFiles::ReadInPlace(const std::string& path) const {
  FileResult read = ReadAll(path);
  if (!read.ok) return nullptr;
  return std::make_unique<ReadBytes>(std::move(read.bytes));
}

ISystemCalls& RealSystemCalls() {
  static PosixSystemCalls calls;
  return calls;
}

ITextFiles& RealTextFiles() {
  static PosixTextFiles files(RealSystemCalls());
  return files;
}

std::unique_ptr<ITextFiles> MakeTextFiles(ISystemCalls& calls) { return std::make_unique<PosixTextFiles>(calls); }

std::string FileErrorMessage(int errnum, const std::string& path, FileOperation operation) {
  std::string text;
  if (const char* known = KnownErrorText(errnum, operation)) {
    text = known;
  } else {
    text = std::strerror(errnum);
  }
  return cp932::FromUtf8(text + "「" + path + "」");
}

namespace {

// The first `c` in [from, end), or end.
const char* Next(const char* from, const char* end, char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found == nullptr ? end : static_cast<const char*>(found);
}

// Every CR is followed by LF and every LF follows a CR: nothing to normalise.
bool AllBreaksAreCrLf(std::string_view bytes) {
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  for (const char* cr = Next(begin, end, kCr); cr != end; cr = Next(cr + 1, end, kCr)) {
    if (cr + 1 == end || cr[1] != kLf) return false;
  }
  for (const char* lf = Next(begin, end, kLf); lf != end; lf = Next(lf + 1, end, kLf)) {
    if (lf == begin || lf[-1] != kCr) return false;
  }
  return true;
}

}  // namespace

std::string NormaliseLineBreaks(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  // Runs between line breaks are copied whole; the breaks are found with
  // memchr, which matters for files of hundreds of megabytes.
  const char* const end = bytes.data() + bytes.size();
  const char* run = bytes.data();
  const char* cr = Next(run, end, kCr);
  const char* lf = Next(run, end, kLf);
  while (run != end) {
    const char* const brk = std::min(cr, lf);
    out.append(run, static_cast<std::size_t>(brk - run));
    if (brk == end) break;
    out += "\r\n";
    run = brk + 1;
    if (*brk == kCr && run != end && *run == kLf) ++run;
    if (cr < run) cr = Next(run, end, kCr);
    if (lf < run) lf = Next(run, end, kLf);
  }
  return out;
}

FileResult LoadTextFile(const ITextFiles& files, const std::string& path, FileRule rule) {
  FileResult result = rule == FileRule::Any ? files.ReadAll(path) : files.ReadOwn(path, std::string::npos);
  if (!result.ok) {
    result.bytes.clear();
  } else if (!AllBreaksAreCrLf(result.bytes)) {
    // A file in the program's own form is kept as read, without a second copy.
    result.bytes = NormaliseLineBreaks(result.bytes);
  }
  return result;
}

std::string SaveTextFile(ITextFiles& files, const std::string& path, std::string_view text, FileRule rule) {
  return rule == FileRule::Any ? files.WriteAtomic(path, text) : files.WriteOwn(path, text);
}

std::string SlotPreview(const ITextFiles& files, const std::string& path, std::string_view prefix) {
  std::string preview(prefix);
  switch (files.RefusalOf(path)) {
    case Refusal::SymbolicLink: return preview + cp932::FromUtf8("シンボリック リンクのため使えません");
    case Refusal::NotAPlainFile: return preview + cp932::FromUtf8("通常のファイルではないため使えません");
    case Refusal::NotYourFile: return preview + cp932::FromUtf8("ほかのユーザーのファイルのため使えません");
    case Refusal::None: break;
  }
  if (!files.Exists(path)) return preview + cp932::FromUtf8("空");
  // Joining the lines never makes the text shorter, so the first 401 bytes of
  // the file decide the first 401 bytes of the joined text: 400 to keep and
  // one more to tell whether byte 400 is the second half of a character.
  constexpr std::size_t kRead = kSlotPreviewBytes + 1;
  const FileResult read = files.ReadOwn(path, kRead);
  if (!read.ok) return preview + cp932::FromUtf8("読み込めません");
  std::string joined = NormaliseLineBreaks(read.bytes);
  // The last line gets its CR LF when the file does not end with a break. A
  // cut-off read is long enough that this CR LF would lie past the limit.
  const bool whole = read.bytes.size() < kRead;
  if (whole && !read.bytes.empty() && read.bytes.back() != kCr && read.bytes.back() != kLf) joined += "\r\n";
  if (joined.size() > kSlotPreviewBytes) joined.resize(cp932::FloorCharBoundary(joined, kSlotPreviewBytes));
  return preview + joined;
}

std::string SlotPath(const std::string& dataDir, int n) {
  std::string digits = std::to_string(n);
  if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
  return dataDir + "文書" + digits + ".txt";
}

std::optional<int> SlotNumberOf(std::string_view cellText) {
  if (cellText.size() != 2) return std::nullopt;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!digit(cellText[0]) || !digit(cellText[1])) return std::nullopt;
  return (cellText[0] - '0') * 10 + (cellText[1] - '0');
}

}  // namespace velkor
