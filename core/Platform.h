// What the program's logic needs of the platform: the window and its controls,
// the settings store, the file system and the desktop shell. The logic speaks in
// its own terms (code page 932 byte strings, byte positions, colour values);
// ui/ implements these interfaces over Qt, tests implement them in memory.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ColourText.h"
#include "core/Commands.h"
#include "core/CommaText.h"
#include "core/PrintMetrics.h"
#include "core/TextRope.h"

namespace velkor {

class ITextFiles;
class IConverter;
class ISpeech;
class IBell;
class IPredictor;

// A font as the settings hold it: name (code page 932), size in points, colour.
struct FontSpec {
  std::string name;
  int size = 0;
  Colour colour = colours::clWindowText;
  bool operator==(const FontSpec&) const = default;
};

// A cell of a grid: column and row.
struct CellPos {
  int col = 0;
  int row = 0;
  bool operator==(const CellPos&) const = default;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// Keys as the program tells them apart.
// Navigation: Home, End, Page Up and Page Down, which move the caret too.
enum class Key { Left, Up, Right, Down, Delete, Navigation, Other };

// The edit area: a multi-line plain-text control holding code page 932 text in
// which every line break is CR LF.
class IEditArea {
 public:
  virtual ~IEditArea() = default;
  virtual std::string Text() const = 0;
  // Replaces the whole text. Raises the change notification only when the text
  // differs; clears the modified flag.
  virtual void SetText(const std::string& text) = 0;
  // The whole text as a shared snapshot, and putting one back: the same as
  // Text() and SetText(), but a snapshot shares its unchanged parts, so an
  // edit area that keeps its text that way can change only what differs.
  virtual TextRope Snapshot() const { return TextRope(Text()); }
  virtual void RestoreSnapshot(const TextRope& text) { SetText(text.Flatten()); }
  // Empties the text without a change notification; clears the modified flag.
  virtual void Clear() = 0;
  virtual bool Modified() const = 0;
  virtual void SetModified(bool modified) = 0;
  virtual FontSpec Font() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual Colour Background() const = 0;
  virtual void SetBackground(Colour colour) = 0;
  // Word wrap at the right edge; off shows both scroll bars, on only the vertical.
  virtual void SetWordWrap(bool on) = 0;
  virtual void SetFocus() = 0;
  // Caret position (the selection start) and selection length, in bytes of the
  // text where every line break counts as CR LF. Setting the caret removes the
  // selection.
  virtual int SelStart() const = 0;
  virtual void SetSelStart(int pos) = 0;
  virtual int SelLength() const = 0;
  virtual void SetSelLength(int length) = 0;
  // The character at the caret (code page 932): "" at the end of the text,
  // CR LF at the end of a line.
  virtual std::string CharacterAtCaret() const = 0;
  // Replaces the caret by a solid one as wide as `character` (code page 932)
  // in the edit font and as high as the font.
  virtual void SetBlockCaret(const std::string& character) = 0;
  // Replaces the selection (an empty text deletes it), as typing does: raises
  // the change notification and sets the modified flag.
  virtual void ReplaceSelection(const std::string& text) = 0;
  // Pastes the system clipboard at the caret, replacing the selection, as
  // typing does.
  virtual void PasteFromClipboard() = 0;
  // Scrolls the view so that the caret is in sight after a caret command.
  virtual void ScrollToCaret() = 0;
  // While a file loads: the busy pointer over the edit area and its redrawing
  // suspended; both restored when loading ends.
  virtual void SetLoading(bool loading) = 0;
};

// The one-line staging box through which board text reaches the edit area.
class IInputBox {
 public:
  virtual ~IInputBox() = default;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void SelectAll() = 0;
  // Cuts the selection to the system clipboard.
  virtual void CutToClipboard() = 0;
};

// A point on the screen.
struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// The pointer: its screen position (which may not be available) and moving it.
class IPointer {
 public:
  virtual ~IPointer() = default;
  virtual std::optional<Point> Position() const = 0;
  virtual void MoveTo(Point position) = 0;
};

// A repeating (or single-shot) timer; the input timer ticks every 500 ms
// unless told otherwise.
class ITimer {
 public:
  virtual ~ITimer() = default;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
  // The time between ticks, taking effect at the next Start.
  virtual void SetIntervalMs(int ms) = 0;
  virtual int IntervalMs() const = 0;
};

// A monotonic clock in milliseconds (for how long a cell was left).
class IClock {
 public:
  virtual ~IClock() = default;
  virtual long long NowMs() const = 0;
};

// A mark drawn inside a cell for the dwell count on it.
struct DwellMark {
  // How far the count has come, in percent of the dwell time; 0 draws nothing.
  int percent = 0;
  // The cell was just confirmed by resting on it: it counts again only after
  // the pointer has left it, and the mark says so.
  bool done = false;
  bool operator==(const DwellMark&) const = default;
};

// Where the scan highlight (a thick frame and a tint) lies on a surface: on a
// cell, on a whole row (col -1), or nowhere (row -1); or, with row -1, on
// `cells` together wherever they lie (the board's shortcut line).
struct ScanMark {
  ScanMark() = default;
  ScanMark(int atRow, int atCol) : row(atRow), col(atCol) {}
  explicit ScanMark(std::vector<CellPos> together) : cells(std::move(together)) {}
  int row = -1;
  int col = -1;
  std::vector<CellPos> cells;
  bool operator==(const ScanMark&) const = default;
};

// A surface of cells that the pointer rests on and the scan highlight steps
// over: the board grid (with whichever face it shows), the list over it, the
// prediction row and the help window's buttons. The one dwell tracker and the
// scanner see every surface through this.
class ICellSurface {
 public:
  virtual ~ICellSurface() = default;
  // The cell under a point of the screen: nothing when the surface is hidden
  // or the point lies off it; a cell of {-1, -1} when the point lies on the
  // surface beside its cells.
  virtual std::optional<CellPos> CellAtScreen(Point at) const = 0;
  // The dwell mark inside a cell; an empty mark takes it away.
  virtual void SetDwellMark(CellPos cell, DwellMark mark) = 0;
  virtual void SetScanMark(ScanMark mark) = 0;
};

// The variant list: a small grid without fixed cells laid over the board.
class IVariantList : public ICellSurface {
 public:
  virtual void SetShape(int cols, int rows) = 0;
  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  // Every cell of the list gets this size.
  virtual void SetCellSize(int width, int height) = 0;
  // Font name and size (the list's colour is always red).
  virtual void SetFont(const FontSpec& font) = 0;
  virtual void ClearRow(int row) = 0;
  virtual std::string CellText(int col, int row) const = 0;
  virtual void SetCellText(int col, int row, const std::string& text) = 0;
  // Place and size within the board panel (the board grid's coordinates).
  virtual Rect Geometry() const = 0;
  virtual void SetGeometry(const Rect& rect) = 0;
  // The current cell; each actual change raises the list's click report.
  virtual int Col() const = 0;
  virtual int Row() const = 0;
  virtual void SetCol(int col) = 0;
  virtual void SetRow(int row) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetFocus() = 0;
  // Widens every column to the widest text in the list (never narrower than
  // now) and moves the list, if need be, so that all of it lies inside the
  // board panel: a conversion's candidates and control cells stay readable.
  virtual void FitToText() = 0;
};

// The prediction row: a strip of wide cells directly above the board, each
// showing one candidate whole (its font shrunk to fit). As a surface its
// cells are {cell, 0}.
class IPredictionRow : public ICellSurface {
 public:
  // Shows these candidates, one a cell from the left, in `cells` cells (the
  // rest empty); 0 cells hides the strip.
  virtual void SetCells(int cells, const StringList& candidates) = 0;
  virtual int CellCount() const = 0;
  virtual std::string CellText(int cell) const = 0;
  // The cell drawn as current (walked to by the arrow keys, or dwelt on);
  // -1 for none.
  virtual void SetCurrent(int cell) = 0;
  virtual int Current() const = 0;
  // The row's height while shown, 0 while hidden; it follows the board's
  // rows: SetCellHeight(0) gives the board's default row height.
  virtual int Height() const = 0;
  virtual void SetCellHeight(int height) = 0;
};

// The board grid: columns and rows with a fixed first column and row (as a
// surface, column 0 and row 0 are the fixed ones).
class IBoardGrid : public ICellSurface {
 public:
  virtual void SetShape(int cols, int rows, int fixedCols, int fixedRows) = 0;
  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  virtual FontSpec Font() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  // The screen's pixels per inch, for the default cell size.
  virtual int PixelsPerInch() const = 0;
  // Gives every column (row) this width (height); sizes set before are discarded.
  virtual void SetDefaultColWidth(int width) = 0;
  virtual void SetDefaultRowHeight(int height) = 0;
  virtual int DefaultRowHeight() const = 0;
  virtual int ColWidth(int col) const = 0;
  virtual void SetColWidth(int col, int width) = 0;
  virtual int RowHeight(int row) const = 0;
  virtual void SetRowHeight(int row, int height) = 0;
  virtual std::string CellText(int col, int row) const = 0;
  virtual void SetCellText(int col, int row, const std::string& text) = 0;
  virtual Colour FixedColour() const = 0;
  virtual void SetFixedColour(Colour colour) = 0;
  virtual Colour Background() const = 0;
  virtual void SetBackground(Colour colour) = 0;
  // A cell drawn greyed (a command that cannot run now) or as usual.
  virtual void SetCellEnabled(int col, int row, bool enabled) = 0;
  // The cell editor's pop-up menu, offered only on the user tabs.
  virtual void SetCellMenuAttached(bool attached) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // The current cell, drawn as the focused cell. Each actual change of the
  // column or the row raises the grid's click report; setting the value it
  // already has reports nothing.
  virtual int Col() const = 0;
  virtual int Row() const = 0;
  virtual void SetCol(int col) = 0;
  virtual void SetRow(int row) = 0;
  // A cell's rectangle in the grid's own coordinates.
  virtual Rect CellRect(int col, int row) const = 0;
  // The room the grid has for its cells, fixed ones included, in pixels.
  virtual int AreaWidth() const = 0;
  virtual int AreaHeight() const = 0;
};

// The tab strip under the board. Setting the index from the program raises no
// change notification.
class ITabStrip {
 public:
  virtual ~ITabStrip() = default;
  virtual void SetNames(const StringList& names) = 0;
  virtual StringList Names() const = 0;
  virtual int Index() const = 0;
  virtual void SetIndex(int index) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
};

// The status line and the dwell-time panel at its right end.
class IStatusLine {
 public:
  virtual ~IStatusLine() = default;
  virtual void SetText(const std::string& text, Colour colour) = 0;
  virtual std::string Text() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual void SetHeight(int height) = 0;
  virtual void SetTimeText(const std::string& text, Colour colour) = 0;
  // A result or an error for the user, in a place of its own beside the
  // caption of the cell under the pointer, so that moving the pointer does
  // not wipe it; "" takes it away.
  virtual void SetMessage(const std::string& text) = 0;
  virtual std::string Message() const = 0;
};

// Outer position and size of the main window, in screen pixels.
struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

enum class MessageIcon { None, Information, Error };

// The main window itself, its menus, actions and message boxes.
class IMainWindow {
 public:
  virtual ~IMainWindow() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  virtual WindowRect Geometry() const = 0;
  virtual void SetGeometry(const WindowRect& rect) = 0;
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  // Height of the lower panel (board, tab strip, status line) and width of the
  // board panel within it.
  virtual int LowerPanelHeight() const = 0;
  virtual void SetLowerPanelHeight(int height) = 0;
  virtual int BoardPanelWidth() const = 0;
  virtual void SetBoardPanelWidth(int width) = 0;
  // How a command's menu item and toolbar button show: offered or greyed,
  // and, for a check item, ticked or not.
  virtual void SetCommandState(Command command, bool enabled, bool checked) = 0;
  // The window fills the screen (its place before is kept for going back).
  virtual void Maximise() = 0;
  // The board area takes this percentage of the window's height, kept on
  // every resize; 0: the height set by SetLowerPanelHeight, as the splitter
  // leaves it.
  virtual void SetBoardShare(int percent) = 0;
  // A message box with an OK button and the application title as caption.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
  // A question box: Yes and No buttons, question icon, caption "確認".
  virtual bool AskYesNo(const std::string& text) = 0;
  // Asks the window to close, through the same path as its close box.
  virtual void RequestClose() = 0;
  // Shows the modeless find (or replace) dialog.
  virtual void ShowSearchDialog(bool replace) = 0;
  // The caption of recent-file menu item `item` (0 to 9), UTF-8.
  virtual void SetRecentFileCaption(int item, const std::string& caption) = 0;
};

// The standard dialogs. Each returns nothing when the user cancels.
class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // A font dialog preset with `font`; name, size and colour are taken.
  virtual std::optional<FontSpec> ChooseFont(const FontSpec& font) = 0;
  // A colour dialog preset with `colour`.
  virtual std::optional<Colour> ChooseColour(Colour colour) = 0;
  // The speech settings dialog, preset with the reading speed and volume in
  // percent of normal. The chosen {speed, volume}; nothing on Cancel.
  virtual std::optional<std::pair<int, int>> ChooseSpeech(int speedPercent, int volumePercent) = 0;
  // The open and save dialogs, starting in `folder` (a native folder name).
  // `filter` is pairs of description and pattern separated by "|" (code page
  // 932). The open dialog wants an existing file; the save dialog neither
  // asks before overwriting nor adds an extension. The chosen native path.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& folder, const std::string& filter) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& folder, const std::string& filter,
                                                    const std::string& fileName) = 0;
  // A one-line prompt (caption, prompt line, an entry preset with `preset` that
  // takes at most `maxBytes` bytes of code page 932, OK and Cancel). The
  // entry on OK, the preset on Cancel.
  virtual std::string Prompt(const std::string& caption, const std::string& prompt, const std::string& preset,
                             int maxBytes) = 0;
};

