// The drives as the drive calls see them: found by root, and sized with a time bound where the
// drive is a share or FUSE mount, always on the drive's own filesystem.
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
#include "platform/linux/drive_list.h"
#include "platform/linux/mount_point.h"

namespace platform::linux_drives {

// How long the sizes measured along with the table may answer a drive's first size query: the
// start-up that reads the table asks every size within moments, and a later query measures anew.
inline constexpr std::chrono::milliseconds kReadingLife{2000};

// The drives as the drive calls see them, for the life of the process.
class DriveTable {
 public:
  explicit DriveTable(std::vector<Drive> drives, Measure measure = MeasureAt,
                      std::chrono::milliseconds bound = kShareBound);
  DriveTable(const DriveTable&) = delete;
  DriveTable& operator=(const DriveTable&) = delete;

  // The roots, each ended by a NUL.
  const std::string& List() const { return list_; }

  // The drive of a root ("/home/", or "/home"); null for a path that is no drive's root.
  const Drive* Find(std::string_view root) const;

  // A local drive is measured on the calling thread, or the first time answered by its fresh
  // reading from the table; a share or FUSE drive on a worker with the
  // time bound, all shares at once the first time. A share that once failed to answer in time is
  // not asked again: its worker may still hang, and start-up asks each drive several things.
  std::optional<contract::DiskSizes> Size(const Drive& drive);

  // Whether the label and serial can be given: a share must have answered.
  bool Readable(const Drive& drive);

 private:
  enum class Answer : char { kUnknown, kAlive, kDead };

  // The drive's reading from the table, once and while fresh.
  std::optional<contract::DiskSizes> TakeReading(std::size_t index);

  std::vector<Drive> drives_;
  std::unordered_map<std::string_view, std::size_t> byRoot_;  // views of drives_' roots
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

}  // namespace platform::linux_drives
