// Program-wide state owned by the main window and living as long as it.
#pragma once

#include <string>

#include "core/CommaText.h"
#include "core/Settings.h"

namespace velkor {

// Where the selection is: on the board, in the list over it, or on the
// prediction row above it (ProgramState::onCandidates).
inline constexpr int kOnBoard = 0;
inline constexpr int kOnList = 1;
inline constexpr int kOnPredictionRow = 2;

struct ProgramState {
  std::string helpFileName;     // native file name
  std::string dataDir;          // native folder name, ends with a separator
  std::string perUserDataDir;   // the data folder below the user's own data folder
  std::string curFileName;      // native file name; empty for an untitled document
  std::string pendingCommand;   // pending board command of the slot board
  bool settingsBoard = false;   // the settings board is shown
  bool saveEnabled = true;      // the save command is offered (the text changed since new or open)
  Settings settings;            // CrtList, OptionList, FileList
  StringList defaultBoardList;  // the built-in board in display order
  StringList slotPreviewList;   // status texts of the slot board
  // Selection state: the board cell last tracked under the pointer (or last
  // confirmed by key), the variant-list cell last tracked, whether the
  // selection is in the variant list, the dwell count, where the pointer was
  // when the last board cell was confirmed.
  int boardCol = 0;
  int boardRow = 0;
  int candCol = 0;
  int candRow = 0;
  int onCandidates = 0;
  int dwellTicks = 0;
  int returnCursorX = 0;
  int returnCursorY = 0;
  bool candJustOpened = false;
  // Where the pointer was when the list last opened or was refilled: no count
  // starts on the list until the pointer has moved more than 3 pixels away.
  int listAnchorX = 0;
  int listAnchorY = 0;
  // The prediction row's cell last tracked under the pointer (-1: none), and
  // as for the list: after the row was refilled under a resting pointer,
  // nothing on it counts until the pointer has moved from where it was.
  int rowCell = -1;
  // 休~ was confirmed: no other confirmation does anything until it is
  // confirmed again.
  bool paused = false;
  // 終~ or 印~ confirmed once (dwell mode with Access/ConfirmTwice, or
  // scanning): the cell at armedCol, armedRow reads もう一度で終了 (もう一度で印刷)
  // and a second confirmation of it runs the command; any other
  // confirmation gives it up. -1: none armed.
  int armedCommand = -1;
  int armedCol = 0;
  int armedRow = 0;
  // A board cell confirmed by dwell that repeats while still dwelt on
  // (Access/RepeatMs), and the ticks since its last confirmation.
  bool repeating = false;
  int repeatTicks = 0;
  // Where the pointer was (screen coordinates) when the dwell count began:
  // within the dwell tolerance of it the cell does not change.
  int dwellAnchorX = 0;
  int dwellAnchorY = 0;
  bool dwellAnchored = false;
  // A dwell count on a cell the pointer left: where, how far it had come
  // and when it was left (Access/DwellMemoryMs).
  struct KeptCount {
    bool valid = false;
    int place = 0;
    int col = -1;
    int row = -1;
    int ticks = 0;
    long long leftAtMs = 0;
  };
  KeptCount keptCount;
  // The prediction row was refilled under the pointer at rowAnchorX/Y.
  bool rowJustFilled = false;
  int rowAnchorX = 0;
  int rowAnchorY = 0;
};

}  // namespace velkor
