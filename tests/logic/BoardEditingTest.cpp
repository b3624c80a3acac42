// The cell editor of the user tabs and the tab renaming: what the prompts ask,
// what the grid shows afterwards and what reaches the tab lists.
#include "board/BoardEditing.h"

#include <gtest/gtest.h>

#include <optional>

#include "form/MainForm.h"
#include "board/BoardModel.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

// A shown main window over the fakes, in click mode, the grid's click reports
// reaching the selection engine as in the real window.
struct Window {
  FakePlatform fake;
  MainForm form{fake.Get()};

  Window() {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
  }
  // A window started from the settings another one left at close.
  explicit Window(const FakeSettingsStore& store) {
    fake.store.values = store.values;
    fake.memMain.onChange = [this] { form.MemMainChange(); };
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
  }

  std::string& Crt(int slot) { return form.State().settings.crtList.at(slot); }
  StringList Content(int tab) { return ReadCommaText(Crt(crt::kTab1Content + tab - 1)); }
  void ShowTab(int tab) {
    fake.tabC00.SetIndex(tab);
    form.Board().FillBoard();
  }
  std::string Cell(int col, int row) const { return fake.sgd00.CellText(col, row); }
  // The cell editor on (col, row): OK with `answer`, or Cancel.
  void EditCell(int col, int row, std::optional<std::string> answer) {
    fake.sgd00.col = col;
    fake.sgd00.row = row;
    if (answer) fake.dialogs.promptAnswers.push_back(*answer);
    form.Editing().PmmMoziClick();
    fake.dialogs.promptAnswers.clear();
  }
  void Rename(std::optional<std::string> answer) {
    if (answer) fake.dialogs.promptAnswers.push_back(*answer);
    form.Editing().PmtTabClick();
    fake.dialogs.promptAnswers.clear();
  }
  // A press on a board cell in click mode.
  void Click(int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, r.left + r.width / 2, r.top + r.height / 2));
    PressAt(fake, form, OnGrid(fake, r.left + r.width / 2, r.top + r.height / 2));
  }
};

StringList CommandRowItems() {
  StringList items;
  for (const char* token : {"改~", "←~", "→~", "↑~", "↓~", "挿~", "削~", "BS~", "戻", "直", "変~", "話~"}) {
    items.push_back(Sj(token));
  }
  items.insert(items.end(), 8, "~");
  for (const char* token : {"《~", "》~", "新~", "開~", "書~", "名~", "印~", "終~", "休~", "設~", "鈴~", "文~", "忘~"})
    items.push_back(Sj(token));
  items.insert(items.end(), 7, "~");
  return items;
}

TEST(BoardEditing, PromptsAskWithTheirCaptionsAndTakeAtMost255Bytes) {
  Window w;
  w.ShowTab(1);
  w.EditCell(1, 1, std::nullopt);
  w.Rename(std::nullopt);
  ASSERT_EQ(w.fake.dialogs.prompts.size(), 2u);
  const auto& cell = w.fake.dialogs.prompts[0];
  EXPECT_EQ(cell.caption, Sj("文字盤編集"));
  EXPECT_EQ(cell.prompt, Sj("新しい文字を入力してください"));
  EXPECT_EQ(cell.preset, Sj("☆"));
  EXPECT_EQ(cell.maxBytes, 255);
  const auto& tab = w.fake.dialogs.prompts[1];
  EXPECT_EQ(tab.caption, Sj("タブ名変更"));
  EXPECT_EQ(tab.prompt, Sj("新しいタブ名を入力してください"));
  EXPECT_EQ(tab.preset, Sj("拡張１"));
  EXPECT_EQ(tab.maxBytes, 255);
}

