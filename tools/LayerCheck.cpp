#include "tools/LayerCheck.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <set>

namespace velkor::tools {
namespace {

namespace fs = std::filesystem;

// The layer of each checked folder; "" stands for the files at the root
// (main.cpp), which sit on top of the adapter.
const std::map<std::string, int>& Layers() {
  static const std::map<std::string, int> layers = {
      {"core", 0}, {"board", 1}, {"document", 1}, {"input", 2}, {"form", 3}, {"ui", 4}, {"", 5},
  };
  return layers;
}

bool MaySeeQt(const std::string& folder) { return folder == "ui" || folder.empty(); }

struct Include {
  int line;
  std::string target;  // the text between the quotes or angle brackets
  bool angled;
};

std::vector<Include> IncludesOf(const fs::path& file) {
  std::vector<Include> out;
  std::ifstream in(file);
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] != '#') continue;
    const auto word = text.find_first_not_of(" \t", first + 1);
    if (word == std::string::npos || text.compare(word, 7, "include") != 0) continue;
    const auto open = text.find_first_of("\"<", word + 7);
    if (open == std::string::npos) continue;
    const char close = text[open] == '"' ? '"' : '>';
    const auto end = text.find(close, open + 1);
    if (end == std::string::npos) continue;
    out.push_back({line, text.substr(open + 1, end - open - 1), close == '>'});
  }
  return out;
}

// The folder an include of the program's own names ("core/Cp932.h"), or
// nothing for a library header.
std::optional<std::string> FolderOf(const std::string& target) {
  const auto slash = target.find('/');
  if (slash == std::string::npos) return std::nullopt;
  const std::string folder = target.substr(0, slash);
  if (!Layers().count(folder) || folder.empty()) return std::nullopt;
  return folder;
}

bool IsQtHeader(const std::string& target) {
  return target.size() > 1 && target[0] == 'Q' &&
         (std::isupper(static_cast<unsigned char>(target[1])) || target.rfind("Qt", 0) == 0);
}

bool IsSource(const fs::path& path) {
  const std::string ext = path.extension().string();
  return ext == ".h" || ext == ".cpp" || ext == ".inc";
}

// Folders reachable from `from` through the edges, for the cycle check.
bool Reaches(const std::map<std::string, std::set<std::string>>& edges, const std::string& from, const std::string& to,
             std::set<std::string>& seen) {
  if (!seen.insert(from).second) return false;
  const auto it = edges.find(from);
  if (it == edges.end()) return false;
  for (const std::string& next : it->second)
    if (next == to || Reaches(edges, next, to, seen)) return true;
  return false;
}

struct Edge {
  std::string file;
  int line;
};

}  // namespace

std::vector<LayerViolation> CheckLayers(const fs::path& root) {
  std::vector<LayerViolation> out;
  std::map<std::string, std::set<std::string>> edges;
  std::map<std::pair<std::string, std::string>, Edge> firstEdge;
  std::vector<fs::path> files;
  for (const auto& [folder, layer] : Layers()) {
    const fs::path dir = folder.empty() ? root : root / folder;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file() && IsSource(entry.path())) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const std::string relative = fs::relative(file, root).generic_string();
    const auto slash = relative.find('/');
    const std::string folder = slash == std::string::npos ? "" : relative.substr(0, slash);
    const int layer = Layers().at(folder);
    for (const Include& include : IncludesOf(file)) {
      if (include.angled) {
        if (IsQtHeader(include.target) && !MaySeeQt(folder))
          out.push_back({relative, include.line, "Qt header <" + include.target + "> outside ui/ and main.cpp"});
        continue;
      }
      const auto target = FolderOf(include.target);
      if (!target || *target == folder) continue;
      edges[folder].insert(*target);
      firstEdge.emplace(std::make_pair(folder, *target), Edge{relative, include.line});
      if (Layers().at(*target) >= layer) {
        out.push_back({relative, include.line,
                       "\"" + include.target + "\": " + (folder.empty() ? "main.cpp" : folder + "/") +
                           " may not include " + *target +
                           "/ (layer order: core, board|document, input, "
                           "form, ui)"});
      }
    }
  }
  // Cycles between folders, reported at each include of the cycle that goes
  // up or sideways in the layer order.
  for (const auto& [from, targets] : edges) {
    for (const std::string& to : targets) {
      std::set<std::string> seen;
      if (Layers().at(to) >= Layers().at(from) && Reaches(edges, to, from, seen)) {
        const Edge& edge = firstEdge.at({from, to});
        out.push_back({edge.file, edge.line, "include cycle between " + from + "/ and " + to + "/"});
      }
    }
  }
  return out;
}

std::string Describe(const LayerViolation& v) { return v.file + ":" + std::to_string(v.line) + ": " + v.message; }

}  // namespace velkor::tools
