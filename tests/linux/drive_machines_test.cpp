// The drive table of real machines, read from fixture trees of their /proc, /sys, /dev and
// /run/udev, and of this machine, checked against statvfs.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/drives.h"
#include "platform/keyboard.h"
#include "platform/linux/drive_choice.h"
#include "platform/linux/drive_list.h"
#include "platform/linux/drive_table.h"
#include "platform/linux/mount_point.h"
#include "platform/linux/udev.h"
#include "probes/system.h"
#include "tests/support/fixture_udev.h"
#include "tests/support/loaded_libraries.h"
#include "tests/support/private_mounts.h"

namespace {

using namespace platform::linux_drives;
using platform::contract::DiskSizes;
using namespace std::chrono_literals;

const std::string kFixtures = QUORVANE_FIXTURES;  // NOLINT(cert-err58-cpp)

struct Expected {
  std::string root;
  platform::UINT type;
  std::string label;
  std::optional<std::uint32_t> serial;
  bool bounded = false;
  bool known = true;  // a source read the volume: "NoName" where it has no label
};

// Checks the whole table: the roots in order, and each drive's kind, label and serial.
void ExpectDrives(const std::vector<Drive>& drives, const std::vector<Expected>& expected) {
  std::vector<std::string> roots;
  for (const Drive& drive : drives) {
    roots.push_back(drive.root);
  }
  std::vector<std::string> expectedRoots;
  for (const Expected& drive : expected) {
    expectedRoots.push_back(drive.root);
  }
  ASSERT_EQ(roots, expectedRoots);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].root);
    EXPECT_EQ(drives[i].type, expected[i].type);
    EXPECT_EQ(drives[i].identity.label, expected[i].label);
    EXPECT_EQ(VolumeSerial(drives[i].identity.uuid), expected[i].serial);
    EXPECT_EQ(drives[i].bounded, expected[i].bounded);
    EXPECT_EQ(drives[i].identity.confirmed, expected[i].known);
  }
}

// A device probe that must not be needed.
DeviceProbe Unused() {
  return [](const std::string& path) -> std::optional<FsIdentity> {
    ADD_FAILURE() << "device read: " << path;
    return std::nullopt;
  };
}

// The fixture machine of that name, with the udev it ran, if any.
Sources Fixture(const std::string& name, DeviceProbe probe) {
  const std::string root = kFixtures + "/" + name;
  return {root, std::move(probe), testing_support::FixtureUdev(root), {}};
}

using platform::DRIVE_CDROM;
using platform::DRIVE_FIXED;
using platform::DRIVE_RAMDISK;
using platform::DRIVE_REMOTE;
using platform::DRIVE_REMOVABLE;

TEST(DriveTable, DesktopWithNvmeEfiPartitionUsbStickAndDvd) {
  ExpectDrives(ReadDrives(Fixture("desktop", Unused())),
               {
                   {"/", DRIVE_FIXED, "", 0x3F1C2A9E},
                   {"/boot/efi/", DRIVE_FIXED, "", 0x5C1E9A2F},
                   // Three btrfs mounts of one filesystem appear once, under its shortest path.
                   {"/home/", DRIVE_FIXED, "data pool", 0xA7B8C9D0},
                   {"/tmp/", DRIVE_RAMDISK, "", std::nullopt},
                   {"/media/alice/KINGSTON/", DRIVE_REMOVABLE, "KINGSTON", 0x1A2B3C4D},
                   // A USB disk that does not call itself removable is a fixed drive, as on
                   // Windows; NTFS through FUSE.
                   {"/media/alice/Backup/", DRIVE_FIXED, "Backup", 0x2A3C0F4D, true},
                   {"/media/alice/Ubuntu 22.04 LTS amd64/", DRIVE_CDROM, "Ubuntu 22.04 LTS amd64",
                    0x20220810},
               });
}

TEST(DriveTable, LaptopWithSnapsDockerAndRamDisks) {
  // No squashfs, loop image, Docker overlay, namespace, FUSE helper or hidden /data; the RAM-disks
  // a user made are listed, a read-only tmpfs is not.
  ExpectDrives(ReadDrives(Fixture("laptop", Unused())),
               {
                   {"/", DRIVE_FIXED, "", 0x0C2D4F6A},
                   {"/boot/efi/", DRIVE_FIXED, "", 0xE4A107B3},
                   {"/mnt/ramdisk/", DRIVE_RAMDISK, "", std::nullopt},
                   // udev saved no entry for the zram device: nothing tells its label.
                   {"/mnt/zram/", DRIVE_RAMDISK, "", std::nullopt, false, false},
               });
}

