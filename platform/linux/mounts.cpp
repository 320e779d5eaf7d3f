#include "platform/linux/mounts.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <utility>

#include "platform/linux/sources.h"
#include "platform/volumes.h"

namespace platform::linux_volumes {
namespace {

// Splits at runs of blanks and tabs.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t position = 0;
  while (position < line.size()) {
    const auto start = line.find_first_not_of(" \t", position);
    if (start == std::string_view::npos) {
      break;
    }
    auto end = line.find_first_of(" \t", start);
    if (end == std::string_view::npos) {
      end = line.size();
    }
    fields.push_back(line.substr(start, end - start));
    position = end;
  }
  return fields;
}

bool HasOption(std::string_view options, std::string_view option) {
  while (!options.empty()) {
    const auto comma = options.find(',');
    if (options.substr(0, comma) == option) {
      return true;
    }
    if (comma == std::string_view::npos) {
      break;
    }
    options.remove_prefix(comma + 1);
  }
  return false;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool OneOf(std::string_view text, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), text) != names.end();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// A block device's "/dev/..." name; "/dev/root" is the kernel's stand-in, not a real node.
bool IsRealDeviceName(std::string_view source) {
  return StartsWith(source, "/dev/") && source != "/dev/root";
}

bool IsBlockBacked(const MountEntry& mount) {
  return mount.major != 0 || StartsWith(mount.source, "/dev/");
}

bool IsLoop(const MountEntry& mount) {
  constexpr std::uint32_t kLoopMajor = 7;
  return mount.major == kLoopMajor || StartsWith(mount.source, "/dev/loop");
}

bool IsRamType(std::string_view fsType) {
  return fsType == "tmpfs" || fsType == "ramfs";
}

std::size_t Depth(std::string_view path) {
  return std::count(path.begin(), path.end(), '/');
}

std::string Join(const std::string& root, std::string_view path) {
  if (root.empty() || root == "/") {
    return std::string(path);
  }
  std::string joined = root;
  if (joined.back() == '/') {
    joined.pop_back();
  }
  joined += path;
  return joined;
}

std::optional<std::string> ReadLink(const std::string& path) {
  std::array<char, 4096> target{};
  const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
    return std::nullopt;
  }
  return std::string(target.data(), static_cast<std::size_t>(length));
}

std::string_view BaseName(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

// The entries of /dev/disk/by-<kind> whose link points at the device name, decoded.
std::string FindByLink(const std::string& directory, std::string_view device) {
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) {
    return {};
  }
  std::string found;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") {
      continue;
    }
    const auto target = ReadLink(directory + "/" + entry->d_name);
    if (target && BaseName(*target) == device) {
      found = DecodeUdevEscapes(name);
      break;
    }
  }
  ::closedir(listing);
  return found;
}

std::string DeviceNumber(std::uint32_t major, std::uint32_t minor) {
  return std::to_string(major) + ":" + std::to_string(minor);
}

std::string Trimmed(std::optional<std::string> text) {
  if (!text) {
    return {};
  }
  const auto end = text->find_last_not_of(" \t\r\n");
  text->resize(end == std::string::npos ? 0 : end + 1);
  return std::move(*text);
}

// Looks through /sys/block/<disk> and /sys/block/<disk>/<partition> for the first whose name and
// "dev" file match; gives the disk and the device's own name. Used where /sys/dev/block has no
// link for a device number.
template <typename Match>
std::optional<std::pair<std::string, std::string>> FindInSysBlock(const std::string& root,
                                                                  Match match) {
  const std::string base = Join(root, "/sys/block");
  DIR* disks = ::opendir(base.c_str());
  if (disks == nullptr) {
    return std::nullopt;
  }
  std::optional<std::pair<std::string, std::string>> found;
  while (!found) {
    const dirent* disk = ::readdir(disks);
    if (disk == nullptr) {
      break;
    }
    const std::string diskName = disk->d_name;
    if (diskName == "." || diskName == "..") {
      continue;
    }
    std::string diskPath = base;
    diskPath += '/';
    diskPath += diskName;
    if (match(diskName, Trimmed(linux_sources::ReadFile(diskPath + "/dev")))) {
      found.emplace(diskName, diskName);
      break;
    }
    DIR* parts = ::opendir(diskPath.c_str());
    if (parts == nullptr) {
      continue;
    }
    while (const dirent* part = ::readdir(parts)) {
      const std::string partName = part->d_name;
      if (partName == "." || partName == ".." || !StartsWith(partName, diskName)) {
        continue;
      }
      std::string devFile = diskPath;
      devFile += '/';
      devFile += partName;
      devFile += "/dev";
      if (match(partName, Trimmed(linux_sources::ReadFile(devFile)))) {
        found.emplace(diskName, partName);
        break;
      }
    }
    ::closedir(parts);
  }
  ::closedir(disks);
  return found;
}

