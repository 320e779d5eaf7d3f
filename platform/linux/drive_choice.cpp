#include "platform/linux/drive_choice.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace platform::linux_drives {
namespace {

std::size_t Depth(std::string_view path) {
  return std::count(path.begin(), path.end(), '/');
}

// The pool of a ZFS dataset ("tank" of "tank/home"), which groups its datasets as one volume.
std::string_view PoolOf(const MountEntry& mount) {
  return std::string_view(mount.source).substr(0, mount.source.find('/'));
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
    // Only a RAM-disk a user made: system tmpfs (/run, /dev/shm) and read-only ones hold no files.
    const std::string_view point = mount.mountPoint;
    const bool userPlace = point == "/tmp" || point == "/mnt" || point == "/media" ||
                           point.starts_with("/mnt/") || point.starts_with("/media/");
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
  // A later mount on the same point hides the earlier one.
  std::unordered_map<std::string_view, std::size_t> top;
  top.reserve(mounts.size());
  for (std::size_t i = 0; i < mounts.size(); ++i) {
    top[mounts[i].mountPoint] = i;
  }
  const auto rootFound = top.find("/");
  const std::optional<std::size_t> root =
      rootFound == top.end() ? std::nullopt : std::optional(rootFound->second);
  const std::unordered_set<std::string_view> hiddenPoints(hidden.begin(), hidden.end());

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

  // The candidate mounts of each volume, by device number (or ZFS pool), each volume numbered in
  // the order it first appears in the table.
  std::unordered_map<std::uint64_t, std::uint32_t> byDevice;
  std::unordered_map<std::string_view, std::uint32_t> byPool;
  byDevice.reserve(mounts.size());
  std::vector<std::size_t> candidates;
  std::vector<std::uint32_t> volumeOf;
  candidates.reserve(mounts.size());
  volumeOf.reserve(mounts.size());
  std::uint32_t volumes = 0;
  for (std::size_t index = 0; index < mounts.size(); ++index) {
    const MountEntry& mount = mounts[index];
    if (top.find(mount.mountPoint)->second != index) {
      continue;
    }
    if (index != root && (!MayBeDrive(mount) || hiddenPoints.contains(mount.mountPoint))) {
      continue;
    }
    // A volume not seen before gets the next number.
    const std::uint32_t volume =
        mount.fsType == "zfs"
            ? byPool.try_emplace(PoolOf(mount), volumes).first->second
            : byDevice.try_emplace((std::uint64_t{mount.major} << 32U) | mount.minor, volumes)
                  .first->second;
    if (volume == volumes) {
      ++volumes;
    }
    candidates.push_back(index);
    volumeOf.push_back(volume);
  }
  // Each volume's candidates side by side, still in the order of the table (a counting sort).
  std::vector<std::size_t> begins(volumes + 1, 0);
  for (const std::uint32_t volume : volumeOf) {
    ++begins[volume + 1];
  }
  for (std::uint32_t volume = 0; volume < volumes; ++volume) {
    begins[volume + 1] += begins[volume];
  }
  std::vector<std::size_t> grouped(candidates.size());
  {
    std::vector<std::size_t> next(begins.begin(), begins.end() - 1);
    for (std::size_t k = 0; k < candidates.size(); ++k) {
      grouped[next[volumeOf[k]]++] = candidates[k];
    }
  }
  // Of each volume the best mount that is visible: only as many points are looked at as it takes,
  // so the bind mounts of a volume already listed at a better place cost no look at all.
  std::vector<std::size_t> chosen;
  chosen.reserve(volumes);
  const auto shows = [&](std::size_t index) {
    return index == root || !visible || visible(mounts[index]);
  };
  for (std::uint32_t volume = 0; volume < volumes; ++volume) {
    const auto begin = grouped.begin() + static_cast<std::ptrdiff_t>(begins[volume]);
    const auto end = grouped.begin() + static_cast<std::ptrdiff_t>(begins[volume + 1]);
    // Mostly the best one is visible: found in one pass, the rest sorted only when it is not.
    const auto first = std::min_element(begin, end, better);
    if (shows(*first)) {
      chosen.push_back(*first);
      continue;
    }
    std::iter_swap(begin, first);
    std::sort(begin + 1, end, better);
    const auto next = std::find_if(begin + 1, end, shows);
    if (next != end) {
      chosen.push_back(*next);
    }
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

}  // namespace platform::linux_drives
