// Placeholder until the mounted volumes are read: no drives.
#include "platform/volumes.h"

namespace platform {

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  if (nBufferLength > 0 && lpBuffer != nullptr) {
    lpBuffer[0] = '\0';
  }
  return 0;
}

UINT GetDriveTypeA(const char*) { return DRIVE_NO_ROOT_DIR; }

BOOL GetDiskFreeSpaceExA(const char*, std::uint64_t*, std::uint64_t*, std::uint64_t*) { return 0; }

BOOL GetVolumeInformationA(const char*, char*, DWORD, DWORD*, DWORD*, DWORD*, char*, DWORD) {
  return 0;
}

bool Dir(const char*, int, std::string*) { return false; }

}  // namespace platform
