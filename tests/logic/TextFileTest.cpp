#include "document/TextFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "core/Cp932.h"
#include "tests/logic/FakePlatform.h"

using namespace std::string_literals;
using namespace velkor;
using velkor::cp932::FromUtf8;

namespace {

// Files in memory; a path in `unreadable` exists but every read of it fails.
class MemoryTextFiles : public ITextFiles {
 public:
  bool Exists(const std::string& path) const override { return files.count(path) != 0; }
  FileResult ReadAll(const std::string& path) const override {
    ++wholeReads;
    return ReadPrefix(path, std::string::npos);
  }
  FileResult ReadPrefix(const std::string& path, std::size_t maxBytes) const override {
    largestRead = std::max(largestRead, maxBytes);
    FileResult result;
    const auto it = files.find(path);
    if (it == files.end() || unreadable.count(path) != 0) {
      result.error = "cannot read " + path;
      return result;
    }
    result.ok = true;
    result.bytes = it->second.substr(0, maxBytes);
    return result;
  }
  std::string WriteAtomic(const std::string& path, std::string_view bytes) override {
    files[path] = std::string(bytes);
    return {};
  }

  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  mutable int wholeReads = 0;
  mutable std::size_t largestRead = 0;
};

// The preview as the whole file gives it: its lines, each followed by CR LF,
// cut to 400 bytes on a character boundary.
std::string WholeFilePreview(const std::string& content) {
  std::string joined, line;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char b = content[i];
    if (b == '\r' || b == '\n') {
      joined += line + "\r\n";
      line.clear();
      if (b == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    } else {
      line += b;
    }
  }
  if (!line.empty()) joined += line + "\r\n";
  if (joined.size() > 400) joined.resize(cp932::FloorCharBoundary(joined, 400));
  return joined;
}

const std::string kOpen = FromUtf8("開く：");

}  // namespace

TEST(TextFile, LineBreaksBecomeCrLf) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"a\r\nb", "a\r\nb"},
      {"a\rb\nc", "a\r\nb\r\nc"},
      {"\n\r", "\r\n\r\n"},
      {"\r\r\n\n", "\r\n\r\n\r\n"},
      {"end\r", "end\r\n"},
      {"\x82\r\x82\n\x82\xa0", "\x82\r\n\x82\r\n\x82\xa0"},  // a lead byte never takes a break
      {"a\0b\r"s, "a\0b\r\n"s},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(::testing::PrintToString(in));
    EXPECT_EQ(NormaliseLineBreaks(in), out);
  }
}

TEST(TextFile, LoadingNormalisesAndFailureKeepsTheMessage) {
  MemoryTextFiles files;
  files.files["/d/a.txt"] = "x\ny";
  files.files["/d/locked.txt"] = "secret";
  files.unreadable.insert("/d/locked.txt");

  const FileResult loaded = LoadTextFile(files, "/d/a.txt");
  EXPECT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.bytes, "x\r\ny");
  const FileResult failed = LoadTextFile(files, "/d/locked.txt");
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.bytes, "");
  EXPECT_EQ(failed.error, "cannot read /d/locked.txt");
}

