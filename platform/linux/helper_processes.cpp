#include "platform/linux/helper_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <type_traits>

namespace platform::linux_helpers {
namespace {

// Both records cross the socket as their bytes.
static_assert(std::is_trivially_copyable_v<Question>);
static_assert(std::is_trivially_copyable_v<Answer>);

// The helper's end of its socket, once its descriptors are set up.
constexpr int kSocket = 3;

// How often questions that wait for a helper try to start one, while none can be started.
constexpr std::chrono::milliseconds kRetryStart{10};

// The descriptors a helper keeps: its socket on kSocket and /dev/null as standard input, output
// and error, so that it holds nothing of the program's (a pipe a reader waits on to close, a lock
// file, a share's open file). Async-signal-safe.
void KeepOnlySocket(int socket) {
  if (socket != kSocket && ::dup2(socket, kSocket) < 0) {
    ::_exit(1);
  }
  if (::close_range(kSocket + 1, ~0U, 0) != 0) {
    // Kernels before 5.9: each descriptor the limit allows.
    rlimit limit{};
    const rlim_t most =
        ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536 ? limit.rlim_cur : 65536;
    for (rlim_t fd = kSocket + 1; fd < most; ++fd) {
      ::close(static_cast<int>(fd));
    }
  }
  const int null = ::open("/dev/null", O_RDWR);
  for (int fd = 0; fd < kSocket; ++fd) {
    if (null < 0) {
      ::close(fd);
    } else if (fd != null) {
      ::dup2(null, fd);
    }
  }
  if (null > kSocket) {
    ::close(null);
  }
}

// The helper itself: answers questions until its socket closes, or until its answer has no
// reader any more (it was left behind). Async-signal-safe.
[[noreturn]] void RunHelper(Serve serve) {
  // It holds no directory of the program's, which may lie on a share that someone unmounts.
  if (::chdir("/") != 0) {
    ::_exit(1);
  }
  // The program's own signal handlers must not run here: each is set back to its default before
  // the signals, blocked since before the fork, are let in.
  for (int number = 1; number < NSIG; ++number) {
    struct sigaction action {};
    if (::sigaction(number, nullptr, &action) == 0 && action.sa_handler != SIG_DFL &&
        action.sa_handler != SIG_IGN) {
      struct sigaction fallback {};
      fallback.sa_handler = SIG_DFL;
      ::sigaction(number, &fallback, nullptr);
    }
  }
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  Question question;
  for (;;) {
    const ssize_t got = ::recv(kSocket, &question, sizeof question, 0);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got != static_cast<ssize_t>(sizeof question)) {
      ::_exit(0);
    }
    question.path.back() = '\0';
    const Answer answer = serve(question);
    if (::send(kSocket, &answer, sizeof answer, MSG_NOSIGNAL) !=
        static_cast<ssize_t>(sizeof answer)) {
      ::_exit(0);
    }
  }
}

// The first child: it only starts the helper, as its own child, and ends at once, so that the
// helper is init's child. A helper left behind may end while the window still runs, long after
// anyone would wait for it: as the program's child it would stay a zombie until Exit. Exit status
// 1 when the helper could not be started. Async-signal-safe.
[[noreturn]] void RunStarter(int socket, Serve serve) {
  KeepOnlySocket(socket);
  const pid_t helper = ::_Fork();
  if (helper == 0) {
    RunHelper(serve);
  }
  ::_exit(helper < 0 ? 1 : 0);
}

}  // namespace

std::optional<Question> Question::About(Kind kind, std::string_view path) {
  Question question;
  if (path.size() >= question.path.size() || path.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  question.kind = kind;
  std::copy(path.begin(), path.end(), question.path.begin());
  return question;
}

Answer ServePath(const Question& question) {
  Answer answer;
  const char* path = question.path.data();
  switch (question.kind) {
    case Question::Kind::kLook:
      answer.facts = linux_drives::LookAtPath(path, question.cached);
      break;
    case Question::Kind::kMeasure:
      answer.sizes = linux_drives::MeasurePath(path, question.drive ? &question.mount : nullptr);
      break;
    case Question::Kind::kIsDirectory: {
      struct statx status {};
      answer.directory =
          ::statx(AT_FDCWD, path, 0, STATX_TYPE, &status) == 0 && S_ISDIR(status.stx_mode);
      break;
    }
  }
  return answer;
}

Helpers::Helpers(Serve serve, std::size_t most) : serve_(serve), most_(most) {}

Helpers::~Helpers() {
  for (const Helper& helper : helpers_) {
    ::close(helper.socket);
  }
}

std::size_t Helpers::Started() const {
  const std::lock_guard lock(mutex_);
  return started_;
}

bool Helpers::Start() {
  int sockets[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets) != 0) {
    return false;
  }
  // No signal handler of the program may run in the children: all signals stay blocked across
  // the fork, and the helper sets the handlers back to their defaults before it lets them in.
  sigset_t all;
  sigset_t before;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &before);
  // _Fork runs none of the program's fork handlers: the child may have been forked while another
  // thread held a lock that such a handler takes.
  const pid_t starter = ::_Fork();
  if (starter == 0) {
    RunStarter(sockets[1], serve_);
  }
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
  ::close(sockets[1]);
  bool started = false;
  if (starter > 0) {
    // The starter only forks and ends: this wait is as short as a fork.
    int status = 0;
    pid_t waited = 0;
    while ((waited = ::waitpid(starter, &status, 0)) < 0 && errno == EINTR) {
    }
    // Where SIGCHLD is ignored the starter was reaped by the kernel; a helper that did not start
    // then shows as a socket that no one answers.
    started = waited < 0 ? errno == ECHILD : WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  if (!started) {
    ::close(sockets[0]);
    return false;
  }
  helpers_.push_back({sockets[0], 0, {}});
  ++started_;
  return true;
}

