// The part of the sky the main window shows, compiled into the program (cut from sky.bmp by
// generate_assets): rows top to bottom, each byte an index into the palette of 0xAARRGGBB words, so
// Qt draws it as it stands, with no picture decoder run and no copy made.
#pragma once

#include <cstdint>

namespace assets::pixels {

// The main window's client area, 6195 x 4110 twips at 15 twips a pixel, from the sky's top-left
// corner.
inline constexpr int kShownSkyWidth = 413;
inline constexpr int kShownSkyHeight = 274;
inline constexpr int kSkyColours = 65;
extern const std::uint32_t kSkyPalette[kSkyColours];
extern const std::uint8_t kShownSky[kShownSkyWidth * kShownSkyHeight];

}  // namespace assets::pixels
