#include "assets/generator/ico_file.h"

#include <cstddef>
#include <cstdint>

namespace assets::generator {

namespace {

// The image's header and its palette, blue-green-red as the format stores colours.
void AppendHeader(Bytes& out, int size, int colourStride, int maskStride) {
  out.U32(40);
  out.U32(static_cast<std::uint32_t>(size));
  out.U32(static_cast<std::uint32_t>(size * 2));  // colour bits and mask together
  out.U16(1);
  out.U16(4);
  out.U32(0);
  out.U32(static_cast<std::uint32_t>((colourStride + maskStride) * size));
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  for (const auto& rgb : kIconPalette) {
    out.U8(rgb[2]);
    out.U8(rgb[1]);
    out.U8(rgb[0]);
    out.U8(0);
  }
}

// Two pixels a byte, rows bottom-up; a masked-out pixel is colour 0 under its mask bit.
void AppendColourBits(Bytes& out, const Canvas& c, int colourStride) {
  const int size = c.size();
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < colourStride * 2; x += 2) {
      const auto index = [&](int px) -> unsigned {
        const std::uint8_t v = px < size ? c.At(px, y) : std::uint8_t{kClear};
        return v == kClear ? 0 : v;
      };
      out.U8((index(x) << 4) | index(x + 1));
    }
  }
}

// One bit a pixel, rows bottom-up, set where the pixel is transparent.
void AppendMask(Bytes& out, const Canvas& c, int maskStride) {
  const int size = c.size();
  for (int y = size - 1; y >= 0; --y) {
    for (int byte = 0; byte < maskStride; ++byte) {
      unsigned bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        if (x >= size || c.At(x, y) == kClear) {
          bits |= 0x80U >> bit;
        }
      }
      out.U8(bits);
    }
  }
}

// One icon image: header, palette, the colour bits and the transparency mask.
Bytes IconImage(const Canvas& c) {
  const int size = c.size();
  const int colourStride = ((size * 4 + 31) / 32) * 4;
  const int maskStride = ((size + 31) / 32) * 4;
  Bytes out;
  AppendHeader(out, size, colourStride, maskStride);
  AppendColourBits(out, c, colourStride);
  AppendMask(out, c, maskStride);
  return out;
}

}  // namespace

Bytes IconFile(const std::vector<Canvas>& images) {
  std::vector<Bytes> bodies;
  bodies.reserve(images.size());
  for (const Canvas& c : images) {
    bodies.push_back(IconImage(c));
  }
  Bytes out;
  out.U16(0);
  out.U16(1);  // icon
  out.U16(static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.U8(static_cast<unsigned>(images[i].size()));
    out.U8(static_cast<unsigned>(images[i].size()));
    out.U8(16);
    out.U8(0);
    out.U16(1);
    out.U16(4);
    out.U32(static_cast<std::uint32_t>(bodies[i].size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const Bytes& body : bodies) {
    out.Append(body);
  }
  return out;
}

}  // namespace assets::generator
