// Executing confirmed cells: text insertion, the caret, edit, undo and tab
// commands on code page 932 text, and the document commands with their slot
// choice.
#include <gtest/gtest.h>

#include <set>

#include "board/BoardModel.h"
#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

const std::string kSlots = "/opt/velkor/Data/文書";

// Edit-area text written as UTF-8 with "|" for the caret, or "[" and "]"
// around the selection.
struct Edit {
  std::string text;
  int selStart = 0;
  int selLength = 0;
  bool operator==(const Edit&) const = default;
};
Edit Parse(std::string_view marked) {
  Edit e;
  std::string piece;
  const auto flush = [&] {
    e.text += Sj(piece);
    piece.clear();
  };
  for (char c : marked) {
    if (c == '|' || c == '[') {
      flush();
      e.selStart = static_cast<int>(e.text.size());
    } else if (c == ']') {
      flush();
      e.selLength = static_cast<int>(e.text.size()) - e.selStart;
    } else {
      piece += c;
    }
  }
  flush();
  return e;
}

enum class Mode { Click, Dwell, ArrowKeys };

// A shown main window over the fakes with the grids' click reports wired, in
// click mode unless told otherwise.
struct Rig {
  FakePlatform fake;
  MainForm form{fake.Get()};

  Rig() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    fake.pointer.position = Point{150, 250};
  }
  ProgramState& S() { return form.State(); }
  void SetMode(Mode mode) {
    if (mode == Mode::Click) form.Modes().MnuEditClickClick();
    if (mode == Mode::Dwell) form.Modes().MnuEditM10Click();
    if (mode == Mode::ArrowKeys) form.Modes().MnuEditYaClick();
  }
  // Confirms board cell (col, row) the way the mode does: a move and a press,
  // a rest of one second after entering it, or the cursor and a key.
  void Confirm(int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    const Rect other = fake.sgd00.CellRect(col == 20 ? 19 : col + 1, row);
    if (form.Modes().ArrowKeyMode()) {
      fake.sgd00.SetCol(col);
      fake.sgd00.SetRow(row);
      form.Keys().KeyDown(Key::Other);
      form.Keys().KeyUp(Key::Other);
    } else if (form.Modes().DwellMode()) {
      PointerAt(fake, form, OnGrid(fake, other.left + 1, other.top + 1));
      PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
      form.Pointer().Tick();
      form.Pointer().Tick();
    } else {
      PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
      PressAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
    }
  }
  // Confirms the command-row cell showing `utf8`; a text that no command cell
  // shows is put in the last cell of user tab 1, shown, and confirmed there.
  void Confirm(const std::string& utf8) {
    for (int row = 6; row <= 7; ++row) {
      for (int col = 1; col <= 20; ++col) {
        if (fake.sgd00.CellText(col, row) == Sj(utf8)) return Confirm(col, row);
      }
    }
    UserCell(20, 5, utf8);
    Confirm(20, 5);
  }
  // User tab 1 shown, its cell (col, row) holding `utf8`.
  void UserCell(int col, int row, const std::string& utf8) {
    std::string& content = form.State().settings.crtList.at(crt::kTab1Content);
    StringList items = board::ReadTabContent(content);
    items.at(static_cast<std::size_t>(board::CellIndex(row, col))) = Sj(utf8);
    content = WriteCommaText(items);
    fake.tabC00.index = 1;
    form.Board().FillBoard();
  }
  void ConfirmSlot(int n) { Confirm(n % 20 + 1, n / 20 + 1); }
  void SetEdit(std::string_view marked) {
    const Edit e = Parse(marked);
    fake.memMain.text = e.text;
    fake.memMain.selStart = e.selStart;
    fake.memMain.selLength = e.selLength;
  }
  Edit GetEdit() const { return {fake.memMain.text, fake.memMain.selStart, fake.memMain.selLength}; }
  std::string Text() const { return U(fake.memMain.text); }
  bool SlotBoardShown() const { return !fake.tabC00.visible && fake.sgd00.CellText(1, 1) == "00"; }
  bool TabsBack() const { return fake.tabC00.visible && U(fake.sgd00.CellText(1, 1)) == "あ"; }
};