// What the print dialog returns: the number of copies and the range.
struct PrintChoice {
  int copies = 1;
  bool selectionOnly = false;
};

// One print job on a printer: a drawing surface measured in printer pixels
// (the printable area, no margins added) with the edit area's font, measured
// as the page layout needs it.
class IPrintJob : public IPrintMetrics {
 public:
  // Text (code page 932) with its top-left corner at (x, y).
  virtual void DrawText(int x, int y, const std::string& text) = 0;
  virtual void NewPage() = 0;
  // Closes the job; false when the printer reported an error.
  virtual bool End() = 0;
};

// The printer chosen last in the print dialog (else the default printer).
class IPrinter {
 public:
  virtual ~IPrinter() = default;
  // The print dialog with the range preset to all of the text and the
  // selection offered; nothing when cancelled.
  virtual std::optional<PrintChoice> ShowPrintDialog() = 0;
  // Opens a job; nothing when no job can start (no printer, an error).
  virtual std::unique_ptr<IPrintJob> BeginJob(const FontSpec& font) = 0;
};

// The settings store: four text values under the program's key.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // False when there is nothing to read: no settings yet (or a file that
  // cannot be read safely); every Read then gives the empty text.
  virtual bool OpenForRead() = 0;
  virtual bool OpenForWrite() = 0;
  // A missing value reads as the empty text.
  virtual std::u16string Read(const std::string& name) = 0;
  virtual void Write(const std::string& name, const std::u16string& value) = 0;
  virtual void Close() = 0;
};

