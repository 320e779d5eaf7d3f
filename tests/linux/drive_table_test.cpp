// The drive table the drive calls answer from: roots found with or without their slash, local
// drives measured on the calling thread, and shares asked within a bound.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
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

// Stand-ins for the size queries that record what they were asked: the local one on the calling
// thread, the share one within the bound, where the places named "dead" do not answer in time.
struct Recorder {
  std::vector<std::string> local;
  std::vector<std::string> shares;

  Measure Local() {
    return [this](const Place& place) -> std::optional<DiskSizes> {
      local.push_back(place.path);
      return DiskSizes{.available = 400, .total = 1000, .free = 500};
    };
  }

  MeasureShare Shares() {
    return [this](const Place& place, bool* late) -> std::optional<DiskSizes> {
      shares.push_back(place.path);
      if (place.path.find("dead") != std::string::npos) {
        *late = true;
        return std::nullopt;
      }
      return DiskSizes{.available = 40, .total = 100, .free = 50};
    };
  }
};

TEST(DriveTableCalls, LocalVolumesAreMeasuredHereSharesWithinTheBoundAndALateShareOnce) {
  Recorder record;
  Drive late = MakeDrive("/mnt/late", true);
  late.late = true;  // it did not answer when the table was read
  DriveTable table({MakeDrive("/", false), MakeDrive("/mnt/live", true),
                    MakeDrive("/mnt/dead", true), late, MakeDrive("/mnt/unasked", true)},
                   record.Local(), record.Shares());
  const Drive& local = *table.Find("/");
  const Drive& live = *table.Find("/mnt/live/");
  const Drive& dead = *table.Find("/mnt/dead/");
  const Drive& silent = *table.Find("/mnt/late/");

  EXPECT_EQ(table.Size(local)->available, 400U);
  EXPECT_EQ(table.Size(live)->available, 40U);
  EXPECT_FALSE(table.Size(dead));
  EXPECT_FALSE(table.Readable(dead));
  EXPECT_FALSE(table.Size(dead));  // not waited for a second time
  EXPECT_FALSE(table.Size(silent));
  EXPECT_FALSE(table.Readable(silent));
  EXPECT_TRUE(table.Readable(local));
  EXPECT_TRUE(table.Readable(live));
  EXPECT_TRUE(table.Readable(*table.Find("/mnt/unasked/")));

  EXPECT_EQ(record.local, (std::vector<std::string>{"/"}));
  EXPECT_EQ(record.shares, (std::vector<std::string>{"/mnt/live", "/mnt/dead", "/mnt/unasked"}));
}

TEST(DriveTableCalls, AFreshReadingFromTheTableAnswersOnlyTheFirstQuery) {
  Recorder record;
  Drive fresh = MakeDrive("/mnt/fresh", false);
  fresh.reading = DiskSizes{7, 7, 7};
  fresh.readAt = std::chrono::steady_clock::now();
  Drive stale = fresh;
  stale.mount.mountPoint = "/mnt/stale";
  stale.root = "/mnt/stale/";
  stale.readAt -= kReadingLife + 1s;
  Drive share = MakeDrive("/mnt/share", true);
  share.reading = fresh.reading;
  share.readAt = fresh.readAt;
  DriveTable table({fresh, stale, share}, record.Local(), record.Shares());
  EXPECT_EQ(table.Size(*table.Find("/mnt/fresh/"))->total, 7U);
  EXPECT_EQ(table.Size(*table.Find("/mnt/fresh/"))->total, 1000U);  // measured anew
  EXPECT_EQ(table.Size(*table.Find("/mnt/stale/"))->total, 1000U);
  EXPECT_EQ(table.Size(*table.Find("/mnt/share/"))->total, 7U);
  EXPECT_TRUE(table.Readable(*table.Find("/mnt/share/")));
  EXPECT_EQ(table.Size(*table.Find("/mnt/share/"))->total, 100U);
  EXPECT_EQ(record.local, (std::vector<std::string>{"/mnt/fresh", "/mnt/stale"}));
  EXPECT_EQ(record.shares, (std::vector<std::string>{"/mnt/share"}));
}

}  // namespace
