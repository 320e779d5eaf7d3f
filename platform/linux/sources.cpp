#include "platform/linux/sources.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>

namespace platform::linux_sources {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

template <typename Int>
std::optional<Int> ParseNumber(std::string_view text, int base = 10) {
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end == text.data()) {
    return std::nullopt;
  }
  return value;
}

// The value of "Key: value" in a line, without surrounding blanks; empty when the key differs.
std::optional<std::string_view> ValueOf(std::string_view line, std::string_view key) {
  if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ':') {
    return std::nullopt;
  }
  return Trim(line.substr(key.size() + 1));
}

}  // namespace

std::optional<MemInfo> ParseMemInfo(std::string_view text) {
  struct Field {
    std::string_view key;
    std::optional<std::uint64_t> kilobytes;
  };
  std::array<Field, 7> fields{{{"MemTotal", {}},
                               {"MemAvailable", {}},
                               {"MemFree", {}},
                               {"Buffers", {}},
                               {"Cached", {}},
                               {"SReclaimable", {}},
                               {"Shmem", {}}}};
  const auto bytes = [&fields](std::size_t index) -> std::uint64_t {
    const auto kilobytes = fields[index].kilobytes.value_or(0);
    // A value past 2^54 kB is no real memory; saturating keeps the multiplication defined.
    constexpr std::uint64_t kLimit = UINT64_MAX / 1024;
    return kilobytes > kLimit ? UINT64_MAX : kilobytes * 1024;
  };
  // The refresh reads this every 1.4 s: the kernel puts MemTotal and MemAvailable in the first
  // lines, so reading stops there unless the estimate needs the other fields.
  const auto settled = [&] {
    return fields[0].kilobytes && fields[1].kilobytes && bytes(1) < bytes(0);
  };
  while (!text.empty() && !settled()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    for (Field& field : fields) {
      if (auto value = ValueOf(line, field.key)) {
        // "24567890 kB": the number before the unit.
        field.kilobytes = ParseNumber<std::uint64_t>(value->substr(0, value->find(' ')));
        break;
      }
    }
  }
  if (!fields[0].kilobytes) {
    return std::nullopt;
  }
  MemInfo info;
  info.totalBytes = bytes(0);
  if (fields[1].kilobytes && bytes(1) < info.totalBytes) {
    info.availableBytes = bytes(1);
    return info;
  }
  std::uint64_t sum = 0;
  for (std::size_t index : {2, 3, 4, 5}) {
    sum = std::min(UINT64_MAX - bytes(index), sum) + bytes(index);
  }
  const std::uint64_t shared = bytes(6);
  info.availableBytes = std::min(sum > shared ? sum - shared : 0, info.totalBytes);
  return info;
}

std::uint32_t MemoryLoad(const MemInfo& info) {
  if (info.totalBytes == 0) {
    return 0;
  }
  const std::uint64_t used = info.totalBytes - std::min(info.availableBytes, info.totalBytes);
  // Divide first where the product would overflow; the per cent stays exact enough.
  if (used > UINT64_MAX / 100) {
    return static_cast<std::uint32_t>(used / (info.totalBytes / 100));
  }
  return static_cast<std::uint32_t>(used * 100 / info.totalBytes);
}

std::optional<CpuSet> ParseCpuList(std::string_view text) {
  text = Trim(text);
  if (text.empty()) {
    return std::nullopt;
  }
  CpuSet set;
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view range = text.substr(0, comma);
    const auto dash = range.find('-');
    const auto first = ParseNumber<std::uint32_t>(range.substr(0, dash));
    const auto last =
        dash == std::string_view::npos ? first : ParseNumber<std::uint32_t>(range.substr(dash + 1));
    if (!first || !last || *last < *first) {
      return std::nullopt;
    }
    set.count += *last - *first + 1;
    for (std::uint32_t cpu = *first; cpu <= std::min(*last, 31U); ++cpu) {
      set.mask |= 1U << cpu;
    }
    if (comma == std::string_view::npos) {
      break;
    }
    text.remove_prefix(comma + 1);
  }
  return set;
}

