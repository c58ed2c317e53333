#include "ui/QtPrintCanvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

#include "qt/QtText.h"

namespace zorvan {
namespace {

constexpr qreal kTwipsPerInch = 1440.0;
// 9 points: the character height, without the font's internal leading.
constexpr qreal kCharHeightTwips = 180.0;

QFont MakeFont(QPaintDevice* device, qreal dpiY, QFont::Weight weight) {
  QFont font(QFont(CQtPrintCanvas::FontFamilies()), device);
  font.setStyleHint(QFont::SansSerif);
  // A pixel size in device pixels keeps the height exact on every resolution.
  font.setPixelSize(
      std::max(1, static_cast<int>(std::lround(kCharHeightTwips * dpiY / kTwipsPerInch))));
  font.setWeight(weight);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace

QStringList CQtPrintCanvas::FontFamilies() {
  return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
          QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
}

CQtPrintCanvas::CQtPrintCanvas(QPainter& painter, const QRectF& printableArea)
    : m_painter(painter),
      m_area(printableArea),
      m_dpiX(painter.device()->logicalDpiX()),
      m_dpiY(painter.device()->logicalDpiY()),
      m_normal(MakeFont(painter.device(), m_dpiY, QFont::Normal)),
      m_bold(MakeFont(painter.device(), m_dpiY, QFont::Bold)),
      m_normalMetrics(m_normal, painter.device()),
      m_boldMetrics(m_bold, painter.device()) {
  m_painter.save();
  // The painter's origin is the top-left corner of the printable area; a scale set later
  // shrinks the page around it.
  m_painter.translate(m_area.topLeft());
  m_painter.setPen(QPen(Qt::black, 0));
  m_painter.setBrush(Qt::NoBrush);
}

CQtPrintCanvas::~CQtPrintCanvas() { m_painter.restore(); }

int CQtPrintCanvas::PageWidth() const { return ToTwipsX(m_area.width() / m_scale); }

int CQtPrintCanvas::PageHeight() const { return ToTwipsY(m_area.height() / m_scale); }

int CQtPrintCanvas::LineHeight() const { return ToTwipsY(m_normalMetrics.lineSpacing()); }

int CQtPrintCanvas::TextWidth(std::string_view text, EPrintFont font) const {
  return ToTwipsX(Metrics(font).horizontalAdvance(ToQString(text)));
}

void CQtPrintCanvas::Text(int x, int y, std::string_view text, EPrintFont font) {
  m_painter.setFont(Font(font));
  // QPainter places text by its baseline; the page places it by the top of the line.
  m_painter.drawText(ToDevice(x, y) + QPointF(0, Metrics(font).ascent()), ToQString(text));
}

void CQtPrintCanvas::Line(int x1, int y1, int x2, int y2) {
  m_painter.drawLine(ToDevice(x1, y1), ToDevice(x2, y2));
}

void CQtPrintCanvas::Rectangle(int left, int top, int right, int bottom) {
  m_painter.drawRect(QRectF(ToDevice(left, top), ToDevice(right, bottom)));
}

void CQtPrintCanvas::SetScale(double factor) {
  if (!(factor > 0.0) || factor > 1.0) return;
  m_painter.scale(factor / m_scale, factor / m_scale);
  m_scale = factor;
}

QPointF CQtPrintCanvas::ToDevice(int x, int y) const {
  return QPointF(x * m_dpiX / kTwipsPerInch, y * m_dpiY / kTwipsPerInch);
}

int CQtPrintCanvas::ToTwipsX(qreal pixels) const {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / m_dpiX));
}

int CQtPrintCanvas::ToTwipsY(qreal pixels) const {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / m_dpiY));
}

const QFont& CQtPrintCanvas::Font(EPrintFont font) const {
  return font == EPrintFont::bold ? m_bold : m_normal;
}

const QFontMetricsF& CQtPrintCanvas::Metrics(EPrintFont font) const {
  return font == EPrintFont::bold ? m_boldMetrics : m_normalMetrics;
}

}  // namespace zorvan
