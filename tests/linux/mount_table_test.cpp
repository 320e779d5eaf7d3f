// The mount table's parsers, fed the text the kernel and fstab report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/mount_table.h"

namespace {

using namespace platform::linux_drives;

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

}  // namespace
