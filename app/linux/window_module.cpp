#include "app/linux/window_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "app/linux/display_environment.h"
#include "app/linux/window_entry.h"

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

std::vector<std::string> WindowModulePaths() {
  const std::string directory = ProgramDirectory();
  return {directory + "/" QUORVANE_WINDOW_FILE,
          directory + "/" QUORVANE_MODULES_FROM_PROGRAM "/" QUORVANE_WINDOW_FILE,
          QUORVANE_MODULES_INSTALLED "/" QUORVANE_WINDOW_FILE};
}

int ShowWindow(int argc, char** argv, const std::vector<std::string>& paths, int flags) {
  // Said before Qt is loaded: where no display is named there is nothing to load it for.
  if (const auto line = NoDisplayLine(DisplayEnvironment::OfProcess())) {
    std::fputs(line->c_str(), stderr);
    return kNoDisplayStatus;
  }
  std::string reasons;
  for (const std::string& path : paths) {
    // Kept loaded for the rest of the run: the window's code runs until the process ends.
    void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (module == nullptr) {
      const char* why = ::dlerror();
      reasons += (reasons.empty() ? "" : "; ") + std::string(why != nullptr ? why : path);
      continue;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym's only way to a function
    if (auto run = reinterpret_cast<WindowMain>(::dlsym(module, kWindowMain))) {
      return run(argc, argv, flags);
    }
    reasons += (reasons.empty() ? "" : "; ") + path + ": not the window module";
  }
  std::fprintf(stderr,
               "quorvane: the window cannot be shown, its module could not be loaded (%s); "
               "--text and --json need no window\n",
               reasons.c_str());
  return kNoDisplayStatus;
}

}  // namespace app
