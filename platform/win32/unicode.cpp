// The names and directories from Windows' wide-character calls, in UTF-8: the 8-bit calls the
// window uses give "?" for every letter the ANSI code page lacks. (The volume label is answered
// with the drive calls, in drives.cpp, behind their time bound.)
#include "platform/unicode.h"

#include <windows.h>

#include <string>

namespace platform::unicode {
namespace {

std::optional<std::string> Utf8(const wchar_t* text, int length) {
  if (length == 0) {
    return std::string();
  }
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return std::nullopt;
  }
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

// A name call: the capacity in and out, the length without NUL out on success.
template <typename Call>
std::optional<std::string> Name(Call call) {
  ::DWORD size = 256;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring buffer(size, L'\0');
    ::DWORD asked = size;
    if (call(buffer.data(), &asked) != 0) {
      return Utf8(buffer.c_str(), static_cast<int>(std::wcslen(buffer.c_str())));
    }
    if (::GetLastError() != ERROR_BUFFER_OVERFLOW &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      return std::nullopt;
    }
    size = asked > size ? asked : size * 2;
  }
  return std::nullopt;
}

// A directory call: the length written, or the capacity needed when it does not fit.
template <typename Call>
std::optional<std::string> Directory(Call call) {
  ::UINT size = MAX_PATH + 1;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring buffer(size, L'\0');
    const ::UINT result = call(buffer.data(), size);
    if (result == 0) {
      return std::nullopt;
    }
    if (result < size) {
      return Utf8(buffer.c_str(), static_cast<int>(result));
    }
    size = result;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ComputerName() {
  return Name([](wchar_t* buffer, ::DWORD* size) { return ::GetComputerNameW(buffer, size); });
}

std::optional<std::string> UserName() {
  return Name([](wchar_t* buffer, ::DWORD* size) { return ::GetUserNameW(buffer, size); });
}

std::optional<std::string> WindowsDirectory() {
  return Directory(
      [](wchar_t* buffer, ::UINT size) { return ::GetWindowsDirectoryW(buffer, size); });
}

std::optional<std::string> SystemDirectory() {
  return Directory(
      [](wchar_t* buffer, ::UINT size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::optional<std::string> TempPath() {
  return Directory([](wchar_t* buffer, ::UINT size) {
    return static_cast<::UINT>(::GetTempPathW(size, buffer));
  });
}

}  // namespace platform::unicode