TEST(TextFile, SlotPreviewShowsTheStartOfTheFile) {
  const std::string a = FromUtf8("あ");
  const std::string x399(399, 'x');
  const struct {
    const char* name;
    std::optional<std::string> content;  // nullopt: no file
    std::string preview;                 // after the prefix
  } cases[] = {
      {"no file", std::nullopt, FromUtf8("空")},
      {"empty file", "", ""},
      {"one line", "abc", "abc\r\n"},
      {"one line with its break", "abc\r\n", "abc\r\n"},
      {"every break", "a\rb\nc\r\n\n", "a\r\nb\r\nc\r\n\r\n"},
      {"long file", std::string(1000, 'y'), std::string(400, 'y')},
      {"exactly 400 bytes", std::string(398, 'y') + "\r\n", std::string(398, 'y') + "\r\n"},
      {"cut after a break", std::string(398, 'y') + "\n" + "z", std::string(398, 'y') + "\r\n"},
      {"a double-byte character across the limit", x399 + a + "tail", x399},
      {"a double-byte character ending at the limit", std::string(398, 'x') + a + "tail", std::string(398, 'x') + a},
      {"the last character of a 400-byte file", x399 + "\x82", x399 + "\x82"},
      {"a lead byte before a break at the limit", x399 + "\x82\r\nmore", x399 + "\x82"},
      {"breaks that grow past the limit", std::string(200, '\n') + "z",
       [] {
         std::string s;
         for (int i = 0; i < 200; ++i) s += "\r\n";
         return s;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryTextFiles files;
    if (c.content) files.files["/d/s.txt"] = *c.content;
    EXPECT_EQ(SlotPreview(files, "/d/s.txt", kOpen), kOpen + c.preview);
    EXPECT_EQ(files.wholeReads, 0);
    EXPECT_LE(files.largestRead, 401u);
  }

  MemoryTextFiles files;
  files.files["/d/s.txt"] = "abc";
  files.unreadable.insert("/d/s.txt");
  EXPECT_EQ(SlotPreview(files, "/d/s.txt", kOpen), kOpen + FromUtf8("読み込めません"));
}

// Reading only the start of a file gives what reading all of it would give.
TEST(TextFile, SlotPreviewEqualsTheWholeFilePreview) {
  std::mt19937 random(20240611);
  const std::string pieces[] = {"a", "\r", "\n", "\r\n", "\x82\xa0", "\x82", "\x93\x5c", "\xb1", "\x81\x81"};
  for (int round = 0; round < 3000; ++round) {
    std::string content;
    const std::size_t target = 380 + random() % 60;
    while (content.size() < target) content += pieces[random() % std::size(pieces)];
    if (random() % 2) content.resize(target);
    SCOPED_TRACE(::testing::PrintToString(content));
    MemoryTextFiles files;
    files.files["f"] = content;
    const std::string preview = SlotPreview(files, "f", kOpen);
    ASSERT_EQ(preview, kOpen + WholeFilePreview(content));
    ASSERT_LE(preview.size() - kOpen.size(), 400u);
  }
}

TEST(TextFile, SlotPathsAndSlotNumbers) {
  EXPECT_EQ(SlotPath("/opt/velkor/Data/", 0), "/opt/velkor/Data/文書00.txt");
  EXPECT_EQ(SlotPath("/opt/velkor/Data/", 7), "/opt/velkor/Data/文書07.txt");
  EXPECT_EQ(SlotPath("/d/", 99), "/d/文書99.txt");

  const std::pair<std::string, std::optional<int>> cases[] = {
      {"00", 0},
      {"07", 7},
      {"42", 42},
      {"99", 99},
      {"", std::nullopt},
      {"0", std::nullopt},
      {"100", std::nullopt},
      {" 1", std::nullopt},
      {"1a", std::nullopt},
      {"-1", std::nullopt},
      {FromUtf8("０１"), std::nullopt},
      {"0\0"s, std::nullopt},
  };
  for (const auto& [cell, number] : cases) EXPECT_EQ(SlotNumberOf(cell), number) << ::testing::PrintToString(cell);
}

TEST(TextFile, ErrorMessagesNameTheProblemAndThePath) {
  const struct {
    int errnum;
    FileOperation operation;
    const char* text;
  } cases[] = {
      {ENOENT, FileOperation::Read, "ファイルが見つかりません。"},
      {ENOENT, FileOperation::Write, "保存先のフォルダーが見つかりません。"},
      {EACCES, FileOperation::Read, "アクセスが拒否されました。"},
      {EPERM, FileOperation::Write, "アクセスが拒否されました。"},
      {ENOSPC, FileOperation::Write, "ディスクの空き領域が不足しています。"},
      {EISDIR, FileOperation::Read, "ファイルではなくフォルダーです。"},
      {EROFS, FileOperation::Write, "ディスクは書き込み禁止になっています。"},
      {ENAMETOOLONG, FileOperation::Write, "ファイル名が長すぎます。"},
      {EFBIG, FileOperation::Write, "ファイルが大きすぎます。"},
      {EIO, FileOperation::Read, "ディスクの読み書き中にエラーが発生しました。"},
      {ENOTDIR, FileOperation::Read, "フォルダーの指定が正しくありません。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FileErrorMessage(c.errnum, "/home/u/メモ.txt", c.operation),
              FromUtf8(std::string(c.text) + "「/home/u/メモ.txt」"));
  }
  EXPECT_EQ(FileErrorMessage(EINVAL, "/a", FileOperation::Read),
            FromUtf8(std::string(std::strerror(EINVAL)) + "「/a」"));
}

namespace {

// A fresh folder for each test, removed with its files afterwards.
class RealTextFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/velkor-textfile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern + "/";
  }
  void TearDown() override {
    if (dir_.empty()) return;
    ::chmod(dir_.c_str(), 0700);
    RemoveTree(dir_);
  }

  static void RemoveTree(const std::string& path) {
    for (const std::string& name : Names(path)) {
      const std::string child = path + name;
      struct stat info {};
      if (::lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        RemoveTree(child + "/");
      else
        ::unlink(child.c_str());
    }
    ::rmdir(path.c_str());
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

  static std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  static void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

  static mode_t Mode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
  }

  ITextFiles& files_ = RealTextFiles();
  std::string dir_;
};

}  // namespace

TEST_F(RealTextFilesTest, WritesAndReadsBytesUnchanged) {
  const std::string path = dir_ + "文書03.txt";
  const std::string text = "a\r\nb\0\x82\xa0\x81"s;  // no break at the end, no byte-order mark
  EXPECT_FALSE(files_.Exists(path));
  EXPECT_EQ(SaveTextFile(files_, path, text), "");
  EXPECT_TRUE(files_.Exists(path));
  EXPECT_EQ(Content(path), text);

  const FileResult all = files_.ReadAll(path);
  EXPECT_TRUE(all.ok);
  EXPECT_EQ(all.bytes, text);
  EXPECT_EQ(files_.ReadPrefix(path, 3).bytes, "a\r\n");
  EXPECT_EQ(files_.ReadPrefix(path, 100).bytes, text);

  EXPECT_EQ(files_.WriteAtomic(path, ""), "");
  EXPECT_EQ(Content(path), "");
  EXPECT_EQ(Names(dir_), std::set<std::string>{"文書03.txt"});  // no temporary file left
}

TEST_F(RealTextFilesTest, ReadsLargeFilesWhole) {
  std::string big;
  for (int i = 0; i < 300000; ++i) big += static_cast<char>('a' + i % 26);
  Put(dir_ + "big", big);
  EXPECT_EQ(files_.ReadAll(dir_ + "big").bytes, big);
  EXPECT_EQ(files_.ReadPrefix(dir_ + "big", 70000).bytes, big.substr(0, 70000));
}

// The program's data files (the phrase model) are read in place: mapped, not
// copied. The bytes are the file's whole, aligned for any scalar, and stay
// as they were while the object lives, also when a new file is put in the
// file's place (as a package upgrade does); what is no plain file is not read.
TEST_F(RealTextFilesTest, AFileReadInPlaceIsWholeAlignedAndKeptWhenReplaced) {
  const auto aligned = [](const FileBytes& f) {
    return reinterpret_cast<std::uintptr_t>(f.Bytes().data()) % alignof(std::max_align_t) == 0;
  };
  std::string big;
  for (int i = 0; i < 300000; ++i) big += static_cast<char>('a' + i % 26);
  Put(dir_ + "model", big);
  const std::unique_ptr<FileBytes> mapped = files_.ReadInPlace(dir_ + "model");
  ASSERT_NE(mapped, nullptr);
  EXPECT_EQ(mapped->Bytes(), big);
  EXPECT_TRUE(aligned(*mapped));
  Put(dir_ + "new", "other");
  ASSERT_EQ(::rename((dir_ + "new").c_str(), (dir_ + "model").c_str()), 0);
  EXPECT_EQ(mapped->Bytes(), big) << "the bytes read stay";
  EXPECT_EQ(files_.ReadInPlace(dir_ + "model")->Bytes(), "other");

  Put(dir_ + "empty", "");
  const auto empty = files_.ReadInPlace(dir_ + "empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->Bytes().empty());
  ::mkdir((dir_ + "sub").c_str(), 0700);
  ASSERT_EQ(::mkfifo((dir_ + "fifo").c_str(), 0600), 0);
  for (const std::string name : {"missing", "sub", "fifo"}) EXPECT_EQ(files_.ReadInPlace(dir_ + name), nullptr) << name;
  EXPECT_EQ(files_.ReadInPlace("/dev/zero"), nullptr);

  // A file layer that only reads (the tests' own) gives the same, read.
  velkor::testing::FakeTextFiles fake;
  fake.files["/m"] = big.substr(0, 17);
  const auto read = fake.ReadInPlace("/m");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Bytes(), big.substr(0, 17));
  EXPECT_TRUE(aligned(*read));
  EXPECT_EQ(fake.ReadInPlace("/missing"), nullptr);
}

TEST_F(RealTextFilesTest, FoldersAndMissingFilesAreNotFiles) {
  ::mkdir((dir_ + "sub").c_str(), 0700);
  EXPECT_FALSE(files_.Exists(dir_ + "sub"));
  EXPECT_FALSE(files_.Exists(dir_ + "missing"));

  const FileResult missing = files_.ReadAll(dir_ + "missing");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, FileErrorMessage(ENOENT, dir_ + "missing", FileOperation::Read));
  EXPECT_EQ(files_.ReadPrefix(dir_ + "sub", 10).error, FileErrorMessage(EISDIR, dir_ + "sub", FileOperation::Read));

  EXPECT_EQ(files_.WriteAtomic(dir_ + "sub", "x"), FileErrorMessage(EISDIR, dir_ + "sub", FileOperation::Write));
  EXPECT_EQ(files_.WriteAtomic(dir_ + "nofolder/a.txt", "x"),
            FileErrorMessage(ENOENT, dir_ + "nofolder/a.txt", FileOperation::Write));
  EXPECT_EQ(Names(dir_), std::set<std::string>{"sub"});
  EXPECT_TRUE(Names(dir_ + "sub/").empty());
}

