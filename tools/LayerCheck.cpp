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

// Where an include leads in the tree, as a compiler with the root on its
// include path finds it: a quoted name first beside the including file, then
// from the root; an angled name from the root. A name found nowhere still
// counts as the program's when it is written relative to the including file
// ("./", "../") or begins with a layer's folder; anything else is a library
// header. The result is relative to the root, with '/', and may leave it.
std::optional<std::string> Resolve(const fs::path& root, const fs::path& file, const Include& include) {
  const fs::path written(include.target);
  const fs::path beside = (file.parent_path() / written).lexically_normal();
  const fs::path fromRoot = (root / written).lexically_normal();
  auto relative = [&root](const fs::path& p) { return p.lexically_relative(root).generic_string(); };
  if (!include.angled && fs::is_regular_file(beside)) return relative(beside);
  if (fs::is_regular_file(fromRoot)) return relative(fromRoot);
  const std::string first = written.begin() == written.end() ? "" : written.begin()->string();
  if (!include.angled && (first == "." || first == "..")) return relative(beside);
  if (!first.empty() && first != include.target && Layers().count(first)) return relative(fromRoot);
  return std::nullopt;
}

// The folder of a path relative to the root: its first part, "" for a file
// at the root itself.
std::string FolderOf(const std::string& relative) {
  const auto slash = relative.find('/');
  return slash == std::string::npos ? "" : relative.substr(0, slash);
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

// The program's own files: every source file in the layers' folders (and
// their subfolders) and at the root, sorted.
std::vector<fs::path> SourceFiles(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& [folder, layer] : Layers()) {
    if (folder.empty()) {
      for (const auto& entry : fs::directory_iterator(root))
        if (entry.is_regular_file() && IsSource(entry.path())) files.push_back(entry.path());
    } else if (fs::is_directory(root / folder)) {
      for (const auto& entry : fs::recursive_directory_iterator(root / folder))
        if (entry.is_regular_file() && IsSource(entry.path())) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Written(const Include& include) {
  return include.angled ? "<" + include.target + ">" : "\"" + include.target + "\"";
}

std::string LayerName(const std::string& folder) { return folder.empty() ? "main.cpp" : folder + "/"; }

using Edges = std::map<std::string, std::set<std::string>>;

// The includes of one file: each against the layer order, and each edge
// between folders noted for the cycle check.
void CheckFile(const fs::path& root, const fs::path& file, std::vector<LayerViolation>& out, Edges& edges,
               std::map<std::pair<std::string, std::string>, Edge>& firstEdge) {
  const std::string relative = fs::relative(file, root).generic_string();
  const std::string folder = FolderOf(relative);
  for (const Include& include : IncludesOf(file)) {
    const auto resolved = Resolve(root, file, include);
    if (!resolved) {
      if (IsQtHeader(include.target) && !MaySeeQt(folder))
        out.push_back({relative, include.line, "Qt header " + Written(include) + " outside ui/ and main.cpp"});
      continue;
    }
    const std::string target = FolderOf(*resolved);
    if (target == folder) continue;
    if (!Layers().count(target)) {
      out.push_back({relative, include.line,
                     Written(include) + ": " + LayerName(folder) + " may not include " + *resolved +
                         " (outside the program's layers)"});
      continue;
    }
    edges[folder].insert(target);
    firstEdge.emplace(std::make_pair(folder, target), Edge{relative, include.line});
    if (Layers().at(target) >= Layers().at(folder)) {
      out.push_back({relative, include.line,
                     Written(include) + ": " + LayerName(folder) + " may not include " + LayerName(target) +
                         " (layer order: core, board|document, input, form, ui)"});
    }
  }
}

}  // namespace

std::vector<LayerViolation> CheckLayers(const fs::path& root) {
  std::vector<LayerViolation> out;
  Edges edges;
  std::map<std::pair<std::string, std::string>, Edge> firstEdge;
  for (const fs::path& file : SourceFiles(root)) CheckFile(root, file, out, edges, firstEdge);
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
