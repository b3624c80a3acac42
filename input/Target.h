// What a confirmation chooses: one cell of one of the places the user chooses
// on. Click, dwell, the arrow keys and scanning each find such a target and
// hand it to the selection engine; none of them decides what it does.
#pragma once

#include "core/Platform.h"

namespace velkor {

// Where a cell is chosen: the board grid showing one of its faces, the list
// over it, the prediction row above it.
enum class Place { Board, SlotBoard, SettingsBoard, Start, List, Row, Sentences };

struct Target {
  Place place = Place::Board;
  // Board faces: column and row from 1; the list: its own column and row from
  // 0; the prediction row: {cell, 0}. Negative: beside the cells.
  CellPos cell{-1, -1};
  bool OnCell() const { return cell.col >= 0 && cell.row >= 0; }
  bool operator==(const Target&) const = default;
};

}  // namespace velkor
