// The command line, read before any window: --where, --help (-h) and
// --version print and end the program; an option it does not know prints the
// usage and ends it with status 2. None of them needs a display, creates a
// folder, recovers unsaved work or writes anything.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "core/Platform.h"

namespace velkor::ui {

enum class Request {
  Window,   // no option of ours: the window starts (Qt reads its own options)
  Where,    // --where
  Help,     // --help, -h
  Version,  // --version
  Unknown,  // anything else
};

struct Arguments {
  Request request = Request::Window;
  std::string unknown;  // the first argument not understood
};

Arguments ReadArguments(int argc, const char* const argv[]);

// The exit status when the command line ends the program; nothing when the
// window is to start.
std::optional<int> RunCommandLine(int argc, const char* const argv[], std::FILE* out = stdout, std::FILE* err = stderr);

// Every place the program writes or reads its own files, one "what: path" a
// line, as --where prints them and the README lists them. Found without
// creating or writing anything.
std::string WhereText(const IShell& shell, const IFileSystem& fs);

}  // namespace velkor::ui
