// A call that may hang (the size of a network share whose server is gone) run on a worker thread
// and waited for no longer than a bound. A worker that does not finish in time is left behind: it
// owns its state, so nothing waits for it, not even at exit.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace platform::win32 {

// The call's answer, or nothing when the bound passed first, the call threw, or no thread could be
// started.
template <typename Call>
auto CallWithin(std::chrono::milliseconds bound, Call call) -> std::optional<decltype(call())> {
  using Answer = decltype(call());
  struct State {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<Answer> answer;
  };
  auto state = std::make_shared<State>();
  try {
    std::thread([state, call = std::move(call)]() mutable {
      // An exception must not leave the worker: on a detached thread it would end the program.
      std::optional<Answer> answer;
      try {
        answer.emplace(call());
      } catch (...) {
        answer.reset();
      }
      const std::lock_guard lock(state->mutex);
      state->answer = std::move(answer);
      state->done = true;
      state->finished.notify_one();
    }).detach();
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  std::unique_lock lock(state->mutex);
  state->finished.wait_for(lock, bound, [&] { return state->done; });
  return state->done ? state->answer : std::nullopt;
}

}  // namespace platform::win32
