// Program-wide state owned by the main window and living as long as it.
#pragma once

#include <string>

#include "app/CommaText.h"
#include "app/Settings.h"

namespace velkor {

struct ProgramState {
  std::string helpFileName;     // native file name
  std::string dataDir;          // native folder name, ends with a separator
  std::string curFileName;      // native file name; empty for an untitled document
  std::string pendingCommand;   // pending board command of the slot board
  Settings settings;            // CrtList, OptionList, FileList
  StringList defaultBoardList;  // the built-in board in display order
  StringList slotPreviewList;   // status texts of the slot board
  int boardCol = 0;             // last board cell under the pointer
  int boardRow = 0;
};

}  // namespace velkor
