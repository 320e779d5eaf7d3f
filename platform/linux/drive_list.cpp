#include "platform/linux/drive_list.h"

#include <sys/stat.h>

#include <algorithm>
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

// Whether a mount's point may wait on a share: it is one, or lies below one.
bool MayWait(const ShareIndex& shares, const MountEntry& mount) {
  return NeedsBoundedQuery(mount) || shares.Below(mount.mountPoint);
}

// Whether each mount shows at its point now, looked at once per candidate; what the point showed
// is kept in seen, by the mount's index, for the drive that it becomes. The points that may wait on
// a share were looked at already, all at once, where lookShares is given.
Visible VisibleBy(const Sources& sources, const ShareIndex& shares,
                  const std::vector<MountEntry>& mounts,
                  std::vector<std::optional<PointFacts>>& seen) {
  return [&sources, &shares, &mounts, &seen](const MountEntry& mount) {
    const auto index = static_cast<std::size_t>(&mount - mounts.data());
    MountRef ref = MountRef::Of(mount);
    if (sources.lookShares && MayWait(shares, mount)) {
      // A point that did not answer is given the benefit of the doubt.
      return !seen[index] || Shows(*seen[index], ref);
    }
    // Without helpers, a path below a share is not looked at: the lookup would hang with the
    // share.
    if (shares.Below(mount.mountPoint)) {
      return true;
    }
    const std::string path = linux_sources::UnderRoot(sources.root, mount.mountPoint);
    std::optional<PointFacts> facts;
    if (sources.look) {
      facts = sources.look(path, NeedsBoundedQuery(mount));
      seen[index] = facts;
    } else {
      // A fixture tree's files lie on this machine's filesystems, so their device numbers tell
      // none of its mounts: only a file bound over a path is told apart.
      facts = LookInTree(path);
      ref.deviceTells = false;
    }
    return !facts || Shows(*facts, ref);
  };
}

// The points that may wait on a share and may be drives, looked at all at once with
// lookShares where the table has shares; what each showed into seen, and which did not answer in
// time into late.
void LookAtSharePoints(const Sources& sources, const ShareIndex& shares,
                       const std::vector<MountEntry>& mounts,
                       const std::vector<std::string>& hidden,
                       std::vector<std::optional<PointFacts>>& seen, std::vector<char>& late) {
  if (!sources.lookShares || !std::any_of(mounts.begin(), mounts.end(), NeedsBoundedQuery)) {
    return;
  }
  std::vector<std::size_t> asked;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < mounts.size(); ++i) {
    const MountEntry& mount = mounts[i];
    if (MayWait(shares, mount) && (mount.mountPoint == "/" || MayBeDrive(mount)) &&
        std::find(hidden.begin(), hidden.end(), mount.mountPoint) == hidden.end()) {
      asked.push_back(i);
      paths.push_back(linux_sources::UnderRoot(sources.root, mount.mountPoint));
    }
  }
  const auto looks = sources.lookShares(paths);
  for (std::size_t k = 0; k < asked.size() && k < looks.size(); ++k) {
    seen[asked[k]] = looks[k].facts;
    late[asked[k]] = looks[k].late ? 1 : 0;
  }
}

// The mount table of the tree under root and the points its fstab hides; nullopt where the table
// cannot be read.
struct Table {
  std::vector<MountEntry> mounts;
  std::vector<std::string> hidden;
};

std::optional<Table> ReadTable(const std::string& root) {
  const auto mountinfo =
      linux_sources::ReadFile(linux_sources::UnderRoot(root, "/proc/self/mountinfo"));
  if (!mountinfo) {
    return std::nullopt;
  }
  Table table;
  table.mounts = ParseMountInfo(*mountinfo);
  const auto fstab = linux_sources::ReadFile(linux_sources::UnderRoot(root, "/etc/fstab"));
  if (fstab) {
    table.hidden = HiddenMountPoints(*fstab);
  }
  return table;
}

// What a drive's point showed, kept for its size queries: the unique ID of the mount there, and the
// sizes measured with the look where that mount is the drive's own.
void NotePoint(Drive& drive, const std::optional<PointFacts>& facts,
               std::chrono::steady_clock::time_point readAt) {
  if (!facts) {
    return;
  }
  // Its filesystem, through whichever mount of it is there now: that mount's ID that no later
  // mount gets is what a later size query checks.
  MountRef filesystem = MountRef::Of(drive.mount);
  filesystem.mountId = 0;
  if (!filesystem.IsAt(*facts)) {
    // Gone since it was seen: whatever is there now is not this drive.
    drive.uniqueMountId = kNoMount;
    return;
  }
  drive.uniqueMountId = facts->uniqueMountId;
  if (facts->sizes && Shows(*facts, MountRef::Of(drive.mount))) {
    drive.reading = facts->sizes;
    drive.readAt = readAt;
  }
}

// The /dev/disk links of a tree, each directory read once, when first asked.
struct DiskLinkDirectories {
  DiskLinks labels;
  DiskLinks uuids;
};