// The whole disk of a device name: itself when sysfs lists it as a disk, otherwise the disk whose
// partition it is ("sdb1" -> "sdb", "nvme0n1p2" -> "nvme0n1", "mmcblk0p1" -> "mmcblk0").
std::string DiskOf(const std::string& root, const std::string& name) {
  if (Exists(Join(root, "/sys/block/" + name))) {
    return name;
  }
  if (auto found = FindInSysBlock(root, [&name](std::string_view candidate, const std::string&) {
        return candidate == name;
      })) {
    return found->first;
  }
  std::string disk = name;
  while (!disk.empty() && disk.back() >= '0' && disk.back() <= '9') {
    disk.pop_back();
  }
  if (disk.size() >= 2 && disk.back() == 'p' && disk[disk.size() - 2] >= '0' &&
      disk[disk.size() - 2] <= '9') {
    disk.pop_back();
  }
  return !disk.empty() && disk != name && Exists(Join(root, "/sys/block/" + disk)) ? disk : name;
}

// The kernel's name of a mount's device from its /dev path, following a /dev/mapper link.
std::string DeviceNameOf(const std::string& root, const MountEntry& mount) {
  if (!IsRealDeviceName(mount.source)) {
    return {};
  }
  const auto link = ReadLink(Join(root, mount.source));
  return std::string(BaseName(link ? *link : mount.source));
}

// The device number of a mount's block device. Mountinfo gives it, but for btrfs it shows an
// anonymous number (0:N), so then the /dev name is looked up in sysfs.
std::pair<std::uint32_t, std::uint32_t> DeviceOf(const std::string& root, const MountEntry& mount) {
  if (mount.major != 0 || !IsRealDeviceName(mount.source)) {
    return {mount.major, mount.minor};
  }
  const std::string name = DeviceNameOf(root, mount);
  std::string number =
      Trimmed(linux_sources::ReadFile(Join(root, "/sys/class/block/" + name + "/dev")));
  if (number.empty()) {
    if (auto found = FindInSysBlock(root, [&name](std::string_view candidate, const std::string&) {
          return candidate == name;
        })) {
      const auto& [disk, part] = *found;
      number = Trimmed(linux_sources::ReadFile(
          Join(root, "/sys/block/" + disk + (disk == part ? "" : "/" + part) + "/dev")));
    }
  }
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  const auto colon = number.find(':');
  const char* text = number.data();
  if (colon == std::string::npos || std::from_chars(text, text + colon, major).ec != std::errc() ||
      std::from_chars(text + colon + 1, text + number.size(), minor).ec != std::errc()) {
    return {0, 0};
  }
  return {major, minor};
}

}  // namespace

