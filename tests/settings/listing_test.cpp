// The settings window's start-up and refresh on fake machines: the whole listing, the main window's
// labels, the order of everything, what a tick may change, and how text from the machine is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/fake/fake_platform.h"
#include "tests/support/recording_main_form.h"
#include "ui/main/report.h"
#include "ui/main/visible_text.h"
#include "ui/settings/settings_form.h"

namespace {

using fake::Disk;
using mainform::Label;
using testing_support::RecordingMainForm;

fake::Drive Floppy(std::string root) {
  fake::Drive drive;
  drive.root = std::move(root);
  drive.type = 2;
  drive.sizeOk = false;
  drive.readable = false;
  drive.serialOk = false;
  return drive;
}

class Listing : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  // Runs the start-up and returns the settings window's listing; loads counts main-window
  // creations.
  std::string Start() {
    form.Form_Load();
    return form.Text1();
  }

  RecordingMainForm main;
  int loads = 0;
  settings::frmSystemInfo form{[this]() -> mainform::MainForm& {
    ++loads;
    main.events.emplace_back("load");
    return main;
  }};
};

constexpr const char kGeneralLines[] =
    "Scroll Down To View All Settings\r\n"
    "Windows Directory    = C:\\WINDOWS\\\r\n"
    "System Directory     = C:\\WINDOWS\\SYSTEM\\\r\n"
    "Temp Directory       = C:\\TEMP\\\r\n"
    "Keyboard Type        = IBM enhanced (101 or 102 key)\r\n"
    "Functionkeys         = 12\r\n"
    "Number of Processors = 1\r\n"
    "Active Processor     = #1\r\n";

TEST_F(Listing, ThreeDrivesGiveTheWholeListingInOrder) {
  fake::machine().drives = {Floppy("A:\\"),
                            Disk("C:\\", 3, 2147483647, 1234567, "SYSTEM", 0x00A1B2C3),
                            Disk("D:\\", 5, 681574400, 0, "", 0xFFFFFFFF)};
  const std::string expected = std::string(kGeneralLines) +
                               "Removable drives     = 1\r\n"
                               "Fixed drives         = 1\r\n"
                               "CD-ROM drives        = 1\r\n"
                               "RAM drives           = 0\r\n"
                               "Network drives       = 0\r\n"
                               "\r\n"
                               "Disk A:\\ :\r\n"
                               "Drive Type        = Removable drive\r\n"
                               "Total disk space  = No disk loaded\r\n"
                               "Free disk space   = -\r\n"
                               "Volumelabel       = -\r\n"
                               "Serial Number     = -\r\n"
                               "\r\n"
                               "Disk C:\\ :\r\n"
                               "Drive Type        = Fixed drive\r\n"
                               "Total disk space  = 2.147.483.647 Bytes\r\n"
                               "Free disk space   = 1.234.567 Bytes\r\n"
                               "Volumelabel       = SYSTEM\r\n"
                               "Serial Number     = 00A1-B2C3\r\n"
                               "\r\n"
                               "Disk D:\\ :\r\n"
                               "Drive Type        = CD-ROM drive\r\n"
                               "Total disk space  = 681.574.400 Bytes\r\n"
                               "Free disk space   = 0 Bytes\r\n"
                               "Volumelabel       = NoName\r\n"
                               "Serial Number     = FFFF-FFFF\r\n";
  EXPECT_EQ(Start(), expected);
  EXPECT_EQ(main.text1, expected);
  // Three roots need 13 characters: one request with 10, one more with 13, for each of the two
  // operations that read the list.
  EXPECT_EQ(
      fake::CallsOf({"GetLogicalDriveStringsA"}),
      (std::vector<std::string>{"GetLogicalDriveStringsA(10)", "GetLogicalDriveStringsA(13)",
                                "GetLogicalDriveStringsA(10)", "GetLogicalDriveStringsA(13)"}));
}

