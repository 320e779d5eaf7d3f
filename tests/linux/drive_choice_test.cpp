// The choice of drives from the mount table: which mounts may be drives, and which one of each
// volume is listed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/linux/drive_choice.h"
#include "tests/support/mount_entries.h"

namespace {

using namespace platform::linux_drives;
using testing_support::Mount;

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
      {Mount(0, "/tmp/ram", "tmpfs", "tmpfs"), true},
      {Mount(0, "/tmp/build/cache", "ramfs", "ramfs"), true},
      {Mount(0, "/tmpfiles", "tmpfs", "tmpfs"), false},
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

}  // namespace
