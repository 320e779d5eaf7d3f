#include "platform/linux/drive_list.h"

#include <sys/stat.h>

#include <utility>

#include "platform/linux/drive_choice.h"
#include "platform/linux/sources.h"
#include "platform/linux/udev.h"

namespace platform::linux_drives {
namespace {

// What a path in a fixture tree shows: only whether it is a directory; nullopt where it cannot be
// looked at.
std::optional<PointFacts> LookInTree(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  PointFacts facts;
  facts.directory = S_ISDIR(status.st_mode);
  return facts;
}

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
    MountRef ref = MountRef::Of(mount);
    std::optional<PointFacts> facts;
    if (look) {
      facts = look(path, NeedsBoundedQuery(mount));
      seen[static_cast<std::size_t>(&mount - mounts.data())] = facts;
    } else {
      // A fixture tree's files lie on this machine's filesystems, so their device numbers tell
      // none of its mounts: only a file bound over a path is told apart.
      facts = LookInTree(path);
      ref.deviceTells = false;
    }
    return !facts || Shows(*facts, ref);
  };
}

}  // namespace

Place PlaceOf(const Drive& drive) {
  MountRef mount = MountRef::Of(drive.mount);
  mount.uniqueMountId = drive.uniqueMountId;
  return {drive.mount.mountPoint, true, mount};
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

std::vector<Drive> ReadDrives(const Sources& sources) {
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
  std::vector<Drive> drives;
  drives.reserve(chosen.size());
  for (const std::size_t index : chosen) {
    Drive drive;
    drive.mount = std::move(mounts[index]);  // each is chosen once
    const MountEntry& mount = drive.mount;
    drive.root = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
    drive.bounded = NeedsBoundedQuery(mount);
    if (sources.look && !shares.Below(mount.mountPoint)) {
      // What its point showed when it was found visible; the root is always one and was not
      // looked at then.
      auto facts = seen[index] ? seen[index]
                               : sources.look(linux_sources::UnderRoot(root, mount.mountPoint),
                                              drive.bounded);
      // Its filesystem, through whichever mount of it is there now: that mount's ID that no later
      // mount gets is what a later size query checks.
      MountRef filesystem = MountRef::Of(mount);
      filesystem.mountId = 0;
      if (facts && !filesystem.IsAt(*facts)) {
        // Gone since it was seen: whatever is there now is not this drive.
        drive.uniqueMountId = kNoMount;
      } else if (facts) {
        drive.uniqueMountId = facts->uniqueMountId;
        if (facts->sizes && Shows(*facts, MountRef::Of(mount))) {
          drive.reading = facts->sizes;
          drive.readAt = readAt;
        }
      }
    }
    std::optional<BlockDevice> device;
    if (IsBlockBacked(mount) && !IsNetworkType(mount.fsType)) {
      const auto [major, minor] = DeviceOf(root, mount);
      device = ReadBlockDevice(root, major, minor, DeviceNameOf(root, mount));
      if (sources.udev) {
        if (auto known = sources.udev(major, minor)) {
          drive.identity = std::move(*known);
        }
      }
      if (!drive.identity.confirmed && device) {
        // The links are udev's too (perhaps the host's, in a container): a device with a UUID link
        // was read, so a missing label link means it has no label.
        const auto label = labels.Find(device->name);
        const auto uuid = uuids.Find(device->name);
        if (label || uuid) {
          drive.identity.label = label.value_or("");
          drive.identity.uuid = uuid.value_or("");
          drive.identity.confirmed = true;
        }
      }
      if (!drive.identity.confirmed && !sources.udev && sources.probe) {
        const std::string node = IsRealDeviceName(mount.source) ? mount.source
                                 : device                       ? "/dev/" + device->name
                                                                : std::string();
        if (!node.empty()) {
          if (auto probed = sources.probe(linux_sources::UnderRoot(root, node))) {
            drive.identity = std::move(*probed);
          }
        }
      }
    } else {
      // A RAM-disk, a share or a pool dataset carries no label of its own.
      drive.identity.confirmed = true;
    }
    if (drive.identity.type.empty()) {
      drive.identity.type = mount.fsType;
    }
    drive.type = KindOf(mount, device);
    drives.push_back(std::move(drive));
  }
  return drives;
}

}  // namespace platform::linux_drives
