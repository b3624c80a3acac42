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
