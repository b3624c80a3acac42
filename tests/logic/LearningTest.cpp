// Learning what the user writes: ranking, the file across a restart, the size
// cap, damaged lines, escaped texts, forgetting, and two programs sharing the
// file.
#include "input/Learning.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "core/Cp932.h"
#include "form/MainForm.h"
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

// Each damaged line costs that line alone: the others are kept, the user is
// told how many were skipped and where the file will be kept, and the first
// write keeps the damaged file beside before it replaces it.
TEST(Learning, EachDamagedLineIsSkippedAloneAndTheDamagedFileIsKeptBeside) {
  const std::string a = "2\t5\t" + Sj("たん") + "\t" + Sj("痰") + "\n";
  const std::string b = "1\t6\t" + Sj("からだ") + "\t" + Sj("体の向きを変えてください。") + "\n";
  const std::string c = "3\t7\t" + Sj("みず") + "\t" + Sj("水") + "\n";
  const std::string v1 = "VelkorLT learning 1\n";
  const std::string v2 = "VelkorLT learning 2\t0\n";
  const auto crlf = [](std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
    return text;
  };
  struct Case {
    const char* name;
    std::string file;
    std::size_t damaged;
  };
  const Case cases[] = {
      {"a count of 0", v1 + a + "0\t5\tr\tt\n" + b + c, 1},
      {"a last line cut off", v1 + a + b + c + "2\t9\t" + Sj("たん"), 1},
      {"a count too large for any number", v1 + a + "99999999999999999999\t5\tr\tt\n" + b + c, 1},
      {"a count above any real use", v1 + a + b + "2000000000\t5\tr\tt\n" + c, 1},
      {"a use stamp too large", v1 + a + b + c + "2\t9999999999999999\tr\tt\n", 1},
      {"the header missing", a + b + c, 1},
      {"an unknown header", "VelkorLT learning 9\n" + a + b + c, 1},
      {"a field missing", v1 + a + "2\t5\tr\n" + b + c, 1},
      {"a count that is no number", v1 + "x\t5\tr\tt\n" + a + b + c, 1},
      {"an empty text", v2 + a + "2\t5\tr\t\n" + b + c, 1},
      {"a broken escape", v2 + a + b + "2\t5\tr\tab\\q\n" + c, 1},
      {"a tab in a text of the first version", v1 + a + b + c + "2\t5\tr\tt\tu\n", 1},
      {"an empty line", v2 + a + "\n" + b + c, 1},
      {"two damaged lines", v1 + a + "0\t5\tr\tt\n" + b + "2\t5\tr\n" + c, 2},
      // Line ends from another editor damage nothing: each line reads whole.
      {"CR LF line ends", crlf(v1 + a + b + c), 0},
      {"CR LF line ends and a count of 0", crlf(v2 + a + b + "0\t5\tr\tt\n" + c), 1},
  };
  const std::string path = "/home/u/.local/share/VelkorLT/learning.txt";
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    FakeTextFiles files;
    FakeFileSystem fs;
    files.files[path] = k.file;
    Learning learning;
    const std::string said = cp932::ToUtf8(learning.Load(files, path));
    EXPECT_EQ(learning.Size(), 3u) << "the good lines are kept";
    EXPECT_EQ(learning.DamagedLines(), k.damaged);
    EXPECT_EQ(Utf8(learning.Candidates(Sj("たん"), 8)), std::vector<std::string>{"痰"});
    EXPECT_EQ(Utf8(learning.Candidates(Sj("からだ"), 8)), std::vector<std::string>{"体の向きを変えてください。"});
    if (k.damaged == 0) {
      EXPECT_EQ(said, "");
      continue;
    }
    EXPECT_NE(said.find("学習の記録の " + std::to_string(k.damaged) + " 行が読めないため、読み飛ばしました"),
              std::string::npos)
        << said;
    const std::size_t named = said.find(path + ".damaged-");
    ASSERT_NE(named, std::string::npos) << "the message says where the file will be kept: " << said;
    const std::string copy = said.substr(named, said.find(' ', named) - named);

    // Nothing learned: the file stays as it is, damage and all.
    files.unwritable.insert(path);
    EXPECT_EQ(learning.Sync(files, fs, path), "");
    EXPECT_EQ(files.files[path], k.file);
    EXPECT_FALSE(files.Exists(copy));

    files.unwritable.clear();
    learning.Learn(Sj("かんご"), Sj("看護"));
    EXPECT_EQ(learning.Sync(files, fs, path), "") << "said at start already";
    EXPECT_EQ(files.files[copy], k.file) << "the damaged file, byte for byte, where the start said";
    Learning after;
    EXPECT_EQ(after.Load(files, path), "");
    EXPECT_EQ(after.Size(), 4u);
    EXPECT_EQ(after.DamagedLines(), 0u);
  }
}

