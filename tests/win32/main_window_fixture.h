// The Win32 main window made in this test process, under Wine in an X server, and what it shows
// read back from its own surface; the program's resources are linked into the test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "assets/windows/resources.h"
#include "ui/main/win32/main_window.h"

namespace win32_window {

inline int Dpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

inline RECT ClientRectOf(HWND control, HWND parent) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

inline void Pump() {
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

class Win32MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
  }

  void SetUp() override {
    if (::GetEnvironmentVariableA("DISPLAY", nullptr, 0) == 0) {
      GTEST_SKIP() << "needs an X server: run by scripts/stages/30-wine";
    }
    window_ = std::make_unique<mainwindow::MainWindow>(::GetModuleHandleA(nullptr));
    hwnd_ = window_->hwnd();
    ASSERT_NE(hwnd_, nullptr);
  }

  // The colours a device context shows in a rectangle, row by row, read back at once.
  static std::vector<COLORREF> ColoursIn(HDC dc, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, copy);
    ::BitBlt(memory, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    std::vector<COLORREF> colours;
    const auto* pixels = static_cast<const BYTE*>(bits);
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t{width} * height; ++i) {
      const BYTE* pixel = pixels + 4 * i;
      colours.push_back(RGB(pixel[2], pixel[1], pixel[0]));
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(copy);
    return colours;
  }

  // What the window shows in a rectangle of its client area.
  std::vector<COLORREF> ShownIn(const RECT& area) const {
    HDC window = ::GetDC(hwnd_);
    std::vector<COLORREF> colours = ColoursIn(window, area);
    ::ReleaseDC(hwnd_, window);
    return colours;
  }

  // The sky picture's colours in a rectangle.
  static std::vector<COLORREF> SkyIn(const RECT& area) {
    HBITMAP sky = static_cast<HBITMAP>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(QUORVANE_IDB_SKY), IMAGE_BITMAP, 0, 0, 0));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, sky);
    std::vector<COLORREF> colours = ColoursIn(dc, area);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(sky);
    return colours;
  }

  // How many pixels of the colour the control shows.
  int PixelsOf(HWND control, COLORREF colour) const {
    int count = 0;
    for (const COLORREF shown : ShownIn(ClientRectOf(control, hwnd_))) {
      count += shown == colour ? 1 : 0;
    }
    return count;
  }

  // The colour the window shows at a point of its client area, read back from its own surface.
  COLORREF Shown(int x, int y) const {
    HDC dc = ::GetDC(hwnd_);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd_, dc);
    return colour;
  }

  // The sky picture's colour at a point.
  static COLORREF Sky(int x, int y) {
    HBITMAP sky = static_cast<HBITMAP>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(QUORVANE_IDB_SKY), IMAGE_BITMAP, 0, 0, 0));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, sky);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(sky);
    return colour;
  }

  std::unique_ptr<mainwindow::MainWindow> window_;
  HWND hwnd_ = nullptr;
};

}  // namespace win32_window
