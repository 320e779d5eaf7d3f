// The computer's drives: their list, kind, size, label and serial number.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// Drive-type codes.
inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;
inline constexpr UINT DRIVE_REMOTE = 4;
inline constexpr UINT DRIVE_CDROM = 5;
inline constexpr UINT DRIVE_RAMDISK = 6;

// Writes the roots of all drives into lpBuffer, each ended by a NUL, the list closed by one more
// NUL, and returns the list's length without that last NUL. When the list does not fit in
// nBufferLength characters, returns the length it needs, final NUL included, and leaves the buffer
// alone. 0 when the call fails (on Linux: the mount table cannot be read), the buffer left alone;
// a list without drives is its closing NUL alone, also 0. A root is "C:\" on Windows and a mount
// point ending in "/" elsewhere ("/", "/home/").
DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer);

// The drive-type code of a root; DRIVE_NO_ROOT_DIR for a root that is not a drive.
UINT GetDriveTypeA(const char* lpRootPathName);

// Sizes in bytes: what the calling user may still write, the volume's total, and its free total.
// Non-zero on success. A network volume that does not answer within 2 seconds fails.
BOOL GetDiskFreeSpaceExA(const char* lpDirectoryName, std::uint64_t* lpFreeBytesAvailableToCaller,
                         std::uint64_t* lpTotalNumberOfBytes,
                         std::uint64_t* lpTotalNumberOfFreeBytes);

// Non-zero on success. Each buffer may be null with its size 0; each out pointer may be null.
BOOL GetVolumeInformationA(const char* lpRootPathName, char* lpVolumeNameBuffer,
                           DWORD nVolumeNameSize, DWORD* lpVolumeSerialNumber,
                           DWORD* lpMaximumComponentLength, DWORD* lpFileSystemFlags,
                           char* lpFileSystemNameBuffer, DWORD nFileSystemNameSize);

// The attribute that makes a directory search yield a volume's label.
inline constexpr int kAttributeVolume = 8;

// The label of the volume at a drive root, as a directory search for it with kAttributeVolume
// among the attributes yields it, in *name ("" for a volume without one). Returns false, the
// error, for a drive that cannot be read, a root that is not a mounted volume, or a search without
// kAttributeVolume: the program asks no other.
bool Dir(const char* lpPathName, int attributes, std::string* name);

}  // namespace platform
