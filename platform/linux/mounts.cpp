#include "platform/linux/mounts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/linux/sources.h"
#include "platform/linux/udev.h"

namespace platform::linux_volumes {
namespace {

// Whether each mount shows at its point now, looked at once per candidate; what the point showed
// is kept in seen, by the mount's index, for the drive that it becomes.
Visible VisibleBy(const std::string& root, const LookAt& look, const ShareIndex& shares,
                  const std::vector<MountEntry>& mounts,
                  std::vector<std::optional<PointFacts>>& seen) {
  return [&root, &look, &shares, &mounts, &seen](const MountEntry& mount) {
    // A path below a share is not looked at: the lookup would hang with the share. It is given the
    // benefit of the doubt, as is a point that cannot be looked at.
    if (shares.Below(mount.mountPoint)) {
      return true;
    }
    const std::string path = linux_sources::UnderRoot(root, mount.mountPoint);
    if (!look) {
      // A fixture tree: only a file bound over a path is told apart.
      struct stat status {};
      return ::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode);
    }
    auto& facts = seen[static_cast<std::size_t>(&mount - mounts.data())];
    facts = look(path, NeedsBoundedQuery(mount));
    return !facts || Shows(*facts, mount);
  };
}

}  // namespace

std::optional<contract::DiskSizes> SizesOf(int fd) {
  struct statvfs status {};
  if (::fstatvfs(fd, &status) != 0) {
    return std::nullopt;
  }
  const std::uint64_t unit = status.f_frsize != 0 ? status.f_frsize : status.f_bsize;
  return contract::DiskSizes{.available = static_cast<std::uint64_t>(status.f_bavail) * unit,
                             .total = static_cast<std::uint64_t>(status.f_blocks) * unit,
                             .free = static_cast<std::uint64_t>(status.f_bfree) * unit};
}

std::optional<PointFacts> LookAtPath(const std::string& path, bool cached) {
  const auto gone = [] {
    PointFacts facts;
    facts.missing = true;
    return facts;
  };
  PointFacts facts;
  struct statx status {};
  if (cached) {
    // Two lookups of the path, but no descriptor: opening a share's point may ask the server.
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC;
    if (::statx(AT_FDCWD, path.c_str(), flags, STATX_TYPE | STATX_MNT_ID, &status) != 0) {
      return errno == ENOENT || errno == ENOTDIR ? std::optional(gone()) : std::nullopt;
    }
    facts.major = status.stx_dev_major;
    facts.minor = status.stx_dev_minor;
    facts.directory = S_ISDIR(status.stx_mode);
    facts.mountId = (status.stx_mask & STATX_MNT_ID) != 0 ? status.stx_mnt_id : 0;
    struct statx unique {};
    if (::statx(AT_FDCWD, path.c_str(), flags, kUniqueMountId, &unique) == 0 &&
        (unique.stx_mask & kUniqueMountId) != 0) {
      facts.uniqueMountId = unique.stx_mnt_id;
    }
    return facts;
  }
  // One lookup of the path: all the rest is asked of the descriptor, so it all tells of the same
  // directory. Without O_DIRECTORY an O_PATH open starts no automount on the point.
  const int fd = ::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR ? std::optional(gone()) : std::nullopt;
  }
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &status) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  facts.major = status.stx_dev_major;
  facts.minor = status.stx_dev_minor;
  facts.directory = S_ISDIR(status.stx_mode);
  facts.mountId = (status.stx_mask & STATX_MNT_ID) != 0 ? status.stx_mnt_id : 0;
  struct statx unique {};
  if (::statx(fd, "", AT_EMPTY_PATH, kUniqueMountId, &unique) == 0 &&
      (unique.stx_mask & kUniqueMountId) != 0) {
    facts.uniqueMountId = unique.stx_mnt_id;
  }
  if (facts.directory) {
    facts.sizes = SizesOf(fd);
  }
  ::close(fd);
  return facts;
}

bool Shows(const PointFacts& facts, const MountEntry& mount) {
  // Covered by a later mount on the point or on a directory above it, the point shows another
  // mount, or nothing at all.
  if (facts.missing || !facts.directory) {
    return false;
  }
  if (facts.mountId != 0 && mount.id != 0) {
    return facts.mountId == mount.id;
  }
  return (facts.major == mount.major && facts.minor == mount.minor) || mount.fsType == "btrfs";
}

