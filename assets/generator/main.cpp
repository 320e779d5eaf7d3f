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
#include "assets/generator/png_writer.h"
#include "assets/generator/sky_painter.h"
#include "assets/information_drawing.h"
#include "assets/sky_pixels.h"

namespace {

using assets::generator::Bytes;
using assets::generator::SkyBitmap;
using assets::generator::WriteFile;

constexpr int kSkyColours = assets::pixels::kSkyColours;

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

// A design icon's pixels as 0xAARRGGBB words, rows top to bottom; a masked-out pixel is fully
// transparent black, as premultiplied alpha wants it.
std::vector<std::uint32_t> Argb(const Canvas& c) {
  std::vector<std::uint32_t> words;
  words.reserve(static_cast<std::size_t>(c.size()) * static_cast<std::size_t>(c.size()));
  for (int y = 0; y < c.size(); ++y) {
    for (int x = 0; x < c.size(); ++x) {
      const std::uint8_t index = c.At(x, y);
      std::uint32_t argb = 0;
      if (index != kClear) {
        const auto& rgb = kIconPalette[index];
        argb = 0xFF000000U | std::uint32_t{rgb[0]} << 16U | std::uint32_t{rgb[1]} << 8U | rgb[2];
      }
      words.push_back(argb);
    }
  }
  return words;
}

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
