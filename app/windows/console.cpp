// quorvane-cli: the Windows program's command line, a console program beside quorvane.exe, so that
// cmd and PowerShell wait for it and its output can be piped and redirected. The same options as
// quorvane on Linux, and Windows' own help switch /?; without one it starts the window program
// beside it.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/console.h"
#include "platform/console.h"

namespace {

constexpr char kProgram[] = "quorvane-cli";

// What --help says of Windows alone.
constexpr char kWindowsNotes[] =
    "On Windows /? shows this help too. --text written to a pipe or a file is in\n"
    "the console's code page (the OEM code page unless chcp changed it), in which\n"
    "type, find and more read it; --json is UTF-8 wherever it goes, and its lines\n"
    "end with LF.\n";

// The arguments with Windows' help switch read as --help, before a "--" that ends the options.
std::vector<const char*> Arguments(int argc, char** argv) {
  std::vector<const char*> arguments(argv, argv + argc);
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--") {
      break;
    }
    if (argument == "/?") {
      arguments[i] = "--help";
    }
  }
  return arguments;
}

// Started from Explorer (a double-click, a shortcut) a console program gets a console window of
// its own, which nobody reads when it only starts the window: it is let go of at once. A console
// shared with cmd or PowerShell lists their processes too and stays.
bool ConsoleIsOurOwn() {
  DWORD processes[2] = {};
  return ::GetConsoleProcessList(processes, 2) == 1;
}

// Starts quorvane.exe from this program's folder, and leaves it to run without a console. A
// failure is told on standard error, or in a message box where no console is left to read it.
int StartWindow(bool consoleless) {
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
  if (::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                       nullptr, nullptr, &startup, &process) == 0) {
    const std::string message =
        std::string(kProgram) + ": cannot start " + path + "; --text and --json need no window";
    if (consoleless) {
      ::MessageBoxA(nullptr, message.c_str(), kProgram, MB_OK | MB_ICONERROR);
    } else {
      platform::console::WriteError(message + "\r\n");
    }
    return app::kFailed;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return app::kOk;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<const char*> arguments = Arguments(argc, argv);
  const app::Command command =
      app::ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), kProgram);
  if (command.mode == app::Mode::Window) {
    const bool ownConsole = ConsoleIsOurOwn();
    if (ownConsole) {
      ::FreeConsole();
    }
    return StartWindow(ownConsole);
  }
  return app::RunWithoutWindow(command, kProgram, "\r\n", kWindowsNotes);
}
