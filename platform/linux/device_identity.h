// What a drive's device is: its block device in sysfs, its kind, and its filesystem's label and
// serial, from udev's properties, the /dev/disk links or the device itself.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/linux/mount_table.h"

namespace platform::linux_drives {

// What identifies a filesystem: its label (bytes, escapes decoded), UUID and type.
struct FsIdentity {
  std::string label;
  std::string uuid;
  std::string type;
  // A source read the filesystem, so an empty label means it has none. Without that the label and
  // serial are unknown, as for a volume that cannot be read.
  bool confirmed = false;
};

// udev's \xHH escapes ("My\x20Passport") decoded into bytes; nothing else is interpreted.
std::string DecodeUdevEscapes(std::string_view text);

// A device property as udev gives it ("ID_FS_UUID"); nullopt where the device has none.
using PropertyOf = std::function<std::optional<std::string>(const char* key)>;

// The identity in a device's udev properties: ID_FS_LABEL_ENC (or ID_FS_LABEL), ID_FS_UUID,
// ID_FS_TYPE. Confirmed where udev found a filesystem on the device.
FsIdentity IdentityFromProperties(const PropertyOf& property);

// The identity udev has for the block device major:minor; nullopt where it does not know it.
using UdevIdentity =
    std::function<std::optional<FsIdentity>(std::uint32_t major, std::uint32_t minor)>;

// The 32-bit volume serial for a UUID: an NTFS serial (16 hex digits) gives its low 32 bits; any
// other UUID its first 8 hex digits, which for FAT and exFAT ("1A2B-3C4D") is exactly their serial.
// Empty when the UUID has fewer than 8 hex digits.
std::optional<std::uint32_t> VolumeSerial(std::string_view uuid);

// The block device behind a device number, as sysfs shows it.
struct BlockDevice {
  std::string name;  // "sdb1", "nvme0n1p2", "dm-0"
  std::string disk;  // "sdb", "nvme0n1"
  bool removable = false;
};

// The block device of major:minor from root's /sys: the /sys/dev/block link, else the "dev" files
// under /sys/block, else nameHint (the kernel name the mount's /dev path gives). Empty when none
// of them knows it.
std::optional<BlockDevice> ReadBlockDevice(const std::string& root, std::uint32_t major,
                                           std::uint32_t minor, std::string_view nameHint = {});

// The drive-type code of a mount on a device (nullopt for a mount without a block device). A disk
// is removable by its removable flag alone: a USB hard disk is a fixed drive.
std::uint32_t KindOf(const MountEntry& mount, const std::optional<BlockDevice>& device);

// The kernel's name of a mount's device from its /dev path, following a /dev/mapper link.
std::string DeviceNameOf(const std::string& root, const MountEntry& mount);

// The device number of a mount's block device. Mountinfo gives it, but for btrfs it shows an
// anonymous number (0:N), so then the /dev name is looked up in sysfs.
std::pair<std::uint32_t, std::uint32_t> DeviceOf(const std::string& root, const MountEntry& mount);

// The names of the links in a /dev/disk/by-* directory by the device they point at ("sdb1"),
// decoded; the directory is read once, when first asked.
class DiskLinks {
 public:
  explicit DiskLinks(std::string directory) : directory_(std::move(directory)) {}
  // nullopt where no link points at the device; the directory itself may be missing.
  std::optional<std::string> Find(const std::string& device);

 private:
  std::string directory_;
  bool read_ = false;
  std::unordered_map<std::string, std::string> byDevice_;
};

// Identifies a filesystem by reading its device; nullopt when the device cannot be read.
using DeviceProbe = std::function<std::optional<FsIdentity>(const std::string& devicePath)>;

// The label, UUID and type read from the device (or image file) at path with libblkid: where udev
// does not run (a container), and the device can be read. nullopt when it cannot be read or holds
// no filesystem.
std::optional<FsIdentity> ProbeDevice(const std::string& path);

}  // namespace platform::linux_drives
