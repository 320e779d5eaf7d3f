#include "platform/identity.h"

#include <dlfcn.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/contract.h"

namespace platform {

BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize) {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) {
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

UINT GetSystemDirectoryA(char* lpBuffer, UINT uSize) {
  // The system libraries live where the C library was loaded from.
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&::getpid), &info) == 0 || info.dli_fname == nullptr) {
    return 0;
  }
  const std::string library = info.dli_fname;
  const auto slash = library.rfind('/');
  if (slash == std::string::npos || slash == 0) {
    return slash == 0 ? contract::WriteOrNeed("/", lpBuffer, uSize) : 0;
  }
  return contract::WriteOrNeed(std::string_view(library).substr(0, slash), lpBuffer, uSize);
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
