// udev's answers for a fixture tree, taken from the database entries saved with it
// (run/udev/data/b<major>:<minor>, "E:KEY=value" lines), as the machine's udev gave them.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "platform/linux/device_identity.h"

namespace testing_support {

// The properties of one saved entry.
inline std::map<std::string, std::string> UdevProperties(const std::string& text) {
  std::map<std::string, std::string> properties;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto equals = line.find('=');
    if (line.rfind("E:", 0) == 0 && equals != std::string::npos) {
      properties.emplace(line.substr(2, equals - 2), line.substr(equals + 1));
    }
  }
  return properties;
}

// The udev source of the fixture machine under root; empty where it ran no udev.
inline platform::linux_drives::UdevIdentity FixtureUdev(const std::string& root) {
  if (!std::filesystem::is_directory(root + "/run/udev/data")) {
    return {};
  }
  return [root](std::uint32_t major,
                std::uint32_t minor) -> std::optional<platform::linux_drives::FsIdentity> {
    std::ifstream entry(root + "/run/udev/data/b" + std::to_string(major) + ":" +
                        std::to_string(minor));
    if (!entry) {
      return std::nullopt;
    }
    std::stringstream text;
    text << entry.rdbuf();
    const auto properties = UdevProperties(text.str());
    return platform::linux_drives::IdentityFromProperties(
        [&properties](const char* key) -> std::optional<std::string> {
          const auto found = properties.find(key);
          return found == properties.end() ? std::nullopt : std::optional(found->second);
        });
  };
}

}  // namespace testing_support
