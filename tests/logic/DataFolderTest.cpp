// Where the document slots are kept: beside a program in a folder of its own,
// in the per-user folder when installed or run from the build folder (which a
// clean build deletes whole); documents an earlier version kept in the build
// folder are moved out at start without overwriting anything, and the user
// is told where they went.
#include "form/DataFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "document/TextFile.h"
#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

const std::string kProgram = "/src/velkorlt/build/";
const std::string kBuildData = kProgram + "Data/";
const std::string kUserFolder = "/home/user/.local/share/";
const std::string kUserData = kUserFolder + "VelkorLT/Data/";
const std::string kAside = kUserFolder + "VelkorLT/Data-from-build/";

TEST(DataFolder, WhereTheSlotsWouldBeIsFoundWithoutCreatingAnything) {
  const std::string beside = "/opt/velkor/Data/";
  const std::string perUser = kUserData;
  struct Case {
    const char* name;
    ProgramPlace place;
    std::set<std::string> dirs, unwritable;
    std::string expected;
  } cases[] = {
      {"own folder, Data/ there", ProgramPlace::OwnFolder, {"/opt/velkor/", beside}, {}, beside},
      {"own folder, Data/ still to be made", ProgramPlace::OwnFolder, {"/opt/velkor/"}, {}, beside},
      {"own folder that cannot be written", ProgramPlace::OwnFolder, {"/opt/velkor/"}, {"/opt/velkor/"}, perUser},
      {"own Data/ that cannot be written", ProgramPlace::OwnFolder, {"/opt/velkor/", beside}, {beside}, perUser},
      {"installed, even with a Data/ beside it", ProgramPlace::Installed, {"/opt/velkor/", beside}, {}, perUser},
      {"the build folder, even with a Data/ in it", ProgramPlace::BuildTree, {"/opt/velkor/", beside}, {}, perUser},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem fs;
    fs.dirs = c.dirs;
    fs.unwritable = c.unwritable;
    EXPECT_EQ(DataDirToBe(fs, c.place, beside, perUser), c.expected);
    EXPECT_EQ(fs.dirs, c.dirs);
    EXPECT_TRUE(fs.created.empty());
  }
}

class BuildFolderStart : public ::testing::Test {
 protected:
  BuildFolderStart() {
    fake_.shell.programFolder = kProgram;
    fake_.shell.userDataFolder = kUserFolder;
    fake_.shell.place = ProgramPlace::BuildTree;
    fake_.fs.dirs = {kProgram, kUserFolder};
    fake_.store.SetCp932("Option", "0,2,0,1,0,0,0,0,0,0");  // dwell: messages on the status line
  }
  std::unique_ptr<MainForm> Start() {
    fake_.pnlMsg.message.clear();
    auto form = std::make_unique<MainForm>(fake_.Get());
    EXPECT_TRUE(form->FormCreate());
    form->FormShow();
    return form;
  }
  std::string Notice() const { return cp932::ToUtf8(fake_.pnlMsg.message); }
  std::map<std::string, std::string>& Files() { return fake_.files.files; }

  FakePlatform fake_;
};

TEST_F(BuildFolderStart, KeepsTheSlotsInThePerUserFolderAndSaysWhereAtTheFirstStart) {
  auto form = Start();
  EXPECT_EQ(form->State().dataDir, kUserData);
  EXPECT_FALSE(fake_.fs.DirectoryExists(kBuildData));
  EXPECT_EQ(Notice(), "文書は " + kUserData + " に保存します（ビルドのフォルダーの中には置きません）");
  form.reset();
  auto again = Start();
  EXPECT_EQ(Notice(), "") << "said once, at the first start";
}

TEST_F(BuildFolderStart, AnInstalledProgramSaysWhereAtTheFirstStartToo) {
  fake_.shell.place = ProgramPlace::Installed;
  auto form = Start();
  EXPECT_EQ(form->State().dataDir, kUserData);
  EXPECT_EQ(Notice(), "文書は " + kUserData + " に保存します");
}

TEST_F(BuildFolderStart, MovesTheBuildFoldersDocumentsOutWithoutOverwritingAny) {
  fake_.fs.dirs.insert({kBuildData, kUserData});
  Files()[SlotPath(kBuildData, 0)] = "build zero";
  Files()[SlotPath(kBuildData, 5)] = "build five";
  Files()[SlotPath(kUserData, 5)] = "user five";
  Files()[kBuildData + ".unsaved-0.txt"] = "unsaved in the build";
  Files()[kBuildData + ".unsaved-0.lock"] = "";
  auto form = Start();
  EXPECT_EQ(Files()[SlotPath(kUserData, 0)], "build zero");
  EXPECT_EQ(Files()[SlotPath(kUserData, 5)], "user five") << "a document of the same name is never overwritten";
  EXPECT_EQ(Files()[SlotPath(kAside, 5)], "build five");
  // The recovery copy came along and was recovered into the lowest empty slot.
  EXPECT_EQ(Files()[SlotPath(kUserData, 1)], "unsaved in the build");
  EXPECT_FALSE(fake_.fs.DirectoryExists(kBuildData)) << "the emptied folder is removed";
  for (const auto& [path, bytes] : Files()) EXPECT_NE(path.rfind(kBuildData, 0), 0u) << path;
  const std::string notice = Notice();
  EXPECT_NE(notice.find("ビルドのフォルダーの " + kBuildData + " にあったファイル 3 個を " + kUserData +
                        " に移しました（同じ名前がすでにあった 1 個は " + kAside + " に）"),
            std::string::npos)
      << notice;
  EXPECT_NE(notice.find("未保存の文書を文書01.txt に保存しました"), std::string::npos) << notice;
}

