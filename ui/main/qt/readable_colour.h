// Text colours that stay readable over the sky: a colour is kept only where it stands out from
// every pixel of the picture under the text, by the usual contrast ratio of relative luminances.
#pragma once

#include <QColor>

class QImage;
class QRect;

namespace mainwindow {

// The lightest and darkest relative luminance (0 black to 1 white) of a picture's pixels.
struct LuminanceRange {
  double darkest = 1.0;
  double lightest = 0.0;
};

// The contrast that body text needs against its background.
inline constexpr double kReadableContrast = 4.5;

double RelativeLuminance(const QColor& colour);
// From 1 (the same luminance) to 21 (black on white).
double ContrastRatio(double luminance1, double luminance2);
// The luminances of the picture's pixels inside the area, clipped to the picture.
LuminanceRange LuminanceUnder(const QImage& picture, const QRect& area);
// The least contrast the colour has against any luminance of the range.
double LeastContrast(const QColor& colour, const LuminanceRange& range);
// The wanted colour where it is readable over the range, black otherwise.
QColor ReadableTextColour(const QColor& wanted, const LuminanceRange& range);

}  // namespace mainwindow
