#include "app/linux/modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "app/linux/display_environment.h"

namespace app {
namespace {

std::string ProgramDirectory() {
  std::array<char, 4096> path{};
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) {
    return ".";
  }
  const std::string program(path.data(), static_cast<std::size_t>(length));
  return program.substr(0, program.rfind('/'));
}

}  // namespace

std::vector<std::string> ModulePaths(const std::string& file) {
  const std::string directory = ProgramDirectory();
  return {directory + "/" + file, directory + "/" QUORVANE_MODULES_FROM_PROGRAM "/" + file,
          QUORVANE_MODULES_INSTALLED "/" + file};
}

void* LoadEntry(const std::vector<std::string>& paths, const char* symbol, std::string* why) {
  std::string reasons;
  for (const std::string& path : paths) {
    // Kept loaded for the rest of the run: its code runs until the process ends.
    void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (module == nullptr) {
      const char* error = ::dlerror();
      reasons += (reasons.empty() ? "" : "; ") + std::string(error != nullptr ? error : path);
      continue;
    }
    if (void* entry = ::dlsym(module, symbol)) {
      return entry;
    }
    reasons += (reasons.empty() ? "" : "; ") + path + ": not the module (no " + symbol + ")";
  }
  if (why != nullptr) {
    *why = reasons;
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
