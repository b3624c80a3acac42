// Benchmarks over the real main window under the offscreen platform, each
// against a reference measured in the same process: a bare QPlainTextEdit of
// the same font, size and wrapping holding the same text, or plain buffered
// file I/O. One group of measurements per run of the program, so that every
// group starts from a fresh process (memory figures) and a failing group does
// not take the others with it:
//
//   velkor_bench_window insert       one board cell, undo, redo: 10 KB, 1 MB, 10 MB
//   velkor_bench_window journal1m    journal and resident memory after 101 insertions
//   velkor_bench_window journal10m
//   velkor_bench_window files        open and save a 10 MB code page 932 file
//   velkor_bench_window slots        the slot board over 1 MB and one-line slot files
//   velkor_bench_window startup      one start-up sample: QApplication to window shown
//
// Prints ROW, SAMPLE and NOTE lines (bench/Rows.h). Times are milliseconds of
// wall time; every timed step ends with QCoreApplication::processEvents() so
// that layout and painting are counted on both sides. VELKOR_BENCH_QUICK=1
// makes every measurement stop after its minimum number of runs.
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTextCursor>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "form/MainForm.h"
#include "core/Platform.h"
#include "bench/BenchText.h"
#include "bench/Rows.h"
#include "core/Cp932.h"
#include "document/EditText.h"
#include "document/TextFile.h"
#include "ui/MainWindow.h"
#include "ui/SettingsStore.h"

namespace velkor::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Dwell mode: messages such as "保存しました" go to the status line, not a box.
constexpr char kDwellMode[] = "0,1,0,1,0,0,0,0,0,0";
// The digit "0" of the built-in tab: a cell with a single variant.
constexpr int kZeroCol = 19;
constexpr int kZeroRow = 1;
constexpr int kMinRuns = 3;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Settle() { QCoreApplication::processEvents(); }

template <class F>
double TimeMs(F&& body) {
  const auto start = Clock::now();
  body();
  return MsSince(start);
}

bool Quick() {
  const char* quick = std::getenv("VELKOR_BENCH_QUICK");
  return quick && std::strcmp(quick, "0") != 0;
}

// Runs body(i) up to maxRuns times; once kMinRuns runs are done it stops when
// the time budget is spent, so a slower build still finishes in time.
int Repeat(int maxRuns, double budgetSeconds, const std::function<void(int)>& body) {
  if (Quick()) maxRuns = kMinRuns;
  const auto start = Clock::now();
  int i = 0;
  for (; i < maxRuns; ++i) {
    if (i >= kMinRuns && MsSince(start) > budgetSeconds * 1e3) break;
    body(i);
  }
  return i;
}

// The resident set of this process, in bytes.
double ResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
  }
  return 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string SizeKey(std::size_t size) {
  if (size >= kMiB) return std::to_string(size / kMiB) + "m";
  return std::to_string(size / kKiB) + "k";
}

// The desktop, with the program folder inside the temporary folder.
class BenchShell : public IShell {
 public:
  std::string programFolder;
  std::string userDataFolder;
  std::string ProgramFolder() const override { return programFolder; }
  std::string PerUserDataFolder() const override { return userDataFolder; }
  void StartProgram(const std::string&) override {}
  void ShowHelp(const std::string&, const std::string&) override {}
};

// The real main window in a temporary program folder with its own settings,
// created and shown as the program does it.
class BenchWindow {
 public:
  // `option`: the "Option" value stored before the start, or nullptr for a
  // first start without settings.
  BenchWindow(const std::string& root, const char* option) {
    fs::create_directories(root + "/prog");
    fs::create_directories(root + "/user");
    if (option) {
      QSettings settings(QStringLiteral("Quillfern"), QStringLiteral("VelkorLT3"));
      settings.setValue(QStringLiteral("Option"), QString::fromLatin1(option));
    }
    shell_.programFolder = root + "/prog/";
    shell_.userDataFolder = root + "/user/";
    window_ = std::make_unique<ui::MainWindow>(store_, shell_, RealFileSystem(), RealTextFiles());
    if (!window_->Create()) throw std::runtime_error("the main window could not be created");
    window_->show();
    Settle();
  }
  ~BenchWindow() {
    // Nothing unsaved: the close writes no slot and asks nothing.
    Edit().SetModified(false);
    Form().Unsaved().Discard();
    window_->close();
    Settle();
  }
  BenchWindow(const BenchWindow&) = delete;
  BenchWindow& operator=(const BenchWindow&) = delete;