TEST(Learning, AFileWithNothingReadableStartsAfreshAndKeepsTheFile) {
  const std::string path = "/l/learning.txt";
  for (const std::string& bytes : {std::string(), std::string("garbage"), std::string("something else\n"),
                                  std::string("VelkorLT learning 1\nx\t5\tr\tt\n")}) {
    SCOPED_TRACE(bytes);
    FakeTextFiles files;
    FakeFileSystem fs;
    files.files[path] = bytes;
    Learning learning;
    const std::string said = cp932::ToUtf8(learning.Load(files, path));
    EXPECT_EQ(said.rfind("学習の記録が読めないため、新しく学習を始めます（元のファイルは書き換える前に " + path + ".damaged-", 0),
              0u)
        << said;
    EXPECT_EQ(learning.Size(), 0u);
    learning.Learn(Sj("まえ"), Sj("前"));
    ASSERT_EQ(learning.Sync(files, fs, path), "");
    std::size_t copies = 0;
    for (const auto& [name, content] : files.files) {
      if (name.rfind(path + ".damaged-", 0) == 0) {
        ++copies;
        EXPECT_EQ(content, bytes);
      }
    }
    EXPECT_EQ(copies, 1u);
  }
}

TEST(Learning, AFileThatCannotBeReadIsNeverWritten) {
  FakeTextFiles files;
  FakeFileSystem fs;
  files.files["/l.txt"] = "VelkorLT learning 1\n";
  files.unreadable.insert("/l.txt");
  Learning learning;
  const std::string said = learning.Load(files, "/l.txt");
  EXPECT_NE(cp932::ToUtf8(said).find("学習の記録が読めないため、今回の学習はこの実行の間だけ使います"), std::string::npos);
  learning.Learn(Sj("まえ"), Sj("前"));
  EXPECT_EQ(learning.Sync(files, fs, "/l.txt"), said) << "said again where the write fails";
  EXPECT_TRUE(learning.Unsaved());
  EXPECT_EQ(files.files["/l.txt"], "VelkorLT learning 1\n");
}

// Texts from documents made elsewhere hold tabs and line breaks; a backslash
// is also the second byte of many characters (ソ, 表). Every one comes back
// from the file as it was learned.
TEST(Learning, EveryTextRoundTripsThroughTheFile) {
  const std::string texts[] = {
      Sj("右の\t欄に書いてください。"),
      Sj("一行目\r\n二行目です。"),
      Sj("ソフトの表示") + "\\n\\" + Sj("です"),
      std::string("\x83\t", 2) + Sj("。"),  // a lead byte alone before a tab
      std::string("abc\x83"),                // a lead byte alone at the end
      std::string("\\x41\\\\t"),
      std::string("\r\n\t\\"),
  };
  FakeTextFiles files;
  FakeFileSystem fs;
  Learning learning;
  for (std::size_t i = 0; i < std::size(texts); ++i) learning.Learn("r" + std::to_string(i) + "\t\\", texts[i]);
  ASSERT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  const std::string& file = files.files["/l.txt"];
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(std::size(texts) + 1));
  Learning after;
  EXPECT_EQ(after.Load(files, "/l.txt"), "");
  EXPECT_EQ(after.DamagedLines(), 0u);
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(after.Candidates("r" + std::to_string(i) + "\t\\", 8), std::vector<std::string>{texts[i]});
  }
  EXPECT_EQ(after.Serialise(), learning.Serialise());
}