Sources ThisMachine() {
  Sources sources;
  sources.probe = ProbeDevice;
  if (linux_udev::Runs()) {
    sources.udev = linux_udev::BlockIdentity;
  }
  sources.look = LookAtPath;
  return sources;
}

std::vector<Volume> ReadVolumes(const Sources& sources) {
  const std::string& root = sources.root;
  const auto mountinfo =
      linux_sources::ReadFile(linux_sources::UnderRoot(root, "/proc/self/mountinfo"));
  if (!mountinfo) {
    return {};
  }
  std::vector<MountEntry> mounts = ParseMountInfo(*mountinfo);
  const auto fstab = linux_sources::ReadFile(linux_sources::UnderRoot(root, "/etc/fstab"));
  const std::vector<std::string> hidden =
      fstab ? HiddenMountPoints(*fstab) : std::vector<std::string>{};
  const ShareIndex shares(mounts);
  DiskLinks labels(linux_sources::UnderRoot(root, "/dev/disk/by-label"));
  DiskLinks uuids(linux_sources::UnderRoot(root, "/dev/disk/by-uuid"));

  std::vector<std::optional<PointFacts>> seen(sources.look ? mounts.size() : 0);
  const auto readAt = std::chrono::steady_clock::now();
  const auto chosen =
      SelectDrives(mounts, hidden, VisibleBy(root, sources.look, shares, mounts, seen));
  std::vector<Volume> volumes;
  volumes.reserve(chosen.size());
  for (const std::size_t index : chosen) {
    Volume volume;
    volume.mount = std::move(mounts[index]);  // each is chosen once
    const MountEntry& mount = volume.mount;
    volume.root = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
    volume.bounded = NeedsBoundedQuery(mount);
    if (sources.look && !shares.Below(mount.mountPoint)) {
      // What its point showed when it was found visible; the root is always one and was not
      // looked at then.
      auto facts = seen[index] ? seen[index]
                               : sources.look(linux_sources::UnderRoot(root, mount.mountPoint),
                                              volume.bounded);
      if (facts && (facts->missing || (mount.fsType != "btrfs" && (facts->major != mount.major ||
                                                                   facts->minor != mount.minor)))) {
        // Gone since it was seen: whatever is there now is not this drive.
        volume.uniqueMountId = kNoMount;
      } else if (facts) {
        // The mount's ID that no later mount gets: a later size query checks it.
        volume.uniqueMountId = facts->uniqueMountId;
        if (facts->sizes && Shows(*facts, mount)) {
          volume.reading = facts->sizes;
          volume.readAt = readAt;
        }
      }
    }
    std::optional<BlockDevice> device;
    if (IsBlockBacked(mount) && !IsNetworkType(mount.fsType)) {
      const auto [major, minor] = DeviceOf(root, mount);
      device = ReadBlockDevice(root, major, minor, DeviceNameOf(root, mount));
      if (sources.udev) {
        if (auto known = sources.udev(major, minor)) {
          volume.identity = std::move(*known);
        }
      }
      if (!volume.identity.confirmed && device) {
        // The links are udev's too (perhaps the host's, in a container): a device with a UUID link
        // was read, so a missing label link means it has no label.
        const auto label = labels.Find(device->name);
        const auto uuid = uuids.Find(device->name);
        if (label || uuid) {
          volume.identity.label = label.value_or("");
          volume.identity.uuid = uuid.value_or("");
          volume.identity.confirmed = true;
        }
      }
      if (!volume.identity.confirmed && !sources.udev && sources.probe) {
        const std::string node = IsRealDeviceName(mount.source) ? mount.source
                                 : device                       ? "/dev/" + device->name
                                                                : std::string();
        if (!node.empty()) {
          if (auto probed = sources.probe(linux_sources::UnderRoot(root, node))) {
            volume.identity = std::move(*probed);
          }
        }
      }
    } else {
      // A RAM-disk, a share or a pool dataset carries no label of its own.
      volume.identity.confirmed = true;
    }
    if (volume.identity.type.empty()) {
      volume.identity.type = mount.fsType;
    }
    volume.type = KindOf(mount, device);
    volumes.push_back(std::move(volume));
  }
  return volumes;
}

}  // namespace platform::linux_volumes