// ---------------------------------------------------------------- the text

// Every command that changes the text or the caret, on code page 932 text
// with double-byte characters (メ is 83 81, ソ is 83 5C, ぁ is 82 9F) and
// CR LF line breaks, which the caret and delete commands take whole.
TEST(SelectionCommandsTest, TextAndCaretCommands) {
  const struct {
    const char* before;
    const char* cell;
    const char* after;
    int changes;
  } cases[] = {
      {"a|あb", "→~", "aあ|b", 0},
      {"aあ|b", "←~", "a|あb", 0},
      {"aあ|b", "BS~", "a|b", 1},
      {"a|あb", "削~", "a|b", 1},
      {"メa|", "BS~", "メ|", 1},
      {"メa|", "←~", "メ|a", 0},
      {"aソ|", "←~", "a|ソ", 0},
      {"ぁぁ|", "BS~", "ぁ|", 1},
      {"|ソa", "削~", "|a", 1},
      {"ab|\r\ncd", "→~", "ab\r\n|cd", 0},
      {"ab\r\n|cd", "←~", "ab|\r\ncd", 0},
      {"ab\r\n|cd", "BS~", "ab|cd", 1},
      {"ab|\r\ncd", "削~", "ab|cd", 1},
      {"|ab", "←~", "|ab", 0},
      {"|ab", "BS~", "|ab", 0},
      {"ab|", "→~", "ab|", 0},
      {"ab|", "削~", "ab|", 0},
      {"a[bc]d", "削~", "a|cd", 1},
      {"a[bc]d", "BS~", "|bcd", 1},
      {"a[bc]d", "→~", "ab|cd", 0},
      {"a[bc]d", "←~", "|abcd", 0},
      {"a[bc]d", "あ", "aあ|d", 1},
      {"abc\r\nabcde|fg", "↑~", "abc|\r\nabcdefg", 0},
      {"abcde|fg\r\nabc", "↓~", "abcdefg\r\nabc|", 0},
      {"abcdef\r\nab|c", "↑~", "ab|cdef\r\nabc", 0},
      {"a|b\r\ncd", "↑~", "a|b\r\ncd", 0},
      {"ab\r\nc|d", "↓~", "ab\r\nc|d", 0},
      {"ab|\r\n", "↓~", "ab|\r\n", 0},
      {"ab\r\n\r\ncd|", "↑~", "ab\r\n|\r\ncd", 0},
      {"あいう\r\nabc|d", "↑~", "あ|いう\r\nabcd", 0},
      {"abc|d\r\nあいう", "↓~", "abcd\r\nあ|いう", 0},
      {"ab|\r\n", "改~", "ab\r\n|\r\n", 1},
      {"a|b", "改~", "a\r\n|b", 1},
      {"a|b", "挿~", "a |b", 1},
      {"a|b", "☆", "a☆|b", 1},
      {"a|b", "あ", "aあ|b", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.before) + " " + c.cell);
    Rig r;
    r.SetEdit(c.before);
    r.Confirm(c.cell);
    EXPECT_EQ(r.GetEdit(), Parse(c.after)) << U(r.fake.memMain.text) << " caret " << r.fake.memMain.selStart;
    EXPECT_EQ(r.fake.memMain.changeCount, c.changes);
    EXPECT_EQ(r.form.UndoLog().Count(), c.changes);
    EXPECT_TRUE(r.fake.memMain.focused);
  }
}

TEST(SelectionCommandsTest, CaretCommandsScrollTheView) {
  const std::pair<const char*, const char*> cases[] = {
      {"a|b", "→~"}, {"a|b", "←~"}, {"a|b", "BS~"}, {"a\r\n|b", "↑~"}, {"|a\r\nb", "↓~"}};
  for (const auto& [before, cell] : cases) {
    SCOPED_TRACE(cell);
    Rig r;
    r.SetEdit(before);
    r.Confirm(cell);
    EXPECT_EQ(r.fake.memMain.scrolls, 1);
  }
}

