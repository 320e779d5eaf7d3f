// The Linux backend and the probes on this machine, checked against the operating system itself.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/identity.h"
#include "probes/system.h"

namespace {

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

TEST(ThisMachine, NamesAreTheSystemsOwn) {
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  const std::string expected = std::string(host).size() < 50 ? host : "";
  EXPECT_EQ(System::ComputerName(), expected);
  const passwd* user = ::getpwuid(::geteuid());
  if (user != nullptr && std::string(user->pw_name).size() < 50) {
    EXPECT_EQ(System::UserName(), user->pw_name);
  }
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
  std::string processor;
  std::int32_t count = 0;
  std::int32_t mask = 0;
  System::SystemInfo(processor, count, mask);
  EXPECT_EQ(count, ::sysconf(_SC_NPROCESSORS_ONLN));
  const int bits = __builtin_popcount(static_cast<unsigned>(mask));
  EXPECT_EQ(bits, count < 32 ? count : 32);
#if defined(__x86_64__) || defined(__i386__)
  EXPECT_EQ(processor, "Intel Pentium");
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

TEST(ThisMachine, KeyboardAnswersAreConsistent) {
  const std::string type = System::KeyboardType();
  const int keys = System::FunctionKeys();
  EXPECT_TRUE((type.empty() && keys == 0) || (!type.empty() && keys == 12)) << type << keys;
}

}  // namespace