TEST_F(Listing, EachDriveIsMeasuredBeforeItsBlockAndOneWithoutADiskIsOnlyNamed) {
  fake::machine().drives = {Floppy("A:\\"), Disk("C:\\", 3, 1000, 10, "", 7)};
  Start();
  // The calls of the drive blocks, after the last reading of the drive list: the size decides which
  // block a drive gets, and a drive without a disk is still asked for its kind, and nothing more.
  const std::vector<std::string>& calls = fake::Calls();
  const auto blocks = std::find(calls.rbegin(), calls.rend(), "GetLogicalDriveStringsA(10)").base();
  const std::vector<std::string> expected = {
      "GetDiskFreeSpaceExA(A:\\)", "GetDriveTypeA(A:\\)", "GetDiskFreeSpaceExA(C:\\)",
      "GetDriveTypeA(C:\\)",       "Dir(C:\\,8)",         "GetVolumeInformationA(C:\\)"};
  EXPECT_EQ(std::vector<std::string>(blocks, calls.end()), expected);
}

TEST_F(Listing, TheMainWindowIsCreatedByTheFirstWriteFilledThenShownThenGivenTheListing) {
  fake::machine().computerName = "PC";
  fake::machine().userName = "bob";
  Start();
  EXPECT_EQ(loads, 1);
  const std::vector<std::string> expected = {"load",
                                             "Label7=Windows 95",
                                             "Label9=4.0",
                                             "Label5=bob",
                                             "Label1=PC",
                                             "Label26=Intel Pentium",
                                             "Label12=32768 Kb",
                                             "Label13=16384 Kb",
                                             "Label14=42 %",
                                             "Show",
                                             "Text1=",
                                             "Text1=<listing>"};
  EXPECT_EQ(main.events, expected);
  EXPECT_TRUE(main.visible);
}

TEST_F(Listing, DriveCountsComeFromTheirOwnProbe) {
  fake::machine().drives = {Disk("C:\\", 3, 1, 1, "", 0), Disk("F:\\", 4, 5, 1, "", 0),
                            Disk("G:\\", 4, 5, 1, "", 0), Disk("R:\\", 6, 5, 1, "", 0),
                            Disk("X:\\", 0, 5, 1, "", 0)};
  const std::string listing = Start();
  EXPECT_NE(listing.find("Removable drives     = 0\r\n"
                         "Fixed drives         = 1\r\n"
                         "CD-ROM drives        = 0\r\n"
                         "RAM drives           = 1\r\n"
                         "Network drives       = 2\r\n"),
            std::string::npos);
  // A drive of a kind without a name still gets its block, with an empty type.
  EXPECT_NE(listing.find("Disk X:\\ :\r\nDrive Type        = \r\nTotal disk space  = 5 Bytes\r\n"),
            std::string::npos);
}

TEST_F(Listing, OneOrTwoDrivesAreReadWithTheFirstRequest) {
  fake::machine().drives = {Disk("C:\\", 3, 1, 1, "", 0)};
  std::string listing = Start();
  EXPECT_EQ(fake::CallsOf({"GetLogicalDriveStringsA"}).size(), 2U);
  EXPECT_NE(listing.find("Network drives       = 0\r\n\r\nDisk C:\\ :\r\n"), std::string::npos);
  EXPECT_EQ(listing.find("Disk", listing.find("Disk C:") + 1), std::string::npos);

  fake::Reset();
  fake::machine().drives = {Disk("C:\\", 3, 1, 1, "", 0), Disk("D:\\", 3, 1, 1, "", 0)};
  settings::frmSystemInfo second{[this]() -> mainform::MainForm& { return main; }};
  second.Form_Load();
  listing = second.Text1();
  EXPECT_EQ(
      fake::CallsOf({"GetLogicalDriveStringsA"}),
      (std::vector<std::string>{"GetLogicalDriveStringsA(10)", "GetLogicalDriveStringsA(10)"}));
  EXPECT_NE(listing.find("Disk C:\\ :"), std::string::npos);
  EXPECT_NE(listing.find("Disk D:\\ :"), std::string::npos);
}

TEST_F(Listing, AFailedDriveListEndsTheListingAfterTheCounts) {
  fake::machine().driveListFails = true;
  EXPECT_EQ(Start(), std::string(kGeneralLines) +
                         "Removable drives     = 0\r\n"
                         "Fixed drives         = 0\r\n"
                         "CD-ROM drives        = 0\r\n"
                         "RAM drives           = 0\r\n"
                         "Network drives       = 0\r\n");
}

