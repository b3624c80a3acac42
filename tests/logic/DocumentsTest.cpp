// Documents: beginning, opening and saving them, the save action, the window
// caption, the recent-file menu, the dialogs' folders and what a failed read
// or write leaves behind.
#include "document/Documents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "form/MainForm.h"
#include "document/RecentFiles.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {
namespace {

const std::string kDataDir = "/opt/velkor/Data/";
const std::string kUntitled = "Velkor*LT*V3.2-新規";

std::string DocCaption(const std::string& path) { return "Velkor*LT-" + path; }

enum class Mode { Click, Dwell, ArrowKeys };

const char* ModeName(Mode mode) {
  switch (mode) {
    case Mode::Click: return "click";
    case Mode::Dwell: return "dwell";
    case Mode::ArrowKeys: return "arrow keys";
  }
  return "";
}

// A started window over fresh fakes.
struct Session {
  FakePlatform fake;
  MainForm form{fake.Get()};

  Session() {
    fake.memMain.onChange = [this] { form.MemMainChange(); };
    EXPECT_TRUE(form.FormCreate());
    form.FormShow();
  }

  Documents& Docs() { return form.Docs(); }
  StringList& Recent() { return form.State().settings.fileList; }
  const std::string& CurFile() { return form.State().curFileName; }
  void SetMode(Mode mode) {
    switch (mode) {
      case Mode::Click: form.Modes().MnuEditClickClick(); break;
      case Mode::Dwell: form.Modes().MnuEditM20Click(); break;
      case Mode::ArrowKeys: form.Modes().MnuEditYaClick(); break;
    }
  }
  void OpenByDialog(const std::string& path) {
    fake.dialogs.openAnswers.push_back(path);
    Docs().ActFileOpenExecute();
  }
  void SaveAs(const std::string& path) {
    fake.dialogs.saveAnswers.push_back(path);
    Docs().ActFileAddExecute();
  }
  // A file on the fake disk, opened through the open dialog.
  void OpenNew(const std::string& path, const std::string& bytes = "text") {
    fake.files.files[path] = bytes;
    OpenByDialog(path);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& [text, icon] : fake.window.messages) texts.push_back(text);
    return texts;
  }
};

class DocumentsTest : public ::testing::Test {
 protected:
  Session s;
};

// ------------------------------------------------------------ save action

TEST_F(DocumentsTest, SaveActionIsOffForAFreshDocumentAndOnAfterTheFirstChange) {
  EXPECT_FALSE(s.fake.window.fileSaveEnabled);  // after start
  s.fake.memMain.Type("a");
  EXPECT_TRUE(s.fake.window.fileSaveEnabled);

  s.Docs().ActFileNewExecute();  // click mode, answered Yes
  EXPECT_FALSE(s.fake.window.fileSaveEnabled);
  EXPECT_EQ(s.fake.window.caption, kUntitled);
  EXPECT_TRUE(s.CurFile().empty());
  EXPECT_EQ(s.fake.memMain.text, "");
  EXPECT_FALSE(s.fake.memMain.modified);

  s.fake.memMain.Type("b");
  EXPECT_TRUE(s.fake.window.fileSaveEnabled);
  s.SaveAs("/d/b.txt");
  EXPECT_TRUE(s.fake.window.fileSaveEnabled);  // saving leaves it on

  s.Docs().ActFileNewExecute();
  EXPECT_FALSE(s.fake.window.fileSaveEnabled);
  s.OpenNew("/d/c.txt");
  EXPECT_TRUE(s.fake.window.fileSaveEnabled);  // opening turns it on
}

TEST_F(DocumentsTest, SavingAnUntitledDocumentRunsSaveAsThenSavesUnderItsName) {
  s.fake.memMain.Type("abc");
  s.fake.dialogs.saveAnswers.push_back("/d/a.txt");
  s.Docs().ActFileSaveExecute();

  EXPECT_EQ(s.fake.dialogs.saveFolders, std::vector<std::string>{kDataDir});
  EXPECT_EQ(s.fake.files.files.at("/d/a.txt"), "abc");  // no line break added
  EXPECT_EQ(s.CurFile(), "/d/a.txt");
  EXPECT_EQ(s.fake.window.caption, DocCaption("/d/a.txt"));
  EXPECT_EQ(s.Recent(), StringList{"/d/a.txt"});
  EXPECT_FALSE(s.fake.memMain.modified);
  EXPECT_EQ(s.BoxTexts(), std::vector<std::string>{Sj("保存しました")});

  s.fake.memMain.Type("d");
  s.Docs().ActFileSaveExecute();
  EXPECT_EQ(s.fake.dialogs.saveFolders.size(), 1u);  // no dialog for a named document
  EXPECT_EQ(s.fake.files.files.at("/d/a.txt"), "abcd");
  EXPECT_EQ(s.Recent(), StringList{"/d/a.txt"});
}

