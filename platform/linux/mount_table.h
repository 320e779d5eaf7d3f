// The kernel's mount table and the choice of the mounts that are drives. Pure functions of the text
// the kernel and fstab report, and of what a mount point shows now (given by the caller).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::linux_volumes {

// One line of /proc/self/mountinfo, with the mount point and root unescaped.
struct MountEntry {
  std::uint64_t id = 0;  // the kernel's mount ID
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::string root;        // the directory of the filesystem that is mounted here ("/" for all)
  std::string mountPoint;  // "/", "/media/alice/My Passport"
  std::string options;     // per-mount options: "rw,relatime"
  std::string fsType;      // "ext4", "fuse.sshfs"
  std::string source;      // "/dev/sda1", "server:/export", "tmpfs"
  std::string superOptions;
};

// The kernel's octal escapes (\040 blank, \011 tab, \012 newline, \134 backslash) turned back into
// bytes; anything else stays as it stands.
std::string UnescapeOctal(std::string_view text);

// /proc/self/mountinfo; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The mount points that /etc/fstab asks file managers to hide (x-gvfs-hide).
std::vector<std::string> HiddenMountPoints(std::string_view fstab);

// Whether a mount can hold a user's files at all, by its own line: pseudo filesystems, squashfs and
// loop images, overlays other than the root, read-only or system tmpfs are not drives.
bool MayBeDrive(const MountEntry& mount);

// Network shares by filesystem type.
bool IsNetworkType(std::string_view fsType);

// Whether the size query may hang on the volume (a share or a FUSE daemon) and so needs a time
// bound.
bool NeedsBoundedQuery(const MountEntry& mount);

// A block device's "/dev/..." name; "/dev/root" is the kernel's stand-in, not a real node.
bool IsRealDeviceName(std::string_view source);

// Whether a mount has a block device behind it.
bool IsBlockBacked(const MountEntry& mount);

bool IsRamType(std::string_view fsType);

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

}  // namespace platform::linux_volumes
