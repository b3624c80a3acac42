// Text files: the file layer under opening, saving and the document slots, and
// the rules that turn a file's bytes into edit-area text and slot previews.
//
// Files hold code page 932 bytes with CR LF line breaks, no byte-order mark and
// no line break added after the last line. File names are native (UTF-8 here).
// Error texts are code page 932, ready to be shown to the user.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// The outcome of a read: the bytes when `ok`, else a message for the user.
struct FileResult {
  bool ok = false;
  std::string bytes;
  std::string error;  // code page 932; empty when ok
};

// A file's bytes, held for as long as the object lives: the file mapped into
// memory where the system can (a large data file is then neither copied nor
// read before its pages are used), else read whole. The bytes start at an
// address aligned for any scalar.
class FileBytes {
 public:
  virtual ~FileBytes() = default;
  virtual std::string_view Bytes() const = 0;
};

// What makes a name unfit to be one of the user's own files (a document slot,
// the learning), seen without following a symbolic link.
enum class Refusal { None, SymbolicLink, NotAPlainFile, NotYourFile };

// Whole-file reads and writes on native file names; a seam for tests.
class ITextFiles {
 public:
  virtual ~ITextFiles() = default;
  // A file (anything but a folder) exists under this name.
  virtual bool Exists(const std::string& path) const = 0;
  // Nothing at all exists under this name (a folder, or a name that cannot be
  // looked up, is not missing).
  virtual bool Missing(const std::string& path) const { return !Exists(path); }
  virtual FileResult ReadAll(const std::string& path) const = 0;
  // The whole file for reading in place (the program's own data files, which
  // are replaced whole, never written in place); nothing when it cannot be
  // read. This one reads it with ReadAll.
  virtual std::unique_ptr<FileBytes> ReadInPlace(const std::string& path) const;
  // At most `maxBytes` bytes from the start of the file.
  virtual FileResult ReadPrefix(const std::string& path, std::size_t maxBytes) const = 0;
  // Replaces the file's content with `bytes`, or creates the file. Either the
  // whole new content is in place afterwards or the previous file is untouched.
  // Returns "" on success, else a message for the user (code page 932).
  virtual std::string WriteAtomic(const std::string& path, std::string_view bytes) = 0;

  // The files that are the user's own (the document slots, the learning) are
  // plain files of this user: a symbolic link, a device or FIFO, or a file of
  // another user is refused. None for a missing name and for such a file.
  virtual Refusal RefusalOf(const std::string& /*path*/) const { return Refusal::None; }
  // ReadPrefix (std::string::npos: the whole file) and WriteAtomic for those
  // files: a refused name is neither read nor written, and the message says
  // why; a link put in the file's place meanwhile is replaced, never written
  // through.
  virtual FileResult ReadOwn(const std::string& path, std::size_t maxBytes) const;
  virtual std::string WriteOwn(const std::string& path, std::string_view bytes);

  // A file with several names is written in place; until its new text is
  // complete and on the disk, its old text is kept in `folder` (a folder of
  // the program's own, made when missing; beside the file when it cannot be
  // used).
  virtual void SetKeepFolder(const std::string& /*folder*/) {}
  // Puts back the old text of every file whose write in place was cut short
  // (its writer ended during it), from the copies kept in `folder`; one
  // message (code page 932) for each file put back or left as it was.
  virtual std::vector<std::string> RestoreInterruptedWrites(const std::string& /*folder*/) { return {}; }
};

// The file system as it is (POSIX). WriteAtomic writes a temporary file in the
// target's folder, flushes it to the disk and renames it over the target; a
// failure removes the temporary file. An existing file keeps its permission
// bits, its owner and its group; a file without write permission is not
// replaced. A symbolic link is followed, so the file it names is replaced,
// not the link. A file with several names (hard links), or one whose owner or
// group a new file could not be given, is written in place instead, so every
// name sees the new text: first a keep copy of its old text is written and
// flushed to the disk (".velkorlt-keep-PID-N" in the keep folder, locked by
// its writer for as long as the write lasts), then the new text, and only
// when that is on the disk does the keep copy go. A failure puts the old text
// back at once; a write cut short by the end of the program (a kill, a power
// loss) is put back by RestoreInterruptedWrites at the next start, so every
// name holds either the old text or the new one.
ITextFiles& RealTextFiles();

