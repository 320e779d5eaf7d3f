// Text colours that stay readable over a picture: a colour is kept only where it stands out from
// every pixel of the picture under the text, by the usual contrast ratio of relative luminances.
// Plain data in and out, so that both windows apply the one rule to their own colours and pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/main/main_layout.h"

namespace mainwindow {

// The lightest and darkest relative luminance (0 black to 1 white) of some pixels; none yet while
// darkest is above lightest.
struct LuminanceRange {
  double darkest = 1.0;
  double lightest = 0.0;

  void Include(double luminance);
};

// A picture of 8-bit indices into its palette, read where it lies: `top` is the first pixel of the
// top row and each row lies `stride` bytes after the one above it (less than zero for a picture
// stored bottom up, as a Windows bitmap is).
struct IndexedPixels {
  const std::uint8_t* top = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
  std::span<const mainlayout::Rgb> palette;
};

// A rectangle of pixels: its top-left pixel and its size.
struct PixelArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The contrast that body text needs against its background.
inline constexpr double kReadableContrast = 4.5;
// What an unreadable colour becomes: the darkest text stands out best from a light sky.
inline constexpr mainlayout::Rgb kBlack{0, 0, 0};

double RelativeLuminance(mainlayout::Rgb colour);
// From 1 (the same luminance) to 21 (black on white).
double ContrastRatio(double luminance1, double luminance2);
// The luminances of the picture's pixels inside the area, clipped to the picture; an index beyond
// the palette is no colour.
LuminanceRange LuminanceUnder(const IndexedPixels& picture, const PixelArea& area);
// The least contrast the colour has against any luminance of the range.
double LeastContrast(mainlayout::Rgb colour, const LuminanceRange& range);
// The wanted colour where it is readable over the range, black otherwise.
mainlayout::Rgb ReadableTextColour(mainlayout::Rgb wanted, const LuminanceRange& range);

}  // namespace mainwindow
