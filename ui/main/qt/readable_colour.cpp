#include "ui/main/qt/readable_colour.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <vector>

namespace mainwindow {
namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

void Widen(LuminanceRange& range, double luminance) {
  range.darkest = std::min(range.darkest, luminance);
  range.lightest = std::max(range.lightest, luminance);
}

}  // namespace

double RelativeLuminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(double luminance1, double luminance2) {
  const auto [dark, light] = std::minmax(luminance1, luminance2);
  return (light + 0.05) / (dark + 0.05);
}

LuminanceRange LuminanceUnder(const QImage& picture, const QRect& area) {
  LuminanceRange range;
  const QRect inside = area.intersected(picture.rect());
  if (picture.format() == QImage::Format_Indexed8) {
    // Each palette entry's luminance once, then only the pixels' indices.
    std::vector<double> luminances;
    for (const QRgb entry : picture.colorTable()) {
      luminances.push_back(RelativeLuminance(QColor(entry)));
    }
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
      const uchar* line = picture.constScanLine(y);
      for (int x = inside.left(); x <= inside.right(); ++x) {
        if (line[x] < luminances.size()) {
          Widen(range, luminances[line[x]]);
        }
      }
    }
    return range;
  }
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      Widen(range, RelativeLuminance(picture.pixelColor(x, y)));
    }
  }
  return range;
}

double LeastContrast(const QColor& colour, const LuminanceRange& range) {
  const double luminance = RelativeLuminance(colour);
  if (luminance >= range.darkest && luminance <= range.lightest) {
    return 1.0;  // some pixel under the text has the text's own luminance
  }
  return std::min(ContrastRatio(luminance, range.darkest),
                  ContrastRatio(luminance, range.lightest));
}

QColor ReadableTextColour(const QColor& wanted, const LuminanceRange& range) {
  return LeastContrast(wanted, range) >= kReadableContrast ? wanted : QColor(Qt::black);
}

}  // namespace mainwindow
