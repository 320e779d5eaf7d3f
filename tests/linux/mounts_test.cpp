// The parsers behind the drive list, fed the text the kernel, udev and fstab report, and the choice
// of drives in a private mount namespace with covered and stacked mounts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/linux/drive_choice.h"
#include "platform/linux/drive_list.h"
#include "platform/linux/drive_table.h"
#include "platform/linux/mount_point.h"
#include "tests/support/fixture_udev.h"
#include "tests/support/private_mounts.h"

namespace {

using namespace platform::linux_drives;

const std::string kFixtures = QUORVANE_FIXTURES;  // NOLINT(cert-err58-cpp)

TEST(UnescapeOctal, TurnsTheKernelsEscapesBackIntoBytesOnce) {
  struct Case {
    const char* escaped;
    std::string plain;
  };
  const Case cases[] = {
      {"/media/a/My\\040Passport", "/media/a/My Passport"},
      {"/mnt/a\\011b", "/mnt/a\tb"},
      {"/mnt/a\\012b", "/mnt/a\nb"},
      {"/mnt/a\\134b", "/mnt/a\\b"},
      // An escaped backslash followed by digits is one backslash and the digits, not a blank.
      {"/mnt/a\\134040", "/mnt/a\\040"},
      // Not an escape: kept as it stands.
      {"/mnt/\\04", "/mnt/\\04"},
      {"/mnt/\\999", "/mnt/\\999"},
      {"/mnt/end\\", "/mnt/end\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnescapeOctal(c.escaped), c.plain) << c.escaped;
  }
}

TEST(ParseMountInfo, ReadsEveryFieldWhateverTheNumberOfOptionalFields) {
  const auto mounts = ParseMountInfo(
      "29 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw,errors=remount-ro\n"
      "66 29 0:35 /@home /home rw,relatime shared:33 master:4 - btrfs /dev/nvme0n1p3 rw,ssd\n"
      "80 29 8:17 / /media/a/My\\040Passport rw,nosuid - exfat /dev/sdb1 rw\n");
  ASSERT_EQ(mounts.size(), 3U);
  EXPECT_EQ(mounts[0].major, 259U);
  EXPECT_EQ(mounts[0].minor, 2U);
  EXPECT_EQ(mounts[0].mountPoint, "/");
  EXPECT_EQ(mounts[0].fsType, "ext4");
  EXPECT_EQ(mounts[0].source, "/dev/nvme0n1p2");
  EXPECT_EQ(mounts[0].superOptions, "rw,errors=remount-ro");
  EXPECT_EQ(mounts[1].root, "/@home");
  EXPECT_EQ(mounts[1].mountPoint, "/home");
  EXPECT_EQ(mounts[1].fsType, "btrfs");
  EXPECT_EQ(mounts[2].mountPoint, "/media/a/My Passport");
  EXPECT_EQ(mounts[2].options, "rw,nosuid");
}

TEST(ParseMountInfo, SkipsLinesItCannotRead) {
  const auto mounts = ParseMountInfo(
      "\n"
      "garbage\n"
      "1 2 8:1 / /a rw ext4 /dev/sda1 rw\n"          // no separator
      "1 2 x:1 / /b rw - ext4 /dev/sda1 rw\n"        // no device number
      "1 2 8:1 / /c rw -\n"                          // nothing after the separator
      "1 2 8:1 / relative rw - ext4 /dev/sda1 rw\n"  // not a path
      "1 2 8:1 / /good rw - ext4 /dev/sda1 rw");     // no final newline
  ASSERT_EQ(mounts.size(), 1U);
  EXPECT_EQ(mounts[0].mountPoint, "/good");
}

TEST(HiddenMountPoints, TakesTheMountsFstabHidesFromFileManagers) {
  const auto hidden = HiddenMountPoints(
      "# UUID=1 /commented ext4 x-gvfs-hide 0 0\n"
      "UUID=2 /data ext4 defaults,x-gvfs-hide 0 2\n"
      "UUID=3 /mnt/my\\040disk ext4 x-gvfs-hide,noatime 0 2\n"
      "UUID=4 /shown ext4 defaults,x-gvfs-show 0 2\n"
      "UUID=5 /short ext4\n");
  EXPECT_EQ(hidden, (std::vector<std::string>{"/data", "/mnt/my disk"}));
}

MountEntry Mount(std::uint32_t major, std::string point, std::string type, std::string source,
                 std::string options = "rw,relatime") {
  static std::uint32_t minor = 0;
  MountEntry mount;
  mount.major = major;
  mount.minor = ++minor;  // each its own volume unless a test says otherwise
  mount.root = "/";
  mount.mountPoint = std::move(point);
  mount.fsType = std::move(type);
  mount.source = std::move(source);
  mount.options = std::move(options);
  return mount;
}

TEST(MayBeDrive, KeepsPlacesForFilesAndDropsTheRest) {
  struct Case {
    MountEntry mount;
    bool drive;
  };
  const Case cases[] = {
      {Mount(8, "/data", "ext4", "/dev/sda3"), true},
      {Mount(0, "/home", "btrfs", "/dev/nvme0n1p3"), true},  // btrfs shows no real number
      {Mount(8, "/media/b", "fuseblk", "/dev/sdc1"), true},
      {Mount(0, "/srv/home", "nfs4", "server:/export"), true},
      {Mount(0, "/mnt/p", "cifs", "//nas/p"), true},
      {Mount(0, "/mnt/r", "fuse.sshfs", "a@b:/"), true},
      {Mount(0, "/mnt/h", "9p", "hostshare"), true},
      {Mount(0, "/mnt/v", "virtiofs", "hostshare"), true},  // a virtual machine's host folder
      {Mount(0, "/tmp", "tmpfs", "tmpfs"), true},
      {Mount(0, "/mnt/ram", "tmpfs", "tmpfs"), true},
      {Mount(0, "/media/ram", "ramfs", "ramfs"), true},
      {Mount(0, "/mnt/ro", "tmpfs", "tmpfs", "ro,relatime"), false},
      {Mount(0, "/run", "tmpfs", "tmpfs"), false},
      {Mount(0, "/dev/shm", "tmpfs", "tmpfs"), false},
      {Mount(0, "/mnteer", "tmpfs", "tmpfs"), false},
      {Mount(0, "/proc", "proc", "proc"), false},
      {Mount(0, "/sys/fs/cgroup", "cgroup2", "cgroup2"), false},
      {Mount(0, "/proc/sys/fs/binfmt_misc", "autofs", "systemd-1"), false},
      {Mount(0, "/dev", "devtmpfs", "udev"), false},
      {Mount(7, "/snap/core22/1122", "squashfs", "/dev/loop1"), false},
      {Mount(7, "/mnt/image", "ext4", "/dev/loop4"), false},
      {Mount(0, "/var/lib/docker/overlay2/x/merged", "overlay", "overlay"), false},
      {Mount(0, "/run/user/1000/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse"), false},
      {Mount(8, "/hidden", "ext4", "/dev/sda4", "rw,x-gvfs-hide"), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayBeDrive(c.mount), c.drive) << c.mount.mountPoint << " " << c.mount.fsType;
  }
}

// The mount as another mount of the volume of `of`.
MountEntry Same(MountEntry mount, const MountEntry& of) {
  mount.major = of.major;
  mount.minor = of.minor;
  return mount;
}

std::vector<std::string> SelectedPoints(
    const std::vector<MountEntry>& mounts, const std::vector<std::string>& hidden = {},
    const std::function<bool(const MountEntry&)>& isDirectory = {}) {
  std::vector<std::string> points;
  for (const std::size_t index : SelectDrives(mounts, hidden, isDirectory)) {
    points.push_back(mounts[index].mountPoint);
  }
  return points;
}

TEST(SelectDrives, ListsEachVolumeOnceInMountOrder) {
  auto home = Mount(0, "/home", "btrfs", "/dev/nvme0n1p3");
  home.root = "/@home";
  auto music = Same(Mount(0, "/srv/music", "btrfs", "/dev/nvme0n1p3"), home);
  music.root = "/@home/alice/Music";
  auto snapshots = Same(Mount(0, "/.snapshots", "btrfs", "/dev/nvme0n1p3"), home);
  snapshots.root = "/@snapshots";
  const auto root = Mount(8, "/", "ext4", "/dev/sda2");
  auto rootBind = Same(Mount(8, "/var/snap/x", "ext4", "/dev/sda2"), root);
  rootBind.root = "/usr/share/x";
  const std::vector<MountEntry> mounts = {
      Mount(0, "/proc", "proc", "proc"), rootBind, root, music, home, snapshots,
      Mount(0, "/tmp", "tmpfs", "tmpfs")};
  // The root is listed where mountinfo has it, its bind mount not at all; of the btrfs mounts the
  // one with the shortest mount point.
  EXPECT_EQ(SelectedPoints(mounts), (std::vector<std::string>{"/", "/home", "/tmp"}));
}

TEST(SelectDrives, ListsAZfsPoolOnceWhateverItsDatasets) {
  const std::vector<MountEntry> mounts = {
      Mount(0, "/", "zfs", "rpool/ROOT/ubuntu_x1"),
      Mount(0, "/boot", "zfs", "bpool/BOOT/ubuntu_x1"),
      Mount(0, "/home/alice", "zfs", "rpool/USERDATA/alice_x1"),
      Mount(0, "/var/log", "zfs", "rpool/ROOT/ubuntu_x1/var/log"),
      Mount(0, "/tank/media", "zfs", "tank/media"),
      Mount(0, "/tank", "zfs", "tank"),
  };
  EXPECT_EQ(SelectedPoints(mounts), (std::vector<std::string>{"/", "/boot", "/tank"}));
}

TEST(SelectDrives, PrefersTheRealDeviceNameThenTheMountNearestTheFilesystemRoot) {
  auto stand = Mount(8, "/a", "ext4", "/dev/root");
  auto real = Same(Mount(8, "/bb", "ext4", "/dev/sdb1"), stand);
  EXPECT_EQ(SelectedPoints({stand, real}), (std::vector<std::string>{"/bb"}));

  auto deep = Mount(8, "/x", "ext4", "/dev/sdb1");
  deep.root = "/srv/data";
  auto shallow = Same(Mount(8, "/y", "ext4", "/dev/sdb1"), deep);
  shallow.root = "/srv";
  EXPECT_EQ(SelectedPoints({deep, shallow}), (std::vector<std::string>{"/y"}));
}

TEST(SelectDrives, KeepsTheRootWhateverItIsAndDropsWhatIsHiddenOrCovered) {
  const std::vector<MountEntry> mounts = {
      Mount(0, "/", "overlay", "overlay"),       Mount(8, "/data", "ext4", "/dev/sdb1"),
      Mount(8, "/scratch", "ext4", "/dev/sdc1"), Mount(0, "/mnt/share", "nfs", "a:/old"),
      Mount(0, "/mnt/share", "nfs", "a:/new"),  // mounted over the first
  };
  EXPECT_EQ(SelectedPoints(mounts, {"/scratch"}),
            (std::vector<std::string>{"/", "/data", "/mnt/share"}));
  const auto chosen = SelectDrives(mounts, {"/scratch"}, {});
  EXPECT_EQ(mounts[chosen.back()].source, "a:/new");
}

TEST(SelectDrives, DropsFilesBoundOverPaths) {
  auto hosts = Mount(254, "/etc/hosts", "ext4", "/dev/vda1");
  hosts.root = "/var/lib/docker/containers/ab/hosts";
  auto volume = Same(Mount(254, "/var/lib/postgresql/data", "ext4", "/dev/vda1"), hosts);
  volume.root = "/var/lib/docker/volumes/pg/_data";
  const auto isDirectory = [](const MountEntry& mount) { return mount.mountPoint != "/etc/hosts"; };
  EXPECT_EQ(SelectedPoints({Mount(0, "/", "overlay", "overlay"), hosts, volume}, {}, isDirectory),
            (std::vector<std::string>{"/", "/var/lib/postgresql/data"}));
}

TEST(SelectDrives, APointShowsItsMountByMountIdElseByDevice) {
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

TEST(DecodeUdevEscapes, DecodesHexEscapesOnceAndNothingElse) {
  EXPECT_EQ(DecodeUdevEscapes("My\\x20Passport"), "My Passport");
  EXPECT_EQ(DecodeUdevEscapes("a\\x2fb"), "a/b");
  EXPECT_EQ(DecodeUdevEscapes("a\\x5cx20"), "a\\x20");  // an escaped backslash stays one
  EXPECT_EQ(DecodeUdevEscapes("\\xZZ\\x2"), "\\xZZ\\x2");
  EXPECT_EQ(DecodeUdevEscapes("%s <b>"), "%s <b>");
  EXPECT_EQ(DecodeUdevEscapes("\\xc3\\xa9t\\xc3\\xa9"), "\xc3\xa9t\xc3\xa9");
}

TEST(IdentityFromProperties, TakesTheEncodedLabelOverTheSafeOneAndKnowsAnUnlabelledVolume) {
  const auto identity = testing_support::FixtureUdev(kFixtures + "/desktop")(8, 17);
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->label, "KINGSTON");
  const auto from = [](std::map<std::string, std::string> properties) {
    return IdentityFromProperties([&properties](const char* key) -> std::optional<std::string> {
      const auto found = properties.find(key);
      return found == properties.end() ? std::nullopt : std::optional(found->second);
    });
  };
  const auto passport = from({{"ID_FS_LABEL", "My_Passport"},
                              {"ID_FS_LABEL_ENC", "My\\x20Passport"},
                              {"ID_FS_UUID", "64A5-F009"},
                              {"ID_FS_TYPE", "exfat"}});
  EXPECT_EQ(passport.label, "My Passport");
  EXPECT_EQ(passport.uuid, "64A5-F009");
  EXPECT_EQ(passport.type, "exfat");
  EXPECT_TRUE(passport.confirmed);
  EXPECT_EQ(from({{"ID_FS_LABEL", "plain"}, {"ID_FS_TYPE", "ext4"}}).label, "plain");
  // A filesystem udev read without a label has none; a device it found no filesystem on tells
  // nothing.
  EXPECT_TRUE(from({{"ID_FS_TYPE", "ext4"}}).confirmed);
  EXPECT_FALSE(from({{"ID_MODEL", "x"}}).confirmed);
}

TEST(VolumeSerial, IsTheFilesystemsOwnSerialOrTheStartOfItsUuid) {
  struct Case {
    const char* uuid;
    std::optional<std::uint32_t> serial;
  };
  const Case cases[] = {
      {"1A2B-3C4D", 0x1A2B3C4DU},                             // FAT: exactly its serial
      {"64a5-f009", 0x64A5F009U},                             // exFAT
      {"5E2A3C1B2A3C0F4D", 0x2A3C0F4DU},                      // NTFS: the low half
      {"3f1c2a9e-8b7d-4e21-9c3a-5d6e7f8a9b0c", 0x3F1C2A9EU},  // ext4: the first 32 bits
      {"00a1b2c3-d4e5-4f60-8172-93a4b5c6d7e8", 0x00A1B2C3U},
      {"2022-08-10-16-21-00-00", 0x20220810U},  // ISO 9660: its date
      {"1234abc", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VolumeSerial(c.uuid), c.serial) << c.uuid;
  }
}

TEST(KindOf, NamesTheKindByFilesystemAndDevice) {
  const BlockDevice disk{"sda1", "sda", false};
  const BlockDevice stick{"sdb1", "sdb", true};
  const BlockDevice usbDisk{"sdc1", "sdc", false};
  const BlockDevice card{"mmcblk0p1", "mmcblk0", true};
  const BlockDevice optical{"sr0", "sr0", true};
  const BlockDevice zram{"zram0", "zram0", false};
  EXPECT_EQ(KindOf(Mount(8, "/", "ext4", "/dev/sda1"), disk), platform::DRIVE_FIXED);
  EXPECT_EQ(KindOf(Mount(8, "/s", "vfat", "/dev/sdb1"), stick), platform::DRIVE_REMOVABLE);
  // A USB hard disk is not flagged removable: fixed, as on Windows.
  EXPECT_EQ(KindOf(Mount(8, "/u", "ntfs3", "/dev/sdc1"), usbDisk), platform::DRIVE_FIXED);
  EXPECT_EQ(KindOf(Mount(179, "/c", "exfat", "/dev/mmcblk0p1"), card), platform::DRIVE_REMOVABLE);
  EXPECT_EQ(KindOf(Mount(11, "/cd", "iso9660", "/dev/sr0"), optical), platform::DRIVE_CDROM);
  EXPECT_EQ(KindOf(Mount(11, "/dvd", "udf", "/dev/sr0"), std::nullopt), platform::DRIVE_CDROM);
  EXPECT_EQ(KindOf(Mount(252, "/z", "ext4", "/dev/zram0"), zram), platform::DRIVE_RAMDISK);
  EXPECT_EQ(KindOf(Mount(0, "/tmp", "tmpfs", "tmpfs"), std::nullopt), platform::DRIVE_RAMDISK);
  EXPECT_EQ(KindOf(Mount(0, "/n", "nfs4", "a:/b"), std::nullopt), platform::DRIVE_REMOTE);
  EXPECT_EQ(KindOf(Mount(0, "/r", "fuse.sshfs", "a@b:"), std::nullopt), platform::DRIVE_REMOTE);
  EXPECT_EQ(KindOf(Mount(0, "/", "overlay", "overlay"), std::nullopt), platform::DRIVE_FIXED);
}

}  // namespace

namespace {

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
