// PNG files for the Linux desktop, whose icon themes do not take Windows icons. Written without a
// compression library, so that the generator builds wherever the program does.
#pragma once

#include <cstdint>
#include <vector>

#include "assets/generator/bytes.h"

namespace assets::generator {

// A size x size RGBA PNG of premultiplied 0xAARRGGBB words, rows top to bottom.
Bytes Png(int size, const std::vector<std::uint32_t>& pixels);

}  // namespace assets::generator
