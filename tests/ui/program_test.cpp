// The whole program on this computer: started as a user starts it (offscreen), its main window must
// show what the operating system itself says, found here by other means than the program's; and
// started where there is no display, it must say so and end.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLabel>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/linux/program.h"
#include "tests/support/loaded_libraries.h"
#include "tests/support/private_namespaces.h"
#include "tests/ui/qt_app.h"

namespace {

using mainform::Label;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t end = 0;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "the listing must end with CR LF";
  return lines;
}

// An independent thousands formatter: every third digit from the right gets a point before it.
std::string Grouped(unsigned long long value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ".");
  }
  return digits;
}

long long MemTotalKb() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  long long value = 0;
  while (meminfo >> key >> value) {
    if (key == "MemTotal:") {
      return value;
    }
    meminfo.ignore(256, '\n');
  }
  return -1;
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Load();
    main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    lines = Lines(main->Text1());
  }

  app::Program program;
  mainwindow::MainWindow* main = nullptr;
  std::vector<std::string> lines;
};

TEST_F(Program, LabelsShowThisComputer) {
  char host[HOST_NAME_MAX + 1] = {};
  ::gethostname(host, sizeof host - 1);
  EXPECT_EQ(main->Caption(Label::Label1), host);
  EXPECT_EQ(main->Caption(Label::Label5), ::getpwuid(::geteuid())->pw_name);
  utsname names{};
  ::uname(&names);
  EXPECT_EQ(main->Caption(Label::Label7), names.sysname);
  const std::string release = names.release;
  EXPECT_EQ(release.rfind(main->Caption(Label::Label9) + ".", 0), 0U) << release;
  EXPECT_EQ(main->Caption(Label::Label12), std::to_string(MemTotalKb()) + " Kb");
  EXPECT_TRUE(main->isVisible());
}

TEST_F(Program, ListingShowsTheDirectoriesAndProcessors) {
  ASSERT_GE(lines.size(), 13U);
  EXPECT_EQ(lines[0], "Scroll Down To View All Settings");
  EXPECT_EQ(lines[1], "Windows Directory    = /usr/");
  Dl_info libc{};
  ASSERT_NE(::dladdr(reinterpret_cast<void*>(&::getpid), &libc), 0);
  // The C library's directory, named canonically (/usr/lib/..., not its /lib alias).
  std::string libraryDirectory = std::filesystem::canonical(libc.dli_fname).string();
  libraryDirectory.resize(libraryDirectory.rfind('/') + 1);
  EXPECT_EQ(lines[2], "System Directory     = " + libraryDirectory);
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir == nullptr) {
    EXPECT_EQ(lines[3], "Temp Directory       = /tmp/");
  }
  EXPECT_EQ(lines[6], "Number of Processors = " + std::to_string(::sysconf(_SC_NPROCESSORS_ONLN)));
  EXPECT_EQ(lines[7].rfind("Active Processor     = #", 0), 0U);
}

TEST_F(Program, ListingHasOneBlockPerCountedDriveAndTheRootVolumeMatchesStatvfs) {
  int counted = 0;
  for (std::size_t line = 8; line < 13; ++line) {
    counted += std::atoi(lines[line].substr(23).c_str());
  }
  int blocks = 0;
  std::size_t root = 0;
  for (std::size_t line = 13; line < lines.size(); line += 7) {
    ASSERT_LE(line + 7, lines.size());
    EXPECT_EQ(lines[line], "");
    EXPECT_EQ(lines[line + 1].rfind("Disk ", 0), 0U);
    if (lines[line + 1] == "Disk / :") {
      root = line + 1;
    }
    ++blocks;
  }
  EXPECT_EQ(blocks, counted);
  ASSERT_NE(root, 0U) << "the root volume is always a drive";
  struct statvfs volume {};
  ASSERT_EQ(::statvfs("/", &volume), 0);
  EXPECT_EQ(lines[root + 1], "Drive Type        = Fixed drive");
  EXPECT_EQ(lines[root + 2],
            "Total disk space  = " +
                Grouped(static_cast<unsigned long long>(volume.f_blocks) * volume.f_frsize) +
                " Bytes");
  // Free space moves while the tests run; the first groups of digits must agree.
  const std::string free =
      Grouped(static_cast<unsigned long long>(volume.f_bavail) * volume.f_frsize);
  EXPECT_EQ(lines[root + 3].substr(0, 24), ("Free disk space   = " + free).substr(0, 24));
}

TEST_F(Program, BothListingsAreTheSameText) {
  auto* text = main->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->toPlainText().toStdString(), [this] {
    std::string joined;
    for (const auto& line : lines) {
      joined += line + "\n";
    }
    return joined;
  }());
}

// Printing is loaded by the first Print Info, not by the start-up.
TEST_F(Program, StartsWithoutQtsPrinting) {
  EXPECT_FALSE(testing_support::LibraryLoaded("libQt6PrintSupport"));
}

// Host names longer than the probe's first buffer, set in a private UTS namespace: the caption
// holds the name whole, and the label draws it fitted as it draws any caption too wide for it.
TEST(LongHostName, IsTheWholeCaptionAndDrawnFitted) {
  std::string umlauts;  // 26 letters, 52 bytes of UTF-8
  for (int letter = 0; letter < 26; ++letter) {
    umlauts += "\xC3\xA4";
  }
  const std::string names[] = {"ip-172-31-25-190.eu-central-1.compute.internal.example.cloud",
                               umlauts};
  const auto faults = testing_support::InPrivateNamespaces(CLONE_NEWUTS, [&names] {
    std::string faults;
    for (const std::string& name : names) {
      if (::sethostname(name.data(), name.size()) != 0) {
        return "sethostname(" + name + ") failed";
      }
      app::Program program;
      program.Load();
      const mainwindow::MainWindow* main = program.MainWindow();
      const auto* label = main->findChild<QLabel*>(QStringLiteral("Label1"));
      if (main->Caption(Label::Label1) != name) {
        faults += name + ": the caption is \"" + main->Caption(Label::Label1) + "\"\n";
      }
      const QString whole = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
      if (label->fontMetrics().horizontalAdvance(label->text()) > label->width()) {
        faults += name + ": drawn wider than its label\n";
      }
      if (label->text() != whole && label->toolTip() != whole) {
        faults += name + ": shortened without the whole name as its tool tip\n";
      }
    }
    return faults;
  });
  if (!faults) {
    GTEST_SKIP() << "a private UTS namespace needs root";
  }
  EXPECT_EQ(*faults, "");
}

