#include "ui/PredictionStrip.h"

#include <QFontInfo>
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
  FitTextDelegate::UseCurrentColours(*this);
  hide();
}

void PredictionStrip::SetCells(int cells, const StringList& candidates) {
  texts_.assign(static_cast<std::size_t>(std::max(0, cells)), std::string());
  for (std::size_t i = 0; i < texts_.size() && i < candidates.size(); ++i) texts_[i] = candidates[i];
  if (current_ >= cells) current_ = cells - 1;
  // New candidates: no count has run on them.
  dwellCell_ = -1;
  dwell_ = {};
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

void PredictionStrip::SetDwellMark(CellPos cell, DwellMark mark) {
  const bool empty = mark == DwellMark{};
  if (empty && cell.col != dwellCell_) return;
  dwellCell_ = empty ? -1 : cell.col;
  dwell_ = mark;
  update();
}

std::optional<CellPos> PredictionStrip::CellAtScreen(Point at) const {
  if (!isVisible()) return std::nullopt;
  const QPoint p = mapFromGlobal(QPoint(at.x, at.y));
  if (!rect().contains(p)) return std::nullopt;
  const int cell = CellAt(p.x(), p.y());
  return cell >= 0 ? CellPos{cell, 0} : CellPos{-1, -1};
}

void PredictionStrip::SetScanMark(ScanMark mark) {
  if (mark == scan_) return;
  scan_ = mark;
  update();
}

QSize PredictionStrip::sizeHint() const {
  return QSize(200, cellHeight_ > 0 ? cellHeight_ : board_.DefaultRowHeight() + 2);
}

int PredictionStrip::PanelShare() const { return board_.DefaultRowHeight() + 2; }

void PredictionStrip::SetCellHeight(int height) {
  if (height == cellHeight_) return;
  cellHeight_ = height;
  updateGeometry();
}

void PredictionStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFont font = ToQFont(board_.Font());
  for (int cell = 0; cell < CellCount(); ++cell) {
    const QRect rect = CellRect(cell).adjusted(0, 0, -1, -1);
    const bool current = cell == current_;
    const bool scanned = ScanHighlighted(cell);
    if (scanned) {
      FitTextDelegate::PaintScanFill(&painter, rect);
    } else {
      painter.fillRect(rect, current ? palette().highlight() : palette().base());
    }
    painter.setPen(palette().mid().color());
    painter.drawRect(rect);
    const QString text = FromCp932(CellText(cell));
    if (text.isEmpty()) continue;
    const FitTextDelegate::Fitted fitted = FitTextDelegate::FitText(font, text, rect.adjusted(2, 0, -2, 0));
    drawn_[static_cast<std::size_t>(cell)] = {QFontInfo(fitted.font).pixelSize(), fitted.text};
    painter.setFont(fitted.font);
    painter.setPen(scanned   ? FitTextDelegate::kScanText
                   : current ? palette().highlightedText().color()
                             : palette().text().color());
    painter.drawText(rect, Qt::AlignCenter, fitted.text);
  }
  for (int cell = 0; cell < CellCount(); ++cell) {
    if (ScanHighlighted(cell)) FitTextDelegate::PaintScanFrame(&painter, CellRect(cell).adjusted(0, 0, -1, -1));
  }
  if (dwellCell_ >= 0 && dwellCell_ < CellCount()) {
    const QRect rect = CellRect(dwellCell_).adjusted(0, 0, -1, -1);
    FitTextDelegate::PaintDwell(&painter, rect, dwell_.percent);
    if (dwell_.done) FitTextDelegate::PaintDone(&painter, rect);
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
