// In-memory stand-ins for the window, its controls and the platform services,
// so the logic can be driven and inspected without a GUI.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/Cp932.h"
#include "document/EditText.h"
#include "document/TextFile.h"
#include "input/Conversion.h"
#include "input/Prediction.h"
#include "input/Bell.h"
#include "input/Speech.h"

namespace velkor::testing {

class FakeEditArea : public IEditArea {
 public:
  std::function<void()> onChange;
  std::string text;
  int selStart = 0;
  int selLength = 0;
  bool modified = false;
  FontSpec font{"Design", 20, colours::clWindowText};
  Colour background = colours::clWindow;
  bool wordWrap = false;
  bool focused = false;
  std::string caretCharacter;
  int changeCount = 0;

  std::string Text() const override { return text; }
  void SetText(const std::string& t) override {
    if (t != text) {
      text = t;
      selStart = selLength = 0;
      Notify();
    }
    modified = false;
  }
  void Clear() override {
    text.clear();
    selStart = selLength = 0;
    modified = false;
  }
  bool Modified() const override { return modified; }
  void SetModified(bool m) override { modified = m; }
  FontSpec Font() const override { return font; }
  void SetFont(const FontSpec& f) override { font = f; }
  Colour Background() const override { return background; }
  void SetBackground(Colour c) override { background = c; }
  void SetWordWrap(bool on) override { wordWrap = on; }
  void SetFocus() override { focused = true; }
  int SelStart() const override { return selStart; }
  void SetSelStart(int pos) override {
    selStart = std::clamp(pos, 0, static_cast<int>(text.size()));
    selLength = 0;
  }
  int SelLength() const override { return selLength; }
  void SetSelLength(int length) override {
    selLength = std::clamp(length, 0, static_cast<int>(text.size()) - selStart);
  }
  void SetBlockCaret(const std::string& character) override { caretCharacter = character; }
  std::string CharacterAtCaret() const override {
    const std::size_t pos = static_cast<std::size_t>(selStart);
    if (pos >= text.size()) return "";
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return "\r\n";
    return text.substr(pos, cp932::CharLength(text, pos));
  }
  void ReplaceSelection(const std::string& bytes) override { Type(bytes); }
  void PasteFromClipboard() override {
    if (clipboard) Type(*clipboard);
  }
  void ScrollToCaret() override { ++scrolls; }
  void SetLoading(bool loading) override { loadingLog.push_back(loading); }

  std::string* clipboard = nullptr;
  int scrolls = 0;
  std::vector<bool> loadingLog;

  // Typing: replaces the selection, moves the caret after it, notifies.
  void Type(const std::string& bytes) {
    text.replace(selStart, selLength, bytes);
    selStart += static_cast<int>(bytes.size());
    selLength = 0;
    modified = true;
    Notify();
  }

 private:
  void Notify() {
    ++changeCount;
    if (onChange) onChange();
  }
};

class FakeInputBox : public IInputBox {
 public:
  FontSpec font;
  std::string text;
  bool selected = false;
  std::string* clipboard = nullptr;
  void SetFont(const FontSpec& f) override { font = f; }
  void SetText(const std::string& t) override {
    text = t;
    selected = false;
  }
  std::string Text() const override { return text; }
  void SelectAll() override { selected = true; }
  void CutToClipboard() override {
    if (!selected || !clipboard) return;
    *clipboard = text;
    text.clear();
    selected = false;
  }
};

// The dwell marks a surface draws: percent by cell (a cell with 0 is left
// out), and the cells marked done.
struct FakeDwellMarks {
  std::map<std::pair<int, int>, int> dwell;
  std::set<std::pair<int, int>> done;
  void Set(CellPos cell, DwellMark mark) {
    const std::pair<int, int> at{cell.col, cell.row};
    if (mark.percent > 0) {
      dwell[at] = mark.percent;
    } else {
      dwell.erase(at);
    }
    if (mark.done) {
      done.insert(at);
    } else {
      done.erase(at);
    }
  }
};

class FakeVariantList : public IVariantList {
 public:
  std::pair<int, int> scan{-1, -1};  // the scan highlight: col (-1: the row), row (-1: none)
  void SetScanMark(ScanMark mark) override { scan = {mark.col, mark.row}; }
  FakeDwellMarks marks;
  std::map<std::pair<int, int>, int>& dwell = marks.dwell;
  void SetDwellMark(CellPos cell, DwellMark mark) override { marks.Set(cell, mark); }
  // Where the board grid's (0, 0) is on the screen: the list's geometry is
  // in the grid's coordinates.
  Point gridOrigin{100, 200};
  int cols = 0, rows = 0;
  int cellWidth = 0, cellHeight = 0;
  FontSpec font;
  std::map<std::pair<int, int>, std::string> cells;
  Rect geometry;
  int col = 0, row = 0;
  bool visible = false;
  bool focused = false;
  int clickReports = 0;
  std::function<void()> onClick;

