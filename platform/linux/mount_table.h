// The kernel's mount table: its lines, and what each mount's own line tells of it. Pure functions
// of the text the kernel and fstab report.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::linux_drives {

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

// Network shares by filesystem type.
bool IsNetworkType(std::string_view fsType);

// Whether the size query may hang on the volume (a share or a FUSE daemon) and so needs a time
// bound.
bool NeedsBoundedQuery(const MountEntry& mount);

// A block device's "/dev/..." name; "/dev/root" is the kernel's stand-in, not a real node.
bool IsRealDeviceName(std::string_view source);

// Whether a mount has a block device behind it.
bool IsBlockBacked(const MountEntry& mount);

// Filesystems held in memory.
bool IsRamType(std::string_view fsType);

// Whether a comma-separated option list holds the option.
bool HasOption(std::string_view options, std::string_view option);

// A loop device's image (a snap, a mounted file).
bool IsLoop(const MountEntry& mount);

}  // namespace platform::linux_drives