// What was written right after a text is offered after the same text again,
// survives the file and a restart, stays out of the other look-ups (the row's
// words, the sentences, the reading of a text), and is forgotten with the rest.
TEST(Learning, WhatWasWrittenAfterATextComesBackAfterItAlone) {
  FakeTextFiles files;
  FakeFileSystem fs;
  Learning learning;
  learning.LearnAfter(Sj("看護師さんを"), Sj("よんでください"), Sj("呼んでください"));
  learning.LearnAfter(Sj("看護師さんを"), Sj("よんでください"), Sj("呼んでください"));
  learning.LearnAfter(Sj("看護師さんを"), Sj("みて"), Sj("見て"));
  learning.LearnAfter(Sj("薬を"), Sj("のむ"), Sj("飲む。"));
  learning.LearnAfter("", Sj("のむ"), Sj("飲む"));  // nothing before: not learned
  ASSERT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  Learning next;
  ASSERT_EQ(next.Load(files, "/l.txt"), "");
  EXPECT_EQ(next.Size(), 3u);
  const std::vector<Word> after = next.WordsAfter(Sj("看護師さんを"), "", 5);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], (Word{Sj("呼んでください"), Sj("よんでください")})) << "the most used first";
  EXPECT_EQ(next.WordsAfter(Sj("看護師さんを"), Sj("み"), 5), (std::vector<Word>{{Sj("見て"), Sj("みて")}}));
  EXPECT_TRUE(next.WordsAfter(Sj("看護師さんに"), "", 5).empty());
  EXPECT_TRUE(next.Words("", 10).empty());
  EXPECT_TRUE(next.Continuations("", 10).empty()) << "飲む。 was learned after 薬を, not as a sentence";
  EXPECT_FALSE(next.ReadingOf(Sj("見て")).has_value());
  next.Forget();
  ASSERT_EQ(next.Sync(files, fs, "/l.txt"), "");
  Learning last;
  ASSERT_EQ(last.Load(files, "/l.txt"), "");
  EXPECT_TRUE(last.WordsAfter(Sj("看護師さんを"), "", 5).empty());
}

// The kana that ended a sentence, with its mark, survive the file and a
// restart as a kana phrase: offered for their own kana and from within, never
// as a sentence, after a text, or as the reading of a text; forgotten by text.
TEST(Learning, TheKanaThatEndedASentenceAreAKanaPhraseAndNoSentence) {
  FakeTextFiles files;
  FakeFileSystem fs;
  Learning learning;
  learning.LearnSentenceEnd(Sj("んでください。"));
  learning.Learn(Sj("ありがとう。"), Sj("ありがとう。"));  // a sentence all in kana
  ASSERT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  Learning next;
  ASSERT_EQ(next.Load(files, "/l.txt"), "");
  EXPECT_EQ(Utf8(next.Continuations("", 8)), std::vector<std::string>{"ありがとう。"});
  EXPECT_EQ(next.Words(Sj("んで"), 8), (std::vector<Word>{{Sj("んでください。"), Sj("んでください。")}}));
  EXPECT_EQ(Utf8(next.KanaPhrases(8)), (std::vector<std::string>{"ありがとう。", "んでください。"}));
  EXPECT_EQ(Utf8(next.PhraseEnds(Sj("で"), 8)), std::vector<std::string>{"でください。"});
  const auto rests = next.PhraseRestsAfter(Sj("で"), 8);
  ASSERT_EQ(rests.size(), 1u);
  EXPECT_EQ(cp932::ToUtf8(rests[0].first), "ください。");
  EXPECT_EQ(cp932::ToUtf8(rests[0].second), "んでください。");
  EXPECT_TRUE(next.WordsAfter(Sj("ん"), "", 8).empty());
  EXPECT_FALSE(next.ReadingOf(Sj("んでください。")).has_value());
  EXPECT_TRUE(next.Knows(Sj("んでください。")));
  next.Forget(Sj("んでください。"));
  EXPECT_TRUE(next.Words(Sj("ん"), 8).empty());
  EXPECT_EQ(next.KanaPhrases(8).size(), 1u);
}

// A file of the first version is read as it always was, and the first write
// turns it into the new one with every entry kept.
TEST(Learning, AFileOfTheFirstVersionIsReadAsItIs) {
  FakeTextFiles files;
  FakeFileSystem fs;
  files.files["/l.txt"] = "VelkorLT learning 1\n2\t5\t" + Sj("たん") + "\t" + Sj("痰") + "\n1\t6\t" + Sj("そ") + "\t" +
                          Sj("ソ") + "\\n\n";
  Learning learning;
  EXPECT_EQ(learning.Load(files, "/l.txt"), "");
  EXPECT_EQ(learning.Candidates(Sj("そ"), 8), std::vector<std::string>{Sj("ソ") + "\\n"}) << "nothing unescaped";
  learning.Learn(Sj("たん"), Sj("痰"));
  ASSERT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  EXPECT_EQ(files.files["/l.txt"].rfind("VelkorLT learning 2\t0\n", 0), 0u);
  Learning after;
  EXPECT_EQ(after.Load(files, "/l.txt"), "");
  EXPECT_EQ(after.Candidates(Sj("そ"), 8), std::vector<std::string>{Sj("ソ") + "\\n"});
  EXPECT_EQ(after.Words(Sj("たん"), 1).front().form, Sj("痰"));
}

