// The drives of real machines, read from fixture trees of their /proc, /sys, /dev and /run/udev,
// and of this machine in a private mount namespace with covered and stacked mounts.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/linux/drive_list.h"
#include "platform/linux/mount_point.h"
#include "tests/support/fixture_udev.h"
#include "tests/support/private_namespaces.h"

namespace {

using namespace platform::linux_drives;

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
  roots.reserve(drives.size());
  for (const Drive& drive : drives) {
    roots.push_back(drive.root);
  }
  std::vector<std::string> expectedRoots;
  expectedRoots.reserve(expected.size());
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
  return {root, std::move(probe), testing_support::FixtureUdev(root), {}, {}};
}

using platform::DRIVE_CDROM;
using platform::DRIVE_FIXED;
using platform::DRIVE_RAMDISK;
using platform::DRIVE_REMOTE;
using platform::DRIVE_REMOVABLE;

TEST(DriveList, DesktopWithNvmeEfiPartitionUsbStickAndDvd) {
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

TEST(DriveList, LaptopWithSnapsDockerAndRamDisks) {
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

TEST(DriveList, ServerWithNfsAndCifsSharesAndARamDiskBelowOne) {
  // Every point that may wait on a share, the RAM-disk below one too, is looked at in one call; the
  // backup share does not answer in time and the RAM-disk's point shows its share instead
  // (covered).
  std::vector<std::vector<std::string>> asked;
  Sources sources = Fixture("server", Unused());
  const std::string root = sources.root;
  sources.lookShares = [&asked, &root](const std::vector<std::string>& paths) {
    asked.push_back(paths);
    std::vector<ShareLook> looks(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
      looks[i].late = paths[i] == root + "/mnt/backup";
      if (paths[i] == root + "/mnt/remote/scratch") {
        looks[i].facts = PointFacts{0, 48, true, false, 74};
      }
    }
    return looks;
  };
  std::vector<Expected> expected = {
      {"/", DRIVE_FIXED, "root", 0x8C1D2E3F},
      {"/boot/", DRIVE_FIXED, "", 0xFFFFFFFF},
      {"/var/lib/pgsql/", DRIVE_FIXED, "", 0x00A1B2C3},
      // The second mount of the home share is not listed again.
      {"/srv/home/", DRIVE_REMOTE, "", std::nullopt, true},
      {"/mnt/public/", DRIVE_REMOTE, "", std::nullopt, true},
      {"/mnt/backup/", DRIVE_REMOTE, "", std::nullopt, true},
      {"/mnt/remote/", DRIVE_REMOTE, "", std::nullopt, true},
      {"/mnt/dfs/", DRIVE_REMOTE, "", std::nullopt, true},
  };
  const auto drives = ReadDrives(sources);
  ExpectDrives(drives, expected);
  ASSERT_EQ(asked.size(), 1U);
  EXPECT_EQ(asked[0], (std::vector<std::string>{
                          root + "/srv/home", root + "/mnt/public", root + "/mnt/backup",
                          root + "/home/alice/shared home", root + "/mnt/remote",
                          root + "/mnt/remote/scratch", root + "/mnt/dfs"}));
  for (const Drive& drive : drives) {
    EXPECT_EQ(drive.late, drive.root == "/mnt/backup/") << drive.root;
  }
  // Without helpers nothing below a share is looked at, and it is given the benefit of the doubt.
  expected.insert(expected.end() - 1,
                  {"/mnt/remote/scratch/", DRIVE_RAMDISK, "", std::nullopt, true});
  ExpectDrives(ReadDrives(Fixture("server", Unused())), expected);
}

TEST(DriveList, MountPointsWithBlanksAndLabelsFromDevDisk) {
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

TEST(DriveList, ContainerWithoutDevDiskReadsTheDevicesItMay) {
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

TEST(DriveList, MissingTreeHasNoDrives) {
  EXPECT_TRUE(ReadDrives(Fixture("no-such-machine", Unused())).empty());
}

// The drives of this process's mount namespace as the program reads them, and what each measures.
struct Listed {
  std::vector<Drive> drives;
  std::map<std::string, std::uint64_t> totals;  // by root; absent where the size query failed
};

Listed ListThisNamespace() {
  Listed listed;
  listed.drives = ReadDrives(ThisMachine());
  for (const Drive& drive : listed.drives) {
    if (const auto sizes = MeasureAt(PlaceOf(drive))) {
      listed.totals[drive.root] = sizes->total;
    }
  }
  return listed;
}

// What is wrong with the listing in a few words each; empty when nothing is.
std::string Check(const Listed& listed, const std::map<std::string, std::uint64_t>& shown,
                  const std::vector<std::string>& notShown) {
  std::string faults;
  std::map<std::string, const Drive*> byRoot;
  for (const Drive& drive : listed.drives) {
    byRoot[drive.root] = &drive;
    if (drive.identity.label == "HIDDEN") {
      faults += "a covered volume's label shows at " + drive.root + "; ";
    }
  }
  for (const auto& [root, total] : shown) {
    const auto found = listed.totals.find(root);
    if (byRoot.count(root) == 0) {
      faults += root + " missing; ";
    } else if (found == listed.totals.end() || found->second != total) {
      faults += root + " has the wrong size; ";
    }
  }
  for (const std::string& root : notShown) {
    if (byRoot.count(root) != 0) {
      faults += root + " listed though covered; ";
    }
  }
  // Rebuilt from the kernel without the program: each listed root is its mount's directory now
  // (btrfs shows a subvolume's own device number instead).
  for (const Drive& drive : listed.drives) {
    struct stat status {};
    if (drive.mount.fsType != "btrfs" &&
        (::stat(drive.root.c_str(), &status) != 0 || major(status.st_dev) != drive.mount.major ||
         minor(status.st_dev) != drive.mount.minor)) {
      faults += drive.root + " shows another filesystem; ";
    }
  }
  return faults;
}

constexpr std::uint64_t kKiB = 1024;

TEST(SelectDrives, AMountCoveredOnItsPointOrAParentIsNoDriveInARealNamespace) {
  const auto faults = testing_support::InPrivateMounts([] {
    using testing_support::MountTmpfs;
    if (!MountTmpfs("/mnt", 16384) || !MountTmpfs("/media", 1024)) {
      return std::string("cannot mount tmpfs");
    }
    // A RAM-disk under a directory that a later tmpfs covers, without a directory of that name.
    ::mkdir("/mnt/p", 0755);
    MountTmpfs("/mnt/p/child", 1024);
    MountTmpfs("/mnt/p", 2048);
    // The same with a directory of that name in the covering tmpfs: its size is the cover's.
    ::mkdir("/mnt/s", 0755);
    MountTmpfs("/mnt/s/c", 1024);
    MountTmpfs("/mnt/s", 3072);
    ::mkdir("/mnt/s/c", 0755);
    // One tmpfs, covered at the shorter point and visible at the longer one.
    ::mkdir("/mnt/r", 0755);
    MountTmpfs("/mnt/r/c", 4096);
    ::mkdir("/media/visible_and_longer", 0755);
    ::mount("/mnt/r/c", "/media/visible_and_longer", nullptr, MS_BIND, nullptr);
    MountTmpfs("/mnt/r", 1024);
    // Two RAM-disks stacked on one point: the top one.
    MountTmpfs("/mnt/stack", 1024);
    MountTmpfs("/mnt/stack", 2048);
    // A labelled ext4 image covered by a tmpfs that has a directory of its name.
    ::mkdir("/mnt/q", 0755);
    ::mkdir("/mnt/q/c", 0755);
    const bool image = std::system(
                           "mkfs.ext4 -q -L HIDDEN /mnt/hidden.img 4M >/dev/null 2>&1 && "
                           "mount -o loop /mnt/hidden.img /mnt/q/c >/dev/null 2>&1") == 0;
    MountTmpfs("/mnt/q", 1024);
    ::mkdir("/mnt/q/c", 0755);

    const Listed listed = ListThisNamespace();
    std::string faults = Check(listed,
                               {{"/mnt/p/", 2048 * kKiB},
                                {"/mnt/s/", 3072 * kKiB},
                                {"/mnt/q/", 1024 * kKiB},
                                {"/mnt/stack/", 2048 * kKiB},
                                {"/media/visible_and_longer/", 4096 * kKiB}},
                               {"/mnt/p/child/", "/mnt/s/c/", "/mnt/r/c/", "/mnt/q/c/"});
    if (!image) {
      std::fprintf(stderr, "no ext4 image could be mounted; the labelled case was left out\n");
    }
    return faults;
  });
  if (!faults) {
    GTEST_SKIP() << "needs root for a private mount namespace";
  }
  EXPECT_EQ(*faults, "");
}

}  // namespace
