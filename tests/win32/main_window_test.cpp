// The Win32 main window in this process, under Wine in an X server: its frame and place, every
// control where the design puts it, the tab order, the keyboard entering the listing at its start,
// what assistive technology hears, and the text box's font. Its captions are tested in
// caption_label_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/window_design.h"
#include "tests/win32/main_window_fixture.h"
#include "ui/main/main_layout.h"
#include "ui/main/win32/main_window.h"

namespace {

using mainlayout::Id;
using win32_window::ClientRectOf;
using win32_window::Dpi;
using win32_window::Pump;
using win32_window::Win32MainWindow;

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

// Tab and Shift+Tab into the listing put the caret at its start with nothing selected, where a
// dialog's keyboard handling would select the whole text and show its end.
TEST_F(Win32MainWindow, TabAndShiftTabEnterTheListingAtItsStartWithNothingSelected) {
  std::string listing;
  for (int line = 0; line < 40; ++line) {
    listing += "Drive Type        = Fixed\r\n";
  }
  window_->SetText1(listing);
  window_->Show();
  Pump();
  HWND text1 = window_->Control(Id::Text1);
  const auto press = [this](bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
    if (!window_->PreTranslate(tab)) {
      ::TranslateMessage(&tab);
      ::DispatchMessageA(&tab);
    }
    Pump();
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  };
  const std::pair<const char*, std::vector<bool>> ways[] = {
      {"Tab from Print Info", {false, false, false}},  // Text1, Exit, Print Info, Text1
      {"Shift+Tab from Exit", {false, true}},          // Text1, Exit, Text1
  };
  for (const auto& [how, shifts] : ways) {
    SCOPED_TRACE(how);
    ASSERT_EQ(::GetFocus(), text1);
    // The caret at the listing's end, the last lines in view.
    const auto end = static_cast<WPARAM>(listing.size());
    ::SendMessageA(text1, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageA(text1, EM_SCROLLCARET, 0, 0);
    ASSERT_GT(::SendMessageA(text1, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    for (const bool shift : shifts) {
      press(shift);
    }
    EXPECT_EQ(::GetFocus(), text1);
    DWORD start = 1;
    DWORD stop = 1;
    ::SendMessageA(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&stop));
    EXPECT_EQ(start, 0U);
    EXPECT_EQ(stop, 0U);
    EXPECT_EQ(::SendMessageA(text1, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(window_->Text1(), listing) << "Tab typed into the listing";
  }
}

// What a screen reader hears of each control, asked as a screen reader asks: each value named by
// its heading, following its caption; the listing and the picture by what they are. The rest is
// the system's own answer (under Wine a plain client area's role for a label or a button).
TEST_F(Win32MainWindow, AssistiveTechnologyHearsEachValueNamedByItsHeading) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const std::pair<mainform::Label, const char*> captions[] = {
      {mainform::Label::Label1, "vm"},         {mainform::Label::Label5, "ann & <b>%s</b>"},
      {mainform::Label::Label7, "Windows NT"}, {mainform::Label::Label26, "Pentium"},
      {mainform::Label::Label9, "10.0"},       {mainform::Label::Label12, "24683748 Kb"},
      {mainform::Label::Label13, "1000 Kb"}};
  for (const auto& [label, caption] : captions) {
    window_->SetCaption(label, caption);
  }
  struct Heard {
    std::string name;
    long role;
  };
  const auto hear = [](IAccessible* object) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Heard heard{"(no name)", 0};
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr) {
      char bytes[128] = {};
      ::WideCharToMultiByte(CP_ACP, 0, name, -1, bytes, sizeof bytes, nullptr, nullptr);
      heard.name = bytes;
      ::SysFreeString(name);
    }
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) {
      heard.role = role.lVal;
    }
    return heard;
  };
  // The role is the system's own, but for the picture, which the window draws.
  const auto systemRole = [&hear](HWND control) {
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&standard)))) {
      return -1L;
    }
    const long role = hear(standard).role;
    standard->Release();
    return role;
  };
  const std::pair<Id, const char*> expected[] = {
      {Id::Label1, "Computer Name: vm"},
      {Id::Label5, "User Name: ann & <b>%s</b>"},
      {Id::Label7, "System Platform: Windows NT"},
      {Id::Label26, "Processor: Pentium"},
      {Id::Label9, "Version Info: 10.0"},
      {Id::Label12, "Physical Memory: 24683748 Kb"},
      {Id::Label13, "Free Physical Memory: 1000 Kb"},
      {Id::Label14, "Locked Memory"},  // no value yet
      {Id::Text1, "Settings listing"},
      {Id::Image1, "Information"},
      // The rest by their own texts, as the system names them.
      {Id::Label4, "Computer Name"},
      {Id::Command1, "Exit"},
  };
  for (const auto& [id, name] : expected) {
    SCOPED_TRACE(mainlayout::Find(id).name);
    HWND control = window_->Control(id);
    IAccessible* object = nullptr;
    ASSERT_TRUE(SUCCEEDED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                       reinterpret_cast<void**>(&object))));
    const Heard heard = hear(object);
    EXPECT_EQ(heard.name, name);
    EXPECT_EQ(heard.role, id == Id::Image1 ? ROLE_SYSTEM_GRAPHIC : systemRole(control));
    HWND window = nullptr;
    EXPECT_TRUE(SUCCEEDED(::WindowFromAccessibleObject(object, &window)));
    EXPECT_EQ(window, control);
    object->Release();
  }
  // A new figure is heard from the same object at once.
  IAccessible* memory = nullptr;
  ASSERT_TRUE(SUCCEEDED(::AccessibleObjectFromWindow(window_->Control(Id::Label12), OBJID_CLIENT,
                                                     __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&memory))));
  window_->SetCaption(mainform::Label::Label12, "24683749 Kb");
  EXPECT_EQ(hear(memory).name, "Physical Memory: 24683749 Kb");
  memory->Release();
  ::CoUninitialize();
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
