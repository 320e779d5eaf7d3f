// The login name of a user, looked up so that a directory service that does not answer (an LDAP
// or sssd source of the passwd database) cannot hold the caller beyond a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/backend/bounded_call.h"

namespace platform::linux_identity {

// The name of uid in a passwd file's text, where the system's passwd database consults that file
// first and stops at an entry found there (nsswitch.conf's text): then no other source would be
// asked, and the answer is known without one. nullopt where another source may come first or the
// file has no entry for uid.
std::optional<std::string> NameFromFiles(std::string_view nsswitch, std::string_view passwd,
                                         uid_t uid);

// One lookup of a user's name, started at once. It is answered on the spot from /etc/passwd where
// NameFromFiles can tell; otherwise the passwd database is asked on a thread of its own. That one
// call is the exception to the rule that a call which may block runs in a helper process: the
// database's modules are not async-signal-safe, so a process forked from the threaded window
// could not call them, and a thread waiting on a directory service waits interruptibly (on a
// socket or a timer), so, left behind, it cannot hold the process when it ends.
class UserLookup {
 public:
  explicit UserLookup(uid_t uid);

  // The name, waiting for it until deadline at most; nullopt where the user has no entry, the
  // lookup failed or did not answer in time. A thread that could not be started is tried again
  // until the deadline.
  std::optional<std::string> Await(std::chrono::steady_clock::time_point deadline);

 private:
  bool Start();

  uid_t uid_;
  std::mutex mutex_;  // guards the members below
  bool known_ = false;
  std::optional<std::string> name_;
  std::shared_ptr<Pending<std::string>> pending_;
};

}  // namespace platform::linux_identity