TEST_F(BuildFolderStart, ALaterMoveKeepsItsClashesInAFolderOfItsOwn) {
  fake_.fs.dirs.insert({kBuildData, kUserData, kAside});
  Files()[SlotPath(kAside, 5)] = "kept aside before";
  Files()[SlotPath(kUserData, 5)] = "user five";
  Files()[SlotPath(kBuildData, 5)] = "build five";
  Start();
  const std::string second = kUserFolder + "VelkorLT/Data-from-build-2/";
  EXPECT_EQ(Files()[SlotPath(second, 5)], "build five");
  EXPECT_EQ(Files()[SlotPath(kAside, 5)], "kept aside before");
  EXPECT_EQ(Files()[SlotPath(kUserData, 5)], "user five");
  EXPECT_NE(Notice().find(second), std::string::npos) << Notice();
}

TEST_F(BuildFolderStart, WhatCannotBeMovedStaysAndIsNamed) {
  fake_.fs.dirs.insert({kBuildData, kUserData});
  Files()[SlotPath(kBuildData, 1)] = "moves";
  Files()[SlotPath(kBuildData, 2)] = "stuck";
  fake_.fs.unmovable.insert(SlotPath(kBuildData, 2));
  Start();
  EXPECT_EQ(Files()[SlotPath(kUserData, 1)], "moves");
  EXPECT_EQ(Files()[SlotPath(kBuildData, 2)], "stuck");
  EXPECT_TRUE(fake_.fs.DirectoryExists(kBuildData));
  EXPECT_NE(Notice().find("ファイル 1 個を"), std::string::npos) << Notice();
  EXPECT_NE(Notice().find(kBuildData + " から移せなかったもの：文書02.txt"), std::string::npos) << Notice();
}

TEST_F(BuildFolderStart, NothingIsMovedWhileAProgramRunsFromTheBuildFolder) {
  fake_.fs.dirs.insert({kBuildData, kUserData});
  Files()[SlotPath(kBuildData, 3)] = "in use";
  Files()[kBuildData + ".unsaved-0.lock"] = "";
  fake_.fs.heldElsewhere.insert(kBuildData + ".unsaved-0.lock");
  auto form = Start();
  EXPECT_EQ(form->State().dataDir, kUserData);
  EXPECT_EQ(Files()[SlotPath(kBuildData, 3)], "in use");
  EXPECT_FALSE(fake_.files.Exists(SlotPath(kUserData, 3)));
  EXPECT_NE(Notice().find(kBuildData + " のファイルは、そこから動いているプログラムが使っているため、移していません"),
            std::string::npos)
      << Notice();
}

TEST_F(BuildFolderStart, AProgramInAFolderOfItsOwnKeepsItsDataFolder) {
  fake_.shell.place = ProgramPlace::OwnFolder;
  fake_.fs.dirs.insert(kBuildData);
  Files()[SlotPath(kBuildData, 0)] = "stays";
  auto form = Start();
  EXPECT_EQ(form->State().dataDir, kBuildData);
  EXPECT_EQ(Files()[SlotPath(kBuildData, 0)], "stays");
  EXPECT_EQ(Notice(), "");
}

// The real file system: a move never replaces a file of the same name, within
// one file system (a rename) or across two (a copy, then the original
// removed), and a failed move leaves both names as they were.
class RealMove : public ::testing::Test {
 protected:
  static std::string Folder(const std::filesystem::path& under) {
    std::string pattern = (under / "velkor-move-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
  }
  static void Write(const std::string& path, const std::string& bytes) { std::ofstream(path) << bytes; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void TearDown() override {
    for (const std::string& dir : made_) std::filesystem::remove_all(dir);
  }
  void Check(const std::string& from, const std::string& to) {
    IFileSystem& fs = RealFileSystem();
    Write(from + "a", "from");
    Write(to + "b", "there");
    EXPECT_EQ(fs.MoveWithoutReplacing(from + "a", to + "b"), MoveResult::NameTaken);
    EXPECT_EQ(Read(from + "a"), "from");
    EXPECT_EQ(Read(to + "b"), "there");
    EXPECT_EQ(fs.MoveWithoutReplacing(from + "a", to + "c"), MoveResult::Moved);
    EXPECT_FALSE(std::filesystem::exists(from + "a"));
    EXPECT_EQ(Read(to + "c"), "from");
    EXPECT_EQ(fs.MoveWithoutReplacing(from + "a", to + "d"), MoveResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(to + "d"));
  }
  std::vector<std::string> made_;
};

TEST_F(RealMove, WithinOneFileSystem) {
  const std::string dir = Folder(std::filesystem::temp_directory_path());
  ASSERT_FALSE(dir.empty());
  made_.push_back(dir);
  Check(dir, dir);
}

TEST_F(RealMove, AcrossTwoFileSystems) {
  // /dev/shm is a file system of its own beside the temporary folder's.
  const std::string from = Folder(std::filesystem::temp_directory_path());
  const std::string to = Folder("/dev/shm");
  ASSERT_FALSE(from.empty());
  made_.push_back(from);
  ASSERT_FALSE(to.empty()) << "/dev/shm cannot be written";
  made_.push_back(to);
  struct stat a {
  }, b{};
  ASSERT_EQ(::stat(from.c_str(), &a), 0);
  ASSERT_EQ(::stat(to.c_str(), &b), 0);
  ASSERT_NE(a.st_dev, b.st_dev) << "the temporary folder lies on /dev/shm: set TMPDIR elsewhere";
  Check(from, to);
}

}  // namespace
}  // namespace velkor::testing
