#include "assets/generator/canvas.h"

#include <algorithm>

namespace assets::generator {

void Canvas::Fill(int x0, int y0, int x1, int y1, std::uint8_t c) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      Set(x, y, c);
    }
  }
}

void Canvas::Frame(int x0, int y0, int x1, int y1, std::uint8_t c) {
  Fill(x0, y0, x1, y0, c);
  Fill(x0, y1, x1, y1, c);
  Fill(x0, y0, x0, y1, c);
  Fill(x1, y0, x1, y1, c);
}

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

std::uint8_t Unpremultiply(std::uint32_t channel, std::uint32_t alpha) {
  return static_cast<std::uint8_t>(
      alpha == 0 ? 0 : std::min(255U, (channel * 255 + alpha / 2) / alpha));
}

}  // namespace assets::generator
