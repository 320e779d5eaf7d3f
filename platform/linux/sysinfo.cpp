#include "platform/sysinfo.h"

#include <fcntl.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/linux/sources.h"

namespace platform {

BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
  if (lpVersionInformation == nullptr ||
      lpVersionInformation->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
    return 0;
  }
  utsname names{};
  if (::uname(&names) != 0) {
    return 0;
  }
  const auto version = linux_sources::ParseKernelRelease(names.release);
  if (!version) {
    return 0;
  }
  lpVersionInformation->dwMajorVersion = version->major;
  lpVersionInformation->dwMinorVersion = version->minor;
  lpVersionInformation->dwBuildNumber = version->patch;
  lpVersionInformation->dwPlatformId = kPlatformIdPosix;
  auto& name = lpVersionInformation->szCSDVersion;
  std::memset(name, 0, sizeof name);
  std::strncpy(name, names.sysname, sizeof name - 1);
  return 1;
}

void GetSystemInfo(SYSTEM_INFO* lpSystemInfo) {
  if (lpSystemInfo == nullptr) {
    return;
  }
  SYSTEM_INFO info{};
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  info.dwPageSize = pageSize > 0 ? static_cast<DWORD>(pageSize) : 4096;
  info.dwAllocationGranularity = 65536;
  // The kernel's list of online CPUs gives both the count and the mask; sysconf, which reads the
  // same list, is only the fallback where /sys is not mounted.
  const auto text = linux_sources::ReadFile("/sys/devices/system/cpu/online");
  const auto cpus = text ? linux_sources::ParseCpuList(*text) : std::nullopt;
  if (cpus) {
    info.dwNumberOfProcessors = cpus->count;
    info.dwActiveProcessorMask = cpus->mask;
  } else {
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    info.dwNumberOfProcessors = online > 0 ? static_cast<DWORD>(online) : 1;
    const DWORD count = std::min<DWORD>(info.dwNumberOfProcessors, 32);
    info.dwActiveProcessorMask = count == 32 ? 0xFFFFFFFFU : (1U << count) - 1;
  }
#if defined(__x86_64__) || defined(__i386__)
  // Windows reports every x86 processor since the Pentium as type 586 to a 32-bit program.
  info.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#else
  info.dwProcessorType = 0;
#endif
  *lpSystemInfo = info;
}

namespace {

// /proc/meminfo is read again on every refresh, so its descriptor stays open and pread starts each
// read at the file's beginning: the kernel regenerates the text for every read from offset 0.
int MemInfoDescriptor() {
  static const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
  return fd;
}

std::optional<linux_sources::MemInfo> ReadMemInfo() {
  std::array<char, 8192> text{};
  const int fd = MemInfoDescriptor();
  if (fd >= 0) {
    const ssize_t count = ::pread(fd, text.data(), text.size(), 0);
    if (count > 0) {
      return linux_sources::ParseMemInfo(
          std::string_view(text.data(), static_cast<std::size_t>(count)));
    }
  }
  return std::nullopt;
}

// The kernel's own summary, for where /proc/meminfo cannot be opened or read (a restricted
// container, a hardened /proc). It has no page cache figure, so free plus buffer memory is the
// nearest it comes to the memory available: it counts less than MemAvailable, never more.
std::optional<linux_sources::MemInfo> ReadSysinfo() {
  struct sysinfo summary {};
  if (::sysinfo(&summary) != 0) {
    return std::nullopt;
  }
  const std::uint64_t unit = summary.mem_unit != 0 ? summary.mem_unit : 1;
  const auto bytes = [unit](std::uint64_t units) {
    return units > UINT64_MAX / unit ? UINT64_MAX : units * unit;
  };
  const std::uint64_t free = std::uint64_t{summary.freeram} + summary.bufferram;
  linux_sources::MemInfo info;
  info.totalBytes = bytes(summary.totalram);
  info.availableBytes = std::min(bytes(free), info.totalBytes);
  return info;
}

}  // namespace

void GlobalMemoryStatus(MEMORYSTATUS* lpBuffer) {
  if (lpBuffer == nullptr) {
    return;
  }
  const DWORD length = lpBuffer->dwLength;
  *lpBuffer = MEMORYSTATUS{};
  lpBuffer->dwLength = length;
  auto info = ReadMemInfo();
  if (!info) {
    info = ReadSysinfo();
  }
  if (info) {
    lpBuffer->dwMemoryLoad = linux_sources::MemoryLoad(*info);
    lpBuffer->dwTotalPhys = info->totalBytes;
    lpBuffer->dwAvailPhys = info->availableBytes;
  }
}

}  // namespace platform
