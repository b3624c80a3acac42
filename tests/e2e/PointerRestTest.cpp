// The window under a real X display (Xvfb), with the real pointer moved by
// xdotool and resting on places as a head mouse does: a tremor of a pixel
// or two, never quite still. Dwell mode, one second. What is checked is what
// resting there writes, and nothing else may be written.
#include <gtest/gtest.h>

#include <QCursor>
#include <QHeaderView>
#include <QPointer>
#include <QProcess>
#include <algorithm>
#include <functional>
#include <QTest>

#include "core/Cp932.h"
#include "input/Conversion.h"
#include "tests/ui/WindowFixture.h"
#include "ui/GuideWindow.h"

namespace velkor::testing {
namespace {

class PointerRest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture_.Store("Option", QStringLiteral("0,1,0,1,0,0,0,0,0,0"));
    window_ = &fixture_.Start();
    ASSERT_TRUE(fixture_.created);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    // The pointer starts away from the window, so every arrival is a movement.
    Move(QPoint(1, 1));
  }
  void TearDown() override {
    Area().SetModified(false);
    window_->close();
  }

  IEditArea& Area() { return window_->Form().Plat().memMain; }
  std::string Text() { return cp932::ToUtf8(Area().Text()); }
  bool ListShown() { return window_->SGd01()->isVisible(); }

  // Moves the real pointer, as the user's device does.
  void Move(QPoint global) {
    const int status =
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
    ASSERT_EQ(status, 0) << "xdotool mousemove";
    QTest::qWait(20);
  }
  // Arrives at `global` from a few pixels away, as a hand does, then rests
  // there for `ms` with a tremor of up to `tremor` pixels, or until `done`
  // (a confirmation puts the pointer elsewhere: the hand stops there).
  void RestOn(QPoint global, int ms, int tremor = 2, const std::function<bool()>& done = {}) {
    Move(global + QPoint(6, 5));
    Move(global);
    Rest(global, ms, tremor, done);
  }
  void Rest(QPoint global, int ms, int tremor = 2, const std::function<bool()>& done = {}) {
    static const QPoint kShake[] = {{1, 0}, {0, 1}, {-1, 1}, {-1, 0}, {0, -1}, {1, -1}, {0, 0}, {2, 1}, {-2, -1}};
    for (int waited = 0, i = 0; waited < ms && !(done && done()); waited += 100, ++i) {
      const QPoint shake = kShake[i % std::size(kShake)];
      Move(global + QPoint(std::clamp(shake.x(), -tremor, tremor), std::clamp(shake.y(), -tremor, tremor)));
      QTest::qWait(80);
    }
  }
  QPoint BoardCell(int col, int row) {
    const Rect r = window_->SGd00()->CellRect(col, row);
    return window_->SGd00()->mapToGlobal(QPoint(r.left + r.width / 2, r.top + r.height / 2));
  }
  // Candidate `i` of the conversion list's page.
  std::string Candidate(int i) {
    return cp932::ToUtf8(window_->Form().Converting().Cells().at(Conversion::kFirstCandidateCell + i));
  }
  // The list cell showing `caption`, as a rectangle on the screen.
  QRect ListCell(const std::string& captionUtf8) {
    ui::VariantList* list = window_->SGd01();
    for (int r = 0; r < list->rowCount(); ++r)
      for (int c = 0; c < list->columnCount(); ++c)
        if (list->item(r, c) && list->item(r, c)->text() == QString::fromStdString(captionUtf8)) {
          const QRect rect = list->visualItemRect(list->item(r, c));
          return QRect(list->viewport()->mapToGlobal(rect.topLeft()), rect.size());
        }
    return {};
  }

  WindowFixture fixture_;
  ui::MainWindow* window_ = nullptr;
};

// A list opens under the resting pointer: a pointer kept there, trembling
// by two pixels, for three dwell times chooses nothing, also when the cell
// under it is not the one chosen last in a list.
TEST_F(PointerRest, AStillPointerOverAFreshlyOpenedListChoosesNothing) {
  const QPoint ka = BoardCell(2, 1);
  RestOn(ka, 2500, 2, [&] { return ListShown(); });
  ASSERT_TRUE(ListShown()) << "the か list opens after one dwell time";
  const QRect ga = ListCell("が");
  ASSERT_FALSE(ga.isEmpty());
  RestOn(ga.center(), 2500, 2, [&] { return Text() == "が"; });
  ASSERT_EQ(Text(), "が");
  EXPECT_LE((QCursor::pos() - ka).manhattanLength(), 4) << "the pointer is put back over the board cell";

  // Off the cell and back: the list opens again under the pointer, か under it.
  RestOn(BoardCell(2, 2), 400);
  RestOn(ka, 2500, 2, [&] { return ListShown(); });
  ASSERT_TRUE(ListShown());
  // Where the list opened, a tremor is no movement.
  Rest(QCursor::pos(), 3000, 2);
  EXPECT_EQ(Text(), "が") << "nothing is chosen under a pointer that did not move";
  EXPECT_TRUE(ListShown());

  // Entering another entry counts; so does coming back to the one that was
  // under the pointer.
  RestOn(ListCell("カ").center(), 400);
  EXPECT_EQ(Text(), "が");
  RestOn(ListCell("か").center(), 2500, 2, [&] { return Text() == "がか"; });
  EXPECT_EQ(Text(), "がか");
}

