// The drives as the drive calls see them: found by root, and sized on the drive's own
// filesystem, a share (or a place below one) only within a time bound.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/linux/drive_list.h"
#include "platform/linux/mount_point.h"

namespace platform::linux_drives {

// How long the sizes measured along with the table may answer a drive's first size query: the
// start-up that reads the table asks every size within moments, and a later query measures anew.
inline constexpr std::chrono::milliseconds kReadingLife{2000};

// The sizes of a share's place asked within the bound; *late is set when it did not answer in time.
using MeasureShare =
    std::function<std::optional<contract::DiskSizes>(const Place& place, bool* late)>;

// The drives as the drive calls see them, for the life of the process.
class DriveTable {
 public:
  // measure sizes a local drive on the calling thread; measureShare a bounded one (none: a bounded
  // drive has only its reading from the table).
  explicit DriveTable(std::vector<Drive> drives, Measure measure = MeasureAt,
                      MeasureShare measureShare = {});
  DriveTable(const DriveTable&) = delete;
  DriveTable& operator=(const DriveTable&) = delete;

  // The roots, each ended by a NUL.
  const std::string& List() const { return list_; }

  // The drive of a root ("/home/", or "/home"); null for a path that is no drive's root.
  const Drive* Find(std::string_view root) const;

  // The first time answered by the drive's fresh reading from the table, else measured: a local
  // drive on the calling thread, a bounded one with measureShare. A share that did not answer in
  // time, with the table or since, is not asked again: its helper may still hang, and start-up
  // asks each drive several things.
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
  MeasureShare measureShare_;
  std::string list_;

  std::mutex mutex_;  // guards the members below
  std::vector<Answer> answers_;
  std::vector<char> readingTaken_;
};

}  // namespace platform::linux_drives
