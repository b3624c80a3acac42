// The function length check: finds every function body in the program's own
// source files and reports each one longer than the limit, so that every
// function fits a screen (docs/style.md).
//
// A function's length is counted in lines from the line of its name to the
// line of its closing brace, both included; lambdas and local classes count
// with the function they are written in. The bodies are found by reading the
// braces with comments, string and character literals and preprocessor lines
// taken out: a brace at namespace or class scope whose head has a parameter
// list, and no "=" of an initializer, opens a function.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velkor::tools {

inline constexpr int kMaxFunctionLines = 60;

struct FunctionSpan {
  std::string name;  // as written, qualified by its class ("Documents::OpenDocument")
  int firstLine = 0;
  int lastLine = 0;
  int Lines() const { return lastLine - firstLine + 1; }
};

// Every function body of one source text, in the order they close.
std::vector<FunctionSpan> FunctionsOf(std::string_view source);

struct LongFunction {
  std::string file;  // relative to the checked root, with '/'
  FunctionSpan function;
};

// The functions longer than `maxLines` in the program's own folders under
// `root` (core, board, document, input, form, ui, tools and main.cpp), by
// file and line.
std::vector<LongFunction> LongFunctions(const std::filesystem::path& root, int maxLines = kMaxFunctionLines);

// "file:line: name is N lines (at most M)", as compilers write their reports.
std::string Describe(const LongFunction& found, int maxLines = kMaxFunctionLines);

// Functions that may stay long for now, as "file function" (the file relative
// to the root, the name as LongFunctions gives it), read from a list of one a
// line; '#' starts a comment line.
std::set<std::string> ReadKnownLongFunctions(const std::filesystem::path& list);

// The check's faults under `root`: each long function not known, and each
// known one that is no longer long, so that the list only shrinks.
std::vector<std::string> FunctionLengthFaults(const std::filesystem::path& root, std::set<std::string> known);

}  // namespace velkor::tools
