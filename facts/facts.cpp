#include "facts/facts.h"

#include <cstdio>
#include <utility>

#include "platform/drives.h"
#include "platform/identity.h"
#include "platform/sysinfo.h"
#include "platform/unicode.h"
#include "probes/system.h"

namespace facts {
namespace {

// A directory as the window shows it: ending with the system's separator.
std::string Directory(std::optional<std::string> path) {
  if (!path) {
    return {};
  }
  const char separator = platform::DirectorySeparator();
  if (path->empty() || path->back() != separator) {
    *path += separator;
  }
  return std::move(*path);
}

Drive DriveAt(const std::string& root) {
  Drive drive{root, System::DriveType(root), {}, {}, {}, {}};
  std::uint64_t available = 0;
  std::uint64_t total = 0;
  std::uint64_t free = 0;
  if (platform::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free) == 0 || total == 0) {
    return drive;
  }
  drive.totalBytes = total;
  drive.freeBytes = available;
  if (const auto volume = platform::unicode::VolumeAt(root)) {
    drive.label = volume->label;
    char text[10];
    std::snprintf(text, sizeof text, "%04X-%04X", static_cast<unsigned>(volume->serial >> 16U),
                  static_cast<unsigned>(volume->serial & 0xFFFFU));
    drive.serial = text;
  }
  return drive;
}

}  // namespace

Facts Gather() {
  Facts facts;
  facts.computerName = platform::unicode::ComputerName().value_or("");
  facts.userName = platform::unicode::UserName().value_or("");

  std::int16_t major = 0;
  std::int16_t minor = 0;
  System::WinVer(major, minor, facts.platform);
  facts.major = major;
  facts.minor = minor;

  std::int32_t processors = 0;
  std::int32_t mask = 0;
  System::SystemInfo(facts.processor, processors, mask);
  facts.processors = static_cast<std::uint32_t>(processors);
  facts.activeMask = static_cast<std::uint32_t>(mask);

  // The memory record itself: the probe's kilobytes are rounded and stop at 2 TiB.
  platform::MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  platform::GlobalMemoryStatus(&memory);
  facts.usedPercent = memory.dwMemoryLoad;
  facts.totalBytes = memory.dwTotalPhys;
  facts.availableBytes = memory.dwAvailPhys;

  facts.windowsDirectory = Directory(platform::unicode::WindowsDirectory());
  facts.systemDirectory = Directory(platform::unicode::SystemDirectory());
  facts.tempDirectory = Directory(platform::unicode::TempPath());
  facts.keyboardType = System::KeyboardType();
  facts.functionKeys = System::FunctionKeys();

  if (const auto roots = System::LogicalDriveRoots()) {
    facts.drives.emplace();
    for (const std::string& root : *roots) {
      facts.drives->push_back(DriveAt(root));
    }
  }
  return facts;
}

}  // namespace facts
