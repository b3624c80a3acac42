#include "ui/BoardGrid.h"

#include <QHeaderView>
#include <QScreen>

#include "ui/QtText.h"

namespace velkor::ui {

BoardGrid::BoardGrid(QWidget* parent) : QTableWidget(parent) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);
  setWordWrap(false);
  // A label wider than its cell is clipped, not replaced by an ellipsis.
  setTextElideMode(Qt::ElideNone);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
  }
  ApplyColours();
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

void BoardGrid::SetFixedColour(Colour colour) {
  fixedColour_ = colour;
  ApplyColours();
}

void BoardGrid::SetBackground(Colour colour) {
  background_ = colour;
  ApplyColours();
}

void BoardGrid::ApplyColours() {
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(background_));
  pal.setColor(QPalette::Text, ToQColor(font_.colour));
  setPalette(pal);
  const QColor fixed = ToQColor(fixedColour_);
  const QString style = QStringLiteral("QHeaderView::section { background-color: %1; border: none; "
                                       "border-right: 1px solid palette(mid); border-bottom: 1px solid palette(mid); }")
                            .arg(fixed.name());
  horizontalHeader()->setStyleSheet(style);
  verticalHeader()->setStyleSheet(style);
}

}  // namespace velkor::ui
