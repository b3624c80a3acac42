// Learning what the user writes: ranking, the file across a restart, the size
// cap, a damaged file and forgetting.
#include "input/Learning.h"

#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

std::vector<std::string> Utf8(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const auto& t : texts) out.push_back(cp932::ToUtf8(t));
  return out;
}

TEST(Learning, MostUsedFirstAndOfThoseTheMostRecent) {
  Learning learning;
  learning.Learn(Sj("かんご"), Sj("看護"));
  learning.Learn(Sj("かんごし"), Sj("看護師"));
  learning.Learn(Sj("かんごし"), Sj("看護師"));
  learning.Learn(Sj("かんじ"), Sj("漢字"));
  learning.Learn(Sj("からだ"), Sj("体の向きを変えてください。"));
  EXPECT_EQ(Utf8(learning.Candidates(Sj("かん"), 8)), (std::vector<std::string>{"看護師", "漢字", "看護"}));
  EXPECT_EQ(Utf8(learning.Candidates(Sj("から"), 8)), std::vector<std::string>{"体の向きを変えてください。"});
  EXPECT_EQ(learning.Candidates(Sj("かん"), 1).size(), 1u);
  EXPECT_TRUE(learning.Candidates(Sj("さ"), 8).empty());
  learning.Learn(Sj("かんご"), Sj("看護"));  // now as often as 看護師, and later
  EXPECT_EQ(Utf8(learning.Candidates(Sj("かんご"), 8)), (std::vector<std::string>{"看護", "看護師"}));
  learning.Learn("", Sj("空"));  // nothing to learn without a reading
  EXPECT_EQ(learning.Size(), 4u);
}

TEST(Learning, WhatWasLearnedIsThereAfterARestart) {
  FakeTextFiles files;
  const std::string path = "/home/u/.local/share/VelkorLT/learning.txt";
  Learning before;
  before.Learn(Sj("からだ"), Sj("体の向きを変えてください。"));
  before.Learn(Sj("たん"), Sj("痰を吸引してください。"));
  before.Learn(Sj("たん"), Sj("痰を吸引してください。"));
  ASSERT_EQ(before.Save(files, path), "");

  Learning after;
  EXPECT_EQ(after.Load(files, path), "");
  EXPECT_EQ(after.Serialise(), before.Serialise());
  // Learning goes on where it stopped: a new use is later than the stored ones.
  after.Learn(Sj("からだ"), Sj("体の向きを変えてください。"));
  after.Learn(Sj("からだ"), Sj("体を拭いてください。"));
  after.Learn(Sj("からだ"), Sj("体を拭いてください。"));
  EXPECT_EQ(cp932::ToUtf8(after.Candidates(Sj("からだ"), 8).front()), "体を拭いてください。");

  Learning fresh;
  EXPECT_EQ(fresh.Load(files, "/nowhere/learning.txt"), "") << "no file yet is a fresh start, said nothing";
  EXPECT_EQ(fresh.Size(), 0u);
}

TEST(Learning, AtTheCapTheRarestAndOldestGoFirst) {
  Learning learning;
  learning.Learn(Sj("よく"), Sj("良く"));
  learning.Learn(Sj("よく"), Sj("良く"));
  for (std::size_t i = 0; i < Learning::kMaxEntries + 10; ++i) learning.Learn("r" + std::to_string(i), "t");
  EXPECT_EQ(learning.Size(), Learning::kMaxEntries);
  EXPECT_EQ(learning.Candidates(Sj("よく"), 1).size(), 1u) << "used twice: kept";
  EXPECT_TRUE(learning.Candidates("r0", 1).empty()) << "the oldest of the once-used went";
  EXPECT_EQ(learning.Candidates("r" + std::to_string(Learning::kMaxEntries + 9), 1).size(), 1u);
}

TEST(Learning, ADamagedFileStartsAfreshAndSaysSo) {
  const std::string valid = "VelkorLT learning 1\n2\t5\t" + Sj("たん") + "\t" + Sj("痰") + "\n";
  const std::string damaged[] = {
      "",                                   // empty
      "something else\n",                   // not a learning file
      valid.substr(0, valid.size() - 1),    // cut short
      "VelkorLT learning 1\nx\t5\tr\tt\n",  // a count that is no number
      "VelkorLT learning 1\n2\t5\tr\n",     // a field missing
      "VelkorLT learning 1\n0\t5\tr\tt\n",  // never used
  };
  FakeTextFiles files;
  for (const std::string& bytes : damaged) {
    files.files["/l.txt"] = bytes;
    Learning learning;
    learning.Learn(Sj("まえ"), Sj("前"));
    EXPECT_EQ(cp932::ToUtf8(learning.Load(files, "/l.txt")), "学習の記録が読めないため、新しく学習を始めます");
    EXPECT_EQ(learning.Size(), 0u);
  }
  files.unreadable.insert("/l.txt");
  Learning unreadable;
  EXPECT_FALSE(unreadable.Load(files, "/l.txt").empty());
  files.unreadable.clear();
  files.files["/l.txt"] = valid;
  Learning learning;
  EXPECT_EQ(learning.Load(files, "/l.txt"), "");
  EXPECT_EQ(cp932::ToUtf8(learning.Candidates(Sj("た"), 8).front()), "痰");
}