TEST_F(RealTextFilesTest, ReplacingKeepsThePermissionBits) {
  const mode_t modes[] = {0600, 0640, 0604, 0755};
  for (mode_t mode : modes) {
    SCOPED_TRACE(mode);
    const std::string path = dir_ + "m.txt";
    Put(path, "old");
    ::chmod(path.c_str(), mode);
    EXPECT_EQ(files_.WriteAtomic(path, "new"), "");
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(Content(path), "new");
  }

  const mode_t old = ::umask(027);
  EXPECT_EQ(files_.WriteAtomic(dir_ + "fresh.txt", "x"), "");
  ::umask(old);
  EXPECT_EQ(Mode(dir_ + "fresh.txt"), 0640u);
}

TEST_F(RealTextFilesTest, SavingThroughALinkReplacesTheLinkedFile) {
  Put(dir_ + "real.txt", "old");
  ASSERT_EQ(::symlink("real.txt", (dir_ + "link.txt").c_str()), 0);
  EXPECT_EQ(files_.WriteAtomic(dir_ + "link.txt", "new"), "");
  struct stat info {};
  ASSERT_EQ(::lstat((dir_ + "link.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(Content(dir_ + "real.txt"), "new");
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"link.txt", "real.txt"}));
}

// A write that fails half way (here at the file size limit) leaves the
// previous file as it was and no temporary file behind.
TEST_F(RealTextFilesTest, AFailedWriteKeepsThePreviousFile) {
  const std::string path = dir_ + "keep.txt";
  Put(path, "previous content");

  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 1000;
  void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = files_.WriteAtomic(path, std::string(5000, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(error, FileErrorMessage(EFBIG, path, FileOperation::Write));
  EXPECT_EQ(Content(path), "previous content");
  EXPECT_EQ(Names(dir_), std::set<std::string>{"keep.txt"});
}

TEST_F(RealTextFilesTest, PermissionsAreHonoured) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string readOnly = dir_ + "ro.txt";
  Put(readOnly, "keep");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_EQ(files_.WriteAtomic(readOnly, "x"), FileErrorMessage(EACCES, readOnly, FileOperation::Write));
  EXPECT_EQ(Content(readOnly), "keep");

  const std::string secret = dir_ + "secret.txt";
  Put(secret, "s");
  ::chmod(secret.c_str(), 0);
  EXPECT_EQ(files_.ReadAll(secret).error, FileErrorMessage(EACCES, secret, FileOperation::Read));

  ::chmod(dir_.c_str(), 0500);  // a folder that takes no new files
  EXPECT_EQ(files_.WriteAtomic(dir_ + "new.txt", "x"),
            FileErrorMessage(EACCES, dir_ + "new.txt", FileOperation::Write));
  ::chmod(dir_.c_str(), 0700);
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"ro.txt", "secret.txt"}));
}

