#include "document/PrintLayout.h"

#include <gtest/gtest.h>

#include <random>

#include "core/Cp932.h"

using namespace velkor;
using velkor::cp932::FromUtf8;

namespace {

// A fixed-width printer font: 10 pixels per byte (so 20 for a double-byte
// character), 20 pixels high, lines of 22 pixels, tab stops every 80 pixels.
class FixedMetrics : public IPrintMetrics {
 public:
  FixedMetrics(int pageWidth, int pageHeight) : width_(pageWidth), height_(pageHeight) {}
  int CharWidth(std::string_view character) const override {
    ++calls;
    return 10 * static_cast<int>(character.size());
  }
  int CharHeight() const override { return 20; }
  int AverageCharWidth() const override { return 10; }
  int PageWidth() const override { return width_; }
  int PageHeight() const override { return height_; }

  mutable long calls = 0;

 private:
  int width_;
  int height_;
};

using Pages = std::vector<PrintPage>;

PrintRun At(int x, int y, const std::string& text) { return {x, y, text}; }

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::string Describe(const Pages& pages) {
  std::string out;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    out += "page " + std::to_string(p) + ":";
    for (const PrintRun& run : pages[p].runs)
      out += " (" + std::to_string(run.x) + "," + std::to_string(run.y) + ")" + ::testing::PrintToString(run.text);
    out += "\n";
  }
  return out;
}

}  // namespace

TEST(PrintLayout, SplitsLinesAtEveryKindOfBreak) {
  const struct {
    std::string text;
    std::vector<std::string_view> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a break at the very end adds no empty line
      {"\r\n", {""}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR is two breaks
      {"a\r\r\nb\r", {"a", "", "b"}},
      {"\x82\r\n\x82\xa0", {"\x82", "\x82\xa0"}},  // a lead byte before a break stands alone
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    EXPECT_EQ(SplitPrintLines(c.text), c.lines);
  }
}

// Page 200 x 1000: lines of 22 pixels, a page holds 44 text lines.
TEST(PrintLayout, PlacesLinesTabsAndFormFeeds) {
  const std::string a = FromUtf8("あ");
  const struct {
    const char* name;
    std::string text;
    Pages pages;
  } cases[] = {
      {"empty text prints no page", "", {}},
      {"one line", "abc", {{{At(0, 0, "abc")}}}},
      {"every break ends a line",
       "ab\r\ncd\nef\rgh",
       {{{At(0, 0, "ab"), At(0, 22, "cd"), At(0, 44, "ef"), At(0, 66, "gh")}}}},
      {"a lone break is one empty page", "\r\n", {{}}},
      {"an empty line moves down by the character height", "a\r\n\r\n\r\nb", {{{At(0, 0, "a"), At(0, 62, "b")}}}},
      {"double-byte text", a + "x" + a, {{{At(0, 0, a + "x" + a)}}}},
      {"a tab moves to the next stop",
       "a\tb\r\n\tc\r\nabcdefgh\td",
       {{{At(0, 0, "a"), At(80, 0, "b"), At(80, 22, "c"), At(0, 44, "abcdefgh"), At(160, 44, "d")}}}},
      {"a line of tabs alone holds no text", "\t\t\r\nb", {{{At(0, 20, "b")}}}},
      {"a tab beyond the page width ends the line", "a\t\tb\tc", {{{At(0, 0, "a"), At(160, 0, "b"), At(0, 22, "c")}}}},
      {"after a tab beyond the edge the next tab counts from the left edge",
       "a\t\t\t\tb",
       {{{At(0, 0, "a"), At(80, 22, "b")}}}},
      {"a form feed goes on at the top of a new page",
       "a\fb\r\nc",
       {{{At(0, 0, "a")}}, {{At(0, 0, "b"), At(0, 22, "c")}}}},
      {"a form feed line then advances as an empty line", "a\r\n\f\r\nb", {{{At(0, 0, "a")}}, {{At(0, 20, "b")}}}},
      {"two form feeds leave a blank page between", "a\f\fb", {{{At(0, 0, "a")}}, {}, {{At(0, 0, "b")}}}},
      {"a form feed at the end ejects no blank page", "a\f\r\n", {{{At(0, 0, "a")}}}},
  };
  const FixedMetrics metrics(200, 1000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pages pages = LayOutPrintText(c.text, metrics);
    EXPECT_EQ(pages, c.pages) << Describe(pages);
  }
}

// Page 100 pixels wide: ten single-byte characters fit on a line.
TEST(PrintLayout, BreaksWideLinesBetweenWholeCharacters) {
  const std::string a = FromUtf8("あ"), ka = FromUtf8("か");
  const struct {
    const char* name;
    std::string text;
    std::vector<PrintRun> runs;
  } cases[] = {
      {"exactly the width fits", "abcdefghij", {At(0, 0, "abcdefghij")}},
      {"the rest goes on at the left edge", "abcdefghijklmno", {At(0, 0, "abcdefghij"), At(0, 22, "klmno")}},
      {"a double-byte character that would cross the edge moves down",
       "abcdefghi" + a + "x",
       {At(0, 0, "abcdefghi"), At(0, 22, a + "x")}},
      {"a double-byte character that ends at the edge stays",
       "abcdefgh" + a + "x",
       {At(0, 0, "abcdefgh" + a), At(0, 22, "x")}},
      {"double-byte characters only", Repeat(a, 5) + ka, {At(0, 0, Repeat(a, 5)), At(0, 22, ka)}},
      {"after a tab only what fits on the line", "a\tbcdefg", {At(0, 0, "a"), At(80, 0, "bc"), At(0, 22, "defg")}},
      {"a double-byte character fits up to the edge after a tab",
       "a\t" + a + "b",
       {At(0, 0, "a"), At(80, 0, a), At(0, 22, "b")}},
      {"a lead byte before a break is one narrow character",
       "abcdefghi\x82\r\nz",
       {At(0, 0, "abcdefghi\x82"), At(0, 22, "z")}},
  };
  const FixedMetrics metrics(100, 1000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pages pages = LayOutPrintText(c.text, metrics);
    ASSERT_EQ(pages.size(), 1u) << Describe(pages);
    EXPECT_EQ(pages[0].runs, c.runs) << Describe(pages);
  }
}

// After a tab nothing may fit: the line ends there and the text goes on below.
TEST(PrintLayout, TextThatDoesNotFitAfterATabGoesToTheNextLine) {
  const std::string a = FromUtf8("あ");
  const FixedMetrics metrics(90, 1000);
  const Pages pages = LayOutPrintText("a\t" + a + "b\r\n\t" + a, metrics);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].runs, (std::vector<PrintRun>{At(0, 0, "a"), At(0, 22, a + "b"), At(0, 64, a)})) << Describe(pages);
}

