#include "app/linux/modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <optional>

#include "app/linux/display_environment.h"
#include "ui/main/visible_text.h"

namespace app {
namespace {

// The program's own directory, as the kernel names it; nullopt where it cannot tell (no /proc), and
// never the working directory, which anyone may have filled.
std::optional<std::string> ProgramDirectory() {
  std::array<char, 4096> path{};
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0 || path[0] != '/') {
    return std::nullopt;
  }
  const std::string program(path.data(), static_cast<std::size_t>(length));
  return program.substr(0, program.rfind('/'));
}

}  // namespace

std::vector<std::string> ModulePaths(const std::string& file) {
  std::vector<std::string> paths;
  if (const auto directory = ProgramDirectory()) {
    paths = {*directory + "/" + file, *directory + "/" QUORVANE_MODULES_FROM_PROGRAM "/" + file};
  }
  paths.push_back(QUORVANE_MODULES_INSTALLED "/" + file);
  return paths;
}

void* LoadEntry(const std::vector<std::string>& paths, const char* symbol, std::string* why) {
  std::string reasons;
  const auto note = [&reasons](const std::string& reason) {
    reasons += (reasons.empty() ? "" : "; ") + reason;
  };
  for (const std::string& path : paths) {
    // A relative path would be looked for in the working directory or the library path: only the
    // program's own places are taken.
    if (!path.starts_with('/')) {
      note(path + ": not an absolute path");
      continue;
    }
    // Kept loaded for the rest of the run: its code runs until the process ends.
    void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (module == nullptr) {
      const char* error = ::dlerror();
      note(error != nullptr ? error : path);
      continue;
    }
    if (void* entry = ::dlsym(module, symbol)) {
      return entry;
    }
    note(path + ": not the module (no " + symbol + ")");
  }
  if (why != nullptr) {
    // Paths and the loader's words as people may be shown them: a directory name may hold any byte.
    *why = visibletext::Escaped(reasons, platform::TextEncoding::Utf8);
  }
  return nullptr;
}

int ShowWindow(int argc, char** argv, const std::vector<std::string>& paths, int flags) {
  // Said before Qt is loaded: where no display is named there is nothing to load it for.
  if (const auto line = NoDisplayLine(DisplayEnvironment::OfProcess())) {
    std::fputs(line->c_str(), stderr);
    return kNoDisplayStatus;
  }
  std::string why;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym's only way to a function
  const auto run = reinterpret_cast<WindowMain>(LoadEntry(paths, kWindowMain, &why));
  if (run == nullptr) {
    std::fprintf(stderr,
                 "quorvane: the window cannot be shown, its module could not be loaded (%s); "
                 "--text and --json need no window\n",
                 why.c_str());
    return kNoDisplayStatus;
  }
  return run(argc, argv, flags);
}

}  // namespace app
