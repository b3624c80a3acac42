// The variant list over QTableWidget: a small grid without fixed cells that
// floats over the board panel, in red, with its own pointer, press and key
// events.
#pragma once

#include <QTableWidget>
#include <functional>

#include "core/Platform.h"

namespace velkor::ui {

class VariantList : public QTableWidget, public IVariantList {
  Q_OBJECT
 public:
  explicit VariantList(QWidget* parent = nullptr);
  // The board grid whose coordinates place the list (the panel may hold
  // more above it, such as the prediction row).
  void SetOrigin(const QWidget* grid) { origin_ = grid; }
  void SetDwellMark(CellPos cell, DwellMark mark) override;
  int DwellProgress(int col, int row) const;
  void SetScanMark(ScanMark mark) override;
  // Whether the scan highlight is drawn on cell (col, row).
  bool ScanHighlighted(int col, int row) const;

  void SetShape(int cols, int rows) override;
  int ColCount() const override { return columnCount(); }
  int RowCount() const override { return rowCount(); }
  void SetCellSize(int width, int height) override;
  void SetFont(const FontSpec& font) override;
  void ClearRow(int row) override;
  std::string CellText(int col, int row) const override;
  void SetCellText(int col, int row, const std::string& text) override;
  Rect Geometry() const override;
  void SetGeometry(const Rect& rect) override;
  int Col() const override { return currentColumn(); }
  int Row() const override { return currentRow(); }
  void SetCol(int col) override;
  void SetRow(int row) override;
  // The cell at a point in the list's own coordinates; -1 for no cell.
  CellPos CellAt(int x, int y) const;
  std::optional<CellPos> CellAtScreen(Point at) const override;
  bool Visible() const override { return isVisible(); }
  void SetVisible(bool visible) override;
  void SetFocus() override { setFocus(Qt::OtherFocusReason); }
  void FitToText() override;

  void OnMouseMove(std::function<void(int x, int y)> handler) { onMouseMove_ = std::move(handler); }
  void OnMouseDown(std::function<void(int x, int y)> handler) { onMouseDown_ = std::move(handler); }
  // A key pressed in the list: true when the program took it (the list's own
  // walking is then not done).
  void OnKeyDown(std::function<bool(Key)> handler) { onKeyDown_ = std::move(handler); }
  void OnKeyUp(std::function<void(Key)> handler) { onKeyUp_ = std::move(handler); }
  void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  const QWidget* origin_ = nullptr;
  QRect InsidePanel(QRect area) const;
  void MoveCurrent(int col, int row);

  std::function<void(int, int)> onMouseMove_;
  std::function<void(int, int)> onMouseDown_;
  std::function<bool(Key)> onKeyDown_;
  std::function<void(Key)> onKeyUp_;
  std::function<void()> onClick_;
  int cellWidth_ = 24;
  int cellHeight_ = 24;
};

}  // namespace velkor::ui
