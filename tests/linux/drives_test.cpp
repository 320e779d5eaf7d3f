// The drive calls on this machine, checked against statvfs and the list contract.
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <cstdint>
#include <string>

#include "platform/drives.h"
#include "platform/keyboard.h"
#include "platform/linux/udev.h"
#include "probes/system.h"
#include "tests/support/loaded_libraries.h"

namespace {

TEST(ThisMachine, RootVolumeIsAFixedDriveSizedByStatvfs) {
  const auto roots = System::LogicalDriveRoots();
  ASSERT_TRUE(roots && !roots->empty());
  EXPECT_EQ(roots->front(), "/");
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
