// The Linux backend and the probes on this machine, checked against the operating system itself.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <limits.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/identity.h"
#include "probes/system.h"
#include "tests/support/private_namespaces.h"

namespace {

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

TEST(ThisMachine, NamesAreTheSystemsOwn) {
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  EXPECT_EQ(System::ComputerName(), host);
  const passwd* user = ::getpwuid(::geteuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(System::UserName(), user->pw_name);
}

// Host names longer than the probe's first buffer, set in a private UTS namespace: a long cloud
// name, the longest the kernel takes, and 26 letters "ä" (52 bytes of UTF-8).
TEST(ThisMachine, AHostNameOfAnyValidLengthIsTheComputerNameWhole) {
  std::string umlauts;
  for (int letter = 0; letter < 26; ++letter) {
    umlauts += "\xC3\xA4";
  }
  const std::string names[] = {
      "ip-172-31-25-190.eu-central-1.compute.internal.example.cloud",  // 60 bytes
      std::string(HOST_NAME_MAX, 'h'),
      umlauts,
      std::string(49, 'n'),
      std::string(50, 'n'),
  };
  const auto faults = testing_support::InPrivateNamespaces(CLONE_NEWUTS, [&names] {
    std::string faults;
    for (const std::string& name : names) {
      if (::sethostname(name.data(), name.size()) != 0) {
        return "sethostname(" + name + ") failed";
      }
      const std::string shown = System::ComputerName();
      if (shown != name) {
        faults += std::to_string(name.size()) + " bytes shown as \"" + shown + "\"\n";
      }
    }
    return faults;
  });
  if (!faults) {
    GTEST_SKIP() << "a private UTS namespace needs root";
  }
  EXPECT_EQ(*faults, "");
}

TEST(ThisMachine, DirectoriesExistAndEndWithASlash) {
  EXPECT_EQ(System::WinDir(), "/usr/");
  const std::string system = System::SystemDir();
  ASSERT_FALSE(system.empty());
  EXPECT_EQ(system.back(), '/');
  EXPECT_TRUE(IsDirectory(system));
  std::ifstream libc(system + "libc.so.6");
  EXPECT_TRUE(libc.good()) << system;
  // Named canonically: not through an alias such as /lib on a merged /usr.
  EXPECT_EQ(std::filesystem::canonical(system).string() + "/", system);
  const std::string temp = System::TempDir();
  EXPECT_EQ(temp.back(), '/');
  EXPECT_TRUE(IsDirectory(temp));
}

TEST(ThisMachine, TempDirFollowsTmpdirOnlyWhenItIsADirectory) {
  const char* saved = std::getenv("TMPDIR");
  const std::string keep = saved == nullptr ? "" : saved;
  ::setenv("TMPDIR", "/usr/share", 1);
  EXPECT_EQ(System::TempDir(), "/usr/share/");
  ::setenv("TMPDIR", "/no/such/directory", 1);
  EXPECT_EQ(System::TempDir(), "/tmp/");
  ::unsetenv("TMPDIR");
  EXPECT_EQ(System::TempDir(), "/tmp/");
  if (saved != nullptr) {
    ::setenv("TMPDIR", keep.c_str(), 1);
  }
}

TEST(ThisMachine, VersionIsTheKernelsAndThePlatformItsName) {
  utsname names{};
  ASSERT_EQ(::uname(&names), 0);
  std::int16_t major = -1;
  std::int16_t minor = -1;
  std::string platform;
  System::WinVer(major, minor, platform);
  EXPECT_EQ(platform, names.sysname);
  const std::string release = names.release;
  EXPECT_EQ(release.rfind(std::to_string(major) + "." + std::to_string(minor) + ".", 0), 0U)
      << release;
}

TEST(ThisMachine, ProcessorsAreTheOnlineCpus) {
  std::string processor = "as the caller left it";
  std::int32_t count = 0;
  std::int32_t mask = 0;
  System::SystemInfo(processor, count, mask);
  EXPECT_EQ(count, ::sysconf(_SC_NPROCESSORS_ONLN));
  const int bits = __builtin_popcount(static_cast<unsigned>(mask));
  EXPECT_EQ(bits, count < 32 ? count : 32);
#if defined(__x86_64__) || defined(__i386__)
  EXPECT_EQ(processor, "Intel Pentium");
#else
  // Any other processor (ARM) is of no type the probe names: the name is left unassigned.
  EXPECT_EQ(processor, "as the caller left it");
#endif
}

std::int64_t MemInfoKilobytes(const std::string& key) {
  std::ifstream file("/proc/meminfo");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(key + ":", 0) == 0) {
      return std::stoll(line.substr(key.size() + 1));
    }
  }
  return -1;
}

TEST(ThisMachine, MemoryAgreesWithProcMeminfo) {
  std::uint8_t load = 0;
  std::int32_t total = 0;
  std::int32_t free = 0;
  System::FreeMemory(load, total, free);
  EXPECT_EQ(total, MemInfoKilobytes("MemTotal"));
  // Other processes allocate between the two reads; a few megabytes of drift is allowed.
  EXPECT_NEAR(free, MemInfoKilobytes("MemAvailable"), 64 * 1024);
  EXPECT_LE(load, 100);
  EXPECT_NEAR(load, 100 - 100.0 * free / total, 1.0);
}

