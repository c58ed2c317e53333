#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include "ui/QtPrintCanvas.h"

using namespace zorvan;

namespace {

// A white page of the given size in pixels at a resolution where one pixel is 1440 / dpi twips.
QImage Page(int width, int height, int dpi) {
  QImage image(width, height, QImage::Format_RGB32);
  const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  image.fill(Qt::white);
  return image;
}

bool IsInk(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The first and last rows between top and bottom that hold ink between left and right.
std::pair<int, int> InkRows(const QImage& image, int left, int right, int top, int bottom) {
  int first = -1, last = -1;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (IsInk(image, x, y)) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

}  // namespace

TEST(QtPrintCanvas, shouldMeasureThePrintableAreaAndTheFontsInTwipsOnEveryResolution) {
  QImage low = Page(850, 1100, 144), high = Page(1700, 2200, 288);
  QPainter lowPainter(&low), highPainter(&high);
  CQtPrintCanvas lowCanvas(lowPainter, QRectF(0, 0, 850, 1100));
  CQtPrintCanvas highCanvas(highPainter, QRectF(0, 0, 1700, 2200));
  EXPECT_EQ(lowCanvas.PageWidth(), 8500);
  EXPECT_EQ(lowCanvas.PageHeight(), 11000);
  EXPECT_EQ(highCanvas.PageWidth(), 8500);

  // A 9-point line: taller than the 180-twip characters, but not by half.
  EXPECT_GT(lowCanvas.LineHeight(), 180);
  EXPECT_LT(lowCanvas.LineHeight(), 270);
  const int normal = lowCanvas.TextWidth("Zaměstnavatel:", EPrintFont::normal);
  const int bold = lowCanvas.TextWidth("Zaměstnavatel:", EPrintFont::bold);
  EXPECT_GT(normal, 14 * 60);
  EXPECT_GT(bold, normal);
  // The same text measures the same in twips whatever the device's resolution.
  EXPECT_NEAR(highCanvas.TextWidth("Zaměstnavatel:", EPrintFont::normal), normal, normal / 25);
  EXPECT_NEAR(highCanvas.LineHeight(), lowCanvas.LineHeight(), 20);
}

TEST(QtPrintCanvas, shouldTakeTheMetricCompatibleSubstituteWhenTheClassicFaceIsMissing) {
  QImage image = Page(100, 100, 144);
  QPainter painter(&image);
  const QFont font(CQtPrintCanvas::FontFamilies());
  const QString family = QFontInfo(font).family();
  if (!QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
    GTEST_SKIP() << "fonts-liberation is not installed; the page is drawn in "
                 << family.toStdString();
  EXPECT_TRUE(family == "Liberation Sans" || family == "MS Sans Serif" ||
              family == "Microsoft Sans Serif")
      << family.toStdString();
}

TEST(QtPrintCanvas, shouldPlaceTextByItsTopLeftCornerAndDrawLinesAndHollowFrames) {
  QImage image = Page(850, 1100, 144);  // 10 twips a pixel
  {
    QPainter painter(&image);
    // The printable area starts 20 pixels in from the paper's edges.
    CQtPrintCanvas canvas(painter, QRectF(20, 20, 810, 1060));
    canvas.Text(1000, 2000, "Šťastný Łukasz Müller", EPrintFont::bold);
    canvas.Line(100, 500, 8000, 500);
    canvas.Rectangle(1000, 4000, 3000, 6000);
  }
  // The text's ink starts at or below its top and stays within one line of it.
  const auto [top, bottom] = InkRows(image, 120, 400, 100, 400);
  ASSERT_GE(top, 0);
  EXPECT_GE(top, 219);  // a pixel of anti-aliasing
  EXPECT_LE(bottom, 220 + 27);
  EXPECT_FALSE(IsInk(image, 119, 225));
  // The line runs at y = 50 + 20 pixels from x = 30 to x = 820.
  EXPECT_TRUE(IsInk(image, 40, 70));
  EXPECT_TRUE(IsInk(image, 810, 70));
  EXPECT_FALSE(IsInk(image, 40, 75));
  // The frame's edges are drawn and its inside is left as it was.
  EXPECT_TRUE(IsInk(image, 120, 500));
  EXPECT_TRUE(IsInk(image, 220, 420));
  EXPECT_TRUE(IsInk(image, 200, 620));
  EXPECT_FALSE(IsInk(image, 220, 520));
}

TEST(QtPrintCanvas, shouldShrinkAScaledPageAroundTheCornerOfThePrintableArea) {
  QImage image = Page(850, 1100, 144);  // 10 twips a pixel
  int lineHeight = 0, scaledLineHeight = 0;
  {
    QPainter painter(&image);
    CQtPrintCanvas canvas(painter, QRectF(20, 20, 810, 1060));
    lineHeight = canvas.LineHeight();
    canvas.SetScale(0.5);
    // The page measures twice as many twips, its fonts as many as before.
    EXPECT_EQ(canvas.PageWidth(), 16200);
    EXPECT_EQ(canvas.PageHeight(), 21200);
    scaledLineHeight = canvas.LineHeight();
    canvas.Line(200, 20000, 16000, 20000);
    canvas.Text(4000, 4000, "Żółć", EPrintFont::normal);
  }
  EXPECT_EQ(scaledLineHeight, lineHeight);
  // 20,000 twips down at half size: 1,000 pixels below the area's top.
  EXPECT_TRUE(IsInk(image, 40, 1020));
  EXPECT_TRUE(IsInk(image, 810, 1020));
  EXPECT_FALSE(IsInk(image, 40, 1030));
  // The text shrinks with the page: its ink fits in half a line below 200 pixels.
  const auto [top, bottom] = InkRows(image, 200, 400, 150, 400);
  ASSERT_GE(top, 0);
  EXPECT_GE(top, 219);
  EXPECT_LE(bottom, 220 + lineHeight / 20 + 1);
}
