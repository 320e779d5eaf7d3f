// The information icon compiled into the program as pixels (drawn by generate_assets): each word
// is 0xAARRGGBB, rows top to bottom, so Qt can use them as they stand.
#pragma once

#include <cstdint>

namespace assets::pixels {

inline constexpr int kInformationLarge = 32;
inline constexpr int kInformationSmall = 16;
extern const std::uint32_t kInformation32[kInformationLarge * kInformationLarge];
extern const std::uint32_t kInformation16[kInformationSmall * kInformationSmall];

}  // namespace assets::pixels
