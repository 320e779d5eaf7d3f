// The drive calls answered for the machine's mounted volumes. The drive table is read once per
// process, on first use: start-up asks for every drive in turn and must not re-read mountinfo each
// time.
#include "platform/drives.h"
#include "platform/unicode.h"

#include <cstring>
#include <string_view>

#include "platform/backend/contract.h"
#include "platform/linux/drive_list.h"
#include "platform/linux/drive_table.h"
#include "platform/linux/start_up.h"

namespace platform {

namespace {

using namespace linux_drives;

DriveTable& Machine() {
  return linux_start_up::Drives();
}

}  // namespace

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  try {
    // Without a mount table the call fails, leaving the buffer alone; a table without drives gives
    // the list's closing NUL alone.
    if (!linux_start_up::DrivesListed()) {
      return 0;
    }
    // The list's own NULs are copied with it; the call adds the closing one.
    return contract::WriteOrNeed(Machine().List(), lpBuffer, nBufferLength);
  } catch (...) {
    return 0;
  }
}

UINT GetDriveTypeA(const char* lpRootPathName) {
  try {
    const Drive* drive = lpRootPathName == nullptr ? nullptr : Machine().Find(lpRootPathName);
    return drive == nullptr ? DRIVE_NO_ROOT_DIR : drive->type;
  } catch (...) {
    return DRIVE_UNKNOWN;
  }
}

BOOL GetDiskFreeSpaceExA(const char* lpDirectoryName, std::uint64_t* lpFreeBytesAvailableToCaller,
                         std::uint64_t* lpTotalNumberOfBytes,
                         std::uint64_t* lpTotalNumberOfFreeBytes) {
  try {
    if (lpDirectoryName == nullptr) {
      return 0;
    }
    DriveTable& table = Machine();
    const Drive* drive = table.Find(lpDirectoryName);
    // Any other directory may lie on a share, so it is asked with the same bound.
    const auto sizes =
        drive != nullptr ? table.Size(*drive) : linux_start_up::MeasureDirectory(lpDirectoryName);
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
  try {
    DriveTable& table = Machine();
    const Drive* drive = lpRootPathName == nullptr ? nullptr : table.Find(lpRootPathName);
    // A drive that no source could read has no label or serial to give.
    if (drive == nullptr || !drive->identity.confirmed || !table.Readable(*drive)) {
      return 0;
    }
    // A drive without a UUID (a share, a RAM-disk) has no serial: 0.
    const contract::VolumeAnswer answer{drive->identity.label, drive->identity.type,
                                        VolumeSerial(drive->identity.uuid).value_or(0), 255, 0};
    return contract::WriteVolume(answer, lpVolumeNameBuffer, nVolumeNameSize, lpVolumeSerialNumber,
                                 lpMaximumComponentLength, lpFileSystemFlags,
                                 lpFileSystemNameBuffer, nFileSystemNameSize);
  } catch (...) {
    return 0;
  }
}

bool Dir(const char* lpPathName, int attributes, std::string* name) {
  try {
    if ((attributes & kAttributeVolume) == 0 || name == nullptr) {
      return false;
    }
    DriveTable& table = Machine();
    const Drive* drive = lpPathName == nullptr ? nullptr : table.Find(lpPathName);
    if (drive == nullptr || !drive->identity.confirmed || !table.Readable(*drive)) {
      return false;
    }
    *name = drive->identity.label;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform

namespace platform::unicode {

// Linux labels are bytes already: the label search's answer, whole, and the volume call's serial.
std::optional<Volume> VolumeAt(const std::string& root) {
  Volume volume;
  if (!Dir(root.c_str(), kAttributeVolume, &volume.label) ||
      GetVolumeInformationA(root.c_str(), nullptr, 0, &volume.serial, nullptr, nullptr, nullptr,
                            0) == 0) {
    return std::nullopt;
  }
  return volume;
}

}  // namespace platform::unicode
