#include "platform/win32/drive_table.h"

#include <algorithm>
#include <atomic>
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

// The roots whose types one worker asks, one after another; a worker started later for the same
// list goes on from where the first one is stuck.
struct TypeQueue {
  struct Job {
    std::string key;
    std::shared_ptr<Pending<std::uint32_t>> type;
    std::shared_ptr<Pending<contract::DiskSizes>> sizes;
    std::shared_ptr<Pending<VolumeFacts>> volume;
  };
  std::vector<Job> jobs;
  std::atomic<std::size_t> next{0};  // the first job no worker has taken
};

namespace {

// A network root's first sizes and volume, each on a worker of its own: a share that hangs on one
// must hold neither the other nor the types of the roots after it.
void AskShare(const DriveCalls& calls, const TypeQueue::Job& job) {
  StartInto(job.volume, [calls, key = job.key] { return calls.volume(key); });
  StartInto(job.sizes, [calls, key = job.key] { return calls.sizes(key); });
}

void AskTypes(const DriveCalls& calls, TypeQueue& queue) {
  for (std::size_t i = queue.next++; i < queue.jobs.size(); i = queue.next++) {
    const TypeQueue::Job& job = queue.jobs[i];
    const auto kind = Quietly([&] { return calls.type(job.key); });
    job.type->Give(kind);
    if (kind == kDriveRemote) {
      AskShare(calls, job);
    }
  }
}

}  // namespace

void DriveTable::StartWorker(const std::shared_ptr<TypeQueue>& queue) {
  // The worker owns copies of everything it uses: it may outlive the table.
  try {
    RunDetached([calls = calls_, queue] { AskTypes(calls, *queue); });
  } catch (...) {
    for (std::size_t i = queue->next++; i < queue->jobs.size(); i = queue->next++) {
      queue->jobs[i].type->Give(std::nullopt);
    }
  }
}

void DriveTable::Launch(const std::vector<std::string>& keys) {
  auto queue = std::make_shared<TypeQueue>();
  const auto deadline = std::chrono::steady_clock::now() + bound_;
  for (const std::string& key : keys) {
    Root& root = roots_[key];
    root.queue = queue;
    root.place = queue->jobs.size();
    root.deadline = deadline;
    root.type = std::make_shared<Pending<std::uint32_t>>();
    root.sizes = std::make_shared<Pending<contract::DiskSizes>>();
    root.volume = std::make_shared<Pending<VolumeFacts>>();
    queue->jobs.push_back({key, root.type, root.sizes, root.volume});
  }
  StartWorker(queue);
}

DriveTable::Root& DriveTable::Survey(const std::string& key) {
  if (!surveyed_) {
    surveyed_ = true;
    std::vector<std::string> keys;
    for (const std::string& listed : Quietly(calls_.roots).value_or(std::vector<std::string>{})) {
      std::string listedKey = Key(listed);
      if (roots_.find(listedKey) == roots_.end() &&
          std::find(keys.begin(), keys.end(), listedKey) == keys.end()) {
        keys.push_back(std::move(listedKey));
      }
    }
    Launch(keys);
  }
  if (roots_.find(key) == roots_.end()) {
    Launch({key});
  }
  return roots_[key];
}

bool DriveTable::Unblock(const Root& root) {
  const std::shared_ptr<TypeQueue> queue = root.queue;
  const std::size_t next = queue == nullptr ? 0 : queue->next.load();
  if (queue == nullptr || next >= queue->jobs.size()) {
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + bound_;
  for (auto& [key, other] : roots_) {
    if (other.queue == queue && other.place >= next) {
      other.deadline = deadline;
    }
  }
  StartWorker(queue);
  return root.place >= next;
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
  auto type = pending->Await(deadline, &late);
  if (late) {
    // The roots the worker has not come to get a fresh worker; when this root is one of them (the
    // worker is stuck on one before it), it is waited for once more.
    bool again = false;
    {
      const std::lock_guard lock(mutex_);
      again = Unblock(*entry);
      deadline = entry->deadline;
    }
    if (again) {
      late = false;
      type = pending->Await(deadline, &late);
      if (late) {
        const std::lock_guard lock(mutex_);
        Unblock(*entry);
      }
    }
  }
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
    if (first != nullptr && Key(path) == root && entry->*first != nullptr) {
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

std::optional<contract::DiskSizes> DriveTable::Sizes(const std::string& path) {
  return Bounded(path, &Root::sizes, calls_.sizes);
}

std::optional<VolumeFacts> DriveTable::Volume(const std::string& path) {
  return Bounded(path, &Root::volume, calls_.volume);
}

std::optional<VolumeText> DriveTable::Text(const std::string& path) {
  // Only the facts document asks it, once per drive: nothing is asked ahead of time.
  return Bounded<VolumeText>(path, nullptr, calls_.text);
}

}  // namespace platform::win32
