// The part of the sky the main window shows, cut from the committed sky.bmp and written as C++
// (sky_pixels.cpp, declared by assets/sky_pixels.h), so the window draws it with no decoder.
#pragma once

#include <filesystem>

namespace assets::generator {

// Reads the bitmap at `bitmap` and writes the top-left part the window shows to `path`: the
// palette as 0xAARRGGBB words and the pixels as palette indices, rows top to bottom. Says on
// standard error why when the bitmap is not the sky this generator writes.
bool WriteShownSky(const std::filesystem::path& bitmap, const std::filesystem::path& path);

}  // namespace assets::generator
