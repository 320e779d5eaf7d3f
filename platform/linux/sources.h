// The Linux sources behind the system-information calls, split into pure parsers that take the text
// the kernel reports and readers that take the root of the tree to read, so that tests can feed
// fixture text or point a reader at a fixture tree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::linux_sources {

// Calls visit(line) for each line of text, without its line feed.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    visit(text.substr(0, end));
    if (end == std::string_view::npos) {
      break;
    }
    text.remove_prefix(end + 1);
  }
}

// Splits a line at runs of blanks and tabs into fields, which is cleared first: one vector serves
// every line of a table.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields);
std::vector<std::string_view> Fields(std::string_view line);

struct MemInfo {
  std::uint64_t totalBytes = 0;
  std::uint64_t availableBytes = 0;
};

// /proc/meminfo. MemAvailable where the kernel gives it and it lies below MemTotal; otherwise
// MemFree + Buffers + Cached + SReclaimable - Shmem, never above the total. Empty without MemTotal.
std::optional<MemInfo> ParseMemInfo(std::string_view text);

// Per cent of memory in use, (total - available) * 100 / total; 0 when the total is 0.
std::uint32_t MemoryLoad(const MemInfo& info);

struct CpuSet {
  std::uint32_t count = 0;
  std::uint32_t mask = 0;  // CPUs 0 to 31 only: the record's mask is 32 bits wide
};

// A kernel CPU list such as "0-3,8,10-11". Empty when the text is not such a list.
std::optional<CpuSet> ParseCpuList(std::string_view text);

struct KernelVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t patch = 0;
};

// A kernel release such as "6.1.0-18-amd64". Empty without at least "major.minor".
std::optional<KernelVersion> ParseKernelRelease(std::string_view release);

// /proc/bus/input/devices: true when a device is a keyboard (a kbd handler with key repeat, which
// power buttons and lid switches do not have).
bool HasKeyboard(std::string_view devices);

// /etc/default/keyboard: true when the configured XKB model is a Japanese one (jp106 and the like).
bool IsJapaneseModel(std::string_view keyboardDefaults);

// Reads a small file whole; empty when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);

// An absolute path inside the tree under root ("/" on a real machine, a fixture tree in tests).
std::string UnderRoot(const std::string& root, std::string_view path);

// Keyboard type and function keys, as GetKeyboardType answers for nTypeFlag 0 and 2, read from the
// tree under root ("/" on a real machine). Whether there is a keyboard is asked of udevKeyboard,
// when given and only for the flags that need it, and where it cannot tell, of the input devices
// list.
using KeyboardQuery = std::optional<bool> (*)();
int KeyboardTypeFrom(const std::string& root, int nTypeFlag, KeyboardQuery udevKeyboard = nullptr);

}  // namespace platform::linux_sources