TEST(DriveTable, ServerWithNfsAndCifsShares) {
  ExpectDrives(ReadDrives(Fixture("server", Unused())),
               {
                   {"/", DRIVE_FIXED, "root", 0x8C1D2E3F},
                   {"/boot/", DRIVE_FIXED, "", 0xFFFFFFFF},
                   {"/var/lib/pgsql/", DRIVE_FIXED, "", 0x00A1B2C3},
                   // The second mount of the home share is not listed again.
                   {"/srv/home/", DRIVE_REMOTE, "", std::nullopt, true},
                   {"/mnt/public/", DRIVE_REMOTE, "", std::nullopt, true},
                   {"/mnt/backup/", DRIVE_REMOTE, "", std::nullopt, true},
                   {"/mnt/remote/", DRIVE_REMOTE, "", std::nullopt, true},
                   {"/mnt/dfs/", DRIVE_REMOTE, "", std::nullopt, true},
               });
}

TEST(DriveTable, MountPointsWithBlanksAndLabelsFromDevDisk) {
  // No udev database here: labels come from /dev/disk/by-label, decoded to bytes and no further.
  // The USB disks do not call themselves removable: fixed drives, as on Windows.
  ExpectDrives(ReadDrives(Fixture("blanks", Unused())),
               {
                   {"/", DRIVE_FIXED, "", 0x6E1F2A3B},
                   {"/media/alice/My Passport/", DRIVE_FIXED, "My Passport", 0x64A5F009},
                   {"/mnt/tab\tand\\back\nline/", DRIVE_RAMDISK, "", std::nullopt},
                   {"/media/alice/Fotos & <b>Videos</b> %s/", DRIVE_FIXED,
                    "Fotos & <b>Videos</b> %s", 0xD2C3B4A5},
               });
}

TEST(DriveTable, ContainerWithoutDevDiskReadsTheDevicesItMay) {
  std::vector<std::string> probed;
  const DeviceProbe probe = [&probed](const std::string& path) -> std::optional<FsIdentity> {
    probed.push_back(path);
    if (path.ends_with("/dev/vdb")) {
      return FsIdentity{"work", "b1c2d3e4-f5a6-4b7c-8d9e-0f1a2b3c4d5e", "ext4", true};
    }
    return std::nullopt;  // the host's disk is not readable from here
  };
  // The overlay root is listed; the files bound over /etc are not; the volume is, once.
  ExpectDrives(ReadDrives(Fixture("container", probe)),
               {
                   {"/", DRIVE_FIXED, "", std::nullopt},
                   // No source can read it: its label and serial are unknown, not empty.
                   {"/var/lib/postgresql/data/", DRIVE_FIXED, "", std::nullopt, false, false},
                   {"/workspace/", DRIVE_FIXED, "work", 0xB1C2D3E4},
               });
  EXPECT_EQ(probed, (std::vector<std::string>{kFixtures + "/container/dev/vda1",
                                              kFixtures + "/container/dev/vdb"}));
}

TEST(DriveTable, MissingTreeHasNoDrives) {
  EXPECT_TRUE(ReadDrives(Fixture("no-such-machine", Unused())).empty());
}

