// Two-byte characters the screen cannot show from Unicode alone: the NEC and
// IBM duplicate codes (髙 EE E0, 﨑 ED 95, ≒ 87 90) and pairs that do not
// decode. Each is one character on the screen, so the caret never stands
// inside it, and the bytes of a character nobody changed are saved as they
// were opened.
#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QTest>
#include <random>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "document/EditText.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

class TwoByteCharacterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Dwell mode: messages go to the status line, no box waits for an answer.
    fixture_.Store("Option", QStringLiteral("0,1,0,1,0,0,0,0,0,0"));
    window_ = &fixture_.Start();
    ASSERT_TRUE(fixture_.created);
    edit_ = window_->MemMain();
    edit_->setFocus();
  }
  void TearDown() override {
    Area().SetModified(false);
    window_->close();
  }

  IEditArea& Area() { return window_->Form().Plat().memMain; }
  QString Path(const char* name) const { return fixture_.Root() + QStringLiteral("/") + QLatin1String(name); }

  void Open(const std::string& bytes) {
    QFile file(Path("in.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    window_->Form().Docs().OpenDocument(Path("in.txt").toStdString());
  }
  std::string SaveAndRead() {
    EXPECT_TRUE(window_->Form().Docs().SaveDocument(Path("out.txt").toStdString()));
    QFile file(Path("out.txt"));
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(edit_, key, modifiers); }
  void Type(const QString& text) {
    for (const QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(edit_, &press);
    }
  }
  // Confirms a board cell showing `caption` (an insertion or a command),
  // as a click, a dwell or a key would.
  void Board(const std::string& caption) {
    IBoardGrid& grid = window_->Form().Plat().sgd00;
    ProgramState& state = window_->Form().State();
    for (int r = 1; r < grid.RowCount(); ++r)
      for (int c = 1; c < grid.ColCount(); ++c)
        if (grid.CellText(c, r) == caption) {
          window_->Form().Select().Confirm({Place::Board, {c, r}});
          return;
        }
    // Text on no cell: put it on the last cell of user tab 1 and confirm that.
    std::string& content = state.settings.crtList.at(crt::kTab1Content);
    StringList items = board::ReadTabContent(content);
    items.at(static_cast<std::size_t>(board::CellIndex(5, 20))) = caption;
    content = WriteCommaText(items);
    window_->Form().Plat().tabC00.SetIndex(1);
    window_->Form().Board().FillBoard();
    window_->Form().Select().Confirm({Place::Board, {20, 5}});
  }
  std::u16string Screen() const { return edit_->toPlainText().toStdU16String(); }

  WindowFixture fixture_;
  ui::MainWindow* window_ = nullptr;
  ui::EditArea* edit_ = nullptr;
};

const std::string kTaka = "\xEE\xE0";     // 髙, a duplicate of FB FC
const std::string kSaki = "\xED\x95";     // 﨑, a duplicate of FA B1
const std::string kRawPair = "\x85\x40";  // does not decode

// The faults seen in use: a Backspace between the two boxes of 髙 dropped the
// next character from the bytes, and か typed between them split the pair.
TEST_F(TwoByteCharacterTest, TheCaretNeverStandsInsideACharacterAndUnchangedBytesAreKept) {
  Open("A" + kTaka + "B\r\n");
  EXPECT_EQ(Screen(), u"A髙B\n");
  Key(Qt::Key_Home, Qt::ControlModifier);
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Right);
  EXPECT_EQ(Area().SelStart(), 4) << "three caret steps pass A, 髙 and B";
  Key(Qt::Key_Backspace);
  EXPECT_EQ(SaveAndRead(), "A" + kTaka + "\r\n");

  Open("A" + kTaka + "B\r\n");
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Type(QStringLiteral("か"));
  EXPECT_EQ(SaveAndRead(), "A" + kTaka + cp932::FromUtf8("か") + "B\r\n");

  // A pair that does not decode is one character too: one Delete takes both
  // of its bytes, and one caret step passes it.
  Open("x" + kRawPair + "y" + kSaki);
  EXPECT_EQ(edit_->toPlainText().size(), 5) << "x, the pair's one character (two code units), y, 﨑";
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(Area().SelStart(), 3);
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Delete);
  EXPECT_EQ(SaveAndRead(), "xy" + kSaki);
}

