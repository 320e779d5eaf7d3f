// A call that writes its text answer into the caller's buffer and, when the answer does not fit,
// tells how much room it needs, asked until the answer fits: the probes and both systems' backends
// ask names, directories and lists this way.
#pragma once

#include <cstddef>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform {

// What one call made of the buffer it was given.
struct BufferReply {
  bool answered = false;   // the answer stands in the buffer
  std::size_t needed = 0;  // otherwise the capacity it needs; no more than it had: the call failed
};

// Hands call(buffer) a buffer of `capacity` characters, each `fill`, and again one of the capacity
// the call needs while the answer does not fit, at most `attempts` times in all: an answer can grow
// between two calls, and a call must not make the caller ask for ever. The buffer as the answering
// call left it, or nothing when the call failed, never settled, or needed more than can be had.
template <typename Char, typename Call>
std::optional<std::basic_string<Char>> AskGrowing(std::size_t capacity, Char fill, int attempts,
                                                  Call call) {
  try {
    for (int attempt = 0; attempt < attempts; ++attempt) {
      std::basic_string<Char> buffer(capacity, fill);
      const BufferReply reply = call(buffer);
      if (reply.answered) {
        return buffer;
      }
      if (reply.needed <= capacity) {
        return std::nullopt;
      }
      capacity = reply.needed;
    }
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return std::nullopt;
}

}  // namespace platform