TEST_F(RealTextFilesTest, SlotPreviewReadsTheRealFile) {
  const std::string path = SlotPath(dir_, 5);
  EXPECT_EQ(SlotPreview(files_, path, kOpen), kOpen + FromUtf8("空"));
  Put(path, std::string(500, 'q') + "\n");
  EXPECT_EQ(SlotPreview(files_, path, kOpen), kOpen + std::string(400, 'q'));
}

// A FIFO or a device in place of a document must never freeze the program in
// a read or fill its memory: it is refused before a byte is read.
TEST_F(RealTextFilesTest, FifosAndDevicesAreRefusedWithoutBlocking) {
  const std::string fifo = dir_ + "文書07.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The three calls run beside the test, which waits for them to finish: a
  // sound program finishes at once. Should one block in open() after all, the
  // wait gives up after half a minute (a guard against hanging, not a measure
  // of speed), a reader and a writer coming then free it, and the test fails
  // instead of hanging.
  struct Results {
    FileResult read;
    std::string preview;
    std::string write;
  };
  std::future<Results> calls = std::async(std::launch::async, [&] {
    return Results{files_.ReadAll(fifo), SlotPreview(files_, fifo, FromUtf8("開く：")),
                   files_.WriteAtomic(fifo, "text")};
  });
  const bool finished = calls.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  if (!finished) {
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    calls.wait();
    if (writer >= 0) ::close(writer);
    if (reader >= 0) ::close(reader);
  }
  const auto [read, preview, write] = calls.get();
  EXPECT_TRUE(finished) << "a call waited for the other end of the FIFO";
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.error, FromUtf8("通常のファイルではないため開けません。「" + fifo + "」"));
  EXPECT_EQ(preview, FromUtf8("開く：通常のファイルではないため使えません"));
  EXPECT_EQ(write, FromUtf8("通常のファイルではないため保存できません。「" + fifo + "」"));
  struct stat info {};
  ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO was replaced";

  const FileResult zero = files_.ReadAll("/dev/zero");
  EXPECT_FALSE(zero.ok);
  EXPECT_TRUE(zero.bytes.empty());
}

