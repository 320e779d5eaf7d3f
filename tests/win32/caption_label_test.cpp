// The Win32 main window's value captions, in this process under Wine in an X server: plain text
// that leaves nothing behind when it shrinks, a caption too wide for its label drawn smaller or
// elided and kept whole, and readable in any colour scheme.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/main_window_fixture.h"
#include "ui/main/main_layout.h"
#include "ui/main/win32/main_window.h"

namespace {

using mainlayout::Id;
using win32_window::ClientRectOf;
using win32_window::Dpi;
using win32_window::Pump;
using win32_window::Win32MainWindow;

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

}  // namespace