// Where the program runs from, which decides where its documents are kept.
enum class ProgramPlace {
  // A folder of its own (a copy on a memory stick): Data/ beside the program.
  OwnFolder,
  // A system folder it shares with other programs: the per-user data folder.
  Installed,
  // The build folder of its sources, which a clean build deletes whole: the
  // per-user data folder, as installed.
  BuildTree,
};

// The desktop around the program.
class IShell {
 public:
  virtual ~IShell() = default;
  // Native file names (UTF-8 here), each ending with a path separator.
  virtual std::string ProgramFolder() const = 0;
  virtual std::string PerUserDataFolder() const = 0;
  // Starts a program by bare file name with a hidden window; result ignored.
  virtual void StartProgram(const std::string& fileName) = 0;
  // Shows a topic of a help file; result ignored.
  virtual void ShowHelp(const std::string& helpFile, const std::string& topic) = 0;
  // Where the program runs from: installed or from its build folder, its
  // documents never go beside it.
  virtual ProgramPlace Place() const { return ProgramPlace::OwnFolder; }
};

// What became of a move that replaces nothing.
enum class MoveResult { Moved, NameTaken, Failed };

// Folder operations on native file names; a seam for tests.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  virtual bool DirectoryExists(const std::string& path) const = 0;
  // Creates one folder level (and the parents of a per-user folder); false on failure.
  virtual bool CreateDirectories(const std::string& path) = 0;
  // A folder that exists and accepts new files.
  virtual bool DirectoryWritable(const std::string& path) const = 0;
  // Removes a file; false when it could not be removed.
  virtual bool RemoveFile(const std::string& path) = 0;
  // The names (without the folder) of the entries of a folder; none when it
  // cannot be read.
  virtual std::vector<std::string> ListFolder(const std::string& path) const = 0;
  // Takes the lock of the lock file `path` (created when missing) for this
  // program until released or ended; false when another program, or another
  // taking within this one, holds it.
  virtual bool HoldLock(const std::string& path) = 0;
  // HoldLock, waiting at most `waitMs` milliseconds for another program to
  // release the lock (a write of a shared file lasts moments).
  virtual bool WaitForLock(const std::string& path, int /*waitMs*/) { return HoldLock(path); }
  virtual void ReleaseLock(const std::string& path) = 0;
  // Nobody holds the lock of `path` (a missing file is free).
  virtual bool LockFree(const std::string& path) const = 0;
  // A process with this number is running (owners of files left in folders).
  virtual bool ProcessRunning(int pid) const = 0;
  // Moves the file (or folder) `from` to the path `to` unless something has
  // that name already, which is never replaced; across file systems the file
  // is copied and the original removed once the copy is complete.
  virtual MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to) = 0;
};

