// Drive probes and the number formatter.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "probes/system.h"
#include "tests/fake/fake_platform.h"

namespace {

using Calls = std::vector<std::string>;

class DriveProbes : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  static void AddDrive(std::string root, platform::UINT type = 3) {
    fake::Drive drive;
    drive.root = std::move(root);
    drive.type = type;
    fake::machine().drives.push_back(drive);
  }

  static fake::Drive& Last() { return fake::machine().drives.back(); }
};

struct Counters {
  std::int16_t removable = 0;
  std::int16_t fixed = 0;
  std::int16_t cd = 0;
  std::int16_t ram = 0;
  std::int16_t network = 0;

  void Count() { System::Drives(removable, fixed, cd, ram, network); }
};

TEST_F(DriveProbes, ThreeDrivesNeedASecondRequestOfExactlyTheReportedLength) {
  AddDrive("A:\\", 2);
  AddDrive("C:\\", 3);
  AddDrive("D:\\", 5);
  Counters counters;
  counters.Count();
  EXPECT_EQ(fake::Calls(),
            (Calls{"GetLogicalDriveStringsA(10)", "GetLogicalDriveStringsA(13)",
                   "GetDriveTypeA(A:\\)", "GetDriveTypeA(C:\\)", "GetDriveTypeA(D:\\)"}));
  EXPECT_EQ(counters.removable, 1);
  EXPECT_EQ(counters.fixed, 1);
  EXPECT_EQ(counters.cd, 1);
  EXPECT_EQ(counters.ram, 0);
  EXPECT_EQ(counters.network, 0);
}

TEST_F(DriveProbes, OneOrTwoDrivesAreReadWithTheFirstRequest) {
  AddDrive("C:\\");
  Counters one;
  one.Count();
  EXPECT_EQ(fake::CallsOf({"GetLogicalDriveStringsA"}), (Calls{"GetLogicalDriveStringsA(10)"}));
  EXPECT_EQ(fake::CallsOf({"GetDriveTypeA"}), (Calls{"GetDriveTypeA(C:\\)"}));
  EXPECT_EQ(one.fixed, 1);

  fake::Reset();
  AddDrive("C:\\");
  AddDrive("E:\\", 4);
  Counters two;
  two.Count();
  // The blanks after the list are no drives.
  EXPECT_EQ(fake::Calls(),
            (Calls{"GetLogicalDriveStringsA(10)", "GetDriveTypeA(C:\\)", "GetDriveTypeA(E:\\)"}));
  EXPECT_EQ(two.fixed, 1);
  EXPECT_EQ(two.network, 1);
  EXPECT_EQ(two.removable + two.cd + two.ram, 0);
}

TEST_F(DriveProbes, CountersAreAddedToNotReset) {
  AddDrive("A:\\", 2);
  AddDrive("C:\\", 3);
  AddDrive("D:\\", 5);
  AddDrive("R:\\", 6);
  AddDrive("N:\\", 4);
  Counters counters;
  counters.Count();
  counters.Count();
  EXPECT_EQ(counters.removable, 2);
  EXPECT_EQ(counters.fixed, 2);
  EXPECT_EQ(counters.cd, 2);
  EXPECT_EQ(counters.ram, 2);
  EXPECT_EQ(counters.network, 2);

  // Near the top of the 16-bit range each counter stops at 32767 instead of wrapping negative.
  constexpr std::int16_t kTop = std::numeric_limits<std::int16_t>::max();
  Counters nearTop{kTop - 1, kTop - 1, kTop - 1, kTop - 1, kTop};
  nearTop.Count();
  nearTop.Count();
  for (const std::int16_t counter :
       {nearTop.removable, nearTop.fixed, nearTop.cd, nearTop.ram, nearTop.network}) {
    EXPECT_EQ(counter, kTop);
  }
}

TEST_F(DriveProbes, DrivesOfNoKnownKindAndAFailedListCountNothing) {
  AddDrive("B:\\", 0);
  AddDrive("X:\\", 1);
  AddDrive("Y:\\", 7);
  Counters counters;
  counters.Count();
  EXPECT_EQ(fake::CallsOf({"GetDriveTypeA"}).size(), 3U);
  EXPECT_EQ(counters.removable + counters.fixed + counters.cd + counters.ram + counters.network, 0);

  fake::Reset();
  AddDrive("C:\\");
  fake::machine().driveListFails = true;
  counters.Count();
  EXPECT_EQ(fake::Calls(), (Calls{"GetLogicalDriveStringsA(10)"}));
  EXPECT_EQ(counters.fixed, 0);
  // The failed call is told from a list without drives: its answer is 0 either way, but only a
  // list writes its closing NUL.
  EXPECT_EQ(System::LogicalDriveRoots(), std::nullopt);
  fake::machine().driveListFails = false;
  fake::machine().drives.clear();
  EXPECT_EQ(System::LogicalDriveRoots(), Calls{});
}

TEST_F(DriveProbes, LinuxRootsAreWalkedEntryByEntry) {
  AddDrive("/", 3);
  AddDrive("/home/", 3);
  AddDrive("/media/alice/My Passport/", 2);
  EXPECT_EQ(System::LogicalDriveRoots(), (Calls{"/", "/home/", "/media/alice/My Passport/"}));
  // "/\0/home/\0/media/alice/My Passport/\0" and the final NUL: 36 characters.
  EXPECT_EQ(fake::CallsOf({"GetLogicalDriveStringsA"}),
            (Calls{"GetLogicalDriveStringsA(10)", "GetLogicalDriveStringsA(36)"}));
  Counters counters;
  counters.Count();
  EXPECT_EQ(counters.fixed, 2);
  EXPECT_EQ(counters.removable, 1);
}