TEST(SelectionCommandsTest, InsertionGoesThroughTheClipboard) {
  Rig r;
  r.SetEdit("x[yz]");
  r.fake.clipboard = "held before";
  r.fake.window.fileSaveEnabled = false;
  r.Confirm(18, 1);  // ＋
  EXPECT_EQ(r.Text(), "x＋");
  EXPECT_EQ(U(r.fake.clipboard), "＋");
  EXPECT_EQ(r.fake.edtInp.text, "");
  EXPECT_EQ(r.form.UndoLog().Count(), 1);
  EXPECT_TRUE(r.fake.memMain.modified);
  EXPECT_TRUE(r.fake.window.fileSaveEnabled);
}

TEST(SelectionCommandsTest, OneUndoTakesBackAWholeLineBreak) {
  Rig r;
  r.fake.memMain.Type("ab");
  r.Confirm("改~");
  ASSERT_EQ(r.Text(), "ab\r\n");
  r.Confirm("戻");
  EXPECT_EQ(r.Text(), "ab");
  r.Confirm("直");
  EXPECT_EQ(r.Text(), "ab\r\n");
}

// On a user tab a cell "戻" or "直" undoes or redoes; "☆" without the tilde
// is text.
TEST(SelectionCommandsTest, UserCellsUndoRedoAndInsert) {
  Rig r;
  r.UserCell(1, 1, "戻");
  r.UserCell(2, 1, "直");
  r.UserCell(3, 1, "☆");
  r.fake.memMain.Type("a");
  r.fake.memMain.Type("b");
  r.Confirm(1, 1);
  EXPECT_EQ(r.Text(), "a");
  r.Confirm(2, 1);
  EXPECT_EQ(r.Text(), "ab");
  r.fake.memMain.selStart = 2;
  r.Confirm(3, 1);
  EXPECT_EQ(r.Text(), "ab☆");
}

// ---------------------------------------------------------------- tabs

TEST(SelectionCommandsTest, TabCommandsWrapAroundAndStoreTheSizesFirst) {
  const struct {
    int from;
    const char* cell;
    int to;
  } cases[] = {{0, "《~", 2}, {2, "《~", 1}, {1, "《~", 0}, {0, "》~", 1}, {1, "》~", 2}, {2, "》~", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " " + c.cell);
    Rig r;
    r.fake.tabC00.index = c.from;
    r.form.Board().FillBoard();
    r.fake.sgd00.SetColWidth(1, 50);
    r.Confirm(c.cell);
    EXPECT_EQ(r.fake.tabC00.index, c.to);
    const StringList left = ReadCommaText(r.S().settings.crtList[crt::kTab0Sizes + c.from]);
    ASSERT_EQ(left.size(), 25u);
    EXPECT_EQ(left[0], "50");
    EXPECT_EQ(r.fake.sgd00.ColWidth(1), 33);  // the tab shown keeps its own sizes
    EXPECT_EQ(U(r.fake.sgd00.CellText(1, 6)), "改~");
  }
}

// ---------------------------------------------------------------- documents

TEST(SelectionCommandsTest, OpeningASlot) {
  Rig r;
  r.fake.files.files[kSlots + "03.txt"] = Sj("表示\nソ");
  r.Confirm("開~");
  EXPECT_TRUE(r.form.Slots().Shown());
  EXPECT_EQ(U(board::CommandToken(r.form.Slots().Pending())), "開~");
  EXPECT_TRUE(r.SlotBoardShown());

  r.ConfirmSlot(3);
  EXPECT_EQ(r.Text(), "表示\r\nソ");
  EXPECT_EQ(r.S().curFileName, kSlots + "03.txt");
  EXPECT_EQ(r.fake.window.caption, "Velkor*LT-" + kSlots + "03.txt");
  EXPECT_FALSE(r.form.Slots().Shown());
  EXPECT_TRUE(r.TabsBack());
  EXPECT_EQ(r.fake.sgd00.fixedColour, colours::clBtnFace);

  // 書~ on a document with a file saves to it at once.
  r.fake.memMain.Type("!");
  r.Confirm("書~");
  EXPECT_FALSE(r.form.Slots().Shown());
  EXPECT_EQ(r.fake.files.files[kSlots + "03.txt"], r.fake.memMain.text);
  ASSERT_EQ(r.fake.window.messages.size(), 1u);
  EXPECT_EQ(U(r.fake.window.messages[0].first), "保存しました");
  EXPECT_TRUE(r.TabsBack());

  // 名~ always offers the slots.
  r.Confirm("名~");
  EXPECT_TRUE(r.form.Slots().Shown());
  EXPECT_EQ(U(board::CommandToken(r.form.Slots().Pending())), "名~");
  EXPECT_TRUE(r.SlotBoardShown());
}