TEST(BoardEditing, EnteredTextsAreShownAtOnceAndStoredInTheTabList) {
  const struct {
    const char* name;
    int col, row;
    std::string entered;
    std::string stored;         // the cell's item in the tab list
    std::string shownRefilled;  // the cell after the board is filled again
  } cases[] = {
      {"a group into an empty cell", 3, 1, Sj("こんにちは,さようなら"), Sj("こんにちは,さようなら"),
       Sj("こんにちは,さようなら")},
      {"an empty text empties a filled cell", 1, 1, "", "~", ""},
      {"a tilde empties it too but stays shown until the refill", 2, 1, "~", "~", ""},
      {"a new-line command", 5, 2, Sj("改~"), Sj("改~"), Sj("改~")},
      {"quotes, blanks and commas kept as typed", 20, 5, "\"a b\",\"c,d\"", "\"a b\",\"c,d\"", "\"a b\",\"c,d\""},
      {"a blank alone", 7, 3, " ", " ", " "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Window w;
    w.ShowTab(1);
    w.EditCell(c.col, c.row, c.entered);

    EXPECT_EQ(w.Cell(c.col, c.row), c.entered);  // exactly as entered, at once
    const StringList items = w.Content(1);
    EXPECT_EQ(items.at(static_cast<std::size_t>(board::CellIndex(c.row, c.col))), c.stored);
    w.form.Board().FillBoard();
    EXPECT_EQ(w.Cell(c.col, c.row), c.shownRefilled);
  }
}

TEST(BoardEditing, AGroupCellOffersItsVariantsAndOutlivesARestart) {
  Window w;
  w.ShowTab(1);
  const std::string group = Sj("こんにちは,さようなら");
  w.EditCell(3, 1, group);

  w.Click(3, 1);
  EXPECT_TRUE(w.fake.sgd01.visible);
  EXPECT_EQ(w.fake.sgd01.CellText(0, 0), Sj("こんにちは"));
  EXPECT_EQ(w.fake.sgd01.CellText(1, 0), Sj("さようなら"));

  ASSERT_TRUE(w.form.FormClose());
  Window again(w.fake.store);
  EXPECT_EQ(again.fake.tabC00.index, 1);
  EXPECT_EQ(again.Cell(3, 1), group);
  EXPECT_EQ(again.Content(1).at(2), group);
}

TEST(BoardEditing, AnEnteredNewLineTokenMakesACommandCell) {
  Window w;
  w.ShowTab(2);
  w.EditCell(4, 3, Sj("改~"));
  w.fake.memMain.Type("ab");
  w.Click(4, 3);
  EXPECT_EQ(w.fake.memMain.text, "ab\r\n");
  EXPECT_FALSE(w.fake.sgd01.visible);
}

TEST(BoardEditing, TheFirstEditWritesTheCommandRowsAndKeepsLaterItems) {
  Window w;
  StringList stored(170);
  for (std::size_t i = 0; i < stored.size(); ++i) stored[i] = "item" + std::to_string(i);
  w.Crt(crt::kTab1Content) = WriteCommaText(stored);
  const std::string otherTab = w.Crt(crt::kTab2Content);
  w.ShowTab(1);

  w.EditCell(6, 4, "new");

  const StringList items = w.Content(1);
  ASSERT_EQ(items.size(), 170u);
  for (std::size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(items[i], i == static_cast<std::size_t>(board::CellIndex(4, 6)) ? "new" : stored[i]) << i;
  }
  EXPECT_EQ(StringList(items.begin() + 100, items.begin() + 140), CommandRowItems());
  EXPECT_EQ(StringList(items.begin() + 140, items.end()), StringList(stored.begin() + 140, stored.end()));
  EXPECT_EQ(w.Crt(crt::kTab2Content), otherTab);
}

TEST(BoardEditing, TheDefaultTabsAndAShortListGetTheCommandRowsToo) {
  for (int tab : {1, 2}) {
    for (bool shortList : {false, true}) {
      SCOPED_TRACE("tab " + std::to_string(tab) + (shortList ? ", short list" : ", default list"));
      Window w;
      if (shortList) w.Crt(crt::kTab1Content + tab - 1) = "a,b,c";
      const StringList before = w.Content(tab);
      w.ShowTab(tab);
      w.EditCell(20, 5, "x");
      const StringList items = w.Content(tab);
      ASSERT_EQ(items.size(), shortList ? 140u : before.size());
      EXPECT_EQ(items[99], "x");
      EXPECT_EQ(StringList(items.begin() + 100, items.begin() + 140), CommandRowItems());
      if (!shortList) {
        EXPECT_EQ(StringList(items.begin() + 140, items.end()), StringList(before.begin() + 140, before.end()));
      }
    }
  }
}

TEST(BoardEditing, CellsThatCannotBeEdited) {
  const struct {
    const char* name;
    int tab, col, row;
  } cases[] = {
      {"built-in tab, content cell", 0, 1, 1}, {"built-in tab, last content cell", 0, 20, 5},
      {"user tab, first command", 1, 1, 6},    {"user tab, empty cell of row 6", 1, 15, 6},
      {"user tab, quit command", 2, 8, 7},     {"user tab, last cell of row 7", 2, 20, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Window w;
    w.ShowTab(c.tab);
    const StringList crtBefore = w.form.State().settings.crtList;
    const auto cellsBefore = w.fake.sgd00.cells;
    w.EditCell(c.col, c.row, "zz");
    EXPECT_TRUE(w.fake.dialogs.prompts.empty());
    EXPECT_EQ(w.form.State().settings.crtList, crtBefore);
    EXPECT_EQ(w.fake.sgd00.cells, cellsBefore);
  }
}

TEST(BoardEditing, CancelOrTheSameTextChangesNothing) {
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "Cancel" : "OK with the same text");
    Window w;
    w.ShowTab(1);
    const std::string before = w.Crt(crt::kTab1Content);
    const auto cellsBefore = w.fake.sgd00.cells;
    w.EditCell(2, 1, cancel ? std::nullopt : std::optional<std::string>(Sj("※")));
    EXPECT_EQ(w.fake.dialogs.prompts.size(), 1u);
    EXPECT_EQ(w.Crt(crt::kTab1Content), before);  // not even the command rows are written
    EXPECT_EQ(w.fake.sgd00.cells, cellsBefore);
  }
}

