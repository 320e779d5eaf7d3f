// A value label of the Win32 main window: shows a caption the computer reported so that it is never
// cut off (drawn smaller, then elided, with the whole text as its tool tip) and stays readable over
// the sky. The label keeps the whole caption as its window text, which the report reads back; the
// window draws it (the label is owner-drawn) as fitted here.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "ui/main/main_layout.h"
#include "ui/main/win32/gdi.h"

namespace mainwindow {

class Sky;

// The window's dialog face in every size a caption may be drawn in, each made when first needed.
class DialogFonts {
 public:
  // The window's own size, as a dialog without a font of its own gets.
  static constexpr double kPointSize = 8.0;

  explicit DialogFonts(int dpi) : dpi_(dpi) {}
  HFONT At(double pointSize);

 private:
  int dpi_;
  std::map<int, GdiObject<HFONT>> fonts_;  // by half points
};

// The tool tips that show shortened captions whole: one tool tip control for the labels' window,
// made when the first caption is shortened.
class CaptionTips {
 public:
  // The label's tip shows the text, from now on.
  void Show(HWND label, const std::string& text);
  // The label has no tip any more.
  void Remove(HWND label);

 private:
  HWND tips_ = nullptr;  // owned by the labels' window, and destroyed with it
};

class CaptionLabel {
 public:
  void Attach(HWND label, const mainlayout::Control& control);

  // Sets the caption as the label's text and fits it to the label's width.
  void SetWhole(const std::string& whole, DialogFonts& fonts, CaptionTips& tips);
  // What the label draws: the whole caption, or its start and an ellipsis.
  [[nodiscard]] const std::string& Shown() const { return shown_; }
  // Picks the text colour anew: the design's fixed one, else the system's where it stands out from
  // every pixel of the sky under the label, else black.
  void UseTextColour(COLORREF system, const Sky& sky);
  // Fills the label with the sky behind it, then draws the fitted caption.
  void Draw(const DRAWITEMSTRUCT& item, HBRUSH behind) const;

 private:
  HWND hwnd_ = nullptr;
  const mainlayout::Control* control_ = nullptr;
  std::string whole_;
  std::string shown_;
  HFONT font_ = nullptr;
  bool shortened_ = false;
  COLORREF ink_ = RGB(0, 0, 0);
};

}  // namespace mainwindow
