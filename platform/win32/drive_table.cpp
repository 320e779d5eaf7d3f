#include "platform/win32/drive_table.h"

#include <algorithm>
#include <condition_variable>
#include <system_error>
#include <thread>
#include <utility>

namespace platform::win32 {
namespace {

using Clock = std::chrono::steady_clock;

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

// The table's worker threads, each with the deadline of the question it is asking. Going, the
// table waits for the workers still in time and joins them: under Wine, a process that ends while
// one of its threads is inside a system call, or still ending, can hang or crash at its end. A
// worker past its deadline is stuck on a dead share and is let go.
class Workers : public std::enable_shared_from_this<Workers> {
 public:
  using Id = std::size_t;

  Workers() = default;
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;
  ~Workers() {
    // Settle has joined or let go of every worker; none is started after it.
    for (auto& [id, worker] : workers_) {
      if (worker.thread.joinable()) {
        worker.thread.detach();
      }
    }
  }

  // Starts work(id) on a thread of its own, due by deadline. False when no thread can be started,
  // or once the workers have been settled.
  template <typename Work>
  bool Start(Clock::time_point deadline, Work work) {
    const std::lock_guard lock(mutex_);
    if (settled_) {
      return false;
    }
    const Id id = next_++;
    Worker& worker = workers_[id];
    worker.deadline = deadline;
    try {
      worker.thread = std::thread([workers = shared_from_this(), id, work = std::move(work)] {
        try {
          work(id);
        } catch (...) {
          // An exception must not leave a thread: it would end the program.
        }
        workers->Finish(id);
      });
    } catch (const std::system_error&) {
      workers_.erase(id);
      return false;
    }
    return true;
  }

  // A worker's next question is due by deadline.
  void Due(Id id, Clock::time_point deadline) {
    const std::lock_guard lock(mutex_);
    if (const auto found = workers_.find(id); found != workers_.end()) {
      found->second.deadline = deadline;
    }
  }

  // Waits until every worker has finished or is past its deadline; joins those that finished and
  // lets the others go.
  void Settle() {
    std::vector<std::thread> finished;
    {
      std::unique_lock lock(mutex_);
      settled_ = true;
      for (;;) {
        std::optional<Clock::time_point> latest;
        for (const auto& [id, worker] : workers_) {
          if (!worker.finished && (!latest || worker.deadline > *latest)) {
            latest = worker.deadline;
          }
        }
        if (!latest || Clock::now() >= *latest) {
          break;
        }
        changed_.wait_until(lock, *latest);
      }
      for (auto& [id, worker] : workers_) {
        if (worker.finished) {
          finished.push_back(std::move(worker.thread));
        } else {
          // Under the mutex it cannot finish, so it has not ended: a thread that has ended must be
          // joined, not let go.
          worker.thread.detach();
        }
      }
      workers_.clear();
    }
    for (std::thread& thread : finished) {
      thread.join();
    }
  }

 private:
  struct Worker {
    std::thread thread;
    Clock::time_point deadline;
    bool finished = false;
  };

  void Finish(Id id) {
    const std::lock_guard lock(mutex_);
    if (const auto found = workers_.find(id); found != workers_.end()) {
      found->second.finished = true;
    }
    changed_.notify_all();
  }

  std::mutex mutex_;  // guards the members below
  std::condition_variable changed_;
  std::map<Id, Worker> workers_;
  Id next_ = 0;
  bool settled_ = false;
};

namespace {

// Asks call() on a worker of its own, within the bound from now.
template <typename Answer, typename Call>
Asked<Answer> AskAside(Workers& workers, std::chrono::milliseconds bound, Call call) {
  Asked<Answer> asked{std::make_shared<Pending<Answer>>(), Clock::now() + bound};
  const bool started =
      workers.Start(asked.deadline, [answer = asked.answer, call = std::move(call)](Workers::Id) {
        answer->Give(Quietly(call).value_or(std::nullopt));
      });
  if (!started) {
    asked.answer->Give(std::nullopt);
  }
  return asked;
}

}  // namespace

// What the survey found for one root.
struct Surveyed {
  std::uint32_t type = kDriveUnknown;
  Asked<contract::DiskSizes> sizes;  // for a network root
  Asked<VolumeFacts> volume;
};

// The roots whose types one worker asks, one after another. A worker that is stuck on a root past
// its bound is left there, and a fresh one goes on with the roots after it. A network root's first
// sizes and volume are asked as soon as its type is known, each by a worker of its own: a share
// that hangs on one holds neither the other nor the roots after it.
class TypeSurvey : public std::enable_shared_from_this<TypeSurvey> {
 public:
  TypeSurvey(DriveCalls calls, const std::vector<std::string>& keys,
             std::chrono::milliseconds bound, std::shared_ptr<Workers> workers)
      : calls_(std::move(calls)), bound_(bound), workers_(std::move(workers)) {
    for (const std::string& key : keys) {
      jobs_.push_back({key, std::nullopt, std::nullopt});
    }
  }

