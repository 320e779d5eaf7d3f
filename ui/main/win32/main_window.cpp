#include "ui/main/win32/main_window.h"

#include <utility>
#include <vector>

#include "assets/windows/resources.h"
#include "ui/main/win32/accessibility.h"

namespace mainwindow {
namespace {

using mainlayout::Id;
using mainlayout::Kind;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

COLORREF Colour(mainlayout::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

COLORREF TextColour(mainlayout::Ink ink) {
  return ink == mainlayout::Ink::Default ? ::GetSysColor(COLOR_BTNTEXT)
                                         : Colour(mainlayout::InkColour(ink));
}

int ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) {
    ::ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : 96;
}

void RegisterWindowClass(HINSTANCE instance, HINSTANCE resources, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(instance, MainWindow::kClassName, &existing)) {
    return;
  }
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconA(resources, MAKEINTRESOURCEA(QUORVANE_IDI_PROGRAM));
  windowClass.hIconSm = static_cast<HICON>(
      ::LoadImageA(resources, MAKEINTRESOURCEA(QUORVANE_IDI_PROGRAM), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.lpszClassName = MainWindow::kClassName;
  ::RegisterClassExA(&windowClass);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE resources)
    : resources_(resources),
      dpi_(ScreenDpi()),
      exit_([] { ::PostQuitMessage(0); }),
      sky_(resources_, dpi_),
      fonts_(dpi_) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterWindowClass(instance, resources_, &MainWindow::WindowProc);

  textBoxBrush_.reset(::CreateSolidBrush(Colour(mainlayout::kTextBoxBackground)));

  LOGFONTA text{};
  text.lfHeight = -::MulDiv(mainlayout::kTextBoxPointsX100, dpi_, 7200);
  text.lfWeight = FW_NORMAL;
  text.lfCharSet = ANSI_CHARSET;
  lstrcpynA(text.lfFaceName, mainlayout::kTextBoxFace, LF_FACESIZE);
  textBoxFont_.reset(::CreateFontIndirectA(&text));

  // The client area at its place on the screen; the frame goes around it.
  RECT outer{mainlayout::Pixels(mainlayout::kClientLeft, dpi_),
             mainlayout::Pixels(mainlayout::kClientTop, dpi_), 0, 0};
  outer.right = outer.left + mainlayout::Pixels(mainlayout::kClientWidth, dpi_);
  outer.bottom = outer.top + mainlayout::Pixels(mainlayout::kClientHeight, dpi_);
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  ::CreateWindowExA(kExStyle, kClassName, mainlayout::kTitle, kStyle, outer.left, outer.top,
                    outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance,
                    this);
  if (hwnd_) {
    CreateControls();
    UseTextColours();
  }
}

MainWindow::~MainWindow() {
  if (hwnd_) {
    ::DestroyWindow(hwnd_);
  }
}

void MainWindow::CreateControls() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (const mainlayout::Control& control : mainlayout::kControls) {
    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (control.kind) {
      case Kind::Label:
        // Captions show what the computer reported: an '&' is a character, not an access key. A
        // value is drawn by the window, fitted to the label; it hears the mouse for its tool tip.
        style |= SS_NOPREFIX | (control.meaning.value ? SS_OWNERDRAW | SS_NOTIFY : SS_LEFT);
        break;
      case Kind::Picture:
        style |= SS_OWNERDRAW;
        break;
      case Kind::Button:
        windowClass = "BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case Kind::TextBox:
        windowClass = "EDIT";
        style |= WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                 ES_AUTOVSCROLL | ES_WANTRETURN;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    }
    // The text box gets its font before its text, so the text is laid out once, in its own face.
    HWND child = ::CreateWindowExA(
        exStyle, windowClass, control.kind == Kind::TextBox ? "" : control.text, style,
        mainlayout::Pixels(control.left, dpi_), mainlayout::Pixels(control.top, dpi_),
        mainlayout::Pixels(control.width, dpi_), mainlayout::Pixels(control.height, dpi_), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (!child) {
      continue;
    }
    controls_[mainlayout::Index(control.id)] = child;
    if (control.kind == Kind::TextBox) {
      ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(textBoxFont_.get()), FALSE);
      // No limit but memory: a machine with many drives has a long listing.
      ::SendMessageA(child, EM_SETLIMITTEXT, 0, 0);
      ::SetWindowTextA(child, control.text);
    } else {
      ::SendMessageA(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_.At(DialogFonts::kPointSize)), FALSE);
    }
    if (control.meaning.value) {
      Value(*control.meaning.value).Attach(child, control);
    }
    if (control.meaning.value || control.meaning.spoken != nullptr) {
      NameForAssistiveTechnology(child);
    }
    if (control.kind == Kind::Picture) {
      information_.reset(static_cast<HICON>(::LoadImageA(
          resources_, MAKEINTRESOURCEA(QUORVANE_IDI_PROGRAM), IMAGE_ICON,
          mainlayout::Pixels(control.width, dpi_), mainlayout::Pixels(control.height, dpi_), 0)));
    }
  }
  // Tab order follows the order of the children: Text1, then Exit, then Print Info.
  HWND previous = nullptr;
  for (Id id : mainlayout::kTabOrder) {
    HWND control = Control(id);
    ::SetWindowPos(control, previous ? previous : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
  focus_ = Control(Id::Text1);
}

CaptionLabel& MainWindow::Value(mainform::Label label) {
  return values_[static_cast<std::size_t>(label)];
}

const CaptionLabel& MainWindow::Value(mainform::Label label) const {
  return values_[static_cast<std::size_t>(label)];
}

void MainWindow::UseTextColours() {
  const COLORREF system = ::GetSysColor(COLOR_BTNTEXT);
  for (CaptionLabel& value : values_) {
    value.UseTextColour(system, sky_);
  }
}

void MainWindow::OnSystemColours() {
  // The dialog colour shows where the window is larger than the sky picture.
  sky_ = Sky(resources_, dpi_);
  UseTextColours();
  // Common controls change their colours only when their parent tells them.
  for (HWND control : controls_) {
    ::SendMessageA(control, WM_SYSCOLORCHANGE, 0, 0);
  }
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::SetCaption(mainform::Label label, const std::string& caption) {
  Value(label).SetWhole(caption, fonts_, tips_);
}

std::string MainWindow::Caption(mainform::Label label) const {
  HWND control = Control(mainlayout::ValueLabel(label));
  std::vector<char> text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1);
  const int length = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void MainWindow::SetText1(const std::string& text) {
  HWND box = Control(Id::Text1);
  // A visible multi-line box redraws both scroll bars, in the visual style, at each of the several
  // scroll updates that new text makes (under Wine, a third of the system calls the start-up made
  // after the program's own start). Marked hidden while the text goes in, it lays the text out
  // without drawing, then draws itself once, frame and scroll bars included. The style bit alone,
  // not ShowWindow: the focus and the parent's painting stay as they are. (WM_SETREDRAW does not
  // spare the scroll bars.)
  const LONG_PTR style = ::GetWindowLongPtrA(box, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  if (visible) {
    ::SetWindowLongPtrA(box, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
  }
  ::SetWindowTextA(box, text.c_str());
  if (visible) {
    ::SetWindowLongPtrA(box, GWL_STYLE, style);
    ::RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
}

std::string MainWindow::Text1() const {
  HWND control = Control(Id::Text1);
  std::vector<char> text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1);
  const int length = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void MainWindow::Show() {
  // The text box is drawn once, by the message loop, after the window's first frame: the listing
  // follows the window's showing at once, and the box would otherwise draw its frame and themed
  // scroll bars in the first frame only to draw them again with the listing. Until that first turn
  // of the loop (a few milliseconds) the window shows the box's black in its place.
  HWND box = Control(Id::Text1);
  const LONG_PTR style = ::GetWindowLongPtrA(box, GWL_STYLE);
  ::SetWindowLongPtrA(box, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  ::UpdateWindow(hwnd_);
  ::SetWindowLongPtrA(box, GWL_STYLE, style);
  ::RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  MoveFocus(box);
}

void MainWindow::Command1_Click() {
  if (exit_) {
    exit_();
  }
}

void MainWindow::Command2_Click() {
  if (report_) {
    report_(*this, hwnd_);
  }
}

void MainWindow::SetReportAction(ReportAction action) {
  report_ = std::move(action);
}

void MainWindow::SetExitAction(ExitAction action) {
  exit_ = std::move(action);
}

bool MainWindow::PreTranslate(MSG& message) {
  if (!hwnd_ || (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd))) {
    return false;
  }
  if (message.message == WM_KEYDOWN) {
    // Escape has no action here; in a text box inside a dialog it would close the window.
    if (message.wParam == VK_ESCAPE) {
      return true;
    }
    const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    // Ctrl+A selects the whole listing, as in any text box of the system.
    if (message.wParam == 'A' && control && message.hwnd == Control(Id::Text1)) {
      ::SendMessageA(message.hwnd, EM_SETSEL, 0, -1);
      return true;
    }
    // Tab and Shift+Tab move the focus here: the keyboard handling of a window that is no dialog
    // selects the whole text of a text box it tabs into, and the box scrolls to the text's end.
    if (message.wParam == VK_TAB && !control && !(::GetKeyState(VK_MENU) & 0x8000)) {
      const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
      // Focus rectangles show from the first key on, as the keyboard handling shows them.
      ::SendMessageA(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
      HWND focused = ::GetFocus();
      MoveFocus(::GetNextDlgTabItem(hwnd_, focused == hwnd_ ? nullptr : focused, back),
                Move::Tabbed);
      return true;
    }
  }
  return ::IsDialogMessageA(hwnd_, &message) != FALSE;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) {
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      // WM_PAINT covers the whole client area with the sky.
      return 1;
    case WM_PRINTCLIENT:
      // Themed buttons ask for the background behind their rounded corners.
      PaintSky(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnLabelColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLOREDIT:
      return OnTextBoxColour(reinterpret_cast<HDC>(wParam));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const mainlayout::Control& control = mainlayout::Find(static_cast<Id>(wParam));
      if (control.id == Id::Image1) {
        OnDrawPicture(item);
        return TRUE;
      }
      if (control.id == static_cast<Id>(wParam) && control.meaning.value) {
        Value(*control.meaning.value).Draw(item, Behind(item.hwndItem));
        return TRUE;
      }
      break;
    }
    case WM_SYSCOLORCHANGE:
      OnSystemColours();
      return 0;
    case WM_SETTINGCHANGE:
      // A high-contrast scheme switched on or off (its colours may come with WM_SYSCOLORCHANGE
      // too).
      if (wParam == SPI_SETHIGHCONTRAST) {
        OnSystemColours();
      }
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_NEXTDLGCTL:
      // Sent by the keyboard handling for Tab and Shift+Tab (and by a multi-line text box).
      MoveFocus(LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : ::GetNextDlgTabItem(hwnd_, ::GetFocus(), wParam != 0));
      return 0;
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the same control.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focused = ::GetFocus();
        if (focused && ::IsChild(hwnd_, focused)) {
          focus_ = focused;
        }
      } else {
        MoveFocus(focus_);
      }
      return 0;
    case WM_SETFOCUS:
      MoveFocus(focus_);
      return 0;
    case WM_CLOSE:
      // The close box ends the program as Exit does: with the settings window hidden, nothing else
      // would be left for the user to end it with.
      Command1_Click();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

void MainWindow::MoveFocus(HWND to, Move move) {
  if (!to || !::IsChild(hwnd_, to)) {
    to = Control(Id::Text1);
  }
  focus_ = to;
  // Tabbing into the listing puts the caret at its start with nothing selected, where a dialog
  // would select the whole text.
  if (move == Move::Tabbed && to == Control(Id::Text1) && ::GetFocus() != to) {
    ::SendMessageA(to, EM_SETSEL, 0, 0);
    ::SendMessageA(to, EM_SCROLLCARET, 0, 0);
  }
  ::SetFocus(to);
  // A focused push button is the one Return presses: it shows the default button's frame.
  for (Id id : {Id::Command1, Id::Command2}) {
    HWND button = Control(id);
    ::SendMessageA(button, BM_SETSTYLE, button == to ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void MainWindow::PaintSky(HDC dc) const {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  sky_.Paint(dc, client.right, client.bottom);
}

void MainWindow::OnPaint() {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(hwnd_, &paint);
  if (dc) {
    PaintSky(dc);
    // Where the text box is not drawn yet (see Show), its black rather than the sky. Once the box
    // shows, the window's painting leaves its rectangle out and this draws nothing.
    const mainlayout::Control& text1 = mainlayout::Find(Id::Text1);
    RECT box{mainlayout::Pixels(text1.left, dpi_), mainlayout::Pixels(text1.top, dpi_), 0, 0};
    box.right = box.left + mainlayout::Pixels(text1.width, dpi_);
    box.bottom = box.top + mainlayout::Pixels(text1.height, dpi_);
    ::FillRect(dc, &box, textBoxBrush_.get());
  }
  ::EndPaint(hwnd_, &paint);
}

HBRUSH MainWindow::Behind(HWND control) const {
  return sky_.Behind(static_cast<Id>(::GetDlgCtrlID(control)));
}

LRESULT MainWindow::OnLabelColour(HDC dc, HWND label) {
  if (label == Control(Id::Text1)) {
    return OnTextBoxColour(dc);
  }
  const auto& control = mainlayout::Find(static_cast<Id>(::GetDlgCtrlID(label)));
  ::SetTextColor(dc, TextColour(control.ink));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, 0, 0, nullptr);
  return reinterpret_cast<LRESULT>(Behind(label));
}

LRESULT MainWindow::OnTextBoxColour(HDC dc) {
  ::SetTextColor(dc, Colour(mainlayout::kTextBoxText));
  ::SetBkColor(dc, Colour(mainlayout::kTextBoxBackground));
  return reinterpret_cast<LRESULT>(textBoxBrush_.get());
}

void MainWindow::OnDrawPicture(const DRAWITEMSTRUCT& item) {
  ::SetBrushOrgEx(item.hDC, 0, 0, nullptr);
  ::FillRect(item.hDC, &item.rcItem, Behind(item.hwndItem));
  if (information_) {
    ::DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, information_.get(),
                 item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top, 0,
                 nullptr, DI_NORMAL);
  }
}

void MainWindow::OnCommand(int id) {
  HWND focused = ::GetFocus();
  if (id == IDOK) {
    // Return, sent by the keyboard handling: it presses the focused button, if a button has the
    // focus.
    if (focused == Control(Id::Command1)) {
      id = static_cast<int>(Id::Command1);
    } else if (focused == Control(Id::Command2)) {
      id = static_cast<int>(Id::Command2);
    }
  }
  if (id == static_cast<int>(Id::Command1)) {
    Command1_Click();
  } else if (id == static_cast<int>(Id::Command2)) {
    Command2_Click();
  }
}

}  // namespace mainwindow
