// Questions about paths that may lie on a share (a network or FUSE volume), asked in small helper
// processes with a deadline. A call stuck in such a filesystem cannot be ended, not even by
// SIGKILL: on a thread of the program it would keep the whole process, and its standard output,
// alive until the server answers. A helper holds none of the program's descriptors and is not the
// program's child; one that misses its deadline is left behind and ends by itself once its call
// returns, and init reaps it. Helpers are started only when a question is asked, which the drive
// code does only where the mount table has shares.
#pragma once

#include <linux/limits.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/backend/contract.h"
#include "platform/linux/mount_point.h"

namespace platform::linux_helpers {

// What a helper is asked: a record of fixed size, so that the helper needs no memory of its own.
struct Question {
  enum class Kind : std::uint8_t {
    kLook,         // what the path shows, and its sizes where it is a directory (LookAtPath)
    kMeasure,      // the sizes of the place, on the mount given where drive is set (MeasurePath)
    kIsDirectory,  // whether the path, its links followed, is a directory
  };
  Kind kind = Kind::kLook;
  bool cached = false;  // kLook: the point's attributes as the kernel holds them
  bool drive = false;   // kMeasure: the place must show mount
  linux_drives::MountRef mount{};
  std::array<char, PATH_MAX> path{};

  // The question about a path; nullopt for a path longer than any call takes.
  static std::optional<Question> About(Kind kind, std::string_view path);
};

// A helper's answer, as fixed as the question.
struct Answer {
  std::optional<linux_drives::PointFacts> facts;  // kLook
  std::optional<contract::DiskSizes> sizes;       // kMeasure
  bool directory = false;                         // kIsDirectory
};

// What a helper runs for each question. It runs in a process forked from one that may have other
// threads: only async-signal-safe calls, no memory allocated, no lock taken.
using Serve = Answer (*)(const Question& question);

// The real questions, answered by the system's calls.
Answer ServePath(const Question& question);

// How many helpers may work at once; further questions wait for one to become free.
inline constexpr std::size_t kMostHelpers = 64;

// The helpers of a process and the questions they are given. Each question goes to a free helper
// or a newly started one; where none can be started (a task limit, or kMostHelpers at work) it
// waits for the first helper that answers, or for a start that succeeds, until its deadline.
// One caller at a time: a second waits for the first's wait to end.
class Helpers {
 public:
  using Clock = std::chrono::steady_clock;
  using Ticket = std::uint64_t;

  explicit Helpers(Serve serve = ServePath, std::size_t most = kMostHelpers);
  // The helpers still at work are left behind; the free ones end, their socket closed.
  ~Helpers();
  Helpers(const Helpers&) = delete;
  Helpers& operator=(const Helpers&) = delete;

  // Gives the question to a helper, or queues it, and returns at once.
  Ticket Ask(const Question& question, Clock::time_point deadline);

  // The answer to a question asked, waiting for it until its deadline at most; nullopt when it did
  // not come in time (then *late is set, when given) or its helper ended without one. Each answer
  // is given once.
  std::optional<Answer> Await(Ticket ticket, bool* late = nullptr);

  // How many helper processes were started, for tests.
  std::size_t Started() const;

 private:
  struct Helper {
    int socket = -1;
    Ticket serving = 0;  // 0: free
    Clock::time_point deadline{};
  };
  struct Waiting {
    Ticket ticket = 0;
    Question question;
    Clock::time_point deadline{};
  };
  struct Outcome {
    std::optional<Answer> answer;
    bool late = false;
  };

  bool Start();
  bool Give(Helper& helper, const Waiting& waiting);
  void Dispatch();
  void Expire(Clock::time_point now);
  void Receive(std::size_t index);
  void Drop(std::size_t index);
  void EndFreeHelpersWhenIdle();
  bool Outstanding(Ticket ticket) const;

  Serve serve_;
  std::size_t most_;
  mutable std::mutex mutex_;  // guards the members below
  std::vector<Helper> helpers_;
  std::deque<Waiting> queue_;
  std::unordered_map<Ticket, Outcome> outcomes_;
  Ticket next_ = 1;
  std::size_t started_ = 0;
};

}  // namespace platform::linux_helpers