TEST_F(Listing, UnreadableLabelsAndFailedCallsShowTheirFallbacks) {
  fake::Drive unreadable = Disk("E:\\", 2, 4096, 0, "", 0);
  unreadable.readable = false;
  unreadable.serialOk = false;
  fake::machine().drives = {unreadable};
  fake::machine().processorType = 4242;
  fake::machine().keyboardType = 0;
  fake::machine().functionKeys = 0;
  fake::machine().computerName.reset();
  fake::machine().tempPath.reset();
  const std::string listing = Start();
  EXPECT_NE(listing.find("Volumelabel       = \r\nSerial Number     = 0000-0000\r\n"),
            std::string::npos);
  EXPECT_NE(listing.find("Temp Directory       = \r\nKeyboard Type        = \r\n"
                         "Functionkeys         = 0\r\n"),
            std::string::npos);
  EXPECT_EQ(main.Caption(Label::Label26), "");
  EXPECT_EQ(main.Caption(Label::Label1), "");
}

TEST_F(Listing, VersionsAndProcessorMasksInTheirTextForms) {
  fake::machine().platformId = 1;
  fake::machine().major = 4;
  fake::machine().minor = 10;
  fake::machine().processors = 32;
  fake::machine().activeMask = 0xFFFFFFFF;
  const std::string listing = Start();
  EXPECT_EQ(main.Caption(Label::Label9), "4.10");
  EXPECT_NE(listing.find("Number of Processors = 32\r\n"
                         "Active Processor     = #4294967295\r\n"),
            std::string::npos);
}

TEST_F(Listing, MountPointRootsOfAUnixBackendListLikeDriveLetters) {
  fake::machine().drives = {Disk("/", 3, 1000000, 1000, "", 0x1234ABCD),
                            Disk("/media/my stick/", 2, 1000, 0, "STICK", 0)};
  const std::string listing = Start();
  EXPECT_NE(listing.find("\r\nDisk / :\r\nDrive Type        = Fixed drive\r\n"
                         "Total disk space  = 1.000.000 Bytes\r\n"),
            std::string::npos);
  EXPECT_NE(listing.find("\r\nDisk /media/my stick/ :\r\nDrive Type        = Removable drive\r\n"),
            std::string::npos);
}

TEST_F(Listing, EveryLineEndsWithCrLf) {
  fake::machine().drives = {Floppy("A:\\"), Disk("C:\\", 3, 1, 1, "x", 1)};
  const std::string listing = Start();
  ASSERT_GE(listing.size(), 2U);
  EXPECT_EQ(listing.substr(listing.size() - 2), "\r\n");
  for (std::size_t i = 0; i < listing.size(); ++i) {
    if (listing[i] == '\n') {
      EXPECT_EQ(listing[i - 1], '\r') << "at " << i;
    }
    if (listing[i] == '\r') {
      EXPECT_EQ(listing[i + 1], '\n') << "at " << i;
    }
  }
}

// Text from the machine cannot forge a line or reach a terminal as a command: a host name and a
// label that carry a line of their own, a directory with a terminal's escape sequence. The
// captions, the listing and the report's text show them escaped, on a UTF-8 system and in a
// Windows code page alike.
TEST_F(Listing, ControlCharactersFromTheMachineAreShownAsEscapes) {
  for (const auto encoding : {platform::TextEncoding::Utf8, platform::TextEncoding::CodePage}) {
    fake::Reset();
    fake::machine().textEncoding = encoding;
    fake::machine().computerName = "web01\nUser Name:     admin";
    fake::machine().windowsDirectory = "C:\\WIN\x1b]0;owned\a";
    fake::machine().drives = {Disk("E:\\", 2, 4096, 0, "USB\r\nSerial Number     = DEAD-BEEF", 1)};
    RecordingMainForm shown;
    settings::frmSystemInfo startUp([&shown]() -> mainform::MainForm& { return shown; });
    startUp.Form_Load();
    EXPECT_EQ(shown.Caption(Label::Label1), "web01\\nUser Name:     admin");
    const std::string listing = startUp.Text1();
    EXPECT_NE(listing.find("Windows Directory    = C:\\WIN\\x1b]0;owned\\x07\\\r\n"),
              std::string::npos);
    EXPECT_NE(listing.find("Volumelabel       = USB\\r\\nSerial Number     = DEAD-BEEF\r\n"
                           "Serial Number     = 0000-0001\r\n"),
              std::string::npos);
    const std::string text = report::Text(shown, "\n");
    // The report's nine lines, the 13 general lines and one drive's seven: not one more.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9 + 13 + 7) << text;
    EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](char c) {
      return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F;
    })) << text;
  }
}

