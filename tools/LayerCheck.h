// The layer check: reads every #include of the program's own folders and
// reports each one that goes against the layer order, each include cycle
// between folders, and each Qt header outside the adapter.
//
// Layers, lowest first: core/; board/ and document/ (each on core/ alone);
// input/; form/; ui/; main.cpp. A file may include its own folder and
// the layers below its own, nothing outside the layers' folders.
//
// An include is followed to the file it names, as the compiler finds it with
// the root on the include path: a quoted name beside the including file first
// ("./X.h", "../input/X.h"), then from the root ("core/Cp932.h"); an angled
// name from the root (<form/MainForm.h>). Any other angled name is a library
// header, checked only for Qt.
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