TEST_F(DriveProbes, DriveTypeNamesEachKindAndNothingElse) {
  const std::pair<platform::UINT, const char*> kinds[] = {
      {0, ""},
      {1, ""},
      {2, "Removable drive"},
      {3, "Fixed drive"},
      {4, "Network drive"},
      {5, "CD-ROM drive"},
      {6, "RAM-disk"},
      {7, ""},
  };
  for (const auto& [code, text] : kinds) {
    fake::Reset();
    AddDrive("C:\\", code);
    EXPECT_EQ(System::DriveType("C:\\"), text) << code;
  }
  EXPECT_EQ(System::DriveType("Q:\\"), "");
}

TEST_F(DriveProbes, DriveInfoGivesTrueSizesBeyondTwoGigabytes) {
  AddDrive("C:\\");
  Last().totalBytes = 4'000'787'030'016ULL;  // a 4 TB disk
  Last().freeBytes = 2'147'483'648ULL;
  std::int64_t total = -1;
  std::int64_t free = -1;
  System::DriveInfo("C:\\", total, free);
  EXPECT_EQ(total, 4'000'787'030'016LL);
  EXPECT_EQ(free, 2'147'483'648LL);

  Last().sizeOk = false;
  System::DriveInfo("C:\\", total, free);
  EXPECT_EQ(total, 0);
  EXPECT_EQ(free, 0);
}

TEST_F(DriveProbes, SerialIsEightUpperCaseHexDigitsInTwoHalves) {
  const std::pair<platform::DWORD, const char*> serials[] = {
      {0x00A1B2C3U, "00A1-B2C3"}, {0xFFFFFFFFU, "FFFF-FFFF"}, {0U, "0000-0000"},
      {0x1A2B3C4DU, "1A2B-3C4D"}, {0x80000001U, "8000-0001"},
  };
  for (const auto& [serial, text] : serials) {
    fake::Reset();
    AddDrive("C:\\");
    Last().serial = serial;
    EXPECT_EQ(System::SerialNumber("C:\\"), text);
  }
  fake::Reset();
  AddDrive("C:\\");
  Last().serial = 0x12345678U;
  Last().serialOk = false;
  EXPECT_EQ(System::SerialNumber("C:\\"), "0000-0000");
  EXPECT_EQ(System::SerialNumber("Q:\\"), "0000-0000");
}

TEST_F(DriveProbes, VolumeLabelTellsAVolumeWithoutLabelFromOneThatCannotBeRead) {
  AddDrive("C:\\");
  Last().label = "SYSTEM";
  AddDrive("D:\\");
  Last().label = "";
  AddDrive("A:\\", 2);
  Last().readable = false;
  AddDrive("E:\\");
  Last().label = std::string("AB\0CD", 5);
  AddDrive("F:\\");
  Last().label = "<b>%s</b>";
  EXPECT_EQ(System::VolumeLabel("C:\\"), "SYSTEM");
  EXPECT_EQ(System::VolumeLabel("D:\\"), "NoName");
  EXPECT_EQ(System::VolumeLabel("A:\\"), "");
  EXPECT_EQ(System::VolumeLabel("Q:\\"), "");
  EXPECT_EQ(System::VolumeLabel("E:\\"), "AB");
  EXPECT_EQ(System::VolumeLabel("F:\\"), "<b>%s</b>");
  EXPECT_EQ(fake::CallsOf({"Dir"}).front(), "Dir(C:\\,8)");
}

TEST(PutPoints, GroupsDigitsInThreesFromTheRight) {
  EXPECT_EQ(System::PutPoints(0), "0");
  EXPECT_EQ(System::PutPoints(999), "999");
  EXPECT_EQ(System::PutPoints(1000), "1.000");
  EXPECT_EQ(System::PutPoints(123456), "123.456");
  EXPECT_EQ(System::PutPoints(1234567), "1.234.567");
  EXPECT_EQ(System::PutPoints(2147483647), "2.147.483.647");
  EXPECT_EQ(System::PutPoints(-1000), "-1.000");
  EXPECT_EQ(System::PutPoints(-100), "-100");
}

// The C++ library's own grouping, with "." and groups of three, whatever the user's locale.
struct DotsEveryThree : std::numpunct<char> {
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

std::string Grouped(std::int64_t value) {
  std::ostringstream text;
  text.imbue(std::locale(std::locale::classic(), new DotsEveryThree));
  text << value;
  return text.str();
}

TEST(PutPoints, AgreesWithTheLibrarysGroupingOverThe64BitRange) {
  std::vector<std::int64_t> values = {std::numeric_limits<std::int64_t>::max(),
                                      std::numeric_limits<std::int64_t>::min(), -1, 1};
  for (std::int64_t power = 1; power <= std::numeric_limits<std::int64_t>::max() / 10;
       power *= 10) {
    for (std::int64_t value : {power - 1, power, power + 1, power * 10 - 1}) {
      values.push_back(value);
      values.push_back(-value);
    }
  }
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 20000; ++i) {
    // Spread over every length of number, not only the longest ones.
    const auto bits = static_cast<int>(random() % 64);
    values.push_back(static_cast<std::int64_t>(random() >> bits));
    values.push_back(-static_cast<std::int64_t>(random() >> (bits + 1 > 63 ? 63 : bits + 1)));
  }
  for (const std::int64_t value : values) {
    ASSERT_EQ(System::PutPoints(value), Grouped(value)) << value;
  }
}

}  // namespace
