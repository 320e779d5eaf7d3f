// Draws the program's three pictures and writes them as Windows files: the sky background (8-bit
// bitmap, 65 colours), the information icon and the computer icon (16-colour icons, 32x32 and 16x16
// with masks). Deterministic: the same build writes the same bytes, so the files in the repository
// can be checked against a fresh run. Usage: generate_assets <output-directory>. At build time it
// also writes what the program is built with: the icon's pixels and PNGs, and the part of the
// committed sky that the main window shows (see main()).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "assets/sky_pixels.h"

namespace {

// ---- little-endian file writing ----

class Bytes {
 public:
  void U8(unsigned v) { data_.push_back(static_cast<char>(v & 0xFF)); }
  void U16(unsigned v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Append(const Bytes& other) {
    data_.insert(data_.end(), other.data_.begin(), other.data_.end());
  }
  [[nodiscard]] std::size_t size() const { return data_.size(); }
  [[nodiscard]] const std::vector<char>& data() const { return data_; }

 private:
  std::vector<char> data_;
};

bool WriteFile(const std::filesystem::path& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out.flush());
}

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  return WriteFile(path, std::string_view(bytes.data().data(), bytes.size()));
}

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

// ---- the icons ----

// The 16 colours of the standard icon palette, by index.
enum Colour : std::uint8_t {
  kBlack = 0,
  kMaroon,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kSilver,
  kGrey,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kFuchsia,
  kAqua,
  kWhite,
  kClear = 0xFF  // transparent: masked out
};

constexpr std::array<std::array<std::uint8_t, 3>, 16> kIconPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

class Canvas {
 public:
  explicit Canvas(int size)
      : size_(size),
        pixels_(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), kClear) {}
  [[nodiscard]] int size() const { return size_; }
  [[nodiscard]] std::uint8_t At(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
                   static_cast<std::size_t>(x)];
  }
  void Set(int x, int y, std::uint8_t c) {
    if (x >= 0 && y >= 0 && x < size_ && y < size_) {
      pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
              static_cast<std::size_t>(x)] = c;
    }
  }
  // Inclusive corners.
  void Fill(int x0, int y0, int x1, int y1, std::uint8_t c) {
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        Set(x, y, c);
      }
    }
  }
  void Frame(int x0, int y0, int x1, int y1, std::uint8_t c) {
    Fill(x0, y0, x1, y0, c);
    Fill(x0, y1, x1, y1, c);
    Fill(x0, y0, x0, y1, c);
    Fill(x1, y0, x1, y1, c);
  }

 private:
  int size_;
  std::vector<std::uint8_t> pixels_;
};

Canvas InformationIcon(int size) {
  Canvas c(size);
  const double centre = (size - 1) / 2.0;
  const double radius = size / 2.0 - 0.5;
  const bool large = size >= 32;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double d = std::hypot(x - centre, y - centre);
      if (d > radius) {
        continue;
      }
      std::uint8_t colour = kNavy;
      if (d > radius - (large ? 1.3 : 1.0)) {
        colour = kBlack;  // a dark rim keeps the disc round on light backgrounds
      } else if (large && d > radius - 3.3 && x + y < size - 6) {
        colour = kBlue;  // a lit edge on the upper left makes it a disc rather than a flat circle
      }
      c.Set(x, y, colour);
    }
  }
  if (large) {
    c.Fill(14, 5, 17, 8, kWhite);  // the dot, with its corners rounded off
    c.Set(14, 5, kNavy);
    c.Set(17, 5, kNavy);
    c.Set(14, 8, kNavy);
    c.Set(17, 8, kNavy);
    c.Fill(12, 11, 17, 12, kWhite);  // the stem with its serifs
    c.Fill(14, 13, 17, 24, kWhite);
    c.Fill(12, 25, 19, 26, kWhite);
  } else {
    c.Fill(7, 2, 8, 3, kWhite);
    c.Fill(6, 5, 8, 5, kWhite);
    c.Fill(7, 6, 8, 11, kWhite);
    c.Fill(6, 12, 9, 12, kWhite);
  }
  return c;
}