  void SetShape(int c, int r) override {
    cols = c, rows = r;
    cells.clear();
  }
  int ColCount() const override { return cols; }
  int RowCount() const override { return rows; }
  void SetCellSize(int w, int h) override { cellWidth = w, cellHeight = h; }
  void SetFont(const FontSpec& f) override { font = f; }
  void ClearRow(int r) override {
    for (int c = 0; c < cols; ++c) cells.erase({c, r});
  }
  std::string CellText(int c, int r) const override {
    auto it = cells.find({c, r});
    return it == cells.end() ? std::string() : it->second;
  }
  void SetCellText(int c, int r, const std::string& t) override { cells[{c, r}] = t; }
  Rect Geometry() const override { return geometry; }
  void SetGeometry(const Rect& g) override { geometry = g; }
  int Col() const override { return col; }
  int Row() const override { return row; }
  void SetCol(int c) override {
    if (c == col) return;
    col = c;
    Report();
  }
  void SetRow(int r) override {
    if (r == row) return;
    row = r;
    Report();
  }
  // Cells laid out from a 5-pixel margin.
  CellPos CellAt(int x, int y) const {
    const int c = (x - 5) >= 0 && cellWidth > 0 ? (x - 5) / cellWidth : -1;
    const int r = (y - 5) >= 0 && cellHeight > 0 ? (y - 5) / cellHeight : -1;
    return {c < cols ? c : -1, r < rows ? r : -1};
  }
  Point Origin() const { return {gridOrigin.x + geometry.left, gridOrigin.y + geometry.top}; }
  std::optional<CellPos> CellAtScreen(Point at) const override {
    const Point o = Origin();
    const int x = at.x - o.x, y = at.y - o.y;
    if (!visible || x < 0 || y < 0 || x >= geometry.width || y >= geometry.height) return std::nullopt;
    return CellAt(x, y);
  }
  bool Visible() const override { return visible; }
  void SetVisible(bool v) override { visible = v; }
  void SetFocus() override { focused = true; }
  int fits = 0;
  void FitToText() override { ++fits; }

 private:
  void Report() {
    ++clickReports;
    if (onClick) onClick();
  }
};

class FakePointer : public IPointer {
 public:
  std::optional<Point> position = Point{0, 0};
  std::vector<Point> moves;
  std::optional<Point> Position() const override { return position; }
  void MoveTo(Point p) override {
    position = p;
    moves.push_back(p);
  }
};

class FakeTimer : public ITimer {
 public:
  bool running = false;
  int starts = 0;
  int interval = 500;
  void Start() override {
    running = true;
    ++starts;
  }
  void Stop() override { running = false; }
  bool Running() const override { return running; }
  void SetIntervalMs(int ms) override { interval = ms; }
  int IntervalMs() const override { return interval; }
};

// A clock the test sets.
class FakeClock : public IClock {
 public:
  long long now = 1000000;
  long long NowMs() const override { return now; }
};

// Files in memory; paths that fail to read or write can be named.
class FakeTextFiles : public ITextFiles {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  std::vector<std::string> reads;

  bool Exists(const std::string& path) const override { return files.count(path) > 0; }
  FileResult ReadAll(const std::string& path) const override { return ReadPrefix(path, std::string::npos); }
  FileResult ReadPrefix(const std::string& path, std::size_t maxBytes) const override {
    const_cast<FakeTextFiles*>(this)->reads.push_back(path);
    auto it = files.find(path);
    if (it == files.end() || unreadable.count(path)) return {false, "", "cannot read " + path};
    return {true, it->second.substr(0, maxBytes), ""};
  }
  std::string WriteAtomic(const std::string& path, std::string_view bytes) override {
    if (unwritable.count(path)) return "cannot write " + path;
    files[path] = std::string(bytes);
    return "";
  }
};

class FakeBoardGrid : public IBoardGrid {
 public:
  std::pair<int, int> scan{-1, -1};  // the scan highlight: col (-1: the row), row (-1: none)
  std::vector<CellPos> scanCells;    // the cells highlighted together (the shortcut line)
  void SetScanMark(ScanMark mark) override {
    scan = {mark.col, mark.row};
    scanCells = mark.cells;
  }
  FakeDwellMarks marks;
  std::map<std::pair<int, int>, int>& dwell = marks.dwell;
  void SetDwellMark(CellPos cell, DwellMark mark) override { marks.Set(cell, mark); }
  // Where the grid's (0, 0) is on the screen.
  Point origin{100, 200};
  int cols = 5, rows = 5;
  FontSpec font{"Design", 22, colours::clWindowText};
  int ppi = 96;
  int defaultColWidth = 24;
  int defaultRowHeight = 24;
  std::map<int, int> colWidths, rowHeights;
  std::map<std::pair<int, int>, std::string> cells;
  Colour fixedColour = colours::clBtnFace;
  Colour background = colours::clWindow;
  bool cellMenu = false;
  bool visible = true;
  std::vector<std::string> visibilityLog;

