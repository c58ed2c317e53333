#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>

#include "print/PrintCanvas.h"

class QPainter;

namespace zorvan {

// The print canvas on a QPainter: a printer, its preview, a PDF file or an image. Twips become
// device pixels at the device's own resolution, so the page measures the same on a 600 dpi
// printer as on a 96 dpi preview. The fonts are 9-point sans serif (character height 180 twips)
// in normal and bold weight; where the classic Windows face is missing, its metric-compatible
// substitute is taken.
class CQtPrintCanvas : public IPrintCanvas {
 public:
  // Draws with painter, which is active on its device; printableArea is the printable part of
  // the page in the painter's device pixels.
  CQtPrintCanvas(QPainter& painter, const QRectF& printableArea);
  CQtPrintCanvas(const CQtPrintCanvas&) = delete;
  CQtPrintCanvas& operator=(const CQtPrintCanvas&) = delete;
  ~CQtPrintCanvas() override;

  int PageWidth() const override;
  int PageHeight() const override;
  int LineHeight() const override;
  int TextWidth(std::string_view text, EPrintFont font) const override;

  void Text(int x, int y, std::string_view text, EPrintFont font) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void SetScale(double factor) override;

  // The families asked for, best first.
  static QStringList FontFamilies();

 private:
  QPointF ToDevice(int x, int y) const;
  int ToTwipsX(qreal pixels) const;
  int ToTwipsY(qreal pixels) const;
  const QFont& Font(EPrintFont font) const;
  const QFontMetricsF& Metrics(EPrintFont font) const;

  QPainter& m_painter;
  QRectF m_area;
  qreal m_dpiX;
  qreal m_dpiY;
  qreal m_scale = 1.0;
  QFont m_normal;
  QFont m_bold;
  QFontMetricsF m_normalMetrics;
  QFontMetricsF m_boldMetrics;
};

}  // namespace zorvan
