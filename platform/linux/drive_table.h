// The drives as the drive calls see them: found by root, and sized with a time bound where the
// volume is a share or FUSE mount, always on the filesystem the drive is.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/backend/bounded_call.h"
#include "platform/linux/mounts.h"

namespace platform::linux_volumes {

// A place to measure, and where it is a drive, the mount that must be there.
struct Place {
  std::string path;
  bool drive = false;  // the fields below must match
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint64_t mountId = 0;        // mountinfo's, reused by a later mount once this one is gone
  std::uint64_t uniqueMountId = 0;  // never reused; 0 where the kernel does not tell it
  bool deviceTells = true;          // false on btrfs, whose points show a subvolume's number

  static Place Of(const Volume& volume) {
    return {volume.mount.mountPoint,
            true,
            volume.mount.major,
            volume.mount.minor,
            volume.mount.id,
            volume.uniqueMountId,
            volume.mount.fsType != "btrfs"};
  }
};

using Measure = std::function<std::optional<contract::DiskSizes>(const Place& place)>;

// statvfs of the place, asked of one open directory: total = f_blocks * f_frsize, available =
// f_bavail * f_frsize. Where the place is a mount, the directory must be that mount's (its device
// number, and its mount ID where the kernel tells it): a mount that went away or was replaced fails
// instead of giving the size of what lies there now.
std::optional<contract::DiskSizes> MeasureAt(const Place& place);

// measure(place) on a worker thread that is left behind, detached, when it does not answer within
// bound; timedOut (when given) tells a timeout from a failed query.
std::optional<contract::DiskSizes> MeasureBounded(const Place& place,
                                                  std::chrono::milliseconds bound,
                                                  const Measure& measure, bool* timedOut = nullptr);

// How long a share or FUSE volume is given to answer a size query.
inline constexpr std::chrono::milliseconds kShareBound{2000};

// How long the sizes measured along with the table may answer a drive's first size query: the
// start-up that reads the table asks every size within moments, and a later query measures anew.
inline constexpr std::chrono::milliseconds kReadingLife{2000};

// The drives as the drive calls see them, for the life of the process.
class DriveTable {
 public:
  explicit DriveTable(std::vector<Volume> volumes, Measure measure = MeasureAt,
                      std::chrono::milliseconds bound = kShareBound);
  DriveTable(const DriveTable&) = delete;
  DriveTable& operator=(const DriveTable&) = delete;

  // The roots, each ended by a NUL.
  const std::string& List() const { return list_; }

  // The drive of a root ("/home/", or "/home"); null for a path that is no drive's root.
  const Volume* Find(std::string_view root) const;

  // A local volume is measured on the calling thread, or the first time answered by its fresh
  // reading from the table; a share or FUSE volume on a worker with the
  // time bound, all shares at once the first time. A share that once failed to answer in time is
  // not asked again: its worker may still hang, and start-up asks each drive several things.
  std::optional<contract::DiskSizes> Size(const Volume& volume);

  // Whether the label and serial can be given: a share must have answered.
  bool Readable(const Volume& volume);

 private:
  enum class Answer : char { kUnknown, kAlive, kDead };

  // The volume's reading from the table, once and while fresh.
  std::optional<contract::DiskSizes> TakeReading(std::size_t index);

  std::vector<Volume> volumes_;
  std::unordered_map<std::string_view, std::size_t> byRoot_;  // views of volumes_' roots
  mutable std::atomic<std::size_t> last_{0};                  // the drive found last
  Measure measure_;
  std::chrono::milliseconds bound_;
  std::string list_;
  struct Started {
    std::shared_ptr<Pending<contract::DiskSizes>> pending;
    std::chrono::steady_clock::time_point deadline;
  };

  std::mutex mutex_;  // guards the members below
  std::vector<Answer> answers_;
  std::vector<char> readingTaken_;
  std::vector<Started> started_;  // queries started for all shares at once, not yet taken
  bool sharesAsked_ = false;
};

}  // namespace platform::linux_volumes
