// The list laid over a board cell: the variants of a group cell, or a
// conversion's control cells and candidates. It keeps what it shows, so a
// chosen cell is resolved from here, never read back from the list on screen.
// A variant list closes when anything else is confirmed or the pointer goes
// back to the board; a conversion goes on in it until a confirmation ends it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Commands.h"
#include "core/Platform.h"
#include "document/Documents.h"
#include "input/Conversion.h"

namespace velkor {

class BoardLists {
 public:
  struct Ports {
    IBoardGrid& sgd00;
    IVariantList& sgd01;
  };
  enum class Kind { None, Variants, Conversion };

  BoardLists(Ports ports, Conversion& conversion, Documents& documents)
      : p_(ports), conversion_(conversion), docs_(documents) {}

  Kind Shown() const { return kind_; }
  bool Visible() const { return kind_ != Kind::None; }
  int Cols() const { return shape_.col; }
  int Rows() const { return shape_.row; }
  // The board cell a list opens over (the one confirmed last).
  void Anchor(CellPos boardCell) { anchor_ = boardCell; }
  // The variants of a group cell, over the anchor cell.
  void OpenVariants(const StringList& variants);
  // 変~: the reading before the caret in the conversion list over the anchor
  // cell; when it cannot open, the message place says why.
  void StartConversion();
  // What a cell holds; "" beside the entries.
  std::string CellText(CellPos cell) const;
  // What confirming the cell does, as the status line says it.
  StatusText Describe(CellPos cell) const;
  // A variant chosen: the list closes and the variant is returned to be
  // written; a conversion's cell: it goes on (the list is refilled) or ends
  // (the list closes), and nothing is returned.
  std::string Choose(CellPos cell);
  // The list goes; a conversion not finished ends there, and the message
  // place says so.
  void Hide();
  // Told when the list opened, was refilled or closed.
  void OnShownChanged(std::function<void()> handler) { shownChanged_ = std::move(handler); }

  // The shape of the variant list for a number of variants: columns and rows.
  static CellPos ListShape(int variants);

 private:
  // The index of a list cell, row after row; -1 beside the list.
  int IndexOf(CellPos cell) const;
  // Shows `cells` in a list of `shape` with the current cell at `current`.
  void Open(Kind kind, const StringList& cells, CellPos shape, CellPos current = {0, 0});
  void Fill(const StringList& cells);
  void ShownChanged() const;

  Ports p_;
  Conversion& conversion_;
  Documents& docs_;
  Kind kind_ = Kind::None;
  CellPos anchor_{1, 1};
  CellPos shape_{0, 0};
  StringList cells_;  // row after row
  std::function<void()> shownChanged_;
};

}  // namespace velkor