TEST(Learning, ForgettingLeavesNothing) {
  FakeTextFiles files;
  Learning learning;
  learning.Learn(Sj("かんご"), Sj("看護"));
  learning.Forget();
  EXPECT_TRUE(learning.Candidates("", 8).empty());
  ASSERT_EQ(learning.Save(files, "/l.txt"), "");
  EXPECT_EQ(files.files["/l.txt"], "VelkorLT learning 1\n");
  Learning reloaded;
  EXPECT_EQ(reloaded.Load(files, "/l.txt"), "");
  EXPECT_EQ(reloaded.Size(), 0u);
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

std::vector<std::string> Forms(const std::vector<Word>& words) {
  std::vector<std::string> out;
  for (const auto& w : words) out.push_back(cp932::ToUtf8(w.form));
  return out;
}

// What was written right after a text, kept in a second file beside the
// first: the first keeps the format every version reads, the second skips a
// damaged line and keeps the rest, and forgetting empties both.
TEST(Learning, WhatWasWrittenAfterATextIsKeptBesideTheFirstFile) {
  FakeTextFiles files;
  const std::string path = "/home/u/.local/share/VelkorLT/learning.txt";
  EXPECT_EQ(Learning::AfterPath(path), "/home/u/.local/share/VelkorLT/learning-after.txt");
  Learning before;
  before.Learn(Sj("かんごし"), Sj("看護師"));
  before.LearnAfter(Sj("看護師"), Sj("をよんで"), Sj("を呼んで"));
  before.LearnAfter(Sj("看護師"), Sj("をよんで"), Sj("を呼んで"));
  before.LearnAfter(Sj("看護師"), Sj("がくる"), Sj("が来る"));
  before.LearnAfter(Sj("薬"), Sj("をのむ"), Sj("を飲む"));
  before.LearnAfter("", Sj("を"), Sj("を"));  // nothing before: not learned
  // A tab or a line break would break the file's lines: never learned.
  before.LearnAfter(Sj("看護師") + "\t", Sj("を"), Sj("を"));
  before.Learn(Sj("かんご"), Sj("看護") + "\r\n");
  before.Learn(Sj("かん\tご"), Sj("看護"));
  EXPECT_EQ(before.SizeAfter(), 3u);
  EXPECT_EQ(Forms(before.WordsAfter(Sj("看護師"), "", 8)), (std::vector<std::string>{"を呼んで", "が来る"}));
  EXPECT_EQ(Forms(before.WordsAfter(Sj("看護師"), Sj("が"), 8)), std::vector<std::string>{"が来る"});
  EXPECT_TRUE(before.WordsAfter(Sj("医師"), "", 8).empty());
  EXPECT_EQ(before.Candidates(Sj("を"), 8).size(), 0u) << "not offered without the text before";
  ASSERT_EQ(before.Save(files, path), "");
  EXPECT_EQ(files.files[path], "VelkorLT learning 1\n1\t1\t" + Sj("かんごし") + "\t" + Sj("看護師") + "\n")
      << "the first file as every version writes it";

  Learning after;
  EXPECT_EQ(after.Load(files, path), "");
  EXPECT_EQ(after.SerialiseAfter(), before.SerialiseAfter());
  EXPECT_EQ(after.Serialise(), before.Serialise());
  after.LearnAfter(Sj("看護師"), Sj("がくる"), Sj("が来る"));
  after.LearnAfter(Sj("看護師"), Sj("がくる"), Sj("が来る"));
  EXPECT_EQ(Forms(after.WordsAfter(Sj("看護師"), "", 1)), std::vector<std::string>{"が来る"})
      << "used more now, and later than the stored uses";

  // A damaged line of the second file is skipped; the others stay, and the
  // first file is read whatever the second holds.
  std::string second = files.files[Learning::AfterPath(path)];
  second.insert(second.find('\n') + 1, "x\t1\ta\tb\tc\n2\t3\tonly\tthree\n");
  files.files[Learning::AfterPath(path)] = second + "1\t9\t" + Sj("薬");  // cut short
  Learning damaged;
  EXPECT_EQ(damaged.Load(files, path), "");
  EXPECT_EQ(damaged.SizeAfter(), 3u);
  EXPECT_EQ(damaged.Size(), 1u);
  files.files[Learning::AfterPath(path)] = "something else\n";
  Learning notAFile;
  EXPECT_FALSE(notAFile.Load(files, path).empty()) << "said";
  EXPECT_EQ(notAFile.Size(), 1u) << "the first file kept";

  after.Forget();
  ASSERT_EQ(after.Save(files, path), "");
  EXPECT_EQ(files.files[Learning::AfterPath(path)], "VelkorLT learning after 1\n");
}

}  // namespace
}  // namespace velkor::testing
