#include "document/RecentFiles.h"

#include <gtest/gtest.h>

using namespace velkor;

namespace {

StringList Paths(int from, int to) {
  StringList list;
  for (int i = from; i <= to; ++i) list.push_back("/d/" + std::to_string(i) + ".txt");
  return list;
}

}  // namespace

TEST(RecentFiles, AddingPutsThePathOnTopWithoutOlderCopy) {
  const struct {
    const char* name;
    StringList before;
    std::string path;
    StringList after;
  } cases[] = {
      {"first file", {}, "/a", {"/a"}},
      {"new file goes on top", {"/a", "/b"}, "/c", {"/c", "/a", "/b"}},
      {"a listed file moves to the top", {"/a", "/b", "/c"}, "/c", {"/c", "/a", "/b"}},
      {"the top file stays alone", {"/a", "/b"}, "/a", {"/a", "/b"}},
      {"letter case counts", {"/A.txt"}, "/a.txt", {"/a.txt", "/A.txt"}},
      {"only the first older copy goes", {"/a", "/b", "/a"}, "/a", {"/a", "/b", "/a"}},
      {"an eleventh file pushes the oldest out", Paths(1, 10), "/new",
       [] {
         StringList l = Paths(1, 9);
         l.insert(l.begin(), "/new");
         return l;
       }()},
      {"a listed file in a full list keeps all others", Paths(1, 10), "/d/10.txt",
       [] {
         StringList l = Paths(1, 9);
         l.insert(l.begin(), "/d/10.txt");
         return l;
       }()},
      {"a longer list is cut to ten", Paths(1, 12), "/d/3.txt",
       [] {
         StringList l = Paths(1, 11);
         l.erase(l.begin() + 2);
         l.insert(l.begin(), "/d/3.txt");
         l.resize(10);
         return l;
       }()},
      {"an empty path changes nothing", {"/a"}, "", {"/a"}},
      {"not even a list longer than ten", Paths(1, 12), "", Paths(1, 12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StringList list = c.before;
    AddRecentFile(list, c.path);
    EXPECT_EQ(list, c.after);
  }
}

TEST(RecentFiles, CaptionsAreDigitAndPathForListedItemsOnly) {
  const RecentFileCaptionList three = RecentFileCaptions({"/home/u/a b.txt", "/x", "文書00.txt"});
  EXPECT_EQ(three[0], "0/home/u/a b.txt");
  EXPECT_EQ(three[1], "1/x");
  EXPECT_EQ(three[2], "2文書00.txt");
  for (std::size_t i = 3; i < three.size(); ++i) EXPECT_EQ(three[i], std::nullopt) << i;

  const RecentFileCaptionList many = RecentFileCaptions(Paths(0, 11));
  for (std::size_t i = 0; i < many.size(); ++i)
    EXPECT_EQ(many[i], std::to_string(i) + "/d/" + std::to_string(i) + ".txt");

  for (const auto& caption : RecentFileCaptions({})) EXPECT_EQ(caption, std::nullopt);
}
