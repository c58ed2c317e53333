#include "ui/Icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <tuple>

namespace zorvan {
namespace {

// Every picture is drawn on a 16 x 16 grid; half-pixel coordinates keep 1-unit lines sharp.
const QColor kOutline(0x40, 0x40, 0x48);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPersonBlue(0x2f, 0x6d, 0xb5);
const QColor kPersonLight(0x7f, 0xa7, 0xd6);
const QColor kSheetRed(0xd0, 0x3a, 0x2f);

QPen Outline(qreal width = 1.0) {
  return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Page(QPainter& p, QRectF r, qreal fold) {
  QPolygonF page;
  page << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold)
       << r.bottomRight() << r.bottomLeft();
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawPolygon(page);
  QPolygonF corner;
  corner << QPointF(r.right() - fold, r.top()) << QPointF(r.right() - fold, r.top() + fold)
         << QPointF(r.right(), r.top() + fold);
  p.setBrush(QColor(0xdd, 0xdd, 0xe2));
  p.drawPolygon(corner);
}

// Head and shoulders with the head's centre at (x, y).
void Person(QPainter& p, qreal x, qreal y, qreal scale, const QColor& fill) {
  p.setPen(QPen(fill.darker(150), 1.0));
  p.setBrush(fill);
  QPainterPath body;
  const qreal w = 5.0 * scale;
  const qreal top = y + 3.2 * scale;
  body.moveTo(x - w, y + 8.2 * scale);
  body.cubicTo(x - w, top, x + w, top, x + w, y + 8.2 * scale);
  body.closeSubpath();
  p.drawPath(body);
  p.setBrush(fill.lighter(115));
  p.drawEllipse(QPointF(x, y), 2.6 * scale, 2.6 * scale);
}

void Plus(QPainter& p, QPointF c, const QColor& color) {
  p.setPen(QPen(color.darker(140), 1.0));
  p.setBrush(color);
  QPolygonF cross;
  const qreal a = 1.2;
  const qreal b = 3.5;
  cross << QPointF(c.x() - a, c.y() - b) << QPointF(c.x() + a, c.y() - b)
        << QPointF(c.x() + a, c.y() - a) << QPointF(c.x() + b, c.y() - a)
        << QPointF(c.x() + b, c.y() + a) << QPointF(c.x() + a, c.y() + a)
        << QPointF(c.x() + a, c.y() + b) << QPointF(c.x() - a, c.y() + b)
        << QPointF(c.x() - a, c.y() + a) << QPointF(c.x() - b, c.y() + a)
        << QPointF(c.x() - b, c.y() - a) << QPointF(c.x() - a, c.y() - a);
  p.drawPolygon(cross);
}

void CalendarSheet(QPainter& p, QRectF r) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setBrush(kSheetRed);
  p.drawRect(QRectF(r.left(), r.top(), r.width(), 3.0));
  // The day grid.
  p.setPen(QPen(QColor(0x90, 0x90, 0x98), 1.0));
  for (qreal y = r.top() + 5.5; y < r.bottom() - 0.5; y += 2.0)
    for (qreal x = r.left() + 1.5; x < r.right() - 0.5; x += 2.0) p.drawPoint(QPointF(x, y));
}

void DrawNew(QPainter& p) {
  Page(p, QRectF(3.5, 1.5, 9, 13), 3);
  // A spark: a new, empty file.
  p.setPen(QPen(QColor(0xe0, 0xa0, 0x00), 1.0));
  p.drawLine(QPointF(12.5, 8.5), QPointF(12.5, 14.5));
  p.drawLine(QPointF(9.5, 11.5), QPointF(15.5, 11.5));
  p.drawLine(QPointF(10.5, 9.5), QPointF(14.5, 13.5));
  p.drawLine(QPointF(14.5, 9.5), QPointF(10.5, 13.5));
}

void DrawOpen(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(0xd9, 0xa4, 0x2b));
  QPolygonF back;
  back << QPointF(1.5, 3.5) << QPointF(5.5, 3.5) << QPointF(6.5, 4.5) << QPointF(12.5, 4.5)
       << QPointF(12.5, 13.5) << QPointF(1.5, 13.5);
  p.drawPolygon(back);
  p.setBrush(QColor(0xf6, 0xd0, 0x62));
  QPolygonF front;
  front << QPointF(3.5, 7.5) << QPointF(15.5, 7.5) << QPointF(12.5, 13.5) << QPointF(1.5, 13.5);
  p.drawPolygon(front);
}

void DrawSave(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(0x3b, 0x6f, 0xb6));
  QPolygonF disk;
  disk << QPointF(1.5, 1.5) << QPointF(12.5, 1.5) << QPointF(14.5, 3.5) << QPointF(14.5, 14.5)
       << QPointF(1.5, 14.5);
  p.drawPolygon(disk);
  p.setBrush(kPaper);
  p.drawRect(QRectF(3.5, 1.5, 8, 5));
  p.setBrush(QColor(0xc8, 0xcc, 0xd4));
  p.drawRect(QRectF(4.5, 9.5, 7, 5));
  p.setBrush(QColor(0x3b, 0x6f, 0xb6));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(9, 2.5, 1.5, 3));
}

