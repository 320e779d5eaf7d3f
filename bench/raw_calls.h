// The operating-system queries behind a start-up, made directly and with no program logic around
// them: the reference the program's own work is measured against.
#pragma once

#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

namespace bench_support {

inline std::string Slurp(const char* path) {
  std::string text;
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return text;
  }
  char chunk[8192];
  ssize_t count = 0;
  while ((count = ::read(fd, chunk, sizeof chunk)) > 0) {
    text.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(fd);
  return text;
}

// The mount points of filesystems on block devices, plus "/": roughly the drives, found without
// the program's rules.
inline std::vector<std::string> RoughMountPoints(const std::string& mountinfo) {
  std::vector<std::string> points;
  std::istringstream lines(mountinfo);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point, field;
    fields >> id >> parent >> device >> root >> point;
    while (fields >> field && field != "-") {
    }
    std::string type, source;
    fields >> type >> source;
    if (point == "/" || source.rfind("/dev/", 0) == 0) {
      points.push_back(point);
    }
  }
  return points;
}

// Returns a checksum so that the compiler keeps every call.
inline long RawStartupCalls() {
  long sum = 0;
  char host[HOST_NAME_MAX + 1];
  sum += ::gethostname(host, sizeof host);
  passwd entry{};
  passwd* found = nullptr;
  char scratch[1024];
  sum += ::getpwuid_r(::geteuid(), &entry, scratch, sizeof scratch, &found);
  Dl_info info{};
  sum += ::dladdr(reinterpret_cast<void*>(&::getpid), &info);
  struct stat status {};
  sum += ::stat("/tmp", &status);
  utsname names{};
  sum += ::uname(&names);
  sum += ::sysconf(_SC_NPROCESSORS_ONLN);
  sum += static_cast<long>(Slurp("/sys/devices/system/cpu/online").size());
  sum += static_cast<long>(Slurp("/proc/meminfo").size());
  sum += static_cast<long>(Slurp("/proc/bus/input/devices").size());
  const std::string mountinfo = Slurp("/proc/self/mountinfo");
  for (const std::string& point : RoughMountPoints(mountinfo)) {
    struct statvfs volume {};
    sum += ::statvfs(point.c_str(), &volume);
    sum += ::stat(point.c_str(), &status);
  }
  return sum;
}

}  // namespace bench_support
