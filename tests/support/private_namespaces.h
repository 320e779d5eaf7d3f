// Runs a check in a child process with private namespaces of its own: with its own mounts it may
// mount what it likes, with its own host name (UTS) it may rename the machine, and nothing leaks
// to the machine or to other tests. Needs root (CI runs as root).
#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace testing_support {

// Mounts a tmpfs of the given size in KiB at path, making the directory first; false on failure.
inline bool MountTmpfs(const std::string& path, int kilobytes) {
  ::mkdir(path.c_str(), 0755);
  const std::string options = "size=" + std::to_string(kilobytes) + "k";
  return ::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// The text body() returns (empty when all is well), or nullopt where the namespaces in flags
// (CLONE_NEWNS, CLONE_NEWUTS) cannot be made (not root). A private mount namespace is also cut off
// from the machine's mount events. An exception in body() is reported as its text.
inline std::optional<std::string> InPrivateNamespaces(int flags,
                                                      const std::function<std::string()>& body) {
  int channel[2];
  if (::pipe(channel) != 0) {
    return "pipe: " + std::string(std::strerror(errno));
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    if (::unshare(flags) != 0 ||
        ((flags & CLONE_NEWNS) != 0 &&
         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)) {
      ::_exit(77);
    }
    std::string result;
    try {
      result = body();
    } catch (const std::exception& error) {
      result = std::string("exception: ") + error.what();
    }
    const char* data = result.data();
    std::size_t left = result.size();
    while (left > 0) {
      const ssize_t written = ::write(channel[1], data, left);
      if (written <= 0) {
        break;
      }
      data += written;
      left -= static_cast<std::size_t>(written);
    }
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string result;
  char chunk[4096];
  ssize_t count = 0;
  while ((count = ::read(channel[0], chunk, sizeof chunk)) > 0) {
    result.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(channel[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) {
    return "fork failed";
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
    return std::nullopt;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return result + " (the child did not end cleanly)";
  }
  return result;
}

inline std::optional<std::string> InPrivateMounts(const std::function<std::string()>& body) {
  return InPrivateNamespaces(CLONE_NEWNS, body);
}

}  // namespace testing_support
