// The layer check over this program's own tree, and over small trees with a
// fault planted in them: each fault is named with its file and line.
#include "tools/LayerCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace velkor::tools {
namespace {

namespace fs = std::filesystem;

TEST(LayerCheck, TheProgramFollowsItsLayers) {
  const auto violations = CheckLayers(VELKOR_SOURCE_DIR);
  for (const auto& v : violations) ADD_FAILURE() << Describe(v);
  EXPECT_TRUE(violations.empty());
}

class PlantedTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("velkor-layers-" + std::to_string(std::random_device{}()));
    Write("core/Types.h", "#pragma once\n#include <string>\n");
    Write("board/Board.h", "#pragma once\n#include \"core/Types.h\"\n");
    Write("document/Doc.h", "#pragma once\n#include \"core/Types.h\"\n");
    Write("input/Input.h", "#pragma once\n#include <document/Doc.h>\n");
    Write("input/Input.cpp",
          "#include \"./Input.h\"\n#include \"board/Board.h\"\n#include \"../document/Doc.h\"\n#include <vector>\n");
    Write("form/Form.cpp", "#include \"input/Input.h\"\n");
    Write("ui/Window.cpp", "#include <QWidget>\n#include \"form/Form.h\"\n");
    Write("main.cpp", "#include <QApplication>\n#include \"ui/Window.h\"\n");
    Write("tests/AnyTest.cpp", "#include <QTest>\n#include \"ui/Window.h\"\n");
  }
  void TearDown() override { fs::remove_all(root_); }
  void Write(const std::string& name, const std::string& text) {
    fs::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name) << text;
  }
  std::vector<std::string> Found() {
    std::vector<std::string> out;
    for (const auto& v : CheckLayers(root_)) out.push_back(Describe(v));
    return out;
  }
  fs::path root_;
};

TEST_F(PlantedTree, ASoundTreeHasNoViolation) { EXPECT_TRUE(Found().empty()); }

TEST_F(PlantedTree, EachPlantedFaultIsNamedWithFileAndLine) {
  struct Case {
    const char* file;
    const char* text;
    std::vector<std::string> expected;
  } cases[] = {
      {"core/Types.h",
       "#pragma once\n\n#include \"input/Input.h\"\n",
       {"core/Types.h:3: \"input/Input.h\": core/ may not include input/ (layer order: core, board|document, "
        "input, form, ui)",
        "core/Types.h:3: include cycle between core/ and input/"}},
      {"board/Board.h",
       "#pragma once\n#include \"document/Doc.h\"\n",
       {"board/Board.h:2: \"document/Doc.h\": board/ may not include document/ (layer order: core, "
        "board|document, input, form, ui)"}},
      {"document/Doc.h",
       "#pragma once\n  #  include <QString>\n",
       {"document/Doc.h:2: Qt header <QString> outside ui/ and main.cpp"}},
      {"form/Form.cpp",
       "#include <QtCore/QObject>\n",
       {"form/Form.cpp:1: Qt header <QtCore/QObject> outside ui/ and main.cpp"}},
      // Angled includes of the program's own files.
      {"document/Doc.h",
       "#pragma once\n#include <board/Board.h>\n",
       {"document/Doc.h:2: <board/Board.h>: document/ may not include board/ (layer order: core, board|document, "
        "input, form, ui)"}},
      {"board/Board.h",
       "#pragma once\n#include <form/Missing.h>\n",
       {"board/Board.h:2: <form/Missing.h>: board/ may not include form/ (layer order: core, board|document, "
        "input, form, ui)",
        "board/Board.h:2: include cycle between board/ and form/"}},
      // Includes relative to the including file.
      {"core/Types.h",
       "#pragma once\n#include \"../input/Input.h\"\n",
       {"core/Types.h:2: \"../input/Input.h\": core/ may not include input/ (layer order: core, board|document, "
        "input, form, ui)",
        "core/Types.h:2: include cycle between core/ and input/"}},
      {"document/Doc.h",
       "#pragma once\n#include \"./../ui/Window.cpp\"\n",
       {"document/Doc.h:2: \"./../ui/Window.cpp\": document/ may not include ui/ (layer order: core, "
        "board|document, input, form, ui)",
        "document/Doc.h:2: include cycle between document/ and ui/"}},
      {"form/Form.cpp",
       "#include \"../tests/AnyTest.cpp\"\n",
       {"form/Form.cpp:1: \"../tests/AnyTest.cpp\": form/ may not include tests/AnyTest.cpp (outside the program's "
        "layers)"}},
  };
  for (const Case& c : cases) {
    SetUp();
    Write(c.file, c.text);
    EXPECT_EQ(Found(), c.expected) << c.file;
    TearDown();
  }
}

TEST_F(PlantedTree, ACycleBetweenFoldersIsNamed) {
  Write("core/Types.h", "#pragma once\n#include \"board/Board.h\"\n");
  const auto found = Found();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NE(found[0].find("core/Types.h:2: \"board/Board.h\": core/ may not include board/"), std::string::npos);
  EXPECT_EQ(found[1], "core/Types.h:2: include cycle between core/ and board/");
}

}  // namespace
}  // namespace velkor::tools
