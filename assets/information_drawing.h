// The information icon drawn at any size: a white letter i on a dark blue disc with a dark rim and
// a lit upper-left edge, the design's 32-pixel icon traced as shapes. Plain C++ shared by the asset
// generator (the icon theme's pictures) and the program (the window icon's larger sizes), so both
// show the same drawing.
#pragma once

#include <cstdint>
#include <vector>

namespace assets::drawing {

// The sizes the icon is offered in; 16 and 32 are the design's own 16-colour pictures.
inline constexpr int kInformationSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon at size x size pixels as premultiplied 0xAARRGGBB words, rows top to bottom: round
// edges smoothed, the letter's straight edges on whole pixels.
std::vector<std::uint32_t> InformationIcon(int size);

}  // namespace assets::drawing
