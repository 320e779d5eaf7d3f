#include "assets/generator/pixels.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/generator/bytes.h"
#include "assets/generator/canvas.h"
#include "assets/generator/icons.h"
#include "assets/information_drawing.h"

namespace assets::generator {

namespace {

// One array, a row of the icon to a line.
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

}  // namespace

bool WriteIconPixels(const std::filesystem::path& path) {
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

}  // namespace assets::generator
