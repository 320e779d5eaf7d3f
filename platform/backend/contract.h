// How a backend writes its answers into a caller's buffers, shared by every backend that answers
// from facts of its own rather than passing the call on: a text answer and its NUL at the start of
// the buffer, the rest of the buffer untouched.
#pragma once

#include <cstdint>
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

// A text into an optional buffer (null: nothing asked); false when the text and its NUL do not fit.
inline bool WriteIfFits(std::string_view text, char* buffer, DWORD size) {
  if (buffer == nullptr) {
    return true;
  }
  if (text.size() + 1 > size) {
    return false;
  }
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}

// What the disk-space call answers about one volume, in bytes and in the call's order: what the
// calling user may still write, the volume's total, and its free total.
struct DiskSizes {
  std::uint64_t available = 0;
  std::uint64_t total = 0;
  std::uint64_t free = 0;
};

// The disk-space call's three answers, each into its out pointer where one is given.
inline void WriteSizes(const DiskSizes& sizes, std::uint64_t* lpFreeBytesAvailableToCaller,
                       std::uint64_t* lpTotalNumberOfBytes,
                       std::uint64_t* lpTotalNumberOfFreeBytes) {
  if (lpFreeBytesAvailableToCaller != nullptr) {
    *lpFreeBytesAvailableToCaller = sizes.available;
  }
  if (lpTotalNumberOfBytes != nullptr) {
    *lpTotalNumberOfBytes = sizes.total;
  }
  if (lpTotalNumberOfFreeBytes != nullptr) {
    *lpTotalNumberOfFreeBytes = sizes.free;
  }
}

// What the volume call answers about one volume.
struct VolumeAnswer {
  std::string_view label;
  std::string_view fileSystem;
  DWORD serial = 0;
  DWORD maximumLength = 0;
  DWORD flags = 0;
};

// The volume call's answers, each into its buffer or out pointer where one is given; FALSE, with
// no number written, when the label or the file system's name does not fit its buffer.
inline BOOL WriteVolume(const VolumeAnswer& answer, char* lpVolumeNameBuffer, DWORD nVolumeNameSize,
                        DWORD* lpVolumeSerialNumber, DWORD* lpMaximumComponentLength,
                        DWORD* lpFileSystemFlags, char* lpFileSystemNameBuffer,
                        DWORD nFileSystemNameSize) {
  if (!WriteIfFits(answer.label, lpVolumeNameBuffer, nVolumeNameSize) ||
      !WriteIfFits(answer.fileSystem, lpFileSystemNameBuffer, nFileSystemNameSize)) {
    return 0;
  }
  if (lpVolumeSerialNumber != nullptr) {
    *lpVolumeSerialNumber = answer.serial;
  }
  if (lpMaximumComponentLength != nullptr) {
    *lpMaximumComponentLength = answer.maximumLength;
  }
  if (lpFileSystemFlags != nullptr) {
    *lpFileSystemFlags = answer.flags;
  }
  return 1;
}

}  // namespace platform::contract