TEST(PrintLayout, ACharacterWiderThanThePageIsPrintedAlone) {
  const std::string a = FromUtf8("あ");
  const FixedMetrics metrics(15, 1000);
  const Pages pages = LayOutPrintText("a" + a + a + "b", metrics);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].runs, (std::vector<PrintRun>{At(0, 0, "a"), At(0, 22, a), At(0, 44, a), At(0, 66, "b")}));
}

// Text lines on a page 1000 high: a new page begins once the position passes
// 1000 - 2 x 22 = 956, so lines stand at 0, 22, ..., 946: 44 to a page.
TEST(PrintLayout, ShortLinesFillPagesFromTheirTopEdge) {
  const FixedMetrics metrics(200, 1000);
  const struct {
    int lines;
    std::vector<std::size_t> perPage;
  } cases[] = {
      {1, {1}},
      {44, {44}},
      {45, {44, 1}},
      {176, {44, 44, 44, 44}},  // the last line end begins no blank page
      {200, {44, 44, 44, 44, 24}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    std::string text;
    for (int i = 0; i < c.lines; ++i) text += "line " + std::to_string(i) + "\r\n";
    const Pages pages = LayOutPrintText(text, metrics);
    ASSERT_EQ(pages.size(), c.perPage.size());
    int line = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
      ASSERT_EQ(pages[p].runs.size(), c.perPage[p]) << "page " << p;
      for (std::size_t r = 0; r < pages[p].runs.size(); ++r, ++line)
        EXPECT_EQ(pages[p].runs[r], At(0, static_cast<int>(r) * 22, "line " + std::to_string(line)));
    }
  }
}