  void SetShape(int c, int r, int, int) override { cols = c, rows = r; }
  int ColCount() const override { return cols; }
  int RowCount() const override { return rows; }
  FontSpec Font() const override { return font; }
  void SetFont(const FontSpec& f) override { font = f; }
  int PixelsPerInch() const override { return ppi; }
  void SetDefaultColWidth(int w) override {
    defaultColWidth = w;
    colWidths.clear();
  }
  void SetDefaultRowHeight(int h) override {
    defaultRowHeight = h;
    rowHeights.clear();
  }
  int DefaultRowHeight() const override { return defaultRowHeight; }
  int ColWidth(int c) const override {
    auto it = colWidths.find(c);
    return it == colWidths.end() ? defaultColWidth : it->second;
  }
  void SetColWidth(int c, int w) override { colWidths[c] = w; }
  int RowHeight(int r) const override {
    auto it = rowHeights.find(r);
    return it == rowHeights.end() ? defaultRowHeight : it->second;
  }
  void SetRowHeight(int r, int h) override { rowHeights[r] = h; }
  std::string CellText(int c, int r) const override {
    auto it = cells.find({c, r});
    return it == cells.end() ? std::string() : it->second;
  }
  void SetCellText(int c, int r, const std::string& t) override { cells[{c, r}] = t; }
  Colour FixedColour() const override { return fixedColour; }
  void SetFixedColour(Colour c) override { fixedColour = c; }
  Colour Background() const override { return background; }
  void SetBackground(Colour c) override { background = c; }
  void SetCellMenuAttached(bool a) override { cellMenu = a; }
  std::set<std::pair<int, int>> greyed;  // cells drawn as commands that cannot run now
  void SetCellEnabled(int c, int r, bool enabled) override {
    if (enabled) {
      greyed.erase({c, r});
    } else {
      greyed.insert({c, r});
    }
  }
  bool Visible() const override { return visible; }
  void SetVisible(bool v) override {
    visible = v;
    visibilityLog.push_back(v ? "grid shown" : "grid hidden");
  }
  // The current cell; every actual change counts one click report.
  int col = 1, row = 1;
  int clickReports = 0;
  std::function<void()> onClick;
  int Col() const override { return col; }
  int Row() const override { return row; }
  void SetCol(int c) override {
    if (c == col) return;
    col = c;
    Report();
  }
  void SetRow(int r) override {
    if (r == row) return;
    row = r;
    Report();
  }
  // Cells laid out by their sizes, column 0 and row 0 included.
  CellPos CellAt(int x, int y) const {
    CellPos cell{-1, -1};
    for (int c = 0, left = 0; c < cols; left += ColWidth(c), ++c) {
      if (x >= left && x < left + ColWidth(c)) cell.col = c;
    }
    for (int r = 0, top = 0; r < rows; top += RowHeight(r), ++r) {
      if (y >= top && y < top + RowHeight(r)) cell.row = r;
    }
    return cell;
  }
  int areaWidth = 800;
  int areaHeight = 300;
  std::optional<CellPos> CellAtScreen(Point at) const override {
    const int x = at.x - origin.x, y = at.y - origin.y;
    if (!visible || x < 0 || y < 0 || x >= areaWidth || y >= areaHeight) return std::nullopt;
    const CellPos cell = CellAt(x, y);
    return cell.col < 0 || cell.row < 0 ? CellPos{-1, -1} : cell;
  }
  // A point of the screen at (x, y) of the grid's own coordinates.
  Point OnScreen(int x, int y) const { return {origin.x + x, origin.y + y}; }
  int AreaWidth() const override { return areaWidth; }
  int AreaHeight() const override { return areaHeight; }
  Rect CellRect(int c, int r) const override {
    int left = 0, top = 0;
    for (int i = 0; i < c; ++i) left += ColWidth(i);
    for (int i = 0; i < r; ++i) top += RowHeight(i);
    return Rect{left, top, ColWidth(c), RowHeight(r)};
  }

 private:
  void Report() {
    ++clickReports;
    if (onClick) onClick();
  }
};

// Dialogs that answer from a script: nothing queued means Cancel.
class FakeDialogs : public IDialogs {
 public:
  std::vector<std::optional<FontSpec>> fonts;
  std::vector<std::optional<Colour>> colours;
  std::vector<FontSpec> fontPresets;
  std::vector<Colour> colourPresets;