// The system calls under the file layer, one function each, so that a test can
// make any of them fail. Each behaves as its POSIX namesake: on failure it
// returns -1 and sets errno (RealPath: nothing, errno set).
class ISystemCalls {
 public:
  virtual ~ISystemCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode) = 0;
  virtual int Close(int fd) = 0;
  virtual ssize_t Read(int fd, void* buffer, std::size_t count) = 0;
  virtual ssize_t Write(int fd, const void* buffer, std::size_t count) = 0;
  virtual int Fsync(int fd) = 0;
  virtual int Fstat(int fd, struct stat* info) = 0;
  virtual int Fchmod(int fd, mode_t mode) = 0;
  virtual int Fchown(int fd, uid_t owner, gid_t group) = 0;
  virtual int Ftruncate(int fd, off_t length) = 0;
  virtual off_t Lseek(int fd, off_t offset, int whence) = 0;
  virtual int Stat(const char* path, struct stat* info) = 0;
  virtual int Lstat(const char* path, struct stat* info) = 0;
  virtual int Access(const char* path, int mode) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
  virtual int Unlink(const char* path) = 0;
  // realpath(3): the absolute name with every link resolved.
  virtual std::optional<std::string> RealPath(const char* path) = 0;
  // flock(2) and mkdir(2).
  virtual int Flock(int fd, int operation);
  virtual int Mkdir(const char* path, mode_t mode);
};

// The calls as the system makes them; RealTextFiles() runs on these.
ISystemCalls& RealSystemCalls();

// The file layer of RealTextFiles() over other system calls. `calls` must
// outlive the result.
std::unique_ptr<ITextFiles> MakeTextFiles(ISystemCalls& calls);

enum class FileOperation { Read, Write };

// The largest file that is read whole: far more than anyone writes with the
// board, little enough that the edit area can still hold it.
inline constexpr std::size_t kMaxFileBytes = std::size_t{512} * 1024 * 1024;
// The error of a name that is neither a plain file nor a folder (a FIFO, a
// device): never opened for reading or replaced. Not an errno value.
inline constexpr int kNotAPlainFile = -1000;
// The errors of a name refused by the rules of the user's own files: a
// symbolic link, a file of another user. Not errno values.
inline constexpr int kSymbolicLink = -1001;
inline constexpr int kNotYourFile = -1002;

// The message for a failed file operation: a Japanese text for the common
// errno values (strerror's text for the rest), followed by the path in
// brackets. Code page 932.
std::string FileErrorMessage(int errnum, const std::string& path, FileOperation operation);

// Every line break (CR LF, a lone CR, a lone LF) becomes CR LF. A CR or LF is
// never the second byte of a double-byte character, so this works on bytes.
std::string NormaliseLineBreaks(std::string_view bytes);

// A file's content as edit-area text: the whole file with its line breaks
// normalised. On failure the result carries the message and no bytes.
// Which files a read or write may touch: any (a document the user named), or
// only the user's own plain files (ITextFiles::ReadOwn, WriteOwn).
enum class FileRule { Any, OwnPlainFile };

FileResult LoadTextFile(const ITextFiles& files, const std::string& path, FileRule rule = FileRule::Any);

// Writes the edit-area text unchanged (no byte-order mark, no final line break
// added). "" on success, else the message.
std::string SaveTextFile(ITextFiles& files, const std::string& path, std::string_view text,
                         FileRule rule = FileRule::Any);

// The longest preview of a slot file, in bytes.
inline constexpr std::size_t kSlotPreviewBytes = 400;

// The status text for a document slot: `prefix` (code page 932, "開く：" or
// "保存：") followed by
//   - "空" when no file `path` exists;
//   - the file's lines, each followed by CR LF (a line ends at CR, LF or
//     CR LF), cut to the first 400 bytes and never inside a double-byte
//     character; an empty file gives the prefix alone;
//   - "読み込めません" when the file exists but cannot be read;
//   - why a file that is not the user's own plain file is not used
//     ("シンボリック リンクのため使えません" ...): a slot is never read
//     through a link.
// Reads only the start of the file.
std::string SlotPreview(const ITextFiles& files, const std::string& path, std::string_view prefix);

// The file of document slot n: dataDir + "文書" + n as two digits + ".txt",
// UTF-8. `dataDir` ends with a path separator.
std::string SlotPath(const std::string& dataDir, int n);

// The slot number written in a slot cell: exactly two ASCII digits "00".."99".
std::optional<int> SlotNumberOf(std::string_view cellText);

}  // namespace velkor
