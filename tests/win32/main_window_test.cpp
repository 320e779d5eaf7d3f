// The Win32 main window in this process, under Wine in an X server: its frame and place, every
// control where the design puts it, the tab order, plain-text captions that leave nothing behind
// when they shrink, and the text box's font. The program's resources are linked into this test.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "assets/windows/resources.h"
#include "tests/support/window_design.h"
#include "ui/main/main_layout.h"
#include "ui/main/win32/main_window.h"

namespace {

using mainlayout::Id;

int Dpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

RECT ClientRectOf(HWND control, HWND parent) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Pump() {
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

TEST_F(Win32MainWindow, FixedDialogFrameAtItsPlaceWithTheDesignedClientArea) {
  const int dpi = Dpi();
  char title[64] = {};
  ::GetWindowTextA(hwnd_, title, sizeof title);
  EXPECT_STREQ(title, "System Information Beta 0.96");
  EXPECT_FALSE(::IsWindowVisible(hwnd_)) << "hidden until the settings window shows it";

  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_EQ(::GetMenu(hwnd_), nullptr);

  RECT client{};
  ::GetClientRect(hwnd_, &client);
  EXPECT_EQ(client.right, mainlayout::Pixels(6195, dpi));
  EXPECT_EQ(client.bottom, mainlayout::Pixels(4110, dpi));
  POINT corner{0, 0};
  ::ClientToScreen(hwnd_, &corner);
  EXPECT_EQ(corner.x, mainlayout::Pixels(1725, dpi));
  EXPECT_EQ(corner.y, mainlayout::Pixels(2010, dpi));
  if (dpi == 96) {
    EXPECT_EQ(client.right, 413);
    EXPECT_EQ(client.bottom, 274);
    EXPECT_EQ(corner.x, 115);
    EXPECT_EQ(corner.y, 134);
  }
}

TEST_F(Win32MainWindow, EveryControlOfTheDesignByItsIdAndTabOrder) {
  const int dpi = Dpi();
  for (const testing_support::DesignRow& control : testing_support::kDesign) {
    SCOPED_TRACE(control.name);
    HWND child = ::GetDlgItem(hwnd_, control.id);
    ASSERT_NE(child, nullptr);
    const RECT rect = ClientRectOf(child, hwnd_);
    EXPECT_EQ(rect.left, mainlayout::Pixels(control.left, dpi));
    EXPECT_EQ(rect.top, mainlayout::Pixels(control.top, dpi));
    EXPECT_EQ(rect.right - rect.left, mainlayout::Pixels(control.width, dpi));
    EXPECT_EQ(rect.bottom - rect.top, mainlayout::Pixels(control.height, dpi));
    char text[128] = {};
    ::GetWindowTextA(child, text, sizeof text);
    EXPECT_STREQ(text, control.text);
    char windowClass[32] = {};
    ::GetClassNameA(child, windowClass, sizeof windowClass);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE));
    switch (control.widget) {
      case testing_support::Widget::Label:
        EXPECT_STREQ(windowClass, "Static");
        EXPECT_TRUE(style & SS_NOPREFIX);
        EXPECT_FALSE(style & WS_TABSTOP);
        break;
      case testing_support::Widget::Picture:
        EXPECT_STREQ(windowClass, "Static");
        break;
      case testing_support::Widget::Button:
        EXPECT_STREQ(windowClass, "Button");
        EXPECT_TRUE(style & WS_TABSTOP);
        break;
      case testing_support::Widget::TextBox:
        EXPECT_STREQ(windowClass, "Edit");
        EXPECT_TRUE(style & ES_MULTILINE);
        EXPECT_TRUE(style & WS_HSCROLL);
        EXPECT_TRUE(style & WS_VSCROLL);
        EXPECT_FALSE(style & ES_READONLY);
        break;
    }
  }
  // Tab and Shift+Tab go round Text1, Exit, Print Info.
  HWND text1 = window_->Control(Id::Text1);
  HWND exit = window_->Control(Id::Command1);
  HWND print = window_->Control(Id::Command2);
  EXPECT_EQ(::GetNextDlgTabItem(hwnd_, text1, FALSE), exit);
  EXPECT_EQ(::GetNextDlgTabItem(hwnd_, exit, FALSE), print);
  EXPECT_EQ(::GetNextDlgTabItem(hwnd_, print, FALSE), text1);
  EXPECT_EQ(::GetNextDlgTabItem(hwnd_, text1, TRUE), print);
}

