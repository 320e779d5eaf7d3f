#include "assets/generator/ico_file.h"

#include <cstddef>
#include <cstdint>

#include "assets/generator/png_writer.h"

namespace assets::generator {

namespace {

// The image's bitmap header: its height counts the colour bits and the mask together.
void AppendBitmapHeader(Bytes& out, int size, int bitsPerPixel, int colourStride, int maskStride) {
  out.U32(40);
  out.U32(static_cast<std::uint32_t>(size));
  out.U32(static_cast<std::uint32_t>(size * 2));
  out.U16(1);
  out.U16(static_cast<unsigned>(bitsPerPixel));
  out.U32(0);
  out.U32(static_cast<std::uint32_t>((colourStride + maskStride) * size));
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U32(0);
}

// The header and the palette, blue-green-red as the format stores colours.
void AppendHeader(Bytes& out, int size, int colourStride, int maskStride) {
  AppendBitmapHeader(out, size, 4, colourStride, maskStride);
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
template <typename Transparent>
void AppendMask(Bytes& out, int size, int maskStride, Transparent transparent) {
  for (int y = size - 1; y >= 0; --y) {
    for (int byte = 0; byte < maskStride; ++byte) {
      unsigned bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        if (x >= size || transparent(x, y)) {
          bits |= 0x80U >> bit;
        }
      }
      out.U8(bits);
    }
  }
}

}  // namespace

IconImage PaletteImage(const Canvas& c) {
  const int size = c.size();
  const int colourStride = ((size * 4 + 31) / 32) * 4;
  const int maskStride = ((size + 31) / 32) * 4;
  IconImage image{size, 16, 4, {}};
  AppendHeader(image.body, size, colourStride, maskStride);
  AppendColourBits(image.body, c, colourStride);
  AppendMask(image.body, size, maskStride, [&c](int x, int y) { return c.At(x, y) == kClear; });
  return image;
}

IconImage AlphaImage(int size, const std::vector<std::uint32_t>& pixels) {
  IconImage image{size, 0, 32, {}};
  if (size >= 256) {
    image.body = Png(size, pixels);
    return image;
  }
  const auto at = [&](int x, int y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                  static_cast<std::size_t>(x)];
  };
  const int maskStride = ((size + 31) / 32) * 4;
  AppendBitmapHeader(image.body, size, 32, size * 4, maskStride);
  // Blue, green, red and alpha, colours unpremultiplied, rows bottom-up.
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const std::uint32_t argb = at(x, y);
      const std::uint32_t alpha = argb >> 24U;
      image.body.U8(Unpremultiply(argb & 0xFFU, alpha));
      image.body.U8(Unpremultiply((argb >> 8U) & 0xFFU, alpha));
      image.body.U8(Unpremultiply((argb >> 16U) & 0xFFU, alpha));
      image.body.U8(alpha);
    }
  }
  // Older readers draw through the mask alone: it leaves out what is wholly transparent.
  AppendMask(image.body, size, maskStride, [&at](int x, int y) { return at(x, y) >> 24U == 0; });
  return image;
}

Bytes IconFile(const std::vector<IconImage>& images) {
  Bytes out;
  out.U16(0);
  out.U16(1);  // icon
  out.U16(static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const IconImage& image : images) {
    // A side of 256 is written as 0: the entry has one byte for it.
    out.U8(static_cast<unsigned>(image.size) & 0xFFU);
    out.U8(static_cast<unsigned>(image.size) & 0xFFU);
    out.U8(static_cast<unsigned>(image.colours));
    out.U8(0);
    out.U16(1);
    out.U16(static_cast<unsigned>(image.bitsPerPixel));
    out.U32(static_cast<std::uint32_t>(image.body.size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(image.body.size());
  }
  for (const IconImage& image : images) {
    out.Append(image.body);
  }
  return out;
}

Bytes IconFile(const std::vector<Canvas>& images) {
  std::vector<IconImage> palette;
  palette.reserve(images.size());
  for (const Canvas& c : images) {
    palette.push_back(PaletteImage(c));
  }
  return IconFile(palette);
}

}  // namespace assets::generator