TEST_F(RealTextFilesTest, AFileBeyondTheSizeLimitIsRefusedWithAMessage) {
  const std::string path = dir_ + "huge.txt";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxFileBytes) + 1), 0);  // sparse: no disk used
  ::close(fd);
  const FileResult read = files_.ReadAll(path);
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.error, FromUtf8("ファイルが大きすぎるため開けません（上限 512 MB）。「" + path + "」"));
  EXPECT_TRUE(files_.ReadPrefix(path, 10).ok) << "a slot preview reads only the start";
}

// Saving writes the file the user named: every hard link sees the new text,
// and a file of another user keeps its owner and group.
TEST_F(RealTextFilesTest, SavingKeepsHardLinksOwnerAndGroup) {
  const std::string path = dir_ + "文書01.txt";
  const std::string other = dir_ + "other-name.txt";
  Put(path, "old");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  EXPECT_EQ(files_.WriteAtomic(path, "new text"), "");
  EXPECT_EQ(Content(path), "new text");
  EXPECT_EQ(Content(other), "new text");
  EXPECT_EQ(files_.WriteAtomic(path, "ab"), "");  // shorter: nothing of the old tail stays
  EXPECT_EQ(Content(other), "ab");
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"文書01.txt", "other-name.txt"}));

  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another user";
  const std::string theirs = dir_ + "theirs.txt";
  Put(theirs, "old");
  ASSERT_EQ(::chown(theirs.c_str(), 1234, 5678), 0);
  ::chmod(theirs.c_str(), 0640);
  EXPECT_EQ(files_.WriteAtomic(theirs, "new"), "");
  struct stat info {};
  ASSERT_EQ(::stat(theirs.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 1234u);
  EXPECT_EQ(info.st_gid, 5678u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Content(theirs), "new");
}

