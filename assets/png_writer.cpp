#include "assets/png_writer.h"

#include <zlib.h>

namespace assets::generator {

namespace {

void U32BigEndian(Bytes& out, std::uint32_t v) {
  out.U8(v >> 24);
  out.U8(v >> 16);
  out.U8(v >> 8);
  out.U8(v);
}

void Chunk(Bytes& png, const char* type, const Bytes& body) {
  U32BigEndian(png, static_cast<std::uint32_t>(body.size()));
  Bytes typed;
  for (int i = 0; i < 4; ++i) {
    typed.U8(static_cast<unsigned char>(type[i]));
  }
  typed.Append(body);
  png.Append(typed);
  U32BigEndian(
      png, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data().data()),
                                            static_cast<uInt>(typed.size()))));
}

// PNG keeps colours unpremultiplied.
unsigned Unpremultiply(std::uint32_t channel, std::uint32_t alpha) {
  return alpha == 0 ? 0 : static_cast<unsigned>((channel * 255 + alpha / 2) / alpha);
}

}  // namespace

Bytes Png(int size, const std::vector<std::uint32_t>& pixels) {
  std::vector<Bytef> raw;
  raw.reserve(static_cast<std::size_t>(size) * (4 * static_cast<std::size_t>(size) + 1));
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < size; ++x) {
      const std::uint32_t argb =
          pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                 static_cast<std::size_t>(x)];
      const std::uint32_t alpha = argb >> 24U;
      raw.push_back(static_cast<Bytef>(Unpremultiply((argb >> 16U) & 0xFFU, alpha)));
      raw.push_back(static_cast<Bytef>(Unpremultiply((argb >> 8U) & 0xFFU, alpha)));
      raw.push_back(static_cast<Bytef>(Unpremultiply(argb & 0xFFU, alpha)));
      raw.push_back(static_cast<Bytef>(alpha));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<Bytef> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
      Z_OK) {
    return Bytes();
  }
  Bytes zlib;
  for (uLongf i = 0; i < packedSize; ++i) {
    zlib.U8(packed[i]);
  }

  Bytes header;
  U32BigEndian(header, static_cast<std::uint32_t>(size));
  U32BigEndian(header, static_cast<std::uint32_t>(size));
  header.U8(8);  // bits per channel
  header.U8(6);  // RGBA
  header.U8(0);
  header.U8(0);
  header.U8(0);

  Bytes png;
  for (const unsigned ch : {0x89U, 0x50U, 0x4EU, 0x47U, 0x0DU, 0x0AU, 0x1AU, 0x0AU}) {
    png.U8(ch);
  }
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", Bytes());
  return png;
}

}  // namespace assets::generator
