// The Win32 backend and the probes under Wine, held to the contract the fake platform keeps and
// checked against what Wine's own environment and calls say.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/identity.h"
#include "platform/keyboard.h"
#include "platform/sysinfo.h"
#include "probes/system.h"

// After the platform headers: <windows.h> defines their constants' names as macros.
#include "tests/win32/wine_facts.h"

namespace {

using wine_facts::Environment;
using wine_facts::Lower;

// First in this program: the backend turns the box off once, on the first drive call of a process.
TEST(WineDrives, TheFirstDriveCallTurnsOffTheInsertADiskBox) {
  ::SetErrorMode(0);
  static_cast<void>(System::DriveType("A:\\"));
  EXPECT_NE(::GetErrorMode() & SEM_FAILCRITICALERRORS, 0U);
}

TEST(WineNames, AreTheOnesWinesEnvironmentGives) {
  EXPECT_EQ(System::ComputerName(), Environment("COMPUTERNAME"));
  EXPECT_EQ(System::UserName(), Environment("USERNAME"));
}

TEST(WineNames, ANameThatDoesNotFitFailsAndAsksForItsCapacity) {
  const std::string computer = Environment("COMPUTERNAME");
  const std::string user = Environment("USERNAME");
  ASSERT_FALSE(computer.empty());
  ASSERT_FALSE(user.empty());
  char buffer[4] = {'#', '#', '#', '#'};
  platform::DWORD size = 1;
  EXPECT_EQ(platform::GetComputerNameA(buffer, &size), 0);
  EXPECT_EQ(size, computer.size() + 1);
  size = 1;
  EXPECT_EQ(platform::GetUserNameA(buffer, &size), 0);
  EXPECT_EQ(size, user.size() + 1);

  // On success the computer name is counted without its NUL, the user name with it.
  std::vector<char> fits(64, ' ');
  size = 64;
  ASSERT_NE(platform::GetComputerNameA(fits.data(), &size), 0);
  EXPECT_EQ(size, computer.size());
  size = 64;
  ASSERT_NE(platform::GetUserNameA(fits.data(), &size), 0);
  EXPECT_EQ(size, user.size() + 1);
}

TEST(WineDirectories, AreTheWindowsTreeAndTheUsersTemp) {
  EXPECT_EQ(Lower(System::WinDir()), "c:\\windows\\");
  EXPECT_EQ(Lower(System::WinDir()), Lower(Environment("windir") + "\\"));
  EXPECT_EQ(Lower(System::SystemDir()), "c:\\windows\\system32\\");
  const std::string temp = System::TempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(Lower(temp), Lower(Environment("TEMP") + "\\"));
  EXPECT_NE(::GetFileAttributesA(temp.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0U);
}

struct DirectoryCall {
  const char* name;
  std::function<platform::DWORD(char*, platform::DWORD)> call;
};

// ctest names each case by what this prints.
void PrintTo(const DirectoryCall& value, std::ostream* out) {
  *out << value.name;
}

class WineDirectoryContract : public ::testing::TestWithParam<DirectoryCall> {};

TEST_P(WineDirectoryContract, ASmallBufferIsLeftAloneAndTheNeedReported) {
  const auto& call = GetParam().call;
  char small[4] = {'#', '#', '#', '#'};
  const platform::DWORD needed = call(small, 3);
  EXPECT_GT(needed, 3U);
  EXPECT_EQ(std::string(small, 4), "####");

  std::vector<char> exact(needed + 2, '#');
  const platform::DWORD written = call(exact.data(), needed);
  EXPECT_EQ(written, needed - 1);
  EXPECT_EQ(exact[written], '\0');
  EXPECT_EQ(exact[needed], '#');
  EXPECT_EQ(std::strlen(exact.data()), written);
}

INSTANTIATE_TEST_SUITE_P(Directories, WineDirectoryContract,
                         ::testing::Values(DirectoryCall{"Windows", platform::GetWindowsDirectoryA},
                                           DirectoryCall{"System", platform::GetSystemDirectoryA},
                                           DirectoryCall{
                                               "Temp", [](char* buffer, platform::DWORD capacity) {
                                                 return platform::GetTempPathA(capacity, buffer);
                                               }}));

TEST(WineDrives, TheListDoesNotFitTenCharactersAndIsAskedForAgain) {
  const std::vector<std::string> expected = wine_facts::DriveRoots();
  // cmake/wine-run gives the prefix C:, D:, N: and Z: at least.
  ASSERT_GE(expected.size(), 4U);
  const auto length = static_cast<platform::DWORD>(4 * expected.size());

  std::string first(10, '#');
  EXPECT_EQ(platform::GetLogicalDriveStringsA(10, first.data()), length + 1);
  EXPECT_EQ(first, std::string(10, '#'));

  std::string second(length + 1, '#');
  ASSERT_EQ(platform::GetLogicalDriveStringsA(length + 1, second.data()), length);
  std::string list;
  for (const auto& root : expected) {
    list += root + '\0';
  }
  EXPECT_EQ(second, list + '\0');
  EXPECT_EQ(System::LogicalDriveRoots(), expected);
}

TEST(WineDrives, KindsAndSizesOfTheSystemDrives) {
  for (const std::string root : {"C:\\", "Z:\\"}) {
    SCOPED_TRACE(root);
    EXPECT_EQ(System::DriveType(root), "Fixed drive");
    std::int64_t total = 0;
    std::int64_t free = 0;
    System::DriveInfo(root, total, free);
    EXPECT_EQ(static_cast<std::uint64_t>(total), wine_facts::TotalBytes(root));
    EXPECT_GT(total, 0);
    EXPECT_GT(free, 0);
    EXPECT_LE(free, total);
    // Other programs write to the disk meanwhile; the free space only has to be about the same.
    const auto wine = static_cast<std::int64_t>(wine_facts::FreeBytes(root));
    EXPECT_LT(std::abs(free - wine), std::int64_t{1} << 30);
  }
}

TEST(WineDrives, ANetworkDriveIsSizedLikeAnyOther) {
  EXPECT_EQ(System::DriveType("N:\\"), "Network drive");
  std::int64_t total = 0;
  std::int64_t free = 0;
  System::DriveInfo("N:\\", total, free);
  EXPECT_EQ(static_cast<std::uint64_t>(total), wine_facts::TotalBytes("N:\\"));
  EXPECT_GT(total, 0);
}

TEST(WineDrives, CountsAgreeWithTheDriveKindsWineReports) {
  std::int16_t counts[7] = {};
  for (const auto& root : wine_facts::DriveRoots()) {
    const UINT kind = ::GetDriveTypeA(root.c_str());
    if (kind < 7) {
      ++counts[kind];
    }
  }
  std::int16_t removable = 0;
  std::int16_t fixed = 0;
  std::int16_t cd = 0;
  std::int16_t ram = 0;
  std::int16_t network = 0;
  System::Drives(removable, fixed, cd, ram, network);
  EXPECT_EQ(removable, counts[DRIVE_REMOVABLE]);
  EXPECT_EQ(fixed, counts[DRIVE_FIXED]);
  EXPECT_EQ(cd, counts[DRIVE_CDROM]);
  EXPECT_EQ(ram, counts[DRIVE_RAMDISK]);
  EXPECT_EQ(network, counts[DRIVE_REMOTE]);
  EXPECT_GE(fixed, 3);
  EXPECT_EQ(network, 1);
}

TEST(WineVolumes, ThePrefixVolumeHasTheLabelAndSerialItWasGiven) {
  EXPECT_EQ(System::VolumeLabel("C:\\"), wine_facts::kVolumeLabelC);
  EXPECT_EQ(System::SerialNumber("C:\\"), wine_facts::kSerialNumberC);
  std::string name = "untouched";
  ASSERT_TRUE(platform::Dir("C:\\", platform::kAttributeVolume, &name));
  EXPECT_EQ(name, wine_facts::kVolumeLabelC);
}

TEST(WineVolumes, AVolumeWithoutALabelIsNoName) {
  std::string name = "untouched";
  ASSERT_TRUE(platform::Dir("D:\\", platform::kAttributeVolume, &name));
  EXPECT_EQ(name, "");
  EXPECT_EQ(System::VolumeLabel("D:\\"), "NoName");
}

TEST(WineVolumes, ADriveThatIsNotThereGivesEveryFallback) {
  const std::string root = "Q:\\";
  ASSERT_EQ(::GetLogicalDrives() >> ('Q' - 'A') & 1U, 0U);
  EXPECT_EQ(System::DriveType(root), "");
  std::int64_t total = 5;
  std::int64_t free = 5;
  System::DriveInfo(root, total, free);
  EXPECT_EQ(total, 0);
  EXPECT_EQ(free, 0);
  EXPECT_EQ(System::VolumeLabel(root), "");
  EXPECT_EQ(System::SerialNumber(root), "0000-0000");
  std::string name;
  EXPECT_FALSE(platform::Dir(root.c_str(), platform::kAttributeVolume, &name));
}

TEST(WineKeyboard, IsTheEnhancedKeyboardWithTwelveFunctionKeys) {
  EXPECT_EQ(platform::GetKeyboardType(0), 4);
  EXPECT_EQ(platform::GetKeyboardType(2), 12);
  EXPECT_EQ(System::KeyboardType(), "IBM enhanced (101 or 102 key)");
  EXPECT_EQ(System::FunctionKeys(), 12);
}

TEST(WineSystem, AnX64ProcessorIsNamedAsA32BitProgramSeesIt) {
  ::SYSTEM_INFO native{};
  ::GetSystemInfo(&native);
  ASSERT_EQ(native.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
  platform::SYSTEM_INFO info{};
  platform::GetSystemInfo(&info);
  EXPECT_EQ(info.dwProcessorType, 586U);
  EXPECT_EQ(info.dwNumberOfProcessors, native.dwNumberOfProcessors);
  EXPECT_EQ(info.dwActiveProcessorMask, native.dwActiveProcessorMask & 0xFFFFFFFFU);

  std::string processor = "unset";
  std::int32_t count = 0;
  std::int32_t mask = 0;
  System::SystemInfo(processor, count, mask);
  EXPECT_EQ(processor, "Intel Pentium");
  EXPECT_EQ(count, static_cast<std::int32_t>(native.dwNumberOfProcessors));
  EXPECT_NE(mask, 0);
}

TEST(WineSystem, TheVersionIsAnNtOne) {
  std::int16_t major = 0;
  std::int16_t minor = 0;
  std::string platformName = "unset";
  System::WinVer(major, minor, platformName);
  EXPECT_EQ(platformName, "Windows NT");
  EXPECT_GE(major, 6);
  // GetVersion packs the same version the record reports, major in the low byte.
  const ::DWORD packed = ::GetVersion();
  EXPECT_EQ(major, static_cast<std::int16_t>(packed & 0xFFU));
  EXPECT_EQ(minor, static_cast<std::int16_t>(packed >> 8U & 0xFFU));
}

TEST(WineSystem, PhysicalMemoryIsTheMachinesOwn) {
  // Wine counts the memory the Linux kernel reports; Z: is the Linux root.
  std::ifstream meminfo("Z:\\proc\\meminfo");
  ASSERT_TRUE(meminfo.good());
  std::string line;
  std::int64_t memTotalKb = 0;
  while (std::getline(meminfo, line)) {
    std::istringstream fields(line);
    std::string key;
    if (fields >> key && key == "MemTotal:") {
      fields >> memTotalKb;
    }
  }
  ASSERT_GT(memTotalKb, 0);

  std::uint8_t load = 255;
  std::int32_t totalKb = 0;
  std::int32_t freeKb = 0;
  System::FreeMemory(load, totalKb, freeKb);
  // Wine rounds the total to whole pages.
  EXPECT_NEAR(totalKb, std::min<std::int64_t>(memTotalKb, INT32_MAX), 64);
  EXPECT_GT(freeKb, 0);
  EXPECT_LE(freeKb, totalKb);
  EXPECT_LE(load, 100);
}

}  // namespace
