// What a mount point shows and what it measures: the mount there told from any other, and a mount
// that goes or is replaced between the table and the query.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/linux/drive_list.h"
#include "platform/linux/mount_point.h"
#include "tests/support/mount_entries.h"
#include "tests/support/private_namespaces.h"

namespace {

using namespace platform::linux_drives;
using testing_support::Mount;

TEST(MountRef, APointShowsItsMountByMountIdElseByDevice) {
  auto data = Mount(8, "/data", "ext4", "/dev/sdb1");
  data.id = 40;
  PointFacts facts{data.major, data.minor, true, false, 40};
  EXPECT_TRUE(Shows(facts, MountRef::Of(data)));
  // The same filesystem, seen through another mount of it that covers this one.
  facts.mountId = 41;
  EXPECT_FALSE(Shows(facts, MountRef::Of(data)));
  // A kernel that tells no mount ID: the device number decides, but not on btrfs.
  facts.mountId = 0;
  EXPECT_TRUE(Shows(facts, MountRef::Of(data)));
  facts.minor += 1;
  EXPECT_FALSE(Shows(facts, MountRef::Of(data)));
  auto home = Mount(0, "/home", "btrfs", "/dev/nvme0n1p3");
  EXPECT_TRUE(Shows(PointFacts{0, 99, true, false, 0}, MountRef::Of(home)));
  // A file bound over the path, or nothing left at it.
  EXPECT_FALSE(Shows(PointFacts{data.major, data.minor, false, false, 40}, MountRef::Of(data)));
  EXPECT_FALSE(Shows(PointFacts{0, 0, false, true, 0}, MountRef::Of(data)));
}

TEST(MeasureAt, AMountThatGoesOrIsReplacedNeverGetsAnotherFilesystemsSize) {
  const auto faults = testing_support::InPrivateMounts([] {
    using testing_support::MountTmpfs;
    constexpr std::uint64_t kRacing = 1024ULL * 1024;
    if (!MountTmpfs("/mnt", 8192)) {
      return std::string("cannot mount tmpfs");
    }
    // Where no mount ID is told (qemu-user passes statx's mask on but not the ID), a tmpfs put in
    // the place of another may get its device number and cannot be told from it: not tried then.
    const auto root = LookAtPath("/", false);
    const bool replaceable = root && root->mountId != 0;
    if (!replaceable) {
      std::fprintf(stderr, "no mount IDs here: a replaced mount is not tried\n");
    }
    std::string faults;
    const auto measure = [&faults](const Drive& drive, bool present) {
      const auto sizes = MeasureAt(PlaceOf(drive));
      if (present != sizes.has_value() || (sizes && sizes->total != kRacing)) {
        faults += "round measured " + (sizes ? std::to_string(sizes->total) : "nothing") + "; ";
      }
    };
    // Between the table and the size query the mount stays, goes, or is replaced by another
    // tmpfs (which may well get the same device number).
    for (int round = 0; round < 30; ++round) {
      MountTmpfs("/mnt/race", 1024);
      const auto drives = ReadDrives(ThisMachine());
      const auto race = std::find_if(drives.begin(), drives.end(),
                                     [](const Drive& v) { return v.root == "/mnt/race/"; });
      if (race == drives.end()) {
        faults += "/mnt/race/ not listed; ";
        break;
      }
      if (round % 3 != 0) {
        ::umount2("/mnt/race", MNT_DETACH);
      }
      if (round % 3 == 2 && replaceable) {
        MountTmpfs("/mnt/race", 2048);
      }
      if (!race->reading || race->reading->total != kRacing) {
        faults += "no reading of its own with the table; ";
      }
      measure(*race, round % 3 == 0);
      ::umount2("/mnt/race", MNT_DETACH);
    }
    // And while another thread mounts and unmounts it as fast as it can.
    std::atomic<bool> stop{false};
    std::thread racer([&stop] {
      while (!stop) {
        MountTmpfs("/mnt/race", 1024);
        ::umount2("/mnt/race", MNT_DETACH);
      }
    });
    int seen = 0;
    for (int round = 0; round < 1000; ++round) {
      for (const Drive& drive : ReadDrives(ThisMachine())) {
        if (drive.root == "/mnt/race/") {
          ++seen;
          const auto sizes = MeasureAt(PlaceOf(drive));
          if (sizes && sizes->total != kRacing) {
            faults += "measured " + std::to_string(sizes->total) + " while racing; ";
          }
          if (drive.reading && drive.reading->total != kRacing) {
            faults += "read " + std::to_string(drive.reading->total) + " while racing; ";
          }
        }
      }
    }
    stop = true;
    racer.join();
    std::fprintf(stderr, "the racing mount was listed %d times of 1000\n", seen);
    return faults;
  });
  if (!faults) {
    GTEST_SKIP() << "needs root for a private mount namespace";
  }
  EXPECT_EQ(*faults, "");
}

}  // namespace
