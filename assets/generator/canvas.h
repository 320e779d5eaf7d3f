// The design's icons are drawn pixel by pixel on a square canvas of indices into the standard
// 16-colour icon palette, the form the icon files store them in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace assets::generator {

// The 16 colours of the standard icon palette, by index.
enum Colour : std::uint8_t {
  kBlack = 0,
  kMaroon,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kSilver,
  kGrey,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kFuchsia,
  kAqua,
  kWhite,
  kClear = 0xFF  // transparent: masked out
};

inline constexpr std::array<std::array<std::uint8_t, 3>, 16> kIconPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

class Canvas {
 public:
  explicit Canvas(int size)
      : size_(size),
        pixels_(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), kClear) {}
  [[nodiscard]] int size() const { return size_; }
  [[nodiscard]] std::uint8_t At(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
                   static_cast<std::size_t>(x)];
  }
  // Pixels outside the canvas are dropped, so shapes may run over its edge.
  void Set(int x, int y, std::uint8_t c) {
    if (x >= 0 && y >= 0 && x < size_ && y < size_) {
      pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
              static_cast<std::size_t>(x)] = c;
    }
  }
  // Inclusive corners.
  void Fill(int x0, int y0, int x1, int y1, std::uint8_t c);
  void Frame(int x0, int y0, int x1, int y1, std::uint8_t c);

 private:
  int size_;
  std::vector<std::uint8_t> pixels_;
};

// A design icon's pixels as 0xAARRGGBB words, rows top to bottom; a masked-out pixel is fully
// transparent black, as premultiplied alpha wants it.
std::vector<std::uint32_t> Argb(const Canvas& c);

// One colour channel of a premultiplied pixel as files keep it, divided by the pixel's alpha.
std::uint8_t Unpremultiply(std::uint32_t channel, std::uint32_t alpha);

}  // namespace assets::generator
