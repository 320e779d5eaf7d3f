// The names and directories from Windows' wide-character calls, in UTF-8: the 8-bit calls the
// window uses give "?" for every letter the ANSI code page lacks. (The volume label is answered
// with the drive calls, in drives.cpp, behind their time bound.)
#include "platform/unicode.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/growing_buffer.h"

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

constexpr std::size_t kFirstCapacity = 256;
constexpr int kAttempts = 3;

// A name call: the capacity in and out, the length without NUL out on success.
template <typename Call>
std::optional<std::string> Name(Call call) {
  const auto answer = AskGrowing(kFirstCapacity, L'\0', kAttempts, [&call](std::wstring& buffer) {
    auto size = static_cast<::DWORD>(buffer.size());
    if (call(buffer.data(), &size) != 0) {
      return BufferReply{true, 0};
    }
    const ::DWORD error = ::GetLastError();
    if (error != ERROR_BUFFER_OVERFLOW && error != ERROR_INSUFFICIENT_BUFFER) {
      return BufferReply{};
    }
    // A call that does not say how much it needs is given twice as much.
    return BufferReply{false, size > buffer.size() ? size : 2 * buffer.size()};
  });
  if (!answer) {
    return std::nullopt;
  }
  return Utf8(answer->c_str(), static_cast<int>(std::wcslen(answer->c_str())));
}

// A directory call: the length written, or the capacity needed when it does not fit.
template <typename Call>
std::optional<std::string> Directory(Call call) {
  const auto answer =
      AskGrowing(std::size_t{MAX_PATH + 1}, L'\0', kAttempts, [&call](std::wstring& buffer) {
        const auto capacity = static_cast<::UINT>(buffer.size());
        const ::UINT result = call(buffer.data(), capacity);
        if (result == 0 || result >= capacity) {
          return BufferReply{false, result};
        }
        buffer.resize(result);
        return BufferReply{true, 0};
      });
  if (!answer) {
    return std::nullopt;
  }
  return Utf8(answer->data(), static_cast<int>(answer->size()));
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
