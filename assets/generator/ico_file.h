// Windows icon files (.ico), as the Windows resource script and the program's window classes take
// them: the design's 16-colour images, each with its transparency mask, and larger drawings in 32
// bits with alpha for shortcuts and the list of installed programs.
#pragma once

#include <cstdint>
#include <vector>

#include "assets/generator/bytes.h"
#include "assets/generator/canvas.h"

namespace assets::generator {

// One image of an icon file as its directory entry describes it, and its bytes.
struct IconImage {
  int size = 0;
  int colours = 0;  // 16 for the design's images, 0 where there is no palette
  int bitsPerPixel = 0;
  Bytes body;
};

// A design canvas in 16 colours with its mask.
IconImage PaletteImage(const Canvas& c);
// A drawing (size x size premultiplied 0xAARRGGBB words, rows top to bottom) in 32 bits with
// alpha; at 256 pixels as PNG, which is how Windows keeps its largest icons small.
IconImage AlphaImage(int size, const std::vector<std::uint32_t>& pixels);

// The whole file: the directory, then the images in the order given.
Bytes IconFile(const std::vector<IconImage>& images);
// The design's canvases alone, each in 16 colours.
Bytes IconFile(const std::vector<Canvas>& images);

}  // namespace assets::generator
