// Linux text is bytes: the whole answers of the 8-bit calls, asked with buffers as large as they
// need rather than the window's 50 characters. (The volume label is answered with the drive
// calls, in drives.cpp.)
#include "platform/unicode.h"

#include <string>

#include "platform/growing_buffer.h"
#include "platform/identity.h"

namespace platform::unicode {
namespace {

constexpr std::size_t kFirstCapacity = 256;
constexpr int kAttempts = 3;

// A name call (the capacity in and out); UserNameA counts the NUL in its answer, the computer name
// does not, so the text is taken up to its NUL.
template <typename Call>
std::optional<std::string> Name(Call call) {
  auto answer = AskGrowing(kFirstCapacity, '\0', kAttempts, [&call](std::string& buffer) {
    auto size = static_cast<DWORD>(buffer.size());
    const bool answered = call(buffer.data(), &size) != 0;
    return BufferReply{answered, size};
  });
  if (!answer) {
    return std::nullopt;
  }
  return std::string(answer->c_str());
}

// A directory call: the length written, or the capacity needed when it does not fit.
template <typename Call>
std::optional<std::string> Directory(Call call) {
  return AskGrowing(kFirstCapacity, '\0', kAttempts, [&call](std::string& buffer) {
    const auto capacity = static_cast<DWORD>(buffer.size());
    const DWORD result = call(buffer.data(), capacity);
    if (result == 0 || result >= capacity) {
      return BufferReply{false, result};
    }
    buffer.resize(result);
    return BufferReply{true, 0};
  });
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