  ui::MainWindow& W() { return *window_; }
  MainForm& Form() { return window_->Form(); }
  IEditArea& Edit() { return Form().Plat().memMain; }
  std::string ProgramFolder() const { return shell_.programFolder; }

  // Opens a document file as the user would, from an unmodified state.
  void Open(const std::string& path) {
    Edit().SetModified(false);
    Form().Docs().OpenDocument(path);
    Form().Unsaved().Discard();
    Settle();
  }
  // One board cell confirmed and executed: the digit "0".
  void InsertZero() { Form().Select().Confirm({Place::Board, {kZeroCol, kZeroRow}}); }

 private:
  BenchShell shell_;
  ui::SettingsStore store_;
  std::unique_ptr<ui::MainWindow> window_;
};

// The reference: a bare QPlainTextEdit (Qt's defaults) with the edit area's
// font, size, wrapping and scroll bars, shown as a window of its own.
class BareEditor {
 public:
  explicit BareEditor(const QPlainTextEdit& like) {
    edit.setFont(like.font());
    edit.setLineWrapMode(like.lineWrapMode());
    edit.setVerticalScrollBarPolicy(like.verticalScrollBarPolicy());
    edit.setHorizontalScrollBarPolicy(like.horizontalScrollBarPolicy());
    edit.resize(like.size());
    edit.show();
    Settle();
  }
  void CaretTo(int index) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(index);
    edit.setTextCursor(cursor);
  }
  QPlainTextEdit edit;
};

// ---------------------------------------------------------------- insert

struct SizePlan {
  std::size_t size;
  int runs;
  double budgetSeconds;
};

void InsertRows(const std::vector<SizePlan>& plans) {
  Section("Insertion of one board cell with the caret in the middle; undo and redo (window, offscreen)");
  for (const SizePlan& plan : plans) {
    const std::string k = SizeKey(plan.size);
    const std::string s = SizeName(plan.size);
    Row({"insert." + k, "insert cell \"0\" (Confirm), " + s, "ms", "ref.insert." + k, 2.0, "<= 2x"});
    Row({"undo." + k, "undo after it (Journal::Undo), " + s, "ms", "ref.insert." + k, 3.0, "<= 3x"});
    Row({"redo." + k, "redo after it (Journal::Redo), " + s, "ms", "ref.insert." + k, 3.0, "<= 3x"});
    Row({"ref.insert." + k, "  ref: bare QPlainTextEdit insertPlainText, " + s});
  }
}

// One untimed round: caches warm, and the steps checked.
void CheckInsertRound(BenchWindow& win, BareEditor& bare, const std::string& k, int mid, int midIndex) {
  win.Edit().SetSelStart(mid);
  Settle();
  const std::string original = win.Edit().Text();
  const std::size_t before = original.size();
  win.InsertZero();
  Settle();
  const std::string inserted = win.Edit().Text();
  if (inserted.size() != before + 1 || inserted[static_cast<std::size_t>(mid)] != '0') {
    Note("insert." + k, "check failed: the cell did not insert \"0\" at the caret");
  }
  win.Form().UndoLog().Undo();
  Settle();
  if (win.Edit().Text() != original) Note("undo." + k, "check failed: undo did not take it back");
  win.Form().UndoLog().Redo();
  Settle();
  if (win.Edit().Text().size() != before + 1) Note("redo." + k, "check failed: redo did not put it back");
  bare.CaretTo(midIndex);
  bare.edit.insertPlainText(QStringLiteral("0"));
  Settle();
}