  std::optional<FontSpec> ChooseFont(const FontSpec& preset) override {
    fontPresets.push_back(preset);
    if (fonts.empty()) return std::nullopt;
    auto answer = fonts.front();
    fonts.erase(fonts.begin());
    return answer;
  }
  std::optional<Colour> ChooseColour(Colour preset) override {
    colourPresets.push_back(preset);
    if (colours.empty()) return std::nullopt;
    auto answer = colours.front();
    colours.erase(colours.begin());
    return answer;
  }
  // The speech settings dialog: the presets it was opened with, and scripted
  // answers (none queued: Cancel).
  std::vector<std::optional<std::pair<int, int>>> speechAnswers;
  std::vector<std::pair<int, int>> speechPresets;
  std::optional<std::pair<int, int>> ChooseSpeech(int speedPercent, int volumePercent) override {
    speechPresets.emplace_back(speedPercent, volumePercent);
    if (speechAnswers.empty()) return std::nullopt;
    auto answer = speechAnswers.front();
    speechAnswers.erase(speechAnswers.begin());
    return answer;
  }
  // Prompts: what was asked, and scripted answers (none queued: Cancel, which
  // returns the preset).
  struct PromptCall {
    std::string caption, prompt, preset;
    int maxBytes;
  };
  std::vector<PromptCall> prompts;
  std::vector<std::string> promptAnswers;
  std::string Prompt(const std::string& caption, const std::string& prompt, const std::string& preset,
                     int maxBytes) override {
    prompts.push_back({caption, prompt, preset, maxBytes});
    if (promptAnswers.empty()) return preset;
    std::string answer = promptAnswers.front();
    promptAnswers.erase(promptAnswers.begin());
    return answer;
  }
  // File dialogs: the folder each was opened in, and scripted answers.
  std::vector<std::optional<std::string>> openAnswers, saveAnswers;
  std::vector<std::string> openFolders, saveFolders;
  std::optional<std::string> ChooseOpenFile(const std::string& folder, const std::string&) override {
    openFolders.push_back(folder);
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.erase(openAnswers.begin());
    return answer;
  }
  std::optional<std::string> ChooseSaveFile(const std::string& folder, const std::string&,
                                            const std::string&) override {
    saveFolders.push_back(folder);
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.erase(saveAnswers.begin());
    return answer;
  }
};

class FakeTabStrip : public ITabStrip {
 public:
  StringList names{"1", "2", "3", "4", "5", "6", "7"};
  int index = 0;
  bool visible = true;
  std::vector<std::string>* visibilityLog = nullptr;

  void SetNames(const StringList& n) override {
    names = n;
    if (index >= static_cast<int>(names.size())) index = names.empty() ? -1 : 0;
  }
  StringList Names() const override { return names; }
  int Index() const override { return index; }
  void SetIndex(int i) override {
    if (i >= 0 && i < static_cast<int>(names.size())) index = i;
  }
  bool Visible() const override { return visible; }
  void SetVisible(bool v) override {
    visible = v;
    if (visibilityLog) visibilityLog->push_back(v ? "tabs shown" : "tabs hidden");
  }
};

class FakeStatusLine : public IStatusLine {
 public:
  std::string text;
  Colour colour = colours::clBlack;
  FontSpec font;
  int height = 0;
  std::string timeText;
  Colour timeColour = colours::clBlack;

  std::vector<std::string> history;  // every text and message set, in order

  void SetText(const std::string& t, Colour c) override {
    text = t, colour = c;
    history.push_back(t);
  }
  std::string Text() const override { return text; }
  void SetFont(const FontSpec& f) override { font = f; }
  void SetHeight(int h) override { height = h; }
  void SetTimeText(const std::string& t, Colour c) override { timeText = t, timeColour = c; }
  std::string message;
  void SetMessage(const std::string& t) override {
    message = t;
    if (!t.empty()) history.push_back(t);
  }
  std::string Message() const override { return message; }
};

class FakeMainWindow : public IMainWindow {
 public:
  std::string caption = "Velkor*LT";
  WindowRect rect{372, 94, 625, 351};
  int screenWidth = 1280, screenHeight = 1024;
  int lowerPanelHeight = 100;
  int boardPanelWidth = 400;
  std::set<Command> checked;
  std::map<Command, bool> enabled;
  bool fileSaveEnabled = true;
  std::vector<std::pair<std::string, MessageIcon>> messages;
  std::vector<std::string> questions;
  bool answerYes = true;

  void SetCaption(const std::string& c) override { caption = c; }
  std::string Caption() const override { return caption; }
  WindowRect Geometry() const override { return rect; }
  void SetGeometry(const WindowRect& r) override { rect = r; }
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return screenHeight; }
  int LowerPanelHeight() const override { return lowerPanelHeight; }
  void SetLowerPanelHeight(int h) override { lowerPanelHeight = h; }
  int BoardPanelWidth() const override { return boardPanelWidth; }
  void SetBoardPanelWidth(int w) override { boardPanelWidth = w; }
  bool IsChecked(Command command) const { return checked.count(command) > 0; }
  bool maximised = false;
  int boardShare = 0;
  void Maximise() override { maximised = true; }
  void SetBoardShare(int percent) override { boardShare = percent; }
  void SetCommandState(Command command, bool on, bool tick) override {
    enabled[command] = on;
    if (command == Command::Save) fileSaveEnabled = on;
    if (tick) {
      checked.insert(command);
    } else {
      checked.erase(command);
    }
  }
  void ShowSearchDialog(bool replace) override { searchDialogs.push_back(replace); }
  std::vector<bool> searchDialogs;
  // Runs while a message box is open (a signal arriving meanwhile).
  std::function<void()> whileBoxOpen;
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    messages.emplace_back(text, icon);
    if (whileBoxOpen) whileBoxOpen();
  }
  void RequestClose() override { ++closeRequests; }
  void SetRecentFileCaption(int item, const std::string& caption) override { recentCaptions[item] = caption; }
  int closeRequests = 0;
  std::map<int, std::string> recentCaptions;
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return answerYes;
  }
};

