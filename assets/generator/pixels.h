// The information icon's pixels written as C++ (icon_pixels.cpp, declared by assets/icon_pixels.h),
// for the program to use as they stand: no picture decoder runs when a window takes its icon.
#pragma once

#include <filesystem>

namespace assets::generator {

// The design's 32 and 16, and the drawing at 24, 48 and 64, as 0xAARRGGBB words.
bool WriteIconPixels(const std::filesystem::path& path);

}  // namespace assets::generator
