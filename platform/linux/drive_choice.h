// The choice of the mounts that are drives. Pure functions of the mount table and fstab, and of
// what a mount point shows now (given by the caller).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/mount_table.h"

namespace platform::linux_drives {

// Whether a mount can hold a user's files at all, by its own line: pseudo filesystems, squashfs and
// loop images, overlays other than the root, read-only or system tmpfs are not drives.
bool MayBeDrive(const MountEntry& mount);

// Whether a path lies on a share or FUSE mount other than its own mount point, where looking at it
// may hang with the share.
class ShareIndex {
 public:
  explicit ShareIndex(const std::vector<MountEntry>& mounts);
  bool Below(std::string_view path) const;

 private:
  std::vector<std::string> points_;  // sorted; its own copies, the mounts may be moved away
};

// Whether a mount is visible as a drive now: its mount point, as the path resolves now, is a
// directory of the mount's own filesystem. Empty: every mount that has its own point is visible.
using Visible = std::function<bool(const MountEntry&)>;

// The indexes of the mounts that are drives, in the order of the table: the root always, then each
// candidate (MayBeDrive, not hidden, not over-mounted, visible) once per block device or ZFS pool.
// Of several mounts of one device the real /dev name wins, then the shorter mount point, then the
// mount nearest the filesystem's own root.
std::vector<std::size_t> SelectDrives(const std::vector<MountEntry>& mounts,
                                      const std::vector<std::string>& hidden,
                                      const Visible& visible);

}  // namespace platform::linux_drives