// The conversion list opens under the pointer over the 変~ cell: resting
// there converts nothing; its bottom row, which lies over the tab strip,
// responds over its whole height: a candidate there rested on near its lower
// edge is written.
TEST_F(PointerRest, TheConversionListChoosesOnlyWhatThePointerMovedTo) {
  Area().SetText(cp932::FromUtf8("きょうは"));
  Area().SetSelStart(static_cast<int>(Area().Text().size()));
  const QPoint convert = BoardCell(11, 6);
  RestOn(convert, 2500, 2, [&] { return ListShown(); });
  ASSERT_TRUE(ListShown()) << "the conversion list opens";
  ASSERT_TRUE(window_->Form().Converting().Active());
  Rest(QCursor::pos(), 3000, 2);
  EXPECT_EQ(Text(), "きょうは");
  EXPECT_TRUE(window_->Form().Converting().Active()) << "a still pointer neither chose nor left";

  // The bottom row's first cell: the ninth candidate.
  const std::string low = Candidate(Conversion::kPerPage - Conversion::kCols);
  ASSERT_FALSE(low.empty()) << "きょうは has nine candidates or more";
  const QRect bottom = ListCell(low);
  ASSERT_FALSE(bottom.isEmpty());
  const QRect tabs(window_->TabC00()->mapToGlobal(QPoint(0, 0)), window_->TabC00()->size());
  EXPECT_TRUE(bottom.intersects(tabs)) << "the bottom row lies over the tab strip, as in use";
  const QPoint nearBottom(bottom.center().x(), bottom.bottom() - 3);
  RestOn(nearBottom, 2500, 1, [&] { return Text() != "きょうは"; });
  EXPECT_EQ(Text().rfind(low, 0), 0u) << "the candidate rested on was written: " << Text();
}

// Space beside and below the cells is a place to rest: nothing is confirmed
// there however long the pointer stays.
TEST_F(PointerRest, RestingBesideOrBelowTheCellsConfirmsNothing) {
  ui::BoardGrid* grid = window_->SGd00();
  const Rect last = grid->CellRect(20, 7);
  const QPoint beside = grid->mapToGlobal(QPoint(last.left + last.width + 12, last.top - 2 * last.height));
  const QPoint below = grid->mapToGlobal(QPoint(last.left - 3 * last.width, last.top + last.height + 8));
  for (const QPoint& place : {beside, below}) {
    ASSERT_TRUE(QRect(grid->mapToGlobal(QPoint(0, 0)), grid->size()).contains(place))
        << "the place lies on the board grid itself";
    RestOn(place, 3000);
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(ListShown());
  }
}

// The 5-pixel header row counts as the cells of row 1 below it: resting on
// it over column 11 opens that cell's list, not the list of the cell the
// pointer came from.
TEST_F(PointerRest, TheHeaderRowCountsAsTheCellBelowIt) {
  RestOn(BoardCell(5, 3), 500);  // passing over a cell, shorter than a dwell
  ui::BoardGrid* grid = window_->SGd00();
  const Rect target = grid->CellRect(11, 1);
  QWidget* header = grid->horizontalHeader()->viewport();
  const QRect headerOnScreen(header->mapToGlobal(QPoint(0, 0)), header->size());
  const QPoint onHeader(grid->mapToGlobal(QPoint(target.left + target.width / 2, 0)).x(), headerOnScreen.top() + 2);
  ASSERT_TRUE(headerOnScreen.contains(onHeader));
  // Along the header, so that no cell is passed on the way.
  Move(onHeader + QPoint(8, 0));
  Move(onHeader);
  Rest(onHeader, 2500, 1, [&] { return ListShown(); });
  ASSERT_TRUE(ListShown());
  // The list opened over the cell under the header (its current cell).
  EXPECT_EQ((CellPos{window_->SGd00()->Col(), window_->SGd00()->Row()}), (CellPos{11, 1}));
  EXPECT_EQ(Text(), "");
}

