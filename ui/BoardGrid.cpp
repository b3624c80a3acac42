#include "ui/BoardGrid.h"

#include <algorithm>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScreen>

#include "ui/FitTextDelegate.h"
#include "ui/QtText.h"

namespace velkor::ui {

BoardGrid::BoardGrid(QWidget* parent) : QTableWidget(parent) {
  // Every caption is shown readable: smaller where it does not fit, down to
  // 0.6 of the font, then shortened to its first characters.
  setItemDelegate(new FitTextDelegate(this, FitTextDelegate::Cut::Label));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);
  setWordWrap(false);
  // A label wider than its cell is clipped, not replaced by an ellipsis, and
  // cells keep no padding of their own: two digits fit a default cell.
  setTextElideMode(Qt::ElideNone);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    // A header's mouse events go to its viewport, not to the header itself.
    header->setMouseTracking(true);
    header->viewport()->setMouseTracking(true);
    header->viewport()->installEventFilter(this);
  }
  // The edit area keeps the keyboard focus; the grid's current cell is the
  // board's cursor.
  setFocusPolicy(Qt::NoFocus);
  setCornerButtonEnabled(false);
  if (auto* corner = findChild<QAbstractButton*>()) {
    corner->setMouseTracking(true);
    corner->installEventFilter(this);
  }
  viewport()->setMouseTracking(true);
  viewport()->installEventFilter(this);
  ApplyColours();
}

bool BoardGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  switch (event->type()) {
    case QEvent::MouseMove: {
      const QPoint p = widget->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
      if (onMouseMove_) onMouseMove_(p.x(), p.y());
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const QPoint p = widget->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
      PressAt(p.x(), p.y());
      // The headers still see the press, so their borders can be dragged; the
      // cells' own selection handling is the program's.
      return widget == viewport();
    }
    case QEvent::MouseButtonRelease: return widget == viewport();
    default: return false;
  }
}

void BoardGrid::PressAt(int x, int y) {
  const CellPos cell = CellAt(x, y);
  if (cell.col >= 1 && cell.row >= 1) {
    if (cell.col != col_ || cell.row != row_) {
      MoveCurrent(cell.col, cell.row);
    } else if (onClick_) {
      onClick_();
    }
  }
  if (onMouseDown_) onMouseDown_(x, y);
}

void BoardGrid::contextMenuEvent(QContextMenuEvent* event) {
  if (cellMenuAttached_ && onCellMenu_) onCellMenu_(event->globalPos());
}

void BoardGrid::MoveCurrent(int col, int row) {
  col = std::clamp(col, 1, std::max(1, columnCount()));
  row = std::clamp(row, 1, std::max(1, rowCount()));
  if (col == col_ && row == row_) return;
  col_ = col;
  row_ = row;
  setCurrentCell(row - 1, col - 1);
  if (onClick_) onClick_();
}

CellPos BoardGrid::CellAt(int x, int y) const {
  const QRect area = viewport()->geometry();
  CellPos cell;
  if (x < area.left()) {
    cell.col = x >= 0 ? 0 : -1;
  } else {
    const int c = columnAt(x - area.left());
    cell.col = c < 0 ? -1 : c + 1;
  }
  if (y < area.top()) {
    cell.row = y >= 0 ? 0 : -1;
  } else {
    const int r = rowAt(y - area.top());
    cell.row = r < 0 ? -1 : r + 1;
  }
  return cell;
}

Rect BoardGrid::CellRect(int col, int row) const {
  const QRect area = viewport()->geometry();
  const int left = col == 0 ? area.left() - verticalHeader()->width() : area.left() + columnViewportPosition(col - 1);
  const int top = row == 0 ? area.top() - horizontalHeader()->height() : area.top() + rowViewportPosition(row - 1);
  return Rect{left, top, ColWidth(col), RowHeight(row)};
}

void BoardGrid::SetShape(int cols, int rows, int fixedCols, int fixedRows) {
  // One fixed column and row are the headers; the logic always asks for one.
  setColumnCount(std::max(0, cols - fixedCols));
  setRowCount(std::max(0, rows - fixedRows));
  QStringList none;
  for (int c = 0; c < columnCount(); ++c) none << QString();
  setHorizontalHeaderLabels(none);
  none.clear();
  for (int r = 0; r < rowCount(); ++r) none << QString();
  setVerticalHeaderLabels(none);
  // The first cell that is not fixed is current, without a report.
  col_ = 1;
  row_ = 1;
  if (rowCount() > 0 && columnCount() > 0) setCurrentCell(0, 0);
}

void BoardGrid::SetFont(const FontSpec& font) {
  font_ = font;
  setFont(ToQFont(font));
  ApplyColours();
}

int BoardGrid::PixelsPerInch() const { return logicalDpiY(); }

void BoardGrid::SetDefaultColWidth(int width) {
  horizontalHeader()->setDefaultSectionSize(width);
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, width);
}

void BoardGrid::SetDefaultRowHeight(int height) {
  defaultRowHeight_ = height;
  verticalHeader()->setDefaultSectionSize(height);
  for (int r = 0; r < rowCount(); ++r) setRowHeight(r, height);
}

int BoardGrid::ColWidth(int col) const {
  if (col == 0) return verticalHeader()->width();
  return columnWidth(col - 1);
}

