#include "document/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

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

// Reads at most `limit` bytes into `out`; 0 or errno. Only plain files are
// read: the open never waits (a FIFO would block it until a writer came),
// and a device or FIFO is refused before a byte is read from it.
int ReadUpTo(ISystemCalls& calls, const std::string& path, std::size_t limit, std::string& out) {
  Descriptor fd(calls, calls.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0));
  if (fd.get() < 0) return errno;
  struct stat info {};
  if (calls.Fstat(fd.get(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return kNotAPlainFile;
  // A whole-file read stops at the size limit rather than fill the memory.
  if (limit == std::string::npos) {
    if (static_cast<unsigned long long>(info.st_size) > kMaxFileBytes) return EFBIG;
    limit = kMaxFileBytes + 1;
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
      const ssize_t got = calls.Read(fd.get(), out.data() + old, want);
      if (got < 0) {
        out.resize(old);
        if (errno == EINTR) continue;
        return errno;
      }
      out.resize(old + static_cast<std::size_t>(got));
      if (got == 0) break;
      // The file grew while it was read (or lies about its size).
      if (out.size() > kMaxFileBytes) return EFBIG;
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

class PosixTextFiles : public ITextFiles {
 public:
  explicit PosixTextFiles(ISystemCalls& calls) : calls_(calls) {}

  bool Exists(const std::string& path) const override {
    struct stat info {};
    return calls_.Stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  }

  bool Missing(const std::string& path) const override {
    struct stat info {};
    return calls_.Stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
  }

  FileResult ReadAll(const std::string& path) const override { return Read(path, std::string::npos); }

  FileResult ReadPrefix(const std::string& path, std::size_t maxBytes) const override { return Read(path, maxBytes); }

  std::string WriteAtomic(const std::string& path, std::string_view bytes) override {
    const std::string target = ResolveLink(path);
    struct stat info {};
    const bool exists = calls_.Stat(target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) return FileErrorMessage(EISDIR, path, FileOperation::Write);
    // A FIFO or a device is not a document to be replaced.
    if (exists && !S_ISREG(info.st_mode)) return FileErrorMessage(kNotAPlainFile, path, FileOperation::Write);
    // Renaming over a file would bypass its own missing write permission.
    if (exists && calls_.Access(target.c_str(), W_OK) != 0) return FileErrorMessage(errno, path, FileOperation::Write);
    // A new file in place of one with other names would leave them the old text.
    if (exists && info.st_nlink > 1) return WriteInPlace(path, target, bytes);

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
        return WriteInPlace(path, target, bytes);
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

 private:
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
  // group and bits stay. When the new text cannot be written whole, the old
  // text (read first) is put back.
  std::string WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes) {
    std::string old;
    if (const int error = ReadUpTo(calls_, target, std::string::npos, old); error != 0)
      return FileErrorMessage(error, path, FileOperation::Write);
    Descriptor fd(calls_, calls_.Open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK, 0));
    if (fd.get() < 0) return FileErrorMessage(errno, path, FileOperation::Write);
    int error = Rewrite(fd.get(), bytes);
    if (error != 0) Rewrite(fd.get(), old);
    const int closeError = fd.Close();
    if (error == 0) error = closeError;
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

  FileResult Read(const std::string& path, std::size_t limit) const {
    FileResult result;
    if (const int error = ReadUpTo(calls_, path, limit, result.bytes); error != 0)
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
};

}  // namespace

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

FileResult LoadTextFile(const ITextFiles& files, const std::string& path) {
  FileResult result = files.ReadAll(path);
  if (!result.ok) {
    result.bytes.clear();
  } else if (!AllBreaksAreCrLf(result.bytes)) {
    // A file in the program's own form is kept as read, without a second copy.
    result.bytes = NormaliseLineBreaks(result.bytes);
  }
  return result;
}

std::string SaveTextFile(ITextFiles& files, const std::string& path, std::string_view text) {
  return files.WriteAtomic(path, text);
}

std::string SlotPreview(const ITextFiles& files, const std::string& path, std::string_view prefix) {
  std::string preview(prefix);
  if (!files.Exists(path)) return preview + cp932::FromUtf8("空");
  // Joining the lines never makes the text shorter, so the first 401 bytes of
  // the file decide the first 401 bytes of the joined text: 400 to keep and
  // one more to tell whether byte 400 is the second half of a character.
  constexpr std::size_t kRead = kSlotPreviewBytes + 1;
  const FileResult read = files.ReadPrefix(path, kRead);
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