// The settings store in memory: values as UTF-16 texts; counts opens and writes.
class FakeSettingsStore : public ISettingsStore {
 public:
  std::map<std::string, std::u16string> values;
  std::vector<std::string> writeOrder;
  bool writable = true;
  int readOpens = 0;
  int writeOpens = 0;

  // Settings written before, even when empty here: false is the program's
  // very first start (no settings file).
  bool fileExists = true;
  bool OpenForRead() override {
    ++readOpens;
    return fileExists || !values.empty();
  }
  bool OpenForWrite() override {
    ++writeOpens;
    return writable;
  }
  std::u16string Read(const std::string& name) override {
    auto it = values.find(name);
    return it == values.end() ? std::u16string() : it->second;
  }
  void Write(const std::string& name, const std::u16string& value) override {
    values[name] = value;
    writeOrder.push_back(name);
  }
  void Close() override {}

  // Convenience: a value given as code page 932 bytes.
  void SetCp932(const std::string& name, const std::string& bytes) { values[name] = cp932::Decode(bytes); }
  std::string Cp932(const std::string& name) const {
    auto it = values.find(name);
    return it == values.end() ? std::string() : cp932::Encode(it->second);
  }
};

class FakeShell : public IShell {
 public:
  std::string programFolder = "/opt/velkor/";
  std::string userDataFolder = "/home/user/.local/share/";
  std::vector<std::string> started;
  std::vector<std::pair<std::string, std::string>> helpShown;

  ProgramPlace place = ProgramPlace::OwnFolder;

  std::string ProgramFolder() const override { return programFolder; }
  std::string PerUserDataFolder() const override { return userDataFolder; }
  ProgramPlace Place() const override { return place; }
  void StartProgram(const std::string& fileName) override { started.push_back(fileName); }
  void ShowHelp(const std::string& file, const std::string& topic) override { helpShown.emplace_back(file, topic); }
};

// Folders as a set of paths; some can refuse creation or writing.
class FakeFileSystem : public IFileSystem {
 public:
  std::set<std::string> dirs;
  std::set<std::string> unwritable;
  std::set<std::string> uncreatable;
  std::vector<std::string> created;

  bool DirectoryExists(const std::string& path) const override { return dirs.count(path) > 0; }
  bool CreateDirectories(const std::string& path) override {
    if (uncreatable.count(path)) return false;
    dirs.insert(path);
    created.push_back(path);
    return true;
  }
  bool DirectoryWritable(const std::string& path) const override {
    return DirectoryExists(path) && unwritable.count(path) == 0;
  }
  // Files live in FakeTextFiles; removing goes there when connected.
  std::function<bool(const std::string&)> onRemove;
  bool RemoveFile(const std::string& path) override {
    // An empty folder is removed as a file is.
    if (dirs.count(path) > 0 && ListFolder(path).empty()) return dirs.erase(path) > 0;
    return onRemove ? onRemove(path) : false;
  }
  // The folder's entries are the files of FakeTextFiles when connected.
  std::function<std::vector<std::string>(const std::string&)> onList;
  std::vector<std::string> ListFolder(const std::string& path) const override {
    return onList ? onList(path) : std::vector<std::string>();
  }
  // Locks held by this program, and by other running programs.
  std::set<std::string> held;
  std::set<std::string> heldElsewhere;
  bool HoldLock(const std::string& path) override {
    if (!LockFree(path)) return false;
    held.insert(path);
    return true;
  }
  void ReleaseLock(const std::string& path) override { held.erase(path); }
  bool LockFree(const std::string& path) const override {
    return held.count(path) == 0 && heldElsewhere.count(path) == 0;
  }
  std::set<int> running;
  bool ProcessRunning(int pid) const override { return running.count(pid) > 0; }
  // Moves a file of FakeTextFiles when connected; the paths in `unmovable`
  // refuse to move.
  std::set<std::string> unmovable;
  std::function<MoveResult(const std::string&, const std::string&)> onMove;
  MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to) override {
    if (unmovable.count(from) > 0 || !onMove) return MoveResult::Failed;
    return onMove(from, to);
  }
};

