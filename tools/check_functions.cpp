// Checks that no function of the program is longer than a screen
// (tools/FunctionLength.h).
//
//   check_functions <source root> [<known long functions>]
//
// Prints each fault as file:line: message and exits 1 when there is one. The
// optional list names functions that may stay long for now; one of them that
// is no longer long is a fault too, so that the list only shrinks.
#include <cstdio>

#include "tools/FunctionLength.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: check_functions <source root> [<known long functions>]\n");
    return 2;
  }
  const auto known = argc == 3 ? velkor::tools::ReadKnownLongFunctions(argv[2]) : std::set<std::string>{};
  const auto faults = velkor::tools::FunctionLengthFaults(argv[1], known);
  for (const std::string& fault : faults) std::printf("%s\n", fault.c_str());
  std::printf("functions: %zu fault%s (at most %d lines each; %zu known long)\n", faults.size(),
              faults.size() == 1 ? "" : "s", velkor::tools::kMaxFunctionLines, known.size());
  return faults.empty() ? 0 : 1;
}
