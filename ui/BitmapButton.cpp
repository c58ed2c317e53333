#include "ui/BitmapButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace zorvan {
namespace {

constexpr int kSize = 23;

// A classic three-dimensional button face with the picture on it; pressed, the bevel turns
// in and the picture moves a pixel down and to the right.
QPixmap Face(const QPixmap& picture, bool pressed, bool focused) {
  QPixmap face(kSize, kSize);
  face.fill(QColor(0xd4, 0xd0, 0xc8));
  QPainter p(&face);
  const QColor light(0xff, 0xff, 0xff), shadow(0x80, 0x80, 0x80), dark(0x40, 0x40, 0x40);
  const QColor topLeft = pressed ? dark : light, bottomRight = pressed ? light : dark;
  p.setPen(topLeft);
  p.drawLine(0, 0, kSize - 2, 0);
  p.drawLine(0, 0, 0, kSize - 2);
  p.setPen(bottomRight);
  p.drawLine(0, kSize - 1, kSize - 1, kSize - 1);
  p.drawLine(kSize - 1, 0, kSize - 1, kSize - 1);
  p.setPen(shadow);
  if (pressed) {
    p.drawLine(1, 1, kSize - 3, 1);
    p.drawLine(1, 1, 1, kSize - 3);
  } else {
    p.drawLine(1, kSize - 2, kSize - 2, kSize - 2);
    p.drawLine(kSize - 2, 1, kSize - 2, kSize - 2);
  }
  const int offset = pressed ? 4 : 3;
  p.drawPixmap(offset, offset, picture);
  if (focused) {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(3, 3, kSize - 7, kSize - 7);
  }
  return face;
}

QPixmap Disabled(const QPixmap& face) {
  QImage image = face.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 3; y < kSize - 3; ++y)
    for (int x = 3; x < kSize - 3; ++x) {
      const QColor c = image.pixelColor(x, y);
      // The picture fades into the face, as a disabled control's picture does.
      const int grey = 0xd4 - (0xd4 - qGray(c.rgb())) / 3;
      image.setPixelColor(x, y, QColor(grey, grey, grey));
    }
  return QPixmap::fromImage(image);
}

}  // namespace

CBitmapButton::CBitmapButton(const QString& caption, EIcon picture, QWidget* parent)
    : QAbstractButton(parent) {
  setText(caption);
  setAccessibleName(caption);
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(kSize, kSize);
  const QPixmap icon = PaintIcon(picture, 16);
  m_images[stateUp] = Face(icon, false, false);
  m_images[stateDown] = Face(icon, true, false);
  m_images[stateFocused] = Face(icon, false, true);
  m_images[stateDisabled] = Disabled(m_images[stateUp]);
}

CBitmapButton::EState CBitmapButton::State() const {
  if (!isEnabled()) return stateDisabled;
  if (isDown()) return stateDown;
  if (hasFocus()) return stateFocused;
  return stateUp;
}

void CBitmapButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, m_images[State()]);
}

}  // namespace zorvan
