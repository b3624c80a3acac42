// The prediction row: a strip of equally wide cells directly above the board,
// in the board's font and cell height, each candidate drawn in a readable
// size (shrunk to fit down to 0.6 of the board font, then cut with 「…」). The
// current cell is drawn as the board draws its own.
#pragma once

#include <map>
#include <utility>

#include <QWidget>
#include <functional>

#include "core/Platform.h"

namespace velkor::ui {

class BoardGrid;

class PredictionStrip : public QWidget, public IPredictionRow {
  Q_OBJECT
 public:
  PredictionStrip(QWidget* parent, const BoardGrid& board);

  void SetCells(int cells, const StringList& candidates) override;
  int CellCount() const override { return static_cast<int>(texts_.size()); }
  std::string CellText(int cell) const override;
  // The cell at a point in the strip's own coordinates; -1 for none.
  int CellAt(int x, int y) const;
  std::optional<CellPos> CellAtScreen(Point at) const override;
  void SetCurrent(int cell) override;
  int Current() const override { return current_; }
  void SetDwellMark(CellPos cell, DwellMark mark) override;
  int DwellProgress(int cell) const { return cell == dwellCell_ ? dwell_.percent : 0; }
  // The pixel size and text candidate `cell` was last drawn in ({0, ""}: not drawn).
  std::pair<int, QString> Drawn(int cell) const {
    const auto at = drawn_.find(static_cast<std::size_t>(cell));
    return at == drawn_.end() ? std::pair<int, QString>{0, QString()} : at->second;
  }
  bool DwellDone(int cell) const { return cell == dwellCell_ && dwell_.done; }
  void SetScanMark(ScanMark mark) override;
  bool ScanHighlighted(int cell) const { return scan_.row >= 0 && (scan_.col < 0 || scan_.col == cell); }

  // The cell's place in the strip's own coordinates.
  QRect CellRect(int cell) const;
  // Pointer events in the strip's own coordinates.
  void OnMouseMove(std::function<void(int x, int y)> handler) { onMouseMove_ = std::move(handler); }
  void OnMouseDown(std::function<void(int x, int y)> handler) { onMouseDown_ = std::move(handler); }
  // Told when the strip is shown or hidden, with whether it was shown.
  void OnShownChanged(std::function<void(bool wasShown)> handler) { onShownChanged_ = std::move(handler); }
  // The height the strip takes while shown.
  int StripHeight() const { return sizeHint().height(); }
  int Height() const override { return isHidden() ? 0 : StripHeight(); }
  void SetCellHeight(int height) override;
  // The height the strip adds to the lower panel: its height at the board's
  // default row height.
  int PanelShare() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const BoardGrid& board_;
  StringList texts_;
  int current_ = -1;
  int dwellCell_ = -1;
  DwellMark dwell_;
  ScanMark scan_;
  std::function<void(int, int)> onMouseMove_;
  std::function<void(int, int)> onMouseDown_;
  std::function<void(bool)> onShownChanged_;
  int cellHeight_ = 0;
  // The pixel size and text each cell was last drawn in.
  std::map<std::size_t, std::pair<int, QString>> drawn_;
};

}  // namespace velkor::ui
