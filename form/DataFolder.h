// Where the document slots are kept, and documents found inside the build
// folder moved out of it: a clean build deletes the build folder whole, so
// a program run from there keeps its documents in the per-user data folder,
// as an installed program does.
#pragma once

#include <string>
#include <vector>

#include "core/Platform.h"

namespace velkor {

// Below the per-user data folder: where documents of a build folder whose
// names were taken there already are kept aside ("…-2", "…-3" when that is
// taken too).
inline constexpr char kBuildDataAside[] = "VelkorLT/Data-from-build";

// The folders that may hold the slots, in the order they are tried: `beside`
// (Data/ beside the program) for a program in a folder of its own, then the
// per-user folder; installed or in its build folder, the per-user folder
// alone.
std::vector<std::string> DataDirCandidates(ProgramPlace place, const std::string& beside,
                                           const std::string& perUserDataDir);

// The folder the slots would be kept in, found without creating or writing
// anything: the first candidate that exists and can be written, or that does
// not exist yet where its parent folder can be written; else the last one.
std::string DataDirToBe(const IFileSystem& fs, ProgramPlace place, const std::string& beside,
                        const std::string& perUserDataDir);

// What became of the files of a build folder's Data/.
struct DataMove {
  int moved = 0;                       // moved under their own names
  std::vector<std::string> keptAside;  // their names were taken: moved to `asideDir`
  std::string asideDir;
  std::vector<std::string> left;  // could not be moved: still in the build folder
  bool inUse = false;             // a program running from there holds a lock: nothing was moved
};

// Moves every file of `from` into `to` without replacing any: a name that is
// taken there goes to the first folder `asideBase`/, `asideBase`-2/ ... that
// can take it. The locks of recovery copies are not moved (nobody holds them,
// or nothing is moved at all), and the emptied folder is removed.
DataMove MoveDataOut(IFileSystem& fs, const std::string& from, const std::string& to, const std::string& asideBase);

// What the user is told of a move (code page 932); "" when there was nothing
// to move.
std::string DataMoveNotice(const DataMove& move, const std::string& from, const std::string& to);

// What a first start tells the user of where the slots are (code page 932):
// installed or run from the build folder, they are not beside the program.
std::string FirstStartNotice(ProgramPlace place, const std::string& dataDir);

}  // namespace velkor
