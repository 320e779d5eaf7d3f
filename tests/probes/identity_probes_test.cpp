// The name and directory probes: the 50-blank buffer, the cut at NUL, the separator, the fallbacks.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "probes/system.h"
#include "tests/fake/fake_platform.h"

namespace {

class IdentityProbes : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_F(IdentityProbes, HandTheTextCallsFiftyBlanksWithCapacityFifty) {
  const std::string blanks(50, ' ');
  System::ComputerName();
  EXPECT_EQ(fake::LastBufferSeen(), blanks);
  System::UserName();
  EXPECT_EQ(fake::LastBufferSeen(), blanks);
  System::WinDir();
  EXPECT_EQ(fake::LastBufferSeen(), blanks);
  System::TempDir();
  EXPECT_EQ(fake::LastBufferSeen(), blanks);
  EXPECT_EQ(fake::Calls(),
            (std::vector<std::string>{"GetComputerNameA(50)", "GetUserNameA(50)",
                                      "GetWindowsDirectoryA(50)", "GetTempPathA(50)"}));
}

TEST_F(IdentityProbes, NamesComeBackAsThePlatformGivesThem) {
  fake::machine().computerName = "Build-Host.local";
  fake::machine().userName = "Zoë";
  EXPECT_EQ(System::ComputerName(), "Build-Host.local");
  EXPECT_EQ(System::UserName(), "Zoë");
}

TEST_F(IdentityProbes, BlanksBeforeTheNulStayAndTheRestOfTheBufferGoes) {
  fake::machine().computerName = "PC  ";
  EXPECT_EQ(System::ComputerName(), "PC  ");
  // Text after an embedded NUL is cut away with the buffer's blanks.
  fake::machine().userName = std::string("bob\0tail", 8);
  EXPECT_EQ(System::UserName(), "bob");
  fake::machine().userName = std::string("\0bob", 4);
  EXPECT_EQ(System::UserName(), "");
}

// The buffer's 50 count the NUL. A name that does not fit is asked for again with the capacity the
// platform reports (a Linux host name may have 64 bytes, a Windows user name 256 characters).
TEST_F(IdentityProbes, ANameOfFortyNineCharactersFitsAndALongerOneIsAskedForAgain) {
  const std::string longest(49, 'n');
  fake::machine().computerName = longest;
  fake::machine().userName = longest;
  EXPECT_EQ(System::ComputerName(), longest);
  EXPECT_EQ(System::UserName(), longest);
  EXPECT_EQ(fake::Calls(), (std::vector<std::string>{"GetComputerNameA(50)", "GetUserNameA(50)"}));
  fake::Reset();
  fake::machine().computerName = longest + "n";
  fake::machine().userName = std::string(256, 'u');
  EXPECT_EQ(System::ComputerName(), longest + "n");
  EXPECT_EQ(fake::LastBufferSeen(), std::string(51, ' '));
  EXPECT_EQ(System::UserName(), std::string(256, 'u'));
  EXPECT_EQ(fake::Calls(), (std::vector<std::string>{"GetComputerNameA(50)", "GetComputerNameA(51)",
                                                     "GetUserNameA(50)", "GetUserNameA(257)"}));
}

TEST_F(IdentityProbes, FailedCallsGiveEmptyTextWithoutASeparator) {
  fake::machine().computerName.reset();
  fake::machine().userName.reset();
  fake::machine().windowsDirectory.reset();
  fake::machine().systemDirectory.reset();
  fake::machine().tempPath.reset();
  EXPECT_EQ(System::ComputerName(), "");
  EXPECT_EQ(System::UserName(), "");
  EXPECT_EQ(System::WinDir(), "");
  EXPECT_EQ(System::SystemDir(), "");
  EXPECT_EQ(System::TempDir(), "");
}

struct DirectoryCase {
  const char* name;
  std::function<std::string()> probe;
  std::optional<std::string> fake::Machine::*answer;
};

void PrintTo(const DirectoryCase& probe, std::ostream* out) {
  *out << probe.name;
}

class DirectoryProbes : public ::testing::TestWithParam<DirectoryCase> {
 protected:
  void SetUp() override { fake::Reset(); }
  std::string Probe(std::string answer, char separator = '\\') {
    fake::machine().*(GetParam().answer) = std::move(answer);
    fake::machine().separator = separator;
    return GetParam().probe();
  }
};

TEST_P(DirectoryProbes, EndWithExactlyOneSeparator) {
  EXPECT_EQ(Probe("C:\\WINDOWS"), "C:\\WINDOWS\\");
  EXPECT_EQ(Probe("C:\\"), "C:\\");
  EXPECT_EQ(Probe("/usr", '/'), "/usr/");
  EXPECT_EQ(Probe("/tmp/", '/'), "/tmp/");
  // Only the platform's own separator counts: a Linux path never gets a backslash.
  EXPECT_EQ(Probe("/odd\\", '/'), "/odd\\/");
}

TEST_P(DirectoryProbes, ALongPathIsAskedForAgainAndComesBackWhole) {
  const std::string fortyNine = "C:\\" + std::string(46, 'd');
  EXPECT_EQ(Probe(fortyNine), fortyNine + "\\");
  EXPECT_EQ(fake::Calls().size(), 1U);

  fake::Reset();
  const std::string path = "/home/someone/with/a/rather/long/directory/name/that/goes/on";
  EXPECT_EQ(Probe(path, '/'), path + "/");
  ASSERT_EQ(fake::Calls().size(), 2U);
  EXPECT_NE(fake::Calls()[1].find("(" + std::to_string(path.size() + 1) + ")"), std::string::npos);
  EXPECT_EQ(fake::LastBufferSeen(), std::string(path.size() + 1, ' '));
}

INSTANTIATE_TEST_SUITE_P(
    Directories, DirectoryProbes,
    ::testing::Values(DirectoryCase{"WinDir", System::WinDir, &fake::Machine::windowsDirectory},
                      DirectoryCase{"SystemDir", System::SystemDir,
                                    &fake::Machine::systemDirectory},
                      DirectoryCase{"TempDir", System::TempDir, &fake::Machine::tempPath}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
