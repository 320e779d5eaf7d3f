#include "assets/generator/theme_icons.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "assets/generator/bytes.h"
#include "assets/generator/canvas.h"
#include "assets/generator/icons.h"
#include "assets/generator/png_writer.h"
#include "assets/information_drawing.h"

namespace assets::generator {

namespace {

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

}  // namespace

bool WriteThemeIcons(const std::filesystem::path& dir) {
  for (const int size : assets::drawing::kInformationSizes) {
    const Bytes png = Png(size, ThemeIcon(size));
    if (png.size() == 0 ||
        !WriteFile(dir / ("information-" + std::to_string(size) + ".png"), png)) {
      return false;
    }
  }
  return WriteFile(dir / "information.svg", std::string_view(kInformationSvg));
}

}  // namespace assets::generator