Canvas ComputerIcon(int size) {
  Canvas c(size);
  if (size >= 32) {
    // Monitor: a light case around a grey screen, with a glint in its top-left corner.
    c.Fill(5, 1, 26, 17, kSilver);
    c.Frame(5, 1, 26, 17, kBlack);
    c.Fill(6, 16, 25, 16, kGrey);
    c.Fill(25, 2, 25, 16, kGrey);
    c.Fill(8, 3, 23, 14, kGrey);
    c.Frame(8, 3, 23, 14, kBlack);
    c.Fill(9, 4, 12, 4, kSilver);
    c.Fill(9, 5, 10, 5, kSilver);
    // Its foot.
    c.Fill(12, 18, 19, 19, kGrey);
    c.Frame(11, 18, 20, 19, kBlack);
    // System unit: a desktop case with a drive slot and a green lamp.
    c.Fill(2, 20, 29, 25, kSilver);
    c.Frame(2, 20, 29, 25, kBlack);
    c.Fill(3, 24, 28, 24, kGrey);
    c.Fill(17, 22, 26, 22, kBlack);
    c.Set(5, 22, kLime);
    c.Set(7, 22, kGreen);
    // Keyboard, seen from above at a slant, with rows of keys.
    for (int row = 0; row < 5; ++row) {
      const int y = 26 + row;
      const int inset = 4 - row;
      c.Fill(1 + inset, y, 30 - inset, y, kSilver);
      c.Set(1 + inset, y, kBlack);
      c.Set(30 - inset, y, kBlack);
    }
    c.Fill(1, 31, 30, 31, kBlack);
    for (int x = 7; x <= 24; x += 2) {
      c.Set(x, 27, kGrey);
      c.Set(x - 1, 29, kGrey);
    }
    c.Fill(11, 30, 20, 30, kGrey);
  } else {
    c.Fill(2, 0, 13, 8, kSilver);
    c.Frame(2, 0, 13, 8, kBlack);
    c.Fill(4, 2, 11, 6, kGrey);
    c.Frame(4, 2, 11, 6, kBlack);
    c.Set(5, 3, kSilver);
    c.Fill(6, 9, 9, 9, kBlack);
    c.Fill(1, 10, 14, 12, kSilver);
    c.Frame(1, 10, 14, 12, kBlack);
    c.Fill(9, 11, 12, 11, kBlack);
    c.Set(3, 11, kLime);
    c.Fill(1, 13, 14, 14, kSilver);
    c.Set(1, 13, kBlack);
    c.Set(14, 13, kBlack);
    c.Fill(4, 13, 11, 13, kGrey);
    c.Fill(0, 15, 15, 15, kBlack);
  }
  return c;
}

// One icon image: header, palette, the colour bits and the transparency mask, both bottom-up.
Bytes IconImage(const Canvas& c) {
  const int size = c.size();
  const int colourStride = ((size * 4 + 31) / 32) * 4;
  const int maskStride = ((size + 31) / 32) * 4;
  Bytes out;
  out.U32(40);
  out.U32(static_cast<std::uint32_t>(size));
  out.U32(static_cast<std::uint32_t>(size * 2));  // colour bits and mask together
  out.U16(1);
  out.U16(4);
  out.U32(0);
  out.U32(static_cast<std::uint32_t>((colourStride + maskStride) * size));
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  for (const auto& rgb : kIconPalette) {
    out.U8(rgb[2]);
    out.U8(rgb[1]);
    out.U8(rgb[0]);
    out.U8(0);
  }
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < colourStride * 2; x += 2) {
      const auto index = [&](int px) -> unsigned {
        const std::uint8_t v = px < size ? c.At(px, y) : std::uint8_t{kClear};
        return v == kClear ? 0 : v;
      };
      out.U8((index(x) << 4) | index(x + 1));
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    for (int byte = 0; byte < maskStride; ++byte) {
      unsigned bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        if (x >= size || c.At(x, y) == kClear) {
          bits |= 0x80U >> bit;
        }
      }
      out.U8(bits);
    }
  }
  return out;
}

