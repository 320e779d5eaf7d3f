// The least that any listing of the visible drives with their sizes must do, for bench/mounts.sh:
// read the mount table once, look at each mount point once (one statx) and ask its size (one
// statfs), with no check that the two saw the same filesystem. Prints the microseconds of reading
// the table, of reading it and looking at the points, and of all three; then the points looked at.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The fifth field of a mountinfo line, its octal escapes turned back into bytes.
std::string MountPoint(std::string_view line) {
  for (int field = 0; field < 4; ++field) {
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos) {
      return {};
    }
    line.remove_prefix(blank + 1);
  }
  line = line.substr(0, line.find(' '));
  std::string point;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 3 < line.size()) {
      point += static_cast<char>((line[i + 1] - '0') * 64 + (line[i + 2] - '0') * 8 +
                                 (line[i + 3] - '0'));
      i += 3;
    } else {
      point += line[i];
    }
  }
  return point;
}

}  // namespace

int main() {
  const auto start = std::chrono::steady_clock::now();
  std::string table;
  const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return 1;
  }
  char chunk[64 * 1024];
  for (ssize_t count = 0; (count = ::read(fd, chunk, sizeof chunk)) > 0;) {
    table.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(fd);
  const auto read = std::chrono::steady_clock::now() - start;
  long looked = 0;
  std::string_view rest = table;
  std::vector<std::string> points;
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    points.push_back(MountPoint(rest.substr(0, end)));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  for (const std::string& point : points) {
    struct statx status {};
    looked += ::statx(AT_FDCWD, point.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                      STATX_TYPE | STATX_MNT_ID, &status) == 0
                  ? 1
                  : 0;
  }
  const auto seen = std::chrono::steady_clock::now() - start;
  const auto sizing = std::chrono::steady_clock::now();
  for (const std::string& point : points) {
    struct statfs sizes {};
    ::statfs(point.c_str(), &sizes);
  }
  const auto sized = seen + (std::chrono::steady_clock::now() - sizing);
  const auto micro = [](auto duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
  };
  std::printf("%.1f %.1f %.1f %ld\n", micro(read), micro(seen), micro(sized), looked);
  return 0;
}
