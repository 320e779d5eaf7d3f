// /proc/self/mountinfo (and fstab, which shares its escapes) as the kernel might write it, and the
// choice of drives made from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/device_identity.h"
#include "platform/linux/drive_choice.h"

using namespace platform::linux_drives;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto mounts = ParseMountInfo(text);
  for (const MountEntry& mount : mounts) {
    if (mount.mountPoint.empty() || mount.mountPoint.front() != '/') {
      std::abort();
    }
    MayBeDrive(mount);
    KindOf(mount, std::nullopt);
  }
  const auto hidden = HiddenMountPoints(text);
  const auto chosen = SelectDrives(
      mounts, hidden, [](const MountEntry& mount) { return mount.mountPoint.size() % 2 == 0; });
  bool root = false;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    // In mountinfo order, each mount once, and at most one drive per device (ZFS: per pool).
    if (chosen[i] >= mounts.size() || (i > 0 && chosen[i] <= chosen[i - 1])) {
      std::abort();
    }
    for (std::size_t j = 0; j < i && mounts[chosen[i]].fsType != "zfs"; ++j) {
      if (mounts[chosen[j]].fsType != "zfs" && mounts[chosen[i]].major == mounts[chosen[j]].major &&
          mounts[chosen[i]].minor == mounts[chosen[j]].minor) {
        std::abort();
      }
    }
    root = root || mounts[chosen[i]].mountPoint == "/";
  }
  for (const MountEntry& mount : mounts) {
    if (mount.mountPoint == "/" && !root) {
      std::abort();  // the root is always a drive
    }
  }
  if (UnescapeOctal(text).size() > text.size()) {
    std::abort();
  }
  return 0;
}
