// The reference for the Windows start-up: an empty window with the main window's frame and client
// size, ending once it is drawn.
#include <windows.h>

#include "bench/win32/shown.h"

int main() {
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