// Where /proc/meminfo cannot be opened (a /proc without it) or holds nothing to read (an empty
// file, or text without the memory in it, put in its place), the figures are sysinfo(2)'s: the
// total, and free plus buffer memory as available. Each case hides the file in a private mount
// namespace of a process started anew (a death test of the thread-safe style), so that no
// descriptor this process kept open for the refresh reads the real file past the hiding.
TEST(ThisMachine, MemoryComesFromSysinfoWhereMeminfoCannotBeRead) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "hiding /proc/meminfo in a private mount namespace needs root";
  }
#ifdef QUORVANE_UNDER_EMULATOR
  // qemu-user cannot start this program anew; ctest runs each case in a process of its own, which
  // has read no memory figure yet, so a forked child keeps no descriptor of the real file either.
  GTEST_FLAG_SET(death_test_style, "fast");
#else
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#endif
  const auto hiddenThenMeasured = [](const std::function<bool()>& hide) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !hide()) {
      std::fprintf(stderr, "/proc/meminfo could not be hidden: %s\n", std::strerror(errno));
      std::_Exit(2);
    }
    std::uint8_t load = 0;
    std::int32_t total = 0;
    std::int32_t free = 0;
    System::FreeMemory(load, total, free);
    struct sysinfo summary {};
    ::sysinfo(&summary);
    const double unit = summary.mem_unit;
    const auto expectedTotal = std::llround(static_cast<double>(summary.totalram) * unit / 1024);
    const double expectedFree =
        (static_cast<double>(summary.freeram) + static_cast<double>(summary.bufferram)) * unit /
        1024;
    std::string faults;
    if (total <= 0 || total != expectedTotal) {
      faults += "total " + std::to_string(total) + " Kb, sysinfo " + std::to_string(expectedTotal) +
                " Kb\n";
    }
    // Other processes allocate between the two reads; a few megabytes of drift is allowed.
    if (free <= 0 || std::abs(free - expectedFree) > 64 * 1024) {
      faults += "free " + std::to_string(free) + " Kb, sysinfo " +
                std::to_string(std::llround(expectedFree)) + " Kb\n";
    }
    if (total > 0 && std::abs(load - (100 - 100.0 * free / total)) > 1.0) {
      faults += "load " + std::to_string(load) + " %\n";
    }
    std::fputs(faults.c_str(), stderr);
    std::_Exit(faults.empty() ? 0 : 1);
  };
  const auto bindOverMeminfo = [](const char* source) {
    return ::mount(source, "/proc/meminfo", nullptr, MS_BIND, nullptr) == 0;
  };
  EXPECT_EXIT(hiddenThenMeasured([] { return testing_support::MountTmpfs("/proc", 64); }),
              ::testing::ExitedWithCode(0), "")
      << "a /proc without meminfo";
  EXPECT_EXIT(hiddenThenMeasured([&] { return bindOverMeminfo("/dev/null"); }),
              ::testing::ExitedWithCode(0), "")
      << "an empty meminfo";
  EXPECT_EXIT(hiddenThenMeasured([&] { return bindOverMeminfo("/proc/version"); }),
              ::testing::ExitedWithCode(0), "")
      << "a meminfo without memory in it";
}

// Whether this machine has a keyboard, read here independently of the program: from udev's device
// database where udev runs, else from the kernel's input devices (a keyboard handler on a device
// that repeats keys, which power buttons and lid switches do not).
bool KeyboardAttached() {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_directory("/run/udev/data", error)) {
    for (const auto& entry : fs::directory_iterator("/run/udev/data", error)) {
      std::ifstream file(entry.path());
      std::string line;
      while (std::getline(file, line)) {
        if (line == "E:ID_INPUT_KEYBOARD=1") {
          return true;
        }
      }
    }
    return false;
  }
  std::ifstream devices("/proc/bus/input/devices");
  std::string line;
  bool keyboardHandler = false;
  bool found = false;
  while (std::getline(devices, line)) {
    if (line.rfind("H: Handlers=", 0) == 0) {
      std::istringstream handlers(line.substr(12));
      std::string handler;
      while (handlers >> handler) {
        keyboardHandler = keyboardHandler || handler == "kbd";
      }
    } else if (line.rfind("B: EV=", 0) == 0) {
      const unsigned long events = std::stoul(line.substr(6), nullptr, 16);
      found = found || (keyboardHandler && (events & 0x2UL) != 0 && (events & 0x100000UL) != 0);
    } else if (line.empty()) {
      keyboardHandler = false;
    }
  }
  return found;
}

TEST(ThisMachine, KeyboardIsTheOneAttached) {
  if (!KeyboardAttached()) {
    EXPECT_EQ(System::KeyboardType(), "");
    EXPECT_EQ(System::FunctionKeys(), 0);
    return;
  }
  std::ifstream defaults("/etc/default/keyboard");
  std::string line;
  bool japanese = false;
  while (std::getline(defaults, line)) {
    japanese = japanese || line.find("XKBMODEL=\"jp") != std::string::npos ||
               line.find("XKBMODEL=jp") != std::string::npos;
  }
  EXPECT_EQ(System::KeyboardType(), japanese ? "Japanese" : "IBM enhanced (101 or 102 key)");
  EXPECT_EQ(System::FunctionKeys(), 12);
}

}  // namespace
