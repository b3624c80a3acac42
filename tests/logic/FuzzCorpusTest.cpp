// Replays the committed fuzzing corpus through the fuzz targets' checks, so
// every interesting input found while fuzzing stays a regression test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/FuzzChecks.h"

namespace velkor::fuzz {
namespace {

using Check = void (*)(std::string_view);

struct Target {
  const char* name;
  Check check;
};

class FuzzCorpus : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzCorpus, EveryInputHoldsItsProperty) {
  const std::filesystem::path folder = std::filesystem::path(VELKOR_SOURCE_DIR) / "fuzz" / "corpus" / GetParam().name;
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    SCOPED_TRACE(entry.path().string());
    GetParam().check(bytes.str());
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus,
                         ::testing::Values(Target{"comma_text", CheckCommaText}, Target{"colour_text", CheckColourText},
                                           Target{"codec", CheckCodec}, Target{"settings", CheckSettings},
                                           Target{"file_text", CheckFileText}, Target{"search", CheckSearch}),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::fuzz