// The file system as it is.
IFileSystem& RealFileSystem();

}  // namespace velkor

namespace velkor {

// The platform as the main window's logic sees it: one reference per control
// or service, named after the control.
struct Platform {
  IMainWindow& window;
  IEditArea& memMain;
  IInputBox& edtInp;
  IBoardGrid& sgd00;
  ITabStrip& tabC00;
  IStatusLine& pnlMsg;
  ISettingsStore& store;
  IShell& shell;
  IFileSystem& fs;
  IDialogs& dialogs;
  IVariantList& sgd01;
  IPointer& pointer;
  ITimer& tmrInput0;
  ITextFiles& files;
  IPrinter& printer;
  // Runs once, ten seconds after it was started, to keep a recovery copy.
  ITimer& recoveryTimer;
  // The kana-to-kanji conversion engine.
  IConverter& converter;
  // Reading text aloud.
  ISpeech& speech;
  // The strip of predictions above the board, and what fills it.
  IPredictionRow& predictionRow;
  IPredictor& predictor;
  IClock& clock;
  // Steps the scan highlight in scanning mode.
  ITimer& scanTimer;
  // The call bell, and the timer that tells a scan switch held down long
  // enough to ring it (single shot).
  IBell& bell;
  ITimer& holdTimer;
  // Drives learning from the documents, one small step a tick.
  ITimer& learnTimer;
};

}  // namespace velkor