  void Start() {
    const std::lock_guard lock(mutex_);
    StartWorker();
  }

  // What the survey found for the root at place, or nothing when its type was not told within the
  // bound.
  std::optional<Surveyed> Await(std::size_t place) {
    std::unique_lock lock(mutex_);
    for (;;) {
      const Job& job = jobs_[place];
      if (job.found) {
        return job.found;
      }
      // Until its own question is asked, a root waits for the one being asked before it.
      const Job& asking = job.asked ? job : jobs_[next_ - 1];
      const Clock::time_point deadline = *asking.asked + bound_;
      if (Clock::now() < deadline) {
        changed_.wait_until(lock, deadline);
      } else if (&asking == &job) {
        return std::nullopt;
      } else {
        StartWorker();  // the worker is stuck on an earlier root
      }
    }
  }

  // Asks nothing more: the roots not yet asked are of unknown type.
  void Close() {
    const std::lock_guard lock(mutex_);
    for (; next_ < jobs_.size(); ++next_) {
      jobs_[next_].found = Surveyed{};
    }
    closed_ = true;
    changed_.notify_all();
  }

 private:
  struct Job {
    std::string key;
    std::optional<Clock::time_point> asked;  // when its question began
    std::optional<Surveyed> found;
  };
  // The next root to ask, asked from now, if any (the mutex held).
  std::optional<std::size_t> Claim() {
    if (next_ == jobs_.size()) {
      return std::nullopt;
    }
    jobs_[next_].asked = Clock::now();
    return next_++;
  }

  // Starts a worker on the roots not yet asked (the mutex held). Without one they stay of unknown
  // type.
  void StartWorker() {
    const auto first = Claim();
    if (!first) {
      return;
    }
    const bool started = workers_->Start(
        *jobs_[*first].asked + bound_,
        [survey = shared_from_this(), first = *first](Workers::Id id) { survey->Work(id, first); });
    if (!started) {
      for (auto index = first; index; index = Claim()) {
        jobs_[*index].found = Surveyed{};
      }
      changed_.notify_all();
    }
  }

  // A worker: asks the root at index, then every next root. The worker holds the survey, which
  // may outlive the table.
  void Work(Workers::Id id, std::size_t index) {
    for (;;) {
      // A job's key never changes: it is read without the mutex.
      const std::string& key = jobs_[index].key;
      Surveyed found;
      found.type = Quietly([&] { return calls_.type(key); }).value_or(kDriveUnknown);
      if (found.type == kDriveRemote && !Closed()) {
        found.sizes = AskAside<contract::DiskSizes>(
            *workers_, bound_, [calls = calls_, key] { return calls.sizes(key); });
        found.volume = AskAside<VolumeFacts>(*workers_, bound_,
                                             [calls = calls_, key] { return calls.volume(key); });
      }
      const std::lock_guard lock(mutex_);
      jobs_[index].found = std::move(found);
      changed_.notify_all();
      const auto next = Claim();
      if (!next) {
        return;
      }
      index = *next;
      workers_->Due(id, *jobs_[index].asked + bound_);
    }
  }

  bool Closed() {
    const std::lock_guard lock(mutex_);
    return closed_;
  }

