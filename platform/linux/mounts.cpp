#include "platform/linux/mounts.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/linux/sources.h"
#include "platform/linux/udev.h"

namespace platform::linux_volumes {
namespace {

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

// Whether each mount shows at its point now, looked at once per candidate.
Visible VisibleBy(const std::string& root, const LookAt& look, const ShareIndex& shares) {
  return [&root, &look, &shares](const MountEntry& mount) {
    // A path below a share is not looked at: the lookup would hang with the share. It is given the
    // benefit of the doubt, as is a point that cannot be looked at.
    if (shares.Below(mount.mountPoint)) {
      return true;
    }
    const std::string path = Join(root, mount.mountPoint);
    if (!look) {
      // A fixture tree: only a file bound over a path is told apart.
      struct stat status {};
      return ::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode);
    }
    const auto facts = look(path, NeedsBoundedQuery(mount), false);
    return !facts || Shows(*facts, mount);
  };
}

}  // namespace

std::optional<PointFacts> LookAtPath(const std::string& path, bool cached, bool unique) {
  struct statx status {};
  const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (cached ? AT_STATX_DONT_SYNC : 0);
  const unsigned wanted = STATX_TYPE | (unique ? kUniqueMountId : STATX_MNT_ID);
  if (::statx(AT_FDCWD, path.c_str(), flags, wanted, &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      PointFacts gone;
      gone.missing = true;
      return gone;
    }
    return std::nullopt;
  }
  PointFacts facts;
  facts.major = status.stx_dev_major;
  facts.minor = status.stx_dev_minor;
  facts.directory = S_ISDIR(status.stx_mode);
  if ((status.stx_mask & (unique ? kUniqueMountId : STATX_MNT_ID)) != 0) {
    facts.mountId = status.stx_mnt_id;
  }
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
  const auto mountinfo = linux_sources::ReadFile(Join(root, "/proc/self/mountinfo"));
  if (!mountinfo) {
    return {};
  }
  const std::vector<MountEntry> mounts = ParseMountInfo(*mountinfo);
  const auto fstab = linux_sources::ReadFile(Join(root, "/etc/fstab"));
  const std::vector<std::string> hidden =
      fstab ? HiddenMountPoints(*fstab) : std::vector<std::string>{};
  const ShareIndex shares(mounts);
  DiskLinks labels(Join(root, "/dev/disk/by-label"));
  DiskLinks uuids(Join(root, "/dev/disk/by-uuid"));

  const auto chosen = SelectDrives(mounts, hidden, VisibleBy(root, sources.look, shares));
  std::vector<Volume> volumes;
  volumes.reserve(chosen.size());
  for (const std::size_t index : chosen) {
    Volume volume;
    volume.mount = mounts[index];
    const MountEntry& mount = volume.mount;
    volume.root = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
    volume.bounded = NeedsBoundedQuery(mount);
    if (sources.look && !shares.Below(mount.mountPoint)) {
      // The mount's ID that no later mount gets: the size query checks it.
      const auto facts = sources.look(Join(root, mount.mountPoint), volume.bounded, true);
      if (facts && (facts->missing || (mount.fsType != "btrfs" && (facts->major != mount.major ||
                                                                   facts->minor != mount.minor)))) {
        // Gone since it was seen: whatever is there now is not this drive.
        volume.uniqueMountId = kNoMount;
      } else if (facts) {
        volume.uniqueMountId = facts->mountId;
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
          if (auto probed = sources.probe(Join(root, node))) {
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
