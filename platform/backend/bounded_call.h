// A call that may hang (a network share whose server is gone, a directory service that does not
// answer) run on a worker thread and waited for no longer than a bound; the Windows drive backend
// asks its shares this way, the Linux one its passwd lookup (its shares go to helper processes: a
// Linux thread stuck in a FUSE request keeps its process alive). A worker that does not finish in
// time is left behind: it owns its state, so nothing waits for it, not even at exit.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace platform {

// The answer a worker will give, shared by the worker and whoever waits for it: whichever of the
// two ends last frees it.
template <typename Answer>
class Pending {
 public:
  // The worker's answer; nothing stands for a call that failed or threw.
  void Give(std::optional<Answer> answer) {
    const std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
    done_ = true;
    finished_.notify_all();
  }

  // The answer, or nothing when the deadline passed first (then *late is set, when given) or the
  // call failed.
  std::optional<Answer> Await(std::chrono::steady_clock::time_point deadline,
                              bool* late = nullptr) {
    std::unique_lock lock(mutex_);
    if (!finished_.wait_until(lock, deadline, [this] { return done_; })) {
      if (late != nullptr) {
        *late = true;
      }
      return std::nullopt;
    }
    return answer_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  std::optional<Answer> answer_;
};

// Runs work(), which must not throw, on a worker that nobody joins. The worker does not end before
// it has been detached: winpthreads' detach of a thread that has already ended can crash the
// process, and a quick call (a local drive's type) ends that soon. Throws std::system_error when no
// thread can be started.
template <typename Work>
void RunDetached(Work work) {
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  auto gate = std::make_shared<Gate>();
  std::thread worker([gate, work = std::move(work)]() mutable {
    work();
    std::unique_lock lock(gate->mutex);
    gate->opened.wait(lock, [&gate] { return gate->open; });
  });
  worker.detach();
  const std::lock_guard lock(gate->mutex);
  gate->open = true;
  gate->opened.notify_one();
}

// Runs call() on a detached worker that gives its answer to pending. A call that throws, or a
// worker that cannot be started, gives nothing at once rather than waiting out the bound.
template <typename Answer, typename Call>
void StartInto(const std::shared_ptr<Pending<Answer>>& pending, Call call) {
  try {
    RunDetached([pending, call = std::move(call)]() mutable {
      // An exception must not leave the worker: on a detached thread it would end the program.
      std::optional<Answer> answer;
      try {
        answer = call();  // a call may answer Answer or, when it failed, an empty optional
      } catch (...) {
        answer.reset();
      }
      pending->Give(std::move(answer));
    });
  } catch (const std::system_error&) {
    pending->Give(std::nullopt);
  }
}

}  // namespace platform