// A printer that records its jobs: the drawn runs per page.
class FakePrinter : public IPrinter {
 public:
  std::optional<PrintChoice> choice;  // the dialog's answer (none: cancelled)
  bool canStart = true;
  bool endsWell = true;
  int dialogs = 0;
  struct Job {
    FontSpec font;
    std::vector<std::vector<std::string>> pages;  // texts drawn, page by page
    bool ended = false;
    struct Draw {
      std::size_t page;
      int x, y;
      std::string text;
    };
    std::vector<Draw> draws;  // every text drawn, with its page and place
  };
  std::vector<Job> jobs;

  std::optional<PrintChoice> ShowPrintDialog() override {
    ++dialogs;
    return choice;
  }
  std::unique_ptr<IPrintJob> BeginJob(const FontSpec& font) override;
};

class FakePrintJob : public IPrintJob {
 public:
  FakePrintJob(FakePrinter& printer, std::size_t job) : printer_(printer), job_(job) {}
  int CharWidth(std::string_view c) const override { return 10 * static_cast<int>(c.size()); }
  int CharHeight() const override { return 20; }
  int AverageCharWidth() const override { return 10; }
  int PageWidth() const override { return 400; }
  int PageHeight() const override { return 300; }
  void DrawText(int x, int y, const std::string& text) override {
    FakePrinter::Job& job = printer_.jobs[job_];
    job.pages.back().push_back(text);
    job.draws.push_back({job.pages.size() - 1, x, y, text});
  }
  void NewPage() override { printer_.jobs[job_].pages.emplace_back(); }
  bool End() override {
    printer_.jobs[job_].ended = true;
    return printer_.endsWell;
  }

 private:
  FakePrinter& printer_;
  std::size_t job_;
};

inline std::unique_ptr<IPrintJob> FakePrinter::BeginJob(const FontSpec& font) {
  if (!canStart) return nullptr;
  jobs.push_back({font, {{}}, false, {}});
  return std::make_unique<FakePrintJob>(*this, jobs.size() - 1);
}

// A conversion engine that follows a script: the reading is split into the
// segments given for it, each with its candidates; resizing moves one
// character between a segment and the next.
class ScriptedConverter : public IConverter {
 public:
  struct Segment {
    std::string reading;
    std::vector<std::string> candidates;
  };
  bool available = true;
  std::map<std::string, std::vector<Segment>> script;  // by whole reading
  std::vector<Segment> segments;
  std::vector<std::pair<int, int>> commits;
  std::vector<std::pair<int, int>> resizes;
  std::vector<std::string> begun;
  int ends = 0;

  bool Available() override { return available; }
  bool Begin(const std::string& reading) override {
    begun.push_back(reading);
    auto it = script.find(reading);
    segments = it != script.end() ? it->second : std::vector<Segment>{{reading, {reading}}};
    return true;
  }
  int SegmentCount() override { return static_cast<int>(segments.size()); }
  std::string SegmentReading(int s) override { return segments.at(static_cast<std::size_t>(s)).reading; }
  std::vector<std::string> Candidates(int s) override { return segments.at(static_cast<std::size_t>(s)).candidates; }
  void Resize(int s, int delta) override {
    resizes.emplace_back(s, delta);
    auto& here = segments.at(static_cast<std::size_t>(s));
    if (static_cast<std::size_t>(s) + 1 >= segments.size()) return;
    auto& next = segments[static_cast<std::size_t>(s) + 1];
    if (delta < 0 && here.reading.size() > 2) {
      next.reading = here.reading.substr(here.reading.size() - 2) + next.reading;
      here.reading.resize(here.reading.size() - 2);
    } else if (delta > 0 && next.reading.size() >= 2) {
      here.reading += next.reading.substr(0, 2);
      next.reading.erase(0, 2);
    }
    here.candidates = {here.reading};
    next.candidates = {next.reading};
    if (next.reading.empty()) segments.erase(segments.begin() + s + 1);
  }
  void Commit(int s, int candidate) override { commits.emplace_back(s, candidate); }
  void End() override { ++ends; }
};

// The prediction row: its cells and the current one.
class FakePredictionRow : public IPredictionRow {
 public:
  StringList texts;
  int current = -1;
  int fills = 0;
  int cellHeight = 0;  // 0: the board's default row height (40 here)

  int Height() const override { return texts.empty() ? 0 : (cellHeight > 0 ? cellHeight : 40); }
  void SetCellHeight(int height) override { cellHeight = height; }

