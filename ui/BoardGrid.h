// The board grid over QTableWidget. The grid's fixed first column and row are
// the table's headers (so their borders can be dragged like the cells'), and
// grid column c, row r (both from 1) is table column c - 1, row r - 1.
#pragma once

#include <QTableWidget>

#include "app/Platform.h"

namespace velkor::ui {

class BoardGrid : public QTableWidget, public IBoardGrid {
  Q_OBJECT
 public:
  explicit BoardGrid(QWidget* parent = nullptr);

  void SetShape(int cols, int rows, int fixedCols, int fixedRows) override;
  int ColCount() const override { return columnCount() + 1; }
  int RowCount() const override { return rowCount() + 1; }
  FontSpec Font() const override { return font_; }
  void SetFont(const FontSpec& font) override;
  int PixelsPerInch() const override;
  void SetDefaultColWidth(int width) override;
  void SetDefaultRowHeight(int height) override;
  int DefaultRowHeight() const override { return defaultRowHeight_; }
  int ColWidth(int col) const override;
  void SetColWidth(int col, int width) override;
  int RowHeight(int row) const override;
  void SetRowHeight(int row, int height) override;
  std::string CellText(int col, int row) const override;
  void SetCellText(int col, int row, const std::string& text) override;
  Colour FixedColour() const override { return fixedColour_; }
  void SetFixedColour(Colour colour) override;
  Colour Background() const override { return background_; }
  void SetBackground(Colour colour) override;
  void SetCellMenuAttached(bool attached) override { cellMenuAttached_ = attached; }
  bool CellMenuAttached() const { return cellMenuAttached_; }
  bool Visible() const override { return !isHidden(); }
  void SetVisible(bool visible) override { setVisible(visible); }

 private:
  void ApplyColours();

  FontSpec font_;
  Colour fixedColour_ = colours::clBtnFace;
  Colour background_ = colours::clWindow;
  int defaultRowHeight_ = 24;
  bool cellMenuAttached_ = false;
};

}  // namespace velkor::ui
