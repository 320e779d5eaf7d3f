// Version, processor and memory records, filled by the calls of the same names.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// Platform ids of the version record. Windows reports the first three; a backend for another system
// reports kPlatformIdPosix and puts the system's own name ("Linux") into szCSDVersion.
inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
inline constexpr DWORD kPlatformIdPosix = 0x100;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// Non-zero on success, and then the record is filled. The caller sets dwOSVersionInfoSize first.
BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation);

inline constexpr DWORD PROCESSOR_INTEL_386 = 386;
inline constexpr DWORD PROCESSOR_INTEL_486 = 486;
inline constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;

// The processor record as a 32-bit program sees it: the active-processor mask is 32 bits wide, so
// CPUs past the 32nd do not show in it.
struct SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  DWORD lpMinimumApplicationAddress;
  DWORD lpMaximumApplicationAddress;
  DWORD dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};
static_assert(sizeof(SYSTEM_INFO) == 36);

// Always fills the record.
void GetSystemInfo(SYSTEM_INFO* lpSystemInfo);

// The memory record with 64-bit byte counts, as a 64-bit program's record has them: 32-bit counts
// cannot hold 2 GiB or more.
struct MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  std::uint64_t dwTotalPhys;
  std::uint64_t dwAvailPhys;
  std::uint64_t dwTotalPageFile;
  std::uint64_t dwAvailPageFile;
  std::uint64_t dwTotalVirtual;
  std::uint64_t dwAvailVirtual;
};

// Always fills the record. The caller sets dwLength first.
void GlobalMemoryStatus(MEMORYSTATUS* lpBuffer);

}  // namespace platform
