#include "platform/linux/drive_table.h"

#include <utility>

namespace platform::linux_drives {

DriveTable::DriveTable(std::vector<Drive> drives, Measure measure, MeasureShare measureShare)
    : drives_(std::move(drives)),
      measure_(std::move(measure)),
      measureShare_(std::move(measureShare)),
      answers_(drives_.size(), Answer::kUnknown),
      readingTaken_(drives_.size(), 0) {
  byRoot_.reserve(drives_.size());
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    list_ += drives_[i].root;
    list_ += '\0';
    byRoot_.emplace(drives_[i].root, i);
  }
}

const Drive* DriveTable::Find(std::string_view root) const {
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
  for (std::size_t i = last; i < drives_.size() && i < last + 2; ++i) {
    if (drives_[i].root == root) {
      last_.store(i, std::memory_order_relaxed);
      return &drives_[i];
    }
  }
  const auto found = byRoot_.find(root);
  if (found == byRoot_.end()) {
    return nullptr;
  }
  last_.store(found->second, std::memory_order_relaxed);
  return &drives_[found->second];
}

std::optional<contract::DiskSizes> DriveTable::TakeReading(std::size_t index) {
  const Drive& drive = drives_[index];
  if (!drive.reading) {
    return std::nullopt;
  }
  {
    const std::lock_guard lock(mutex_);
    if (std::exchange(readingTaken_[index], 1) != 0) {
      return std::nullopt;
    }
  }
  if (std::chrono::steady_clock::now() - drive.readAt > kReadingLife) {
    return std::nullopt;
  }
  return drive.reading;
}

std::optional<contract::DiskSizes> DriveTable::Size(const Drive& drive) {
  const auto index = static_cast<std::size_t>(&drive - drives_.data());
  if (!drive.bounded) {
    auto reading = TakeReading(index);
    return reading ? reading : measure_(PlaceOf(drive));
  }
  {
    const std::lock_guard lock(mutex_);
    if (drive.late) {
      answers_[index] = Answer::kDead;
    }
    if (answers_[index] == Answer::kDead) {
      return std::nullopt;
    }
  }
  auto sizes = TakeReading(index);
  bool late = false;
  if (!sizes && measureShare_) {
    sizes = measureShare_(PlaceOf(drive), &late);
  }
  const std::lock_guard lock(mutex_);
  if (late) {
    answers_[index] = Answer::kDead;
  } else if (sizes) {
    answers_[index] = Answer::kAlive;
  }
  return sizes;
}

bool DriveTable::Readable(const Drive& drive) {
  if (!drive.bounded) {
    return true;
  }
  const auto index = static_cast<std::size_t>(&drive - drives_.data());
  {
    const std::lock_guard lock(mutex_);
    if (answers_[index] != Answer::kUnknown) {
      return answers_[index] == Answer::kAlive;
    }
  }
  return Size(drive).has_value();
}

}  // namespace platform::linux_drives
