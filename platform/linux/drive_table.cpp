#include "platform/linux/drive_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <utility>

namespace platform::linux_volumes {

std::optional<contract::DiskSizes> MeasureAt(const Place& place) {
  // One descriptor for the check and the query, so that both see the same directory. O_PATH needs
  // no read permission, as statvfs of a path needs none.
  const int fd = ::open(place.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  bool same = true;
  if (place.drive) {
    // The mount there must be the drive's: its ID that is never reused where the kernel has one,
    // else mountinfo's ID (reused by a later mount once this one is gone), else its device number.
    const bool unique = place.uniqueMountId != 0;
    struct statx status {};
    if (place.uniqueMountId == kNoMount ||
        ::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC,
                STATX_TYPE | (unique ? kUniqueMountId : STATX_MNT_ID), &status) != 0) {
      same = false;
    } else if (unique && (status.stx_mask & kUniqueMountId) != 0) {
      same = status.stx_mnt_id == place.uniqueMountId;
    } else if (place.mountId != 0 && (status.stx_mask & STATX_MNT_ID) != 0) {
      same = status.stx_mnt_id == place.mountId;
    } else {
      same = !place.deviceTells ||
             (status.stx_dev_major == place.major && status.stx_dev_minor == place.minor);
    }
  }
  auto sizes = same ? SizesOf(fd) : std::nullopt;
  ::close(fd);
  return sizes;
}

namespace {

// measure(place) started on a detached worker.
std::shared_ptr<Pending<contract::DiskSizes>> Launch(const Place& place, const Measure& measure) {
  auto pending = std::make_shared<Pending<contract::DiskSizes>>();
  StartInto(pending, [place, measure] { return measure(place); });
  return pending;
}

}  // namespace

std::optional<contract::DiskSizes> MeasureBounded(const Place& place,
                                                  std::chrono::milliseconds bound,
                                                  const Measure& measure, bool* timedOut) {
  bool late = false;
  const auto deadline = std::chrono::steady_clock::now() + bound;
  auto sizes = Launch(place, measure)->Await(deadline, &late);
  if (timedOut != nullptr) {
    *timedOut = late;
  }
  return sizes;
}

DriveTable::DriveTable(std::vector<Volume> volumes, Measure measure,
                       std::chrono::milliseconds bound)
    : volumes_(std::move(volumes)),
      measure_(std::move(measure)),
      bound_(bound),
      answers_(volumes_.size(), Answer::kUnknown),
      readingTaken_(volumes_.size(), 0),
      started_(volumes_.size()) {
  byRoot_.reserve(volumes_.size());
  for (std::size_t i = 0; i < volumes_.size(); ++i) {
    list_ += volumes_[i].root;
    list_ += '\0';
    byRoot_.emplace(volumes_[i].root, i);
  }
}

const Volume* DriveTable::Find(std::string_view root) const {
  if (root.empty()) {
    return nullptr;
  }
  std::string withSlash;
  if (root.back() != '/') {
    // Every root ends in "/": "/home" is asked as "/home/".
    withSlash.reserve(root.size() + 1);
    withSlash = root;
    withSlash += '/';
    root = withSlash;
  }
  // The calls come in the order of the list, several for each drive: the drive found last and the
  // one after it are tried before the index.
  const std::size_t last = last_.load(std::memory_order_relaxed);
  for (std::size_t i = last; i < volumes_.size() && i < last + 2; ++i) {
    if (volumes_[i].root == root) {
      last_.store(i, std::memory_order_relaxed);
      return &volumes_[i];
    }
  }
  const auto found = byRoot_.find(root);
  if (found == byRoot_.end()) {
    return nullptr;
  }
  last_.store(found->second, std::memory_order_relaxed);
  return &volumes_[found->second];
}

std::optional<contract::DiskSizes> DriveTable::TakeReading(std::size_t index) {
  const Volume& volume = volumes_[index];
  if (!volume.reading) {
    return std::nullopt;
  }
  {
    const std::lock_guard lock(mutex_);
    if (std::exchange(readingTaken_[index], 1) != 0) {
      return std::nullopt;
    }
  }
  if (std::chrono::steady_clock::now() - volume.readAt > kReadingLife) {
    return std::nullopt;
  }
  return volume.reading;
}

std::optional<contract::DiskSizes> DriveTable::Size(const Volume& volume) {
  const auto index = static_cast<std::size_t>(&volume - volumes_.data());
  if (!volume.bounded) {
    auto reading = TakeReading(index);
    return reading ? reading : measure_(Place::Of(volume));
  }
  Started mine;
  {
    const std::lock_guard lock(mutex_);
    if (answers_[index] == Answer::kDead) {
      return std::nullopt;
    }
    if (!sharesAsked_) {
      // Every share is asked at once, the first time one is: several dead shares then cost the
      // start-up one bound, not one each.
      sharesAsked_ = true;
      const auto deadline = std::chrono::steady_clock::now() + bound_;
      for (std::size_t i = 0; i < volumes_.size(); ++i) {
        if (volumes_[i].bounded && answers_[i] == Answer::kUnknown) {
          started_[i] = {Launch(Place::Of(volumes_[i]), measure_), deadline};
        }
      }
    }
    mine = std::exchange(started_[index], Started{});
  }
  if (mine.pending == nullptr) {
    mine = {Launch(Place::Of(volume), measure_), std::chrono::steady_clock::now() + bound_};
  }
  bool timedOut = false;
  auto sizes = mine.pending->Await(mine.deadline, &timedOut);
  const std::lock_guard lock(mutex_);
  if (timedOut) {
    answers_[index] = Answer::kDead;
  } else if (sizes) {
    answers_[index] = Answer::kAlive;
  }
  return sizes;
}

bool DriveTable::Readable(const Volume& volume) {
  if (!volume.bounded) {
    return true;
  }
  const auto index = static_cast<std::size_t>(&volume - volumes_.data());
  {
    const std::lock_guard lock(mutex_);
    if (answers_[index] != Answer::kUnknown) {
      return answers_[index] == Answer::kAlive;
    }
  }
  return Size(volume).has_value();
}

}  // namespace platform::linux_volumes
