#include "platform/linux/mounts.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <unordered_map>

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

// The unique mount IDs the points showed, by mount.
using SeenIds = std::unordered_map<const MountEntry*, std::uint64_t>;

// Whether each mount shows at its point now, looked at once per candidate.
Visible VisibleBy(const std::string& root, const LookAt& look, const ShareIndex& shares,
                  SeenIds& seen) {
  return [&root, &look, &shares, &seen](const MountEntry& mount) {
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
    const auto facts = look(path, NeedsBoundedQuery(mount));
    if (!facts) {
      return true;
    }
    seen[&mount] = facts->uniqueMountId;
    // Covered by a later mount on the point or on a directory above it, the point shows another
    // filesystem, or nothing at all.
    return !facts->missing && facts->directory && facts->major == mount.major &&
           facts->minor == mount.minor;
  };
}

}  // namespace

std::optional<PointFacts> LookAtPath(const std::string& path, bool cached) {
  struct statx status {};
  const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (cached ? AT_STATX_DONT_SYNC : 0);
  if (::statx(AT_FDCWD, path.c_str(), flags, STATX_TYPE | kUniqueMountId, &status) != 0) {
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
  if ((status.stx_mask & kUniqueMountId) != 0) {
    facts.uniqueMountId = status.stx_mnt_id;
  }
  return facts;
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

  SeenIds seen;
  const auto chosen = SelectDrives(mounts, hidden, VisibleBy(root, sources.look, shares, seen));
  std::vector<Volume> volumes;
  volumes.reserve(chosen.size());
  for (const std::size_t index : chosen) {
    Volume volume;
    volume.mount = mounts[index];
    const MountEntry& mount = volume.mount;
    volume.root = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
    volume.bounded = NeedsBoundedQuery(mount);
    if (const auto id = seen.find(&mounts[index]); id != seen.end()) {
      volume.uniqueMountId = id->second;
    } else if (sources.look && !shares.Below(mount.mountPoint)) {
      // The root is listed without a look; its ID is still wanted for the size query.
      if (const auto facts = sources.look(Join(root, mount.mountPoint), volume.bounded)) {
        volume.uniqueMountId = facts->uniqueMountId;
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
