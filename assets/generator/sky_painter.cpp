#include "assets/generator/sky_painter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "assets/sky_pixels.h"

namespace assets::generator {

namespace {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

// ---- the sky ----

constexpr int kSkyWidth = 640;
constexpr int kSkyHeight = 480;
constexpr int kSkyColours = assets::pixels::kSkyColours;

// Integer hash noise, so that the picture does not depend on a library's random generator.
double Hash(int x, int y, int seed) {
  auto h = static_cast<std::uint32_t>(x) * 374761393U + static_cast<std::uint32_t>(y) * 668265263U +
           static_cast<std::uint32_t>(seed) * 2246822519U;
  h = (h ^ (h >> 13)) * 1274126177U;
  h ^= h >> 16;
  return static_cast<double>(h & 0xFFFFFF) / static_cast<double>(0xFFFFFF);
}

double ValueNoise(double x, double y, int seed) {
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const double fx = SmoothStep(0, 1, x - x0);
  const double fy = SmoothStep(0, 1, y - y0);
  const double top = Hash(x0, y0, seed) + (Hash(x0 + 1, y0, seed) - Hash(x0, y0, seed)) * fx;
  const double bottom =
      Hash(x0, y0 + 1, seed) + (Hash(x0 + 1, y0 + 1, seed) - Hash(x0, y0 + 1, seed)) * fx;
  return top + (bottom - top) * fy;
}

// Fractal noise in [0, 1]: large soft lumps with finer curls on top, which makes cloud edges
// fluffy.
double Fractal(double x, double y, int seed) {
  double sum = 0, amplitude = 0.5, norm = 0;
  for (int octave = 0; octave < 5; ++octave) {
    sum += amplitude * ValueNoise(x, y, seed + octave * 17);
    norm += amplitude;
    x *= 2.03;
    y *= 2.03;
    amplitude *= 0.5;
  }
  return sum / norm;
}

struct Puff {
  double x, y, rx, ry, weight;
  double base;       // the cloud's flat underside
  double halfWidth;  // how far the flat underside reaches
  double cx;
};

// A cumulus cloud: many soft puffs scattered over an ellipse, heaped up in the middle, with a flat
// base, the way fair-weather clouds look.
struct Cloud {
  double cx, cy, width, height;
  int puffs;
  int seed;
};

// The client area shows only the top-left 413 x 274 pixels, where the headings are written in blue:
// a cloud bank sits behind them and a low band behind the maker's line, so blue text stays
// readable.
constexpr std::array kClouds{
    Cloud{365, 64, 360, 154, 60, 1}, Cloud{70, 36, 150, 60, 18, 2},
    Cloud{205, 266, 470, 60, 60, 3}, Cloud{585, 215, 170, 80, 22, 4},
    Cloud{520, 372, 230, 70, 26, 5}, Cloud{120, 410, 220, 64, 24, 6},
    Cloud{560, 40, 130, 50, 14, 7},  Cloud{330, 455, 170, 40, 14, 8},
};

std::vector<Puff> MakePuffs() {
  std::vector<Puff> puffs;
  for (const Cloud& cloud : kClouds) {
    for (int i = 0; i < cloud.puffs; ++i) {
      const double u = Hash(i, 1, cloud.seed) * 2 - 1;
      const double v = Hash(i, 2, cloud.seed);
      const double size = 0.45 + 0.55 * Hash(i, 3, cloud.seed);
      // Puffs near the middle stand higher and are bigger: a heaped top.
      const double middle = 1 - u * u;
      Puff puff;
      puff.x = cloud.cx + u * cloud.width * 0.5;
      puff.ry = cloud.height * (0.22 + 0.28 * middle) * size;
      puff.rx = puff.ry * (1.1 + 0.5 * Hash(i, 4, cloud.seed));
      puff.y = cloud.cy + cloud.height * 0.5 - puff.ry - v * cloud.height * 0.55 * middle;
      puff.weight = 0.8 + 0.4 * Hash(i, 5, cloud.seed);
      puff.base = cloud.cy + cloud.height * 0.5;
      puff.halfWidth = cloud.width * 0.5;
      puff.cx = cloud.cx;
      puffs.push_back(puff);
    }
  }
  return puffs;
}

// Cloud density before the noise: the soft union of the puffs, each cut flat at its cloud's base.
double Density(const std::vector<Puff>& puffs, double x, double y) {
  double density = 0;
  for (const Puff& p : puffs) {
    const double dx = (x - p.x) / p.rx;
    const double dy = (y - p.y) / p.ry;
    const double d2 = dx * dx + dy * dy;
    if (d2 < 4) {
      const double flat =
          SmoothStep(p.base - 6, p.base + 8, y) *
          (1 - SmoothStep(p.halfWidth * 0.6, p.halfWidth * 1.2, std::abs(x - p.cx)));
      density += p.weight * std::exp(-1.6 * d2) * (1 - 0.85 * flat);
    }
  }
  return density;
}

std::vector<Rgb> PaintSky() {
  const std::vector<Puff> puffs = MakePuffs();
  std::vector<double> density(static_cast<std::size_t>(kSkyWidth) * kSkyHeight);
  for (int y = 0; y < kSkyHeight; ++y) {
    for (int x = 0; x < kSkyWidth; ++x) {
      const double noise = Fractal(x / 38.0, y / 30.0, 11) - 0.5;
      density[static_cast<std::size_t>(y) * kSkyWidth + x] =
          Density(puffs, x, y) * (1 + 1.1 * noise) + 0.25 * noise;
    }
  }
  const auto at = [&](int x, int y) {
    x = std::clamp(x, 0, kSkyWidth - 1);
    y = std::clamp(y, 0, kSkyHeight - 1);
    return density[static_cast<std::size_t>(y) * kSkyWidth + x];
  };

  const Rgb zenith{38, 104, 206};
  const Rgb horizon{160, 203, 242};
  const Rgb white{255, 255, 255};
  const Rgb shadow{196, 210, 234};
  std::vector<Rgb> pixels(density.size());
  for (int y = 0; y < kSkyHeight; ++y) {
    const double t = std::pow(static_cast<double>(y) / (kSkyHeight - 1), 0.8);
    for (int x = 0; x < kSkyWidth; ++x) {
      // A faint brightening towards the right, as if the sun stood there.
      Rgb sky = Mix(zenith, horizon, Clamp01(t + 0.12 * x / kSkyWidth));
      const double d = at(x, y);
      const double cover = SmoothStep(0.30, 0.85, d);
      // Light comes from above: where more cloud lies above than below, the cloud is in its own
      // shadow and turns grey-blue, which gives the puffs their round, lit tops.
      const double shade = Clamp01(0.35 + 0.9 * (at(x, y - 14) - at(x, y + 10)));
      const double core = SmoothStep(0.9, 2.2, d);
      const Rgb cloud = Mix(white, shadow, Clamp01(shade * 0.65 + core * 0.15));
      pixels[static_cast<std::size_t>(y) * kSkyWidth + x] = Mix(sky, cloud, cover);
    }
  }
  return pixels;
}

double Distance2(Rgb a, Rgb b) {
  const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

int Nearest(const std::vector<Rgb>& palette, Rgb c) {
  int best = 0;
  double bestDistance = Distance2(palette[0], c);
  for (int i = 1; i < static_cast<int>(palette.size()); ++i) {
    const double d = Distance2(palette[static_cast<std::size_t>(i)], c);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

// k-means from brightness quantiles, a fixed number of rounds: the palette follows the picture's
// own colours, so gradients keep many steps where the picture has them.
std::vector<Rgb> ChoosePalette(const std::vector<Rgb>& pixels) {
  std::vector<Rgb> samples;
  for (std::size_t i = 0; i < pixels.size(); i += 7) {
    samples.push_back(pixels[i]);
  }
  std::vector<Rgb> sorted = samples;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](Rgb a, Rgb b) { return a.r + a.g + a.b < b.r + b.g + b.b; });
  std::vector<Rgb> palette;
  palette.reserve(kSkyColours);
  for (int i = 0; i < kSkyColours; ++i) {
    palette.push_back(
        sorted[(sorted.size() - 1) * static_cast<std::size_t>(i) / (kSkyColours - 1)]);
  }
  for (int round = 0; round < 12; ++round) {
    std::vector<Rgb> sums(palette.size());
    std::vector<double> counts(palette.size());
    for (const Rgb& s : samples) {
      const auto k = static_cast<std::size_t>(Nearest(palette, s));
      sums[k].r += s.r;
      sums[k].g += s.g;
      sums[k].b += s.b;
      counts[k] += 1;
    }
    for (std::size_t k = 0; k < palette.size(); ++k) {
      if (counts[k] > 0) {
        palette[k] = {sums[k].r / counts[k], sums[k].g / counts[k], sums[k].b / counts[k]};
      }
    }
  }
  for (Rgb& c : palette) {
    c = {std::round(c.r), std::round(c.g), std::round(c.b)};
  }
  // Pure white for the brightest cloud tops.
  *std::max_element(palette.begin(), palette.end(), [](Rgb a, Rgb b) {
    return a.r + a.g + a.b < b.r + b.g + b.b;
  }) = Rgb{255, 255, 255};
  std::stable_sort(palette.begin(), palette.end(),
                   [](Rgb a, Rgb b) { return a.r + a.g + a.b < b.r + b.g + b.b; });
  return palette;
}

// Floyd-Steinberg error diffusion hides the steps between the 65 colours.
std::vector<std::uint8_t> Quantise(std::vector<Rgb> pixels, const std::vector<Rgb>& palette) {
  std::vector<std::uint8_t> indices(pixels.size());
  const auto spread = [&](int x, int y, Rgb error, double share) {
    if (x < 0 || x >= kSkyWidth || y >= kSkyHeight) {
      return;
    }
    Rgb& p = pixels[static_cast<std::size_t>(y) * kSkyWidth + x];
    p.r += error.r * share;
    p.g += error.g * share;
    p.b += error.b * share;
  };
  for (int y = 0; y < kSkyHeight; ++y) {
    for (int x = 0; x < kSkyWidth; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kSkyWidth + x;
      const int k = Nearest(palette, pixels[i]);
      indices[i] = static_cast<std::uint8_t>(k);
      const Rgb& chosen = palette[static_cast<std::size_t>(k)];
      const Rgb error{pixels[i].r - chosen.r, pixels[i].g - chosen.g, pixels[i].b - chosen.b};
      spread(x + 1, y, error, 7.0 / 16);
      spread(x - 1, y + 1, error, 3.0 / 16);
      spread(x, y + 1, error, 5.0 / 16);
      spread(x + 1, y + 1, error, 1.0 / 16);
    }
  }
  return indices;
}

}  // namespace

Bytes SkyBitmap() {
  const std::vector<Rgb> pixels = PaintSky();
  const std::vector<Rgb> palette = ChoosePalette(pixels);
  const std::vector<std::uint8_t> indices = Quantise(pixels, palette);

  constexpr std::uint32_t kHeaders = 14 + 40;
  const std::uint32_t offset = kHeaders + 4 * kSkyColours;
  const std::uint32_t imageSize = kSkyWidth * kSkyHeight;  // rows of 640 need no padding
  Bytes out;
  out.U8('B');
  out.U8('M');
  out.U32(offset + imageSize);
  out.U32(0);
  out.U32(offset);
  out.U32(40);
  out.U32(kSkyWidth);
  out.U32(kSkyHeight);  // positive: rows stored bottom-up
  out.U16(1);
  out.U16(8);
  out.U32(0);  // BI_RGB
  out.U32(imageSize);
  out.U32(3780);  // 96 dots per inch
  out.U32(3780);
  out.U32(kSkyColours);
  out.U32(kSkyColours);
  for (const Rgb& c : palette) {
    out.U8(static_cast<unsigned>(c.b));
    out.U8(static_cast<unsigned>(c.g));
    out.U8(static_cast<unsigned>(c.r));
    out.U8(0);
  }
  for (int y = kSkyHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kSkyWidth; ++x) {
      out.U8(indices[static_cast<std::size_t>(y) * kSkyWidth + x]);
    }
  }
  return out;
}

}  // namespace assets::generator