TEST(SelectionCommandsTest, SavingAnUntitledDocumentToASlot) {
  for (const char* command : {"書~", "名~"}) {
    SCOPED_TRACE(command);
    Rig r;
    r.SetMode(Mode::Dwell);
    const std::string text = Sj("表示\r\nソ\\x");
    r.fake.memMain.Type(text);
    r.Confirm(command);
    EXPECT_TRUE(r.form.Slots().Shown());
    EXPECT_EQ(U(board::CommandToken(r.form.Slots().Pending())), command);
    EXPECT_TRUE(r.SlotBoardShown());
    EXPECT_EQ(r.fake.sgd00.fixedColour, colours::Rgb(166, 202, 240));

    r.ConfirmSlot(5);
    const std::string path = kSlots + "05.txt";
    EXPECT_EQ(r.fake.files.files[path], text);
    EXPECT_EQ(r.S().curFileName, path);
    EXPECT_EQ(r.fake.window.caption, "Velkor*LT-" + path);
    EXPECT_EQ(r.S().settings.fileList.at(0), path);
    EXPECT_EQ(r.fake.window.recentCaptions[0], "0" + path);
    EXPECT_FALSE(r.fake.memMain.modified);
    EXPECT_EQ(U(r.fake.pnlMsg.message), "保存しました");
    EXPECT_FALSE(r.form.Slots().Shown());
    EXPECT_TRUE(r.TabsBack());
    EXPECT_EQ(r.fake.files.files.size(), 1u);
  }
}

// An empty text has nothing to save or print: the message goes to a message
// box in click mode, to the status line's message place otherwise, and
// nothing else happens.
// A message is not wiped by the pointer moving over other cells: it stays
// beside their captions until the next confirmation.
TEST(SelectionCommandsTest, AMessageStaysUntilTheNextConfirmation) {
  Rig r;
  r.SetMode(Mode::Dwell);
  r.Confirm("印~");
  EXPECT_EQ(U(r.fake.pnlMsg.message), "印刷するデータがありません");
  for (int col = 1; col <= 5; ++col) {
    const Rect cell = r.fake.sgd00.CellRect(col, 2);
    PointerAt(r.fake, r.form, OnGrid(r.fake, cell.left + 2, cell.top + 2));
  }
  EXPECT_EQ(U(r.fake.pnlMsg.message), "印刷するデータがありません");
  EXPECT_NE(U(r.fake.pnlMsg.text), "印刷するデータがありません");
  r.Confirm("改~");
  EXPECT_EQ(r.fake.pnlMsg.message, "");
}

// 書~ on a new empty document is not offered at all (see below); on an
// opened document whose text was all erased it says why nothing happens.
TEST(SelectionCommandsTest, EmptyTextMessages) {
  const std::pair<const char*, const char*> commands[] = {{"書~", "保存するデータがありません"},
                                                          {"名~", "保存するデータがありません"},
                                                          {"印~", "印刷するデータがありません"}};
  for (Mode mode : {Mode::Click, Mode::Dwell, Mode::ArrowKeys}) {
    for (const auto& [command, message] : commands) {
      SCOPED_TRACE(std::string(command) + " mode " + std::to_string(static_cast<int>(mode)));
      Rig r;
      r.fake.files.files["/d/a.txt"] = "text";
      r.form.Docs().OpenDocument("/d/a.txt");
      r.fake.memMain.text.clear();
      r.SetMode(mode);
      r.Confirm(command);
      if (mode == Mode::Click) {
        ASSERT_EQ(r.fake.window.messages.size(), 1u);
        EXPECT_EQ(U(r.fake.window.messages[0].first), message);
      } else {
        EXPECT_TRUE(r.fake.window.messages.empty());
        EXPECT_EQ(U(r.fake.pnlMsg.message), message);
      }
      EXPECT_FALSE(r.form.Slots().Shown());
      EXPECT_TRUE(r.TabsBack());
      EXPECT_TRUE(r.fake.printer.jobs.empty());
    }
  }
}

