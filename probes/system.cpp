#include "probes/system.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "platform/drives.h"
#include "platform/growing_buffer.h"
#include "platform/identity.h"
#include "platform/keyboard.h"
#include "platform/sysinfo.h"

namespace System {
namespace {

constexpr platform::DWORD kAnswerCapacity = 50;

std::string CutAtNul(std::string strText) {
  const auto position = strText.find('\0');
  if (position != std::string::npos) {
    strText.resize(position);
  }
  return strText;
}

void RemoveTrailingBlanks(std::string& text) {
  const auto last = text.find_last_not_of(' ');
  text.resize(last == std::string::npos ? 0 : last + 1);
}

// The steps every text probe takes on success: the whole buffer, without its trailing blanks, cut
// at the NUL the platform wrote.
std::string TakeAnswer(std::string buffer) {
  RemoveTrailingBlanks(buffer);
  return CutAtNul(std::move(buffer));
}

// How often a probe asks again with the capacity the platform reports: a name or path can change
// between two calls.
constexpr int kAttempts = 4;

// A name that does not fit makes the platform report the capacity it needs; the probe asks again
// with that capacity, so that the whole name comes back.
template <typename Call>
std::string NameProbe(Call call) {
  const auto answer =
      platform::AskGrowing(kAnswerCapacity, ' ', kAttempts, [&call](std::string& buffer) {
        auto size = static_cast<platform::DWORD>(buffer.size());
        const bool answered = call(buffer.data(), &size) > 0;
        return platform::BufferReply{answered, size};
      });
  return answer ? TakeAnswer(*answer) : std::string();
}

// A directory longer than the buffer makes the platform report the capacity it needs instead; the
// probe asks again with that capacity, so that the whole path comes back.
template <typename Call>
std::string DirectoryProbe(Call call) {
  const auto answer =
      platform::AskGrowing(kAnswerCapacity, ' ', kAttempts, [&call](std::string& buffer) {
        const auto capacity = static_cast<platform::DWORD>(buffer.size());
        const platform::DWORD result = call(buffer.data(), capacity);
        return platform::BufferReply{result != 0 && result <= capacity, result};
      });
  if (!answer) {
    return {};
  }
  std::string directory = TakeAnswer(*answer);
  const char separator = platform::DirectorySeparator();
  if (directory.empty() || directory.back() != separator) {
    directory += separator;
  }
  return directory;
}

template <typename Int>
std::string Decimal(Int value) {
  std::array<char, 24> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  return {digits.data(), end};
}

// Bytes to kilobytes, rounded half to even as the double-precision division does it, saturating
// rather than wrapping for more than 2 TiB.
std::int32_t Kilobytes(std::uint64_t bytes) {
  const double kilobytes = std::nearbyint(static_cast<double>(bytes) / 1024.0);
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  return kilobytes >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(kilobytes);
}

// The name of a drive-type code; "" for a code that names no kind of drive.
std::string KindName(platform::UINT code) {
  switch (code) {
    case platform::DRIVE_REMOVABLE:
      return "Removable drive";
    case platform::DRIVE_FIXED:
      return "Fixed drive";
    case platform::DRIVE_REMOTE:
      return "Network drive";
    case platform::DRIVE_CDROM:
      return "CD-ROM drive";
    case platform::DRIVE_RAMDISK:
      return "RAM-disk";
    default:
      return {};
  }
}

}  // namespace

std::string ComputerName() {
  // A Linux host name holds up to 64 bytes, and a long cloud name or one in UTF-8 (26 letters "ä"
  // are 52 bytes) does not fit the buffer; a Windows computer name (15 characters) always does.
  return NameProbe(platform::GetComputerNameA);
}

std::string UserName() {
  // A Linux login name may be longer than the buffer (useradd allows 32 bytes, a directory service
  // more), and a Windows one has up to 256 characters.
  return NameProbe(platform::GetUserNameA);
}

std::string WinDir() {
  return DirectoryProbe(platform::GetWindowsDirectoryA);
}

std::string SystemDir() {
  return DirectoryProbe(platform::GetSystemDirectoryA);
}

std::string TempDir() {
  return DirectoryProbe([](char* buffer, platform::DWORD capacity) {
    return platform::GetTempPathA(capacity, buffer);
  });
}

void WinVer(std::int16_t& intMajor, std::int16_t& intMinor, std::string& strPlatform) {
  platform::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = sizeof record;
  if (platform::GetVersionExA(&record) == 0) {
    intMajor = 0;
    intMinor = 0;
    strPlatform.clear();
    return;
  }
  intMajor = static_cast<std::int16_t>(record.dwMajorVersion);
  intMinor = static_cast<std::int16_t>(record.dwMinorVersion);
  switch (record.dwPlatformId) {
    case platform::VER_PLATFORM_WIN32s:
      strPlatform = "Windows " + Decimal(intMajor) + "." + Decimal(intMinor);
      break;
    case platform::VER_PLATFORM_WIN32_WINDOWS:
      strPlatform = "Windows 95";
      break;
    case platform::VER_PLATFORM_WIN32_NT:
      strPlatform = "Windows NT";
      break;
    case platform::kPlatformIdPosix:
      strPlatform = CutAtNul(std::string(record.szCSDVersion, sizeof record.szCSDVersion));
      break;
    default:
      break;
  }
}

void SystemInfo(std::string& strProcessor, std::int32_t& lngNumOfProcessors,
                std::int32_t& lngActiveProcessor) {
  platform::SYSTEM_INFO record{};
  platform::GetSystemInfo(&record);
  lngActiveProcessor = static_cast<std::int32_t>(record.dwActiveProcessorMask);
  lngNumOfProcessors = static_cast<std::int32_t>(record.dwNumberOfProcessors);
  switch (record.dwProcessorType) {
    case platform::PROCESSOR_INTEL_386:
      strProcessor = "80386";
      break;
    case platform::PROCESSOR_INTEL_486:
      strProcessor = "80486";
      break;
    case platform::PROCESSOR_INTEL_PENTIUM:
      strProcessor = "Intel Pentium";
      break;
    default:
      break;
  }
}

void FreeMemory(std::uint8_t& btePercentUsed, std::int32_t& lngTotalRam, std::int32_t& lngFreeRam) {
  platform::MEMORYSTATUS record{};
  record.dwLength = sizeof record;
  platform::GlobalMemoryStatus(&record);
  btePercentUsed = static_cast<std::uint8_t>(record.dwMemoryLoad);
  lngTotalRam = Kilobytes(record.dwTotalPhys);
  lngFreeRam = Kilobytes(record.dwAvailPhys);
}

std::string KeyboardType() {
  switch (platform::GetKeyboardType(0)) {
    case 1:
      return "IBM PC/XT or compatible (83 key)";
    case 2:
      return "Olivetti \"ico\" (102 key)";
    case 3:
      return "IBM PC/AT or compatible (84 key)";
    case 4:
      return "IBM enhanced (101 or 102 key)";
    case 5:
      return "Nokia 1050 or compatible";
    case 6:
      return "Nokia 9140 or compatible";
    case 7:
      return "Japanese";
    default:
      return {};
  }
}

std::uint8_t FunctionKeys() {
  return static_cast<std::uint8_t>(platform::GetKeyboardType(2));
}

std::string DriveType(const std::string& strRoot) {
  return KindName(platform::GetDriveTypeA(strRoot.c_str()));
}

std::optional<std::vector<std::string>> LogicalDriveRoots() {
  // The list can grow between two requests, so the request repeats while it reports a greater need;
  // the limit only guards against a platform that never settles. A platform that asks for more
  // than can be had gives no list, as a failed request does.
  const auto list = platform::AskGrowing(10, ' ', 16, [](std::string& buffer) {
    const auto length = static_cast<platform::DWORD>(buffer.size());
    const platform::DWORD result = platform::GetLogicalDriveStringsA(length, buffer.data());
    if (result > length) {
      return platform::BufferReply{false, result};
    }
    // 0 is the failed call's answer; a list without a drive is its closing NUL alone.
    if (result == 0 && buffer.front() != '\0') {
      return platform::BufferReply{};
    }
    buffer.resize(result);
    return platform::BufferReply{true, 0};
  });
  if (!list) {
    return std::nullopt;
  }
  std::vector<std::string> roots;
  std::size_t position = 0;
  while (position < list->size()) {
    const std::size_t nul = list->find('\0', position);
    const std::size_t end = nul == std::string::npos ? list->size() : nul;
    if (end == position) {
      break;
    }
    roots.emplace_back(list->substr(position, end - position));
    position = end + 1;
  }
  return roots;
}

void Drives(std::int16_t& intRemovable, std::int16_t& intNotRemovable, std::int16_t& intCD,
            std::int16_t& intRAM, std::int16_t& intNetwork) {
  // A counter stops at the largest value it holds: wrapping would show a negative count.
  const auto add = [](std::int16_t& counter) {
    if (counter < std::numeric_limits<std::int16_t>::max()) {
      ++counter;
    }
  };
  for (const std::string& root : LogicalDriveRoots().value_or(std::vector<std::string>{})) {
    switch (platform::GetDriveTypeA(root.c_str())) {
      case platform::DRIVE_REMOVABLE:
        add(intRemovable);
        break;
      case platform::DRIVE_FIXED:
        add(intNotRemovable);
        break;
      case platform::DRIVE_REMOTE:
        add(intNetwork);
        break;
      case platform::DRIVE_CDROM:
        add(intCD);
        break;
      case platform::DRIVE_RAMDISK:
        add(intRAM);
        break;
      default:
        break;
    }
  }
}

void DriveInfo(const std::string& strRoot, std::int64_t& lngTotalSpace,
               std::int64_t& lngFreeSpace) {
  std::uint64_t available = 0;
  std::uint64_t total = 0;
  std::uint64_t totalFree = 0;
  if (platform::GetDiskFreeSpaceExA(strRoot.c_str(), &available, &total, &totalFree) == 0) {
    lngTotalSpace = 0;
    lngFreeSpace = 0;
    return;
  }
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  lngTotalSpace = static_cast<std::int64_t>(std::min(total, kMax));
  lngFreeSpace = static_cast<std::int64_t>(std::min(available, kMax));
}

std::string VolumeLabel(const std::string& strRoot) {
  try {
    std::string name;
    if (!platform::Dir(strRoot.c_str(), platform::kAttributeVolume, &name)) {
      return {};
    }
    name = CutAtNul(std::move(name));
    return name.empty() ? std::string("NoName") : name;
  } catch (...) {
    return {};
  }
}

std::string SerialNumber(const std::string& strRoot) {
  platform::DWORD serial = 0;
  if (platform::GetVolumeInformationA(strRoot.c_str(), nullptr, 0, &serial, nullptr, nullptr,
                                      nullptr, 0) == 0) {
    return "0000-0000";
  }
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string text(9, '-');
  for (int digit = 7; digit >= 0; --digit) {
    text[digit < 4 ? digit : digit + 1] = kHex[serial & 0xFU];
    serial >>= 4U;
  }
  return text;
}

std::string PutPoints(std::int64_t lngNumber) {
  // The digits are grouped without the sign, so that a negative number keeps its sign in front.
  const bool negative = lngNumber < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(lngNumber) : static_cast<std::uint64_t>(lngNumber);
  const std::string digits = Decimal(magnitude);
  const std::size_t n = digits.size();
  std::string result = negative ? "-" : "";
  result.reserve(n + n / 3 + 1);
  const std::size_t head = (n - 1) % 3 + 1;
  result.append(digits, 0, head);
  for (std::size_t position = head; position < n; position += 3) {
    result += '.';
    result.append(digits, position, 3);
  }
  return result;
}

}  // namespace System