std::optional<KernelVersion> ParseKernelRelease(std::string_view release) {
  KernelVersion version;
  const char* const end = release.data() + release.size();
  auto [next, error] = std::from_chars(release.data(), end, version.major);
  if (error != std::errc() || next == end || *next != '.') {
    return std::nullopt;
  }
  auto minor = std::from_chars(next + 1, end, version.minor);
  if (minor.ec != std::errc()) {
    return std::nullopt;
  }
  if (minor.ptr != end && *minor.ptr == '.') {
    std::from_chars(minor.ptr + 1, end, version.patch);
  }
  return version;
}

bool HasKeyboard(std::string_view devices) {
  constexpr std::uint64_t kKeyEvents = 1U << 1U;
  constexpr std::uint64_t kRepeatEvents = 1U << 20U;
  bool keyboardHandler = false;
  std::uint64_t events = 0;
  bool found = false;
  const auto endOfDevice = [&] {
    if (keyboardHandler && (events & kKeyEvents) != 0 && (events & kRepeatEvents) != 0) {
      found = true;
    }
    keyboardHandler = false;
    events = 0;
  };
  ForEachLine(devices, [&](std::string_view line) {
    line = Trim(line);
    if (line.empty()) {
      endOfDevice();
    } else if (line.starts_with("H: Handlers=")) {
      std::string_view handlers = line.substr(12);
      while (!handlers.empty()) {
        const auto blank = handlers.find(' ');
        keyboardHandler = keyboardHandler || handlers.substr(0, blank) == "kbd";
        handlers =
            blank == std::string_view::npos ? std::string_view() : handlers.substr(blank + 1);
      }
    } else if (line.starts_with("B: EV=")) {
      events = ParseNumber<std::uint64_t>(line.substr(6), 16).value_or(0);
    }
  });
  endOfDevice();
  return found;
}

bool IsJapaneseModel(std::string_view keyboardDefaults) {
  bool japanese = false;
  ForEachLine(keyboardDefaults, [&japanese](std::string_view line) {
    line = Trim(line);
    if (!line.starts_with("XKBMODEL=")) {
      return;
    }
    std::string_view model = line.substr(9);
    if (model.size() >= 2 && (model.front() == '"' || model.front() == '\'')) {
      model = model.substr(1, model.size() - 2);
    }
    japanese = model.starts_with("jp");
  });
  return japanese;
}

void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t position = 0;
  while (position < line.size()) {
    while (position < line.size() && blank(line[position])) {
      ++position;
    }
    const std::size_t start = position;
    while (position < line.size() && !blank(line[position])) {
      ++position;
    }
    if (position > start) {
      fields.push_back(line.substr(start, position - start));
    }
  }
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  SplitFields(line, fields);
  return fields;
}

std::optional<std::string> ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  // Large reads: the mount table of a machine with thousands of mounts is megabytes, and each read
  // of it costs the kernel a walk to the position. The chunk is not zeroed first.
  constexpr std::size_t kChunk = std::size_t{64} * 1024;
  const std::unique_ptr<char[]> chunk(new char[kChunk]);
  std::string text;
  for (;;) {
    const ssize_t count = ::read(fd, chunk.get(), kChunk);
    if (count < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (count == 0) {
      break;
    }
    text.append(chunk.get(), static_cast<std::size_t>(count));
  }
  ::close(fd);
  return text;
}

std::string UnderRoot(const std::string& root, std::string_view path) {
  if (root.empty() || root == "/") {
    return std::string(path);
  }
  std::string joined = root;
  if (joined.back() == '/') {
    joined.pop_back();
  }
  joined += path;
  return joined;
}

int KeyboardTypeFrom(const std::string& root, int nTypeFlag, KeyboardQuery udevKeyboard) {
  if (nTypeFlag != 0 && nTypeFlag != 2) {
    return 0;
  }
  std::optional<bool> keyboard = udevKeyboard != nullptr ? udevKeyboard() : std::nullopt;
  if (!keyboard) {
    const auto devices = ReadFile(root + "/proc/bus/input/devices");
    keyboard = devices && HasKeyboard(*devices);
  }
  if (!*keyboard) {
    return 0;
  }
  if (nTypeFlag == 2) {
    return 12;
  }
  const auto defaults = ReadFile(root + "/etc/default/keyboard");
  return defaults && IsJapaneseModel(*defaults) ? 7 : 4;
}

}  // namespace platform::linux_sources
