// The mounted volumes of a Linux machine as drives: which mounts are drives, their kind, label and
// serial. Pure parsers take the text the kernel and udev report; the reader takes the root of the
// tree to read ("/" on a real machine), so that tests can point it at a fixture tree.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::linux_volumes {

// One line of /proc/self/mountinfo, with the mount point and root unescaped.
struct MountEntry {
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

// The indexes of the mounts that are drives, in the order of the table: the root always, then each
// candidate (MayBeDrive, not hidden, not over-mounted, isDirectory) once per block device or ZFS
// pool. Of several mounts of one device the real /dev name wins, then the shorter mount point, then
// the mount nearest the filesystem's own root.
std::vector<std::size_t> SelectDrives(const std::vector<MountEntry>& mounts,
                                      const std::vector<std::string>& hidden,
                                      const std::function<bool(const MountEntry&)>& isDirectory);

// What identifies a filesystem: its label (bytes, escapes decoded), UUID and type.
struct FsIdentity {
  std::string label;
  std::string uuid;
  std::string type;
  std::string bus;  // the device's bus as udev names it ("usb", "ata"), where udev says
  bool Empty() const { return label.empty() && uuid.empty(); }
};

// udev's \xHH escapes ("My\x20Passport") decoded into bytes; nothing else is interpreted.
std::string DecodeUdevEscapes(std::string_view text);

// A udev database entry (/run/udev/data/b<major>:<minor>): E:ID_FS_LABEL_ENC (or E:ID_FS_LABEL),
// E:ID_FS_UUID, E:ID_FS_TYPE, E:ID_BUS.
FsIdentity ParseUdevData(std::string_view text);

// The 32-bit volume serial for a UUID: an NTFS serial (16 hex digits) gives its low 32 bits; any
// other UUID its first 8 hex digits, which for FAT and exFAT ("1A2B-3C4D") is exactly their serial.
// Empty when the UUID has fewer than 8 hex digits.
std::optional<std::uint32_t> VolumeSerial(std::string_view uuid);

// The block device behind a device number, as sysfs shows it.
struct BlockDevice {
  std::string name;  // "sdb1", "nvme0n1p2", "dm-0"
  std::string disk;  // "sdb", "nvme0n1"
  bool removable = false;
  bool usb = false;
};

// The block device of major:minor from root's /sys: the /sys/dev/block link, else the "dev" files
// under /sys/block, else nameHint (the kernel name the mount's /dev path gives). Empty when none
// of them knows it.
std::optional<BlockDevice> ReadBlockDevice(const std::string& root, std::uint32_t major,
                                           std::uint32_t minor, std::string_view nameHint = {});

// A drive as the drive calls answer for it.
struct Volume {
  std::string root;        // the mount point ending in "/"
  std::uint32_t type = 0;  // a DRIVE_* code
  MountEntry mount;
  bool bounded = false;  // sized on a worker thread with a time bound
  FsIdentity identity;
};

// The drive-type code of a mount on a device (nullopt for a mount without a block device).
std::uint32_t KindOf(const MountEntry& mount, const std::optional<BlockDevice>& device);

// Identifies a filesystem by reading its device; nullopt when the device cannot be read.
using DeviceProbe = std::function<std::optional<FsIdentity>(const std::string& devicePath)>;

// The label, UUID and type read from the device (or image file) at path with libblkid: where udev
// does not run (a container), and the device can be read. nullopt when it cannot be read or holds
// no filesystem.
std::optional<FsIdentity> ProbeDevice(const std::string& path);

struct Sources {
  std::string root = "/";
  DeviceProbe probe;  // libblkid where udev does not run; may be empty
};

// The drives of the machine under sources.root, read once: mountinfo, fstab, sysfs, and the label
// and serial from udev's database, /dev/disk/by-label and by-uuid, or the device probe.
std::vector<Volume> ReadVolumes(const Sources& sources);

// Sizes in bytes from statvfs.
struct Sizes {
  std::uint64_t total = 0;
  std::uint64_t available = 0;  // for the calling user
  std::uint64_t free = 0;
};

using Measure = std::function<std::optional<Sizes>(const std::string& path)>;

// statvfs of path: total = f_blocks * f_frsize, available = f_bavail * f_frsize.
std::optional<Sizes> Statvfs(const std::string& path);

// measure(path) on a worker thread that is left behind, detached, when it does not answer within
// bound; timedOut (when given) tells a timeout from a failed query.
std::optional<Sizes> MeasureBounded(const std::string& path, std::chrono::milliseconds bound,
                                    const Measure& measure, bool* timedOut = nullptr);

struct PendingMeasure;

// How long a share or FUSE volume is given to answer a size query.
inline constexpr std::chrono::milliseconds kShareBound{2000};

// The drives as the drive calls see them, for the life of the process.
class DriveTable {
 public:
  explicit DriveTable(std::vector<Volume> volumes, Measure measure = Statvfs,
                      std::chrono::milliseconds bound = kShareBound);

  // The roots, each ended by a NUL.
  const std::string& List() const { return list_; }

  // The drive of a root ("/home/", or "/home"); null for a path that is no drive's root.
  const Volume* Find(std::string_view root) const;

  // A local volume is measured on the calling thread; a share or FUSE volume on a worker with the
  // time bound, all shares at once the first time. A share that once failed to answer in time is
  // not asked again: its worker may still hang, and start-up asks each drive several things.
  std::optional<Sizes> Size(const Volume& volume);

  // Whether the label and serial can be given: a share must have answered.
  bool Readable(const Volume& volume);

 private:
  enum class Answer : char { kUnknown, kAlive, kDead };

  std::vector<Volume> volumes_;
  Measure measure_;
  std::chrono::milliseconds bound_;
  std::string list_;
  struct Started {
    std::shared_ptr<PendingMeasure> pending;
    std::chrono::steady_clock::time_point deadline;
  };

  std::mutex mutex_;  // guards the members below
  std::vector<Answer> answers_;
  std::vector<Started> started_;  // queries started for all shares at once, not yet taken
  bool sharesAsked_ = false;
};

}  // namespace platform::linux_volumes
