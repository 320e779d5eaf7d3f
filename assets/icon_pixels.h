// The information icon compiled into the program as pixels (drawn by generate_assets): each word
// is 0xAARRGGBB, rows top to bottom, so Qt can use them as they stand.
#pragma once

#include <cstdint>

namespace assets::pixels {

inline constexpr int kInformationLarge = 32;
inline constexpr int kInformationSmall = 16;
extern const std::uint32_t kInformation32[kInformationLarge * kInformationLarge];
extern const std::uint32_t kInformation16[kInformationSmall * kInformationSmall];
// The drawing at the other sizes a window's icon is sent in, drawn when the program is built
// rather than at every start.
extern const std::uint32_t kInformation24[24 * 24];
extern const std::uint32_t kInformation48[48 * 48];
extern const std::uint32_t kInformation64[64 * 64];

}  // namespace assets::pixels
