// What Wine itself says about the prefix the tests run in, asked through its own calls and
// environment, for comparison with what the backend and the probes answer.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace wine_facts {

// The label and serial number cmake/wine-run gives the prefix's C: volume.
inline constexpr const char* kVolumeLabelC = "QUORVANE-C";
inline constexpr const char* kSerialNumberC = "51A7-E2C4";

inline std::string Environment(const char* name) {
  std::array<char, 1024> value{};
  const ::DWORD length =
      ::GetEnvironmentVariableA(name, value.data(), static_cast<::DWORD>(value.size()));
  return length > 0 && length < value.size() ? std::string(value.data(), length) : std::string();
}

inline std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The drive roots in letter order, from the drive bit mask rather than the list call.
inline std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots;
  const ::DWORD mask = ::GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((mask >> letter & 1U) != 0) {
      roots.push_back(std::string(1, static_cast<char>('A' + letter)) + ":\\");
    }
  }
  return roots;
}

inline std::uint64_t TotalBytes(const std::string& root) {
  ULARGE_INTEGER total{};
  return ::GetDiskFreeSpaceExW(std::wstring(root.begin(), root.end()).c_str(), nullptr, &total,
                               nullptr) != 0
             ? total.QuadPart
             : 0;
}

inline std::uint64_t FreeBytes(const std::string& root) {
  ULARGE_INTEGER available{};
  return ::GetDiskFreeSpaceExW(std::wstring(root.begin(), root.end()).c_str(), &available, nullptr,
                               nullptr) != 0
             ? available.QuadPart
             : 0;
}

}  // namespace wine_facts