void BoardGrid::SetColWidth(int col, int width) {
  if (col == 0) {
    verticalHeader()->setFixedWidth(width);
  } else if (col - 1 < columnCount()) {
    setColumnWidth(col - 1, width);
  }
}

int BoardGrid::RowHeight(int row) const {
  if (row == 0) return horizontalHeader()->height();
  return rowHeight(row - 1);
}

void BoardGrid::SetRowHeight(int row, int height) {
  if (row == 0) {
    horizontalHeader()->setFixedHeight(height);
  } else if (row - 1 < rowCount()) {
    setRowHeight(row - 1, height);
  }
}

std::string BoardGrid::CellText(int col, int row) const {
  if (col < 1 || row < 1) return {};
  const QTableWidgetItem* cell = item(row - 1, col - 1);
  return cell ? ToCp932(cell->text()) : std::string();
}

void BoardGrid::SetCellText(int col, int row, const std::string& text) {
  if (col < 1 || row < 1 || col - 1 >= columnCount() || row - 1 >= rowCount()) return;
  QTableWidgetItem* cell = item(row - 1, col - 1);
  if (!cell) {
    cell = new QTableWidgetItem;
    cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setItem(row - 1, col - 1, cell);
  }
  cell->setText(FromCp932(text));
}

void BoardGrid::SetCellEnabled(int col, int row, bool enabled) {
  if (col < 1 || row < 1 || col - 1 >= columnCount() || row - 1 >= rowCount()) return;
  QTableWidgetItem* cell = item(row - 1, col - 1);
  if (!cell) {
    if (enabled) return;
    cell = new QTableWidgetItem;
    setItem(row - 1, col - 1, cell);
  }
  // A command that cannot run now is drawn in grey, as its menu item is.
  cell->setForeground(enabled ? QBrush() : QBrush(QColor(150, 150, 150)));
}

bool BoardGrid::CellEnabled(int col, int row) const {
  const QTableWidgetItem* cell = item(row - 1, col - 1);
  return !cell || cell->foreground().style() == Qt::NoBrush;
}

void BoardGrid::SetDwellMark(CellPos cell, DwellMark mark) {
  // The fixed column and row are the headers: cell (1, 1) is the table's (0, 0).
  FitTextDelegate::MarkDwell(*this, cell.col - 1, cell.row - 1, mark);
}

std::optional<CellPos> BoardGrid::CellAtScreen(Point at) const {
  if (!isVisible()) return std::nullopt;
  const QPoint p = mapFromGlobal(QPoint(at.x, at.y));
  if (!rect().contains(p)) return std::nullopt;
  return CellAt(p.x(), p.y());
}

void BoardGrid::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  if (onResize_) onResize_();
}

void BoardGrid::SetScanMark(ScanMark mark) {
  FitTextDelegate::MarkScan(*this, mark.col < 0 ? -1 : mark.col - 1, mark.row < 1 ? -1 : mark.row - 1);
  // Cells lit together (the shortcut line) wherever they lie, each drawn as
  // a highlighted cell is.
  for (const CellPos& at : mark.cells) {
    if (at.col < 1 || at.row < 1 || at.col > columnCount() || at.row > rowCount()) continue;
    QTableWidgetItem* cell = item(at.row - 1, at.col - 1);
    if (!cell) {
      cell = new QTableWidgetItem;
      setItem(at.row - 1, at.col - 1, cell);
    }
    cell->setData(FitTextDelegate::kScanRole, true);
  }
}

bool BoardGrid::ScanHighlighted(int col, int row) const { return FitTextDelegate::ScanMarked(*this, col - 1, row - 1); }

int BoardGrid::DwellProgress(int col, int row) const {
  const QTableWidgetItem* cell = item(row - 1, col - 1);
  return cell ? cell->data(FitTextDelegate::kDwellRole).toInt() : 0;
}

bool BoardGrid::DwellDone(int col, int row) const {
  const QTableWidgetItem* cell = item(row - 1, col - 1);
  return cell && cell->data(FitTextDelegate::kDoneRole).toBool();
}

void BoardGrid::SetFixedColour(Colour colour) {
  fixedColour_ = colour;
  ApplyColours();
}

void BoardGrid::SetBackground(Colour colour) {
  background_ = colour;
  ApplyColours();
}

void BoardGrid::ApplyColours() {
  // A style sheet makes Qt ignore the palette's base colour, so the cells'
  // background and text colour go into the style sheet itself.
  // The current cell in white on dark blue, readable on any board colour.
  setStyleSheet(QStringLiteral("QTableView { background-color: %1; color: %2; selection-background-color: %3; "
                               "selection-color: %4; } QTableView::item { padding: 0px; }")
                    .arg(ToQColor(background_).name(), ToQColor(font_.colour).name(),
                         FitTextDelegate::kCurrentFill.name(), FitTextDelegate::kCurrentText.name()));
  const QColor fixed = ToQColor(fixedColour_);
  const QString style = QStringLiteral(
                            "QHeaderView::section { background-color: %1; border: none; "
                            "border-right: 1px solid palette(mid); border-bottom: 1px solid palette(mid); }")
                            .arg(fixed.name());
  horizontalHeader()->setStyleSheet(style);
  verticalHeader()->setStyleSheet(style);
}

}  // namespace velkor::ui
