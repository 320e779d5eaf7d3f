// Every fact the program shows, gathered in one pass for the facts document (quorvane --json):
// texts as the window shows them, names, directories and labels whole (see platform/unicode.h),
// and numbers exact and 64-bit, as the platform gives them, rather than the window's kilobytes,
// 32-bit counts and dotted groups. Where nothing can tell a fact, it is absent (nullopt).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace facts {

struct Drive {
  std::string root;  // as the drive list gives it: "C:\", "/home/"
  std::string kind;  // "Fixed drive" ..., "" for a kind without a name
  // Both absent for a drive that cannot be measured (the listing's "No disk loaded"); its label and
  // serial are then not asked.
  std::optional<std::uint64_t> totalBytes;
  std::optional<std::uint64_t> freeBytes;  // for the calling user, as the listing shows it
  // "" for a volume without a label; absent where no source can tell.
  std::optional<std::string> label;
  // "XXXX-XXXX"; absent where the volume cannot be read.
  std::optional<std::string> serial;
};

struct Facts {
  std::string computerName;
  std::string userName;
  std::string platform;  // "Windows NT", "Linux"
  int major = 0;
  int minor = 0;
  std::string processor;  // "Intel Pentium", or ""
  std::uint32_t processors = 0;
  std::uint32_t activeMask = 0;
  std::uint32_t usedPercent = 0;
  std::uint64_t totalBytes = 0;
  std::uint64_t availableBytes = 0;
  std::string windowsDirectory;  // each ending with the system's separator, "" where unknown
  std::string systemDirectory;
  std::string tempDirectory;
  std::string keyboardType;
  int functionKeys = 0;
  // In the listing's order, every one; absent where the drive list cannot be read (on Linux, no
  // mount table), which an empty list is not.
  std::optional<std::vector<Drive>> drives;
};

// Asks the system once for every fact. Never throws for a failed call: each has its fallback.
Facts Gather();

}  // namespace facts
