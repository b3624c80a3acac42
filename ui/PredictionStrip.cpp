#include "ui/PredictionStrip.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/BoardGrid.h"
#include "ui/FitTextDelegate.h"
#include "ui/QtText.h"

namespace velkor::ui {

PredictionStrip::PredictionStrip(QWidget* parent, const BoardGrid& board) : QWidget(parent), board_(board) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  hide();
}

void PredictionStrip::SetCells(int cells, const StringList& candidates) {
  texts_.assign(static_cast<std::size_t>(std::max(0, cells)), std::string());
  for (std::size_t i = 0; i < texts_.size() && i < candidates.size(); ++i) texts_[i] = candidates[i];
  if (current_ >= cells) current_ = cells - 1;
  // New candidates: no count has run on them.
  dwellCell_ = -1;
  dwellPercent_ = 0;
  const bool wasShown = !isHidden();
  setVisible(cells > 0);
  if (wasShown != !isHidden() && onShownChanged_) onShownChanged_(wasShown);
  updateGeometry();
  update();
}

std::string PredictionStrip::CellText(int cell) const {
  return cell >= 0 && cell < CellCount() ? texts_[static_cast<std::size_t>(cell)] : std::string();
}

QRect PredictionStrip::CellRect(int cell) const {
  const int cells = std::max(1, CellCount());
  const int left = width() * cell / cells;
  const int right = width() * (cell + 1) / cells;
  return QRect(left, 0, right - left, height());
}

int PredictionStrip::CellAt(int x, int y) const {
  if (CellCount() == 0 || x < 0 || y < 0 || x >= width() || y >= height()) return -1;
  return std::min(CellCount() - 1, x * CellCount() / std::max(1, width()));
}

void PredictionStrip::SetCurrent(int cell) {
  if (cell == current_) return;
  current_ = cell;
  update();
}

void PredictionStrip::SetDwellProgress(int cell, int percent) {
  if (percent <= 0 && cell != dwellCell_) return;
  dwellCell_ = percent > 0 ? cell : -1;
  dwellPercent_ = std::max(0, percent);
  update();
}

void PredictionStrip::SetScanHighlight(bool on, int cell) {
  if (on == scanOn_ && cell == scanCell_) return;
  scanOn_ = on;
  scanCell_ = cell;
  update();
}

QSize PredictionStrip::sizeHint() const { return QSize(200, board_.DefaultRowHeight() + 2); }

void PredictionStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFont font = ToQFont(board_.Font());
  for (int cell = 0; cell < CellCount(); ++cell) {
    const QRect rect = CellRect(cell).adjusted(0, 0, -1, -1);
    const bool current = cell == current_;
    painter.fillRect(rect, current ? palette().highlight() : palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(rect);
    const QString text = FromCp932(CellText(cell));
    if (text.isEmpty()) continue;
    painter.setFont(FitTextDelegate::FittedFont(font, text, rect.adjusted(2, 0, -2, 0)));
    painter.setPen(current ? palette().highlightedText().color() : palette().text().color());
    painter.drawText(rect, Qt::AlignCenter, text);
  }
  for (int cell = 0; cell < CellCount(); ++cell) {
    if (ScanHighlighted(cell)) FitTextDelegate::PaintScan(&painter, CellRect(cell).adjusted(0, 0, -1, -1));
  }
  if (dwellCell_ >= 0 && dwellCell_ < CellCount()) {
    FitTextDelegate::PaintDwell(&painter, CellRect(dwellCell_).adjusted(0, 0, -1, -1), dwellPercent_);
  }
}

void PredictionStrip::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (onMouseMove_) onMouseMove_(p.x(), p.y());
}

void PredictionStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  if (onMouseDown_) onMouseDown_(p.x(), p.y());
}

}  // namespace velkor::ui