// Page 100 high: text lines break pages past 56, empty lines past 100.
TEST(PrintLayout, EmptyLinesBreakPagesAtThePageHeight) {
  const FixedMetrics metrics(200, 100);
  const struct {
    const char* name;
    std::string text;
    Pages pages;
  } cases[] = {
      {"three text lines to a page",
       "a\r\nb\r\nc\r\nd",
       {{{At(0, 0, "a"), At(0, 22, "b"), At(0, 44, "c")}}, {{At(0, 0, "d")}}}},
      {"five empty lines reach the page height: the text goes over", Repeat("\r\n", 5) + "a", {{}, {{At(0, 0, "a")}}}},
      {"three empty lines leave room for one text line", Repeat("\r\n", 3) + "a", {{{At(0, 60, "a")}}}},
      {"six empty lines pass it", Repeat("\r\n", 6) + "a", {{}, {{At(0, 0, "a")}}}},
      {"text then empty lines", "a\r\n\r\n\r\nb", {{{At(0, 0, "a"), At(0, 62, "b")}}}},
      {"text never lands below the paper", "a\r\n\r\n\r\n\r\nb", {{{At(0, 0, "a")}}, {{At(0, 0, "b")}}}},
      {"blank lines alone on a last page are not ejected",
       "a\r\nb\r\nc\r\n\r\n\r\n",
       {{{At(0, 0, "a"), At(0, 22, "b"), At(0, 44, "c")}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pages pages = LayOutPrintText(c.text, metrics);
    EXPECT_EQ(pages, c.pages) << Describe(pages);
  }
}

// One line of 10 MB: broken into lines a page wide, each character measured
// about once.
TEST(PrintLayout, AVeryLongLineIsLaidOutInLinearTime) {
  const std::string group = "abcd" + FromUtf8("あ") + "e";  // 7 bytes, 70 pixels
  std::string text;
  while (text.size() < 10 * 1024 * 1024) text += group;
  text.resize(text.size() - 3);  // ends with a lone lead byte
  const FixedMetrics metrics(1000, 100000);
  const Pages pages = LayOutPrintText(text, metrics);

  std::size_t runs = 0, characters = 0;
  std::string printed;
  for (const PrintPage& page : pages)
    for (const PrintRun& run : page.runs) {
      ++runs;
      printed += run.text;
      EXPECT_LE(10 * static_cast<int>(run.text.size()), 1000);
    }
  for (std::size_t pos = 0; pos < text.size(); pos = cp932::NextCharPos(text, pos)) ++characters;
  EXPECT_EQ(printed, text);
  EXPECT_LE(metrics.calls, static_cast<long>(characters + runs));
  // Fourteen groups and "ab" fill 1000 pixels; the next line starts with "cd".
  EXPECT_EQ(pages[0].runs[0], At(0, 0, Repeat(group, 14) + "ab"));
  EXPECT_EQ(pages[0].runs[1].text.substr(0, 2), "cd");
  EXPECT_EQ(pages[0].runs[1].y, 22);
  EXPECT_GT(pages.size(), 1u);
}

// Random texts of single-byte and double-byte characters, tabs and breaks:
// the runs hold every printable byte in order, cut only between characters,
// and no run crosses the right edge.
TEST(PrintLayout, RunsKeepTheTextAndStayInsideThePage) {
  std::mt19937 random(4321);
  const std::string pieces[] = {"a",        "Z",  " ",  "\xb1", FromUtf8("あ"), FromUtf8("漢"),
                                "\x83\x5c", "\t", "\f", "\r\n", "\n",           "\r"};
  for (int round = 0; round < 200; ++round) {
    const int width = 15 + static_cast<int>(random() % 200);
    std::string text;
    const int count = static_cast<int>(random() % 300);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    SCOPED_TRACE(::testing::PrintToString(text) + " width " + std::to_string(width));
    const FixedMetrics metrics(width, 300);
    const Pages pages = LayOutPrintText(text, metrics);

    std::string printed, expected;
    std::vector<std::size_t> cuts;
    for (const PrintPage& page : pages)
      for (const PrintRun& run : page.runs) {
        EXPECT_GE(run.y, 0);
        EXPECT_LE(run.y, 300);
        const int runWidth = 10 * static_cast<int>(run.text.size());
        if (run.x > 0 || cp932::NextCharPos(run.text, 0) < run.text.size()) {
          EXPECT_LE(run.x + runWidth, width);
        }
        printed += run.text;
        cuts.push_back(printed.size());
      }
    for (char c : text)
      if (c != '\t' && c != '\f' && c != '\r' && c != '\n') expected += c;
    ASSERT_EQ(printed, expected);
    for (std::size_t cut : cuts) EXPECT_TRUE(cp932::IsCharBoundary(printed, cut)) << cut;
  }
}

TEST(PrintLayout, TextToPrintFollowsTheRange) {
  const struct {
    std::string text;
    int selStart, selLength;
    PrintRange range;
    std::optional<std::string> expected;
  } cases[] = {
      {"abc", 1, 1, PrintRange::All, "abc"},
      {"", 0, 0, PrintRange::All, std::nullopt},
      {"abc", 1, 2, PrintRange::Selection, "bc"},
      {"abc", 1, 0, PrintRange::Selection, std::nullopt},  // no selection prints nothing
      {"abc", 2, 5, PrintRange::Selection, "c"},
      {"abc", 3, 1, PrintRange::Selection, std::nullopt},
      {"abc", -1, 1, PrintRange::Selection, "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.selStart) + "+" + std::to_string(c.selLength));
    EXPECT_EQ(TextToPrint(c.text, c.selStart, c.selLength, c.range), c.expected);
  }
}