// Whether a command can run now reaches every place it has: the menu item
// and toolbar button, the board cell (greyed) and the status line over it;
// a greyed cell does nothing when confirmed.
TEST(SelectionCommandsTest, TheSaveStateReachesMenuToolbarAndBoardCellAlike) {
  Rig r;
  const auto cellOf = [&r](const char* token) {
    for (int col = 1; col <= 20; ++col)
      if (r.fake.sgd00.CellText(col, 6) == Sj(token) || r.fake.sgd00.CellText(col, 7) == Sj(token))
        return std::pair{col, r.fake.sgd00.CellText(col, 6) == Sj(token) ? 6 : 7};
    return std::pair{0, 0};
  };
  const auto save = cellOf("書~");
  ASSERT_NE(save.first, 0);
  const auto statusOver = [&r, save] {
    r.form.Select().Point({Place::Board, {save.first, save.second}});
    return U(r.fake.pnlMsg.text);
  };
  // A new document: nothing to save.
  EXPECT_FALSE(r.fake.window.enabled.at(Command::Save));
  EXPECT_TRUE(r.fake.sgd00.greyed.count(save));
  EXPECT_EQ(r.fake.sgd00.greyed.size(), 1u) << "only 書~ depends on the document";
  EXPECT_EQ(statusOver(), "開いたファイルを保存する（今は使えません）");
  r.SetMode(Mode::Dwell);
  r.Confirm("書~");
  EXPECT_FALSE(r.SlotBoardShown());
  EXPECT_EQ(r.fake.pnlMsg.message, "");

  r.fake.memMain.Type("a");
  EXPECT_TRUE(r.fake.window.enabled.at(Command::Save));
  EXPECT_TRUE(r.fake.sgd00.greyed.empty());
  EXPECT_EQ(statusOver(), "開いたファイルを保存する");
  r.Confirm("書~");
  EXPECT_TRUE(r.SlotBoardShown());
  r.Confirm("☆~");

  r.SetMode(Mode::Click);
  r.form.Docs().ActFileNewExecute();  // answered Yes
  EXPECT_FALSE(r.fake.window.enabled.at(Command::Save));
  EXPECT_TRUE(r.fake.sgd00.greyed.count(save));
}

TEST(SelectionCommandsTest, PrintPrintsTheWholeTextWithoutADialog) {
  Rig r;
  r.SetEdit("ab\r\n[c]d");
  r.Confirm("印~");
  EXPECT_EQ(r.fake.printer.dialogs, 0);
  ASSERT_EQ(r.fake.printer.jobs.size(), 1u);
  std::string printed;
  for (const auto& page : r.fake.printer.jobs[0].pages) {
    for (const auto& run : page) printed += run;
  }
  EXPECT_EQ(printed, "abcd");
}

TEST(SelectionCommandsTest, NewInClickModeEmptiesTheDocument) {
  Rig r;
  r.fake.memMain.Type("abc");
  r.S().curFileName = "/tmp/x.txt";
  r.Confirm("新~");
  EXPECT_EQ(r.Text(), "");
  EXPECT_EQ(r.S().curFileName, "");
  EXPECT_EQ(r.fake.window.questions.size(), 1u);
  EXPECT_FALSE(r.form.Slots().Shown());
  EXPECT_TRUE(r.TabsBack());
}