void DrawBusinessCard(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 1.2, 1.2);
  Person(p, 4.5, 6.2, 0.6, kPersonBlue);
  p.setPen(QPen(QColor(0x60, 0x60, 0x68), 1.0));
  p.drawLine(QPointF(8.5, 5.5), QPointF(13.5, 5.5));
  p.drawLine(QPointF(8.5, 8.5), QPointF(13.5, 8.5));
  p.drawLine(QPointF(2.5, 11.5), QPointF(13.5, 11.5));
}

void DrawCreateNew(QPainter& p) {
  Person(p, 6.5, 4.5, 1.0, kPersonBlue);
  Plus(p, QPointF(12.0, 11.5), QColor(0x3a, 0xa8, 0x3a));
}

void DrawDelete(QPainter& p) {
  const QColor red(0xd0, 0x28, 0x28);
  p.setPen(QPen(red.darker(130), 3.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
  p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  p.setPen(QPen(red, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
  p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void DrawFind(QPainter& p) {
  p.setPen(QPen(QColor(0x7a, 0x4a, 0x1e), 3.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10.0, 10.0), QPointF(14.0, 14.0));
  p.setPen(Outline(1.5));
  p.setBrush(QColor(0xbf, 0xe0, 0xf6));
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
  p.setPen(QPen(kPaper, 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(3.5, 3.5, 6, 6), 100 * 16, 70 * 16);
}

void DrawSendEmail(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(0xfb, 0xf6, 0xe0));
  p.drawRect(QRectF(1.5, 3.5, 13, 9));
  QPolygonF flap;
  flap << QPointF(1.5, 3.5) << QPointF(8, 9) << QPointF(14.5, 3.5);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(flap);
}

void DrawWebPage(QPainter& p) {
  QRadialGradient sea(QPointF(6, 6), 9);
  sea.setColorAt(0, QColor(0x8c, 0xc4, 0xf2));
  sea.setColorAt(1, QColor(0x2a, 0x6c, 0xc0));
  p.setPen(Outline());
  p.setBrush(sea);
  p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
  p.setPen(QPen(QColor(0xe8, 0xf2, 0xff), 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(8, 8), 2.8, 6.5);
  p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
  p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
  p.drawLine(QPointF(2.6, 5), QPointF(13.4, 5));
  p.drawLine(QPointF(2.6, 11), QPointF(13.4, 11));
}

void DrawPrint(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(0xa8, 0xac, 0xb6));
  p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 10.5, 7, 4));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x30, 0xb0, 0x30));
  p.drawRect(QRectF(12, 8, 1.5, 1.5));
}

void DrawAbout(QPainter& p) {
  p.setPen(QPen(QColor(0x1d, 0x4f, 0x91), 1.0));
  p.setBrush(QColor(0x2f, 0x6d, 0xb5));
  p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kPaper);
  p.drawEllipse(QPointF(8, 4.8), 1.3, 1.3);
  p.drawRect(QRectF(6.9, 7, 2.2, 5.5));
}