  void SetCells(int cells, const StringList& candidates) override {
    ++fills;
    texts.assign(static_cast<std::size_t>(std::max(0, cells)), std::string());
    for (std::size_t i = 0; i < texts.size() && i < candidates.size(); ++i) texts[i] = candidates[i];
  }
  int CellCount() const override { return static_cast<int>(texts.size()); }
  std::string CellText(int cell) const override {
    return cell >= 0 && cell < CellCount() ? texts[static_cast<std::size_t>(cell)] : std::string();
  }
  // Cells 100 pixels wide, 40 high, from the left, in a strip 800 pixels
  // wide whose (0, 0) is at `origin` on the screen, just above the grid.
  Point origin{100, 160};
  int CellAt(int x, int y) const {
    if (y < 0 || y >= 40 || x < 0 || x / 100 >= CellCount()) return -1;
    return x / 100;
  }
  std::optional<CellPos> CellAtScreen(Point at) const override {
    const int x = at.x - origin.x, y = at.y - origin.y;
    if (CellCount() == 0 || x < 0 || y < 0 || x >= 800 || y >= 40) return std::nullopt;
    const int cell = CellAt(x, y);
    return cell >= 0 ? CellPos{cell, 0} : CellPos{-1, -1};
  }
  void SetCurrent(int cell) override { current = cell; }
  int Current() const override { return current; }
  bool scanOn = false;
  int scanCell = -1;
  void SetScanMark(ScanMark mark) override {
    scanOn = mark.row >= 0;
    scanCell = mark.col;
  }
  std::map<int, int> dwell;  // drawn dwell counts by cell, percent
  std::set<int> done;        // cells marked done
  void SetDwellMark(CellPos cell, DwellMark mark) override {
    if (mark.percent > 0) {
      dwell[cell.col] = mark.percent;
    } else {
      dwell.erase(cell.col);
    }
    if (mark.done) {
      done.insert(cell.col);
    } else {
      done.erase(cell.col);
    }
  }
};

// A prediction engine that answers what it was scripted to (UTF-8 keys),
// and keeps what it was asked.
class ScriptedPredictor : public IPredictor {
 public:
  std::map<std::string, StringList> completions;  // by exact reading
  std::map<std::string, StringList> next;         // by the last character before the caret
  std::map<std::string, StringList> phrases;      // by "the last character before|the kana"
  std::vector<std::string> asked;

  // Each completion's reading is the reading it was scripted for.
  std::vector<Word> Complete(const std::string& reading, std::size_t max) override {
    asked.push_back("complete " + cp932::ToUtf8(reading));
    std::vector<Word> words;
    for (std::string& form : Take(completions, cp932::ToUtf8(reading), max)) words.push_back({form, reading});
    return words;
  }
  // Next words' readings are not scripted: they are their forms.
  std::vector<Word> Next(const std::string& before, std::size_t max) override {
    const std::string utf8 = cp932::ToUtf8(before);
    asked.push_back("next " + utf8);
    std::vector<Word> words;
    for (std::string& form : Take(next, LastCharacter(utf8), max)) words.push_back({form, form});
    return words;
  }
  // Written forms with their readings and costs (UTF-8), as the lexicon
  // finds them in text written elsewhere.
  struct Form {
    std::string reading;
    int cost = 5000;
  };
  std::map<std::string, Form> forms;
  int formLookups = 0;
  std::function<void()> onFormsAt;  // each look-up, as it takes time
  std::vector<Word> FormsAt(std::string_view text) override {
    ++formLookups;
    if (onFormsAt) onFormsAt();
    std::vector<Word> words;
    for (const auto& [form, found] : forms) {
      const std::string sj = cp932::FromUtf8(form);
      if (text.substr(0, sj.size()) == sj) words.push_back({sj, cp932::FromUtf8(found.reading), found.cost});
    }
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.form.size() < b.form.size(); });
    return words;
  }
  // Costs of a text after the last character before it, by "that
  // character|the text"; nothing for the rest.
  std::map<std::string, long> costs;
  std::vector<std::optional<long>> CostsAfter(const std::string& before, const std::vector<Word>& words) override {
    std::vector<std::optional<long>> out;
    for (const Word& word : words) {
      const auto it = costs.find(LastCharacter(cp932::ToUtf8(before)) + "|" + cp932::ToUtf8(word.form));
      out.push_back(it == costs.end() ? std::nullopt : std::optional<long>(it->second));
    }
    return out;
  }
  // A phrase's reading is the kana it was scripted for.
  std::vector<Word> Phrases(const std::string& before, const std::string& kana, std::size_t max) override {
    const std::string key = LastCharacter(cp932::ToUtf8(before)) + "|" + cp932::ToUtf8(kana);
    asked.push_back("phrases " + key);
    std::vector<Word> words;
    for (std::string& form : Take(phrases, key, max)) words.push_back({form, kana});
    return words;
  }

 private:
  static std::string LastCharacter(const std::string& utf8) {
    const std::u16string wide = cp932::Utf8ToUtf16(utf8);
    return wide.empty() ? "" : cp932::Utf16ToUtf8(wide.substr(wide.size() - 1));
  }
  static StringList Take(const std::map<std::string, StringList>& from, const std::string& key, std::size_t max) {
    const auto it = from.find(key);
    if (it == from.end()) return {};
    StringList out;
    for (const auto& c : it->second) {
      if (out.size() == max) break;
      out.push_back(cp932::FromUtf8(c));
    }
    return out;
  }
};

