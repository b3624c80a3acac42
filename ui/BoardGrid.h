// The board grid over QTableWidget. The grid's fixed first column and row are
// the table's headers (so their borders can be dragged like the cells'), and
// grid column c, row r (both from 1) is table column c - 1, row r - 1.
#pragma once

#include <QTableWidget>
#include <functional>

#include "core/Platform.h"

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
  void SetCellEnabled(int col, int row, bool enabled) override;
  bool CellEnabled(int col, int row) const;
  bool CellMenuAttached() const { return cellMenuAttached_; }
  bool Visible() const override { return !isHidden(); }
  void SetVisible(bool visible) override { setVisible(visible); }
  int Col() const override { return col_; }
  int Row() const override { return row_; }
  void SetCol(int col) override { MoveCurrent(col, row_); }
  void SetRow(int row) override { MoveCurrent(col_, row); }
  // The cell at a point in the grid's own coordinates; -1 for a coordinate on
  // no cell. Column 0 and row 0 are the fixed ones.
  CellPos CellAt(int x, int y) const;
  std::optional<CellPos> CellAtScreen(Point at) const override;
  Rect CellRect(int col, int row) const override;
  int AreaWidth() const override { return contentsRect().width(); }
  int AreaHeight() const override { return contentsRect().height(); }
  void SetDwellMark(CellPos cell, DwellMark mark) override;
  int DwellProgress(int col, int row) const;
  bool DwellDone(int col, int row) const;
  void SetScanMark(ScanMark mark) override;
  // Whether the scan highlight is drawn on cell (col, row).
  bool ScanHighlighted(int col, int row) const;

  // Pointer events in the grid's own coordinates, and the click report
  // (raised when the current cell changes or a cell is pressed).
  void OnMouseMove(std::function<void(int x, int y)> handler) { onMouseMove_ = std::move(handler); }
  void OnMouseDown(std::function<void(int x, int y)> handler) { onMouseDown_ = std::move(handler); }
  void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }
  void OnCellMenu(std::function<void(QPoint globalPos)> handler) { onCellMenu_ = std::move(handler); }
  // Told when the grid's room changed size.
  void OnResize(std::function<void()> handler) { onResize_ = std::move(handler); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyColours();
  // Makes (col, row) current; reports when it changed.
  void MoveCurrent(int col, int row);
  void PressAt(int x, int y);

  std::function<void(int, int)> onMouseMove_;
  std::function<void(int, int)> onMouseDown_;
  std::function<void()> onClick_;
  std::function<void(QPoint)> onCellMenu_;
  std::function<void()> onResize_;
  int col_ = 1;
  int row_ = 1;

  FontSpec font_;
  Colour fixedColour_ = colours::clBtnFace;
  Colour background_ = colours::clWindow;
  int defaultRowHeight_ = 24;
  bool cellMenuAttached_ = false;
};

}  // namespace velkor::ui
