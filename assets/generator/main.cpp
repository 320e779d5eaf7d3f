// Draws the program's three pictures and writes them as Windows files: the sky background (8-bit
// bitmap, 65 colours), the information icon and the computer icon (16-colour icons, 32x32 and 16x16
// with masks). Deterministic: the same build writes the same bytes, so the files in the repository
// can be checked against a fresh run. Usage: generate_assets <output-directory>. At build time it
// also writes what the program is built with and installs: the icon's pixels, its PNGs at each size
// and SVG for icon themes, and the part of the committed sky that the main window shows (see
// main()).
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

#include "assets/generator/bytes.h"
#include "assets/generator/canvas.h"
#include "assets/generator/ico_file.h"
#include "assets/generator/icons.h"
#include "assets/generator/png_writer.h"
#include "assets/generator/sky_painter.h"
#include "assets/information_drawing.h"
#include "assets/sky_pixels.h"

namespace {

using assets::generator::Argb;
using assets::generator::Bytes;
using assets::generator::ComputerIcon;
using assets::generator::IconFile;
using assets::generator::InformationIcon;
using assets::generator::SkyBitmap;
using assets::generator::WriteFile;

constexpr int kSkyColours = assets::pixels::kSkyColours;

// The icon's pixels written as C++ for the program to use as they stand: no picture decoder runs
// when a window takes its icon.
std::string PixelArray(const char* name, const std::vector<std::uint32_t>& words, int size) {
  std::string out = "extern const std::uint32_t " + std::string(name) + "[] = {";
  char word[16];
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i % static_cast<std::size_t>(size) == 0) {
      out += "\n   ";
    }
    std::snprintf(word, sizeof word, " 0x%08X,", static_cast<unsigned>(words[i]));
    out += word;
  }
  return out + "\n};\n";
}

bool WritePixels(const std::filesystem::path& path) {
  const std::string text =
      "// Written by generate_assets: the information icon's pixels, 0xAARRGGBB.\n"
      "#include \"assets/icon_pixels.h\"\n\nnamespace assets::pixels {\n\n" +
      PixelArray("kInformation32", Argb(InformationIcon(32)), 32) + "\n" +
      PixelArray("kInformation16", Argb(InformationIcon(16)), 16) + "\n" +
      PixelArray("kInformation24", assets::drawing::InformationIcon(24), 24) + "\n" +
      PixelArray("kInformation48", assets::drawing::InformationIcon(48), 48) + "\n" +
      PixelArray("kInformation64", assets::drawing::InformationIcon(64), 64) +
      "\n}  // namespace assets::pixels\n";
  return WriteFile(path, text);
}

// The icon theme's picture at one size: the design's own at 16 and 32, the drawing elsewhere.
std::vector<std::uint32_t> ThemeIcon(int size) {
  if (size == 16 || size == 32) {
    return Argb(InformationIcon(size));
  }
  return assets::drawing::InformationIcon(size);
}

// The scalable icon: the same shapes in the design's 32-unit grid. The lit edge is the disc minus
// a copy of it moved to the lower right.
constexpr char kInformationSvg[] =
    R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <defs>
    <clipPath id="inside">
      <circle cx="16" cy="16" r="14.55"/>
    </clipPath>
  </defs>
  <circle cx="16" cy="16" r="15.75" fill="#000000"/>
  <circle cx="16" cy="16" r="14.55" fill="#0000ff"/>
  <circle cx="17.6" cy="17.6" r="14.55" fill="#000080" clip-path="url(#inside)"/>
  <circle cx="16" cy="7" r="2.1" fill="#ffffff"/>
  <path d="M12 11h6v2h-6zM14 13h4v12h-4zM12 25h8v2h-8z" fill="#ffffff"/>
</svg>
)svg";

// information-<size>.png at every size the icon is offered in, information.svg, and the pixels of
// the design's two sizes as C++.
bool WriteProgramIcons(const std::filesystem::path& dir) {
  for (const int size : assets::drawing::kInformationSizes) {
    const Bytes png = assets::generator::Png(size, ThemeIcon(size));
    if (png.size() == 0 ||
        !WriteFile(dir / ("information-" + std::to_string(size) + ".png"), png)) {
      return false;
    }
  }
  return WriteFile(dir / "information.svg", std::string_view(kInformationSvg)) &&
         WritePixels(dir / "icon_pixels.cpp");
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
// generate_assets --program-icons <dir>: the information icon for desktop icon themes, as PNG at
// each size and as SVG, and as pixels for the program (icon_pixels.cpp).
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
    ok = WriteProgramIcons(dir);
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
