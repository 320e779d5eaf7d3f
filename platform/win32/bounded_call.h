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

// The call's answer, or nothing when the bound passed first or no thread could be started.
template <typename Call>
auto CallWithin(std::chrono::milliseconds bound, Call call) -> std::optional<decltype(call())> {
  using Answer = decltype(call());
  struct State {
    std::mutex mutex;
    std::condition_variable finished;
    std::optional<Answer> answer;
  };
  auto state = std::make_shared<State>();
  try {
    std::thread([state, call = std::move(call)]() mutable {
      Answer answer = call();
      const std::lock_guard lock(state->mutex);
      state->answer = std::move(answer);
      state->finished.notify_one();
    }).detach();
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  std::unique_lock lock(state->mutex);
  state->finished.wait_for(lock, bound, [&] { return state->answer.has_value(); });
  return state->answer;
}

}  // namespace platform::win32
