#include "platform/console.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::console {
namespace {

// Writes all of text to fd; the errno of the failed write, or 0.
int WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace

Outcome WriteOut(std::string_view text, Encoding /*encoding*/, std::string* why) {
  // Linux text is bytes whatever it is written to. A closed pipe ends the process by SIGPIPE, as
  // it ends any command; where the signal is ignored the write reports it.
  const int error = WriteAll(STDOUT_FILENO, text);
  if (error == 0) {
    return Outcome::Written;
  }
  if (error == EPIPE) {
    return Outcome::Closed;
  }
  if (why != nullptr) {
    *why = std::strerror(error);
  }
  return Outcome::Failed;
}

bool CloseOut(std::string* why) {
  // Linux releases the descriptor even when close fails: it is never closed twice.
  if (::close(STDOUT_FILENO) == 0) {
    return true;
  }
  if (why != nullptr) {
    *why = std::strerror(errno);
  }
  return false;
}

void WriteError(std::string_view text) {
  (void)WriteAll(STDERR_FILENO, text);
}

}  // namespace platform::console
