// Draws each cell's caption readable: a caption wider or taller than its cell
// is drawn in a smaller size of the same font, down to 0.6 of it, then in a
// shorter form, and at last cut with 「…」.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <map>
#include <set>
#include <utility>

#include "core/Platform.h"

namespace velkor::ui {

class FitTextDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  // How a text that does not fit even at the smallest size is cut: a
  // candidate with 「…」 at its end; a board label to its first characters
  // (see FitText).
  enum class Cut { Ellipsis, Label };
  // `cut`: how the captions of this table are cut when they do not fit.
  explicit FitTextDelegate(QObject* parent, Cut cut = Cut::Ellipsis) : QStyledItemDelegate(parent), cut_(cut) {}

  // A text as drawn in a cell: `font` at the largest size (never above its
  // own, never below kSmallestShare of it) in which the text fits `room`;
  // failing that, a label's shortened form (see Shortened) likewise; a text that
  // does not fit even then is cut as `cut` says (the status line says it
  // whole). A caption stays readable however long it is.
  struct Fitted {
    QFont font;
    QString text;
  };
  static constexpr double kSmallestShare = 0.6;
  static Fitted FitText(const QFont& font, const QString& text, const QRect& room, Cut cut = Cut::Ellipsis);
  // The same text in less width: full-width katakana, letters, digits and
  // signs as their half-width forms (「クリック」 → 「ｸﾘｯｸ」).
  static QString Shortened(const QString& text);
  // The pixel size the text of cell (col, row) was last drawn in; 0 when it
  // was not drawn.
  int DrawnPixels(int col, int row) const {
    const auto at = drawn_.find({col, row});
    return at == drawn_.end() ? 0 : at->second;
  }

  // The item data role holding how far a dwell count on the cell has come,
  // in percent.
  static constexpr int kDwellRole = Qt::UserRole + 1;
  // Draws a dwell count in `cell`: a strong orange fill rising from the
  // bottom to the top at 100 percent, over a frame of the same colour, seen
  // on any cell colour and at any size.
  static void PaintDwell(QPainter* painter, const QRect& cell, int percent);
  // The item data role set on the cells the scan highlight is on.
  static constexpr int kScanRole = Qt::UserRole + 2;
  // The colours of a highlighted cell, chosen so that its text stands out at
  // least 4.5 times against its background: the scan highlight is black
  // text on solid yellow inside a thick dark blue frame (told apart from the
  // dwell count's orange at a glance); the current cell and a list's chosen
  // entry are white text on dark blue.
  static const QColor kScanFill;
  static const QColor kScanText;
  static const QColor kCurrentFill;
  static const QColor kCurrentText;
  // Sets the current-cell colours of `widget` (its palette's highlight).
  static void UseCurrentColours(QWidget& widget);
  // Draws the scan highlight's fill on `cell`; the text goes over it in
  // kScanText, then PaintScanFrame.
  static void PaintScanFill(QPainter* painter, const QRect& cell);
  static void PaintScanFrame(QPainter* painter, const QRect& cell);
  // Marks the cells of `table` the scan highlight covers (in the table's own
  // rows and columns): cell (col, row), the whole of `row` when col is -1,
  // none when row is -1; and reads the mark back.
  static void MarkScan(QTableWidget& table, int col, int row);
  // The item data role set on a cell confirmed by resting on it, until the
  // pointer leaves it.
  static constexpr int kDoneRole = Qt::UserRole + 3;
  // Draws a cell confirmed by resting on it: a thick green frame and a check
  // mark in its upper right corner, so a user still resting there sees that
  // the choice was made and another needs leaving first.
  static void PaintDone(QPainter* painter, const QRect& cell);
  // Sets the dwell mark of table cell (col, row); an empty mark takes it off.
  static void MarkDwell(QTableWidget& table, int col, int row, DwellMark mark);
  static bool ScanMarked(const QTableWidget& table, int col, int row);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  Cut cut_;
  mutable std::map<std::pair<int, int>, int> drawn_;
  // The cells whose 「●」 is drawn as a dot.
  mutable std::set<std::pair<int, int>> dotted_;
};

}  // namespace velkor::ui
