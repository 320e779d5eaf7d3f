#include "platform/linux/device_identity.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <tuple>
#include <utility>

#include "platform/drives.h"
#include "platform/linux/sources.h"

namespace platform::linux_drives {
namespace {

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
  const std::string base = linux_sources::UnderRoot(root, "/sys/block");
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
      if (partName == "." || partName == ".." || !partName.starts_with(diskName)) {
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
  if (Exists(linux_sources::UnderRoot(root, "/sys/block/" + name))) {
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
  return !disk.empty() && disk != name &&
                 Exists(linux_sources::UnderRoot(root, "/sys/block/" + disk))
             ? disk
             : name;
}

}  // namespace

std::string DeviceNameOf(const std::string& root, const MountEntry& mount) {
  if (!IsRealDeviceName(mount.source)) {
    return {};
  }
  const auto link = ReadLink(linux_sources::UnderRoot(root, mount.source));
  return std::string(BaseName(link ? *link : mount.source));
}

std::pair<std::uint32_t, std::uint32_t> DeviceOf(const std::string& root, const MountEntry& mount) {
  if (mount.major != 0 || !IsRealDeviceName(mount.source)) {
    return {mount.major, mount.minor};
  }
  const std::string name = DeviceNameOf(root, mount);
  std::string number = Trimmed(
      linux_sources::ReadFile(linux_sources::UnderRoot(root, "/sys/class/block/" + name + "/dev")));
  if (number.empty()) {
    // The walk reads each candidate's "dev" file: the one of the device found is its number.
    FindInSysBlock(root, [&name, &number](std::string_view candidate, const std::string& dev) {
      if (candidate != name) {
        return false;
      }
      number = dev;
      return true;
    });
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

std::optional<std::string> DiskLinks::Find(const std::string& device) {
  if (!read_) {
    read_ = true;
    if (DIR* listing = ::opendir(directory_.c_str())) {
      while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
          continue;
        }
        if (const auto target = ReadLink(directory_ + "/" + entry->d_name)) {
          // The first link of a device stays, as a directory walk would find it.
          byDevice_.emplace(BaseName(*target), DecodeUdevEscapes(name));
        }
      }
      ::closedir(listing);
    }
  }
  const auto found = byDevice_.find(device);
  return found == byDevice_.end() ? std::nullopt : std::optional(found->second);
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

FsIdentity IdentityFromProperties(const PropertyOf& property) {
  FsIdentity identity;
  // ID_FS_LABEL has blanks and other unsafe bytes replaced; the encoded form keeps them.
  if (auto encoded = property("ID_FS_LABEL_ENC")) {
    identity.label = DecodeUdevEscapes(*encoded);
  } else if (auto plain = property("ID_FS_LABEL")) {
    identity.label = std::move(*plain);
  }
  identity.uuid = property("ID_FS_UUID").value_or("");
  identity.type = property("ID_FS_TYPE").value_or("");
  // udev sets the type whenever it found a filesystem, with or without a label.
  identity.confirmed = !identity.type.empty() || !identity.uuid.empty();
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
  const auto link = ReadLink(linux_sources::UnderRoot(root, "/sys/dev/block/" + number));
  if (link) {
    device.name = std::string(BaseName(*link));
    // A partition's link ends in .../<disk>/<partition>; the flags belong to the whole disk.
    const std::string_view parent = BaseName(std::string_view(*link).substr(
        0, link->size() - std::min(link->size(), device.name.size() + 1)));
    if (!parent.empty() &&
        Exists(linux_sources::UnderRoot(root, "/sys/block/" + std::string(parent)))) {
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
  const auto removable = linux_sources::ReadFile(
      linux_sources::UnderRoot(root, "/sys/block/" + device.disk + "/removable"));
  device.removable = removable && removable->starts_with("1");
  return device;
}

std::uint32_t KindOf(const MountEntry& mount, const std::optional<BlockDevice>& device) {
  const std::string_view name = device ? std::string_view(device->name) : std::string_view();
  if (IsNetworkType(mount.fsType)) {
    return DRIVE_REMOTE;
  }
  if (mount.fsType == "iso9660" || mount.fsType == "udf" || name.starts_with("sr")) {
    return DRIVE_CDROM;
  }
  if (IsRamType(mount.fsType) || name.starts_with("zram")) {
    return DRIVE_RAMDISK;
  }
  if (device && device->removable) {
    return DRIVE_REMOVABLE;
  }
  return DRIVE_FIXED;
}

}  // namespace platform::linux_drives
