// The program's commands, each defined once: its board token and place, what
// the status line says over it, and its menu item and toolbar button. Menu
// items, toolbar buttons and board command cells are all made from this
// table; what each command runs, and when it is enabled, is bound once by the
// main form (form/CommandRunner).
#pragma once

#include <optional>
#include <span>
#include <string>

#include "core/ColourText.h"

namespace velkor {

enum class Command {
  NewLine,     // "改~"
  Left,        // "←~"
  Right,       // "→~"
  Up,          // "↑~"
  Down,        // "↓~"
  Blank,       // "挿~"
  Delete,      // "削~"
  BackSpace,   // "BS~"
  Undo,        // "戻"
  Redo,        // "直"
  PrevTab,     // "《~"
  NextTab,     // "》~"
  New,         // "新~"
  Open,        // "開~"
  Save,        // "書~"
  SaveAs,      // "名~"
  Print,       // "印~"
  Quit,        // "終~"
  CancelSlot,  // "☆~"
  Convert,     // "変~"
  Speak,       // "話~"
  Find,        // menu and toolbar only
  Replace,     // menu and toolbar only
  Modifier,    // "゛~", on the board with quick kana only
  Pause,       // "休~": every confirmation but its own is suspended until it is confirmed again
  Settings,    // "設~": the settings board
  CallBell,    // "鈴~": rings the call bell three times; a second one stops it
  Sentences,   // "文~": the face of the user's most used sentences
  ForgetOne,   // "忘~": the next candidate chosen on the prediction row is forgotten, not written
  // The menu's own items, with no board cell.
  EditFont,        // the edit area's font
  EditColour,      // the edit area's background colour
  BoardFont,       // the board's font
  BoardColour,     // the board's background colour
  MirrorKana,      // the syllabary read from the right (a check item)
  WordWrap,        // word wrap at the right edge (a check item)
  SpeechSettings,  // the speed and the volume of reading aloud
  Magnifier,       // the magnifier program
  Help,            // the guide
  ModeClick,       // input mode: click (a check item)
  ModeDwell,       // input mode: dwell, the submenu of its times (a check item)
  ModeDwell1,      // dwell time 1 s .. 5 s (check items)
  ModeDwell2,
  ModeDwell3,
  ModeDwell4,
  ModeDwell5,
  ModeArrowKeys,      // input mode: the arrow keys (a check item)
  ShowPredictionRow,  // the prediction row shown (a check item)
  QuickKana,          // one selection per kana (a check item)
  ForgetLearning,     // forget everything learned
  LearnDocuments,     // learn the words and sentences of the documents (a check item while it runs)
};
inline constexpr int kCommandCount = 50;

// Status-line colours: blue for editing, red for documents, tabs and quitting.
namespace status {
inline constexpr Colour kBlue = colours::Rgb(0, 0, 255);
inline constexpr Colour kRed = colours::Rgb(255, 0, 0);
inline constexpr Colour kBlack = colours::Rgb(0, 0, 0);
}  // namespace status

// What the status line says over a cell, and in which colour.
struct StatusText {
  std::string text;
  Colour colour;
};

// Whether a board cell confirmed by resting on it confirms again while the
// pointer stays: never (it must be left first), every Access/RepeatMs when
// dwell repeat is set (cells that write or edit), or after every further
// dwell time (the modifier, whose repetition is the point: か→が→カ).
enum class Again { Never, WithSetting, OnResting };

// The toolbar's pictures of commands.
enum class CommandImage { None, New, Open, Save, SaveAs, Print, Find, Replace, Undo, Redo, EditFont, BoardFont, Zoom };

struct CommandEntry {
  Command id;
  const char* token;  // the board cell's text (UTF-8); "" for none
  int row;            // its place on the board's command rows; 0 for none
  int col;
  const char* status;  // what the status line says over the cell (UTF-8)
  Colour colour;       // the status text's colour
  const char* action;  // the menu item's and toolbar button's name; "" for none
  const char* menu;    // the menu item's caption (UTF-8)
  const char* hint;    // the toolbar button's tip (UTF-8); "" for no button
  CommandImage image;
  const char* inserts;  // the text the cell writes instead of running anything (改~, 挿~); "" for none
  Again again;
  // A board cell whose first variant is this command runs it at once instead
  // of offering its variants (the documents and quitting).
  bool atOnce;
  // Where no dialog can be answered (scanning; dwell with
  // Access/ConfirmTwice) the cell takes a second confirmation, and reads this
  // in between (UTF-8); "" for a command that never asks twice.
  const char* askTwice;
  bool checkItem;  // the menu shows it ticked or not
};

// Every command, in the order of the enum.
std::span<const CommandEntry, kCommandCount> AllCommands();
const CommandEntry& EntryOf(Command command);

// The main menu as data: each menu a caption and its lines (a command's
// item, a separator, a submenu, or the recent-file items), read in order.
enum class MenuLine {
  Menu,  // opens a menu (or a submenu within the one open): `caption`, or the command's caption
  Item,  // the command's item
  Separator,
  RecentFiles,  // the ten recent-file items, in a submenu named `caption`
  End,          // closes the menu opened last
};
struct MenuEntry {
  MenuLine line;
  std::optional<Command> command;
  const char* caption = "";  // UTF-8
};
std::span<const MenuEntry> MainMenu();
// The toolbar's buttons from the left; nothing stands for a separator.
std::span<const std::optional<Command>> Toolbar();

// Where a command was chosen: on the board (a cell) or in the menu or toolbar.
// Some commands differ by it: outside click mode, 新~ on the board opens the
// slot board where the menu's 新規作成 begins an untitled document.
enum class CommandSource { Board, Menu };

// Runs commands and tells which are enabled (implemented by the main form).
class ICommands {
 public:
  virtual ~ICommands() = default;
  virtual void Run(Command command, CommandSource source) = 0;
  virtual bool Enabled(Command command) const = 0;
  // Whether a check item is ticked.
  virtual bool Checked(Command command) const = 0;
  // After anything that may change what is enabled or ticked: every menu
  // item, toolbar button and board cell whose state changed shows it.
  virtual void Update() = 0;
};

}  // namespace velkor
