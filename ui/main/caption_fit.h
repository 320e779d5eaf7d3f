// How a value caption fits its label: in the window's font size where it fits, else in a smaller
// size of the same face, half a point at a time down to 6 points, else at the smallest size and cut
// at its end with an ellipsis. Both windows decide it here and measure with their own text system.
#pragma once

#include <functional>

namespace mainwindow {

inline constexpr double kSmallestPointSize = 6.0;
inline constexpr double kPointStep = 0.5;

struct CaptionFit {
  // The size to draw the caption in; a face sized in pixels (no points) keeps its size.
  double pointSize = 0;
  // Drawn smaller than the window's size, or elided: the whole text is then shown elsewhere.
  bool shortened = false;
  // Too wide even at the smallest size: only its start is drawn, with an ellipsis.
  bool elided = false;
};

// The caption's width at a size in points, in the units of the label's width.
using CaptionAdvance = std::function<int(double pointSize)>;

CaptionFit FitCaption(double pointSize, int width, const CaptionAdvance& advance);

}  // namespace mainwindow
