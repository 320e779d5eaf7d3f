#include "platform/identity.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/backend/contract.h"

namespace platform {

BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize) {
  // The whole array, NUL included: the C library fails a name of HOST_NAME_MAX bytes that would
  // fill the length it is given.
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name) != 0) {
    return 0;
  }
  return contract::WriteName(name, lpBuffer, nSize, false);
}

BOOL GetUserNameA(char* lpBuffer, DWORD* pcbBuffer) {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> scratch(1024);
  // The scratch space the C library wants grows with the passwd entry; ERANGE asks for more.
  int error = 0;
  while ((error = ::getpwuid_r(::geteuid(), &entry, scratch.data(), scratch.size(), &found)) ==
             ERANGE &&
         scratch.size() < (1U << 20U)) {
    scratch.resize(scratch.size() * 2);
  }
  if (error != 0 || found == nullptr || entry.pw_name == nullptr) {
    return 0;
  }
  return contract::WriteName(entry.pw_name, lpBuffer, pcbBuffer, true);
}

UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize) {
  // The operating system's own tree.
  return contract::WriteOrNeed("/usr", lpBuffer, uSize);
}

namespace {

// The path the loaded C library was opened by, from the dynamic linker's own list of loaded
// objects: the same however the program was linked or started.
std::string LoadedLibcPath() {
  std::string path;
  if (void* libc = ::dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD)) {
    link_map* map = nullptr;
    if (::dlinfo(libc, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr) {
      path = map->l_name;
    }
    ::dlclose(libc);
  }
  return path;
}

}  // namespace

UINT GetSystemDirectoryA(char* lpBuffer, UINT uSize) {
  // The system libraries live where the C library was loaded from, named canonically: on a merged
  // /usr the /lib it may be found through is an alias of /usr/lib.
  const std::string library = LoadedLibcPath();
  if (library.empty()) {
    return 0;
  }
  char* resolved = ::realpath(library.c_str(), nullptr);
  if (resolved == nullptr) {
    return 0;
  }
  std::string canonical = resolved;
  std::free(resolved);  // NOLINT(cppcoreguidelines-no-malloc): realpath allocates with malloc
  const auto slash = canonical.rfind('/');
  if (slash == std::string::npos) {
    return 0;
  }
  canonical.resize(slash == 0 ? 1 : slash);
  return contract::WriteOrNeed(canonical, lpBuffer, uSize);
}

DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer) {
  // TMPDIR is honoured as the C library and the shell honour it, when it names a directory.
  std::string path = "/tmp/";
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir != nullptr && *tmpdir == '/') {
    struct stat status {};
    if (::stat(tmpdir, &status) == 0 && S_ISDIR(status.st_mode)) {
      path = tmpdir;
      if (path.back() != '/') {
        path += '/';
      }
    }
  }
  return contract::WriteOrNeed(path, lpBuffer, nBufferLength);
}

char DirectorySeparator() {
  return '/';
}

}  // namespace platform
