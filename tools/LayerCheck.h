// The layer check: reads every #include of the program's own folders and
// reports each one that goes against the layer order, each include cycle
// between folders, and each Qt header outside the adapter.
//
// Layers, lowest first: core/; board/ and document/ (each on core/ alone);
// input/; form/; ui/; main.cpp. A file may include its own folder and
// the layers below its own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velkor::tools {

struct LayerViolation {
  std::string file;  // relative to the checked root, with '/'
  int line = 0;
  std::string message;
};

// Checks the source tree at `root`. Files of other folders (tests, tools,
// bench, fuzz) are not checked.
std::vector<LayerViolation> CheckLayers(const std::filesystem::path& root);

// "file:line: message", as compilers write their reports.
std::string Describe(const LayerViolation& violation);

}  // namespace velkor::tools