TEST(BoardEditing, TheCellEditorIsWithheldWhileTheSlotBoardIsShown) {
  Window w;
  w.ShowTab(1);
  const std::string before = w.Crt(crt::kTab1Content);
  w.form.Slots().Show(Command::Open);
  ASSERT_FALSE(w.fake.tabC00.visible);
  ASSERT_EQ(w.Cell(2, 1), "01");

  w.EditCell(2, 1, "zz");

  EXPECT_TRUE(w.fake.dialogs.prompts.empty());
  EXPECT_EQ(w.Crt(crt::kTab1Content), before);
  EXPECT_EQ(w.Cell(2, 1), "01");

  // Back on the tab, the editor works again and stores no slot label.
  w.form.Slots().Cancel();
  w.EditCell(2, 1, "zz");
  const StringList items = w.Content(1);
  EXPECT_EQ(items.at(1), "zz");
  for (std::size_t i = 0; i < 100; ++i) EXPECT_FALSE(SlotNumberOf(items[i]).has_value()) << i;
}

TEST(BoardEditing, RenamingTheCurrentTab) {
  const std::string base = Sj("基本"), one = Sj("拡張１"), two = Sj("拡張２");
  const struct {
    const char* name;
    int tab;
    std::optional<std::string> answer;
    StringList names;
  } cases[] = {
      {"the built-in tab", 0, "ABC", {"ABC", one, two}},
      {"a user tab", 1, Sj("記号"), {base, Sj("記号"), two}},
      {"an empty name for the first tab", 0, "", {"", one, two}},
      {"an empty name for the last tab", 2, "", {base, one, ""}},
      {"a name with a comma and a blank", 1, "a, b", {base, "a, b", two}},
      {"Cancel stores the same name again", 2, std::nullopt, {base, one, two}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Window w;
    w.ShowTab(c.tab);
    const std::string tab1 = w.Crt(crt::kTab1Content), tab2 = w.Crt(crt::kTab2Content);
    w.Crt(crt::kTabNames) = "stale";  // shows that the names are stored again
    w.Rename(c.answer);

    EXPECT_EQ(w.fake.tabC00.names, c.names);
    EXPECT_EQ(w.fake.tabC00.index, c.tab);
    EXPECT_EQ(board::ReadTabNames(w.Crt(crt::kTabNames)), c.names);
    EXPECT_EQ(w.Crt(crt::kTab1Content), tab1);  // a tab keeps its content
    EXPECT_EQ(w.Crt(crt::kTab2Content), tab2);
  }
}

TEST(BoardEditing, AnEmptyLastTabNameReadsBackEmptyAfterARestart) {
  Window w;
  w.ShowTab(2);
  w.Rename("");
  ASSERT_TRUE(w.form.FormClose());
  Window again(w.fake.store);
  EXPECT_EQ(again.fake.tabC00.names, (StringList{Sj("基本"), Sj("拡張１"), ""}));
  EXPECT_EQ(again.fake.tabC00.index, 2);
}

}  // namespace
}  // namespace velkor::testing
