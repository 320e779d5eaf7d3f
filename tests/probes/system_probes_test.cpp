// Version, processor, memory and keyboard probes: their tables, their fallbacks, and the outputs
// they must leave alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "probes/system.h"
#include "tests/fake/fake_platform.h"

namespace {

class SystemProbes : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

struct Version {
  std::int16_t major = -1;
  std::int16_t minor = -1;
  std::string platform = "untouched";
};

Version WinVer() {
  Version version;
  System::WinVer(version.major, version.minor, version.platform);
  return version;
}

TEST_F(SystemProbes, WinVerNamesThePlatformsItKnows) {
  auto& machine = fake::machine();
  machine.platformId = 0;
  machine.major = 3;
  machine.minor = 10;
  EXPECT_EQ(WinVer().platform, "Windows 3.10");
  machine.minor = 1;
  EXPECT_EQ(WinVer().platform, "Windows 3.1");
  machine.platformId = 1;
  EXPECT_EQ(WinVer().platform, "Windows 95");
  machine.platformId = 2;
  machine.major = 4;
  machine.minor = 0;
  const Version nt = WinVer();
  EXPECT_EQ(nt.platform, "Windows NT");
  EXPECT_EQ(nt.major, 4);
  EXPECT_EQ(nt.minor, 0);
}

TEST_F(SystemProbes, WinVerTakesTheSystemNameFromANonWindowsBackend) {
  fake::machine().platformId = 0x100;
  fake::machine().csdVersion = "Linux";
  fake::machine().major = 6;
  fake::machine().minor = 1;
  const Version version = WinVer();
  EXPECT_EQ(version.platform, "Linux");
  EXPECT_EQ(version.major, 6);
  EXPECT_EQ(version.minor, 1);
}

TEST_F(SystemProbes, WinVerLeavesThePlatformAloneForAnUnknownIdButWritesTheVersion) {
  fake::machine().platformId = 3;
  fake::machine().major = 5;
  fake::machine().minor = 2;
  const Version version = WinVer();
  EXPECT_EQ(version.platform, "untouched");
  EXPECT_EQ(version.major, 5);
  EXPECT_EQ(version.minor, 2);
}

TEST_F(SystemProbes, WinVerFailureWritesZerosAndEmptyText) {
  fake::machine().versionOk = false;
  const Version version = WinVer();
  EXPECT_EQ(version.major, 0);
  EXPECT_EQ(version.minor, 0);
  EXPECT_EQ(version.platform, "");
  EXPECT_EQ(fake::Calls(), std::vector<std::string>{"GetVersionExA(148)"});
}

TEST_F(SystemProbes, SystemInfoNamesProcessorsAndReportsTheMask) {
  std::string processor = "untouched";
  std::int32_t count = -1;
  std::int32_t mask = -1;
  for (const auto& [type, name] :
       {std::pair{386U, "80386"}, std::pair{486U, "80486"}, std::pair{586U, "Intel Pentium"}}) {
    fake::machine().processorType = type;
    System::SystemInfo(processor, count, mask);
    EXPECT_EQ(processor, name);
  }
  processor = "untouched";
  fake::machine().processorType = 8664;
  fake::machine().processors = 2;
  fake::machine().activeMask = 3;
  System::SystemInfo(processor, count, mask);
  EXPECT_EQ(processor, "untouched");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(mask, 3);
}

struct Memory {
  std::uint8_t load = 0;
  std::int32_t total = 0;
  std::int32_t free = 0;
};

Memory FreeMemory(std::uint64_t total, std::uint64_t available, std::uint32_t load = 50) {
  fake::machine().totalPhys = total;
  fake::machine().availPhys = available;
  fake::machine().memoryLoad = load;
  Memory memory;
  System::FreeMemory(memory.load, memory.total, memory.free);
  return memory;
}

TEST_F(SystemProbes, FreeMemoryRoundsKilobytesHalfToEven) {
  EXPECT_EQ(FreeMemory(1536, 0).total, 2);
  EXPECT_EQ(FreeMemory(2560, 0).total, 2);
  EXPECT_EQ(FreeMemory(1535, 0).total, 1);
  EXPECT_EQ(FreeMemory(3584, 512).free, 0);  // 0.5 rounds to the even 0
  EXPECT_EQ(FreeMemory(3584, 1536).free, 2);
  EXPECT_EQ(FreeMemory(0, 0, 0).load, 0);
  EXPECT_EQ(FreeMemory(1024, 0, 100).load, 100);
}

TEST_F(SystemProbes, FreeMemoryHoldsLargeMachinesAndSaturates) {
  const Memory sixteenGiB = FreeMemory(16ULL << 30U, 6ULL << 30U);
  EXPECT_EQ(sixteenGiB.total, 16777216);
  EXPECT_EQ(sixteenGiB.free, 6291456);
  const Memory huge = FreeMemory(1ULL << 50U, 1ULL << 45U);
  EXPECT_EQ(huge.total, 2147483647);
  EXPECT_EQ(huge.free, 2147483647);
  EXPECT_EQ(fake::Calls().back(),
            "GlobalMemoryStatus(" + std::to_string(sizeof(std::uint64_t) * 6 + 8) + ")");
}

TEST_F(SystemProbes, KeyboardTypeTextsAreExact) {
  const std::pair<int, const char*> table[] = {{1, "IBM PC/XT or compatible (83 key)"},
                                               {2, "Olivetti \"ico\" (102 key)"},
                                               {3, "IBM PC/AT or compatible (84 key)"},
                                               {4, "IBM enhanced (101 or 102 key)"},
                                               {5, "Nokia 1050 or compatible"},
                                               {6, "Nokia 9140 or compatible"},
                                               {7, "Japanese"},
                                               {0, ""},
                                               {8, ""},
                                               {-1, ""}};
  for (const auto& [type, text] : table) {
    fake::machine().keyboardType = type;
    EXPECT_EQ(System::KeyboardType(), text) << "type " << type;
  }
  EXPECT_EQ(fake::Calls().front(), "GetKeyboardType(0)");
}

TEST_F(SystemProbes, FunctionKeysAsksForTypeTwo) {
  fake::machine().functionKeys = 12;
  EXPECT_EQ(System::FunctionKeys(), 12);
  fake::machine().functionKeys = 0;
  EXPECT_EQ(System::FunctionKeys(), 0);
  EXPECT_EQ(fake::Calls(), (std::vector<std::string>{"GetKeyboardType(2)", "GetKeyboardType(2)"}));
}

}  // namespace