void TimeInsertRounds(BenchWindow& win, BareEditor& bare, const SizePlan& plan, int mid, int midIndex) {
  const std::string k = SizeKey(plan.size);
  Repeat(plan.runs, plan.budgetSeconds, [&](int) {
    win.Edit().SetSelStart(mid);
    Settle();
    Sample("insert." + k, TimeMs([&] {
             win.InsertZero();
             Settle();
           }));
    Sample("undo." + k, TimeMs([&] {
             win.Form().UndoLog().Undo();
             Settle();
           }));
    Sample("redo." + k, TimeMs([&] {
             win.Form().UndoLog().Redo();
             Settle();
           }));
    bare.CaretTo(midIndex);
    Settle();
    Sample("ref.insert." + k, TimeMs([&] {
             bare.edit.insertPlainText(QStringLiteral("0"));
             Settle();
           }));
    win.Form().Unsaved().Discard();  // no recovery copy written in the middle of a timing
  });
}

void InsertGroup(const std::string& root) {
  const std::vector<SizePlan> plans = {{10 * kKiB, 100, 10}, {kMiB, 40, 25}, {10 * kMiB, 15, 100}};
  InsertRows(plans);
  BenchWindow win(root, kDwellMode);
  BareEditor bare(*win.W().MemMain());
  if (win.W().SGd00()->CellText(kZeroCol, kZeroRow) != "0") {
    Note("insert.10k", "board cell (19, 1) is not \"0\"; the insertions insert something else");
  }
  for (const SizePlan& plan : plans) {
    const std::string k = SizeKey(plan.size);
    const std::string text = JapaneseText(plan.size);
    const std::string path = root + "/insert-" + k + ".txt";
    WriteFile(path, text);
    // The journal was cleared after the previous size; opening records the
    // document as its first entry, as it does for the user.
    win.Open(path);
    const std::u16string display = DisplayFromEditText(text);
    bare.edit.setPlainText(QString::fromStdU16String(display));
    Settle();
    const int mid = static_cast<int>(cp932::FloorCharBoundary(text, text.size() / 2));
    const int midIndex = DisplayIndexOfByteOffset(display, mid);
    CheckInsertRound(win, bare, k, mid, midIndex);
    TimeInsertRounds(win, bare, plan, mid, midIndex);
    win.Form().UndoLog().Clear();
    bare.edit.clear();
    win.Edit().Clear();
    Settle();
    fs::remove(path);
  }
}

// ---------------------------------------------------------------- journal

void JournalGroup(const std::string& root, std::size_t size) {
  const std::string k = SizeKey(size);
  const std::string s = SizeName(size);
  const double limit = static_cast<double>(size + kMiB) / static_cast<double>(size);
  Section("Memory after 101 single-character insertions (window, offscreen; one sample per run)");
  Row({"journal.bytes." + k, "journal's own bytes after 101 insertions, " + s, "MiB", "doc." + k, limit,
       "<= doc + 1 MB"});
  Row({"journal.rss." + k, "resident memory growth over them, " + s, "MiB", "doc." + k, limit, "<= doc + 1 MB"});
  Row({"doc." + k, "  ref: the document's size, " + s, "MiB"});

  BenchWindow win(root, kDwellMode);
  const std::string text = JapaneseText(size);
  const std::string path = root + "/journal-" + k + ".txt";
  WriteFile(path, text);
  win.Open(path);
  const int mid = static_cast<int>(cp932::FloorCharBoundary(text, text.size() / 2));
  // What the widget does after loading (it lays the text out from the event
  // loop) belongs to the load, not to the insertions.
  win.Edit().SetSelStart(mid);
  Settle();
  const double before = ResidentBytes();
  for (int i = 0; i < 101; ++i) {
    win.Edit().SetSelStart(mid);
    win.InsertZero();
    Settle();
    win.Form().Unsaved().Discard();
  }
  const double after = ResidentBytes();
  const Journal& journal = win.Form().UndoLog();
  // What the entries hold beyond what they share with the entry before them:
  // the first entry is the opened document itself.
  double bytes = 0;
  for (int i = 0; i < journal.Count(); ++i) {
    bytes += static_cast<double>(journal.At(i).text.BytesNotIn(i == 0 ? nullptr : &journal.At(i - 1).text));
  }
  if (win.Edit().Text().size() != text.size() + 101) Note("journal.bytes." + k, "check failed: not 101 insertions");
  Sample("journal.bytes." + k, bytes / kMiB);
  Sample("journal.rss." + k, (after - before) / kMiB);
  Sample("doc." + k, static_cast<double>(text.size()) / kMiB);
  Note("journal.bytes." + k, std::to_string(journal.Count()) + " entries");
}

