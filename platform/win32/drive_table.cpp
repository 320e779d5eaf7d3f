#include "platform/win32/drive_table.h"

#include <utility>

namespace platform::win32 {
namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDriveLetterPath(std::string_view path) {
  return path.size() >= 2 && Upper(path[0]) >= 'A' && Upper(path[0]) <= 'Z' && path[1] == ':';
}

// Roots and paths are compared as Windows compares them: without regard to case, "X:" as "X:\".
std::string Key(std::string_view path) {
  std::string key;
  key.reserve(path.size() + 1);
  for (const char c : path) {
    key += Upper(c);
  }
  if (key.size() == 2 && IsDriveLetterPath(key)) {
    key += '\\';
  }
  return key;
}

template <typename Call>
auto Quietly(const Call& call) -> std::optional<decltype(call())> {
  try {
    return call();
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

std::string RootOf(std::string_view path) {
  if (IsDriveLetterPath(path)) {
    return std::string{Upper(path[0]), ':', '\\'};
  }
  return Key(path);
}

DriveTable::DriveTable(DriveCalls calls, std::chrono::milliseconds bound)
    : calls_(std::move(calls)), bound_(bound) {}

void DriveTable::Launch(const std::string& key, Root& root,
                        std::chrono::steady_clock::time_point deadline) {
  root.deadline = deadline;
  root.type = std::make_shared<Pending<std::uint32_t>>();
  root.sizes = std::make_shared<Pending<DiskSizes>>();
  root.volume = std::make_shared<Pending<VolumeFacts>>();
  // The worker owns copies of everything it uses: it may outlive the table.
  try {
    RunDetached([calls = calls_, key, type = root.type, sizes = root.sizes, volume = root.volume] {
      const auto kind = Quietly([&] { return calls.type(key); });
      type->Give(kind);
      if (kind != kDriveRemote) {
        return;  // a local drive is asked on the calling thread, as often as it is asked
      }
      // The volume on a worker of its own, so that a size query that hangs does not hold it.
      StartInto(volume, [calls, key] { return calls.volume(key); });
      sizes->Give(Quietly([&] { return calls.sizes(key); }).value_or(std::nullopt));
    });
  } catch (...) {
    root.type->Give(std::nullopt);
  }
}

DriveTable::Root& DriveTable::Survey(const std::string& key) {
  if (!surveyed_) {
    surveyed_ = true;
    const auto deadline = std::chrono::steady_clock::now() + bound_;
    for (const std::string& listed : Quietly(calls_.roots).value_or(std::vector<std::string>{})) {
      const std::string listedKey = Key(listed);
      auto [entry, added] = roots_.try_emplace(listedKey);
      if (added) {
        Launch(listedKey, entry->second, deadline);
      }
    }
  }
  auto [entry, added] = roots_.try_emplace(key);
  if (added) {
    Launch(key, entry->second, std::chrono::steady_clock::now() + bound_);
  }
  return entry->second;
}

std::uint32_t DriveTable::Type(const std::string& root) {
  const std::string key = Key(root);
  Root* entry = nullptr;
  std::shared_ptr<Pending<std::uint32_t>> pending;
  std::chrono::steady_clock::time_point deadline;
  {
    const std::lock_guard lock(mutex_);
    entry = &Survey(key);
    if (entry->known) {
      return *entry->known;
    }
    if (entry->dead) {
      return kDriveUnknown;
    }
    pending = entry->type;
    deadline = entry->deadline;
  }
  bool late = false;
  const auto type = pending->Await(deadline, &late);
  const std::lock_guard lock(mutex_);
  if (late) {
    entry->dead = true;
    return kDriveUnknown;
  }
  entry->known = type.value_or(kDriveUnknown);
  return *entry->known;
}

bool DriveTable::Remote(const std::string& path, bool* dead) {
  const std::string root = RootOf(path);
  const std::uint32_t type = Type(root);
  const std::lock_guard lock(mutex_);
  *dead = roots_[root].dead;
  return type == kDriveRemote && !*dead;
}

template <typename Answer>
std::optional<Answer> DriveTable::Bounded(
    const std::string& path, std::shared_ptr<Pending<Answer>> Root::*first,
    const std::function<std::optional<Answer>(const std::string&)>& call) {
  bool dead = false;
  if (!Remote(path, &dead)) {
    if (dead) {
      return std::nullopt;
    }
    return Quietly([&] { return call(path); }).value_or(std::nullopt);
  }
  const std::string root = RootOf(path);
  Root* entry = nullptr;
  std::shared_ptr<Pending<Answer>> pending;
  std::chrono::steady_clock::time_point deadline;
  {
    const std::lock_guard lock(mutex_);
    entry = &roots_[root];
    if (entry->dead) {
      return std::nullopt;
    }
    // A share's first answer was asked for with its type; any later one is asked afresh.
    if (Key(path) == root && entry->*first != nullptr) {
      pending = std::exchange(entry->*first, nullptr);
      deadline = entry->deadline;
    }
  }
  if (pending == nullptr) {
    pending = std::make_shared<Pending<Answer>>();
    deadline = std::chrono::steady_clock::now() + bound_;
    StartInto(pending, [call, path] { return call(path); });
  }
  bool late = false;
  auto answer = pending->Await(deadline, &late);
  if (late) {
    const std::lock_guard lock(mutex_);
    entry->dead = true;
  }
  return answer;
}

std::optional<DiskSizes> DriveTable::Sizes(const std::string& path) {
  return Bounded(path, &Root::sizes, calls_.sizes);
}

std::optional<VolumeFacts> DriveTable::Volume(const std::string& path) {
  return Bounded(path, &Root::volume, calls_.volume);
}

}  // namespace platform::win32
