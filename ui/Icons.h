// The toolbar's twelve pictures, drawn by the program itself.
#pragma once

#include <QIcon>

namespace velkor::ui {

// In the order of the toolbar's image list.
enum class ToolImage {
  New = 0,
  Open = 1,
  Save = 2,
  SaveAs = 3,
  Print = 4,
  Find = 5,
  Replace = 6,
  EditFont = 7,
  Zoom = 8,
  BoardFont = 9,
  Undo = 10,
  Redo = 11,
};

QIcon ToolIcon(ToolImage image);

}  // namespace velkor::ui