// ---------------------------------------------------------------- files

std::string ReadWithIfstream(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::size_t>(in.tellg());
  in.seekg(0);
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  return bytes;
}

void FilesRows() {
  Section("Opening and saving a 10 MB code page 932 file (window, offscreen)");
  Row({"open.10m", "open (OpenDocument), 10 MB", "ms", "ref.open.10m", 3.0, "<= 3x"});
  Row({"ref.open.10m", "  ref: ifstream read + bare setPlainText"});
  Row({"ref.read.10m", "    part: ifstream read, 10 MB"});
  Row({"ref.load.10m", "    part: bare QPlainTextEdit setPlainText, 10 MB"});
  Row({"save.10m", "save (SaveDocument), 10 MB", "ms", "ref.save.10m", 2.0, "<= 2x"});
  Row({"ref.save.10m", "  ref: ofstream write + bare setPlainText"});
  Row({"ref.write.10m", "    part: ofstream write, 10 MB"});
  Row({"save.vs.write.10m", "  the same saves against the plain write alone", "ms", "ref.write.10m"});
  Row({"info.fsync.10m", "  info: write + fsync, 10 MB (the save is durable)"});
}

// The plain writes the save is measured against.
void TimeWrites(const std::string& bytes, double save, double load, const std::string& written,
                const std::string& synced) {
  const double write = TimeMs([&] {
    std::ofstream out(written, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
  Sample("ref.write.10m", write);
  Sample("save.vs.write.10m", save);
  Sample("ref.save.10m", write + load);
  Sample("info.fsync.10m", TimeMs([&] {
           FILE* file = std::fopen(synced.c_str(), "wb");
           if (!file) return;
           std::fwrite(bytes.data(), 1, bytes.size(), file);
           std::fflush(file);
           fsync(fileno(file));
           std::fclose(file);
         }));
}

void FilesGroup(const std::string& root) {
  FilesRows();
  BenchWindow win(root, kDwellMode);
  BareEditor bare(*win.W().MemMain());
  const std::string text = JapaneseText(10 * kMiB);
  const std::string source = root + "/open-10m.txt";
  const std::string saved = root + "/save-10m.txt";
  const std::string written = root + "/write-10m.txt";
  const std::string synced = root + "/fsync-10m.txt";
  WriteFile(source, text);
  const QString display = QString::fromStdU16String(DisplayFromEditText(text));

  Repeat(15, 90, [&](int i) {
    win.Edit().Clear();
    bare.edit.clear();
    win.Edit().SetModified(false);
    win.Form().UndoLog().Clear();
    Settle();

    Sample("open.10m", TimeMs([&] {
             win.Form().Docs().OpenDocument(source);
             Settle();
           }));
    win.Form().Unsaved().Discard();
    if (i == 0 && win.Edit().Text() != text) Note("open.10m", "check failed: the text differs from the file");

    const auto start = Clock::now();
    const std::string bytes = ReadWithIfstream(source);
    const double read = MsSince(start);
    const double load = TimeMs([&] {
      bare.edit.setPlainText(display);
      Settle();
    });
    if (bytes.size() != text.size()) Note("ref.read.10m", "check failed: short read");
    Sample("ref.read.10m", read);
    Sample("ref.load.10m", load);
    Sample("ref.open.10m", read + load);

    win.Form().State().curFileName = saved;
    const double save = TimeMs([&] {
      win.Form().Docs().SaveDocument(saved);
      Settle();
    });
    Sample("save.10m", save);
    if (i == 0 && fs::file_size(saved) != text.size()) Note("save.10m", "check failed: the file has another size");

    TimeWrites(bytes, save, load, written, synced);
  });
}

// ---------------------------------------------------------------- slots

void SlotsGroup(const std::string& root) {
  Section("The slot board (ShowSlotBoard for \"開~\") over 100 slot files (window, offscreen)");
  Row({"slots.1m", "slot board, 100 slot files of 1 MB", "ms", "slots.line", 1.5, "<= 1.5x"});
  Row({"slots.line", "  ref: slot board, 100 one-line slot files"});

  BenchWindow win(root, kDwellMode);
  const std::string big = root + "/slots-1m/";
  const std::string line = root + "/slots-line/";
  fs::create_directories(big);
  fs::create_directories(line);
  const std::string bigText = JapaneseText(kMiB);
  const std::string lineText = bigText.substr(0, bigText.find("\r\n"));
  for (int n = 0; n < 100; ++n) {
    WriteFile(SlotPath(big, n), bigText);
    WriteFile(SlotPath(line, n), lineText);
  }
  ProgramState& state = win.Form().State();
  const std::string dataDir = state.dataDir;

  auto show = [&](const std::string& folder, const std::string& key, bool record) {
    state.dataDir = folder;
    Settle();
    const double ms = TimeMs([&] {
      win.Form().Slots().Show(Command::Open);
      Settle();
    });
    if (record) Sample(key, ms);
    if (!record && (win.Form().Slots().Describe({1, 1}).text.empty() || win.W().SGd00()->CellText(2, 1) != "01")) {
      Note(key, "check failed: the slot board was not shown");
    }
    win.Form().Board().FillBoard();
    Settle();
  };
  show(big, "slots.1m", false);
  show(line, "slots.line", false);
  Repeat(100, 30, [&](int i) {
    // Alternating which goes first.
    if (i % 2 == 0) {
      show(big, "slots.1m", true);
      show(line, "slots.line", true);
    } else {
      show(line, "slots.line", true);
      show(big, "slots.1m", true);
    }
  });
  state.dataDir = dataDir;
}

}  // namespace
}  // namespace velkor::bench

namespace velkor::bench {
namespace {

// Settings, data and caches of this run live in the temporary folder `root`.
void UseTemporaryHome(const std::string& root) {
  setenv("HOME", root.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
  setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
  fs::create_directories(root + "/runtime");
  fs::permissions(root + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
  setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(root + "/config"));
}

int StartupGroup(int argc, char* argv[], const std::string& root) {
  Section("Start-up (in-process, offscreen; one sample per process)");
  Row({"start.inproc", "start-up: QApplication to window shown + processEvents"});
  Row({"rss.inproc", "resident memory after start-up (VmRSS)", "MiB"});
  const auto start = Clock::now();
  QApplication app(argc, argv);
  try {
    BenchWindow win(root, nullptr);
    Settle();
    Sample("start.inproc", MsSince(start));
    Sample("rss.inproc", ResidentBytes() / kMiB);
  } catch (const std::exception& error) {
    Note("start.inproc", std::string("failed: ") + error.what());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace velkor::bench

int main(int argc, char* argv[]) {
  using namespace velkor::bench;
  const std::string group = argc > 1 ? argv[1] : "";
  const std::vector<std::string> groups = {"insert", "journal1m", "journal10m", "files", "slots", "startup"};
  if (std::find(groups.begin(), groups.end(), group) == groups.end()) {
    std::fprintf(stderr, "usage: %s insert|journal1m|journal10m|files|slots|startup\n", argv[0]);
    return 2;
  }
  char pattern[] = "/tmp/velkor-bench-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (!made) return 2;
  const std::string root = made;
  struct Cleanup {
    std::string root;
    ~Cleanup() {
      std::error_code error;
      fs::remove_all(root, error);
    }
  } cleanup{root};
  UseTemporaryHome(root);
  if (group == "startup") return StartupGroup(argc, argv, root);

  QApplication app(argc, argv);
  try {
    if (group == "insert") InsertGroup(root);
    if (group == "journal1m") JournalGroup(root, kMiB);
    if (group == "journal10m") JournalGroup(root, 10 * kMiB);
    if (group == "files") FilesGroup(root);
    if (group == "slots") SlotsGroup(root);
  } catch (const std::exception& error) {
    Note(group, std::string("failed: ") + error.what());
    return 1;
  }
  return 0;
}
