#include "platform/drives.h"
#include "platform/unicode.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend/contract.h"
#include "platform/win32/drive_table.h"

namespace platform {
namespace {

static_assert(win32::kDriveRemote == DRIVE_REMOTE && win32::kDriveUnknown == DRIVE_UNKNOWN);

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

std::vector<std::string> ListRoots() {
  std::vector<char> list(4 * 26 + 1);
  const ::DWORD length = ::GetLogicalDriveStringsA(static_cast<::DWORD>(list.size()), list.data());
  std::vector<std::string> roots;
  if (length == 0 || length >= list.size()) {
    return roots;
  }
  for (const char* root = list.data(); *root != '\0'; root += std::strlen(root) + 1) {
    roots.emplace_back(root);
  }
  return roots;
}

std::optional<contract::DiskSizes> AskSizes(const std::string& path) {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  ULARGE_INTEGER free{};
  if (::GetDiskFreeSpaceExA(path.c_str(), &available, &total, &free) == 0) {
    return std::nullopt;
  }
  return contract::DiskSizes{available.QuadPart, total.QuadPart, free.QuadPart};
}

std::optional<win32::VolumeFacts> AskVolume(const std::string& root) {
  std::array<char, MAX_PATH + 1> label{};
  std::array<char, MAX_PATH + 1> fileSystem{};
  ::DWORD serial = 0;
  ::DWORD maximumLength = 0;
  ::DWORD flags = 0;
  if (::GetVolumeInformationA(root.c_str(), label.data(), static_cast<::DWORD>(label.size()),
                              &serial, &maximumLength, &flags, fileSystem.data(),
                              static_cast<::DWORD>(fileSystem.size())) == 0) {
    return std::nullopt;
  }
  return win32::VolumeFacts{label.data(), serial, maximumLength, flags, fileSystem.data()};
}

// The label from the wide-character call, so that no letter is lost to the ANSI code page, and the
// serial from the same call.
std::optional<win32::VolumeText> AskText(const std::string& root) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, root.c_str(), -1, nullptr, 0);
  if (length <= 0) {
    return std::nullopt;
  }
  std::wstring wideRoot(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, root.c_str(), -1, wideRoot.data(), length);
  std::array<wchar_t, MAX_PATH + 1> label{};
  ::DWORD serial = 0;
  if (::GetVolumeInformationW(wideRoot.c_str(), label.data(), static_cast<::DWORD>(label.size()),
                              &serial, nullptr, nullptr, nullptr, 0) == 0) {
    return std::nullopt;
  }
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, label.data(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return std::nullopt;
  }
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, label.data(), -1, utf8.data(), bytes, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(bytes - 1));  // without the NUL
  return win32::VolumeText{std::move(utf8), serial};
}

// Every drive call but the list goes through this table: a share whose server has gone can keep
// each call waiting for minutes, and start-up asks every drive several things.
win32::DriveTable& Machine() {
  static win32::DriveTable table(win32::DriveCalls{
      ListRoots, [](const std::string& root) { return ::GetDriveTypeA(root.c_str()); }, AskSizes,
      AskVolume, AskText});
  return table;
}

}  // namespace

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  FailCriticalErrorsQuietly();
  return ::GetLogicalDriveStringsA(nBufferLength, lpBuffer);
}

UINT GetDriveTypeA(const char* lpRootPathName) {
  FailCriticalErrorsQuietly();
  if (lpRootPathName == nullptr) {
    // The current directory's drive: asked of the system, which needs no name for it.
    return ::GetDriveTypeA(nullptr);
  }
  try {
    return Machine().Type(lpRootPathName);
  } catch (...) {
    return DRIVE_UNKNOWN;
  }
}

BOOL GetDiskFreeSpaceExA(const char* lpDirectoryName, std::uint64_t* lpFreeBytesAvailableToCaller,
                         std::uint64_t* lpTotalNumberOfBytes,
                         std::uint64_t* lpTotalNumberOfFreeBytes) {
  FailCriticalErrorsQuietly();
  if (lpDirectoryName == nullptr) {
    return 0;
  }
  try {
    const auto sizes = Machine().Sizes(lpDirectoryName);
    if (!sizes) {
      return 0;
    }
    contract::WriteSizes(*sizes, lpFreeBytesAvailableToCaller, lpTotalNumberOfBytes,
                         lpTotalNumberOfFreeBytes);
    return 1;
  } catch (...) {
    return 0;
  }
}

BOOL GetVolumeInformationA(const char* lpRootPathName, char* lpVolumeNameBuffer,
                           DWORD nVolumeNameSize, DWORD* lpVolumeSerialNumber,
                           DWORD* lpMaximumComponentLength, DWORD* lpFileSystemFlags,
                           char* lpFileSystemNameBuffer, DWORD nFileSystemNameSize) {
  FailCriticalErrorsQuietly();
  if (lpRootPathName == nullptr) {
    return 0;
  }
  try {
    const auto facts = Machine().Volume(lpRootPathName);
    if (!facts) {
      return 0;
    }
    return contract::WriteVolume(
        {facts->label, facts->fileSystem, facts->serial, facts->maximumLength, facts->flags},
        lpVolumeNameBuffer, nVolumeNameSize, lpVolumeSerialNumber, lpMaximumComponentLength,
        lpFileSystemFlags, lpFileSystemNameBuffer, nFileSystemNameSize);
  } catch (...) {
    return 0;
  }
}

bool Dir(const char* lpPathName, int attributes, std::string* name) {
  FailCriticalErrorsQuietly();
  if ((attributes & kAttributeVolume) == 0 || lpPathName == nullptr || name == nullptr) {
    return false;
  }
  // The volume-label search of Win32 is the name the volume information call reports; a drive
  // without a readable medium fails it.
  try {
    const auto facts = Machine().Volume(lpPathName);
    if (!facts) {
      return false;
    }
    *name = facts->label;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform

namespace platform::unicode {

std::optional<Volume> VolumeAt(const std::string& root) {
  FailCriticalErrorsQuietly();
  try {
    const auto text = Machine().Text(root);
    if (!text) {
      return std::nullopt;
    }
    return Volume{text->label, text->serial};
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace platform::unicode
