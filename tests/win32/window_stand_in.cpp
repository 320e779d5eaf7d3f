// Stands in for quorvane.exe where the console program is tested without a display: started, it
// writes the path it was started from, in UTF-8, to the file that QUORVANE_STARTED names.
#include <windows.h>

#include <array>
#include <string>

int main() {
  std::array<wchar_t, 32768> path{};
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::array<wchar_t, 32768> target{};
  if (length == 0 || ::GetEnvironmentVariableW(L"QUORVANE_STARTED", target.data(),
                                               static_cast<DWORD>(target.size())) == 0) {
    return 1;
  }
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(length),
                                          nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(length), utf8.data(), bytes,
                        nullptr, nullptr);
  const HANDLE file = ::CreateFileW(target.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok != 0 && written == utf8.size() ? 0 : 1;
}