  const DriveCalls calls_;
  const std::chrono::milliseconds bound_;
  const std::shared_ptr<Workers> workers_;
  std::mutex mutex_;  // guards the members below, but for the jobs' keys
  std::condition_variable changed_;
  std::vector<Job> jobs_;
  std::size_t next_ = 0;  // the first root no worker has asked
  bool closed_ = false;
};

DriveTable::DriveTable(DriveCalls calls, std::chrono::milliseconds bound)
    : calls_(std::move(calls)), bound_(bound), workers_(std::make_shared<Workers>()) {}

DriveTable::~DriveTable() {
  try {
    std::vector<std::shared_ptr<TypeSurvey>> surveys;
    {
      const std::lock_guard lock(mutex_);
      for (const auto& [key, root] : roots_) {
        surveys.push_back(root.survey);
      }
    }
    for (const auto& survey : surveys) {
      survey->Close();
    }
    workers_->Settle();
  } catch (...) {
    // Going without waiting is all that is left.
  }
}

DriveTable::Root& DriveTable::Find(const std::string& key) {
  const auto startSurvey = [this](const std::vector<std::string>& keys) {
    auto survey = std::make_shared<TypeSurvey>(calls_, keys, bound_, workers_);
    for (std::size_t place = 0; place < keys.size(); ++place) {
      Root& root = roots_[keys[place]];
      root.survey = survey;
      root.place = place;
    }
    survey->Start();
  };
  if (!surveyed_) {
    surveyed_ = true;
    std::vector<std::string> keys;
    for (const std::string& listed : Quietly(calls_.roots).value_or(std::vector<std::string>{})) {
      std::string listedKey = Key(listed);
      if (std::find(keys.begin(), keys.end(), listedKey) == keys.end()) {
        keys.push_back(std::move(listedKey));
      }
    }
    startSurvey(keys);
  }
  if (roots_.find(key) == roots_.end()) {
    startSurvey({key});
  }
  return roots_[key];
}

std::uint32_t DriveTable::Type(const std::string& root) {
  const std::string key = Key(root);
  std::shared_ptr<TypeSurvey> survey;
  std::size_t place = 0;
  {
    const std::lock_guard lock(mutex_);
    const Root& entry = Find(key);
    if (entry.known) {
      return *entry.known;
    }
    if (entry.dead) {
      return kDriveUnknown;
    }
    survey = entry.survey;
    place = entry.place;
  }
  const std::optional<Surveyed> found = survey->Await(place);
  const std::lock_guard lock(mutex_);
  Root& entry = roots_[key];
  if (!found) {
    entry.dead = true;
    return kDriveUnknown;
  }
  if (!entry.known) {
    entry.known = found->type;
    entry.sizes = found->sizes;
    entry.volume = found->volume;
  }
  return *entry.known;
}

template <typename Answer>
std::optional<Answer> DriveTable::Ask(
    const std::string& path, Asked<Answer> Root::*first,
    const std::function<std::optional<Answer>(const std::string&)>& call) {
  const std::string root = RootOf(path);
  const bool remote = Type(root) == kDriveRemote;
  Asked<Answer> asked;
  {
    const std::lock_guard lock(mutex_);
    Root& entry = roots_[root];
    if (entry.dead) {
      return std::nullopt;
    }
    // A share's first answer was asked for with its type; any later one is asked afresh.
    if (remote && first != nullptr && Key(path) == root) {
      asked = std::exchange(entry.*first, {});
    }
  }
  if (!remote) {
    return Quietly([&] { return call(path); }).value_or(std::nullopt);
  }
  if (asked.answer == nullptr) {
    asked = AskAside<Answer>(*workers_, bound_, [call, path] { return call(path); });
  }
  bool late = false;
  auto answer = asked.answer->Await(asked.deadline, &late);
  if (late) {
    const std::lock_guard lock(mutex_);
    roots_[root].dead = true;
  }
  return answer;
}

std::optional<contract::DiskSizes> DriveTable::Sizes(const std::string& path) {
  return Ask(path, &Root::sizes, calls_.sizes);
}

std::optional<VolumeFacts> DriveTable::Volume(const std::string& path) {
  return Ask(path, &Root::volume, calls_.volume);
}

std::optional<VolumeText> DriveTable::Text(const std::string& path) {
  // Only the facts document asks it, once per drive: nothing is asked ahead of time.
  return Ask<VolumeText>(path, nullptr, calls_.text);
}

}  // namespace platform::win32
