#include "platform/volumes.h"

#include <windows.h>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/bounded_call.h"

namespace platform {
namespace {

// An empty floppy or CD drive must fail its call quietly, not ask the user to insert a disk. Set
// once, before the first drive call, and added to whatever error mode the process already has.
void FailCriticalErrorsQuietly() {
  static const bool once = [] {
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    ::SetErrorMode(previous | SEM_FAILCRITICALERRORS);
    return true;
  }();
  static_cast<void>(once);
}

struct Sizes {
  BOOL ok = 0;
  std::uint64_t available = 0;
  std::uint64_t total = 0;
  std::uint64_t free = 0;
};

Sizes AskSizes(const char* root) {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  ULARGE_INTEGER free{};
  Sizes sizes;
  sizes.ok = ::GetDiskFreeSpaceExA(root, &available, &total, &free);
  if (sizes.ok != 0) {
    sizes.available = available.QuadPart;
    sizes.total = total.QuadPart;
    sizes.free = free.QuadPart;
  }
  return sizes;
}

// A share whose server has gone can keep the size query waiting for minutes; the start-up does not.
constexpr std::chrono::seconds kNetworkBound{2};

}  // namespace

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  FailCriticalErrorsQuietly();
  return ::GetLogicalDriveStringsA(nBufferLength, lpBuffer);
}

UINT GetDriveTypeA(const char* lpRootPathName) {
  FailCriticalErrorsQuietly();
  return ::GetDriveTypeA(lpRootPathName);
}

BOOL GetDiskFreeSpaceExA(const char* lpDirectoryName, std::uint64_t* lpFreeBytesAvailableToCaller,
                         std::uint64_t* lpTotalNumberOfBytes,
                         std::uint64_t* lpTotalNumberOfFreeBytes) {
  FailCriticalErrorsQuietly();
  Sizes sizes;
  if (lpDirectoryName != nullptr && ::GetDriveTypeA(lpDirectoryName) == DRIVE_REMOTE) {
    // The worker gets its own copy of the name: it may outlive this call.
    const auto answer = win32::CallWithin(
        kNetworkBound, [root = std::string(lpDirectoryName)] { return AskSizes(root.c_str()); });
    if (!answer) {
      return 0;
    }
    sizes = *answer;
  } else {
    sizes = AskSizes(lpDirectoryName);
  }
  if (sizes.ok == 0) {
    return 0;
  }
  if (lpFreeBytesAvailableToCaller != nullptr) {
    *lpFreeBytesAvailableToCaller = sizes.available;
  }
  if (lpTotalNumberOfBytes != nullptr) {
    *lpTotalNumberOfBytes = sizes.total;
  }
  if (lpTotalNumberOfFreeBytes != nullptr) {
    *lpTotalNumberOfFreeBytes = sizes.free;
  }
  return 1;
}

BOOL GetVolumeInformationA(const char* lpRootPathName, char* lpVolumeNameBuffer,
                           DWORD nVolumeNameSize, DWORD* lpVolumeSerialNumber,
                           DWORD* lpMaximumComponentLength, DWORD* lpFileSystemFlags,
                           char* lpFileSystemNameBuffer, DWORD nFileSystemNameSize) {
  FailCriticalErrorsQuietly();
  ::DWORD serial = 0;
  ::DWORD maximumLength = 0;
  ::DWORD flags = 0;
  const BOOL ok = ::GetVolumeInformationA(
      lpRootPathName, lpVolumeNameBuffer, nVolumeNameSize,
      lpVolumeSerialNumber != nullptr ? &serial : nullptr,
      lpMaximumComponentLength != nullptr ? &maximumLength : nullptr,
      lpFileSystemFlags != nullptr ? &flags : nullptr, lpFileSystemNameBuffer, nFileSystemNameSize);
  if (ok == 0) {
    return 0;
  }
  if (lpVolumeSerialNumber != nullptr) {
    *lpVolumeSerialNumber = serial;
  }
  if (lpMaximumComponentLength != nullptr) {
    *lpMaximumComponentLength = maximumLength;
  }
  if (lpFileSystemFlags != nullptr) {
    *lpFileSystemFlags = flags;
  }
  return 1;
}

bool Dir(const char* lpPathName, int attributes, std::string* name) {
  FailCriticalErrorsQuietly();
  if (lpPathName == nullptr || name == nullptr) {
    return false;
  }
  if ((attributes & kAttributeVolume) != 0) {
    // The volume-label search of Win32 is the name the volume information call reports; a drive
    // without a readable medium fails it.
    std::array<char, MAX_PATH + 1> label{};
    if (::GetVolumeInformationA(lpPathName, label.data(), static_cast<::DWORD>(label.size()),
                                nullptr, nullptr, nullptr, nullptr, 0) == 0) {
      return false;
    }
    *name = label.data();
    return true;
  }
  // Any other search yields the first entry that is a plain file or carries one of the attributes
  // asked for, "" when there is none; a path that cannot be searched is the error.
  ::WIN32_FIND_DATAA entry{};
  const HANDLE search = ::FindFirstFileA(lpPathName, &entry);
  if (search == INVALID_HANDLE_VALUE) {
    const ::DWORD error = ::GetLastError();
    name->clear();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
  }
  constexpr ::DWORD kSelectable =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  const auto wanted = static_cast<::DWORD>(attributes) & kSelectable;
  name->clear();
  do {
    const std::string_view found = entry.cFileName;
    if (found == "." || found == "..") {
      continue;
    }
    if ((entry.dwFileAttributes & kSelectable & ~wanted) == 0) {
      *name = entry.cFileName;
      break;
    }
  } while (::FindNextFileA(search, &entry) != 0);
  ::FindClose(search);
  return true;
}

}  // namespace platform
