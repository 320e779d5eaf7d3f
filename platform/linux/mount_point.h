// What a mount point shows now and what it measures: the mount there, the device of its
// filesystem, and that filesystem's sizes, each asked of one open directory, so that they all tell
// of the same one. The calls that take a C string use only async-signal-safe system calls and
// allocate nothing, so that a helper process forked from the threaded window may make them.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/backend/contract.h"
#include "platform/linux/mount_table.h"

namespace platform::linux_drives {

// statx's mask bit for a mount ID that is never reused (Linux 6.8), where the C library's headers
// do not have it yet.
inline constexpr unsigned kUniqueMountId = 0x4000U;

// A unique mount ID no mount has: that of a drive that went between the look and the next.
inline constexpr std::uint64_t kNoMount = ~std::uint64_t{0};

// What a mount point shows now: the mount there (its IDs), the device number of its filesystem and
// whether it is a directory; nullopt where it cannot be told. cached: the point is a share's or a
// FUSE mount's, whose attributes are taken as the kernel holds them rather than asked of its server
// (its sizes are still asked: such a point is looked at in a helper process, within a bound).
struct PointFacts {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  bool directory = false;
  bool missing = false;             // nothing there: the path is gone under a later mount
  std::uint64_t mountId = 0;        // mountinfo's; 0 where the kernel does not tell
  std::uint64_t uniqueMountId = 0;  // never reused; 0 where the kernel does not tell
  std::optional<contract::DiskSizes> sizes{};  // asked of the same open directory; never of a share
};
using LookAt = std::function<std::optional<PointFacts>(const std::string& path, bool cached)>;

// What a path shows, without following a final link or starting an automount: it is opened once
// and everything is asked of that descriptor, its sizes too where it is a directory.
std::optional<PointFacts> LookAtPath(const char* path, bool cached);

// The sizes of an open directory's filesystem: total = f_blocks * f_frsize, available = f_bavail *
// f_frsize.
std::optional<contract::DiskSizes> SizesOf(int fd);

// Which mount is the one at a point, told from any other mount there: by its ID that is never
// reused where both it and the point tell one, else by mountinfo's ID (reused by a later mount once
// this one is gone) where both tell one, else by its filesystem's device number where that tells.
struct MountRef {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint64_t mountId = 0;        // 0 where not known
  std::uint64_t uniqueMountId = 0;  // 0 where not known; kNoMount for a mount known to be gone
  bool deviceTells = true;          // false on btrfs, whose points show a subvolume's own number

  // A mount as its line in the table tells it, which has no unique ID.
  static MountRef Of(const MountEntry& mount);

  // Whether what the point shows is this mount; never where nothing is there.
  bool IsAt(const PointFacts& facts) const;
};

// Whether the point shows the mount as a drive: a directory of that very mount. Covered by a later
// mount on the point or on a directory above it, the point shows another mount, or nothing at all.
bool Shows(const PointFacts& facts, const MountRef& mount);

// A place to measure, and where it is a drive, the mount that must be there.
struct Place {
  std::string path;
  bool drive = false;
  MountRef mount{};  // where drive is set
};

using Measure = std::function<std::optional<contract::DiskSizes>(const Place& place)>;

// The sizes of the place (SizesOf), asked of one open directory. Where the place is a drive (mount
// given), the directory must be that mount's: a mount that went away or was replaced fails instead
// of giving the size of what lies there now.
std::optional<contract::DiskSizes> MeasurePath(const char* path, const MountRef* mount);
std::optional<contract::DiskSizes> MeasureAt(const Place& place);

// How long a share or FUSE volume, or anything that may wait on one, is given to answer.
inline constexpr std::chrono::milliseconds kShareBound{2000};

}  // namespace platform::linux_drives
