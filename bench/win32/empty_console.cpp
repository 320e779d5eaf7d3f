// The reference for the console program's start under Wine: a console program that does nothing,
// with the same resources and manifest. With --keyboard it also asks the keyboard's type, as the
// facts must: that call is user32's, and loading user32 (with gdi32) is most of a small program's
// start under Wine.
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--keyboard") == 0) {
    HMODULE user32 = ::LoadLibraryA("user32.dll");
    using KeyboardType = int(WINAPI*)(int);
    const auto type = reinterpret_cast<KeyboardType>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetKeyboardType")));
    return type != nullptr && type(0) == -1 ? 1 : 0;
  }
  return 0;
}