// A list that refills under the pointer: さんをよんで converted, the first
// segment chosen by resting on it; the second segment's candidates now lie
// under the trembling pointer. Nothing of them is written until the pointer
// moves to one and rests there.
TEST_F(PointerRest, ARefilledConversionListCommitsOnlyWhatThePointerMovedTo) {
  Area().SetText(cp932::FromUtf8("さんをよんで"));
  Area().SetSelStart(static_cast<int>(Area().Text().size()));
  RestOn(BoardCell(11, 6), 2500, 2, [&] { return ListShown(); });
  ASSERT_TRUE(window_->Form().Converting().Active());
  const std::string first = Candidate(0);
  const QRect firstCell = ListCell(first);
  ASSERT_FALSE(firstCell.isEmpty()) << first;
  // Away from the list's first cell and onto it, then rest until it is chosen.
  RestOn(ListCell(Candidate(1)).center(), 300);
  RestOn(firstCell.center(), 2500, 2, [&] { return Text().rfind(first, 0) == 0; });
  ASSERT_EQ(Text().rfind(first, 0), 0u) << Text();
  const std::string afterFirst = Text();
  ASSERT_TRUE(window_->Form().Converting().Active()) << "よんで is still to convert";
  const QRect yonde = ListCell("呼んで");
  ASSERT_FALSE(yonde.isEmpty()) << "呼んで is offered for the second segment";

  Rest(QCursor::pos(), 3000, 2);
  EXPECT_EQ(Text(), afterFirst) << "nothing is committed under a pointer that did not move";
  EXPECT_TRUE(window_->Form().Converting().Active());

  if (yonde.contains(QCursor::pos())) RestOn(ListCell(Candidate(1)).center(), 300);
  RestOn(yonde.center(), 2500, 2, [&] { return Text() != afterFirst; });
  EXPECT_EQ(Text(), first + "呼んで");
}

// Gliding past the conversion list's edge onto the board and back keeps the
// conversion and its list.
TEST_F(PointerRest, GlidingOutOfTheConversionListAndBackKeepsIt) {
  Area().SetText(cp932::FromUtf8("きょうは"));
  Area().SetSelStart(static_cast<int>(Area().Text().size()));
  RestOn(BoardCell(11, 6), 2500, 2, [&] { return ListShown(); });
  ASSERT_TRUE(ListShown());
  ui::VariantList* list = window_->SGd01();
  const QRect onScreen(list->mapToGlobal(QPoint(0, 0)), list->size());
  const QPoint inside = ListCell(Candidate(1)).center();
  // Out over the left edge, across a few board cells, and back in.
  const QPoint out(onScreen.left() - 30, inside.y());
  for (const QPoint& p : {QPoint(onScreen.left() + 4, inside.y()), out, out + QPoint(-40, 0), out, inside}) {
    Move(p);
    QTest::qWait(150);
  }
  EXPECT_TRUE(window_->Form().Converting().Active()) << "the conversion goes on";
  EXPECT_TRUE(ListShown());
  EXPECT_EQ(Text(), "きょうは");
  RestOn(ListCell("確~").center(), 2500, 1, [&] { return !window_->Form().Converting().Active(); });
  EXPECT_EQ(Text(), "今日は");
}

// A variant list closes after its choice and the pointer is put back on the
// board cell under it: three seconds of tremor there write nothing more.
TEST_F(PointerRest, ClosingAVariantListOntoABoardCellWritesNothingMore) {
  const QPoint ka = BoardCell(2, 1);
  RestOn(ka, 2500, 2, [&] { return ListShown(); });
  ASSERT_TRUE(ListShown());
  RestOn(ListCell("が").center(), 2500, 2, [&] { return Text() == "が"; });
  ASSERT_EQ(Text(), "が");
  ASSERT_FALSE(ListShown());
  Rest(QCursor::pos(), 3000, 2);
  EXPECT_EQ(Text(), "が");
  EXPECT_FALSE(ListShown());
}

// The guide closed by resting on its close button, which lies over a board
// cell: the cell uncovered under the pointer writes nothing.
TEST_F(PointerRest, ClosingTheGuideByDwellWritesNothing) {
  window_->CommandAction(Command::Help)->trigger();
  auto* guide = window_->findChild<ui::GuideWindow*>();
  ASSERT_NE(guide, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(guide));
  // The close button moved over さ.
  const QPoint sa = BoardCell(3, 1);
  const QPoint button = guide->CloseButton()->mapTo(guide, guide->CloseButton()->rect().center());
  guide->move(sa - button - (guide->geometry().topLeft() - guide->frameGeometry().topLeft()));
  QTest::qWait(300);
  const QPoint onButton = guide->CloseButton()->mapToGlobal(guide->CloseButton()->rect().center());
  ASSERT_LE((onButton - sa).manhattanLength(), 20) << "the button lies over the board cell";
  QPointer<ui::GuideWindow> alive(guide);
  RestOn(onButton, 3000, 2, [&] { return alive.isNull(); });
  ASSERT_TRUE(alive.isNull()) << "resting on the close button closed the guide";
  Rest(QCursor::pos(), 3000, 2);
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(ListShown());
}

}  // namespace
}  // namespace velkor::testing
