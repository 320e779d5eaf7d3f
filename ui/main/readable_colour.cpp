#include "ui/main/readable_colour.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mainwindow {
namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

void LuminanceRange::Include(double luminance) {
  darkest = std::min(darkest, luminance);
  lightest = std::max(lightest, luminance);
}

double RelativeLuminance(mainlayout::Rgb colour) {
  return 0.2126 * Linear(colour.red / 255.0) + 0.7152 * Linear(colour.green / 255.0) +
         0.0722 * Linear(colour.blue / 255.0);
}

double ContrastRatio(double luminance1, double luminance2) {
  const auto [dark, light] = std::minmax(luminance1, luminance2);
  return (light + 0.05) / (dark + 0.05);
}

LuminanceRange LuminanceUnder(const IndexedPixels& picture, const PixelArea& area) {
  LuminanceRange range;
  const int left = std::max(area.left, 0);
  const int top = std::max(area.top, 0);
  const int right = std::min(area.left + area.width, picture.width);
  const int bottom = std::min(area.top + area.height, picture.height);
  if (picture.top == nullptr || left >= right || top >= bottom) {
    return range;
  }
  // Each palette entry's luminance once, then only the pixels' indices.
  std::vector<double> luminances;
  luminances.reserve(picture.palette.size());
  for (const mainlayout::Rgb entry : picture.palette) {
    luminances.push_back(RelativeLuminance(entry));
  }
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* line = picture.top + y * picture.stride;
    for (int x = left; x < right; ++x) {
      if (line[x] < luminances.size()) {
        range.Include(luminances[line[x]]);
      }
    }
  }
  return range;
}

double LeastContrast(mainlayout::Rgb colour, const LuminanceRange& range) {
  const double luminance = RelativeLuminance(colour);
  if (luminance >= range.darkest && luminance <= range.lightest) {
    return 1.0;  // some pixel under the text has the text's own luminance
  }
  return std::min(ContrastRatio(luminance, range.darkest),
                  ContrastRatio(luminance, range.lightest));
}

mainlayout::Rgb ReadableTextColour(mainlayout::Rgb wanted, const LuminanceRange& range) {
  return LeastContrast(wanted, range) >= kReadableContrast ? wanted : kBlack;
}

}  // namespace mainwindow
