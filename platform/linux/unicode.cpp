// Linux text is bytes: the whole answers of the 8-bit calls, asked with buffers as large as they
// need rather than the window's 50 characters. (The volume label is answered with the drive
// calls, in drives.cpp.)
#include "platform/unicode.h"

#include <string>

#include "platform/identity.h"

namespace platform::unicode {
namespace {

constexpr DWORD kFirstCapacity = 256;

// A name call (the capacity in and out); UserNameA counts the NUL in its answer, the computer name
// does not, so the text is taken up to its NUL.
template <typename Call>
std::optional<std::string> Name(Call call) {
  DWORD capacity = kFirstCapacity;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string buffer(capacity, '\0');
    DWORD size = capacity;
    if (call(buffer.data(), &size) != 0) {
      return std::string(buffer.c_str());
    }
    if (size <= capacity) {
      return std::nullopt;
    }
    capacity = size;
  }
  return std::nullopt;
}

// A directory call: the length written, or the capacity needed when it does not fit.
template <typename Call>
std::optional<std::string> Directory(Call call) {
  DWORD capacity = kFirstCapacity;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string buffer(capacity, '\0');
    const DWORD result = call(buffer.data(), capacity);
    if (result == 0) {
      return std::nullopt;
    }
    if (result < capacity) {
      buffer.resize(result);
      return buffer;
    }
    capacity = result;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ComputerName() {
  return Name(GetComputerNameA);
}

std::optional<std::string> UserName() {
  return Name(GetUserNameA);
}

std::optional<std::string> WindowsDirectory() {
  return Directory(GetWindowsDirectoryA);
}

std::optional<std::string> SystemDirectory() {
  return Directory(GetSystemDirectoryA);
}

std::optional<std::string> TempPath() {
  return Directory([](char* buffer, DWORD capacity) { return GetTempPathA(capacity, buffer); });
}

}  // namespace platform::unicode
