// The drive calls answered for the machine's mounted volumes. The drive table is read once per
// process, on first use: start-up asks for every drive in turn and must not re-read mountinfo each
// time.
#include "platform/drives.h"

#include <cstring>
#include <string_view>

#include "platform/backend/contract.h"
#include "platform/linux/drive_table.h"
#include "platform/linux/mounts.h"

namespace platform {

namespace {

using namespace linux_volumes;

DriveTable& Machine() {
  static DriveTable table(ReadVolumes(ThisMachine()));
  return table;
}

}  // namespace

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  try {
    // The list's own NULs are copied with it; the call adds the closing one.
    return contract::WriteOrNeed(Machine().List(), lpBuffer, nBufferLength);
  } catch (...) {
    return 0;
  }
}

UINT GetDriveTypeA(const char* lpRootPathName) {
  try {
    const Volume* volume = lpRootPathName == nullptr ? nullptr : Machine().Find(lpRootPathName);
    return volume == nullptr ? DRIVE_NO_ROOT_DIR : volume->type;
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
    const Volume* volume = table.Find(lpDirectoryName);
    // Any other directory may lie on a share, so it is asked with the same bound.
    const auto sizes = volume != nullptr
                           ? table.Size(*volume)
                           : MeasureBounded(Place{lpDirectoryName}, kShareBound, MeasureAt);
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
    const Volume* volume = lpRootPathName == nullptr ? nullptr : table.Find(lpRootPathName);
    // A volume that no source could read has no label or serial to give.
    if (volume == nullptr || !volume->identity.confirmed || !table.Readable(*volume)) {
      return 0;
    }
    // A volume without a UUID (a share, a RAM-disk) has no serial: 0.
    const contract::VolumeAnswer answer{volume->identity.label, volume->identity.type,
                                        VolumeSerial(volume->identity.uuid).value_or(0), 255, 0};
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
    const Volume* volume = lpPathName == nullptr ? nullptr : table.Find(lpPathName);
    if (volume == nullptr || !volume->identity.confirmed || !table.Readable(*volume)) {
      return false;
    }
    *name = volume->identity.label;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform
