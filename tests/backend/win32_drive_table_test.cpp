// The Windows drive table, over fake system calls: each root's type asked once, and dead shares
// costing the start-up one bound in all.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/drive_table.h"

namespace {

using namespace std::chrono_literals;

// Fake drive calls: C: local, the other listed roots live shares, and the shares in `hung` whose
// calls named there wait until the test opens the gate. A call in `slow` takes that long. Every
// call is counted per root when it is asked and again when it ends ("ended type N:\\").
struct FakeDrives {
  struct State {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::map<std::string, int> calls;  // "type N:\\" -> how often
  };
  std::shared_ptr<State> state = std::make_shared<State>();
  std::vector<std::string> listed{"C:\\", "N:\\"};
  std::map<std::string, std::string> hung;  // root -> the calls that hang ("type sizes volume")
  std::map<std::string, std::chrono::milliseconds> slow;  // "sizes N:\\" -> how long it takes

  platform::win32::DriveCalls Calls() const {
    const auto shared = state;
    const auto hanging = hung;
    const auto delays = slow;
    const auto ask = [shared, hanging, delays](const std::string& what, const std::string& root) {
      const std::string call = what + " " + root;
      std::unique_lock lock(shared->mutex);
      ++shared->calls[call];
      const auto found = hanging.find(root);
      if (found != hanging.end() && found->second.find(what) != std::string::npos) {
        shared->opened.wait(lock, [&] { return shared->open; });
      }
      if (const auto delay = delays.find(call); delay != delays.end()) {
        lock.unlock();
        std::this_thread::sleep_for(delay->second);
        lock.lock();
      }
      ++shared->calls["ended " + call];
    };
    platform::win32::DriveCalls calls;
    calls.roots = [hanging, listed = listed] {
      std::vector<std::string> roots = listed;
      for (const auto& [root, what] : hanging) {
        roots.push_back(root);
      }
      return roots;
    };
    calls.type = [ask](const std::string& root) -> std::uint32_t {
      ask("type", root);
      return root == "C:\\" ? 3 : platform::win32::kDriveRemote;
    };
    calls.sizes = [ask](const std::string& path) -> std::optional<platform::contract::DiskSizes> {
      ask("sizes", path);
      return platform::contract::DiskSizes{1, 2, 1};
    };
    calls.volume = [ask](const std::string& path) -> std::optional<platform::win32::VolumeFacts> {
      ask("volume", path);
      return platform::win32::VolumeFacts{"LABEL", 0x1234, 255, 0, "NTFS"};
    };
    return calls;
  }
  int Count(const std::string& call) const {
    const std::lock_guard lock(state->mutex);
    return state->calls[call];
  }
  void Open() const {
    {
      const std::lock_guard lock(state->mutex);
      state->open = true;
    }
    state->opened.notify_all();
  }
};

// What start-up asks of every drive: the kinds for the counts, then per drive its sizes, its kind
// again and, when it has sizes, its label and serial.
void StartUp(platform::win32::DriveTable& table, const std::vector<std::string>& roots) {
  for (const auto& root : roots) {
    table.Type(root);
  }
  for (const auto& root : roots) {
    if (table.Sizes(root)) {
      table.Type(root);
      table.Volume(root);
      table.Volume(root);
    } else {
      table.Type(root);
    }
  }
}

TEST(Win32DriveTable, AsksEachRootsTypeOnceAndALiveShareAgainForItsSizes) {
  FakeDrives drives;
  platform::win32::DriveTable table(drives.Calls(), 2s);
  StartUp(table, {"C:\\", "N:\\"});
  EXPECT_EQ(table.Type("c:"), 3U);
  EXPECT_EQ(table.Type("n:\\"), platform::win32::kDriveRemote);
  EXPECT_EQ(drives.Count("type C:\\"), 1);
  EXPECT_EQ(drives.Count("type N:\\"), 1);

  const auto sizes = table.Sizes("N:\\");
  ASSERT_TRUE(sizes);
  EXPECT_EQ(sizes->total, 2U);
  const auto facts = table.Volume("N:\\");
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->label, "LABEL");
  EXPECT_EQ(facts->serial, 0x1234U);
  // Free space changes: a share that answers is asked each time, as a local drive is.
  EXPECT_EQ(drives.Count("sizes N:\\"), 2);
  EXPECT_EQ(drives.Count("sizes C:\\"), 1);
  drives.Open();
}

