#include "tools/FunctionLength.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace velkor::tools {
namespace {

namespace fs = std::filesystem;

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Blanks [from, to) of `code`, keeping line breaks so that lines still count.
void Blank(std::string& code, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to && i < code.size(); ++i)
    if (code[i] != '\n') code[i] = ' ';
}

// The end of a quoted literal that opens at `open`, past its closing quote.
std::size_t QuotedEnd(const std::string& s, std::size_t open) {
  const char quote = s[open];
  std::size_t i = open + 1;
  while (i < s.size() && s[i] != quote && s[i] != '\n') i += s[i] == '\\' ? 2 : 1;
  return std::min(i + 1, s.size());
}

// The end of a raw string literal R"delim( ... )delim" whose quote is at
// `open`, past its closing quote.
std::size_t RawEnd(const std::string& s, std::size_t open) {
  const std::size_t paren = s.find('(', open);
  if (paren == std::string::npos) return s.size();
  const std::string close = ")" + s.substr(open + 1, paren - open - 1) + "\"";
  const std::size_t end = s.find(close, paren);
  return end == std::string::npos ? s.size() : end + close.size();
}

// A quote that opens a raw string: R" after a prefix of R, u8R, uR, UR or LR.
bool OpensRawString(const std::string& s, std::size_t quote) {
  if (quote == 0 || s[quote - 1] != 'R') return false;
  std::size_t start = quote - 1;
  while (start > 0 && IsWordChar(s[start - 1])) --start;
  const std::string prefix = s.substr(start, quote - start);
  return prefix == "R" || prefix == "u8R" || prefix == "uR" || prefix == "UR" || prefix == "LR";
}

// An apostrophe inside a number (1'000) separates digits; any other opens a
// character literal.
bool SeparatesDigits(const std::string& s, std::size_t apostrophe) {
  std::size_t start = apostrophe;
  while (start > 0 && (IsWordChar(s[start - 1]) || s[start - 1] == '\'' || s[start - 1] == '.')) --start;
  return start < apostrophe && std::isdigit(static_cast<unsigned char>(s[start]));
}

// A preprocessor line (with its continuations) starting at `i`, or npos.
std::size_t DirectiveEnd(const std::string& s, std::size_t i) {
  std::size_t first = i;
  while (first < s.size() && (s[first] == ' ' || s[first] == '\t')) ++first;
  if (first >= s.size() || s[first] != '#') return std::string::npos;
  std::size_t end = s.find('\n', first);
  while (end != std::string::npos && end > 0 && s[end - 1] == '\\') end = s.find('\n', end + 1);
  return end == std::string::npos ? s.size() : end;
}

// The source with comments, literals and preprocessor lines blanked.
std::string CodeOf(std::string_view source) {
  std::string code(source);
  bool lineStart = true;
  for (std::size_t i = 0; i < code.size();) {
    const char c = code[i];
    std::size_t end = std::string::npos;
    if (lineStart) end = DirectiveEnd(code, i);
    if (end == std::string::npos) {
      if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
        end = code.find('\n', i);
        if (end == std::string::npos) end = code.size();
      } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
        end = code.find("*/", i + 2);
        end = end == std::string::npos ? code.size() : end + 2;
      } else if (c == '"') {
        end = OpensRawString(code, i) ? RawEnd(code, i) : QuotedEnd(code, i);
      } else if (c == '\'' && !SeparatesDigits(code, i)) {
        end = QuotedEnd(code, i);
      }
    }
    if (end != std::string::npos) {
      Blank(code, i, end);
      i = end;
      continue;
    }
    if (c == '\n') lineStart = true;
    if (c != '\n' && c != ' ' && c != '\t') lineStart = false;
    ++i;
  }
  return code;
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

// The head without a leading template <...> and access specifiers.
std::size_t DeclarationStart(std::string_view head, std::size_t from) {
  for (bool more = true; more;) {
    more = false;
    while (from < head.size() && std::isspace(static_cast<unsigned char>(head[from]))) ++from;
    for (const std::string_view label : {"public", "protected", "private", "signals", "slots"}) {
      const std::size_t after = from + label.size();
      if (head.substr(from, label.size()) != label || (after < head.size() && IsWordChar(head[after]))) continue;
      const std::size_t colon = head.find_first_not_of(" \t\r\n", after);
      if (colon != std::string_view::npos && head[colon] == ':' && head.substr(colon, 2) != "::") {
        from = colon + 1;
        more = true;
      }
    }
    if (head.substr(from, 8) == "template") {
      const std::size_t open = head.find('<', from);
      int depth = 0;
      for (std::size_t i = open; open != std::string_view::npos && i < head.size(); ++i) {
        depth += head[i] == '<' ? 1 : head[i] == '>' ? -1 : 0;
        if (depth == 0) {
          from = i + 1;
          more = true;
          break;
        }
      }
    }
  }
  return from;
}