// The block device of a mount (nullopt for one without) and, into identity, its filesystem's
// identity: udev's, else the links', else the device's own where udev does not run.
std::optional<BlockDevice> Identify(const Sources& sources, DiskLinkDirectories& links,
                                    const MountEntry& mount, FsIdentity& identity) {
  const std::string& root = sources.root;
  std::optional<BlockDevice> device;
  if (IsBlockBacked(mount) && !IsNetworkType(mount.fsType)) {
    const auto [major, minor] = DeviceOf(root, mount);
    device = ReadBlockDevice(root, major, minor, DeviceNameOf(root, mount));
    if (sources.udev) {
      if (auto known = sources.udev(major, minor)) {
        identity = std::move(*known);
      }
    }
    if (!identity.confirmed && device) {
      // The links are udev's too (perhaps the host's, in a container): a device with a UUID link
      // was read, so a missing label link means it has no label.
      const auto label = links.labels.Find(device->name);
      const auto uuid = links.uuids.Find(device->name);
      if (label || uuid) {
        identity.label = label.value_or("");
        identity.uuid = uuid.value_or("");
        identity.confirmed = true;
      }
    }
    if (!identity.confirmed && !sources.udev && sources.probe) {
      const std::string node = IsRealDeviceName(mount.source) ? mount.source
                               : device                       ? "/dev/" + device->name
                                                              : std::string();
      if (!node.empty()) {
        if (auto probed = sources.probe(linux_sources::UnderRoot(root, node))) {
          identity = std::move(*probed);
        }
      }
    }
  } else {
    // A RAM-disk, a share or a pool dataset carries no label of its own.
    identity.confirmed = true;
  }
  if (identity.type.empty()) {
    identity.type = mount.fsType;
  }
  return device;
}

}  // namespace

Place PlaceOf(const Drive& drive) {
  MountRef mount = MountRef::Of(drive.mount);
  mount.uniqueMountId = drive.uniqueMountId;
  return {drive.mount.mountPoint, true, mount};
}

std::vector<ShareLook> LookInHelpers(linux_helpers::Helpers& helpers,
                                     const std::vector<std::string>& paths,
                                     std::chrono::steady_clock::time_point deadline) {
  using linux_helpers::Question;
  std::vector<std::optional<linux_helpers::Helpers::Ticket>> tickets;
  tickets.reserve(paths.size());
  for (const std::string& path : paths) {
    auto question = Question::About(Question::Kind::kLook, path);
    if (question) {
      question->cached = true;
      tickets.emplace_back(helpers.Ask(*question, deadline));
    } else {
      tickets.emplace_back();
    }
  }
  std::vector<ShareLook> looks(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (tickets[i]) {
      if (auto answer = helpers.Await(*tickets[i], &looks[i].late)) {
        looks[i].facts = answer->facts;
      }
    }
  }
  return looks;
}

Sources ThisMachine() {
  Sources sources;
  sources.probe = ProbeDevice;
  if (linux_udev::Runs()) {
    sources.udev = linux_udev::BlockIdentity;
  }
  sources.look = [](const std::string& path, bool cached) {
    return LookAtPath(path.c_str(), cached);
  };
  sources.lookShares = [](const std::vector<std::string>& paths) {
    linux_helpers::Helpers helpers;
    return LookInHelpers(helpers, paths, std::chrono::steady_clock::now() + kShareBound);
  };
  return sources;
}

std::vector<Drive> ReadDrives(const Sources& sources, bool* tableRead) {
  const std::string& root = sources.root;
  auto table = ReadTable(root);
  if (tableRead != nullptr) {
    *tableRead = table.has_value();
  }
  if (!table) {
    return {};
  }
  std::vector<MountEntry>& mounts = table->mounts;
  const ShareIndex shares(mounts);
  DiskLinkDirectories links{DiskLinks(linux_sources::UnderRoot(root, "/dev/disk/by-label")),
                            DiskLinks(linux_sources::UnderRoot(root, "/dev/disk/by-uuid"))};

  std::vector<std::optional<PointFacts>> seen(mounts.size());
  std::vector<char> late(mounts.size(), 0);
  const auto readAt = std::chrono::steady_clock::now();
  LookAtSharePoints(sources, shares, mounts, table->hidden, seen, late);
  // The shares' readings are as fresh as the last answer they waited for.
  const auto sharesReadAt = std::chrono::steady_clock::now();
  const auto chosen = SelectDrives(mounts, table->hidden, VisibleBy(sources, shares, mounts, seen));
  std::vector<Drive> drives;
  drives.reserve(chosen.size());
  for (const std::size_t index : chosen) {
    Drive drive;
    drive.mount = std::move(mounts[index]);  // each is chosen once
    const MountEntry& mount = drive.mount;
    drive.root = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
    drive.bounded = MayWait(shares, mount);
    if (drive.bounded && sources.lookShares) {
      NotePoint(drive, seen[index], sharesReadAt);
      drive.late = late[index] != 0;
    } else if (sources.look && !shares.Below(mount.mountPoint)) {
      // What its point showed when it was found visible; the root is always one and was not
      // looked at then.
      NotePoint(drive,
                seen[index] ? seen[index]
                            : sources.look(linux_sources::UnderRoot(root, mount.mountPoint),
                                           NeedsBoundedQuery(mount)),
                readAt);
    }
    const auto device = Identify(sources, links, mount, drive.identity);
    drive.type = KindOf(mount, device);
    drives.push_back(std::move(drive));
  }
  return drives;
}

}  // namespace platform::linux_drives
