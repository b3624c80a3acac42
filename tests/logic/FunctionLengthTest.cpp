// The function length check over this program's own tree, over sources whose
// braces are easily misread, and over small trees with long functions planted
// in them.
#include "tools/FunctionLength.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace velkor::tools {
namespace {

namespace fs = std::filesystem;

TEST(FunctionLength, NoFunctionOfTheProgramIsOverAScreen) {
  const auto known = ReadKnownLongFunctions(fs::path(VELKOR_SOURCE_DIR) / "tools/long_functions.txt");
  for (const std::string& fault : FunctionLengthFaults(VELKOR_SOURCE_DIR, known)) ADD_FAILURE() << fault;
}

// "name first-last" of each function found, in the order they close.
std::vector<std::string> Spans(const std::string& source) {
  std::vector<std::string> out;
  for (const FunctionSpan& f : FunctionsOf(source))
    out.push_back(f.name + " " + std::to_string(f.firstLine) + "-" + std::to_string(f.lastLine));
  return out;
}

TEST(FunctionLength, BodiesAreFoundWhateverSurroundsTheirBraces) {
  const struct {
    const char* what;
    const char* source;
    std::vector<std::string> expected;
  } cases[] = {
      {"braces in comments, strings and characters",
       "int F() {\n  // }\n  /* } { */\n  const char* s = \"}\";\n  char c = '}';\n  return 1'000;\n}\n",
       {"F 1-7"}},
      {"a raw string", "void G() {\n  auto s = R\"x(}\n)\" }\n)x\";\n}\n", {"G 1-5"}},
      {"a preprocessor line", "#define OPEN {\nvoid H()\n{\n}\n", {"H 2-4"}},
      {"a signature over several lines, a lambda and a local block inside",
       "template <typename T>\nstd::function<void()> ns::Make(T t,\n    int n) {\n  auto f = [] { return; };\n"
       "  { int x = 0; }\n  return f;\n}\n",
       {"ns::Make 2-7"}},
      {"members inside classes, with access labels and nested classes",
       "class A : public B {\n public:\n  A() : x_{1}, y_(2) {}\n  bool operator==(const A&) const { return true; }\n"
       " private:\n  struct In {\n    void F() {\n    }\n  };\n  int x_{0};\n};\n",
       {"A::A 3-3", "A::operator== 4-4", "A::In::F 7-8"}},
      {"initializers are not functions",
       "namespace n {\nconst std::map<int, int> kM = {\n  {1, 2},\n};\nenum class E { X };\nFoo kF{Bar(1)};\n"
       "extern \"C\" {\nint C(int a = int{0}) { return a; }\n}\n}\n",
       {"C 8-8"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Spans(c.source), c.expected) << c.what;
}

class PlantedFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("velkor-functions-" + std::to_string(std::random_device{}()));
  }
  void TearDown() override { fs::remove_all(root_); }
  // A file with a function of `lines` lines, from its name to its brace.
  void Plant(const std::string& name, const std::string& function, int lines, int at = 1) {
    std::string text(static_cast<std::size_t>(at - 1), '\n');
    text += "int " + function + "() {\n";
    for (int i = 2; i < lines; ++i) text += "  ++n;\n";
    text += "}\n";
    fs::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name) << text;
  }
  fs::path root_;
};

TEST_F(PlantedFunctions, EachFunctionOverSixtyLinesIsNamedWithFileAndLine) {
  Plant("core/A.cpp", "AtTheLimit", 60);
  Plant("board/B.h", "OneTooMany", 61, 3);
  Plant("ui/sub/C.cpp", "InASubfolder", 90);
  Plant("tools/D.cpp", "ATool", 61);
  Plant("main.cpp", "Main", 61);
  Plant("tests/E.cpp", "ATestIsNotChecked", 200);
  Plant("bench/F.cpp", "NorABenchmark", 200);
  EXPECT_EQ(FunctionLengthFaults(root_, {}), (std::vector<std::string>{
                                                 "board/B.h:3: OneTooMany is 61 lines (at most 60)",
                                                 "main.cpp:1: Main is 61 lines (at most 60)",
                                                 "tools/D.cpp:1: ATool is 61 lines (at most 60)",
                                                 "ui/sub/C.cpp:1: InASubfolder is 90 lines (at most 60)",
                                             }));
}

TEST_F(PlantedFunctions, AKnownLongFunctionPassesUntilItIsShort) {
  Plant("input/A.cpp", "Long", 70);
  Plant("input/B.cpp", "Shortened", 20);
  const std::set<std::string> known = {"input/A.cpp Long", "input/B.cpp Shortened"};
  EXPECT_EQ(FunctionLengthFaults(root_, known),
            std::vector<std::string>{"input/B.cpp Shortened: no longer over 60 lines: remove it from the list"});

  fs::create_directories(root_);
  std::ofstream(root_ / "known.txt") << "# comment\ninput/A.cpp Long\n\n";
  EXPECT_EQ(ReadKnownLongFunctions(root_ / "known.txt"), std::set<std::string>{"input/A.cpp Long"});
}

}  // namespace
}  // namespace velkor::tools
