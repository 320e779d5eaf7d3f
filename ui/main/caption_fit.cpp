#include "ui/main/caption_fit.h"

#include <algorithm>

namespace mainwindow {

CaptionFit FitCaption(double pointSize, int width, const CaptionAdvance& advance) {
  if (advance(pointSize) <= width) {
    return {pointSize, false, false};
  }
  // A face sized in pixels has no points to step down in.
  for (double smaller = pointSize - kPointStep; pointSize > 0 && smaller >= kSmallestPointSize;
       smaller -= kPointStep) {
    if (advance(smaller) <= width) {
      return {smaller, true, false};
    }
  }
  return {pointSize > 0 ? std::min(pointSize, kSmallestPointSize) : pointSize, true, true};
}

}  // namespace mainwindow