// Two arrows chasing each other round a circle: the two sides brought into step.
void DrawSynchronize(QPainter& p) {
  const QColor green(0x2e, 0x9a, 0x3c);
  const QColor blue(0x2f, 0x6d, 0xb5);
  const QRectF ring(3.0, 3.0, 10.0, 10.0);
  for (const auto& [color, start, tip] :
       {std::tuple{green, 20, QPointF(13.4, 5.0)}, std::tuple{blue, 200, QPointF(2.6, 11.0)}}) {
    p.setPen(QPen(color.darker(125), 2.6, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, start * 16, 130 * 16);
    p.setPen(QPen(color, 1.4, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, start * 16, 130 * 16);
    // The arrowhead at the arc's far end, pointing along the circle.
    const qreal dir = start == 20 ? 1.0 : -1.0;
    QPolygonF head;
    head << QPointF(tip.x() - 2.8 * dir, tip.y() - 0.6 * dir)
         << QPointF(tip.x() + 1.6 * dir, tip.y() - 0.6 * dir)
         << QPointF(tip.x() - 0.4 * dir, tip.y() + 3.2 * dir);
    p.setPen(QPen(color.darker(125), 0.8));
    p.setBrush(color);
    p.drawPolygon(head);
  }
}

// A bent arrow turning back to the left (undo); mirrored, to the right (redo).
void DrawTurnArrow(QPainter& p, bool mirrored) {
  p.save();
  if (mirrored) {
    p.translate(16.0, 0.0);
    p.scale(-1.0, 1.0);
  }
  const QColor blue(0x2f, 0x6d, 0xb5);
  QPainterPath path;
  path.moveTo(4.5, 6.5);
  path.lineTo(9.5, 6.5);
  path.cubicTo(15.0, 6.5, 15.0, 13.5, 9.5, 13.5);
  path.lineTo(6.5, 13.5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(blue.darker(125), 2.6, Qt::SolidLine, Qt::FlatCap));
  p.drawPath(path);
  p.setPen(QPen(blue, 1.4, Qt::SolidLine, Qt::FlatCap));
  p.drawPath(path);
  QPolygonF head;
  head << QPointF(1.0, 6.5) << QPointF(5.5, 2.5) << QPointF(5.5, 10.5);
  p.setPen(QPen(blue.darker(125), 0.8));
  p.setBrush(blue);
  p.drawPolygon(head);
  p.restore();
}

void DrawGroup(QPainter& p) {
  Person(p, 10.5, 4.0, 0.85, kPersonLight);
  Person(p, 6.0, 6.0, 0.95, kPersonBlue);
}

void DrawContact(QPainter& p) { Person(p, 8.0, 4.5, 1.1, kPersonBlue); }

void DrawCalendarGroup(QPainter& p) {
  CalendarSheet(p, QRectF(5.5, 1.5, 9, 9));
  CalendarSheet(p, QRectF(3.5, 3.5, 9, 9));
  CalendarSheet(p, QRectF(1.5, 5.5, 9, 9));
}

void DrawCalendarEntry(QPainter& p) { CalendarSheet(p, QRectF(2.5, 2.5, 11, 11)); }

void DrawApplication(QPainter& p) {
  // An address book with a calendar sheet on its cover.
  QLinearGradient cover(0, 0, 16, 16);
  cover.setColorAt(0, QColor(0x3f, 0x7f, 0xc8));
  cover.setColorAt(1, QColor(0x1f, 0x4f, 0x8f));
  p.setPen(Outline());
  p.setBrush(QColor(0xf2, 0xf2, 0xf2));
  p.drawRoundedRect(QRectF(2.5, 1.0, 12, 14), 1, 1);
  p.setBrush(cover);
  p.drawRoundedRect(QRectF(1.5, 0.5, 12, 14.5), 1.2, 1.2);
  Person(p, 7.5, 4.0, 0.75, QColor(0xf4, 0xf4, 0xf8));
  CalendarSheet(p, QRectF(8.5, 8.5, 7, 7));
}

void DrawDocument(QPainter& p) {
  Page(p, QRectF(2.5, 0.5, 11, 15), 3.5);
  p.save();
  p.translate(4.5, 5.5);
  p.scale(0.5, 0.5);
  DrawGroup(p);
  p.restore();
  CalendarSheet(p, QRectF(8.0, 9.0, 4.5, 4.5));
}

void Draw(EIcon icon, QPainter& p) {
  switch (icon) {
    case EIcon::New:
      return DrawNew(p);
    case EIcon::Open:
      return DrawOpen(p);
    case EIcon::Save:
      return DrawSave(p);
    case EIcon::BusinessCard:
      return DrawBusinessCard(p);
    case EIcon::CreateNew:
      return DrawCreateNew(p);
    case EIcon::DeleteContact:
      return DrawDelete(p);
    case EIcon::Find:
      return DrawFind(p);
    case EIcon::SendEmail:
      return DrawSendEmail(p);
    case EIcon::WebPage:
      return DrawWebPage(p);
    case EIcon::Print:
      return DrawPrint(p);
    case EIcon::About:
      return DrawAbout(p);
    case EIcon::Synchronize:
      return DrawSynchronize(p);
    case EIcon::Undo:
      return DrawTurnArrow(p, false);
    case EIcon::Redo:
      return DrawTurnArrow(p, true);
    case EIcon::Group:
      return DrawGroup(p);
    case EIcon::Contact:
      return DrawContact(p);
    case EIcon::CalendarGroup:
      return DrawCalendarGroup(p);
    case EIcon::CalendarEntry:
      return DrawCalendarEntry(p);
    case EIcon::Application:
      return DrawApplication(p);
    case EIcon::Document:
      return DrawDocument(p);
  }
}

}  // namespace

QPixmap PaintIcon(EIcon icon, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  Draw(icon, p);
  p.end();
  return QPixmap::fromImage(image);
}

QIcon MakeIcon(EIcon icon) {
  QIcon result;
  result.addPixmap(PaintIcon(icon, 16));
  result.addPixmap(PaintIcon(icon, 32));
  if (icon == EIcon::Application || icon == EIcon::Document) {
    for (int size : {24, 48, 64, 128}) result.addPixmap(PaintIcon(icon, size));
  }
  return result;
}

QPixmap PaintLogo() {
  QImage image(103, 26, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setPen(QPen(QColor(0x1f, 0x4f, 0x8f), 1.0));
  p.setBrush(QColor(0x2f, 0x6d, 0xb5));
  p.drawRoundedRect(QRectF(0.5, 0.5, 102, 25), 3, 3);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(15);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, 103, 26), Qt::AlignCenter, QStringLiteral("TAVORIN"));
  p.end();
  return QPixmap::fromImage(image);
}

}  // namespace zorvan
