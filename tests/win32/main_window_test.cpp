// The Win32 main window in this process, under Wine in an X server: its frame and place, every
// control where the design puts it, the tab order, plain-text captions that leave nothing behind
// when they shrink, captions too wide for their labels drawn smaller or elided and kept whole,
// value captions readable in any colour scheme, the keyboard entering the listing at its start,
// what assistive technology hears, and the text box's font. The program's resources are linked into
// this test.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

LOGFONTA FontOf(HWND control) {
  LOGFONTA font{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
  return font;
}

// The text's width in the control's font.
int WidthIn(HWND control, const std::string& text) {
  HDC dc = ::GetDC(control);
  HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return size.cx;
}

// The whole text of a label's tool tip, or "(none)" where the label has none.
std::string ToolTipOf(HWND label) {
  HWND window = ::GetParent(label);
  struct Search {
    HWND owner;
    HWND tips;
  } search{window, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND candidate, LPARAM data) {
        auto* found = reinterpret_cast<Search*>(data);
        char name[32] = {};
        ::GetClassNameA(candidate, name, sizeof name);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 &&
            ::GetWindow(candidate, GW_OWNER) == found->owner) {
          found->tips = candidate;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  char text[96] = {};
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  tool.lpszText = text;
  if (!search.tips ||
      !::SendMessageA(search.tips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) {
    return "(none)";
  }
  tool.lpszText = text;
  ::SendMessageA(search.tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// Sets the system's text colour for buttons and labels for one scope, as a colour scheme does;
// the windows hear of it by WM_SYSCOLORCHANGE.
class LabelTextColour {
 public:
  explicit LabelTextColour(COLORREF colour) : before_(::GetSysColor(COLOR_BTNTEXT)) { Set(colour); }
  ~LabelTextColour() { Set(before_); }
  LabelTextColour(const LabelTextColour&) = delete;
  LabelTextColour& operator=(const LabelTextColour&) = delete;

 private:
  static void Set(COLORREF colour) {
    const INT element = COLOR_BTNTEXT;
    ::SetSysColors(1, &element, &colour);
    Pump();
  }
  COLORREF before_;
};

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

// A caption too wide for its label is drawn smaller, down to 6 points, then elided; the whole text
// stays the label's text, which the report reads, and is its tool tip while it is shortened.
TEST_F(Win32MainWindow, WideCaptionsAreDrawnSmallerOrElidedAndKeptWhole) {
  const LabelTextColour black(RGB(0, 0, 0));
  const LONG windowSize = FontOf(window_->Control(Id::Label4)).lfHeight;  // a heading's
  const LONG smallest = -::MulDiv(6, Dpi(), 72);
  // The ellipsis as the code page of the captions has it.
  const wchar_t wide = L'\u2026';
  char ellipsis[8] = {};
  BOOL substituted = FALSE;
  ::WideCharToMultiByte(CP_ACP, 0, &wide, 1, ellipsis, sizeof ellipsis, nullptr, &substituted);
  ASSERT_FALSE(substituted) << "the test prefix's code page has an ellipsis";
  struct Case {
    mainform::Label label;
    Id id;
    std::string caption;
    bool elided;
  };
  const Case cases[] = {
      // 100 GB of memory: the " Kb" dropped out of view.
      {mainform::Label::Label12, Id::Label12, "100000000 Kb", false},
      {mainform::Label::Label1, Id::Label1, std::string(49, 'w'), true},  // the longest host name
      {mainform::Label::Label5, Id::Label5, "<b>" + std::string(40, 'm') + "</b> %s &x", true},
  };
  window_->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    HWND label = window_->Control(c.id);
    RECT client{};
    ::GetClientRect(label, &client);
    ASSERT_GT(WidthIn(window_->Control(Id::Label4), c.caption), client.right)
        << "fits in the window's size";

    window_->SetCaption(c.label, c.caption);
    Pump();
    EXPECT_EQ(window_->Caption(c.label), c.caption);
    const LOGFONTA font = FontOf(label);
    EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg 2");
    EXPECT_GT(font.lfHeight, windowSize) << "smaller than the window's font";
    EXPECT_LE(font.lfHeight, smallest) << "6 points or larger";
    const std::string shown = window_->Shown(c.label);
    const int used = WidthIn(label, shown);
    EXPECT_LE(used, client.right);
    if (c.elided) {
      EXPECT_EQ(font.lfHeight, smallest);
      ASSERT_GT(shown.size(), std::strlen(ellipsis));
      EXPECT_EQ(shown.substr(shown.size() - std::strlen(ellipsis)), ellipsis);
      EXPECT_EQ(c.caption.rfind(shown.substr(0, shown.size() - std::strlen(ellipsis)), 0), 0U);
    } else {
      EXPECT_EQ(shown, c.caption);
    }
    EXPECT_EQ(ToolTipOf(label), c.caption);
    // Drawn to its last character, on one line, and nothing right of it.
    const RECT rect = ClientRectOf(label, hwnd_);
    const std::vector<COLORREF> shownPixels = ShownIn(rect);
    const std::vector<COLORREF> skyPixels = SkyIn(rect);
    const auto width = static_cast<std::size_t>(rect.right - rect.left);
    int lastColumns = 0;
    int beyond = 0;
    for (std::size_t y = 0; y < static_cast<std::size_t>(rect.bottom - rect.top); ++y) {
      for (int x = 0; x < rect.right - rect.left; ++x) {
        const std::size_t i = y * width + static_cast<std::size_t>(x);
        const bool ink = shownPixels[i] != skyPixels[i];
        lastColumns += ink && x >= used - 4 && x < used ? 1 : 0;
        beyond += ink && x > used ? 1 : 0;
      }
    }
    EXPECT_GT(lastColumns, 0) << "the caption's last character";
    EXPECT_EQ(beyond, 0);
  }
  // A caption that fits again is drawn in the window's font, with no tool tip.
  window_->SetCaption(mainform::Label::Label1, "vm");
  EXPECT_EQ(window_->Shown(mainform::Label::Label1), "vm");
  EXPECT_EQ(FontOf(window_->Control(Id::Label1)).lfHeight, windowSize);
  EXPECT_EQ(ToolTipOf(window_->Control(Id::Label1)), "(none)");
}

// The system's label colour is kept where it stands out from every pixel of the sky under a value,
// else the value is black; headings stay blue and the free memory magenta. In a high-contrast
// scheme's white every value is black; a navy is kept over the clouds only.
TEST_F(Win32MainWindow, ValuesStayReadableInAnyColourSchemeAndFixedColoursStay) {
  const COLORREF black = RGB(0, 0, 0);
  const COLORREF navy = RGB(0, 0, 128);
  const Id overClouds[] = {Id::Label7, Id::Label9, Id::Label12, Id::Label14};
  const Id overBlueAndClouds[] = {Id::Label1, Id::Label5, Id::Label26};
  const auto show = [](mainwindow::MainWindow& window) {
    for (const auto& control : mainlayout::kControls) {
      if (control.meaning.value) {
        window.SetCaption(*control.meaning.value, "HIIH 8888");  // upright strokes
      }
    }
    window.Show();
    Pump();
  };
  show(*window_);
  const auto fixedColoursStay = [this] {
    EXPECT_GT(PixelsOf(window_->Control(Id::Label4), RGB(0, 0, 255)), 0);
    EXPECT_GT(PixelsOf(window_->Control(Id::Label17), RGB(0, 0, 255)), 0);
    EXPECT_GT(PixelsOf(window_->Control(Id::Label13), RGB(255, 0, 255)), 0);
  };
  {
    const LabelTextColour highContrast(RGB(255, 255, 255));
    for (const auto& control : mainlayout::kControls) {
      if (control.meaning.value && !mainlayout::FixedInk(control)) {
        EXPECT_GT(PixelsOf(window_->Control(control.id), black), 0) << control.name;
      }
    }
    fixedColoursStay();
    // A window made under the scheme starts readable.
    mainwindow::MainWindow made(::GetModuleHandleA(nullptr));
    show(made);
    EXPECT_GT(PixelsOf(made.Control(Id::Label7), black), 0);
  }
  const LabelTextColour dark(navy);
  for (const Id id : overClouds) {
    EXPECT_GT(PixelsOf(window_->Control(id), navy), 0) << mainlayout::Find(id).name;
    EXPECT_EQ(PixelsOf(window_->Control(id), black), 0) << mainlayout::Find(id).name;
  }
  for (const Id id : overBlueAndClouds) {
    EXPECT_GT(PixelsOf(window_->Control(id), black), 0) << mainlayout::Find(id).name;
    EXPECT_EQ(PixelsOf(window_->Control(id), navy), 0) << mainlayout::Find(id).name;
  }
  fixedColoursStay();
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
