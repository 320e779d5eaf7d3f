#include "assets/generator/png_writer.h"

#include <algorithm>
#include <array>

#include "assets/generator/canvas.h"

namespace assets::generator {

namespace {

std::uint32_t Crc32(const std::vector<char>& data) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const char ch : data) {
    crc ^= static_cast<std::uint8_t>(ch);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
  }
  return ~crc;
}

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
  U32BigEndian(png, Crc32(typed.data()));
}

// Deflate's bits go out least significant first; its Huffman codes most significant first.
class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : out_(out) {}
  void Bits(std::uint32_t value, int count) {
    pending_ |= value << filled_;
    filled_ += count;
    while (filled_ >= 8) {
      out_.U8(pending_ & 0xFFU);
      pending_ >>= 8U;
      filled_ -= 8;
    }
  }
  void Code(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) {
      reversed = (reversed << 1U) | ((code >> static_cast<unsigned>(i)) & 1U);
    }
    Bits(reversed, length);
  }
  void Flush() {
    if (filled_ > 0) {
      out_.U8(pending_ & 0xFFU);
    }
    pending_ = 0;
    filled_ = 0;
  }

 private:
  Bytes& out_;
  std::uint32_t pending_ = 0;
  int filled_ = 0;
};

// A symbol of deflate's fixed Huffman code.
void Symbol(BitWriter& w, int symbol) {
  const auto s = static_cast<std::uint32_t>(symbol);
  if (symbol < 144) {
    w.Code(0x30U + s, 8);
  } else if (symbol < 256) {
    w.Code(0x190U + s - 144, 9);
  } else if (symbol < 280) {
    w.Code(s - 256, 7);
  } else {
    w.Code(0xC0U + s - 280, 8);
  }
}

// A copy of the byte before, length 3 to 258: the icons are runs of equal pixels, which the
// filter turns into runs of zeros, so this alone compresses them well.
void RepeatPrevious(BitWriter& w, int length) {
  constexpr std::array<int, 29> kBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
  constexpr std::array<int, 29> kExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  std::size_t i = kBase.size() - 1;
  while (kBase[i] > length) {
    --i;
  }
  Symbol(w, 257 + static_cast<int>(i));
  w.Bits(static_cast<std::uint32_t>(length - kBase[i]), kExtra[i]);
  w.Code(0, 5);  // distance 1
}

// A zlib stream of one deflate block with the fixed code.
Bytes Zlib(const std::vector<std::uint8_t>& data) {
  Bytes out;
  out.U8(0x78);
  out.U8(0x01);
  BitWriter w(out);
  w.Bits(1, 1);  // the last block
  w.Bits(1, 2);  // fixed Huffman code
  std::size_t i = 0;
  while (i < data.size()) {
    std::size_t run = 0;
    while (i > 0 && i + run < data.size() && run < 258 && data[i + run] == data[i - 1]) {
      ++run;
    }
    if (run >= 3) {
      RepeatPrevious(w, static_cast<int>(run));
      i += run;
    } else {
      Symbol(w, data[i]);
      ++i;
    }
  }
  Symbol(w, 256);  // end of block
  w.Flush();
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  U32BigEndian(out, (b << 16U) | a);
  return out;
}

}  // namespace

Bytes Png(int size, const std::vector<std::uint32_t>& pixels) {
  const auto side = static_cast<std::size_t>(size);
  const std::size_t stride = 4 * side;
  std::vector<std::uint8_t> rows(side * stride);
  // PNG keeps colours unpremultiplied.
  for (std::size_t i = 0; i < side * side; ++i) {
    const std::uint32_t argb = pixels[i];
    const std::uint32_t alpha = argb >> 24U;
    rows[4 * i] = Unpremultiply((argb >> 16U) & 0xFFU, alpha);
    rows[4 * i + 1] = Unpremultiply((argb >> 8U) & 0xFFU, alpha);
    rows[4 * i + 2] = Unpremultiply(argb & 0xFFU, alpha);
    rows[4 * i + 3] = static_cast<std::uint8_t>(alpha);
  }
  // Each row as the difference from the pixel to its left (filter 1) or from the row above
  // (filter 2), whichever leaves more zeros.
  std::vector<std::uint8_t> filtered;
  filtered.reserve(side * (stride + 1));
  std::vector<std::uint8_t> sub(stride), up(stride);
  for (std::size_t y = 0; y < side; ++y) {
    const std::uint8_t* row = &rows[y * stride];
    for (std::size_t x = 0; x < stride; ++x) {
      sub[x] = static_cast<std::uint8_t>(row[x] - (x >= 4 ? row[x - 4] : 0));
      up[x] = static_cast<std::uint8_t>(row[x] - (y > 0 ? row[x - stride] : 0));
    }
    const bool useUp = std::count(up.begin(), up.end(), 0) > std::count(sub.begin(), sub.end(), 0);
    filtered.push_back(useUp ? 2 : 1);
    const std::vector<std::uint8_t>& chosen = useUp ? up : sub;
    filtered.insert(filtered.end(), chosen.begin(), chosen.end());
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
  Chunk(png, "IDAT", Zlib(filtered));
  Chunk(png, "IEND", Bytes());
  return png;
}

}  // namespace assets::generator
