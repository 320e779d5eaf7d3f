#include "assets/generator/icons.h"

#include <cmath>
#include <cstdint>

namespace assets::generator {

Canvas InformationIcon(int size) {
  Canvas c(size);
  const double centre = (size - 1) / 2.0;
  const double radius = size / 2.0 - 0.5;
  const bool large = size >= 32;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double d = std::hypot(x - centre, y - centre);
      if (d > radius) {
        continue;
      }
      std::uint8_t colour = kNavy;
      if (d > radius - (large ? 1.3 : 1.0)) {
        colour = kBlack;  // a dark rim keeps the disc round on light backgrounds
      } else if (large && d > radius - 3.3 && x + y < size - 6) {
        colour = kBlue;  // a lit edge on the upper left makes it a disc rather than a flat circle
      }
      c.Set(x, y, colour);
    }
  }
  if (large) {
    c.Fill(14, 5, 17, 8, kWhite);  // the dot, with its corners rounded off
    c.Set(14, 5, kNavy);
    c.Set(17, 5, kNavy);
    c.Set(14, 8, kNavy);
    c.Set(17, 8, kNavy);
    c.Fill(12, 11, 17, 12, kWhite);  // the stem with its serifs
    c.Fill(14, 13, 17, 24, kWhite);
    c.Fill(12, 25, 19, 26, kWhite);
  } else {
    c.Fill(7, 2, 8, 3, kWhite);
    c.Fill(6, 5, 8, 5, kWhite);
    c.Fill(7, 6, 8, 11, kWhite);
    c.Fill(6, 12, 9, 12, kWhite);
  }
  return c;
}

Canvas ComputerIcon(int size) {
  Canvas c(size);
  if (size >= 32) {
    // Monitor: a light case around a grey screen, with a glint in its top-left corner.
    c.Fill(5, 1, 26, 17, kSilver);
    c.Frame(5, 1, 26, 17, kBlack);
    c.Fill(6, 16, 25, 16, kGrey);
    c.Fill(25, 2, 25, 16, kGrey);
    c.Fill(8, 3, 23, 14, kGrey);
    c.Frame(8, 3, 23, 14, kBlack);
    c.Fill(9, 4, 12, 4, kSilver);
    c.Fill(9, 5, 10, 5, kSilver);
    // Its foot.
    c.Fill(12, 18, 19, 19, kGrey);
    c.Frame(11, 18, 20, 19, kBlack);
    // System unit: a desktop case with a drive slot and a green lamp.
    c.Fill(2, 20, 29, 25, kSilver);
    c.Frame(2, 20, 29, 25, kBlack);
    c.Fill(3, 24, 28, 24, kGrey);
    c.Fill(17, 22, 26, 22, kBlack);
    c.Set(5, 22, kLime);
    c.Set(7, 22, kGreen);
    // Keyboard, seen from above at a slant, with rows of keys.
    for (int row = 0; row < 5; ++row) {
      const int y = 26 + row;
      const int inset = 4 - row;
      c.Fill(1 + inset, y, 30 - inset, y, kSilver);
      c.Set(1 + inset, y, kBlack);
      c.Set(30 - inset, y, kBlack);
    }
    c.Fill(1, 31, 30, 31, kBlack);
    for (int x = 7; x <= 24; x += 2) {
      c.Set(x, 27, kGrey);
      c.Set(x - 1, 29, kGrey);
    }
    c.Fill(11, 30, 20, 30, kGrey);
  } else {
    c.Fill(2, 0, 13, 8, kSilver);
    c.Frame(2, 0, 13, 8, kBlack);
    c.Fill(4, 2, 11, 6, kGrey);
    c.Frame(4, 2, 11, 6, kBlack);
    c.Set(5, 3, kSilver);
    c.Fill(6, 9, 9, 9, kBlack);
    c.Fill(1, 10, 14, 12, kSilver);
    c.Frame(1, 10, 14, 12, kBlack);
    c.Fill(9, 11, 12, 11, kBlack);
    c.Set(3, 11, kLime);
    c.Fill(1, 13, 14, 14, kSilver);
    c.Set(1, 13, kBlack);
    c.Set(14, 13, kBlack);
    c.Fill(4, 13, 11, 13, kGrey);
    c.Fill(0, 15, 15, 15, kBlack);
  }
  return c;
}

}  // namespace assets::generator