// Outside click mode 新~ offers the slots for opening; an empty slot gives an
// empty document bound to it, after the unsaved text was kept in the lowest
// empty slot.
TEST(SelectionCommandsTest, NewInOtherModesChoosesAnEmptySlot) {
  for (Mode mode : {Mode::Dwell, Mode::ArrowKeys}) {
    SCOPED_TRACE(static_cast<int>(mode));
    Rig r;
    r.SetMode(mode);
    r.fake.memMain.Type("abc");
    r.Confirm("新~");
    EXPECT_TRUE(r.form.Slots().Shown());
    EXPECT_EQ(r.form.Slots().Pending(), Command::New);
    EXPECT_TRUE(r.SlotBoardShown());
    EXPECT_EQ(r.fake.sgd00.fixedColour, colours::clBtnFace);
    EXPECT_EQ(r.Text(), "abc");

    r.ConfirmSlot(12);
    EXPECT_EQ(r.Text(), "");
    EXPECT_EQ(r.S().curFileName, kSlots + "12.txt");
    EXPECT_EQ(r.fake.window.caption, "Velkor*LT-" + kSlots + "12.txt");
    EXPECT_EQ(r.fake.files.files, (std::map<std::string, std::string>{{kSlots + "00.txt", "abc"}}));
    EXPECT_EQ(U(r.fake.pnlMsg.message), "未保存の文書を文書00.txt に保存しました");
    EXPECT_TRUE(r.fake.window.questions.empty());
    EXPECT_TRUE(r.TabsBack());
  }
}

TEST(SelectionCommandsTest, DecliningToDropUnsavedWorkKeepsTheDocument) {
  Rig r;
  r.fake.files.files[kSlots + "03.txt"] = "slot";
  r.fake.memMain.Type("mine");
  r.S().curFileName = "/tmp/mine.txt";
  r.fake.window.answerYes = false;
  r.Confirm("開~");
  r.ConfirmSlot(3);
  EXPECT_EQ(r.fake.window.questions.size(), 1u);
  EXPECT_EQ(r.Text(), "mine");
  EXPECT_EQ(r.S().curFileName, "/tmp/mine.txt");
  EXPECT_FALSE(r.form.Slots().Shown());
  EXPECT_TRUE(r.TabsBack());
}

// A slot cell is the slot of its place on the board, whatever the grid shows
// in it: no text of a cell ever reaches a file name. Every cell of the
// command rows is ☆~ and cancels without touching any file; a board refilled
// for its tab (the mirroring command) ends the choice, and its cells then do
// what the board's cells do.
TEST(SelectionCommandsTest, ASlotIsItsPlaceAndEveryOtherCellCancels) {
  for (const CellPos cancel : {CellPos{9, 7}, CellPos{1, 6}, CellPos{20, 7}}) {
    Rig r;
    r.SetEdit("ab|c");
    r.S().curFileName = "/tmp/doc.txt";
    r.Confirm("名~");
    ASSERT_TRUE(r.SlotBoardShown());
    r.Confirm(cancel.col, cancel.row);
    EXPECT_FALSE(r.form.Slots().Shown());
    EXPECT_TRUE(r.TabsBack());
    EXPECT_EQ(r.GetEdit(), Parse("ab|c"));
    EXPECT_TRUE(r.fake.files.files.empty());
  }
  {
    Rig r;
    r.SetEdit("ab|c");
    r.Confirm("名~");
    r.fake.sgd00.SetCellText(1, 1, Sj("../x"));
    r.Confirm(1, 1);
    EXPECT_EQ(r.S().curFileName, kSlots + "00.txt");
    EXPECT_EQ(r.fake.files.files.size(), 1u);
    EXPECT_EQ(r.fake.files.files.count(kSlots + "00.txt"), 1u);
  }
  {
    Rig r;
    r.SetEdit("ab|c");
    r.Confirm("名~");
    r.form.Board().MnuDspHiraClick();
    EXPECT_FALSE(r.form.Slots().Shown());
    r.Confirm(18, 1);  // ＋ on the board's own face
    EXPECT_EQ(r.GetEdit(), Parse("ab＋|c")) << U(r.fake.memMain.text) << " " << U(r.fake.pnlMsg.text);
    EXPECT_TRUE(r.fake.files.files.empty());
  }
}

