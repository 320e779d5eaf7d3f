// The Linux parsers, fed the text the kernel reports on real machines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/sources.h"
#include "platform/linux/user_lookup.h"

namespace {

using namespace platform::linux_sources;

constexpr const char* kDebianDesktop =
    "MemTotal:       32777216 kB\n"
    "MemFree:         1198632 kB\n"
    "MemAvailable:   20512344 kB\n"
    "Buffers:          912344 kB\n"
    "Cached:         17891200 kB\n"
    "SwapCached:            0 kB\n"
    "Shmem:            621904 kB\n"
    "SReclaimable:     935120 kB\n"
    "HugePages_Total:       0\n";

TEST(ParseMemInfo, TakesTotalAndAvailableInBytes) {
  const auto info = ParseMemInfo(kDebianDesktop);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->totalBytes, 32777216ULL * 1024);
  EXPECT_EQ(info->availableBytes, 20512344ULL * 1024);
  EXPECT_EQ(MemoryLoad(*info), 37U);  // (32777216 - 20512344) * 100 / 32777216 = 37.4
}

TEST(ParseMemInfo, EstimatesAvailableWhereTheKernelDoesNotSayOrSaysTooMuch) {
  // An old kernel without MemAvailable: Free + Buffers + Cached + SReclaimable - Shmem.
  const char* old =
      "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 300 kB\nShmem: 20 kB\n"
      "SReclaimable: 10 kB\n";
  auto info = ParseMemInfo(old);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->availableBytes, 440U * 1024);
  // A container's view where MemAvailable is not below MemTotal.
  info = ParseMemInfo("MemTotal: 1000 kB\nMemAvailable: 1000 kB\nMemFree: 900 kB\n");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->availableBytes, 900U * 1024);
  // Shared memory larger than the rest never makes the estimate wrap around.
  info = ParseMemInfo("MemTotal: 1000 kB\nMemFree: 10 kB\nShmem: 500 kB\n");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->availableBytes, 0U);
  EXPECT_EQ(MemoryLoad(*info), 100U);
}

TEST(ParseMemInfo, RejectsTextWithoutATotalAndSurvivesNonsense) {
  EXPECT_FALSE(ParseMemInfo(""));
  EXPECT_FALSE(ParseMemInfo("MemFree: 10 kB\n"));
  EXPECT_FALSE(ParseMemInfo("MemTotalX: 10 kB\n"));
  const auto info = ParseMemInfo("MemTotal: 99999999999999999999 kB\nMemAvailable: x kB\n");
  EXPECT_FALSE(info);  // a total that does not parse is no total
  const auto big = ParseMemInfo("MemTotal: 18014398509481983 kB\nMemAvailable: 1 kB\n");
  ASSERT_TRUE(big);
  EXPECT_EQ(MemoryLoad(*big), 99U);
  EXPECT_EQ(MemoryLoad(MemInfo{0, 0}), 0U);
}

TEST(ParseCpuList, CountsOnlineCpusAndMasksTheFirst32) {
  auto set = ParseCpuList("0\n");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->count, 1U);
  EXPECT_EQ(set->mask, 1U);
  set = ParseCpuList("0-1\n");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->count, 2U);
  EXPECT_EQ(set->mask, 3U);
  set = ParseCpuList("0-3,8,10-11");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->count, 7U);
  EXPECT_EQ(set->mask, 0xD0FU);
  set = ParseCpuList("0-63");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->count, 64U);
  EXPECT_EQ(set->mask, 0xFFFFFFFFU);
  EXPECT_FALSE(ParseCpuList(""));
  EXPECT_FALSE(ParseCpuList("3-1"));
  EXPECT_FALSE(ParseCpuList("a-b"));
}

TEST(ParseKernelRelease, TakesMajorAndMinor) {
  auto version = ParseKernelRelease("6.1.0-18-amd64");
  ASSERT_TRUE(version);
  EXPECT_EQ(version->major, 6U);
  EXPECT_EQ(version->minor, 1U);
  EXPECT_EQ(version->patch, 0U);
  version = ParseKernelRelease("5.15.153.1-microsoft-standard-WSL2");
  ASSERT_TRUE(version);
  EXPECT_EQ(version->minor, 15U);
  EXPECT_EQ(version->patch, 153U);
  version = ParseKernelRelease("4.10");
  ASSERT_TRUE(version);
  EXPECT_EQ(version->minor, 10U);
  EXPECT_FALSE(ParseKernelRelease("6"));
  EXPECT_FALSE(ParseKernelRelease(""));
  EXPECT_FALSE(ParseKernelRelease("x.y"));
}

