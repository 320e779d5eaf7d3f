// The rules both windows draw a value caption by, without a toolkit: the size it is drawn in, half
// a point at a time down to 6 points before it is elided, and its colour, kept only where it
// stands out from every pixel of the picture under it.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "ui/main/caption_fit.h"
#include "ui/main/readable_colour.h"

namespace {

using mainlayout::Rgb;
using mainwindow::CaptionFit;
using mainwindow::FitCaption;

// ---- the size ----

struct FitCase {
  const char* what;
  double windowSize;
  int width;
  CaptionFit expected;
  std::vector<double> asked;  // the sizes measured, in order
};

void PrintTo(const FitCase& c, std::ostream* os) {
  *os << c.what;
}

class Fit : public ::testing::TestWithParam<FitCase> {};

// A caption ten characters long, each as wide as its size in points (or in pixels).
TEST_P(Fit, StepsDownHalfAPointAtATimeThenElidesAtTheSmallestSize) {
  const FitCase& c = GetParam();
  std::vector<double> asked;
  const CaptionFit fit = FitCaption(c.windowSize, c.width, [&](double size) {
    asked.push_back(size);
    return static_cast<int>(std::abs(size) * 10);
  });
  EXPECT_DOUBLE_EQ(fit.pointSize, c.expected.pointSize);
  EXPECT_EQ(fit.shortened, c.expected.shortened);
  EXPECT_EQ(fit.elided, c.expected.elided);
  EXPECT_EQ(asked, c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    CaptionFit, Fit,
    ::testing::Values(
        FitCase{"fits in the window's size", 8, 80, {8, false, false}, {8}},
        FitCase{"a nine-digit figure, one step smaller", 8, 79, {7.5, true, false}, {8, 7.5}},
        FitCase{"fits only at the smallest size", 8, 60, {6, true, false}, {8, 7.5, 7, 6.5, 6}},
        FitCase{"too wide even at 6 points", 8, 59, {6, true, true}, {8, 7.5, 7, 6.5, 6}},
        // A window font below the smallest size is not made larger to elide.
        FitCase{"a window font smaller than 6 points", 5, 40, {5, true, true}, {5}},
        // A face sized in pixels has no points to step down in.
        FitCase{"a face sized in pixels", -1, 9, {-1, true, true}, {-1}}));

// ---- the colour ----

TEST(ReadableColour, LuminanceAndContrastAreTheAccessibilityGuidelinesOnes) {
  EXPECT_DOUBLE_EQ(mainwindow::RelativeLuminance({0, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(mainwindow::RelativeLuminance({255, 255, 255}), 1.0);
  EXPECT_NEAR(mainwindow::RelativeLuminance({0, 0, 255}), 0.0722, 1e-12);
  EXPECT_NEAR(mainwindow::RelativeLuminance({128, 128, 128}), 0.2158605, 1e-6);
  EXPECT_DOUBLE_EQ(mainwindow::ContrastRatio(0.0, 1.0), 21.0);
  EXPECT_DOUBLE_EQ(mainwindow::ContrastRatio(1.0, 0.0), 21.0);
  EXPECT_DOUBLE_EQ(mainwindow::ContrastRatio(0.3, 0.3), 1.0);
}

// A bottom-up picture of 3 x 2 pixels, each row padded to 4 bytes as in a Windows bitmap: the top
// row white, sky blue and an index beyond the palette, the bottom row black, black, white.
TEST(ReadableColour, TheLuminancesUnderAnAreaAreReadFromThePalettesIndicesClippedToThePicture) {
  const std::array<Rgb, 3> palette{{{255, 255, 255}, {0, 0, 0}, {135, 206, 235}}};
  const std::array<std::uint8_t, 8> stored{1, 1, 0, 0, /* top row: */ 0, 2, 7, 0};
  const mainwindow::IndexedPixels picture{stored.data() + 4, -4, 3, 2, palette};
  const double sky = mainwindow::RelativeLuminance(palette[2]);

  const auto topRow = mainwindow::LuminanceUnder(picture, {1, 0, 5, 1});
  EXPECT_DOUBLE_EQ(topRow.darkest, sky) << "the index beyond the palette is no colour";
  EXPECT_DOUBLE_EQ(topRow.lightest, sky) << "clipped at the right edge";

  const auto all = mainwindow::LuminanceUnder(picture, {-2, -2, 10, 10});
  EXPECT_DOUBLE_EQ(all.darkest, 0.0);
  EXPECT_DOUBLE_EQ(all.lightest, 1.0);

  const auto outside = mainwindow::LuminanceUnder(picture, {3, 0, 2, 2});
  EXPECT_GT(outside.darkest, outside.lightest) << "no pixel";
}

TEST(ReadableColour, AColourIsKeptOnlyWhereItStandsOutFromEveryPixelElseBlack) {
  const Rgb white{255, 255, 255};
  const Rgb darkGrey{51, 51, 51};
  mainwindow::LuminanceRange clouds;  // light clouds only
  clouds.Include(0.7);
  clouds.Include(0.95);
  EXPECT_EQ(mainwindow::ReadableTextColour(darkGrey, clouds), darkGrey);
  EXPECT_EQ(mainwindow::ReadableTextColour(white, clouds), mainwindow::kBlack);

  mainwindow::LuminanceRange deepSky;  // a deep blue only
  deepSky.Include(0.02);
  EXPECT_EQ(mainwindow::ReadableTextColour(white, deepSky), white);

  mainwindow::LuminanceRange both = clouds;  // white over the blue, and the clouds beside it
  both.Include(0.02);
  EXPECT_EQ(mainwindow::ReadableTextColour(white, both), mainwindow::kBlack);
  // A colour with the luminance of some pixel under it has no contrast there at all.
  EXPECT_DOUBLE_EQ(mainwindow::LeastContrast({128, 128, 128}, both), 1.0);
}

}  // namespace
