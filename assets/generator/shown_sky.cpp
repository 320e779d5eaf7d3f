#include "assets/generator/shown_sky.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "assets/generator/bytes.h"
#include "assets/sky_pixels.h"

namespace assets::generator {

namespace {

using assets::pixels::kShownSkyHeight;
using assets::pixels::kShownSkyWidth;
using assets::pixels::kSkyColours;

struct ShownSky {
  std::vector<std::uint32_t> palette;  // 0xAARRGGBB
  std::vector<std::uint8_t> pixels;    // indices, kShownSkyWidth a row, rows top to bottom
};

// The shown part of a bitmap as this generator writes the sky (8 bits, uncompressed, rows
// bottom-up); nothing when the file is anything else.
std::optional<ShownSky> CutShownSky(const std::vector<unsigned char>& bmp) {
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
    return std::nullopt;
  }
  ShownSky sky;
  sky.palette.reserve(kSkyColours);
  for (int i = 0; i < kSkyColours; ++i) {
    const std::size_t at = palette + 4 * static_cast<std::size_t>(i);  // blue, green, red, 0
    sky.palette.push_back(0xFF000000U | std::uint32_t{bmp[at + 2]} << 16U |
                          std::uint32_t{bmp[at + 1]} << 8U | bmp[at]);
  }
  sky.pixels.reserve(static_cast<std::size_t>(kShownSkyWidth) * kShownSkyHeight);
  for (int y = 0; y < kShownSkyHeight; ++y) {
    const std::size_t row = pixels + stride * (height - 1 - static_cast<std::size_t>(y));
    for (int x = 0; x < kShownSkyWidth; ++x) {
      sky.pixels.push_back(bmp[row + x]);
    }
  }
  return sky;
}

// The palette eight words a line, the pixels one row of the window a line.
std::string ShownSkySource(const ShownSky& sky) {
  std::string text =
      "// Written by generate_assets from sky.bmp: the part of the sky the main window shows.\n"
      "#include \"assets/sky_pixels.h\"\n\nnamespace assets::pixels {\n\n"
      "extern const std::uint32_t kSkyPalette[] = {";
  char number[32];
  for (std::size_t i = 0; i < sky.palette.size(); ++i) {
    std::snprintf(number, sizeof number, "%s0x%08X,", i % 8 == 0 ? "\n    " : " ",
                  static_cast<unsigned>(sky.palette[i]));
    text += number;
  }
  text += "\n};\n\nextern const std::uint8_t kShownSky[] = {\n";
  auto pixel = sky.pixels.begin();
  for (int y = 0; y < kShownSkyHeight; ++y) {
    for (int x = 0; x < kShownSkyWidth; ++x) {
      std::snprintf(number, sizeof number, "%u,", static_cast<unsigned>(*pixel++));
      text += number;
    }
    text += '\n';
  }
  text += "};\n\n}  // namespace assets::pixels\n";
  return text;
}

}  // namespace

bool WriteShownSky(const std::filesystem::path& bitmap, const std::filesystem::path& path) {
  std::ifstream in(bitmap, std::ios::binary);
  const std::vector<unsigned char> bmp{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  const std::optional<ShownSky> sky = CutShownSky(bmp);
  if (!sky) {
    std::fprintf(stderr, "generate_assets: %s is not the 8-bit sky of %d colours\n",
                 bitmap.string().c_str(), kSkyColours);
    return false;
  }
  return WriteFile(path, ShownSkySource(*sky));
}

}  // namespace assets::generator
