// How a backend writes a text answer into a caller's buffer, shared by every backend that is not
// the real Win32: the answer and its NUL at the start, the rest of the buffer untouched.
#pragma once

#include <cstring>
#include <string_view>

#include "platform/types.h"

namespace platform::contract {

// The directory-call contract: the length written without NUL, or, when the answer and its NUL do
// not fit, the capacity needed (which is greater than capacity) with the buffer left alone.
inline DWORD WriteOrNeed(std::string_view answer, char* buffer, DWORD capacity) {
  const auto needed = static_cast<DWORD>(answer.size() + 1);
  if (buffer == nullptr || needed > capacity) {
    return needed;
  }
  std::memcpy(buffer, answer.data(), answer.size());
  buffer[answer.size()] = '\0';
  return static_cast<DWORD>(answer.size());
}

// The name-call contract: *size in is the capacity. On success returns TRUE and sets *size to the
// length without NUL, or with it when countNul is set (the user-name call counts it). An answer
// that does not fit fails with *size set to the capacity it needs.
inline BOOL WriteName(std::string_view answer, char* buffer, DWORD* size, bool countNul) {
  if (size == nullptr) {
    return 0;
  }
  const auto needed = static_cast<DWORD>(answer.size() + 1);
  if (buffer == nullptr || needed > *size) {
    *size = needed;
    return 0;
  }
  std::memcpy(buffer, answer.data(), answer.size());
  buffer[answer.size()] = '\0';
  *size = countNul ? needed : needed - 1;
  return 1;
}

}  // namespace platform::contract
