#include "ui/main/win32/caption_label.h"

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "ui/main/caption_fit.h"
#include "ui/main/readable_colour.h"
#include "ui/main/win32/sky.h"

namespace mainwindow {
namespace {

int Advance(HDC dc, const std::string& text) {
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The ellipsis in the ANSI code page the captions come in, or three full stops where the code page
// has none.
std::string Ellipsis() {
  if (::GetACP() == CP_UTF8) {
    return "\xE2\x80\xA6";
  }
  const wchar_t ellipsis = L'\u2026';
  char bytes[8] = {};
  BOOL substituted = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &ellipsis, 1, bytes,
                                           sizeof bytes, nullptr, &substituted);
  return length > 0 && !substituted ? std::string(bytes, static_cast<std::size_t>(length)) : "...";
}

// The longest start of the caption that fits the width with the ellipsis after it, cut between
// two characters of the code page (a double-byte character stays whole).
std::string Elided(HDC dc, const std::string& whole, int width) {
  const std::string ellipsis = Ellipsis();
  std::string shown = ellipsis;
  const char* start = whole.c_str();
  for (const char* end = start; *end != '\0';) {
    const char* next = ::CharNextA(end);
    if (next == end) {
      break;
    }
    std::string longer = std::string(start, next) + ellipsis;
    if (Advance(dc, longer) > width) {
      break;
    }
    shown = std::move(longer);
    end = next;
  }
  return shown;
}

COLORREF Colour(mainlayout::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

mainlayout::Rgb RgbOf(COLORREF colour) {
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// The tip's record of one label: the label is the tool, and the window under it its owner.
TOOLINFOA ToolOf(HWND label) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = ::GetParent(label);
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  return tool;
}

}  // namespace

HFONT DialogFonts::At(double pointSize) {
  const int halfPoints = static_cast<int>(std::lround(pointSize * 2));
  GdiObject<HFONT>& font = fonts_[halfPoints];
  if (!font) {
    LOGFONTA face{};
    face.lfHeight = -::MulDiv(halfPoints, dpi_, 144);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(face.lfFaceName, "MS Shell Dlg 2", LF_FACESIZE);
    font.reset(::CreateFontIndirectA(&face));
  }
  return font.get();
}

void CaptionTips::Show(HWND label, const std::string& text) {
  if (!tips_) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // A caption is shown as typed: an '&' is a character, not an access key.
    tips_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, ::GetParent(label), nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    if (!tips_) {
      return;
    }
  }
  TOOLINFOA tool = ToolOf(label);
  const bool known =
      ::SendMessageA(tips_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  // The tip watches the label's mouse messages itself.
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.lpszText = const_cast<char*>(text.c_str());
  // A tip on the screen takes the new text in place.
  ::SendMessageA(tips_, known ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

void CaptionTips::Remove(HWND label) {
  if (!tips_) {
    return;
  }
  TOOLINFOA tool = ToolOf(label);
  ::SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CaptionLabel::Attach(HWND label, const mainlayout::Control& control) {
  hwnd_ = label;
  control_ = &control;
}

void CaptionLabel::SetWhole(const std::string& whole, DialogFonts& fonts, CaptionTips& tips) {
  // The window text ends at a NUL; so do the drawing and the tip.
  const std::string text = whole.c_str();
  // The timer rewrites the memory figures every tick, mostly with the same text: nothing to fit or
  // draw again.
  if (!hwnd_ || (font_ && text == whole_)) {
    return;
  }
  whole_ = text;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  HDC dc = ::GetDC(hwnd_);
  const CaptionFit fit = FitCaption(DialogFonts::kPointSize, client.right, [&](double pointSize) {
    const Selection font(dc, fonts.At(pointSize));
    return Advance(dc, text);
  });
  font_ = fonts.At(fit.pointSize);
  if (fit.elided) {
    const Selection font(dc, font_);
    shown_ = Elided(dc, text, client.right);
  } else {
    shown_ = text;
  }
  ::ReleaseDC(hwnd_, dc);
  // The label's font is the one it is drawn in, for anyone who asks it.
  ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // The label repaints itself, its whole rectangle filled with the sky behind it first.
  ::SetWindowTextA(hwnd_, text.c_str());
  // Its name for assistive technology carries the value (see accessibility.h).
  ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
  if (fit.shortened) {
    tips.Show(hwnd_, text);
  } else if (shortened_) {
    tips.Remove(hwnd_);
  }
  shortened_ = fit.shortened;
}

void CaptionLabel::UseTextColour(COLORREF system, const Sky& sky) {
  COLORREF ink = system;
  if (mainlayout::FixedInk(*control_)) {
    ink = Colour(mainlayout::InkColour(control_->ink));
  } else if (system != RGB(0, 0, 0)) {
    // Black is also what an unreadable colour becomes, so it needs no measuring.
    RECT area{};
    ::GetWindowRect(hwnd_, &area);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&area), 2);
    ink = Colour(ReadableTextColour(RgbOf(system), sky.LuminanceUnder(area)));
  }
  if (ink != ink_) {
    ink_ = ink;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

void CaptionLabel::Draw(const DRAWITEMSTRUCT& item, HBRUSH behind) const {
  HDC dc = item.hDC;
  ::SetBrushOrgEx(dc, 0, 0, nullptr);
  ::FillRect(dc, &item.rcItem, behind);
  if (shown_.empty()) {
    return;
  }
  const Selection font(dc, font_);
  ::SetTextColor(dc, ink_);
  ::SetBkMode(dc, TRANSPARENT);
  // One line at the top left, clipped to the label, as fitted.
  ::ExtTextOutA(dc, item.rcItem.left, item.rcItem.top, ETO_CLIPPED, &item.rcItem, shown_.data(),
                static_cast<UINT>(shown_.size()), nullptr);
}

}  // namespace mainwindow
