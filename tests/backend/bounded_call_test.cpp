// The bounded call that asks network drives: an answer in time comes back, a call that hangs is
// abandoned at the bound and left to finish on its own.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "platform/backend/bounded_call.h"

namespace {

using namespace std::chrono_literals;

// The call's answer as the drive backends wait for it: a pending answer that a detached worker
// gives, awaited no longer than the bound.
template <typename Call>
auto CallWithin(std::chrono::milliseconds bound, Call call) -> std::optional<decltype(call())> {
  auto pending = std::make_shared<platform::Pending<decltype(call())>>();
  platform::StartInto(pending, std::move(call));
  return pending->Await(std::chrono::steady_clock::now() + bound);
}

TEST(BoundedCall, AnAnswerInTimeComesBack) {
  EXPECT_EQ(CallWithin(2s, [] { return 42; }), 42);
}

TEST(BoundedCall, ACallThatThrowsHasNoAnswer) {
  EXPECT_FALSE(CallWithin(2s, []() -> int { throw std::runtime_error("share gone"); }));
}

TEST(BoundedCall, AHangingCallIsAbandonedAndLeftBehind) {
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<bool> finished{false};
  };
  auto gate = std::make_shared<Gate>();
  const auto answer = CallWithin(50ms, [gate] {
    std::unique_lock lock(gate->mutex);
    gate->opened.wait(lock, [&] { return gate->open; });
    gate->finished = true;
    return 7;
  });
  EXPECT_FALSE(answer.has_value());
  EXPECT_FALSE(gate->finished);

  // The abandoned worker still runs to its end once its call returns.
  {
    const std::lock_guard lock(gate->mutex);
    gate->open = true;
  }
  gate->opened.notify_all();
  for (int wait = 0; wait < 500 && !gate->finished; ++wait) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_TRUE(gate->finished);
}

}  // namespace