// The escapes, byte by byte: the C0 controls and DEL everywhere; in UTF-8 text also the C1
// controls, the Unicode line separators and the bytes 0x80 to 0x9F outside a valid sequence, which
// a Windows code page holds as letters; never the backslash or a letter.
TEST(VisibleText, EachControlCharacterHasOneVisibleForm) {
  using platform::TextEncoding;
  struct Case {
    std::string text;
    std::string utf8;
    std::string codePage;
  };
  const Case cases[] = {
      {"web01\nUser Name:     admin", "web01\\nUser Name:     admin",
       "web01\\nUser Name:     admin"},
      {std::string("\t\r\x1b[2J\a\x7f\x01\0", 10), "\\t\\r\\x1b[2J\\x07\\x7f\\x01\\x00",
       "\\t\\r\\x1b[2J\\x07\\x7f\\x01\\x00"},
      {"C:\\Program Files\\a\\n", "C:\\Program Files\\a\\n", "C:\\Program Files\\a\\n"},
      {"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x92\xBE", "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x92\xBE",
       "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x92\xBE"},
      {"a\xC2\x9B"
       "31m\xC2\x85z",
       "a\\u009b31m\\u0085z",
       "a\xC2\x9B"
       "31m\xC2\x85z"},
      {"one\xE2\x80\xA8two\xE2\x80\xA9", "one\\u2028two\\u2029", "one\xE2\x80\xA8two\xE2\x80\xA9"},
      {"\x9B"
       "2J \x80\xFF\xFE",
       "\\x9b2J \\x80\xFF\xFE",
       "\x9B"
       "2J \x80\xFF\xFE"},
      {"cut \xE2\x80", "cut \xE2\\x80", "cut \xE2\x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(visibletext::Escaped(c.text, TextEncoding::Utf8), c.utf8) << c.text;
    EXPECT_EQ(visibletext::Escaped(c.text, TextEncoding::CodePage), c.codePage) << c.text;
  }
  // Several lines from a library keep their line feeds, and only them.
  EXPECT_EQ(visibletext::EscapedLines("one\ntwo\r\n\x1b[0m", TextEncoding::Utf8),
            "one\ntwo\\r\n\\x1b[0m");
}

TEST_F(Listing, TicksRewriteOnlyTheMemoryCaptions) {
  fake::machine().availPhys = 10240ULL * 1024;  // five digits
  const std::string listing = Start();
  const auto captions = main.captions;
  main.events.clear();

  fake::Reset();
  fake::machine().availPhys = 9216ULL * 1024;  // four digits
  fake::machine().memoryLoad = 100;
  form.Timer1_Timer();
  EXPECT_EQ(fake::Calls(), std::vector<std::string>{"GlobalMemoryStatus(56)"});
  EXPECT_EQ(main.events,
            (std::vector<std::string>{"Label12=32768 Kb", "Label13=9216 Kb", "Label14=100 %"}));
  EXPECT_EQ(form.Text1(), listing);
  EXPECT_EQ(main.text1, listing);
  for (const auto& [label, caption] : captions) {
    if (label != Label::Label13 && label != Label::Label14) {
      EXPECT_EQ(main.Caption(label), caption);
    }
  }
  fake::machine().memoryLoad = 0;
  form.Timer1_Timer();
  EXPECT_EQ(main.Caption(Label::Label14), "0 %");
  EXPECT_EQ(loads, 1);
}

}  // namespace
