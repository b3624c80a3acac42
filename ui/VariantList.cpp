#include "ui/VariantList.h"

#include <algorithm>

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/EditArea.h"
#include "ui/FitTextDelegate.h"
#include "ui/QtText.h"

namespace velkor::ui {

VariantList::VariantList(QWidget* parent) : QTableWidget(parent) {
  // Every caption is shown whole, in a smaller size where it does not fit.
  setItemDelegate(new FitTextDelegate(this));
  horizontalHeader()->hide();
  verticalHeader()->hide();
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Fixed);
  }
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setTabKeyNavigation(false);
  // A plain 5-pixel frame: the list is its cells plus 10 pixels.
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(5);
  QPalette pal = palette();
  pal.setColor(QPalette::Text, QColor(255, 0, 0));
  setPalette(pal);
  FitTextDelegate::UseCurrentColours(*this);
  viewport()->setMouseTracking(true);
  viewport()->installEventFilter(this);
  setMouseTracking(true);
  installEventFilter(this);
  // The list's click report: every change of its current cell, by the program
  // or by its own key navigation.
  connect(this, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) {
    if (onClick_) onClick_();
  });
  hide();
}

void VariantList::SetShape(int cols, int rows) {
  clear();
  setColumnCount(cols);
  setRowCount(rows);
  for (int c = 0; c < cols; ++c) setColumnWidth(c, cellWidth_);
  for (int r = 0; r < rows; ++r) setRowHeight(r, cellHeight_);
}

void VariantList::SetCellSize(int width, int height) {
  cellWidth_ = width;
  cellHeight_ = height;
  horizontalHeader()->setDefaultSectionSize(width);
  verticalHeader()->setDefaultSectionSize(height);
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, width);
  for (int r = 0; r < rowCount(); ++r) setRowHeight(r, height);
}

void VariantList::SetFont(const FontSpec& font) { setFont(ToQFont(font)); }

void VariantList::ClearRow(int row) {
  for (int c = 0; c < columnCount(); ++c) {
    if (QTableWidgetItem* cell = item(row, c)) cell->setText(QString());
  }
}

std::string VariantList::CellText(int col, int row) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell ? ToCp932(cell->text()) : std::string();
}

void VariantList::SetCellText(int col, int row, const std::string& text) {
  QTableWidgetItem* cell = item(row, col);
  if (!cell) {
    cell = new QTableWidgetItem;
    cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setItem(row, col, cell);
  }
  cell->setText(FromCp932(text));
}

void VariantList::SetDwellMark(CellPos cell, DwellMark mark) {
  FitTextDelegate::MarkDwell(*this, cell.col, cell.row, mark);
}

std::optional<CellPos> VariantList::CellAtScreen(Point at) const {
  if (!isVisible()) return std::nullopt;
  const QPoint p = mapFromGlobal(QPoint(at.x, at.y));
  if (!rect().contains(p)) return std::nullopt;
  return CellAt(p.x(), p.y());
}

void VariantList::SetScanMark(ScanMark mark) { FitTextDelegate::MarkScan(*this, mark.col, mark.row); }

bool VariantList::ScanHighlighted(int col, int row) const { return FitTextDelegate::ScanMarked(*this, col, row); }

int VariantList::DwellProgress(int col, int row) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell ? cell->data(FitTextDelegate::kDwellRole).toInt() : 0;
}

Rect VariantList::Geometry() const {
  QPoint corner = pos();
  if (origin_ != nullptr && parentWidget() != nullptr) corner = origin_->mapFrom(parentWidget(), corner);
  return Rect{corner.x(), corner.y(), width(), height()};
}

void VariantList::SetGeometry(const Rect& rect) {
  QPoint corner(rect.left, rect.top);
  if (origin_ != nullptr && parentWidget() != nullptr) corner = origin_->mapTo(parentWidget(), corner);
  setGeometry(InsidePanel(QRect(corner, QSize(rect.width, rect.height))));
}

QRect VariantList::InsidePanel(QRect area) const {
  // Moved left and up as far as needed, never past the panel's corner, so
  // that every cell of a list near the edge is shown.
  if (const QWidget* panel = parentWidget()) {
    area.moveLeft(std::max(0, std::min(area.left(), panel->width() - area.width())));
    area.moveTop(std::max(0, std::min(area.top(), panel->height() - area.height())));
  }
  return area;
}

void VariantList::MoveCurrent(int col, int row) {
  if (col == currentColumn() && row == currentRow()) return;
  setCurrentCell(row, col);
}

void VariantList::SetCol(int col) { MoveCurrent(col, std::max(0, currentRow())); }

void VariantList::SetRow(int row) { MoveCurrent(std::max(0, currentColumn()), row); }

CellPos VariantList::CellAt(int x, int y) const {
  const QPoint inViewport = viewport()->mapFrom(this, QPoint(x, y));
  const int c = columnAt(inViewport.x());
  const int r = rowAt(inViewport.y());
  if (inViewport.x() < 0 || inViewport.y() < 0) return {-1, -1};
  return {c, r};
}

void VariantList::SetVisible(bool visible) {
  setVisible(visible);
  if (visible) raise();
}

void VariantList::FitToText() {
  const QFontMetrics metrics(font());
  int width = cellWidth_;
  for (int r = 0; r < rowCount(); ++r) {
    for (int c = 0; c < columnCount(); ++c) {
      if (const QTableWidgetItem* cell = item(r, c))
        width = std::max(width, metrics.horizontalAdvance(cell->text()) + 6);
    }
  }
  const int frame = 2 * frameWidth();
  // Never wider than the panel: a caption that does not fit then is drawn
  // smaller or cut (the status line says it whole), and every column, the
  // last one's controls included, stays on screen.
  if (const QWidget* panel = parentWidget(); panel != nullptr && columnCount() > 0) {
    width = std::max(cellWidth_, std::min(width, (panel->width() - frame) / columnCount()));
  }
  cellWidth_ = width;
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, width);
  setGeometry(InsidePanel(QRect(x(), y(), width * columnCount() + frame, cellHeight_ * rowCount() + frame)));
}

bool VariantList::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  if (event->type() == QEvent::MouseMove) {
    const QPoint p = widget->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
    if (onMouseMove_) onMouseMove_(p.x(), p.y());
    return false;
  }
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint p = widget->mapTo(this, mouse->position().toPoint());
    // A press of the primary button makes the pressed cell current first.
    const CellPos cell = CellAt(p.x(), p.y());
    if (mouse->button() == Qt::LeftButton && cell.col >= 0 && cell.row >= 0) MoveCurrent(cell.col, cell.row);
    if (onMouseDown_) onMouseDown_(p.x(), p.y());
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease) return true;
  return false;
}

void VariantList::keyPressEvent(QKeyEvent* event) {
  const bool taken = onKeyDown_ && onKeyDown_(EditArea::KeyOf(event->key()));
  if (taken || !isVisible()) {  // the program walked the list, or the key closed it
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void VariantList::keyReleaseEvent(QKeyEvent* event) {
  QTableWidget::keyReleaseEvent(event);
  if (event->isAutoRepeat()) return;
  if (onKeyUp_) onKeyUp_(EditArea::KeyOf(event->key()));
}

}  // namespace velkor::ui