// The program itself, started with only the given environment; its output (both streams) and
// status.
std::pair<std::string, int> RunProgram(const std::string& environment) {
  const std::string command =
      "env -i HOME=/tmp " + environment + " '" QUORVANE_PROGRAM "' 2>&1 </dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  char buffer[256];
  while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
    output += buffer;
  }
  const int status = pipe != nullptr ? ::pclose(pipe) : -1;
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// The last line of text, without its line feed.
std::string LastLine(const std::string& text) {
  const std::string lines = text.ends_with('\n') ? text.substr(0, text.size() - 1) : text;
  return lines.substr(lines.rfind('\n') + 1);
}

// A copy of Qt's X platform plugin whose library it needs is missing, as a broken install has it:
// its metadata says "xcb", but it cannot be loaded. The folder to give as QT_PLUGIN_PATH (the
// caller removes it), or "" where the plugin cannot be found.
std::string BrokenXPluginFolder() {
  const std::filesystem::path installed =
      QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/platforms/libqxcb.so";
  std::ifstream in(installed, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string needed = "libQt6XcbQpa.so";
  const std::size_t at = bytes.find(needed);
  if (at == std::string::npos) {
    return {};
  }
  bytes[at + needed.size() - 4] = 'z';  // "libQt6XcbQpz.so": a library nobody has
  std::string folder = ::testing::TempDir() + "quorvane-plugins-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    return {};
  }
  std::filesystem::create_directories(folder + "/platforms");
  std::ofstream(folder + "/platforms/libqxcb.so", std::ios::binary) << bytes;
  return folder;
}

// Instead of Qt's abort (status 134) and its advice to reinstall: what Qt and the window system
// said of the cause, then one line of ours that names it, and status 1: no display named, one that
// cannot be opened, a platform plugin that is not installed or cannot be loaded, a Wayland display
// without a compositor.
TEST(NoDisplay, TheProgramSaysWhyInOneLineAndEndsWithStatusOne) {
  int unused = 4000;  // a display number that no X server here listens on
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(unused))) {
    ++unused;
  }
  const std::string display = ":" + std::to_string(unused);
  const std::string needNone = "; --text and --json need none";
  struct Case {
    std::string environment;
    std::string line;    // ours, the last one
    std::string qtSaid;  // what Qt said before it, kept; "" where Qt was not started
  };
  std::vector<Case> cases = {
      {"",
       "quorvane: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
       "set)" +
           needNone,
       ""},
      {"QT_QPA_PLATFORM=xcb",
       "quorvane: no display to show the window on (QT_QPA_PLATFORM asks "
       "for X and DISPLAY is not set)" +
           needNone,
       ""},
      {"DISPLAY=" + display + " XDG_RUNTIME_DIR=/tmp",
       "quorvane: cannot open the X display \"" + display + "\" (DISPLAY)" + needNone,
       "qt.qpa.xcb: could not connect to display " + display},
      {"DISPLAY=" + display + " QT_QPA_PLATFORM=xbc XDG_RUNTIME_DIR=/tmp",
       "quorvane: the Qt platform plugin \"xbc\" could not be loaded (it is not installed); "
       "QT_QPA_PLATFORM names it: unset it, or set it to xcb or wayland",
       "Could not find the Qt platform plugin \"xbc\""},
      {"WAYLAND_DISPLAY=quorvane-nowhere XDG_RUNTIME_DIR=/tmp",
       "quorvane: cannot connect to the Wayland display \"quorvane-nowhere\"" + needNone,
       "Could not load the Qt platform plugin \"wayland\""},
  };
  const std::string broken = BrokenXPluginFolder();
  if (!broken.empty()) {
    // Not the display's fault, though there is none: the loader's reason names the library.
    cases.push_back({"DISPLAY=" + display + " QT_PLUGIN_PATH=" + broken,
                     "quorvane: the Qt platform plugin \"xcb\" is installed but could not be "
                     "loaded (" +
                         broken +
                         "/platforms/libqxcb.so: libQt6XcbQpz.so.6: cannot open shared object "
                         "file: No such file or directory)" +
                         needNone,
                     "Could not load the Qt platform plugin \"xcb\""});
  } else {
    ADD_FAILURE() << "Qt's X platform plugin was not found to make a broken copy of";
  }
  for (const Case& c : cases) {
    const auto [output, status] = RunProgram(c.environment);
    EXPECT_EQ(LastLine(output), c.line) << c.environment << "\n" << output;
    EXPECT_EQ(output.find("Reinstalling"), std::string::npos) << output;
    if (c.qtSaid.empty()) {
      EXPECT_EQ(output, c.line + "\n");
    } else {
      EXPECT_NE(output.find(c.qtSaid), std::string::npos) << c.environment << "\n" << output;
    }
    EXPECT_EQ(status, 1) << c.environment;
  }
  if (!broken.empty()) {
    std::filesystem::remove_all(broken);
  }
}

}  // namespace
