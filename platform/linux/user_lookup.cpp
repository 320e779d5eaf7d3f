#include "platform/linux/user_lookup.h"

#include <pwd.h>

#include <cerrno>
#include <charconv>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/linux/sources.h"

namespace platform::linux_identity {
namespace {

using Clock = std::chrono::steady_clock;

// How often a lookup whose thread could not be started tries again.
constexpr std::chrono::milliseconds kRetryStart{10};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Whether the passwd database asks its file first and stops at an entry found there: the first
// source of its one line is "files", with no action after it that would go on.
bool FilesDecide(std::string_view nsswitch) {
  int lines = 0;
  bool decide = false;
  linux_sources::ForEachLine(nsswitch, [&lines, &decide](std::string_view line) {
    line = line.substr(0, line.find('#'));
    while (!line.empty() && IsBlank(line.front())) {
      line.remove_prefix(1);
    }
    if (!line.starts_with("passwd")) {
      return;
    }
    line.remove_prefix(6);
    while (!line.empty() && IsBlank(line.front())) {
      line.remove_prefix(1);
    }
    if (!line.starts_with(':')) {
      return;
    }
    line.remove_prefix(1);
    const auto sources = linux_sources::Fields(line);
    ++lines;
    decide = !sources.empty() && sources[0] == "files" &&
             (sources.size() == 1 || !sources[1].starts_with('['));
  });
  return lines == 1 && decide;
}

// The name of uid's entry in a passwd file, as the C library's file source reads it: the first
// line with that uid, blank lines, comments and the compat syntax's "+" and "-" entries left out.
std::optional<std::string> NameInPasswd(std::string_view passwd, uid_t uid) {
  std::optional<std::string> name;
  linux_sources::ForEachLine(passwd, [&name, uid](std::string_view line) {
    if (name) {
      return;
    }
    while (!line.empty() && IsBlank(line.front())) {
      line.remove_prefix(1);
    }
    if (line.empty() || line.front() == '#' || line.front() == '+' || line.front() == '-') {
      return;
    }
    // name:password:uid:gid:...
    const auto first = line.find(':');
    const auto second = first == std::string_view::npos ? first : line.find(':', first + 1);
    const auto third = second == std::string_view::npos ? second : line.find(':', second + 1);
    if (first == 0 || third == std::string_view::npos) {
      return;
    }
    const std::string_view number = line.substr(second + 1, third - second - 1);
    uid_t found = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), found);
    if (error == std::errc() && end == number.data() + number.size() && !number.empty() &&
        found == uid) {
      name = std::string(line.substr(0, first));
    }
  });
  return name;
}

// The passwd database's answer, whichever its sources are; may wait on a directory service.
std::optional<std::string> LookUp(uid_t uid) {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> scratch(1024);
  // The scratch space the C library wants grows with the passwd entry; ERANGE asks for more.
  int error = 0;
  while ((error = ::getpwuid_r(uid, &entry, scratch.data(), scratch.size(), &found)) == ERANGE &&
         scratch.size() < (1U << 20U)) {
    scratch.resize(scratch.size() * 2);
  }
  if (error != 0 || found == nullptr || entry.pw_name == nullptr) {
    return std::nullopt;
  }
  return std::string(entry.pw_name);
}

}  // namespace

std::optional<std::string> NameFromFiles(std::string_view nsswitch, std::string_view passwd,
                                         uid_t uid) {
  if (!FilesDecide(nsswitch)) {
    return std::nullopt;
  }
  return NameInPasswd(passwd, uid);
}

UserLookup::UserLookup(uid_t uid) : uid_(uid) {
  const auto nsswitch = linux_sources::ReadFile("/etc/nsswitch.conf");
  const auto passwd = nsswitch ? linux_sources::ReadFile("/etc/passwd") : std::nullopt;
  if (passwd) {
    if (auto name = NameFromFiles(*nsswitch, *passwd, uid)) {
      known_ = true;
      name_ = std::move(name);
      return;
    }
  }
  Start();
}

bool UserLookup::Start() {
  auto pending = std::make_shared<Pending<std::string>>();
  try {
    RunDetached([pending, uid = uid_] {
      std::optional<std::string> name;
      try {
        name = LookUp(uid);
      } catch (...) {
        name.reset();  // out of memory: no name, and the thread must not end the program
      }
      pending->Give(std::move(name));
    });
  } catch (const std::system_error&) {
    return false;  // no thread now (a task limit): tried again while waiting
  }
  pending_ = std::move(pending);
  return true;
}

std::optional<std::string> UserLookup::Await(Clock::time_point deadline) {
  const std::lock_guard lock(mutex_);
  if (known_) {
    return name_;
  }
  while (pending_ == nullptr && !Start() && Clock::now() < deadline) {
    std::this_thread::sleep_for(kRetryStart);
  }
  if (pending_ == nullptr) {
    return std::nullopt;
  }
  bool late = false;
  auto name = pending_->Await(deadline, &late);
  if (!late) {
    // Answered (or failed): the same answer from now on.
    known_ = true;
    name_ = name;
  }
  return name;
}

}  // namespace platform::linux_identity
