// The mounted volumes of a Linux machine as drives. The reader takes the root of the tree to read
// ("/" on a real machine) and the sources that answer for what a tree cannot hold (udev, the
// devices, what a mount point shows now), so that tests can point it at a fixture tree.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend/contract.h"
#include "platform/linux/device_identity.h"
#include "platform/linux/mount_table.h"

namespace platform::linux_volumes {

// A drive as the drive calls answer for it.
struct Volume {
  std::string root;        // the mount point ending in "/"
  std::uint32_t type = 0;  // a DRIVE_* code
  MountEntry mount;
  bool bounded = false;  // sized on a worker thread with a time bound
  FsIdentity identity;
  std::uint64_t uniqueMountId = 0;  // as its point showed it when read; 0 where not known
  // Its sizes, measured on the directory that was checked to be the drive's when the table was
  // read; the first size query takes them while they are fresh instead of looking again.
  std::optional<contract::DiskSizes> reading;
  std::chrono::steady_clock::time_point readAt;
};

// statx's mask bit for a mount ID that is never reused (Linux 6.8), where the C library's headers
// do not have it yet.
inline constexpr unsigned kUniqueMountId = 0x4000U;

// A unique mount ID no mount has: that of a drive that went between the look and the next.
inline constexpr std::uint64_t kNoMount = ~std::uint64_t{0};

// What a mount point shows now: the mount there (its IDs), the device number of its filesystem and
// whether it is a directory; nullopt where it cannot be told. cached: the point is a share's or a
// FUSE mount's and must be answered from what the kernel already holds, without asking the server.
struct PointFacts {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  bool directory = false;
  bool missing = false;                      // nothing there: the path is gone under a later mount
  std::uint64_t mountId = 0;                 // mountinfo's; 0 where the kernel does not tell
  std::uint64_t uniqueMountId = 0;           // never reused; 0 where the kernel does not tell
  std::optional<contract::DiskSizes> sizes;  // asked of the same open directory; never of a share
};
using LookAt = std::function<std::optional<PointFacts>(const std::string& path, bool cached)>;

// What a path shows, without following a final link or starting an automount. A local point is
// opened once and everything is asked of that descriptor, its sizes too; a share's point is only
// looked at.
std::optional<PointFacts> LookAtPath(const std::string& path, bool cached);

// statvfs of an open directory: total = f_blocks * f_frsize, available = f_bavail * f_frsize.
std::optional<contract::DiskSizes> SizesOf(int fd);

// Whether the point shows the mount: its mount ID where the kernel tells it, else its device
// number (btrfs shows a subvolume's own number at its point, so there that cannot tell).
bool Shows(const PointFacts& facts, const MountEntry& mount);

struct Sources {
  std::string root = "/";
  DeviceProbe probe;  // libblkid where udev does not run; may be empty
  UdevIdentity udev;  // empty where udev does not run
  // What a mount point shows; empty for a fixture tree, where only a file bound over a path (no
  // directory under root) is told apart.
  LookAt look;
};

// The sources of the machine this runs on.
Sources ThisMachine();

// The drives of the machine under sources.root, read once: mountinfo, fstab, sysfs, and the label
// and serial from udev, /dev/disk/by-label and by-uuid, or the device probe.
std::vector<Volume> ReadVolumes(const Sources& sources);

}  // namespace platform::linux_volumes
