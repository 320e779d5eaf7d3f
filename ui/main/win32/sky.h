// The sky picture behind the Win32 main window: the part of it that shows, converted once to the
// screen's format, and for each label and the picture the piece of it behind that control, as a
// brush the control fills its own rectangle with before it draws, so that a shorter caption leaves
// nothing of a longer one. It also tells how light and dark the sky is under a label, for the
// colour of the label's text.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/main/main_layout.h"
#include "ui/main/readable_colour.h"
#include "ui/main/win32/gdi.h"

namespace mainwindow {

class Sky {
 public:
  // The picture from `resources`, for the design's client area and controls at `dpi`.
  Sky(HINSTANCE resources, int dpi);

  // Covers dc from its top-left corner with the sky, at the picture's own size.
  void Paint(HDC dc, int width, int height) const;
  // The sky behind the control, as a brush aligned to the control's own corner; the dialog colour
  // where there is no picture.
  [[nodiscard]] HBRUSH Behind(mainlayout::Id id) const;
  // The luminances of what the window shows inside the area of its client area: the picture's
  // pixels, and the dialog colour where the area reaches past the picture.
  [[nodiscard]] LuminanceRange LuminanceUnder(const RECT& area) const;

 private:
  void ReadPixels(HINSTANCE resources);

  // The picture's own pixels, read in place from the resource; none where the resource is not a
  // picture of 8-bit palette indices.
  const std::uint8_t* top_ = nullptr;
  std::ptrdiff_t stride_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::vector<mainlayout::Rgb> palette_;

  GdiObject<HBITMAP> shown_;
  // One small brush per control, because a brush of the whole sky is converted again for every
  // control that paints with it.
  std::array<GdiObject<HBITMAP>, mainlayout::kControls.size()> pictures_;
  std::array<GdiObject<HBRUSH>, mainlayout::kControls.size()> brushes_;
};

}  // namespace mainwindow
