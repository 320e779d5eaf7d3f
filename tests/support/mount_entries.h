// Mount-table lines made up for tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/linux/mount_table.h"

namespace testing_support {

// A mount of its own volume (its own device number), mounted at the root of its filesystem.
inline platform::linux_drives::MountEntry Mount(std::uint32_t major, std::string point,
                                                std::string type, std::string source,
                                                std::string options = "rw,relatime") {
  static std::uint32_t minor = 0;
  platform::linux_drives::MountEntry mount;
  mount.major = major;
  mount.minor = ++minor;  // each its own volume unless a test says otherwise
  mount.root = "/";
  mount.mountPoint = std::move(point);
  mount.fsType = std::move(type);
  mount.source = std::move(source);
  mount.options = std::move(options);
  return mount;
}

}  // namespace testing_support
