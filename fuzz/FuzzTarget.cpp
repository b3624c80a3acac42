// One libFuzzer target; the build names the check it runs.
#include "fuzz/FuzzChecks.h"

#ifndef VELKOR_FUZZ_CHECK
#error "VELKOR_FUZZ_CHECK names the check of this target"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velkor::fuzz::VELKOR_FUZZ_CHECK(velkor::fuzz::AsText(data, size));
  return 0;
}
