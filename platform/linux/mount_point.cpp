#include "platform/linux/mount_point.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>

namespace platform::linux_drives {
namespace {

// The device, kind and mountinfo's mount ID of what one statx looked at.
PointFacts FactsOf(const struct statx& status) {
  PointFacts facts;
  facts.major = status.stx_dev_major;
  facts.minor = status.stx_dev_minor;
  facts.directory = S_ISDIR(status.stx_mode);
  facts.mountId = (status.stx_mask & STATX_MNT_ID) != 0 ? status.stx_mnt_id : 0;
  return facts;
}

// The mount of an open directory, by its ID that is never reused where unique is set and the
// kernel tells it (it then tells that ID instead of mountinfo's); nullopt where statx fails.
std::optional<PointFacts> MountOf(int fd, bool unique) {
  struct statx status {};
  if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC,
              STATX_TYPE | (unique ? kUniqueMountId : STATX_MNT_ID), &status) != 0) {
    return std::nullopt;
  }
  PointFacts facts = FactsOf(status);
  if ((status.stx_mask & kUniqueMountId) != 0) {
    facts.uniqueMountId = status.stx_mnt_id;
  }
  return facts;
}

}  // namespace

std::optional<contract::DiskSizes> SizesOf(int fd) {
  // fstatfs rather than fstatvfs: a plain system call, which a helper process may make.
  struct statfs status {};
  if (::fstatfs(fd, &status) != 0) {
    return std::nullopt;
  }
  const auto unit =
      static_cast<std::uint64_t>(status.f_frsize != 0 ? status.f_frsize : status.f_bsize);
  return contract::DiskSizes{.available = static_cast<std::uint64_t>(status.f_bavail) * unit,
                             .total = static_cast<std::uint64_t>(status.f_blocks) * unit,
                             .free = static_cast<std::uint64_t>(status.f_bfree) * unit};
}

std::optional<PointFacts> LookAtPath(const char* path, bool cached) {
  // One lookup of the path: all the rest is asked of the descriptor, so it all tells of the same
  // directory. Without O_DIRECTORY an O_PATH open starts no automount on the point.
  const int fd = ::open(path, O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      PointFacts gone;
      gone.missing = true;
      return gone;
    }
    return std::nullopt;
  }
  const int sync = cached ? AT_STATX_DONT_SYNC : 0;
  struct statx status {};
  if (::statx(fd, "", AT_EMPTY_PATH | sync, STATX_TYPE | STATX_MNT_ID, &status) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  PointFacts facts = FactsOf(status);
  struct statx unique {};
  if (::statx(fd, "", AT_EMPTY_PATH | sync, kUniqueMountId, &unique) == 0 &&
      (unique.stx_mask & kUniqueMountId) != 0) {
    facts.uniqueMountId = unique.stx_mnt_id;
  }
  if (facts.directory) {
    facts.sizes = SizesOf(fd);
  }
  ::close(fd);
  return facts;
}

MountRef MountRef::Of(const MountEntry& mount) {
  return {mount.major, mount.minor, mount.id, 0, mount.fsType != "btrfs"};
}

bool MountRef::IsAt(const PointFacts& facts) const {
  if (uniqueMountId == kNoMount || facts.missing) {
    return false;
  }
  if (uniqueMountId != 0 && facts.uniqueMountId != 0) {
    return facts.uniqueMountId == uniqueMountId;
  }
  if (mountId != 0 && facts.mountId != 0) {
    return facts.mountId == mountId;
  }
  return !deviceTells || (facts.major == major && facts.minor == minor);
}

bool Shows(const PointFacts& facts, const MountRef& mount) {
  // A file bound over the point is a mount of its own, never a drive.
  return facts.directory && mount.IsAt(facts);
}

std::optional<contract::DiskSizes> MeasurePath(const char* path, const MountRef* mount) {
  // One descriptor for the check and the query, so that both see the same directory. O_PATH needs
  // no read permission, as statvfs of a path needs none.
  const int fd = ::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  bool same = true;
  if (mount != nullptr) {
    const auto facts = MountOf(fd, mount->uniqueMountId != 0);
    same = facts && mount->IsAt(*facts);
  }
  auto sizes = same ? SizesOf(fd) : std::nullopt;
  ::close(fd);
  return sizes;
}

std::optional<contract::DiskSizes> MeasureAt(const Place& place) {
  return MeasurePath(place.path.c_str(), place.drive ? &place.mount : nullptr);
}

}  // namespace platform::linux_drives
