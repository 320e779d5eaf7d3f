#include "platform/linux/drive_choice.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace platform::linux_drives {
namespace {

// Where a user makes a RAM-disk of their own.
constexpr std::string_view kUserPlaces[] = {"/tmp", "/mnt", "/media"};

std::size_t Depth(std::string_view path) {
  return std::count(path.begin(), path.end(), '/');
}

// The pool of a ZFS dataset ("tank" of "tank/home"), which groups its datasets as one volume.
std::string_view PoolOf(const MountEntry& mount) {
  return std::string_view(mount.source).substr(0, mount.source.find('/'));
}

// The mount on top of each point: a later mount on the same point hides the earlier one.
std::unordered_map<std::string_view, std::size_t> TopMounts(const std::vector<MountEntry>& mounts) {
  std::unordered_map<std::string_view, std::size_t> top;
  top.reserve(mounts.size());
  for (std::size_t i = 0; i < mounts.size(); ++i) {
    top[mounts[i].mountPoint] = i;
  }
  return top;
}

// The candidate mounts, in the order of the table, each with the number of its volume.
struct Candidates {
  std::vector<std::size_t> indexes;
  std::vector<std::uint32_t> volumeOf;
  std::uint32_t volumes = 0;
};

// The mounts that isCandidate(index) takes, their volumes told by device number (or ZFS pool) and
// numbered in the order each first appears in the table.
Candidates NumberVolumes(const std::vector<MountEntry>& mounts,
                         const std::function<bool(std::size_t)>& isCandidate) {
  std::unordered_map<std::uint64_t, std::uint32_t> byDevice;
  std::unordered_map<std::string_view, std::uint32_t> byPool;
  byDevice.reserve(mounts.size());
  Candidates candidates;
  candidates.indexes.reserve(mounts.size());
  candidates.volumeOf.reserve(mounts.size());
  std::uint32_t& volumes = candidates.volumes;
  for (std::size_t index = 0; index < mounts.size(); ++index) {
    if (!isCandidate(index)) {
      continue;
    }
    const MountEntry& mount = mounts[index];
    // A volume not seen before gets the next number.
    const std::uint32_t volume =
        mount.fsType == "zfs"
            ? byPool.try_emplace(PoolOf(mount), volumes).first->second
            : byDevice.try_emplace((std::uint64_t{mount.major} << 32U) | mount.minor, volumes)
                  .first->second;
    if (volume == volumes) {
      ++volumes;
    }
    candidates.indexes.push_back(index);
    candidates.volumeOf.push_back(volume);
  }
  return candidates;
}

// The candidates of each volume side by side, still in the order of the table.
class VolumeGroups {
 public:
  VolumeGroups(std::vector<std::size_t> grouped, std::vector<std::size_t> begins)
      : grouped_(std::move(grouped)), begins_(std::move(begins)) {}

  std::uint32_t Count() const { return static_cast<std::uint32_t>(begins_.size() - 1); }

  // The candidates of one volume, to be put in order in place.
  std::span<std::size_t> Of(std::uint32_t volume) {
    return std::span(grouped_).subspan(begins_[volume], begins_[volume + 1] - begins_[volume]);
  }

 private:
  std::vector<std::size_t> grouped_;
  std::vector<std::size_t> begins_;  // where each volume's candidates begin, and where they end
};

// A counting sort of the candidates by volume.
VolumeGroups GroupByVolume(const Candidates& candidates) {
  std::vector<std::size_t> begins(candidates.volumes + 1, 0);
  for (const std::uint32_t volume : candidates.volumeOf) {
    ++begins[volume + 1];
  }
  for (std::uint32_t volume = 0; volume < candidates.volumes; ++volume) {
    begins[volume + 1] += begins[volume];
  }
  std::vector<std::size_t> grouped(candidates.indexes.size());
  std::vector<std::size_t> next(begins.begin(), begins.end() - 1);
  for (std::size_t k = 0; k < candidates.indexes.size(); ++k) {
    grouped[next[candidates.volumeOf[k]]++] = candidates.indexes[k];
  }
  return {std::move(grouped), std::move(begins)};
}

// Orders the mounts of one volume, the better first: the root, then a real /dev name, then the
// shorter mount point, then the mount nearest the filesystem's own root, then the table's order.
class BetterMount {
 public:
  BetterMount(const std::vector<MountEntry>& mounts, std::optional<std::size_t> root)
      : mounts_(mounts), root_(root) {}

