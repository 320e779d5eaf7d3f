#include "platform/identity.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/backend/contract.h"
#include "platform/linux/start_up.h"

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
  // Looked up with the start-up's other waits, within their bound.
  const auto name = linux_start_up::UserName();
  if (!name) {
    return 0;
  }
  return contract::WriteName(*name, lpBuffer, pcbBuffer, true);
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
  // TMPDIR may lie on a share: it is looked at with the start-up's other waits, within their
  // bound.
  return contract::WriteOrNeed(linux_start_up::TempDirectory(), lpBuffer, nBufferLength);
}

char DirectorySeparator() {
  return '/';
}

}  // namespace platform
