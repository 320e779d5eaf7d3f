// A program started by a test without a shell, its standard output read to the end. Started with
// posix_spawn rather than QProcess: Qt starts its children with clone(CLONE_PIDFD), which
// qemu-user (where the arm64 build's tests run) refuses.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

extern char** environ;

namespace testing_support {

struct Ran {
  std::string out;  // the standard output, whole
  int status = -1;  // the exit status; -1 where it could not start or did not exit
};

// Runs argv[0] (looked up in PATH) with the given arguments and waits for it to end.
inline Ran RunProgram(const std::vector<std::string>& argv) {
  Ran ran;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  int channel[2];
  if (argv.empty() || ::pipe2(channel, O_CLOEXEC) != 0) {
    return ran;
  }
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
  pid_t child = -1;
  const int failed = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(channel[1]);
  char chunk[4096];
  while (failed == 0) {
    const ssize_t count = ::read(channel[0], chunk, sizeof chunk);
    if (count > 0) {
      ran.out.append(chunk, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(channel[0]);
  int status = 0;
  if (failed == 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    ran.status = WEXITSTATUS(status);
  }
  return ran;
}

}  // namespace testing_support
