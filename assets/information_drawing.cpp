#include "assets/information_drawing.h"

#include <algorithm>
#include <cmath>

namespace assets::drawing {

namespace {

double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

// How much of the pixel [x, x+1) x [y, y+1) a rectangle covers: exact area, so straight edges are
// smooth without sampling.
struct Box {
  double x0, y0, x1, y1;
};

double Cover(const Box& b, int x, int y) {
  const double w = std::min<double>(b.x1, x + 1) - std::max<double>(b.x0, x);
  const double h = std::min<double>(b.y1, y + 1) - std::max<double>(b.y0, y);
  return w > 0 && h > 0 ? w * h : 0;
}

struct Colour {
  double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

}  // namespace

std::vector<std::uint32_t> InformationIcon(int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) *
                                    static_cast<std::size_t>(size));
  if (size <= 0) {
    return pixels;
  }
  // The design's 32-pixel grid, scaled: the disc fills the square, the letter stands in its middle.
  const double unit = size / 32.0;
  const double centre = size / 2.0;
  const double radius = centre - 0.25 * unit;
  const double rim = std::max(1.0, 1.2 * unit);
  const double lit = 2.2 * unit;
  // The letter's straight edges on whole pixels, so that it stays crisp at every size.
  const auto at = [unit](double v) { return std::round(v * unit); };
  // The dot and the stem with its serifs, in the design's units.
  const double dotX = centre, dotY = 7.0 * unit, dotRadius = 2.1 * unit;
  const Box letter[] = {
      {at(12), at(11), at(18), at(13)},  // top serif, to the left
      {at(14), at(13), at(18), at(25)},  // stem
      {at(12), at(25), at(20), at(27)},  // foot serif
  };

  const Colour navy{0, 0, 128}, blue{0, 0, 255}, black{0, 0, 0}, white{255, 255, 255};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double d = std::hypot(px - centre, py - centre);
      const double disc = Clamp01(radius - d + 0.5);
      if (disc <= 0) {
        continue;
      }
      // The lit edge runs round the upper left half and fades towards the middle of the disc.
      const double side = SmoothStep(0.15, -0.35, (px + py) / size - 1);
      const double band = SmoothStep(radius - rim - lit, radius - rim - 0.3 * lit, d);
      Colour c = Mix(navy, blue, side * band);
      c = Mix(c, black, Clamp01(d - (radius - rim) + 0.5));

      double ink = Clamp01(dotRadius - std::hypot(px - dotX, py - dotY) + 0.5);
      for (const Box& b : letter) {
        ink += Cover(b, x, y);
      }
      c = Mix(c, white, Clamp01(ink));

      const auto channel = [disc](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0) * disc));
      };
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
             static_cast<std::size_t>(x)] = static_cast<std::uint32_t>(std::lround(255 * disc))
                                                << 24U |
                                            channel(c.r) << 16U | channel(c.g) << 8U | channel(c.b);
    }
  }
  return pixels;
}

}  // namespace assets::drawing
