#include "ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velkor::ui {

namespace {

// Each picture is drawn on a 16 x 16 grid, at four times that size so that it
// stays sharp when the desktop scales it.
constexpr int kScale = 4;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(40, 90, 200);
const QColor kYellow(235, 190, 60);
const QColor kGreen(40, 150, 70);
const QColor kRed(200, 50, 40);

void Page(QPainter& p) {
  QPainterPath page;
  page.moveTo(3, 1.5);
  page.lineTo(10, 1.5);
  page.lineTo(13, 4.5);
  page.lineTo(13, 14.5);
  page.lineTo(3, 14.5);
  page.closeSubpath();
  p.setBrush(kPaper);
  p.drawPath(page);
  p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
  p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
}

void Disk(QPainter& p) {
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(1.5, 1.5, 12, 12), 1, 1);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4, 1.5, 7, 4.5));
  p.setBrush(QColor(220, 220, 220));
  p.drawRect(QRectF(4, 8.5, 7, 5));
}

void Magnifier(QPainter& p, double cx, double cy, double r) {
  p.setBrush(QColor(210, 235, 255));
  p.drawEllipse(QPointF(cx, cy), r, r);
  QPen handle(kInk, 2.2, Qt::SolidLine, Qt::RoundCap);
  p.setPen(handle);
  p.drawLine(QPointF(cx + r * 0.7, cy + r * 0.7), QPointF(cx + r * 0.7 + 4, cy + r * 0.7 + 4));
}

void Letter(QPainter& p, const QString& text, const QRectF& box, const QColor& colour, int pixelSize) {
  QFont font(QStringLiteral("Sans"));
  font.setBold(true);
  font.setPixelSize(pixelSize);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

void Arrow(QPainter& p, bool right) {
  QPen pen(kBlue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  QPainterPath curve;
  if (right) {
    curve.moveTo(3, 12);
    curve.cubicTo(3, 5, 9, 4, 12, 6);
  } else {
    curve.moveTo(13, 12);
    curve.cubicTo(13, 5, 7, 4, 4, 6);
  }
  p.drawPath(curve);
  p.setBrush(kBlue);
  p.setPen(Qt::NoPen);
  QPolygonF head;
  if (right) {
    head << QPointF(14.5, 7) << QPointF(10, 8.5) << QPointF(11.5, 3.5);
  } else {
    head << QPointF(1.5, 7) << QPointF(6, 8.5) << QPointF(4.5, 3.5);
  }
  p.drawPolygon(head);
}

// An open folder, its front flap lighter.
void Folder(QPainter& p) {
  p.setBrush(kYellow);
  QPainterPath back;
  back.moveTo(1.5, 3.5);
  back.lineTo(6, 3.5);
  back.lineTo(7.5, 5);
  back.lineTo(13.5, 5);
  back.lineTo(13.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(250, 215, 110));
  QPolygonF front;
  front << QPointF(1.5, 13.5) << QPointF(4, 7.5) << QPointF(15, 7.5) << QPointF(13.5, 13.5);
  p.drawPolygon(front);
}

// A printer with paper in and out and its green lamp.
void Printer(QPainter& p) {
  p.setBrush(kPaper);
  p.drawRect(QRectF(4, 1.5, 8, 5));
  p.setBrush(QColor(170, 170, 170));
  p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4, 10, 8, 4.5));
  p.setPen(QPen(kGreen, 1));
  p.drawPoint(QPointF(12.5, 8));
}

void Draw(QPainter& p, ToolImage image) {
  p.setPen(QPen(kInk, 1));
  switch (image) {
    case ToolImage::New:
      Page(p);
      p.setPen(QPen(kYellow, 1.5));
      p.drawLine(QPointF(12, 9), QPointF(15, 9));
      p.drawLine(QPointF(13.5, 7.5), QPointF(13.5, 10.5));
      break;
    case ToolImage::Open: Folder(p); break;
    case ToolImage::Save: Disk(p); break;
    case ToolImage::SaveAs:
      Disk(p);
      p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9, 14), QPointF(15, 8));
      break;
    case ToolImage::Print: Printer(p); break;
    case ToolImage::Find: Magnifier(p, 6.5, 6.5, 4.5); break;
    case ToolImage::Replace:
      Letter(p, QStringLiteral("A"), QRectF(0, 0, 8, 9), kInk, 8);
      Letter(p, QStringLiteral("B"), QRectF(7, 6, 9, 10), kRed, 8);
      p.setPen(QPen(kBlue, 1.2));
      p.drawLine(QPointF(3, 11), QPointF(6, 14));
      break;
    case ToolImage::EditFont:
      Letter(p, QStringLiteral("A"), QRectF(0, 0, 13, 16), kInk, 13);
      p.setPen(QPen(kBlue, 1.5));
      p.drawLine(QPointF(11, 14.5), QPointF(15.5, 14.5));
      break;
    case ToolImage::Zoom:
      Magnifier(p, 6.5, 6.5, 5);
      p.setPen(QPen(kInk, 1.5));
      p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
      p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
      break;
    case ToolImage::BoardFont:
      p.setBrush(kPaper);
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
      p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
      Letter(p, QStringLiteral("あ"), QRectF(1.5, 1.5, 6.5, 6.5), kRed, 6);
      Letter(p, QStringLiteral("A"), QRectF(8, 8, 6.5, 6.5), kInk, 6);
      break;
    case ToolImage::Undo: Arrow(p, false); break;
    case ToolImage::Redo: Arrow(p, true); break;
  }
}

}  // namespace

QIcon ToolIcon(ToolImage image) {
  QPixmap pixmap(16 * kScale, 16 * kScale);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kScale, kScale);
    Draw(painter, image);
  }
  return QIcon(pixmap);
}

}  // namespace velkor::ui