// The file is written only when this run learned or forgot something: a run
// that learned nothing never replaces what another program wrote.
TEST(Learning, NothingLearnedNothingWritten) {
  FakeTextFiles files;
  FakeFileSystem fs;
  const std::string path = "/l.txt";
  Learning first;
  Learning second;
  EXPECT_EQ(first.Load(files, path), "");
  EXPECT_EQ(second.Load(files, path), "");
  EXPECT_EQ(second.Sync(files, fs, path), "");
  EXPECT_FALSE(files.Exists(path));
  first.Learn(Sj("かんご"), Sj("看護"));
  ASSERT_EQ(first.Sync(files, fs, path), "");
  const std::string written = files.files[path];
  EXPECT_FALSE(first.Unsaved());
  EXPECT_EQ(first.Sync(files, fs, path), "");
  EXPECT_EQ(second.Sync(files, fs, path), "");
  EXPECT_EQ(files.files[path], written);
  second.Learn(Sj("みず"), Sj("水"));
  ASSERT_EQ(second.Sync(files, fs, path), "");
  EXPECT_EQ(second.Size(), 2u) << "the other program's entry is kept and now known here";
}

// Another program writing the file holds its lock: the write waits its turn
// and is said, never lost, when the lock stays taken.
TEST(Learning, AWriteUnderAnotherProgramsLockWaitsAndIsSaid) {
  FakeTextFiles files;
  FakeFileSystem fs;
  Learning learning;
  learning.Learn(Sj("かんご"), Sj("看護"));
  fs.heldElsewhere.insert("/l.txt.lock");
  EXPECT_EQ(cp932::ToUtf8(learning.Sync(files, fs, "/l.txt")),
            "学習の記録はほかのプログラムが書き込み中のため、あとで書き込みます");
  EXPECT_TRUE(learning.Unsaved());
  EXPECT_FALSE(files.Exists("/l.txt"));
  fs.heldElsewhere.clear();
  EXPECT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  EXPECT_FALSE(learning.Unsaved());
  EXPECT_TRUE(fs.LockFree("/l.txt.lock")) << "released after the write";
  files.unwritable.insert("/l.txt");
  learning.Learn(Sj("みず"), Sj("水"));
  EXPECT_EQ(cp932::ToUtf8(learning.Sync(files, fs, "/l.txt")), "学習の記録を書き込めません：cannot write /l.txt");
  EXPECT_TRUE(learning.Unsaved());
}

TEST(Learning, ACountAtItsLimitStaysThere) {
  FakeTextFiles files;
  FakeFileSystem fs;
  files.files["/l.txt"] = "VelkorLT learning 2\t0\n" + std::to_string(Learning::kMaxCount) + "\t5\tr\tt\n";
  Learning learning;
  ASSERT_EQ(learning.Load(files, "/l.txt"), "");
  learning.Learn("r", "t");
  ASSERT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  Learning after;
  EXPECT_EQ(after.Load(files, "/l.txt"), "") << "the count written back is one the file may hold";
  EXPECT_EQ(after.Size(), 1u);
}

TEST(Learning, ForgettingLeavesNothing) {
  FakeTextFiles files;
  FakeFileSystem fs;
  Learning learning;
  learning.SetClock([] { return 1000; });
  learning.Learn(Sj("かんご"), Sj("看護"));
  learning.Forget();
  EXPECT_TRUE(learning.Candidates("", 8).empty());
  ASSERT_EQ(learning.Sync(files, fs, "/l.txt"), "");
  EXPECT_EQ(files.files["/l.txt"], "VelkorLT learning 2\t1001\n") << "no entry, and when it was forgotten";
  Learning reloaded;
  EXPECT_EQ(reloaded.Load(files, "/l.txt"), "");
  EXPECT_EQ(reloaded.Size(), 0u);
}