std::string FirstWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && IsWordChar(text[end])) ++end;
  return std::string(text.substr(0, end));
}

enum class Kind { Namespace, Class, Function, Other };

// What a brace at namespace or class scope opens, by the text before it.
Kind KindOf(std::string_view declaration) {
  const std::string first = FirstWord(declaration);
  if (first == "namespace" || first == "extern") return Kind::Namespace;
  if (first == "enum") return Kind::Other;
  if (first == "class" || first == "struct" || first == "union") return Kind::Class;
  int depth = 0;
  bool parameters = false;
  for (std::size_t i = 0; i < declaration.size(); ++i) {
    const char c = declaration[i];
    if (c == '(') parameters = true, ++depth;
    if (c == ')') --depth;
    if (c == '=' && depth == 0) {
      // operator=, operator== and the like name a function.
      const std::size_t op = declaration.rfind("operator", i);
      const bool inName = op != std::string_view::npos && declaration.find('(', op) > i;
      if (!inName) return Kind::Other;
    }
  }
  return parameters ? Kind::Function : Kind::Other;
}

// The name of a class head ("class Foo final : Bar" gives "Foo").
std::string ClassName(std::string_view declaration) {
  std::size_t i = FirstWord(declaration).size();
  while (i < declaration.size()) {
    while (i < declaration.size() && !IsWordChar(declaration[i])) ++i;
    const std::string word = FirstWord(declaration.substr(i));
    if (word.empty()) break;
    if (word != "alignas" && word != "final") return word;
    i += word.size();
  }
  return {};
}

// Where a function's parameter list opens: the first "(" outside template
// arguments, after an operator's own symbols.
std::size_t ParameterListOf(std::string_view declaration) {
  const std::size_t op = declaration.find("operator");
  if (op != std::string_view::npos && (op == 0 || !IsWordChar(declaration[op - 1]))) {
    const std::size_t call = declaration.find("()", op);
    const std::size_t from =
        call != std::string_view::npos && Trimmed(declaration.substr(op + 8, call - op - 8)).empty() ? call + 2
                                                                                                     : op + 8;
    return declaration.find('(', from);
  }
  int angle = 0;
  for (std::size_t i = 0; i < declaration.size(); ++i) {
    const char c = declaration[i];
    if (c == '<') ++angle;
    if (c == '>' && angle > 0) --angle;
    if (c == '(' && angle == 0) return i;
  }
  return std::string_view::npos;
}

// The qualified name written before a parameter list.
std::string FunctionName(std::string_view declaration, std::size_t parameters) {
  const std::string_view before = declaration.substr(0, std::min(parameters, declaration.size()));
  std::size_t start = before.find_last_not_of(" \t\r\n");
  start = start == std::string_view::npos ? 0 : start + 1;
  const std::size_t end = start;
  const std::size_t op = before.rfind("operator");
  if (op != std::string_view::npos && (op == 0 || !IsWordChar(before[op - 1]))) start = op;
  while (start > 0 && (IsWordChar(before[start - 1]) || before[start - 1] == ':' || before[start - 1] == '~')) --start;
  return Trimmed(before.substr(start, end - start));
}