TEST_F(DocumentsTest, CancelledSaveDialogChangesNothing) {
  s.fake.memMain.Type("abc");
  s.Docs().ActFileSaveExecute();
  EXPECT_EQ(s.fake.dialogs.saveFolders.size(), 1u);
  EXPECT_TRUE(s.fake.files.files.empty());
  EXPECT_TRUE(s.CurFile().empty());
  EXPECT_EQ(s.fake.window.caption, kUntitled);
  EXPECT_TRUE(s.fake.memMain.modified);
  EXPECT_TRUE(s.fake.window.messages.empty());
}

// ------------------------------------------------------- unsaved work

// A "No" leaves the first document as it was, unsaved, its folder the
// dialogs' folder still.
void ExpectTheFirstDocumentKept(Session& s) {
  EXPECT_EQ(s.fake.memMain.text, "!first");
  EXPECT_TRUE(s.fake.memMain.modified);
  EXPECT_EQ(s.CurFile(), "/d/first.txt");
  EXPECT_EQ(s.fake.window.caption, DocCaption("/d/first.txt"));
  EXPECT_EQ(s.Recent(), StringList{"/d/first.txt"});
  EXPECT_TRUE(s.fake.window.fileSaveEnabled);
  s.Docs().ActFileOpenExecute();
  EXPECT_EQ(s.fake.dialogs.openFolders.back(), "/d/");
}

