#include "input/ArrowKeys.h"

#include <algorithm>

#include "board/BoardModel.h"
#include "core/InputMode.h"

namespace velkor {

namespace {

bool IsArrow(Key key) { return key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down; }

// One step along `count` places from `at`, round.
int Step(int at, int delta, int count) { return count <= 0 ? 0 : ((at + delta) % count + count) % count; }

}  // namespace

bool ArrowKeys::On() const { return ArrowKeyModeOn(state_.settings); }

bool ArrowKeys::TakesTyping() const { return On(); }

Target ArrowKeys::Cursor() const {
  if (selection_.ListShown()) return {Place::List, {p_.sgd01.Col(), p_.sgd01.Row()}};
  const int rowCell = p_.predictionRow.Current();
  if (selection_.Face() == Place::Board && rowCell >= 0) return {Place::Row, {rowCell, 0}};
  return {selection_.Face(), {p_.sgd00.Col(), p_.sgd00.Row()}};
}

bool ArrowKeys::KeyDown(Key key) {
  if (!On()) return false;
  keysDown_.insert(key);
  if (IsArrow(key)) {
    if (selection_.ListShown()) {
      WalkList(key);
    } else if (!WalkRow(key)) {
      WalkBoard(key);
    }
    selection_.Point(Cursor());
  }
  // Delete still deletes; typed keys are discarded.
  return key != Key::Delete && key != Key::Other;
}

void ArrowKeys::KeyUp(Key key) {
  if (!On()) return;
  // Only a key pressed while walking confirms.
  if (keysDown_.erase(key) == 0 || IsArrow(key)) return;
  selection_.Confirm(Cursor());
  selection_.Point(Cursor());
}

void ArrowKeys::WalkList(Key key) {
  IVariantList& list = p_.sgd01;
  const CellPos shape = selection_.ListShape();
  const bool againstEdge = (key == Key::Right && list.Col() == shape.col - 1) ||
                           (key == Key::Left && list.Col() == 0) || (key == Key::Up && list.Row() == 0) ||
                           (key == Key::Down && list.Row() == shape.row - 1);
  // A conversion is never lost by one arrow too many: its list is walked
  // round, as the board is. A list of variants is left at its edge.
  if (againstEdge && !selection_.ConversionShown()) {
    selection_.LeaveList();
    return;
  }
  switch (key) {
    case Key::Right: list.SetCol(Step(list.Col(), 1, shape.col)); break;
    case Key::Left: list.SetCol(Step(list.Col(), -1, shape.col)); break;
    case Key::Down: list.SetRow(Step(list.Row(), 1, shape.row)); break;
    case Key::Up: list.SetRow(Step(list.Row(), -1, shape.row)); break;
    default: break;
  }
}

bool ArrowKeys::WalkRow(Key key) {
  IPredictionRow& row = p_.predictionRow;
  // The row belongs to the board's own face.
  const int cells = selection_.Face() == Place::Board ? row.CellCount() : 0;
  IBoardGrid& grid = p_.sgd00;
  const int lastCol = board::kContentCols;
  const int lastRow = board::kLastCommandRow;
  const int current = cells > 0 ? row.Current() : -1;
  if (current < 0) {
    // Onto the row: up from the first row, or down from the last, to the
    // cell above or below the board's column.
    const bool onto = cells > 0 && ((key == Key::Up && grid.Row() <= 1) || (key == Key::Down && grid.Row() >= lastRow));
    if (!onto) return false;
    row.SetCurrent(std::clamp((grid.Col() - 1) * cells / std::max(1, lastCol), 0, cells - 1));
    return true;
  }
  switch (key) {
    case Key::Right: row.SetCurrent(Step(current, 1, cells)); break;
    case Key::Left: row.SetCurrent(Step(current, -1, cells)); break;
    default:
      // Off the row: to the first row below it, or round to the last.
      row.SetCurrent(-1);
      grid.SetCol(std::clamp(1 + (current * lastCol + lastCol / 2) / cells, 1, lastCol));
      grid.SetRow(key == Key::Down ? 1 : lastRow);
      break;
  }
  return true;
}

void ArrowKeys::WalkBoard(Key key) {
  IBoardGrid& grid = p_.sgd00;
  const int col = std::clamp(grid.Col(), 1, board::kContentCols);
  const int row = std::clamp(grid.Row(), 1, board::kLastCommandRow);
  switch (key) {
    case Key::Right: grid.SetCol(Step(col - 1, 1, board::kContentCols) + 1); break;
    case Key::Left: grid.SetCol(Step(col - 1, -1, board::kContentCols) + 1); break;
    case Key::Down: grid.SetRow(Step(row - 1, 1, board::kLastCommandRow) + 1); break;
    case Key::Up: grid.SetRow(Step(row - 1, -1, board::kLastCommandRow) + 1); break;
    default: break;
  }
}

}  // namespace velkor