constexpr const char* kLaptopInput =
    "I: Bus=0019 Vendor=0000 Product=0001 Version=0000\n"
    "N: Name=\"Power Button\"\n"
    "H: Handlers=kbd event0 \n"
    "B: EV=3\n"
    "B: KEY=10000000000000 0\n"
    "\n"
    "I: Bus=0011 Vendor=0001 Product=0001 Version=ab83\n"
    "N: Name=\"AT Translated Set 2 keyboard\"\n"
    "H: Handlers=sysrq kbd leds event3 \n"
    "B: EV=120013\n"
    "\n";

TEST(HasKeyboard, FindsAKeyboardButNotAPowerButton) {
  EXPECT_TRUE(HasKeyboard(kLaptopInput));
  const std::string buttonsOnly = std::string(kLaptopInput).substr(0, 132);
  EXPECT_FALSE(HasKeyboard(buttonsOnly));
  EXPECT_FALSE(HasKeyboard(""));
  // A mouse repeats nothing and has no kbd handler.
  EXPECT_FALSE(HasKeyboard("N: Name=\"Mouse\"\nH: Handlers=mouse0 event5\nB: EV=17\n"));
  // The kbd handler must be a whole word.
  EXPECT_FALSE(HasKeyboard("H: Handlers=kbdx event5\nB: EV=120013\n"));
}

TEST(IsJapaneseModel, ReadsTheXkbModel) {
  EXPECT_TRUE(IsJapaneseModel("XKBMODEL=\"jp106\"\nXKBLAYOUT=\"jp\"\n"));
  EXPECT_FALSE(IsJapaneseModel("XKBMODEL=\"pc105\"\nXKBLAYOUT=\"jp\"\n"));
  EXPECT_FALSE(IsJapaneseModel(""));
}

TEST(KeyboardTypeFrom, AnswersFromAFixtureTree) {
  const std::string root = ::testing::TempDir() + "/keyboard-tree";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root + "/proc/bus/input");
  std::filesystem::create_directories(root + "/etc/default");
  EXPECT_EQ(KeyboardTypeFrom(root, 0), 0);  // no input devices at all: a server or a container
  EXPECT_EQ(KeyboardTypeFrom(root, 2), 0);
  std::ofstream(root + "/proc/bus/input/devices") << kLaptopInput;
  EXPECT_EQ(KeyboardTypeFrom(root, 0), 4);
  EXPECT_EQ(KeyboardTypeFrom(root, 2), 12);
  EXPECT_EQ(KeyboardTypeFrom(root, 1), 0);
  std::ofstream(root + "/etc/default/keyboard") << "XKBMODEL=jp106\n";
  EXPECT_EQ(KeyboardTypeFrom(root, 0), 7);
  EXPECT_EQ(KeyboardTypeFrom(root, 2), 12);
  // Where udev answers, its word counts over the input devices list.
  const KeyboardQuery none = [] { return std::optional(false); };
  const KeyboardQuery one = [] { return std::optional(true); };
  EXPECT_EQ(KeyboardTypeFrom(root, 0, none), 0);
  std::filesystem::remove(root + "/proc/bus/input/devices");
  EXPECT_EQ(KeyboardTypeFrom(root, 0, one), 7);
  EXPECT_EQ(KeyboardTypeFrom(root, 2, one), 12);
}

TEST(NameFromFiles, AnswersOnlyWhereThePasswdFileDecides) {
  using platform::linux_identity::NameFromFiles;
  const std::string passwd =
      "root:x:0:0:root:/root:/bin/bash\n"
      "# ann:x:1000 is a comment\n"
      "+bob::1000:1000:::\n"
      "-carl:x:1000:1000:::\n"
      "ann:x:1000:1000:Ann:/home/ann:/bin/bash\n"
      "anna:x:1000:1000:second entry:/home/anna:/bin/sh\n"
      "broken:x:10o1:1000:::\n";
  const std::string debian = "# comment\npasswd:         files systemd\ngroup: files\n";
  EXPECT_EQ(NameFromFiles(debian, passwd, 1000), "ann");
  EXPECT_EQ(NameFromFiles(debian, passwd, 0), "root");
  EXPECT_EQ(NameFromFiles("passwd : files # local only\n", passwd, 0), "root");
  // Not in the file: another source may have it, asked on a thread.
  EXPECT_EQ(NameFromFiles(debian, passwd, 1001), std::nullopt);
  // Another source first, an action that goes on after the file, no line or two lines.
  EXPECT_EQ(NameFromFiles("passwd: sss files\n", passwd, 0), std::nullopt);
  EXPECT_EQ(NameFromFiles("passwd: files [SUCCESS=continue] ldap\n", passwd, 0), std::nullopt);
  EXPECT_EQ(NameFromFiles("group: files\n", passwd, 0), std::nullopt);
  EXPECT_EQ(NameFromFiles("passwd: files\npasswd: ldap\n", passwd, 0), std::nullopt);
  EXPECT_EQ(NameFromFiles("passwdx: files\n", passwd, 0), std::nullopt);
}

}  // namespace