// The files that are the user's own (the document slots, the learning) are
// plain files of this user: a link, a FIFO or another user's file is refused
// when read, written or previewed, and nothing is ever written through a
// link, even one that leads nowhere yet.
TEST_F(RealTextFilesTest, TheUsersOwnFilesAreNeverUsedThroughALinkADeviceOrAnotherUsersFile) {
  const std::unique_ptr<ITextFiles> files = MakeTextFiles(RealSystemCalls());
  const std::string secret = dir_ + "secret.txt";
  Put(secret, "secret");
  const std::string linked = SlotPath(dir_, 3);
  ASSERT_EQ(::symlink(secret.c_str(), linked.c_str()), 0);
  const std::string dangling = SlotPath(dir_, 4);
  ASSERT_EQ(::symlink((dir_ + "nowhere.txt").c_str(), dangling.c_str()), 0);
  const std::string fifo = SlotPath(dir_, 5);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string own = SlotPath(dir_, 6);
  Put(own, "mine");

  struct Case {
    std::string path;
    Refusal refusal;
    int error;
    const char* preview;
  };
  const Case cases[] = {
      {linked, Refusal::SymbolicLink, kSymbolicLink, "シンボリック リンクのため使えません"},
      {dangling, Refusal::SymbolicLink, kSymbolicLink, "シンボリック リンクのため使えません"},
      {fifo, Refusal::NotAPlainFile, kNotAPlainFile, "通常のファイルではないため使えません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(files->RefusalOf(c.path), c.refusal);
    EXPECT_FALSE(files->Missing(c.path));
    const FileResult read = files->ReadOwn(c.path, std::string::npos);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, FileErrorMessage(c.error, c.path, FileOperation::Read));
    EXPECT_EQ(LoadTextFile(*files, c.path, FileRule::OwnPlainFile).error, read.error);
    EXPECT_EQ(files->WriteOwn(c.path, "overwritten"), FileErrorMessage(c.error, c.path, FileOperation::Write));
    EXPECT_EQ(SlotPreview(*files, c.path, kOpen), kOpen + FromUtf8(c.preview));
  }
  EXPECT_EQ(FromUtf8("シンボリック リンクのため保存できません。「" + linked + "」"),
            FileErrorMessage(kSymbolicLink, linked, FileOperation::Write));
  EXPECT_EQ(Content(secret), "secret");
  EXPECT_EQ(Names(dir_).count("nowhere.txt"), 0u) << "written through a link that led nowhere";
  struct stat info {};
  ASSERT_EQ(::lstat(linked.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  // A document the user named is still followed through its link.
  EXPECT_EQ(LoadTextFile(*files, linked).bytes, "secret");

  EXPECT_EQ(files->RefusalOf(own), Refusal::None);
  EXPECT_EQ(files->ReadOwn(own, 2).bytes, "mi");
  EXPECT_EQ(files->WriteOwn(own, "new"), "");
  EXPECT_EQ(Content(own), "new");
  EXPECT_EQ(files->RefusalOf(SlotPath(dir_, 7)), Refusal::None) << "a missing slot is free";
  EXPECT_EQ(files->WriteOwn(SlotPath(dir_, 7), "fresh"), "");

  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another user";
  const std::string theirs = SlotPath(dir_, 8);
  Put(theirs, "theirs");
  ASSERT_EQ(::chown(theirs.c_str(), 1234, 1234), 0);
  EXPECT_EQ(files->RefusalOf(theirs), Refusal::NotYourFile);
  EXPECT_EQ(files->ReadOwn(theirs, 400).error, FileErrorMessage(kNotYourFile, theirs, FileOperation::Read));
  EXPECT_EQ(files->WriteOwn(theirs, "x"), FileErrorMessage(kNotYourFile, theirs, FileOperation::Write));
  EXPECT_EQ(SlotPreview(*files, theirs, kOpen), kOpen + FromUtf8("ほかのユーザーのファイルのため使えません"));
  EXPECT_EQ(Content(theirs), "theirs");
}
