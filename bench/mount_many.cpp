// Mounts many filesystems quickly, for the drive-list benchmark in a private mount namespace:
//   mount_many tmpfs COUNT DIR   a small tmpfs at DIR/0 ... DIR/COUNT-1
//   mount_many bind COUNT DIR SOURCE   SOURCE bound at DIR/0 ... DIR/COUNT-1
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4 || (std::strcmp(argv[1], "bind") == 0 && argc < 5)) {
    std::fprintf(stderr, "usage: mount_many tmpfs|bind COUNT DIR [SOURCE]\n");
    return 2;
  }
  const bool bind = std::strcmp(argv[1], "bind") == 0;
  const long count = std::strtol(argv[2], nullptr, 10);
  const std::string directory = argv[3];
  for (long i = 0; i < count; ++i) {
    const std::string point = directory + "/" + std::to_string(i);
    ::mkdir(point.c_str(), 0755);
    const int result = bind ? ::mount(argv[4], point.c_str(), nullptr, MS_BIND, nullptr)
                            : ::mount("tmpfs", point.c_str(), "tmpfs", 0, "size=64k");
    if (result != 0) {
      std::fprintf(stderr, "mount %s: %s\n", point.c_str(), std::strerror(errno));
      return 1;
    }
  }
  return 0;
}
