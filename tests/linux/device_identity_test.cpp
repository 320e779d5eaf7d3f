// What identifies a drive's device: udev's properties, the serial made from a UUID, the kind of
// drive, and the filesystem read from the device itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/linux/device_identity.h"
#include "tests/support/fixture_udev.h"
#include "tests/support/loaded_libraries.h"
#include "tests/support/mount_entries.h"

namespace {

using namespace platform::linux_drives;
using testing_support::Mount;

const std::string kFixtures = QUORVANE_FIXTURES;  // NOLINT(cert-err58-cpp)

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

// A 64 KB FAT12 volume as a file: boot sector with serial 00A1B2C3, and optionally a volume-label
// entry in the root directory, where the label of a FAT volume lives.
std::string WriteFatImage(const std::string& name, const std::string& label) {
  std::vector<unsigned char> image(std::size_t{64} * 1024, 0);
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
  std::string path = ::testing::TempDir() + name;
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

}  // namespace