// One text forgotten alone: every entry with it goes (for any reading,
// after any text, as a sentence), and stays gone across a restart; learned
// again afterwards it counts anew.
TEST(LearningForgetOne, EveryEntryWithTheTextGoesAndStaysGoneAcrossARestart) {
  FakeTextFiles files;
  FakeFileSystem fs;
  const std::string path = "/l.txt";
  long long clock = 5000;
  Learning learning;
  learning.SetClock([&clock] { return ++clock; });
  const std::string wrong = Sj("看護し");
  for (int i = 0; i < 3; ++i) learning.Learn(Sj("かんごし"), wrong);
  learning.Learn(Sj("かんごし"), Sj("看護師"));
  learning.Learn(Sj("かご"), wrong);
  learning.LearnAfter(Sj("夜の"), Sj("かんごし"), wrong);
  learning.Learn(Sj("よるのかんごしさん。"), Sj("夜の看護しさん。"));
  ASSERT_EQ(learning.Sync(files, fs, path), "");
  EXPECT_EQ(Utf8(learning.Candidates(Sj("かんごし"), 8)), (std::vector<std::string>{"看護し", "看護師"}));

  learning.Forget(wrong);
  EXPECT_FALSE(learning.Knows(wrong));
  EXPECT_TRUE(learning.ForgottenAlone(wrong));
  EXPECT_EQ(Utf8(learning.Candidates(Sj("かんごし"), 8)), std::vector<std::string>{"看護師"});
  EXPECT_TRUE(learning.WordsAfter(Sj("夜の"), "", 8).empty());
  EXPECT_EQ(learning.Continuations("", 8).size(), 1u) << "a sentence holding it is another text";
  EXPECT_TRUE(learning.Unsaved());
  ASSERT_EQ(learning.Sync(files, fs, path), "");
  EXPECT_EQ(files.files[path].rfind("VelkorLT learning 3\t0\n", 0), 0u);
  EXPECT_NE(files.files[path].find("\n-\t" + std::to_string(clock) + "\t" + wrong + "\n"), std::string::npos);

  Learning restarted;
  ASSERT_EQ(restarted.Load(files, path), "");
  EXPECT_FALSE(restarted.Knows(wrong));
  EXPECT_TRUE(restarted.ForgottenAlone(wrong));
  EXPECT_EQ(restarted.Size(), 2u);

  // Learned again after the forgetting: one use, not four.
  restarted.SetClock([&clock] { return ++clock; });
  restarted.Learn(Sj("かんごし"), wrong);
  EXPECT_FALSE(restarted.ForgottenAlone(wrong));
  ASSERT_EQ(restarted.Sync(files, fs, path), "");
  Learning again;
  ASSERT_EQ(again.Load(files, path), "");
  EXPECT_TRUE(again.Knows(wrong));
  EXPECT_NE(files.files[path].find("1\t" + std::to_string(clock) + "\t" + Sj("かんごし") + "\t" + wrong + "\n"),
            std::string::npos)
      << "counted anew";
  EXPECT_EQ(Utf8(again.Candidates(Sj("かんごし"), 8)), (std::vector<std::string>{"看護し", "看護師"}))
      << "as often as 看護師, and later";
}

// Files of the older versions read as before; a version 3 file's records
// are checked as its entries are; at the cap the oldest forgetting goes.
TEST(LearningForgetOne, OlderFilesReadAsBeforeAndTheRecordsAreCheckedAndCapped) {
  Learning learning;
  EXPECT_TRUE(learning.Parse("VelkorLT learning 2\t0\n2\t5\tr\tt\n"));
  EXPECT_EQ(learning.Size(), 1u);
  EXPECT_FALSE(learning.Parse("VelkorLT learning 2\t0\n2\t5\tr\tt\n-\t9\tt\n")) << "no records in version 2";
  EXPECT_EQ(learning.DamagedLines(), 1u);
  EXPECT_EQ(learning.Size(), 1u);
  EXPECT_EQ(learning.Serialise(), "VelkorLT learning 2\t0\n2\t5\tr\tt\n") << "no records: written as version 2";

  EXPECT_TRUE(learning.Parse("VelkorLT learning 3\t0\n2\t5\tr\tt\n1\t12\tr\tu\n-\t9\tt\n-\t9\tu\n"));
  EXPECT_FALSE(learning.Knows("t")) << "learned before it was forgotten";
  EXPECT_TRUE(learning.Knows("u")) << "learned again after";
  EXPECT_FALSE(learning.Parse("VelkorLT learning 3\t0\n-\tx\tt\n-\t9\n-\t9\t\n-\t9\ta\tb\n-\t9\t\\q\n"));
  EXPECT_EQ(learning.DamagedLines(), 5u);

  learning.Parse("VelkorLT learning 1\n");
  long long clock = 100;
  learning.SetClock([&clock] { return ++clock; });
  for (std::size_t i = 0; i < Learning::kMaxForgottenTexts + 3; ++i) learning.Forget("t" + std::to_string(i));
  const std::string file = learning.Serialise();
  EXPECT_EQ(file.find("\tt0\n"), std::string::npos) << "the oldest went";
  EXPECT_EQ(file.find("\tt2\n"), std::string::npos);
  EXPECT_NE(file.find("\tt3\n"), std::string::npos);
  EXPECT_NE(file.find("\tt" + std::to_string(Learning::kMaxForgottenTexts + 2) + "\n"), std::string::npos);
  learning.Forget();
  EXPECT_EQ(learning.Serialise(), "VelkorLT learning 2\t" + std::to_string(clock) + "\n")
      << "forgetting everything covers each text";
}