bool Helpers::Give(Helper& helper, const Waiting& waiting) {
  const auto sent = ::send(helper.socket, &waiting.question, sizeof waiting.question,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
  if (sent != static_cast<ssize_t>(sizeof waiting.question)) {
    return false;
  }
  helper.serving = waiting.ticket;
  helper.deadline = waiting.deadline;
  return true;
}

void Helpers::Dispatch() {
  while (!queue_.empty()) {
    auto free = std::find_if(helpers_.begin(), helpers_.end(),
                             [](const Helper& helper) { return helper.serving == 0; });
    const bool fresh = free == helpers_.end();
    if (fresh) {
      if (helpers_.size() >= most_ || !Start()) {
        return;  // the questions wait for a helper that answers, or for a start that succeeds
      }
      free = helpers_.end() - 1;
    }
    if (!Give(*free, queue_.front())) {
      // The helper is gone (killed, or, where SIGCHLD is ignored, never started): a new one is
      // tried at once, a failed start only after a while.
      Drop(static_cast<std::size_t>(free - helpers_.begin()));
      if (fresh) {
        return;
      }
      continue;
    }
    queue_.pop_front();
  }
}

void Helpers::Drop(std::size_t index) {
  ::close(helpers_[index].socket);
  helpers_.erase(helpers_.begin() + static_cast<std::ptrdiff_t>(index));
}

void Helpers::Expire(Clock::time_point now) {
  // A helper that misses its deadline is left behind: its socket closed, it ends once its call
  // returns and finds no one to answer.
  for (std::size_t i = helpers_.size(); i-- > 0;) {
    if (helpers_[i].serving == 0 || helpers_[i].deadline > now) {
      continue;
    }
    // An answer that came with the deadline still counts.
    Receive(i);
    if (i < helpers_.size() && helpers_[i].serving != 0 && helpers_[i].deadline <= now) {
      outcomes_[helpers_[i].serving] = {std::nullopt, true};
      Drop(i);
    }
  }
  std::erase_if(queue_, [this, now](const Waiting& waiting) {
    if (waiting.deadline > now) {
      return false;
    }
    outcomes_[waiting.ticket] = {std::nullopt, true};
    return true;
  });
}

void Helpers::Receive(std::size_t index) {
  Helper& helper = helpers_[index];
  Answer answer;
  const auto got = ::recv(helper.socket, &answer, sizeof answer, MSG_DONTWAIT);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
    return;
  }
  if (got == static_cast<ssize_t>(sizeof answer) && helper.serving != 0) {
    outcomes_[helper.serving] = {answer, false};
    helper.serving = 0;
    return;
  }
  // Ended without an answer (killed, or out of memory): its question failed.
  if (helper.serving != 0) {
    outcomes_[helper.serving] = {std::nullopt, false};
  }
  Drop(index);
}

void Helpers::EndFreeHelpersWhenIdle() {
  // Free helpers are kept while questions are still out, for those that wait; then they end, so
  // that none stays while the window runs.
  if (!queue_.empty() || std::any_of(helpers_.begin(), helpers_.end(),
                                     [](const Helper& helper) { return helper.serving != 0; })) {
    return;
  }
  for (const Helper& helper : helpers_) {
    ::close(helper.socket);
  }
  helpers_.clear();
}

bool Helpers::Outstanding(Ticket ticket) const {
  return std::any_of(helpers_.begin(), helpers_.end(),
                     [ticket](const Helper& helper) { return helper.serving == ticket; }) ||
         std::any_of(queue_.begin(), queue_.end(),
                     [ticket](const Waiting& waiting) { return waiting.ticket == ticket; });
}

Helpers::Ticket Helpers::Ask(const Question& question, Clock::time_point deadline) {
  const std::lock_guard lock(mutex_);
  const Ticket ticket = next_++;
  queue_.push_back({ticket, question, deadline});
  Dispatch();
  return ticket;
}

std::optional<Answer> Helpers::Await(Ticket ticket, bool* late) {
  const std::lock_guard lock(mutex_);
  std::vector<pollfd> watched;
  for (;;) {
    Expire(Clock::now());
    if (const auto found = outcomes_.find(ticket); found != outcomes_.end()) {
      const Outcome outcome = found->second;
      outcomes_.erase(found);
      EndFreeHelpersWhenIdle();
      if (late != nullptr) {
        *late = outcome.late;
      }
      return outcome.answer;
    }
    if (!Outstanding(ticket)) {
      return std::nullopt;  // never asked, or its answer was taken
    }
    Dispatch();
    // Wait for any answer until the first deadline; questions that wait for a helper try a start
    // again every few milliseconds, since a task may end elsewhere.
    auto until = Clock::time_point::max();
    watched.clear();
    for (const Helper& helper : helpers_) {
      if (helper.serving != 0) {
        watched.push_back({helper.socket, POLLIN, 0});
        until = std::min(until, helper.deadline);
      }
    }
    for (const Waiting& waiting : queue_) {
      until = std::min(until, std::min(waiting.deadline, Clock::now() + kRetryStart));
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    const int timeout = static_cast<int>(std::clamp<decltype(left)>(left, 0, 60000));
    if (::poll(watched.data(), watched.size(), timeout) <= 0) {
      continue;
    }
    for (const pollfd& entry : watched) {
      if (entry.revents == 0) {
        continue;
      }
      const auto helper = std::find_if(helpers_.begin(), helpers_.end(),
                                       [&entry](const Helper& h) { return h.socket == entry.fd; });
      if (helper != helpers_.end()) {
        Receive(static_cast<std::size_t>(helper - helpers_.begin()));
      }
    }
  }
}

}  // namespace platform::linux_helpers
