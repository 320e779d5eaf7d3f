// The drive table the drive calls answer from: roots found with or without their slash, local
// drives measured on the calling thread, and shares asked on workers within a bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/drives.h"
#include "platform/linux/drive_list.h"
#include "platform/linux/drive_table.h"

namespace {

using namespace platform::linux_drives;
using platform::contract::DiskSizes;
using namespace std::chrono_literals;

Drive MakeDrive(const std::string& point, bool share) {
  Drive drive;
  drive.mount.mountPoint = point;
  drive.root = point == "/" ? "/" : point + "/";
  drive.bounded = share;
  drive.type = share ? platform::DRIVE_REMOTE : platform::DRIVE_FIXED;
  return drive;
}

TEST(DriveTableCalls, ListsRootsAndFindsThemWithOrWithoutTheirSlash) {
  DriveTable table({MakeDrive("/", false), MakeDrive("/home", false), MakeDrive("/h", false)});
  EXPECT_EQ(table.List(), std::string("/\0/home/\0/h/\0", 13));
  ASSERT_NE(table.Find("/home/"), nullptr);
  EXPECT_EQ(table.Find("/home/")->root, "/home/");
  EXPECT_EQ(table.Find("/home"), table.Find("/home/"));
  EXPECT_EQ(table.Find("/h")->root, "/h/");
  EXPECT_EQ(table.Find("/hom"), nullptr);
  EXPECT_EQ(table.Find("/home/x/"), nullptr);
  EXPECT_EQ(table.Find(""), nullptr);
}

// A stand-in for statvfs that records who asked for what, and hangs for the paths named "dead"
// until the test lets them go.
struct Recorder {
  std::mutex mutex;
  std::vector<std::string> paths;
  std::vector<std::thread::id> threads;
  std::atomic<bool> open{false};
  std::atomic<int> finished{0};

  static Measure For(const std::shared_ptr<Recorder>& record) {
    return [record](const Place& place) -> std::optional<DiskSizes> {
      const std::string& path = place.path;
      {
        const std::lock_guard lock(record->mutex);
        record->paths.push_back(path);
        record->threads.push_back(std::this_thread::get_id());
      }
      while (path.find("dead") != std::string::npos && !record->open) {
        std::this_thread::sleep_for(1ms);
      }
      ++record->finished;
      return DiskSizes{.available = 400, .total = 1000, .free = 500};
    };
  }

  std::vector<std::string> SortedPaths() {
    const std::lock_guard lock(mutex);
    auto sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
  }

  // Lets the hanging queries go and waits for every worker, so none outlives the test.
  void Release(int queries) {
    open = true;
    while (finished < queries) {
      std::this_thread::sleep_for(1ms);
    }
  }
};

TEST(DriveTableCalls, LocalVolumesAreMeasuredWithoutAThreadAndADeadShareIsGivenUpOnce) {
  auto record = std::make_shared<Recorder>();
  DriveTable table({MakeDrive("/", false), MakeDrive("/mnt/live", true),
                    MakeDrive("/mnt/dead", true), MakeDrive("/mnt/unasked", true)},
                   // Long enough for a live share's worker to start on a busy or emulated machine.
                   Recorder::For(record), 500ms);
  const Drive& local = *table.Find("/");
  const Drive& live = *table.Find("/mnt/live/");
  const Drive& dead = *table.Find("/mnt/dead/");
  const Drive& unasked = *table.Find("/mnt/unasked/");

  ASSERT_TRUE(table.Size(local));
  EXPECT_EQ(table.Size(local)->available, 400U);
  {
    const std::lock_guard lock(record->mutex);
    EXPECT_EQ(record->threads, (std::vector<std::thread::id>(2, std::this_thread::get_id())));
  }
  ASSERT_TRUE(table.Size(live));
  EXPECT_FALSE(table.Size(dead));
  EXPECT_FALSE(table.Readable(dead));
  EXPECT_FALSE(table.Size(dead));  // not waited for a second time
  EXPECT_TRUE(table.Readable(local));
  EXPECT_TRUE(table.Readable(live));
  EXPECT_TRUE(table.Readable(unasked));

  EXPECT_EQ(record->SortedPaths(),
            (std::vector<std::string>{"/", "/", "/mnt/dead", "/mnt/live", "/mnt/unasked"}));
  {
    const std::lock_guard lock(record->mutex);
    for (std::size_t i = 2; i < record->threads.size(); ++i) {
      EXPECT_NE(record->threads[i], std::this_thread::get_id()) << record->paths[i];
    }
  }
  record->Release(5);
}

TEST(DriveTableCalls, AFreshReadingFromTheTableAnswersOnlyTheFirstQuery) {
  auto record = std::make_shared<Recorder>();
  Drive fresh = MakeDrive("/mnt/fresh", false);
  fresh.reading = DiskSizes{7, 7, 7};
  fresh.readAt = std::chrono::steady_clock::now();
  Drive stale = fresh;
  stale.mount.mountPoint = "/mnt/stale";
  stale.root = "/mnt/stale/";
  stale.readAt -= kReadingLife + 1s;
  DriveTable table({fresh, stale}, Recorder::For(record));
  EXPECT_EQ(table.Size(*table.Find("/mnt/fresh/"))->total, 7U);
  EXPECT_EQ(table.Size(*table.Find("/mnt/fresh/"))->total, 1000U);  // measured anew
  EXPECT_EQ(table.Size(*table.Find("/mnt/stale/"))->total, 1000U);
  EXPECT_EQ(record->SortedPaths(), (std::vector<std::string>{"/mnt/fresh", "/mnt/stale"}));
}

TEST(DriveTableCalls, AllSharesAreAskedAtOnceSoDeadOnesCostOneWait) {
  auto record = std::make_shared<Recorder>();
  DriveTable table({MakeDrive("/mnt/dead1", true), MakeDrive("/mnt/dead2", true)},
                   Recorder::For(record), 50ms);
  EXPECT_FALSE(table.Size(*table.Find("/mnt/dead1/")));
  // The second share was asked along with the first, before anyone asked for it.
  for (int wait = 0; wait < 5000 && record->SortedPaths().size() < 2; ++wait) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(record->SortedPaths(), (std::vector<std::string>{"/mnt/dead1", "/mnt/dead2"}));
  EXPECT_FALSE(table.Size(*table.Find("/mnt/dead2/")));
  EXPECT_FALSE(table.Readable(*table.Find("/mnt/dead2/")));
  EXPECT_EQ(record->SortedPaths().size(), 2U);  // and not again
  record->Release(2);
}

}  // namespace