TEST(SelectionCommandsTest, QuitAsksTheWindowToClose) {
  Rig r;
  r.fake.memMain.focused = false;
  r.Confirm("終~");
  EXPECT_EQ(r.fake.window.closeRequests, 1);
  EXPECT_TRUE(r.fake.memMain.focused);
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// After "☆~" the board's tabs are back under the pointer: the status line
// describes the cell there, not the cancel it promised before.
TEST(SlotBoardCancel, TheCellUnderThePointerIsDescribedAgain) {
  FakePlatform fake;
  MainForm form(fake.Get());
  WireNotifications(fake, form);
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  auto confirm = [&](int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
    PressAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
  };
  confirm(4, 7);  // 開~: the slot board
  ASSERT_FALSE(fake.tabC00.visible);
  confirm(1, 6);  // ☆~ there
  EXPECT_TRUE(fake.tabC00.visible);
  EXPECT_EQ(cp932::ToUtf8(fake.pnlMsg.text), "改行");  // row 6, column 1 of the board
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// The command table: every board token is distinct and sits in its own
// place; every command with a menu item has a caption and a name of its own.
TEST(CommandTable, EachCommandIsDefinedOnceAndItsPlacesAreDistinct) {
  std::set<std::string> tokens, actions;
  std::set<std::pair<int, int>> places;
  for (const CommandEntry& entry : AllCommands()) {
    SCOPED_TRACE(static_cast<int>(entry.id));
    if (*entry.token) {
      EXPECT_TRUE(tokens.insert(entry.token).second);
      EXPECT_NE(*entry.status, '\0') << "a board cell always says what it does";
    }
    if (entry.row != 0) {
      EXPECT_TRUE(places.insert({entry.row, entry.col}).second);
    }
    if (*entry.action) {
      EXPECT_TRUE(actions.insert(entry.action).second);
      EXPECT_NE(*entry.menu, '\0');
    }
    EXPECT_EQ(&EntryOf(entry.id), &entry);
  }
  EXPECT_EQ(tokens.size(), 27u);
  EXPECT_EQ(actions.size(), 31u);
}

// One command, two places: the menu's items ask and use the file dialogs,
// the board's cells choose a slot; commands that do not differ do the same
// from both.
TEST(CommandTable, MenuAndBoardRunTheSameCommandEachTheirWay) {
  Rig r;
  r.SetMode(Mode::Dwell);
  ICommands& commands = r.form.Commands();

  commands.Run(Command::Open, CommandSource::Board);
  EXPECT_TRUE(r.SlotBoardShown());
  commands.Run(Command::CancelSlot, CommandSource::Board);
  EXPECT_TRUE(r.TabsBack());

  commands.Run(Command::Open, CommandSource::Menu);
  EXPECT_EQ(r.fake.dialogs.openFolders.size(), 1u) << "the menu's open uses the file dialog";
  EXPECT_TRUE(r.TabsBack());

  r.SetEdit("ab|");
  commands.Run(Command::BackSpace, CommandSource::Menu);
  commands.Run(Command::Left, CommandSource::Board);
  EXPECT_EQ(r.GetEdit(), Parse("|a"));
  commands.Run(Command::Find, CommandSource::Menu);
  commands.Run(Command::Replace, CommandSource::Menu);
  EXPECT_EQ(r.fake.window.searchDialogs, (std::vector<bool>{false, true}));

  // Saving is offered once the text changed since new or open; the rest always.
  commands.Run(Command::New, CommandSource::Menu);
  EXPECT_FALSE(commands.Enabled(Command::Save));
  EXPECT_FALSE(r.fake.window.fileSaveEnabled) << "the menu and toolbar show it";
  r.fake.memMain.Type("z");
  EXPECT_TRUE(commands.Enabled(Command::Save));
  EXPECT_TRUE(commands.Enabled(Command::Undo));
  EXPECT_TRUE(commands.Enabled(Command::Quit));
  commands.Run(Command::Quit, CommandSource::Menu);
  EXPECT_EQ(r.fake.window.closeRequests, 1);
}

}  // namespace
}  // namespace velkor::testing
