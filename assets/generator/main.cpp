// Draws the program's pictures and writes them as Windows files: the sky background (8-bit bitmap,
// 65 colours), the information icon and the computer icon (16-colour icons, 32x32 and 16x16 with
// masks), and the Windows program file's icon (the information icon's two design images, then the
// drawing at 48, 64 and 256 pixels with alpha). Deterministic: the same build writes the same
// bytes, so the files in the repository can be checked against a fresh run. At build time it also
// writes what the program is built with and installs: the icon's pixels, its PNGs at each size and
// SVG for icon themes, and the part of the committed sky that the main window shows.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "assets/generator/bytes.h"
#include "assets/generator/ico_file.h"
#include "assets/generator/icons.h"
#include "assets/generator/pixels.h"
#include "assets/generator/shown_sky.h"
#include "assets/generator/sky_painter.h"
#include "assets/generator/theme_icons.h"
#include "assets/information_drawing.h"

namespace {

using assets::generator::AlphaImage;
using assets::generator::Bytes;
using assets::generator::ComputerIcon;
using assets::generator::IconFile;
using assets::generator::InformationIcon;
using assets::generator::PaletteImage;
using assets::generator::SkyBitmap;
using assets::generator::WriteFile;

// The program file's icon: the design's 32 and 16 pixels as they are, so that the window and its
// title bar show the design, and the drawing at the sizes Windows shows shortcuts, the Start menu
// and the list of installed programs in.
Bytes ProgramIcon() {
  std::vector<assets::generator::IconImage> images{PaletteImage(InformationIcon(32)),
                                                   PaletteImage(InformationIcon(16))};
  for (const int size : {48, 64, 256}) {
    images.push_back(AlphaImage(size, assets::drawing::InformationIcon(size)));
  }
  return IconFile(images);
}

}  // namespace

// generate_assets <dir>: the program's pictures.
// generate_assets --program-icons <dir>: the information icon for desktop icon themes, as PNG at
// each size and as SVG, and as pixels for the program (icon_pixels.cpp).
// generate_assets --shown-sky <sky.bmp> <file.cpp>: the part of the sky the main window shows.
int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--shown-sky") {
    return assets::generator::WriteShownSky(argv[2], argv[3]) ? 0 : 1;
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
    ok = assets::generator::WriteThemeIcons(dir) &&
         assets::generator::WriteIconPixels(dir / "icon_pixels.cpp");
  } else {
    ok = WriteFile(dir / "sky.bmp", SkyBitmap()) &&
         WriteFile(dir / "information.ico", IconFile({InformationIcon(32), InformationIcon(16)})) &&
         WriteFile(dir / "computer.ico", IconFile({ComputerIcon(32), ComputerIcon(16)})) &&
         WriteFile(dir / "program.ico", ProgramIcon());
  }
  if (!ok) {
    std::fprintf(stderr, "%s: cannot write the pictures into %s\n", argv[0], argv[argc - 1]);
    return 1;
  }
  return 0;
}
