// Program-wide state owned by the main window and living as long as it: where
// its files are, the document's file, the settings and the built-in board.
// What the selection engine tracks (the cell under the pointer, the dwell
// count, the list, the pending slot choice) is its own, in input/.
#pragma once

#include <string>

#include "core/CommaText.h"
#include "core/Settings.h"

namespace velkor {

struct ProgramState {
  std::string helpFileName;     // native file name
  std::string dataDir;          // native folder name, ends with a separator
  std::string perUserDataDir;   // the data folder below the user's own data folder
  std::string curFileName;      // native file name; empty for an untitled document
  bool saveEnabled = true;      // the save command is offered (the text changed since new or open)
  Settings settings;            // CrtList, OptionList, FileList
  StringList defaultBoardList;  // the built-in board in display order
};

}  // namespace velkor