TEST_F(Win32MainWindow, CaptionsArePlainTextAndAShorterOneLeavesOnlySkyBehind) {
  window_->Show();
  Pump();
  window_->SetCaption(mainform::Label::Label1, "a&b <b>%s</b>");
  EXPECT_EQ(window_->Caption(mainform::Label::Label1), "a&b <b>%s</b>");

  // Five digits, then four: the label's rectangle right of the new text shows the sky again.
  HWND label = window_->Control(Id::Label13);
  window_->SetCaption(mainform::Label::Label13, "88888 Kb");
  ::UpdateWindow(hwnd_);
  ::UpdateWindow(label);
  window_->SetCaption(mainform::Label::Label13, "8888 Kb");
  ::UpdateWindow(label);
  Pump();
  EXPECT_EQ(window_->Caption(mainform::Label::Label13), "8888 Kb");

  HDC dc = ::GetDC(label);
  HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
  SIZE used{};
  ::GetTextExtentPoint32A(dc, "8888 Kb", 7, &used);
  ::SelectObject(dc, old);
  ::ReleaseDC(label, dc);
  const RECT rect = ClientRectOf(label, hwnd_);
  int differing = 0;
  for (int x = rect.left + used.cx + 2; x < rect.right; ++x) {
    for (int y = rect.top; y < rect.bottom; ++y) {
      differing += Shown(x, y) != Sky(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(differing, 0) << "pixels of the old caption left right of x=" << rect.left + used.cx;
  // And the sky outside every control is the picture's own top-left part, unscaled.
  EXPECT_EQ(Shown(5, 5), Sky(5, 5));
  EXPECT_EQ(Shown(400, 130), Sky(400, 130));
}

TEST_F(Win32MainWindow, TextBoxKeepsCrLfInArialBlackAndCyan) {
  const std::string listing = "Scroll Down To View All Settings\r\nLine two\r\n";
  window_->SetText1(listing);
  EXPECT_EQ(window_->Text1(), listing);

  HWND text1 = window_->Control(Id::Text1);
  auto* font = reinterpret_cast<HFONT>(::SendMessageA(text1, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA asked{};
  ::GetObjectA(font, sizeof asked, &asked);
  EXPECT_STREQ(asked.lfFaceName, "Arial");
  EXPECT_EQ(asked.lfHeight, -::MulDiv(975, Dpi(), 7200));
  EXPECT_EQ(asked.lfWeight, FW_NORMAL);
  // The face the font system actually gives: Arial (in the test prefix, its metric twin from
  // fonts-liberation2 under Arial's name, as cmake/wine-run sets it up).
  HDC dc = ::GetDC(text1);
  HGDIOBJ old = ::SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  ::GetTextFaceA(dc, sizeof face, face);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(text1, dc);
  EXPECT_STREQ(face, "Arial");
  EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, 15) << "Arial's 13-pixel em at 96 DPI";

  window_->Show();
  const RECT box = ClientRectOf(text1, hwnd_);
  // The window's first frame, before the box has drawn itself: black where the box is, no sky.
  EXPECT_EQ(Shown(box.left + 60, box.bottom - 25), RGB(0, 0, 0));
  Pump();
  // Right of the short lines, inside the border and clear of the scroll bars.
  EXPECT_EQ(Shown(box.right - 60, box.top + 8), RGB(0, 0, 0));
  EXPECT_EQ(Shown(box.left + 60, box.bottom - 25), RGB(0, 0, 0));

  // As at start-up, the listing goes in once the window shows: the box stays shown and draws the
  // new text (cyan on black: an empty first line, where the old text was) and its scroll bars (not
  // black), without being asked again.
  std::string longer = "\r\n";
  for (int line = 0; line < 40; ++line) {
    longer += "Drive Type        = Fixed\r\n";
  }
  window_->SetText1(longer);
  Pump();
  EXPECT_EQ(window_->Text1(), longer);
  EXPECT_TRUE(::IsWindowVisible(text1));
  const auto cyanIn = [&](int top) {
    for (int y = top; y < top + 12; ++y) {
      for (int x = box.left + 6; x < box.left + 60; ++x) {
        const COLORREF colour = Shown(x, y);
        if (GetRValue(colour) == 0 && GetGValue(colour) > 128 &&
            GetGValue(colour) == GetBValue(colour)) {
          return true;
        }
      }
    }
    return false;
  };
  EXPECT_FALSE(cyanIn(box.top + 4)) << "the old first line is gone";
  EXPECT_TRUE(cyanIn(box.top + 19)) << "the new second line";
  EXPECT_NE(Shown(box.right - 10, box.top + 40), RGB(0, 0, 0)) << "the vertical scroll bar";
}

}  // namespace