// A 64 KB FAT12 volume as a file: boot sector with serial 00A1B2C3, and optionally a volume-label
// entry in the root directory, where the label of a FAT volume lives.
std::string WriteFatImage(const std::string& name, const std::string& label) {
  std::vector<unsigned char> image(64 * 1024, 0);
  const auto put = [&image](std::size_t offset, std::initializer_list<unsigned char> bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  put(0, {0xEB, 0x3C, 0x90});
  std::memcpy(image.data() + 3, "MSWIN4.1", 8);
  put(11, {0x00, 0x02});              // 512 bytes per sector
  put(13, {1});                       // 1 sector per cluster
  put(14, {1, 0});                    // 1 reserved sector
  put(16, {2});                       // 2 FATs
  put(17, {16, 0});                   // 16 root directory entries
  put(19, {128, 0});                  // 128 sectors
  put(21, {0xF8});                    // a fixed disk
  put(22, {1, 0});                    // 1 sector per FAT
  put(36, {0x80, 0, 0x29});           // drive, reserved, extended boot signature
  put(39, {0xC3, 0xB2, 0xA1, 0x00});  // serial 00A1B2C3, little-endian
  std::memcpy(image.data() + 43, "NO NAME    FAT12   ", 19);
  put(510, {0x55, 0xAA});
  for (const std::size_t fat : {512U, 1024U}) {
    image[fat] = 0xF8;
    image[fat + 1] = 0xFF;
    image[fat + 2] = 0xFF;
  }
  if (!label.empty()) {
    std::string entry = label;
    entry.resize(11, ' ');
    std::memcpy(image.data() + 1536, entry.data(), 11);
    image[1536 + 11] = 0x08;  // the volume-label attribute
  }
  const std::string path = ::testing::TempDir() + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file != nullptr) {
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
  }
  return path;
}

TEST(ProbeDevice, ReadsLabelAndSerialOfAReadableVolume) {
  const std::string labelledImage = WriteFatImage("quorvane-fat-label.img", "MY STICK");
  const std::string unlabelledImage = WriteFatImage("quorvane-fat-nolabel.img", "");
  const auto labelled = ProbeDevice(labelledImage);
  const auto unlabelled = ProbeDevice(unlabelledImage);
  std::remove(labelledImage.c_str());
  std::remove(unlabelledImage.c_str());
  ASSERT_TRUE(labelled);
  EXPECT_EQ(labelled->label, "MY STICK");
  EXPECT_EQ(labelled->uuid, "00A1-B2C3");
  EXPECT_EQ(labelled->type, "vfat");
  EXPECT_EQ(VolumeSerial(labelled->uuid), 0x00A1B2C3U);

  // The boot sector's "NO NAME" is no label: the volume has none.
  ASSERT_TRUE(unlabelled);
  EXPECT_EQ(unlabelled->label, "");
  EXPECT_EQ(unlabelled->uuid, "00A1-B2C3");
}

// Each case runs in a process of its own, so this one sees the library's first use.
TEST(ProbeDevice, OpensLibblkidOnlyOnceADeviceCanBeRead) {
  EXPECT_FALSE(ProbeDevice(kFixtures + "/no-such-device"));
  EXPECT_FALSE(testing_support::LibraryLoaded("libblkid"));
  const std::string image = WriteFatImage("quorvane-fat-lazy.img", "LAZY");
  const auto probed = ProbeDevice(image);
  std::remove(image.c_str());
  ASSERT_TRUE(probed);
  EXPECT_EQ(probed->label, "LAZY");
  EXPECT_TRUE(testing_support::LibraryLoaded("libblkid"));
}

TEST(ProbeDevice, GivesNothingForWhatCannotBeReadOrHoldsNoFilesystem) {
  EXPECT_FALSE(ProbeDevice(kFixtures + "/no-such-device"));
  EXPECT_FALSE(ProbeDevice(kFixtures + "/desktop/proc/self/mountinfo"));
}

TEST(MeasureBounded, GivesTheAnswerOfAQueryThatAnswers) {
  bool timedOut = true;
  const auto sizes = MeasureBounded(
      Place{"/share"}, 5s,
      [](const Place&) {
        return std::optional(DiskSizes{.available = 40, .total = 100, .free = 50});
      },
      &timedOut);
  ASSERT_TRUE(sizes);
  EXPECT_EQ(sizes->total, 100U);
  EXPECT_EQ(sizes->available, 40U);
  EXPECT_FALSE(timedOut);
  EXPECT_FALSE(MeasureBounded(
      Place{"/share"}, 5s, [](const Place&) { return std::optional<DiskSizes>(); }, &timedOut));
  EXPECT_FALSE(timedOut);
  // A query that fails by throwing fails the same way, and does not end the program.
  EXPECT_FALSE(MeasureBounded(
      Place{"/share"}, 5s,
      [](const Place&) -> std::optional<DiskSizes> { throw std::runtime_error("gone"); },
      &timedOut));
  EXPECT_FALSE(timedOut);
}