// What the documents teach counts once, never doubles, takes only free room
// and never brings back what the user forgot.
TEST(LearningForgetOne, LearningNewTextsCountsEachOnceAndLeavesWhatWasForgotten) {
  Learning learning;
  learning.Learn(Sj("かんご"), Sj("看護"));
  learning.Learn(Sj("ちが"), Sj("違"));
  learning.Forget(Sj("違"));
  const std::vector<std::pair<std::string, std::string>> found = {
      {Sj("かんご"), Sj("看護")}, {Sj("みず"), Sj("水")}, {Sj("みず"), Sj("水")}, {Sj("ちが"), Sj("違")}, {"", "x"}};
  EXPECT_EQ(learning.LearnNew(found), (std::vector<bool>{false, true, false, false, false}));
  EXPECT_EQ(learning.LearnNew(found), (std::vector<bool>{false, false, false, false, false})) << "twice adds nothing";
  EXPECT_EQ(learning.Serialise().find("\n2\t"), std::string::npos) << "every count is one";
  EXPECT_TRUE(learning.Unsaved());

  Learning full;
  for (std::size_t i = 0; i < Learning::kMaxEntries - 1; ++i) full.Learn("r" + std::to_string(i), "t");
  EXPECT_EQ(full.LearnNew({{"a", "a"}, {"b", "b"}}), (std::vector<bool>{true, false}));
  EXPECT_EQ(full.Size(), Learning::kMaxEntries);
  EXPECT_EQ(full.Candidates("r0", 1).size(), 1u) << "nothing the user chose was pushed out";
}

}  // namespace
}  // namespace velkor::testing

// ------------------------------------------------ two programs, one file