// A lead byte left alone by a damaged file (before a line break, or at the
// end) would join what is written after it into another character: it
// becomes the "?" it can only be, on the screen and in the file, and the user
// is told.
TEST_F(TwoByteCharacterTest, ALoneLeadByteNeverJoinsWhatIsWrittenAfterIt) {
  Open("a\x82\r\nb\x83");
  Key(Qt::Key_End, Qt::ControlModifier);
  Type(QStringLiteral("x"));
  EXPECT_EQ(Area().Text(), "a\x82\r\nb?x");
  EXPECT_EQ(Screen(), u"a\uF802\nb?x");
  EXPECT_EQ(cp932::ToUtf8(window_->PnlMsg()->Message()), "文書に書けない文字を「?」に置き換えました");

  // Deleting the line break after it joins it to the next line's first byte.
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Area().Text(), "a?b?x");
  EXPECT_EQ(DisplayFromEditText(Area().Text()), Screen());
}

// Random edits by keyboard and board over a text holding every kind of
// two-byte trouble: after each, the bytes to be saved decode to exactly what
// the screen shows, the caret stands on a character boundary, and the saved
// file holds those bytes.
TEST_F(TwoByteCharacterTest, AfterAnyEditTheSavedBytesShowExactlyWhatTheScreenShows) {
  const std::string start = "A" + kTaka + "B\r\n" + kSaki + kRawPair + "\x87\x90" + "\xFA\x4A" + "\x81\xFF" +
                            "\x80\xA0\xFD" + "\x82\r\n" + cp932::FromUtf8("漢字かな") + "\x9F";
  std::mt19937 random(24);
  const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,        Qt::Key_Down,
                          Qt::Key_Home, Qt::Key_End,   Qt::Key_Backspace, Qt::Key_Delete};
  const QString typed[] = {QStringLiteral("か"), QStringLiteral("x"), QStringLiteral("\n"),
                           QString(QChar(0xF802)) /* a lone 82 */, QString(QChar(0xF7C1)) /* raw A */};
  const std::string boardTexts[] = {cp932::FromUtf8("あ"), cp932::FromUtf8("BS~"), cp932::FromUtf8("←~"),
                                    cp932::FromUtf8("→~"), cp932::FromUtf8("削~"), kTaka + kRawPair,
                                    cp932::FromUtf8("戻"), cp932::FromUtf8("直"),  cp932::FromUtf8("挿~")};
  std::size_t troubleSeen = 0;
  for (int step = 0; step < 800; ++step) {
    // A fresh copy of the text now and then, so the edits go on over it.
    if (step % 100 == 0) {
      Open(start);
      ASSERT_EQ(DisplayFromEditText(Area().Text()), Screen());
    }
    switch (random() % 5) {
      case 4: {  // a click anywhere in the text, as a pointer puts the caret
        const QRect area = edit_->viewport()->rect();
        const QPoint at(static_cast<int>(random() % 200), static_cast<int>(random() % 60));
        QTest::mouseClick(edit_->viewport(), Qt::LeftButton, {}, area.topLeft() + at);
        break;
      }
      case 0:
      case 1: {
        const bool shift = random() % 4 == 0;
        Key(keys[random() % std::size(keys)], shift ? Qt::ShiftModifier : Qt::NoModifier);
        break;
      }
      case 2: Type(typed[random() % std::size(typed)]); break;
      default: Board(boardTexts[random() % std::size(boardTexts)]); break;
    }
    const std::string bytes = Area().Text();
    ASSERT_EQ(DisplayFromEditText(bytes), Screen()) << "step " << step;
    const auto caret = static_cast<std::size_t>(Area().SelStart());
    ASSERT_TRUE(cp932::IsCharBoundary(bytes, caret)) << "step " << step << " caret " << caret;
    ASSERT_TRUE(cp932::IsCharBoundary(bytes, caret + static_cast<std::size_t>(Area().SelLength())));
    if (bytes.find(kTaka) != std::string::npos || bytes.find(kRawPair) != std::string::npos) ++troubleSeen;
  }
  EXPECT_GT(troubleSeen, 400u) << "the edits went on over the troublesome characters";
  EXPECT_EQ(SaveAndRead(), Area().Text());
}

}  // namespace
}  // namespace velkor::testing