TEST(DocumentsUnsavedWork, NewAndOpenAskOnlyInClickModeAndOnlyYesGoesOn) {
  enum class Op { New, Open };
  const struct {
    const char* name;
    Op op;
    Mode mode;
    bool answerYes;
    bool asked;
    bool goesOn;
  } cases[] = {
      {"new, click, Yes", Op::New, Mode::Click, true, true, true},
      {"new, click, No", Op::New, Mode::Click, false, true, false},
      {"new, dwell", Op::New, Mode::Dwell, false, false, true},
      {"new, arrow keys", Op::New, Mode::ArrowKeys, false, false, true},
      {"open, click, Yes", Op::Open, Mode::Click, true, true, true},
      {"open, click, No", Op::Open, Mode::Click, false, true, false},
      {"open, dwell", Op::Open, Mode::Dwell, false, false, true},
      {"open, arrow keys", Op::Open, Mode::ArrowKeys, false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.SetMode(c.mode);
    s.OpenNew("/d/first.txt", "first");
    s.fake.memMain.Type("!");
    s.fake.files.files["/e/second.txt"] = "second";
    s.fake.window.answerYes = c.answerYes;

    if (c.op == Op::New) {
      s.Docs().ActFileNewExecute();
    } else {
      s.OpenByDialog("/e/second.txt");
    }

    const std::string question =
        Sj(c.op == Op::New ? "編集中です。新規作成しますか？" : "編集中です。ファイルを開きますか？");
    EXPECT_EQ(s.fake.window.questions, c.asked ? std::vector<std::string>{question} : std::vector<std::string>{});
    EXPECT_TRUE(s.fake.window.messages.empty());
    if (!c.goesOn) {
      ExpectTheFirstDocumentKept(s);
    } else if (c.op == Op::New) {
      EXPECT_EQ(s.fake.memMain.text, "");
      EXPECT_FALSE(s.fake.memMain.modified);
      EXPECT_TRUE(s.CurFile().empty());
      EXPECT_EQ(s.fake.window.caption, kUntitled);
      EXPECT_FALSE(s.fake.window.fileSaveEnabled);
    } else {
      EXPECT_EQ(s.fake.memMain.text, "second");
      EXPECT_FALSE(s.fake.memMain.modified);
      EXPECT_EQ(s.CurFile(), "/e/second.txt");
      EXPECT_EQ(s.fake.window.caption, DocCaption("/e/second.txt"));
      EXPECT_EQ(s.Recent(), (StringList{"/e/second.txt", "/d/first.txt"}));
    }
  }
}

// Whether the text differs from what was last opened or saved decides, not
// the save action or whether anything was typed.
TEST(DocumentsUnsavedWork, TheModifiedFlagDecidesWhetherToAsk) {
  const struct {
    const char* name;
    std::function<void(Session&)> prepare;
    bool asked;
  } cases[] = {
      {"fresh start", [](Session&) {}, false},
      {"typed", [](Session& s) { s.fake.memMain.Type("a"); }, true},
      {"typed, then everything deleted",
       [](Session& s) {
         s.fake.memMain.Type("a");
         s.fake.memMain.selStart = 0;
         s.fake.memMain.selLength = 1;
         s.fake.memMain.Type("");
       },
       false},
      {"a file opened, then emptied",
       [](Session& s) {
         s.OpenNew("/d/a.txt", "abc");
         s.fake.memMain.selLength = 3;
         s.fake.memMain.Type("");
       },
       true},
      {"typed, then saved",
       [](Session& s) {
         s.fake.memMain.Type("a");
         s.SaveAs("/d/a.txt");
       },
       false},
      {"a file opened (text, save action on)", [](Session& s) { s.OpenNew("/d/a.txt", "abc"); }, false},
      {"a file opened, then typed",
       [](Session& s) {
         s.OpenNew("/d/a.txt", "abc");
         s.fake.memMain.Type("x");
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    c.prepare(s);
    s.fake.window.questions.clear();
    s.Docs().ActFileNewExecute();
    EXPECT_EQ(s.fake.window.questions.size(), c.asked ? 1u : 0u);
    s.fake.memMain.Type("b");
    s.fake.window.questions.clear();
    s.Docs().OpenDocument("/d/other.txt");
    EXPECT_EQ(s.fake.window.questions.size(), 1u);
  }
}

// ------------------------------------------------------------ save as

TEST(DocumentsSaveAs, OverwritingOutsideClickModeAsksNothingAndEndsWithSaved) {
  for (Mode mode : {Mode::Dwell, Mode::ArrowKeys}) {
    SCOPED_TRACE(ModeName(mode));
    Session s;
    s.SetMode(mode);
    s.fake.window.answerYes = false;
    s.fake.files.files["/d/a.txt"] = "old";
    s.fake.memMain.Type("new");

    s.SaveAs("/d/a.txt");

    EXPECT_TRUE(s.fake.window.questions.empty());
    EXPECT_TRUE(s.fake.window.messages.empty());
    EXPECT_EQ(s.fake.files.files.at("/d/a.txt"), "new");
    EXPECT_EQ(s.fake.pnlMsg.history, (std::vector<std::string>{Sj("上書きしました"), Sj("保存しました")}));
    EXPECT_EQ(s.fake.pnlMsg.message, Sj("保存しました"));
    EXPECT_EQ(s.CurFile(), "/d/a.txt");
    EXPECT_FALSE(s.fake.memMain.modified);
  }
}

TEST(DocumentsSaveAs, OverwritingInClickModeAsksAndNoKeepsEverything) {
  for (bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    Session s;
    s.OpenNew("/d/first.txt", "first");
    s.fake.memMain.Type("!");
    s.fake.files.files["/e/a.txt"] = "old";
    s.fake.window.answerYes = yes;

    s.SaveAs("/e/a.txt");

    EXPECT_EQ(s.fake.window.questions, std::vector<std::string>{Sj("/e/a.txt はすでに存在します。上書きしますか？")});
    if (yes) {
      EXPECT_EQ(s.fake.files.files.at("/e/a.txt"), "!first");
      EXPECT_EQ(s.CurFile(), "/e/a.txt");
      EXPECT_EQ(s.fake.window.caption, DocCaption("/e/a.txt"));
      EXPECT_EQ(s.Recent(), (StringList{"/e/a.txt", "/d/first.txt"}));
      EXPECT_FALSE(s.fake.memMain.modified);
      EXPECT_EQ(s.BoxTexts(), std::vector<std::string>{Sj("保存しました")});
    } else {
      EXPECT_EQ(s.fake.files.files.at("/e/a.txt"), "old");
      EXPECT_EQ(s.fake.files.files.at("/d/first.txt"), "first");
      EXPECT_EQ(s.CurFile(), "/d/first.txt");
      EXPECT_EQ(s.fake.window.caption, DocCaption("/d/first.txt"));
      EXPECT_EQ(s.Recent(), StringList{"/d/first.txt"});
      EXPECT_TRUE(s.fake.memMain.modified);
      EXPECT_TRUE(s.fake.window.messages.empty());
    }
  }
}

TEST(DocumentsSaveAs, FileNamesAndTheirExtensions) {
  const std::string extensionChanged = Sj("ファイル拡張子を変更しました");
  const std::string saved = Sj("保存しました");
  const struct {
    const char* name;
    std::string chosen;
    std::vector<std::string> existing;
    std::string target;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
  } cases[] = {
      {"no extension, nothing there", "/d/memo", {}, "/d/memo.txt", {extensionChanged, saved}, {}},
      {"no extension, the .txt file exists",
       "/d/memo",
       {"/d/memo.txt"},
       "/d/memo.txt",
       {extensionChanged, saved},
       {Sj("/d/memo はすでに存在します。上書きしますか？")}},
      {"a file without extension exists: the .txt name is free",
       "/d/memo",
       {"/d/memo"},
       "/d/memo.txt",
       {extensionChanged, saved},
       {}},
      {"Japanese name without extension",
       "/d/メモ",
       {"/d/メモ.txt"},
       "/d/メモ.txt",
       {extensionChanged, saved},
       {Sj("/d/メモ はすでに存在します。上書きしますか？")}},
      {"another extension is kept", "/d/memo.md", {}, "/d/memo.md", {saved}, {}},
      {"upper-case extension is kept", "/d/MEMO.TXT", {}, "/d/MEMO.TXT", {saved}, {}},
      {"a name ending in a dot is kept", "/d/memo.", {}, "/d/memo.", {saved}, {}},
      {"a name starting with a dot is kept", "/d/.memo", {}, "/d/.memo", {saved}, {}},
      {"a dot in the folder does not count", "/d.v2/memo", {}, "/d.v2/memo.txt", {extensionChanged, saved}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    for (const std::string& path : c.existing) s.fake.files.files[path] = "old";
    s.fake.memMain.Type("new");

    s.SaveAs(c.chosen);

    EXPECT_EQ(s.BoxTexts(), c.messages);
    EXPECT_EQ(s.fake.window.questions, c.questions);
    EXPECT_EQ(s.CurFile(), c.target);
    EXPECT_EQ(s.fake.files.files.at(c.target), "new");
    if (c.chosen != c.target) {
      const bool existed = std::find(c.existing.begin(), c.existing.end(), c.chosen) != c.existing.end();
      EXPECT_EQ(s.fake.files.files.count(c.chosen), existed ? 1u : 0u);  // the name as chosen is not written
    }
    EXPECT_EQ(s.Recent(), StringList{c.target});
    EXPECT_EQ(s.fake.window.caption, DocCaption(c.target));
  }
}

TEST(DocumentsSaveAs, DecliningTheOverwriteAfterTheExtensionWasAddedSavesNothing) {
  Session s;
  s.fake.files.files["/d/memo.txt"] = "old";
  s.fake.memMain.Type("new");
  s.fake.window.answerYes = false;

  s.SaveAs("/d/memo");

  EXPECT_EQ(s.BoxTexts(), std::vector<std::string>{Sj("ファイル拡張子を変更しました")});
  EXPECT_EQ(s.fake.window.questions.size(), 1u);
  EXPECT_EQ(s.fake.files.files.at("/d/memo.txt"), "old");
  EXPECT_EQ(s.fake.files.files.count("/d/memo"), 0u);
  EXPECT_TRUE(s.CurFile().empty());
  EXPECT_EQ(s.fake.window.caption, kUntitled);
  EXPECT_TRUE(s.Recent().empty());
  EXPECT_TRUE(s.fake.memMain.modified);
}

TEST(DocumentsSaveAs, OutsideClickModeTheMessagesGoToTheStatusLineInOrder) {
  Session s;
  s.SetMode(Mode::Dwell);
  s.fake.files.files["/d/memo.txt"] = "old";
  s.fake.memMain.Type("new");

  s.SaveAs("/d/memo");

  EXPECT_TRUE(s.fake.window.messages.empty());
  EXPECT_TRUE(s.fake.window.questions.empty());
  EXPECT_EQ(s.fake.pnlMsg.history,
            (std::vector<std::string>{Sj("ファイル拡張子を変更しました"), Sj("上書きしました"), Sj("保存しました")}));
  EXPECT_EQ(s.fake.files.files.at("/d/memo.txt"), "new");
}

// ------------------------------------------------------------ opening

TEST_F(DocumentsTest, OpeningAStalePathStartsAnEmptyDocumentUnderThatName) {
  s.SetMode(Mode::Dwell);
  s.OpenNew("/d/a.txt");
  s.OpenNew("/d/gone.txt", "was here");
  s.OpenNew("/d/b.txt");
  s.fake.files.files.erase("/d/gone.txt");
  s.fake.memMain.Type("unsaved");
  const int changes = s.fake.memMain.changeCount;
  s.fake.memMain.focused = false;

  s.Docs().MnuFileUseS0Click(1);

  EXPECT_EQ(s.fake.memMain.text, "");
  EXPECT_EQ(s.fake.memMain.changeCount, changes);  // emptying is no change
  EXPECT_FALSE(s.fake.memMain.modified);
  EXPECT_EQ(s.CurFile(), "/d/gone.txt");
  EXPECT_EQ(s.fake.window.caption, DocCaption("/d/gone.txt"));
  EXPECT_EQ(s.Recent(), (StringList{"/d/gone.txt", "/d/b.txt", "/d/a.txt"}));
  EXPECT_EQ(s.fake.window.recentCaptions.at(0), "0/d/gone.txt");
  EXPECT_TRUE(s.fake.window.fileSaveEnabled);
  EXPECT_FALSE(s.fake.memMain.focused);  // the menu item leaves the focus alone
  EXPECT_EQ(s.fake.files.files.count("/d/gone.txt"), 0u);

  s.fake.memMain.Type("again");
  s.Docs().ActFileSaveExecute();
  EXPECT_EQ(s.fake.files.files.at("/d/gone.txt"), "again");
}

TEST_F(DocumentsTest, RecentFileMenu) {
  s.fake.window.recentCaptions[5] = "5";  // as the menu shows at start
  s.OpenNew("/d/1.txt");
  s.OpenNew("/d/2.txt");
  s.OpenNew("/d/3.txt");
  EXPECT_EQ(s.Recent(), (StringList{"/d/3.txt", "/d/2.txt", "/d/1.txt"}));
  EXPECT_EQ(s.fake.window.recentCaptions,
            (std::map<int, std::string>{{0, "0/d/3.txt"}, {1, "1/d/2.txt"}, {2, "2/d/1.txt"}, {5, "5"}}));

  // A listed file moves to the top without a copy.
  s.Docs().MnuFileUseS0Click(2);
  EXPECT_EQ(s.CurFile(), "/d/1.txt");
  EXPECT_EQ(s.Recent(), (StringList{"/d/1.txt", "/d/3.txt", "/d/2.txt"}));
  EXPECT_EQ(s.fake.window.recentCaptions.at(2), "2/d/2.txt");

  // Letter case counts.
  s.OpenNew("/d/1.TXT");
  EXPECT_EQ(s.Recent(), (StringList{"/d/1.TXT", "/d/1.txt", "/d/3.txt", "/d/2.txt"}));

  // An eleventh distinct file pushes the oldest out.
  for (int i = 4; i <= 9; ++i) s.OpenNew("/d/" + std::to_string(i) + ".txt");
  EXPECT_EQ(s.Recent().size(), 10u);
  EXPECT_EQ(s.Recent().back(), "/d/2.txt");
  s.OpenNew("/d/10.txt");
  EXPECT_EQ(s.Recent().size(), 10u);
  EXPECT_EQ(s.Recent().front(), "/d/10.txt");
  EXPECT_EQ(s.Recent().back(), "/d/3.txt");
  for (int i = 0; i < kRecentFileCount; ++i) {
    EXPECT_EQ(s.fake.window.recentCaptions.at(i), std::to_string(i) + s.Recent()[static_cast<std::size_t>(i)]);
  }
}

TEST_F(DocumentsTest, OnlyTheFirstOlderCopyOfAPathLeavesTheList) {
  // A stored list may hold a path twice.
  s.Recent() = {"/d/a.txt", "/d/b.txt", "/d/a.txt"};
  s.OpenNew("/d/a.txt");
  EXPECT_EQ(s.Recent(), (StringList{"/d/a.txt", "/d/b.txt", "/d/a.txt"}));
  s.OpenNew("/d/b.txt");
  EXPECT_EQ(s.Recent(), (StringList{"/d/b.txt", "/d/a.txt", "/d/a.txt"}));
}

TEST_F(DocumentsTest, ChoosingARecentItemWithoutAPathDoesNothing) {
  s.OpenNew("/d/1.txt", "one");
  s.OpenNew("/d/2.txt", "two");
  s.fake.memMain.Type("!");
  const auto reads = s.fake.files.reads.size();
  const auto captions = s.fake.window.recentCaptions;

  for (int item : {2, 9}) s.Docs().MnuFileUseS0Click(item);

  EXPECT_EQ(s.fake.files.reads.size(), reads);
  EXPECT_TRUE(s.fake.window.questions.empty());
  EXPECT_EQ(s.fake.memMain.text, "!two");
  EXPECT_TRUE(s.fake.memMain.modified);
  EXPECT_EQ(s.CurFile(), "/d/2.txt");
  EXPECT_EQ(s.Recent(), (StringList{"/d/2.txt", "/d/1.txt"}));
  EXPECT_EQ(s.fake.window.recentCaptions, captions);
}

TEST_F(DocumentsTest, OpeningLoadsInOneChangeAndPutsTheCaretAtTheStart) {
  s.fake.memMain.Type("old text");
  s.Docs().ActFileNewExecute();
  s.fake.files.files["/d/a b.txt"] = "line 1\r\nline 2";
  const int changes = s.fake.memMain.changeCount;
  s.fake.memMain.loadingLog.clear();

  s.OpenByDialog("/d/a b.txt");

  EXPECT_EQ(s.fake.memMain.text, "line 1\r\nline 2");
  EXPECT_EQ(s.fake.memMain.changeCount, changes + 1);
  EXPECT_EQ(s.fake.memMain.selStart, 0);
  EXPECT_EQ(s.fake.memMain.loadingLog, (std::vector<bool>{true, false}));
  EXPECT_FALSE(s.fake.memMain.modified);
  EXPECT_EQ(s.fake.window.caption, "Velkor*LT-/d/a b.txt");
  EXPECT_TRUE(s.fake.window.messages.empty());
}

// ------------------------------------------------------------ file content

TEST(DocumentsContent, LineBreaksBecomeCrLfAndNoneIsAdded) {
  const struct {
    const char* name;
    std::string file;
    std::string text;
  } cases[] = {
      {"lone LF", "a\nb\n", "a\r\nb\r\n"},
      {"lone CR", "a\rb", "a\r\nb"},
      {"mixed", "a\r\nb\nc\rd\n\re", "a\r\nb\r\nc\r\nd\r\n\r\ne"},
      {"no final break", "a\r\nb", "a\r\nb"},
      {"only breaks", "\n\n", "\r\n\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.OpenNew("/d/a.txt", c.file);
    EXPECT_EQ(s.fake.memMain.text, c.text);
    s.Docs().ActFileSaveExecute();
    EXPECT_EQ(s.fake.files.files.at("/d/a.txt"), c.text);
  }
}

TEST_F(DocumentsTest, BytesTheCodePageDoesNotDefineSurviveOpenAndSave) {
  const std::string bytes =
      "\x80\xA0\xFD\xFE\xFF"                          // bytes that are no character
      "\r\n\xB1\xB6\xDE\xDF\xA1"                      // half-width katakana
      "\r\n\x87\x40\x87\x90\xED\x40\xFA\x40\xFA\x55"  // NEC and IBM extensions
      "\r\n\x81\x60\x81\x7F\x82\xA0\x81";             // wave dash, a bad trail byte, a lone lead byte at the end
  s.OpenNew("/d/odd.txt", bytes);
  EXPECT_EQ(s.fake.memMain.text, bytes);
  s.Docs().ActFileSaveExecute();
  EXPECT_EQ(s.fake.files.files.at("/d/odd.txt"), bytes);
  s.SaveAs("/d/copy.txt");
  EXPECT_EQ(s.fake.files.files.at("/d/copy.txt"), bytes);

  // The same bytes with lone LFs come back with CR LF only.
  std::string lf = bytes;
  for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  s.OpenNew("/d/lf.txt", lf);
  s.Docs().ActFileSaveExecute();
  EXPECT_EQ(s.fake.files.files.at("/d/lf.txt"), bytes);
}

// ------------------------------------------------------------ dialogs

TEST_F(DocumentsTest, DialogsStartInTheDataFolderUntilADocumentWasOpenedOrSaved) {
  s.Docs().ActFileOpenExecute();
  s.Docs().ActFileAddExecute();
  s.Docs().ActFileNewExecute();
  s.Docs().ActFileOpenExecute();
  EXPECT_EQ(s.fake.dialogs.openFolders, (std::vector<std::string>{kDataDir, kDataDir}));
  EXPECT_EQ(s.fake.dialogs.saveFolders, std::vector<std::string>{kDataDir});

  s.OpenNew("/home/u/docs/a.txt");
  s.Docs().ActFileOpenExecute();
  s.Docs().ActFileAddExecute();
  EXPECT_EQ(s.fake.dialogs.openFolders.back(), "/home/u/docs/");
  EXPECT_EQ(s.fake.dialogs.saveFolders.back(), "/home/u/docs/");

  s.SaveAs("/tmp/x/b.txt");
  s.Docs().ActFileOpenExecute();
  s.Docs().ActFileAddExecute();
  EXPECT_EQ(s.fake.dialogs.openFolders.back(), "/tmp/x/");
  EXPECT_EQ(s.fake.dialogs.saveFolders.back(), "/tmp/x/");

  // A new document keeps the folder; opening by the recent menu moves it.
  s.Docs().ActFileNewExecute();
  s.Docs().ActFileOpenExecute();
  EXPECT_EQ(s.fake.dialogs.openFolders.back(), "/tmp/x/");
  s.Docs().MnuFileUseS0Click(1);
  s.Docs().ActFileAddExecute();
  EXPECT_EQ(s.fake.dialogs.saveFolders.back(), "/home/u/docs/");
}

TEST(DocumentsFocus, ActionsEndWithFocusAndBlockCaretOthersLeaveThem) {
  const struct {
    const char* name;
    std::function<void(Session&)> run;
    bool focused;
    std::string caret;  // block caret's character; "" for untouched
  } cases[] = {
      {"new", [](Session& s) { s.Docs().ActFileNewExecute(); }, true, "W"},
      {"new declined",
       [](Session& s) {
         s.fake.memMain.Type("x");
         s.fake.memMain.selStart = 0;
         s.fake.window.answerYes = false;
         s.Docs().ActFileNewExecute();
       },
       true, "x"},
      {"open", [](Session& s) { s.OpenNew("/d/a.txt", Sj("あいう")); }, true, Sj("あ")},
      {"open cancelled", [](Session& s) { s.Docs().ActFileOpenExecute(); }, false, ""},
      {"save (untitled)",
       [](Session& s) {
         s.fake.dialogs.saveAnswers.push_back("/d/a.txt");
         s.Docs().ActFileSaveExecute();
       },
       true, "W"},
      {"save as", [](Session& s) { s.SaveAs("/d/a.txt"); }, true, "W"},
      {"save as cancelled", [](Session& s) { s.Docs().ActFileAddExecute(); }, true, "W"},
      {"recent item", [](Session& s) { s.Docs().MnuFileUseS0Click(0); }, false, ""},
      {"open by path", [](Session& s) { s.Docs().OpenDocument("/d/a.txt"); }, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.Recent() = {"/d/r.txt"};
    s.fake.files.files["/d/r.txt"] = "r";
    s.fake.memMain.focused = false;
    s.fake.memMain.caretCharacter.clear();
    c.run(s);
    EXPECT_EQ(s.fake.memMain.focused, c.focused);
    EXPECT_EQ(s.fake.memMain.caretCharacter, c.caret);
  }
}

// ------------------------------------------------------------ failures

TEST(DocumentsFailures, AReadFailureIsReportedOnTheChannelAndChangesNothing) {
  for (Mode mode : {Mode::Click, Mode::Dwell, Mode::ArrowKeys}) {
    SCOPED_TRACE(ModeName(mode));
    Session s;
    s.SetMode(mode);
    s.OpenNew("/d/a.txt", "old");
    s.fake.memMain.Type("!");
    s.fake.files.files["/e/locked.txt"] = "secret";
    s.fake.files.unreadable.insert("/e/locked.txt");
    s.fake.memMain.loadingLog.clear();
    s.fake.pnlMsg.history.clear();

    s.OpenByDialog("/e/locked.txt");

    const std::string error = "cannot read /e/locked.txt";
    if (mode == Mode::Click) {
      EXPECT_EQ(s.BoxTexts(), std::vector<std::string>{error});
      EXPECT_TRUE(s.fake.pnlMsg.history.empty());
    } else {
      EXPECT_TRUE(s.fake.window.messages.empty());
      EXPECT_EQ(s.fake.pnlMsg.message, error);
    }
    EXPECT_EQ(s.fake.memMain.text, "!old");
    EXPECT_TRUE(s.fake.memMain.modified) << "the unsaved work must stay marked as unsaved";
    EXPECT_EQ(s.CurFile(), "/d/a.txt");
    EXPECT_EQ(s.fake.window.caption, DocCaption("/d/a.txt"));
    EXPECT_EQ(s.Recent(), StringList{"/d/a.txt"});
    EXPECT_TRUE(s.fake.window.fileSaveEnabled);
    EXPECT_EQ(s.fake.memMain.loadingLog, (std::vector<bool>{true, false}));
  }
}

TEST_F(DocumentsTest, AReadFailureOnAnUntitledDocumentLeavesItUntitled) {
  s.fake.files.files["/e/locked.txt"] = "secret";
  s.fake.files.unreadable.insert("/e/locked.txt");
  s.OpenByDialog("/e/locked.txt");
  EXPECT_EQ(s.BoxTexts(), std::vector<std::string>{"cannot read /e/locked.txt"});
  EXPECT_EQ(s.fake.memMain.text, "");
  EXPECT_TRUE(s.CurFile().empty());
  EXPECT_EQ(s.fake.window.caption, kUntitled);
  EXPECT_TRUE(s.Recent().empty());
  EXPECT_FALSE(s.fake.window.fileSaveEnabled);
}

TEST(DocumentsFailures, AWriteFailureKeepsTheDocumentModifiedAndThePreviousFile) {
  for (Mode mode : {Mode::Click, Mode::Dwell, Mode::ArrowKeys}) {
    SCOPED_TRACE(ModeName(mode));
    Session s;
    s.SetMode(mode);
    s.OpenNew("/d/b.txt", "b");
    s.OpenNew("/d/a.txt", "old");
    s.fake.memMain.Type("new ");
    s.fake.files.unwritable.insert("/d/a.txt");
    s.fake.pnlMsg.history.clear();
    s.fake.window.messages.clear();

    s.Docs().ActFileSaveExecute();

    const std::vector<std::string> reported{"cannot write /d/a.txt"};
    if (mode == Mode::Click) {
      EXPECT_EQ(s.BoxTexts(), reported);
      EXPECT_TRUE(s.fake.pnlMsg.history.empty());
    } else {
      EXPECT_TRUE(s.fake.window.messages.empty());
      EXPECT_EQ(s.fake.pnlMsg.history, reported);
    }
    EXPECT_EQ(s.fake.files.files.at("/d/a.txt"), "old");
    EXPECT_TRUE(s.fake.memMain.modified);
    EXPECT_EQ(s.fake.memMain.text, "new old");
    EXPECT_EQ(s.fake.window.caption, DocCaption("/d/a.txt"));
    EXPECT_EQ(s.Recent(), (StringList{"/d/a.txt", "/d/b.txt"}));
    EXPECT_TRUE(s.fake.window.fileSaveEnabled);
  }
}

TEST(DocumentsFailures, AFailedSaveAsKeepsCaptionRecentListAndModifiedFlag) {
  for (Mode mode : {Mode::Click, Mode::Dwell}) {
    SCOPED_TRACE(ModeName(mode));
    Session s;
    s.SetMode(mode);
    s.OpenNew("/d/a.txt", "a");
    s.fake.memMain.Type("draft ");
    s.fake.files.unwritable.insert("/ro/b.txt");
    s.fake.pnlMsg.history.clear();

    s.SaveAs("/ro/b.txt");

    EXPECT_EQ(s.fake.files.files.count("/ro/b.txt"), 0u);
    EXPECT_EQ(s.fake.files.files.at("/d/a.txt"), "a");
    EXPECT_TRUE(s.fake.memMain.modified);
    EXPECT_EQ(s.Recent(), StringList{"/d/a.txt"});
    EXPECT_EQ(s.fake.window.recentCaptions.at(0), "0/d/a.txt");
    EXPECT_EQ(s.fake.window.recentCaptions.count(1), 0u);
    EXPECT_EQ(s.fake.window.caption, DocCaption("/d/a.txt")) << "a failed write must not rename the window";
    const std::vector<std::string> reported{"cannot write /ro/b.txt"};
    EXPECT_EQ(mode == Mode::Click ? s.BoxTexts() : s.fake.pnlMsg.history, reported);
  }
}

}  // namespace
}  // namespace velkor::testing

namespace velkor::testing {
namespace {

// In click mode a file error comes in a box with the error icon, like the
// print error; the program's own messages keep the plain box.
TEST(DocumentsErrorBoxes, FileErrorsCarryTheErrorIcon) {
  FakePlatform fake;
  fake.store.SetCp932("Option", "1,0,0,1,0,0,0,0,0,0");
  MainForm form(fake.Get());
  ASSERT_TRUE(form.FormCreate());
  form.FormShow();
  fake.files.files["/d/locked.txt"] = "x";
  fake.files.unreadable.insert("/d/locked.txt");
  form.Docs().OpenDocument("/d/locked.txt");
  ASSERT_FALSE(fake.window.messages.empty());
  EXPECT_EQ(fake.window.messages.back().second, MessageIcon::Error);

  fake.memMain.Type("text");
  form.State().curFileName = "/ro/a.txt";
  fake.files.unwritable.insert("/ro/a.txt");
  EXPECT_FALSE(form.Docs().SaveDocument("/ro/a.txt"));
  EXPECT_EQ(fake.window.messages.back().second, MessageIcon::Error);

  fake.files.unwritable.clear();
  EXPECT_TRUE(form.Docs().SaveDocument("/ro/a.txt"));
  EXPECT_EQ(cp932::ToUtf8(fake.window.messages.back().first), "保存しました");
  EXPECT_EQ(fake.window.messages.back().second, MessageIcon::None);
}

// The text counts as modified whenever it differs from what was last opened
// or saved, whatever undo, redo or a new edit font did to the flag.
TEST_F(DocumentsTest, UndoAndRedoKeepTheModifiedFlagTrueToTheFile) {
  s.OpenNew("/d/a.txt", "saved");
  s.fake.memMain.Type("!");
  s.Docs().ActFileSaveExecute();
  ASSERT_FALSE(s.fake.memMain.modified);
  s.form.UndoLog().Undo();  // back to "saved": no longer what the file holds
  EXPECT_EQ(s.fake.memMain.text, "saved");
  EXPECT_TRUE(s.fake.memMain.modified);
  s.form.UndoLog().Redo();  // "!saved" is what the file holds
  EXPECT_FALSE(s.fake.memMain.modified);
  s.fake.memMain.Type("?");
  s.fake.dialogs.fonts.push_back(FontSpec{"Other", 30, colours::clBlack});
  s.form.Edit().ActDspFontExecute();
  EXPECT_TRUE(s.fake.memMain.modified) << "a new edit font is no save";
}

TEST_F(DocumentsTest, UndoingPastAnOpenLeavesTheDocumentUntitled) {
  s.fake.memMain.Type("earlier text");
  s.SetMode(Mode::Dwell);
  s.OpenNew("/d/b.txt", "file b");
  s.form.UndoLog().Undo();
  EXPECT_EQ(s.fake.memMain.text, "earlier text");
  EXPECT_TRUE(s.fake.memMain.modified);
  EXPECT_TRUE(s.CurFile().empty()) << "a save must not write this text over b.txt";
  EXPECT_EQ(s.fake.window.caption, kUntitled);
  s.SaveAs("/d/c.txt");
  EXPECT_EQ(s.fake.files.files["/d/b.txt"], "file b");
  EXPECT_EQ(s.fake.files.files["/d/c.txt"], "earlier text");
}

}  // namespace
}  // namespace velkor::testing
