// The reference for the Windows start-up: an empty window with the main window's frame and client
// size, ending once it is drawn. With --common-controls it first loads the common controls (version
// 6, through the manifest both carry), as the program must for its buttons and text box: the part
// of the start-up that no change to the program can take away.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "bench/win32/shown.h"

namespace {

// Found at run time, not imported: without the option the library is never loaded.
void LoadCommonControls() {
  HMODULE library = ::LoadLibraryA("comctl32.dll");
  using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = reinterpret_cast<Init>(
      reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControlsEx")));
  if (init) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    init(&controls);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--common-controls") == 0) {
    LoadCommonControls();
  }
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &::DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "EmptyWindow";
  ::RegisterClassExA(&windowClass);
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  RECT outer{115, 134, 115 + 413, 134 + 274};
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
  HWND window = ::CreateWindowExA(0, "EmptyWindow", "Empty", kStyle, outer.left, outer.top,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                  nullptr, instance, nullptr);
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
  bench_support::RunUntilShown();
}