namespace velkor::testing {
namespace {

// A fresh folder on the disk, removed with its files afterwards.
class LearningFolder {
 public:
  LearningFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/velkor-learning-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
  }
  ~LearningFolder() {
    if (DIR* d = ::opendir(path.c_str())) {
      while (const dirent* entry = ::readdir(d)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
          ::unlink((path + entry->d_name).c_str());
      }
      ::closedir(d);
    }
    ::rmdir(path.c_str());
  }
  std::string path;
};

enum class Act { Learn, Write, Forget, ForgetOne };
struct Step {
  Act act;
  const char* word;  // what is learned (reading and text alike)
};

// Two programs' scripts, run in every order: what the file finally holds is
// everything either learned, less what anyone learned before the last
// forgetting. Forgetting writes at once, as the menu's forgetting does.
void RunInEveryOrder(const std::vector<Step>& a, const std::vector<Step>& b, int& orders) {
  const std::size_t total = a.size() + b.size();
  for (unsigned mask = 0; mask < (1u << total); ++mask) {
    if (static_cast<std::size_t>(__builtin_popcount(mask)) != b.size()) continue;
    LearningFolder folder;
    ASSERT_FALSE(folder.path.empty());
    const std::string path = folder.path + "learning.txt";
    // Both start from a file of the first version, learned long ago.
    {
      std::ofstream(path, std::ios::binary) << "VelkorLT learning 1\n3\t1\told\told\n";
    }
    long long clock = 100;  // one clock for both, as on one machine
    Learning programs[2];
    std::vector<std::string> order;
    for (Learning& p : programs) {
      p.SetClock([&clock] { return ++clock; });
      ASSERT_EQ(p.Load(RealTextFiles(), path), "");
    }
    std::map<std::string, long long> learnedAt{{"old", 1}};
    long long forgottenAt = 0;
    std::map<std::string, long long> forgottenAlone;
    std::size_t next[2] = {0, 0};
    for (std::size_t i = 0; i < total; ++i) {
      const int who = (mask >> i) & 1u;
      const Step& step = (who == 0 ? a : b)[next[who]++];
      Learning& p = programs[who];
      order.push_back(std::string(who == 0 ? "A" : "B") +
                      (step.act == Act::Learn       ? std::string(" learns ") + step.word
                       : step.act == Act::Write     ? std::string(" writes")
                       : step.act == Act::ForgetOne ? std::string(" forgets ") + step.word
                                                    : std::string(" forgets")));
      switch (step.act) {
        case Act::Learn:
          p.Learn(step.word, step.word);
          learnedAt[step.word] = clock;
          break;
        case Act::Forget:
          p.Forget();
          forgottenAt = clock;
          ASSERT_EQ(p.Sync(RealTextFiles(), RealFileSystem(), path), "") << ::testing::PrintToString(order);
          break;
        case Act::ForgetOne:
          p.Forget(step.word);
          forgottenAlone[step.word] = clock;
          [[fallthrough]];
        case Act::Write: ASSERT_EQ(p.Sync(RealTextFiles(), RealFileSystem(), path), "") << ::testing::PrintToString(order);
      }
    }
    std::set<std::string> expected;
    for (const auto& [word, at] : learnedAt) {
      if (at > forgottenAt && at > forgottenAlone[word]) expected.insert(word);
    }
    Learning reader;
    ASSERT_EQ(reader.Load(RealTextFiles(), path), "");
    std::set<std::string> found;
    for (const std::string& text : reader.Candidates("", 100)) found.insert(text);
    EXPECT_EQ(found, expected) << ::testing::PrintToString(order);
    // The program that wrote last holds what it wrote: nothing forgotten is
    // offered again.
    std::set<std::string> held;
    for (const std::string& text : programs[(mask >> (total - 1)) & 1u].Candidates("", 100)) held.insert(text);
    EXPECT_EQ(held, expected) << ::testing::PrintToString(order);
    ++orders;
  }
}

TEST(LearningShared, TwoProgramsLearningAndForgettingInEveryOrderKeepTheUnionLessWhatWasForgotten) {
  int orders = 0;
  // One forgets in the middle; the other learns and writes around it.
  RunInEveryOrder({{Act::Learn, "a1"}, {Act::Write, ""}, {Act::Forget, ""}, {Act::Learn, "a2"}, {Act::Write, ""}},
                  {{Act::Learn, "b1"}, {Act::Write, ""}, {Act::Learn, "b2"}, {Act::Write, ""}}, orders);
  // Both forget.
  RunInEveryOrder({{Act::Learn, "a1"}, {Act::Forget, ""}, {Act::Learn, "a2"}, {Act::Write, ""}},
                  {{Act::Learn, "b1"}, {Act::Forget, ""}, {Act::Learn, "b2"}, {Act::Write, ""}}, orders);
  // Neither forgets; one writes without having learned anything new.
  RunInEveryOrder({{Act::Learn, "a1"}, {Act::Write, ""}, {Act::Write, ""}},
                  {{Act::Write, ""}, {Act::Learn, "b1"}, {Act::Write, ""}, {Act::Write, ""}}, orders);
  EXPECT_EQ(orders, 126 + 70 + 35);
  RecordProperty("orders", orders);
}

// One program forgets a text alone while the other, which learned it too,
// learns and writes around it: neither the file nor the other program
// brings it back, and learned again after the forgetting it stays.
TEST(LearningShared, ATextForgottenAloneStaysForgottenInEveryOrder) {
  int orders = 0;
  RunInEveryOrder({{Act::Learn, "a1"}, {Act::Write, ""}, {Act::ForgetOne, "old"}, {Act::Learn, "a2"}, {Act::Write, ""}},
                  {{Act::Learn, "old"}, {Act::Write, ""}, {Act::Learn, "b1"}, {Act::ForgetOne, "a1"}}, orders);
  // Both forget the same text; one learns it again.
  RunInEveryOrder({{Act::ForgetOne, "old"}, {Act::Learn, "a1"}, {Act::Write, ""}},
                  {{Act::Learn, "b1"}, {Act::ForgetOne, "old"}, {Act::Learn, "old"}, {Act::Write, ""}}, orders);
  EXPECT_EQ(orders, 126 + 35);
}

// Used again by a program that had not heard of the forgetting yet: the
// text comes back (that use is the user's), but with one use, not the ones
// from before the forgetting.
TEST(LearningShared, UsesFromBeforeAForgettingNeverComeBackWithALaterUse) {
  FakeTextFiles files;
  FakeFileSystem fs;
  const std::string path = "/l.txt";
  files.files[path] = "VelkorLT learning 2\t0\n7\t5\tr\tt\n";
  long long clock = 100;
  Learning a;
  Learning b;
  for (Learning* p : {&a, &b}) {
    p->SetClock([&clock] { return ++clock; });
    ASSERT_EQ(p->Load(files, path), "");
  }
  a.Forget("t");
  b.Learn("r", "t");  // after the forgetting, not knowing of it
  ASSERT_EQ(b.Sync(files, fs, path), "");
  EXPECT_NE(files.files[path].find("8\t"), std::string::npos);
  ASSERT_EQ(a.Sync(files, fs, path), "");
  EXPECT_NE(files.files[path].find("\n1\t" + std::to_string(clock) + "\tr\tt\n"), std::string::npos)
      << files.files[path];
  ASSERT_EQ(b.Sync(files, fs, path), "");
  EXPECT_TRUE(b.Knows("t"));
}

// A learning file that is a symbolic link is read but never written through:
// the file it names stays as it was, and the user is told learning is kept
// in memory only.
TEST(LearningShared, ALinkInPlaceOfTheFileIsNeverWrittenThrough) {
  LearningFolder folder;
  const std::string target = folder.path + "elsewhere.txt";
  const std::string path = folder.path + "learning.txt";
  const std::string content = "VelkorLT learning 2\t0\n1\t5\tr\tt\n";
  std::ofstream(target, std::ios::binary) << content;
  ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
  Learning learning;
  const std::string said = cp932::ToUtf8(learning.Load(RealTextFiles(), path));
  EXPECT_EQ(said, "学習の記録はシンボリック リンクのため書き込まず、今回の学習はこの実行の間だけ使います「" + path + "」");
  EXPECT_EQ(learning.Size(), 1u);
  learning.Learn("x", "y");
  learning.Forget();
  EXPECT_EQ(cp932::ToUtf8(learning.Sync(RealTextFiles(), RealFileSystem(), path)), said);
  struct stat info {};
  ASSERT_EQ(::lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  std::ifstream in(target, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// A sentence with a tab (from a document made elsewhere) is learned, written
// at close and offered again after a restart, with nothing said at start.
TEST(LearningWindow, ASentenceWithATabIsOfferedAgainAfterARestart) {
  FakePlatform fake;
  const std::string sentence = Sj("右の\t欄に書いてください。");
  {
    MainForm form(fake.Get());
    ASSERT_TRUE(form.FormCreate());
    form.FormShow();
    form.Learned().Learn(Sj("みぎの\tらんに"), sentence);
    form.Learned().Learn(Sj("かんご"), Sj("看護"));
    ASSERT_TRUE(form.FormClose());
  }
  fake.window.messages.clear();
  MainForm again(fake.Get());
  ASSERT_TRUE(again.FormCreate());
  again.FormShow();
  EXPECT_TRUE(fake.window.messages.empty()) << cp932::ToUtf8(fake.window.messages.front().first);
  EXPECT_EQ(again.Learned().Continuations("", 8), std::vector<std::string>{sentence});
  EXPECT_EQ(again.Learned().Size(), 2u);
}

// A write of the learning that fails is said, once, and tried again at the
// next write; a run that learned nothing writes nothing, even at close.
TEST(LearningWindow, AFailedWriteIsSaidOnceAndNothingLearnedWritesNothing) {
  FakePlatform fake;
  fake.store.SetCp932("Option", "0,2,0,1,0,0,0,0,0,0");  // dwell: messages in the status line
  MainForm form(fake.Get());
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  const std::string path = form.LearningPath();
  fake.files.unwritable.insert(path);
  form.Learned().Learn(Sj("かんご"), Sj("看護"));
  form.RecoveryTimerTick();
  const std::string said = cp932::ToUtf8(fake.pnlMsg.message);
  EXPECT_EQ(said, "学習の記録を書き込めません：cannot write " + path);
  fake.pnlMsg.message.clear();
  form.RecoveryTimerTick();
  EXPECT_EQ(fake.pnlMsg.message, "") << "said once";
  fake.files.unwritable.clear();
  form.RecoveryTimerTick();
  EXPECT_TRUE(fake.files.Exists(path));
  ASSERT_TRUE(form.FormClose());

  fake.files.files[path] = "VelkorLT learning 1\n1\t1\tr\tt\n";
  MainForm idle(fake.Get());
  ASSERT_TRUE(idle.FormCreate());
  idle.FormShow();
  fake.files.unwritable.insert(path);
  idle.RecoveryTimerTick();
  ASSERT_TRUE(idle.FormClose());
  EXPECT_EQ(fake.files.files[path], "VelkorLT learning 1\n1\t1\tr\tt\n") << "an older file stays as it was";
  EXPECT_EQ(fake.pnlMsg.message, "");
}

}  // namespace
}  // namespace velkor::testing