Bytes IconFile(const std::vector<Canvas>& images) {
  std::vector<Bytes> bodies;
  bodies.reserve(images.size());
  for (const Canvas& c : images) {
    bodies.push_back(IconImage(c));
  }
  Bytes out;
  out.U16(0);
  out.U16(1);  // icon
  out.U16(static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.U8(static_cast<unsigned>(images[i].size()));
    out.U8(static_cast<unsigned>(images[i].size()));
    out.U8(16);
    out.U8(0);
    out.U16(1);
    out.U16(4);
    out.U32(static_cast<std::uint32_t>(bodies[i].size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const Bytes& body : bodies) {
    out.Append(body);
  }
  return out;
}

// A PNG of an icon image for the Linux desktop, whose icon themes do not take .ico files. The image
// data goes into stored (uncompressed) deflate blocks, which every PNG reader accepts.
std::uint32_t Crc32(const std::vector<char>& data, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (std::size_t i = from; i < data.size(); ++i) {
    crc ^= static_cast<std::uint8_t>(data[i]);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
  }
  return ~crc;
}

void U32BigEndian(Bytes& out, std::uint32_t v) {
  out.U8(v >> 24);
  out.U8(v >> 16);
  out.U8(v >> 8);
  out.U8(v);
}

void Chunk(Bytes& png, const char* type, const Bytes& body) {
  U32BigEndian(png, static_cast<std::uint32_t>(body.size()));
  Bytes typed;
  for (int i = 0; i < 4; ++i) {
    typed.U8(static_cast<unsigned char>(type[i]));
  }
  typed.Append(body);
  png.Append(typed);
  U32BigEndian(png, Crc32(typed.data(), 0));
}

Bytes Png(const Canvas& c) {
  const int size = c.size();
  Bytes raw;
  for (int y = 0; y < size; ++y) {
    raw.U8(0);  // no filter
    for (int x = 0; x < size; ++x) {
      const std::uint8_t index = c.At(x, y);
      const auto& rgb = kIconPalette[index == kClear ? 0 : index];
      raw.U8(rgb[0]);
      raw.U8(rgb[1]);
      raw.U8(rgb[2]);
      raw.U8(index == kClear ? 0 : 255);
    }
  }
  Bytes header;
  U32BigEndian(header, static_cast<std::uint32_t>(size));
  U32BigEndian(header, static_cast<std::uint32_t>(size));
  header.U8(8);  // bits per channel
  header.U8(6);  // RGBA
  header.U8(0);
  header.U8(0);
  header.U8(0);

  Bytes zlib;
  zlib.U8(0x78);
  zlib.U8(0x01);
  std::size_t done = 0;
  const std::vector<char>& data = raw.data();
  do {
    const std::size_t n = std::min<std::size_t>(65535, data.size() - done);
    zlib.U8(done + n == data.size() ? 1 : 0);
    zlib.U16(static_cast<unsigned>(n));
    zlib.U16(static_cast<unsigned>(~n & 0xFFFF));
    for (std::size_t i = 0; i < n; ++i) {
      zlib.U8(static_cast<std::uint8_t>(data[done + i]));
    }
    done += n;
  } while (done < data.size());
  std::uint32_t a = 1, b = 0;
  for (const char ch : data) {
    a = (a + static_cast<std::uint8_t>(ch)) % 65521;
    b = (b + a) % 65521;
  }
  U32BigEndian(zlib, (b << 16) | a);

  Bytes png;
  for (const unsigned ch : {0x89U, 0x50U, 0x4EU, 0x47U, 0x0DU, 0x0AU, 0x1AU, 0x0AU}) {
    png.U8(ch);
  }
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", Bytes());
  return png;
}

// The icon's pixels as 0xAARRGGBB words, rows top to bottom, written as C++ for the program to use
// as they stand: no picture decoder runs when a window takes its icon.
std::string PixelArray(const char* name, const Canvas& c) {
  std::string out = "extern const std::uint32_t " + std::string(name) + "[] = {";
  char word[16];
  for (int y = 0; y < c.size(); ++y) {
    out += "\n   ";
    for (int x = 0; x < c.size(); ++x) {
      const std::uint8_t index = c.At(x, y);
      // A masked-out pixel is fully transparent black, as premultiplied alpha wants it.
      std::uint32_t argb = 0;
      if (index != kClear) {
        const auto& rgb = kIconPalette[index];
        argb = 0xFF000000U | std::uint32_t{rgb[0]} << 16U | std::uint32_t{rgb[1]} << 8U | rgb[2];
      }
      std::snprintf(word, sizeof word, " 0x%08X,", static_cast<unsigned>(argb));
      out += word;
    }
  }
  return out + "\n};\n";
}

bool WritePixels(const std::filesystem::path& path) {
  const std::string text =
      "// Written by generate_assets: the information icon's pixels, 0xAARRGGBB.\n"
      "#include \"assets/icon_pixels.h\"\n\nnamespace assets::pixels {\n\n" +
      PixelArray("kInformation32", InformationIcon(32)) + "\n" +
      PixelArray("kInformation16", InformationIcon(16)) + "\n}  // namespace assets::pixels\n";
  return WriteFile(path, text);
}

// ---- the part of the sky the program shows ----

// Reads the sky bitmap as this generator writes it (8 bits, uncompressed, rows bottom-up) and
// writes its top-left part that the main window shows as C++: the palette as 0xAARRGGBB words and
// the pixels as palette indices, rows top to bottom.
bool WriteShownSky(const std::filesystem::path& bitmap, const std::filesystem::path& path) {
  using assets::pixels::kShownSkyHeight;
  using assets::pixels::kShownSkyWidth;
  std::ifstream in(bitmap, std::ios::binary);
  const std::vector<unsigned char> bmp{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  const auto u16 = [&bmp](std::size_t at) -> std::uint32_t {
    return at + 2 <= bmp.size() ? bmp[at] | std::uint32_t{bmp[at + 1]} << 8U : 0;
  };
  const auto u32 = [&u16](std::size_t at) { return u16(at) | u16(at + 2) << 16U; };
  const std::uint32_t pixels = u32(10);
  const std::uint32_t palette = 14 + u32(14);
  const std::uint32_t width = u32(18);
  const std::uint32_t height = u32(22);  // positive for rows stored bottom-up
  const std::size_t stride = (width + 3) & ~std::size_t{3};
  if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M' || u16(28) != 8 || u32(30) != 0 ||
      u32(46) != kSkyColours || width < kShownSkyWidth || height < kShownSkyHeight ||
      height > 0x7FFFFFFF || palette + 4 * kSkyColours > bmp.size() ||
      pixels + stride * height > bmp.size()) {
    std::fprintf(stderr, "generate_assets: %s is not the 8-bit sky of %d colours\n",
                 bitmap.string().c_str(), kSkyColours);
    return false;
  }

  std::string text =
      "// Written by generate_assets from sky.bmp: the part of the sky the main window shows.\n"
      "#include \"assets/sky_pixels.h\"\n\nnamespace assets::pixels {\n\n"
      "extern const std::uint32_t kSkyPalette[] = {";
  char number[32];
  for (int i = 0; i < kSkyColours; ++i) {
    const std::size_t at = palette + 4 * static_cast<std::size_t>(i);  // blue, green, red, 0
    const std::uint32_t argb = 0xFF000000U | std::uint32_t{bmp[at + 2]} << 16U |
                               std::uint32_t{bmp[at + 1]} << 8U | bmp[at];
    std::snprintf(number, sizeof number, "%s0x%08X,", i % 8 == 0 ? "\n    " : " ",
                  static_cast<unsigned>(argb));
    text += number;
  }
  text += "\n};\n\nextern const std::uint8_t kShownSky[] = {\n";
  for (int y = 0; y < kShownSkyHeight; ++y) {
    const std::size_t row = pixels + stride * (height - 1 - static_cast<std::size_t>(y));
    for (int x = 0; x < kShownSkyWidth; ++x) {
      std::snprintf(number, sizeof number, "%u,", static_cast<unsigned>(bmp[row + x]));
      text += number;
    }
    text += '\n';
  }
  text += "};\n\n}  // namespace assets::pixels\n";
  return WriteFile(path, text);
}

}  // namespace

// generate_assets <dir>: the three pictures of the program.
// generate_assets --program-icons <dir>: the information icon as information-32.png and
// information-16.png for desktop icon themes, and as pixels for the program (icon_pixels.cpp).
// generate_assets --shown-sky <sky.bmp> <file.cpp>: the part of the sky the main window shows.
int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--shown-sky") {
    return WriteShownSky(argv[2], argv[3]) ? 0 : 1;
  }
  const bool icons = argc == 3 && std::string(argv[1]) == "--program-icons";
  if (argc != 2 && !icons) {
    std::fprintf(stderr,
                 "usage: %s [--program-icons] <output-directory>\n"
                 "       %s --shown-sky <sky.bmp> <file.cpp>\n",
                 argv[0], argv[0]);
    return 2;
  }
  const std::filesystem::path dir(argv[argc - 1]);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  bool ok = false;
  if (icons) {
    ok = WriteFile(dir / "information-32.png", Png(InformationIcon(32))) &&
         WriteFile(dir / "information-16.png", Png(InformationIcon(16))) &&
         WritePixels(dir / "icon_pixels.cpp");
  } else {
    ok = WriteFile(dir / "sky.bmp", SkyBitmap()) &&
         WriteFile(dir / "information.ico", IconFile({InformationIcon(32), InformationIcon(16)})) &&
         WriteFile(dir / "computer.ico", IconFile({ComputerIcon(32), ComputerIcon(16)}));
  }
  if (!ok) {
    std::fprintf(stderr, "%s: cannot write the pictures into %s\n", argv[0], argv[argc - 1]);
    return 1;
  }
  return 0;
}
