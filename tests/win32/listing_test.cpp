// The real start-up under Wine: Form_Load runs every probe on the Win32 backend and writes a
// listing whose every line is checked against what Wine reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "probes/system.h"
#include "tests/support/recording_main_form.h"
#include "tests/win32/wine_facts.h"
#include "ui/settings/settings_form.h"

namespace {

using mainform::Label;
using testing_support::RecordingMainForm;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
  return lines;
}

std::string Decimal(unsigned long long value) {
  return std::to_string(value);
}

class WineListing : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::frmSystemInfo window([this]() -> mainform::MainForm& { return main_; });
    window.Form_Load();
    listing_ = window.Text1();
    lines_ = Lines(listing_);
  }

  RecordingMainForm main_;
  std::string listing_;
  std::vector<std::string> lines_;
};

TEST_F(WineListing, GeneralLinesTellWhatWineSays) {
  ::SYSTEM_INFO native{};
  ::GetSystemInfo(&native);
  std::vector<std::string> expected = {
      "Scroll Down To View All Settings",
      "Windows Directory    = C:\\windows\\",
      "System Directory     = C:\\windows\\system32\\",
      "Temp Directory       = " + wine_facts::Environment("TEMP") + "\\",
      "Keyboard Type        = IBM enhanced (101 or 102 key)",
      "Functionkeys         = 12",
      "Number of Processors = " + Decimal(native.dwNumberOfProcessors),
      "Active Processor     = #" + Decimal(native.dwActiveProcessorMask & 0xFFFFFFFFU),
  };
  int counts[7] = {};
  for (const auto& root : wine_facts::DriveRoots()) {
    const UINT kind = ::GetDriveTypeA(root.c_str());
    counts[kind < 7 ? kind : 0]++;
  }
  expected.push_back("Removable drives     = " + Decimal(counts[DRIVE_REMOVABLE]));
  expected.push_back("Fixed drives         = " + Decimal(counts[DRIVE_FIXED]));
  expected.push_back("CD-ROM drives        = " + Decimal(counts[DRIVE_CDROM]));
  expected.push_back("RAM drives           = " + Decimal(counts[DRIVE_RAMDISK]));
  expected.push_back("Network drives       = " + Decimal(counts[DRIVE_REMOTE]));
  ASSERT_GE(lines_.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(lines_[i], expected[i]) << "line " << i + 1;
  }
}

TEST_F(WineListing, OneBlockPerDriveInWinesOrder) {
  const auto roots = wine_facts::DriveRoots();
  constexpr std::size_t kGeneralLines = 13;
  constexpr std::size_t kBlockLines = 7;
  ASSERT_EQ(lines_.size(), kGeneralLines + kBlockLines * roots.size());
  const std::regex bytes(R"(\d{1,3}(\.\d{3})* Bytes)");
  for (std::size_t d = 0; d < roots.size(); ++d) {
    const std::string& root = roots[d];
    SCOPED_TRACE(root);
    const auto block =
        lines_.begin() + static_cast<std::ptrdiff_t>(kGeneralLines + kBlockLines * d);
    EXPECT_EQ(block[0], "");
    EXPECT_EQ(block[1], "Disk " + root + " :");
    EXPECT_EQ(block[2], "Drive Type        = " + System::DriveType(root));
    const std::uint64_t total = wine_facts::TotalBytes(root);
    if (total == 0) {
      // A drive Wine found on the machine itself, a CD-ROM drive without a disc for one.
      EXPECT_EQ(block[3], "Total disk space  = No disk loaded");
      EXPECT_EQ(block[4], "Free disk space   = -");
      EXPECT_EQ(block[5], "Volumelabel       = -");
      EXPECT_EQ(block[6], "Serial Number     = -");
      continue;
    }
    EXPECT_EQ(block[3], "Total disk space  = " +
                            System::PutPoints(static_cast<std::int64_t>(total)) + " Bytes");
    ASSERT_EQ(block[4].rfind("Free disk space   = ", 0), 0U);
    EXPECT_TRUE(std::regex_match(block[4].substr(20), bytes)) << block[4];
    ::DWORD serial = 0;
    char label[MAX_PATH + 1] = {};
    ASSERT_NE(::GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, nullptr, nullptr,
                                      nullptr, 0),
              0);
    EXPECT_EQ(block[5], "Volumelabel       = " + std::string(*label ? label : "NoName"));
    char serialText[16] = {};
    std::snprintf(serialText, sizeof serialText, "%04lX-%04lX", serial >> 16U, serial & 0xFFFFU);
    EXPECT_EQ(block[6], "Serial Number     = " + std::string(serialText));
  }
  const std::string diskC = "Disk C:\\ :\r\nDrive Type        = Fixed drive\r\n";
  EXPECT_NE(listing_.find(diskC), std::string::npos);
  EXPECT_NE(listing_.find("Volumelabel       = " + std::string(wine_facts::kVolumeLabelC) +
                          "\r\nSerial Number     = " + wine_facts::kSerialNumberC + "\r\n"),
            std::string::npos);
}

TEST_F(WineListing, TheMainWindowGetsTheLabelsThenTheListing) {
  ::OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_NE(::GetVersionExA(&version), 0);
  EXPECT_EQ(main_.Caption(Label::Label7), "Windows NT");
  EXPECT_EQ(main_.Caption(Label::Label9),
            Decimal(version.dwMajorVersion) + "." + Decimal(version.dwMinorVersion));
  EXPECT_EQ(main_.Caption(Label::Label5), wine_facts::Environment("USERNAME"));
  EXPECT_EQ(main_.Caption(Label::Label1), wine_facts::Environment("COMPUTERNAME"));
  EXPECT_EQ(main_.Caption(Label::Label26), "Intel Pentium");
  const std::regex kilobytes(R"([1-9]\d* Kb)");
  EXPECT_TRUE(std::regex_match(main_.Caption(Label::Label12), kilobytes));
  EXPECT_TRUE(std::regex_match(main_.Caption(Label::Label13), kilobytes));
  EXPECT_TRUE(std::regex_match(main_.Caption(Label::Label14), std::regex(R"(\d{1,3} %)")));

  ASSERT_GE(main_.events.size(), 3U);
  const auto last = main_.events.end();
  EXPECT_EQ(last[-3], "Show");
  EXPECT_EQ(last[-2], "Text1=");
  EXPECT_EQ(last[-1], "Text1=<listing>");
  EXPECT_EQ(main_.Text1(), listing_);
}

}  // namespace
