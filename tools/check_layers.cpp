// Checks the layer order of the program's includes (tools/LayerCheck.h).
//
//   check_layers <source root>
//
// Prints each violation as file:line: message; exits 1 when there is one.
#include <cstdio>

#include "tools/LayerCheck.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: check_layers <source root>\n");
    return 2;
  }
  const auto violations = velkor::tools::CheckLayers(argv[1]);
  for (const auto& v : violations) std::printf("%s\n", velkor::tools::Describe(v).c_str());
  std::printf("layers: %zu violation%s\n", violations.size(), violations.size() == 1 ? "" : "s");
  return violations.empty() ? 0 : 1;
}
