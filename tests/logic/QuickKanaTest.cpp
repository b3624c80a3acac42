// One selection per kana: with quick kana on, a kana cell inserts its first
// variant at once and the modifier cell 「゛~」 turns the character before the
// caret into the next variant of its cell; with it off, the board is as
// designed.
#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"

namespace velkor::testing {
namespace {

std::string U(const std::string& cp932Bytes) { return cp932::ToUtf8(cp932Bytes); }

struct QuickRig {
  FakePlatform fake;
  MainForm form{fake.Get()};

  explicit QuickRig(bool quickKana) {
    WireNotifications(fake, form);
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
    form.State().settings.SetNamed(named::kQuickKana, quickKana ? "1" : "0");
    form.Board().FillBoard();
    fake.pointer.position = Point{150, 250};
  }
  // A click on board cell (col, row).
  void Click(int col, int row) {
    const Rect r = fake.sgd00.CellRect(col, row);
    PointerAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
    PressAt(fake, form, OnGrid(fake, r.left + 1, r.top + 1));
  }
  void Modifier() { Click(13, 6); }
  std::string Text() const { return U(fake.memMain.text); }
};

TEST(QuickKana, OffTheKanaCellsOpenTheirListsAndTheBoardIsAsDesigned) {
  QuickRig r(false);
  EXPECT_EQ(r.fake.sgd00.CellText(13, 6), "") << "no modifier cell";
  r.Click(2, 1);  // か,が,カ,ガ,ヵ
  EXPECT_TRUE(r.fake.sgd01.visible);
  EXPECT_EQ(r.Text(), "");
}

TEST(QuickKana, OnAKanaCellInsertsItsFirstVariantAtOnceAndOtherCellsAsBefore) {
  QuickRig r(true);
  EXPECT_EQ(U(r.fake.sgd00.CellText(13, 6)), "゛~");
  r.Click(2, 1);
  EXPECT_FALSE(r.fake.sgd01.visible);
  EXPECT_EQ(r.Text(), "か");
  r.Click(11, 1);  // A,a: not kana, the list as before
  EXPECT_TRUE(r.fake.sgd01.visible);
  EXPECT_EQ(r.Text(), "か");
  // A kana cell's status text promises the kana it writes, not its list.
  const Rect kana = r.fake.sgd00.CellRect(2, 1);
  PointerAt(r.fake, r.form, OnGrid(r.fake, kana.left + 1, kana.top + 1));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "「か」を入力");
  // The modifier's status text names the form it will give the character
  // before the caret, and says what it does where it would change nothing.
  const Rect cell = r.fake.sgd00.CellRect(13, 6);
  PointerAt(r.fake, r.form, OnGrid(r.fake, cell.left + 1, cell.top + 1));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "が にする");
  r.fake.memMain.text = Sj("A");
  r.fake.memMain.selStart = 1;
  PointerAt(r.fake, r.form, OnGrid(r.fake, kana.left + 1, kana.top + 1));
  PointerAt(r.fake, r.form, OnGrid(r.fake, cell.left + 1, cell.top + 1));
  EXPECT_EQ(U(r.fake.pnlMsg.text), "濁点・小文字・カタカナに切り替え");
}

// か, は and つ go round their cells; each turn is one journal entry.
TEST(QuickKana, TheModifierTurnsTheCharacterBeforeTheCaretRoundItsCell) {
  const struct {
    int col, row;
    std::vector<const char*> turns;
  } cases[] = {
      {2, 1, {"か", "が", "カ", "ガ", "ヵ", "か"}},
      {6, 1, {"は", "ば", "ぱ", "ハ", "バ", "パ", "は"}},
      {4, 3, {"つ", "っ", "づ", "ツ", "ッ", "ヅ", "つ"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.turns.front());
    QuickRig r(true);
    r.fake.memMain.text = cp932::FromUtf8("x");
    r.fake.memMain.selStart = 1;
    r.Click(c.col, c.row);
    ASSERT_EQ(r.Text(), std::string("x") + c.turns[0]);
    const int entries = r.form.UndoLog().Count();
    for (std::size_t i = 1; i < c.turns.size(); ++i) {
      r.Modifier();
      EXPECT_EQ(r.Text(), std::string("x") + c.turns[i]);
      EXPECT_EQ(r.form.UndoLog().Count(), entries + static_cast<int>(i));
    }
    r.form.UndoLog().Undo();
    EXPECT_EQ(r.Text(), std::string("x") + c.turns[c.turns.size() - 2]) << "one undo takes one turn back";
  }
}

TEST(QuickKana, BeforeACharacterOfNoKanaCellTheModifierChangesNothingAndSaysSo) {
  for (const char* before : {"A", "漢", ""}) {
    SCOPED_TRACE(before);
    QuickRig r(true);
    r.form.Modes().MnuEditM10Click();  // dwell: the message goes to the status line
    r.fake.memMain.text = cp932::FromUtf8(before);
    r.fake.memMain.selStart = static_cast<int>(r.fake.memMain.text.size());
    const int entries = r.form.UndoLog().Count();
    r.form.Commands().Run(Command::Modifier, CommandSource::Board);
    EXPECT_EQ(r.Text(), before);
    EXPECT_EQ(r.form.UndoLog().Count(), entries);
    EXPECT_EQ(U(r.fake.pnlMsg.message), "直前の文字は濁点・小文字・カタカナに切り替えられません");
  }
}

// The setting is a named key of its own: stored when it is on or was in the
// file, its default when missing or unusable, and an older file is written
// back with the lists alone.
TEST(QuickKana, TheSettingIsStoredAndABadValueFallsBackToOff) {
  const struct {
    std::u16string stored;
    bool on;
  } cases[] = {{u"", false}, {u"1", true}, {u"0", false}, {u"2", false}, {u"yes", false}};
  for (const auto& c : cases) {
    FakeSettingsStore store;
    store.values["Option"] = u"0,1,0,1,0,0,0,0,0,0";
    if (!c.stored.empty()) store.values[named::kQuickKana] = c.stored;
    Settings settings;
    settings.Load(store, SettingsEnvironment{});
    EXPECT_EQ(settings.QuickKana(), c.on);
    store.writeOrder.clear();
    settings.Write(store);
    const bool written = std::count(store.writeOrder.begin(), store.writeOrder.end(), named::kQuickKana) > 0;
    EXPECT_EQ(written, !c.stored.empty());
    if (written) {
      EXPECT_EQ(store.values[named::kQuickKana], c.on ? u"1" : u"0");
    }
  }
  FakeSettingsStore store;
  Settings settings;
  settings.Load(store, SettingsEnvironment{});
  settings.SetNamed(named::kQuickKana, "1");
  settings.Write(store);
  Settings again;
  again.Load(store, SettingsEnvironment{});
  EXPECT_TRUE(again.QuickKana());
}

}  // namespace
}  // namespace velkor::testing
