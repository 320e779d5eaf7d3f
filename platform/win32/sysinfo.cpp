#include "platform/sysinfo.h"

#include <windows.h>

#include <cstring>

namespace platform {

BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
  if (lpVersionInformation == nullptr ||
      lpVersionInformation->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
    return 0;
  }
  // Windows answers with the newest version the program's manifest declares itself compatible with.
  ::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = sizeof record;
  if (::GetVersionExA(&record) == 0) {
    return 0;
  }
  lpVersionInformation->dwMajorVersion = record.dwMajorVersion;
  lpVersionInformation->dwMinorVersion = record.dwMinorVersion;
  lpVersionInformation->dwBuildNumber = record.dwBuildNumber;
  lpVersionInformation->dwPlatformId = record.dwPlatformId;
  static_assert(sizeof record.szCSDVersion == sizeof lpVersionInformation->szCSDVersion);
  std::memcpy(lpVersionInformation->szCSDVersion, record.szCSDVersion, sizeof record.szCSDVersion);
  return 1;
}

void GetSystemInfo(SYSTEM_INFO* lpSystemInfo) {
  if (lpSystemInfo == nullptr) {
    return;
  }
  ::SYSTEM_INFO native{};
  ::GetSystemInfo(&native);
  SYSTEM_INFO info{};
  info.wProcessorArchitecture = native.wProcessorArchitecture;
  info.dwPageSize = native.dwPageSize;
  // The record is the one a 32-bit program gets: addresses and the mask are cut to 32 bits.
  info.lpMinimumApplicationAddress =
      static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(native.lpMinimumApplicationAddress));
  info.lpMaximumApplicationAddress =
      static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(native.lpMaximumApplicationAddress));
  info.dwActiveProcessorMask = static_cast<DWORD>(native.dwActiveProcessorMask & 0xFFFFFFFFU);
  info.dwNumberOfProcessors = native.dwNumberOfProcessors;
  info.dwProcessorType = native.dwProcessorType;
  // A 32-bit program on an x64 processor is told it runs on a Pentium-class processor, as the Linux
  // backend says of every x86 processor; the 64-bit record would say 8664, which no probe names.
  if (native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64) {
    info.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
  }
  info.dwAllocationGranularity = native.dwAllocationGranularity;
  info.wProcessorLevel = native.wProcessorLevel;
  info.wProcessorRevision = native.wProcessorRevision;
  *lpSystemInfo = info;
}

void GlobalMemoryStatus(MEMORYSTATUS* lpBuffer) {
  if (lpBuffer == nullptr) {
    return;
  }
  const DWORD length = lpBuffer->dwLength;
  *lpBuffer = MEMORYSTATUS{};
  lpBuffer->dwLength = length;
  // The extended call, because the 32-bit record cannot count 4 GiB or more.
  ::MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (::GlobalMemoryStatusEx(&status) == 0) {
    return;
  }
  lpBuffer->dwMemoryLoad = status.dwMemoryLoad;
  lpBuffer->dwTotalPhys = status.ullTotalPhys;
  lpBuffer->dwAvailPhys = status.ullAvailPhys;
  lpBuffer->dwTotalPageFile = status.ullTotalPageFile;
  lpBuffer->dwAvailPageFile = status.ullAvailPageFile;
  lpBuffer->dwTotalVirtual = status.ullTotalVirtual;
  lpBuffer->dwAvailVirtual = status.ullAvailVirtual;
}

}  // namespace platform