TEST(MeasureBounded, GivesUpOnAQueryThatHangsAndLeavesItBehind) {
  // The query blocks until the test lets it go, as a dead share blocks statvfs.
  struct Gate {
    std::atomic<bool> open{false};
    std::atomic<bool> finished{false};
  };
  auto gate = std::make_shared<Gate>();
  bool timedOut = false;
  const auto sizes = MeasureBounded(
      Place{"/dead"}, 20ms,
      [gate](const Place&) {
        while (!gate->open) {
          std::this_thread::sleep_for(1ms);
        }
        gate->finished = true;
        return std::optional(DiskSizes{1, 1, 1});
      },
      &timedOut);
  EXPECT_FALSE(sizes);
  EXPECT_TRUE(timedOut);
  EXPECT_FALSE(gate->finished);  // the caller did not wait for it
  gate->open = true;
  while (!gate->finished) {
    std::this_thread::sleep_for(1ms);
  }
}

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
                   Recorder::For(record), 50ms);
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

TEST(MeasureAt, AMountThatGoesOrIsReplacedNeverGetsAnotherFilesystemsSize) {
  const auto faults = testing_support::InPrivateMounts([] {
    using testing_support::MountTmpfs;
    constexpr std::uint64_t kRacing = 1024 * 1024;
    if (!MountTmpfs("/mnt", 8192)) {
      return std::string("cannot mount tmpfs");
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
      if (round % 3 == 2) {
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

TEST(ThisMachine, RootVolumeIsAFixedDriveSizedByStatvfs) {
  const auto roots = System::LogicalDriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots.front(), "/");
  EXPECT_EQ(System::DriveType("/"), "Fixed drive");
  std::int64_t total = 0;
  std::int64_t free = 0;
  System::DriveInfo("/", total, free);
  struct statvfs status {};
  ASSERT_EQ(::statvfs("/", &status), 0);
  EXPECT_EQ(total, static_cast<std::int64_t>(status.f_blocks * status.f_frsize));
  // Others write to the disk meanwhile; the free space must still be the same order.
  const auto expectedFree = static_cast<double>(status.f_bavail * status.f_frsize);
  EXPECT_NEAR(static_cast<double>(free), expectedFree, expectedFree * 0.05 + 1e9);
  // A label, "NoName" where a source read the volume and found none, or "" with the serial
  // "0000-0000" where no source can read it (a virtual machine's root device closed to us).
  if (System::VolumeLabel("/").empty()) {
    EXPECT_EQ(System::SerialNumber("/"), "0000-0000");
  }
}

TEST(ThisMachine, DriveListKeepsTheListContract) {
  const platform::DWORD needed = platform::GetLogicalDriveStringsA(0, nullptr);
  ASSERT_GE(needed, 3U);  // at least "/", its NUL and the final NUL
  std::string buffer(needed, '#');
  const platform::DWORD length = platform::GetLogicalDriveStringsA(needed, buffer.data());
  EXPECT_EQ(length, needed - 1);
  EXPECT_EQ(buffer.substr(0, 2), std::string("/\0", 2));
  EXPECT_EQ(buffer[length - 1], '\0');
  EXPECT_EQ(buffer[length], '\0');
  // One character short: the need again, and the buffer left alone.
  std::string shorter(needed - 1, '#');
  EXPECT_EQ(platform::GetLogicalDriveStringsA(needed - 1, shorter.data()), needed);
  EXPECT_EQ(shorter, std::string(needed - 1, '#'));
  // Where udev does not run, nothing of it is loaded: start-up memory stays that of the program.
  platform::GetKeyboardType(0);
  if (!platform::linux_udev::Runs()) {
    EXPECT_FALSE(testing_support::LibraryLoaded("libsystemd"));
  }
}

TEST(ThisMachine, APathThatIsNoDriveIsNoRoot) {
  EXPECT_EQ(platform::GetDriveTypeA("/proc/"), platform::DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(System::DriveType("/proc/"), "");
  EXPECT_EQ(System::VolumeLabel("/proc/"), "");
  EXPECT_EQ(System::SerialNumber("/proc/"), "0000-0000");
  std::string name = "unchanged";
  EXPECT_FALSE(platform::Dir("/proc/", platform::kAttributeVolume, &name));
}

}  // namespace