std::string UnescapeOctal(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const char a = text[i + 1];
      const char b = text[i + 2];
      const char c = text[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        result += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
        i += 3;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> mounts;
  linux_sources::ForEachLine(text, [&mounts](std::string_view line) {
    const auto fields = Fields(line);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    if (fields.size() < 9) {
      return;
    }
    const auto separator = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
    if (fields.end() - separator < 3) {
      return;
    }
    MountEntry mount;
    const std::string_view device = fields[2];
    const auto colon = device.find(':');
    if (colon == std::string_view::npos) {
      return;
    }
    const char* begin = device.data();
    if (std::from_chars(begin, begin + colon, mount.major).ec != std::errc() ||
        std::from_chars(begin + colon + 1, begin + device.size(), mount.minor).ec != std::errc()) {
      return;
    }
    mount.root = UnescapeOctal(fields[3]);
    mount.mountPoint = UnescapeOctal(fields[4]);
    mount.options = std::string(fields[5]);
    mount.fsType = UnescapeOctal(separator[1]);
    mount.source = UnescapeOctal(separator[2]);
    if (fields.end() - separator > 3) {
      mount.superOptions = std::string(separator[3]);
    }
    if (mount.mountPoint.empty() || mount.mountPoint.front() != '/') {
      return;
    }
    mounts.push_back(std::move(mount));
  });
  return mounts;
}

std::vector<std::string> HiddenMountPoints(std::string_view fstab) {
  std::vector<std::string> hidden;
  linux_sources::ForEachLine(fstab, [&hidden](std::string_view line) {
    const auto fields = Fields(line);
    if (fields.size() < 4 || fields[0].front() == '#') {
      return;
    }
    if (HasOption(fields[3], "x-gvfs-hide")) {
      hidden.push_back(UnescapeOctal(fields[1]));
    }
  });
  return hidden;
}

bool IsNetworkType(std::string_view fsType) {
  // Shares of other machines, and a virtual machine's folders of its host.
  static constexpr std::string_view kShares[] = {"nfs",         "nfs4",
                                                 "cifs",        "smb3",
                                                 "smbfs",       "ncpfs",
                                                 "9p",          "afs",
                                                 "ceph",        "glusterfs",
                                                 "lustre",      "davfs",
                                                 "sshfs",       "fuse.sshfs",
                                                 "fuse.rclone", "fuse.glusterfs",
                                                 "fuse.s3fs",   "fuse.curlftpfs",
                                                 "fuse.davfs2", "virtiofs",
                                                 "vboxsf",      "fuse.vmhgfs-fuse"};
  return std::find(std::begin(kShares), std::end(kShares), fsType) != std::end(kShares);
}

bool NeedsBoundedQuery(const MountEntry& mount) {
  return IsNetworkType(mount.fsType) || StartsWith(mount.fsType, "fuse");
}

bool MayBeDrive(const MountEntry& mount) {
  if (HasOption(mount.options, "x-gvfs-hide") || HasOption(mount.superOptions, "x-gvfs-hide")) {
    return false;
  }
  if (IsNetworkType(mount.fsType)) {
    return true;
  }
  if (IsRamType(mount.fsType)) {
    // Only a RAM-disk a user made: system tmpfs (/run, /dev/shm) and read-only ones hold no files.
    const std::string_view point = mount.mountPoint;
    const bool userPlace = point == "/tmp" || point == "/mnt" || point == "/media" ||
                           StartsWith(point, "/mnt/") || StartsWith(point, "/media/");
    return userPlace && HasOption(mount.options, "rw");
  }
  // Filesystems of the kernel and of containers, and images (snaps) that hold no user files.
  static constexpr std::string_view kNotDrives[] = {
      "squashfs", "overlay",   "fuse-overlayfs", "aufs",    "proc",       "sysfs",
      "devtmpfs", "devpts",    "cgroup",         "cgroup2", "securityfs", "debugfs",
      "tracefs",  "pstore",    "efivarfs",       "bpf",     "mqueue",     "hugetlbfs",
      "configfs", "fusectl",   "binfmt_misc",    "autofs",  "rpc_pipefs", "nsfs",
      "nfsd",     "selinuxfs", "rootfs"};
  if (std::find(std::begin(kNotDrives), std::end(kNotDrives), mount.fsType) !=
      std::end(kNotDrives)) {
    return false;
  }
  // A ZFS dataset lives in a pool of block devices but shows no device of its own.
  return mount.fsType == "zfs" || (IsBlockBacked(mount) && !IsLoop(mount));
}

std::vector<std::size_t> SelectDrives(const std::vector<MountEntry>& mounts,
                                      const std::vector<std::string>& hidden,
                                      const std::function<bool(const MountEntry&)>& isDirectory) {
  // A later mount on the same point hides the earlier one.
  std::map<std::string_view, std::size_t> visible;
  for (std::size_t i = 0; i < mounts.size(); ++i) {
    visible[mounts[i].mountPoint] = i;
  }
  const auto rootFound = visible.find("/");
  const std::optional<std::size_t> root =
      rootFound == visible.end() ? std::nullopt : std::optional(rootFound->second);

  // Better mount of the same volume first.
  const auto better = [&mounts, root](std::size_t a, std::size_t b) {
    if (a == root || b == root) {
      return a == root;
    }
    const MountEntry& x = mounts[a];
    const MountEntry& y = mounts[b];
    const bool xReal = IsRealDeviceName(x.source);
    if (xReal != IsRealDeviceName(y.source)) {
      return xReal;
    }
    if (x.mountPoint.size() != y.mountPoint.size()) {
      return x.mountPoint.size() < y.mountPoint.size();
    }
    if (Depth(x.root) != Depth(y.root) || x.root.size() != y.root.size()) {
      return std::pair(Depth(x.root), x.root.size()) < std::pair(Depth(y.root), y.root.size());
    }
    return a < b;
  };

  std::map<std::string, std::size_t> best;
  for (const auto& [point, index] : visible) {
    const MountEntry& mount = mounts[index];
    if (index != root) {
      if (!MayBeDrive(mount) ||
          std::find(hidden.begin(), hidden.end(), mount.mountPoint) != hidden.end()) {
        continue;
      }
      // A file bound over a path (a container's /etc/hosts) is no place to store files in; shares
      // and FUSE mounts are not looked at, since looking may hang.
      if (mount.root != "/" && !NeedsBoundedQuery(mount) && isDirectory && !isDirectory(mount)) {
        continue;
      }
    }
    // The datasets of one ZFS pool count as one volume, as btrfs subvolumes do.
    const std::string key = mount.fsType == "zfs"
                                ? "zfs " + mount.source.substr(0, mount.source.find('/'))
                                : DeviceNumber(mount.major, mount.minor);
    const auto [slot, inserted] = best.emplace(key, index);
    if (!inserted && better(index, slot->second)) {
      slot->second = index;
    }
  }
  std::vector<std::size_t> chosen;
  chosen.reserve(best.size());
  for (const auto& entry : best) {
    chosen.push_back(entry.second);
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

std::string DecodeUdevEscapes(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      const int high = HexDigit(text[i + 2]);
      const int low = HexDigit(text[i + 3]);
      if (high >= 0 && low >= 0) {
        result += static_cast<char>(high * 16 + low);
        i += 3;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

FsIdentity ParseUdevData(std::string_view text) {
  FsIdentity identity;
  std::optional<std::string> encodedLabel;
  linux_sources::ForEachLine(text, [&](std::string_view line) {
    if (!StartsWith(line, "E:")) {
      return;
    }
    line.remove_prefix(2);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      return;
    }
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "ID_FS_LABEL_ENC") {
      encodedLabel = DecodeUdevEscapes(value);
    } else if (key == "ID_FS_LABEL") {
      identity.label = std::string(value);
    } else if (key == "ID_FS_UUID") {
      identity.uuid = std::string(value);
    } else if (key == "ID_FS_TYPE") {
      identity.type = std::string(value);
    } else if (key == "ID_BUS") {
      identity.bus = std::string(value);
    }
  });
  // ID_FS_LABEL has blanks and other unsafe bytes replaced; the encoded form keeps them.
  if (encodedLabel) {
    identity.label = std::move(*encodedLabel);
  }
  return identity;
}

std::optional<std::uint32_t> VolumeSerial(std::string_view uuid) {
  std::string digits;
  for (const char c : uuid) {
    if (HexDigit(c) >= 0) {
      digits += c;
    } else if (c != '-') {
      break;
    }
  }
  if (digits.size() < 8) {
    return std::nullopt;
  }
  // NTFS shows its 64-bit serial as 16 hex digits without dashes; its Windows serial is the low
  // half.
  const bool ntfs = digits.size() == 16 && uuid.size() == 16;
  const std::string_view chosen =
      ntfs ? std::string_view(digits).substr(8, 8) : std::string_view(digits).substr(0, 8);
  std::uint32_t serial = 0;
  for (const char c : chosen) {
    serial = serial * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  return serial;
}

std::optional<BlockDevice> ReadBlockDevice(const std::string& root, std::uint32_t major,
                                           std::uint32_t minor, std::string_view nameHint) {
  const std::string number = DeviceNumber(major, minor);
  BlockDevice device;
  const auto link = ReadLink(Join(root, "/sys/dev/block/" + number));
  if (link) {
    device.name = std::string(BaseName(*link));
    // A partition's link ends in .../<disk>/<partition>; the flags belong to the whole disk.
    const std::string_view parent = BaseName(std::string_view(*link).substr(
        0, link->size() - std::min(link->size(), device.name.size() + 1)));
    if (!parent.empty() && Exists(Join(root, "/sys/block/" + std::string(parent)))) {
      device.disk = std::string(parent);
    }
  } else if (auto found = FindInSysBlock(root, [&number](std::string_view, const std::string& dev) {
               return dev == number;
             })) {
    std::tie(device.disk, device.name) = std::move(*found);
  } else if (!nameHint.empty()) {
    device.name = std::string(nameHint);
  } else {
    return std::nullopt;
  }
  if (device.disk.empty()) {
    device.disk = DiskOf(root, device.name);
  }
  const auto removable =
      linux_sources::ReadFile(Join(root, "/sys/block/" + device.disk + "/removable"));
  device.removable = removable && StartsWith(*removable, "1");
  // The device's path in sysfs runs through its USB port, if it has one; /sys/block/<disk> links
  // to that path too.
  const auto diskLink = ReadLink(Join(root, "/sys/block/" + device.disk));
  device.usb = (link && link->find("/usb") != std::string::npos) ||
               (diskLink && diskLink->find("/usb") != std::string::npos);
  return device;
}

std::uint32_t KindOf(const MountEntry& mount, const std::optional<BlockDevice>& device) {
  const std::string_view name = device ? std::string_view(device->name) : std::string_view();
  if (IsNetworkType(mount.fsType)) {
    return DRIVE_REMOTE;
  }
  if (OneOf(mount.fsType, {"iso9660", "udf"}) || StartsWith(name, "sr")) {
    return DRIVE_CDROM;
  }
  if (IsRamType(mount.fsType) || StartsWith(name, "zram")) {
    return DRIVE_RAMDISK;
  }
  if (device && (device->removable || device->usb)) {
    return DRIVE_REMOVABLE;
  }
  return DRIVE_FIXED;
}

std::vector<Volume> ReadVolumes(const Sources& sources) {
  const std::string& root = sources.root;
  const auto mountinfo = linux_sources::ReadFile(Join(root, "/proc/self/mountinfo"));
  if (!mountinfo) {
    return {};
  }
  const std::vector<MountEntry> mounts = ParseMountInfo(*mountinfo);
  const auto fstab = linux_sources::ReadFile(Join(root, "/etc/fstab"));
  const std::vector<std::string> hidden =
      fstab ? HiddenMountPoints(*fstab) : std::vector<std::string>{};
  const auto isDirectory = [&root, &mounts](const MountEntry& mount) {
    // A path below a share is not looked at: the lookup would hang with the share. Nor is one that
    // cannot be looked at: both are given the benefit of the doubt.
    for (const MountEntry& share : mounts) {
      if (NeedsBoundedQuery(share) && StartsWith(mount.mountPoint, share.mountPoint) &&
          (share.mountPoint == "/" || mount.mountPoint[share.mountPoint.size()] == '/')) {
        return true;
      }
    }
    struct stat status {};
    return ::stat(Join(root, mount.mountPoint).c_str(), &status) != 0 || S_ISDIR(status.st_mode);
  };
  const bool udevRuns = Exists(Join(root, "/run/udev/data"));

  std::vector<Volume> volumes;
  for (const std::size_t index : SelectDrives(mounts, hidden, isDirectory)) {
    Volume volume;
    volume.mount = mounts[index];
    const MountEntry& mount = volume.mount;
    volume.root = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
    volume.bounded = NeedsBoundedQuery(mount);
    std::optional<BlockDevice> device;
    if (IsBlockBacked(mount) && !IsNetworkType(mount.fsType)) {
      const auto [major, minor] = DeviceOf(root, mount);
      device = ReadBlockDevice(root, major, minor, DeviceNameOf(root, mount));
      const std::string number = DeviceNumber(major, minor);
      if (udevRuns) {
        if (const auto data = linux_sources::ReadFile(Join(root, "/run/udev/data/b" + number))) {
          volume.identity = ParseUdevData(*data);
        }
      }
      if (volume.identity.Empty() && device) {
        volume.identity.label = FindByLink(Join(root, "/dev/disk/by-label"), device->name);
        volume.identity.uuid = FindByLink(Join(root, "/dev/disk/by-uuid"), device->name);
      }
      if (volume.identity.Empty() && !udevRuns && sources.probe) {
        const std::string node = IsRealDeviceName(mount.source) ? mount.source
                                 : device                       ? "/dev/" + device->name
                                                                : std::string();
        if (!node.empty()) {
          if (auto probed = sources.probe(Join(root, node))) {
            volume.identity = std::move(*probed);
          }
        }
      }
    }
    if (volume.identity.type.empty()) {
      volume.identity.type = mount.fsType;
    }
    if (device && volume.identity.bus == "usb") {
      device->usb = true;
    }
    volume.type = KindOf(mount, device);
    volumes.push_back(std::move(volume));
  }
  return volumes;
}

std::optional<Sizes> Statvfs(const std::string& path) {
  struct statvfs status {};
  if (::statvfs(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  const std::uint64_t unit = status.f_frsize != 0 ? status.f_frsize : status.f_bsize;
  Sizes sizes;
  sizes.total = static_cast<std::uint64_t>(status.f_blocks) * unit;
  sizes.available = static_cast<std::uint64_t>(status.f_bavail) * unit;
  sizes.free = static_cast<std::uint64_t>(status.f_bfree) * unit;
  return sizes;
}

// The worker shares this with the caller, so that a worker that outlives the wait still has
// somewhere to write its answer; whichever of the two ends last frees it.
struct PendingMeasure {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  std::optional<Sizes> sizes;
};

namespace {

// Starts measure(path) on a detached worker; null when no thread can be started.
std::shared_ptr<PendingMeasure> Launch(const std::string& path, const Measure& measure) {
  auto pending = std::make_shared<PendingMeasure>();
  try {
    std::thread([pending, path, measure] {
      std::optional<Sizes> sizes;
      try {
        sizes = measure(path);
      } catch (...) {
        // Nothing may leave a detached thread; the query counts as failed.
      }
      const std::lock_guard lock(pending->mutex);
      pending->sizes = sizes;
      pending->done = true;
      pending->answered.notify_all();
    }).detach();
  } catch (...) {
    return nullptr;
  }
  return pending;
}

std::optional<Sizes> Await(const std::shared_ptr<PendingMeasure>& pending,
                           std::chrono::steady_clock::time_point deadline, bool* timedOut) {
  if (pending == nullptr) {
    return std::nullopt;
  }
  std::unique_lock lock(pending->mutex);
  if (!pending->answered.wait_until(lock, deadline, [&pending] { return pending->done; })) {
    *timedOut = true;
    return std::nullopt;
  }
  return pending->sizes;
}

}  // namespace

std::optional<Sizes> MeasureBounded(const std::string& path, std::chrono::milliseconds bound,
                                    const Measure& measure, bool* timedOut) {
  bool late = false;
  const auto deadline = std::chrono::steady_clock::now() + bound;
  auto sizes = Await(Launch(path, measure), deadline, &late);
  if (timedOut != nullptr) {
    *timedOut = late;
  }
  return sizes;
}

DriveTable::DriveTable(std::vector<Volume> volumes, Measure measure,
                       std::chrono::milliseconds bound)
    : volumes_(std::move(volumes)),
      measure_(std::move(measure)),
      bound_(bound),
      answers_(volumes_.size(), Answer::kUnknown),
      started_(volumes_.size()) {
  for (const Volume& volume : volumes_) {
    list_ += volume.root;
    list_ += '\0';
  }
}

const Volume* DriveTable::Find(std::string_view root) const {
  if (root.empty()) {
    return nullptr;
  }
  const bool slash = root.back() == '/';
  for (const Volume& volume : volumes_) {
    const std::string_view candidate = volume.root;
    if (slash ? candidate == root
              : candidate.size() == root.size() + 1 && StartsWith(candidate, root)) {
      return &volume;
    }
  }
  return nullptr;
}

std::optional<Sizes> DriveTable::Size(const Volume& volume) {
  if (!volume.bounded) {
    return measure_(volume.mount.mountPoint);
  }
  const auto index = static_cast<std::size_t>(&volume - volumes_.data());
  Started mine;
  {
    const std::lock_guard lock(mutex_);
    if (answers_[index] == Answer::kDead) {
      return std::nullopt;
    }
    if (!sharesAsked_) {
      // Every share is asked at once, the first time one is: several dead shares then cost the
      // start-up one bound, not one each.
      sharesAsked_ = true;
      const auto deadline = std::chrono::steady_clock::now() + bound_;
      for (std::size_t i = 0; i < volumes_.size(); ++i) {
        if (volumes_[i].bounded && answers_[i] == Answer::kUnknown) {
          started_[i] = {Launch(volumes_[i].mount.mountPoint, measure_), deadline};
        }
      }
    }
    mine = std::exchange(started_[index], Started{});
  }
  if (mine.pending == nullptr) {
    mine = {Launch(volume.mount.mountPoint, measure_), std::chrono::steady_clock::now() + bound_};
  }
  bool timedOut = false;
  auto sizes = Await(mine.pending, mine.deadline, &timedOut);
  const std::lock_guard lock(mutex_);
  if (timedOut) {
    answers_[index] = Answer::kDead;
  } else if (sizes) {
    answers_[index] = Answer::kAlive;
  }
  return sizes;
}

bool DriveTable::Readable(const Volume& volume) {
  if (!volume.bounded) {
    return true;
  }
  const auto index = static_cast<std::size_t>(&volume - volumes_.data());
  {
    const std::lock_guard lock(mutex_);
    if (answers_[index] != Answer::kUnknown) {
      return answers_[index] == Answer::kAlive;
    }
  }
  return Size(volume).has_value();
}

}  // namespace platform::linux_volumes
