// quorvane-cli: the Windows program's command line, a console program beside quorvane.exe, so that
// cmd and PowerShell wait for it and its output can be piped and redirected. The same options as
// quorvane on Linux; without one it starts the window program beside it.
#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/console.h"
#include "platform/console.h"

namespace {

constexpr char kProgram[] = "quorvane-cli";

// Starts quorvane.exe from this program's folder, and leaves it to run.
int StartWindow() {
  std::string path(MAX_PATH, '\0');
  DWORD length = 0;
  while ((length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);
  }
  path.resize(length);
  path = path.substr(0, path.find_last_of("\\/") + 1) + "quorvane.exe";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + path + "\"";
  if (::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process) == 0) {
    platform::console::WriteError(std::string(kProgram) + ": cannot start " + path +
                                  "; --text and --json need no window\n");
    return app::kFailed;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return app::kOk;
}

}  // namespace

int main(int argc, char** argv) {
  const app::Command command = app::ParseCommandLine(argc, argv, kProgram);
  if (command.mode == app::Mode::Window) {
    return StartWindow();
  }
  return app::RunWithoutWindow(command, kProgram, "\r\n");
}