  bool operator()(std::size_t a, std::size_t b) const {
    if (a == root_ || b == root_) {
      return a == root_;
    }
    const MountEntry& x = mounts_[a];
    const MountEntry& y = mounts_[b];
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
  }

 private:
  const std::vector<MountEntry>& mounts_;
  std::optional<std::size_t> root_;
};

// The best of one volume's candidates that shows; nothing when none does. Mostly the best one
// shows: found in one pass, the rest are sorted only when it does not.
std::optional<std::size_t> BestShown(std::span<std::size_t> group, const BetterMount& better,
                                     const std::function<bool(std::size_t)>& shows) {
  const auto first = std::min_element(group.begin(), group.end(), better);
  if (shows(*first)) {
    return *first;
  }
  std::iter_swap(group.begin(), first);
  const auto rest = group.subspan(1);
  std::sort(rest.begin(), rest.end(), better);
  const auto next = std::find_if(rest.begin(), rest.end(), shows);
  return next == rest.end() ? std::nullopt : std::optional(*next);
}

}  // namespace

bool MayBeDrive(const MountEntry& mount) {
  if (HasOption(mount.options, "x-gvfs-hide") || HasOption(mount.superOptions, "x-gvfs-hide")) {
    return false;
  }
  if (IsNetworkType(mount.fsType)) {
    return true;
  }
  if (IsRamType(mount.fsType)) {
    // Only a RAM-disk a user made, at or under /tmp, /mnt or /media: system tmpfs (/run,
    // /dev/shm) and read-only ones hold no files.
    const std::string_view point = mount.mountPoint;
    const bool userPlace = std::any_of(
        std::begin(kUserPlaces), std::end(kUserPlaces), [point](std::string_view place) {
          return point == place || (point.starts_with(place) && point[place.size()] == '/');
        });
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

ShareIndex::ShareIndex(const std::vector<MountEntry>& mounts) {
  for (const MountEntry& mount : mounts) {
    if (NeedsBoundedQuery(mount)) {
      points_.emplace_back(mount.mountPoint);
    }
  }
  std::sort(points_.begin(), points_.end());
}

bool ShareIndex::Below(std::string_view path) const {
  if (points_.empty()) {
    return false;
  }
  const auto holds = [this](std::string_view point) {
    return std::binary_search(points_.begin(), points_.end(), point);
  };
  // Each directory above the path, from its parent up to "/": as many lookups as the path is deep.
  for (auto slash = path.rfind('/'); slash != std::string_view::npos && slash != 0;
       slash = path.rfind('/', slash - 1)) {
    if (holds(path.substr(0, slash))) {
      return true;
    }
  }
  return path != "/" && holds("/");
}

std::vector<std::size_t> SelectDrives(const std::vector<MountEntry>& mounts,
                                      const std::vector<std::string>& hidden,
                                      const Visible& visible) {
  const auto top = TopMounts(mounts);
  const auto rootFound = top.find("/");
  const std::optional<std::size_t> root =
      rootFound == top.end() ? std::nullopt : std::optional(rootFound->second);
  const std::unordered_set<std::string_view> hiddenPoints(hidden.begin(), hidden.end());
  const auto candidate = [&](std::size_t index) {
    const MountEntry& mount = mounts[index];
    return top.find(mount.mountPoint)->second == index &&
           (index == root || (MayBeDrive(mount) && !hiddenPoints.contains(mount.mountPoint)));
  };
  VolumeGroups groups = GroupByVolume(NumberVolumes(mounts, candidate));

  // Of each volume the best mount that is visible: only as many points are looked at as it takes,
  // so the bind mounts of a volume already listed at a better place cost no look at all.
  const BetterMount better(mounts, root);
  const auto shows = [&](std::size_t index) {
    return index == root || !visible || visible(mounts[index]);
  };
  std::vector<std::size_t> chosen;
  chosen.reserve(groups.Count());
  for (std::uint32_t volume = 0; volume < groups.Count(); ++volume) {
    if (const auto best = BestShown(groups.Of(volume), better, shows)) {
      chosen.push_back(*best);
    }
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

}  // namespace platform::linux_drives