int LineAt(const std::string& code, std::size_t pos) {
  return 1 + static_cast<int>(std::count(code.begin(), code.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

struct Scope {
  Kind kind;
  std::string name;  // a class's name; a function's qualified name
  int firstLine = 0;
};

// Reads the braces of the blanked code.
class BraceReader {
 public:
  explicit BraceReader(std::string code) : code_(std::move(code)) {}

  std::vector<FunctionSpan> Read() {
    for (pos_ = 0; pos_ < code_.size(); ++pos_) {
      const char c = code_[pos_];
      if (c == '{') Open();
      if (c == '}') Close();
      if (c == ';' && !InBody()) head_ = pos_ + 1;
    }
    return found_;
  }

 private:
  bool InBody() const {
    return !scopes_.empty() && (scopes_.back().kind == Kind::Function || scopes_.back().kind == Kind::Other);
  }

  // A brace inside parentheses of the head, or after a name in a
  // constructor's initializer list ("a_{1}"), initializes: it is skipped.
  bool Initializes(std::string_view head) const {
    int depth = 0;
    for (char c : head) depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (depth > 0) return true;
    const std::size_t close = head.rfind(')');
    const std::size_t colon = close == std::string_view::npos ? close : head.find(':', close);
    if (colon == std::string_view::npos || head.substr(colon, 2) == "::") return false;
    const std::size_t last = head.find_last_not_of(" \t\r\n");
    return last != std::string_view::npos && (IsWordChar(head[last]) || head[last] == '>');
  }

  void SkipBraces() {
    int depth = 0;
    for (; pos_ < code_.size(); ++pos_) {
      depth += code_[pos_] == '{' ? 1 : code_[pos_] == '}' ? -1 : 0;
      if (depth == 0) return;
    }
  }

  void Open() {
    if (InBody()) {
      scopes_.push_back({Kind::Other, {}, 0});
      return;
    }
    const std::string_view head = std::string_view(code_).substr(head_, pos_ - head_);
    if (KindOf(head.substr(DeclarationStart(head, 0))) == Kind::Function && Initializes(head)) {
      SkipBraces();
      return;
    }
    const std::size_t start = head_ + DeclarationStart(head, 0);
    const std::string_view declaration = std::string_view(code_).substr(start, pos_ - start);
    Scope scope{KindOf(declaration), {}, 0};
    if (scope.kind == Kind::Class) scope.name = ClassName(declaration);
    if (scope.kind == Kind::Function) {
      const std::size_t parameters = ParameterListOf(declaration);
      scope.name = Qualified(FunctionName(declaration, parameters));
      scope.firstLine = LineAt(code_, start + NameStart(declaration, parameters));
    }
    scopes_.push_back(scope);
    head_ = pos_ + 1;
  }

  // Where the name before the parameter list ends.
  static std::size_t NameStart(std::string_view declaration, std::size_t parameters) {
    std::size_t at = std::min(parameters, declaration.size());
    while (at > 0 && std::isspace(static_cast<unsigned char>(declaration[at - 1]))) --at;
    return at == 0 ? 0 : at - 1;
  }

  std::string Qualified(const std::string& name) const {
    std::string prefix;
    for (const Scope& scope : scopes_)
      if (scope.kind == Kind::Class && !scope.name.empty()) prefix += scope.name + "::";
    return prefix + name;
  }

  void Close() {
    if (scopes_.empty()) return;
    const Scope scope = scopes_.back();
    scopes_.pop_back();
    if (scope.kind == Kind::Function) found_.push_back({scope.name, scope.firstLine, LineAt(code_, pos_)});
    if (!InBody()) head_ = pos_ + 1;
  }

  std::string code_;
  std::size_t pos_ = 0;
  std::size_t head_ = 0;
  std::vector<Scope> scopes_;
  std::vector<FunctionSpan> found_;
};

bool IsSource(const fs::path& path) {
  const std::string ext = path.extension().string();
  return ext == ".h" || ext == ".cpp" || ext == ".inc";
}

std::vector<fs::path> SourceFiles(const fs::path& root) {
  std::vector<fs::path> files;
  for (const char* folder : {"core", "board", "document", "input", "form", "ui", "tools"}) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder))
      if (entry.is_regular_file() && IsSource(entry.path())) files.push_back(entry.path());
  }
  if (fs::is_regular_file(root / "main.cpp")) files.push_back(root / "main.cpp");
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::vector<FunctionSpan> FunctionsOf(std::string_view source) { return BraceReader(CodeOf(source)).Read(); }

std::vector<LongFunction> LongFunctions(const fs::path& root, int maxLines) {
  std::vector<LongFunction> out;
  for (const fs::path& file : SourceFiles(root)) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<FunctionSpan> functions = FunctionsOf(text.str());
    std::sort(functions.begin(), functions.end(),
              [](const FunctionSpan& a, const FunctionSpan& b) { return a.firstLine < b.firstLine; });
    for (const FunctionSpan& function : functions)
      if (function.Lines() > maxLines) out.push_back({fs::relative(file, root).generic_string(), function});
  }
  return out;
}

std::string Describe(const LongFunction& found, int maxLines) {
  return found.file + ":" + std::to_string(found.function.firstLine) + ": " + found.function.name + " is " +
         std::to_string(found.function.Lines()) + " lines (at most " + std::to_string(maxLines) + ")";
}

std::set<std::string> ReadKnownLongFunctions(const fs::path& list) {
  std::set<std::string> known;
  std::ifstream in(list);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string file, function;
    if (words >> file >> function && file[0] != '#') known.insert(file + " " + function);
  }
  return known;
}

std::vector<std::string> FunctionLengthFaults(const fs::path& root, std::set<std::string> known) {
  std::vector<std::string> faults;
  for (const LongFunction& found : LongFunctions(root)) {
    if (known.erase(found.file + " " + found.function.name) == 0) faults.push_back(Describe(found));
  }
  for (const std::string& gone : known)
    faults.push_back(gone + ": no longer over " + std::to_string(kMaxFunctionLines) +
                     " lines: remove it from the list");
  return faults;
}

}  // namespace velkor::tools