TEST(Win32DriveTable, DeadSharesCostOneBoundInAllAndAreNotAskedAgain) {
  FakeDrives drives;
  // One share hangs on its kind, one on its sizes and volume: each alone would cost a bound per
  // call.
  drives.hung = {{"X:\\", "type"}, {"Y:\\", "sizes volume"}};
  const auto bound = 300ms;
  platform::win32::DriveTable table(drives.Calls(), bound);
  const auto start = std::chrono::steady_clock::now();
  StartUp(table, {"C:\\", "N:\\", "X:\\", "Y:\\"});
  EXPECT_FALSE(table.Sizes("X:\\"));
  EXPECT_FALSE(table.Volume("Y:\\"));
  const auto spent = std::chrono::steady_clock::now() - start;
  // Unbounded, start-up would wait forever; bounded call by call, a bound for each of them.
  EXPECT_LT(spent, 3 * bound);

  EXPECT_EQ(table.Type("X:\\"), platform::win32::kDriveUnknown);
  EXPECT_EQ(table.Type("Y:\\"), platform::win32::kDriveRemote);
  EXPECT_TRUE(table.Sizes("C:\\"));
  EXPECT_TRUE(table.Volume("N:\\"));
  EXPECT_EQ(drives.Count("type X:\\"), 1);
  EXPECT_EQ(drives.Count("sizes X:\\"), 0);
  EXPECT_EQ(drives.Count("sizes Y:\\"), 1);
  EXPECT_EQ(drives.Count("volume Y:\\"), 1);

  // Once their calls return, the shares stay dead: their workers may hang again next time.
  drives.Open();
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(table.Sizes("Y:\\"));
  EXPECT_FALSE(table.Volume("Y:\\"));
  EXPECT_EQ(drives.Count("sizes Y:\\"), 1);
}

// A share reached after a slow root has its whole bound for each of its questions: timed from the
// moment its own question is asked, not from the start of the survey.
TEST(Win32DriveTable, AShareReachedLateHasItsOwnBound) {
  FakeDrives drives;
  drives.listed = {"C:\\", "S:\\", "N:\\"};
  // S: takes most of the bound to tell its type; N:, after it, answers each question in 0.3 s.
  drives.slow = {
      {"type S:\\", 800ms}, {"type N:\\", 300ms}, {"sizes N:\\", 300ms}, {"volume N:\\", 300ms}};
  platform::win32::DriveTable table(drives.Calls(), 1s);
  EXPECT_EQ(table.Type("C:\\"), 3U);
  EXPECT_EQ(table.Type("S:\\"), platform::win32::kDriveRemote);
  EXPECT_EQ(table.Type("N:\\"), platform::win32::kDriveRemote);
  const auto sizes = table.Sizes("N:\\");
  ASSERT_TRUE(sizes);
  EXPECT_EQ(sizes->total, 2U);
  EXPECT_TRUE(table.Volume("N:\\"));
}

// A process that ends while a worker is inside a system call may hang at its end under Wine: the
// table, going, waits for the questions still within their bound, but not past it for a dead share.
TEST(Win32DriveTable, AGoingTableWaitsForItsQuestionsInTimeOnly) {
  FakeDrives drives;
  drives.slow = {{"volume N:\\", 300ms}};
  drives.hung = {{"Y:\\", "sizes"}};
  const auto bound = 1s;
  const auto start = std::chrono::steady_clock::now();
  {
    platform::win32::DriveTable table(drives.Calls(), bound);
    // The types alone: each share's sizes and volume are asked aside, unwaited.
    for (const std::string root : {"C:\\", "N:\\", "Y:\\"}) {
      table.Type(root);
    }
  }
  EXPECT_EQ(drives.Count("ended volume N:\\"), 1);
  EXPECT_EQ(drives.Count("ended sizes Y:\\"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, bound + 500ms);
  drives.Open();
}

}  // namespace
