#pragma once

#include <string_view>

namespace zorvan {

// The two fonts a printed page uses: the same face and size, normal and bold weight.
enum class EPrintFont { normal, bold };

// A printed page as the page layout sees it. Units are twips (1/1440 inch): x grows to the right
// from the left edge of the printable area, y is the distance below its top edge. Texts are
// UTF-8 and placed by the top-left corner of their line. The layout is computed in the core
// against this interface; the program draws it on a printer or a preview page, and tests record
// it.
class IPrintCanvas {
 public:
  virtual ~IPrintCanvas() = default;

  // The printable area.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  // The height of a line of the normal font: the character height plus the font's external
  // leading, as the device measures it.
  virtual int LineHeight() const = 0;
  virtual int TextWidth(std::string_view text, EPrintFont font) const = 0;

  virtual void Text(int x, int y, std::string_view text, EPrintFont font) = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // The outline of a rectangle, inside left-top to right-bottom; its inside is not filled.
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;

  // Draws everything that follows smaller by factor (0 < factor <= 1), fonts included: the
  // page then measures 1 / factor times as many twips, and a layout too tall for the paper
  // fits on it.
  virtual void SetScale(double factor) = 0;
};

}  // namespace zorvan