// Speech that records what it was asked to say.
class ScriptedSpeech : public ISpeech {
 public:
  bool canOutput = true;
  bool speaking = false;
  struct Said {
    std::string text;
    int speed, volume;
  };
  std::vector<Said> said;
  int stops = 0;
  bool Speak(const std::string& text, int speed, int volume) override {
    if (!canOutput) return false;
    said.push_back({text, speed, volume});
    speaking = true;
    return true;
  }
  void Stop() override {
    ++stops;
    speaking = false;
  }
  bool Speaking() const override { return speaking; }
  SpeechFailure failure = SpeechFailure::NoOutput;  // why nothing can be heard while !canOutput
  SpeechFailure Failure() const override { return failure; }
};

// A bell that records its rings; `Finish` plays the chime to its end.
class FakeBell : public IBell {
 public:
  bool canOutput = true;
  bool ringing = false;
  struct Rung {
    int times, volume;
  };
  std::vector<Rung> rings;
  int stops = 0;
  std::function<void()> finished;
  bool Ring(int times, int volume) override {
    if (!canOutput) return false;
    rings.push_back({times, volume});
    ringing = true;
    return true;
  }
  void Stop() override {
    ++stops;
    ringing = false;
  }
  bool Ringing() const override { return ringing; }
  void OnFinished(std::function<void()> handler) override { finished = std::move(handler); }
  void Finish() {
    ringing = false;
    if (finished) finished();
  }
};

// Every fake, wired into one Platform.
struct FakePlatform {
  FakeMainWindow window;
  FakeEditArea memMain;
  FakeInputBox edtInp;
  FakeBoardGrid sgd00;
  FakeTabStrip tabC00;
  FakeStatusLine pnlMsg;
  FakeSettingsStore store;
  FakeShell shell;
  FakeFileSystem fs;
  FakeDialogs dialogs;
  FakeVariantList sgd01;
  FakePointer pointer;
  FakeTimer tmrInput0;
  FakeTextFiles files;
  FakePrinter printer;
  FakeTimer recoveryTimer;
  ScriptedConverter converter;
  ScriptedSpeech speech;
  FakePredictionRow predictionRow;
  ScriptedPredictor predictor;
  FakeClock clock;
  FakeTimer scanTimer;
  FakeBell bell;
  FakeTimer holdTimer;
  FakeTimer learnTimer;
  IPredictor* realPredictor = nullptr;  // when set, the platform's predictor (a real lexicon)
  IConverter* realConverter = nullptr;  // when set, the platform's conversion engine
  std::string clipboard;

  FakePlatform() {
    tabC00.visibilityLog = &sgd00.visibilityLog;
    memMain.clipboard = &clipboard;
    edtInp.clipboard = &clipboard;
    fs.onRemove = [this](const std::string& path) { return files.files.erase(path) > 0; };
    fs.onList = [this](const std::string& folder) {
      std::vector<std::string> names;
      for (const auto& [path, bytes] : files.files) {
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path.find('/', folder.size()) == std::string::npos)
          names.push_back(path.substr(folder.size()));
      }
      return names;
    };
    fs.onMove = [this](const std::string& from, const std::string& to) {
      if (files.files.count(to) > 0 || fs.dirs.count(to) > 0) return MoveResult::NameTaken;
      const auto found = files.files.find(from);
      if (found == files.files.end() || !fs.DirectoryExists(to.substr(0, to.rfind('/') + 1))) return MoveResult::Failed;
      std::string bytes = std::move(found->second);
      files.files.erase(found);
      files.files[to] = std::move(bytes);
      return MoveResult::Moved;
    };
  }
  Platform Get() {
    return Platform{window,
                    memMain,
                    edtInp,
                    sgd00,
                    tabC00,
                    pnlMsg,
                    store,
                    shell,
                    fs,
                    dialogs,
                    sgd01,
                    pointer,
                    tmrInput0,
                    files,
                    printer,
                    recoveryTimer,
                    realConverter ? *realConverter : converter,
                    speech,
                    predictionRow,
                    realPredictor ? *realPredictor : predictor,
                    clock,
                    scanTimer,
                    bell,
                    holdTimer,
                    learnTimer};
  }
  // The same fakes over other files and folders (real ones in a temporary
  // folder, say).
  Platform Get(ITextFiles& otherFiles, IFileSystem& otherFs) {
    return Platform{window,
                    memMain,
                    edtInp,
                    sgd00,
                    tabC00,
                    pnlMsg,
                    store,
                    shell,
                    otherFs,
                    dialogs,
                    sgd01,
                    pointer,
                    tmrInput0,
                    otherFiles,
                    printer,
                    recoveryTimer,
                    realConverter ? *realConverter : converter,
                    speech,
                    predictionRow,
                    realPredictor ? *realPredictor : predictor,
                    clock,
                    scanTimer,
                    bell,
                    holdTimer,
                    learnTimer};
  }
};

// Code page 932 bytes of a UTF-8 literal, for readable tests.
using cp932::Sj;

}  // namespace velkor::testing
