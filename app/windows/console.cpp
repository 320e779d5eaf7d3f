// quorvane-cli: the Windows program's command line, a console program beside quorvane.exe, so that
// cmd and PowerShell wait for it and its output can be piped and redirected. The same options as
// quorvane on Linux, and Windows' own help switch /?; without one it starts the window program
// beside it.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/console.h"
#include "platform/console.h"
#include "platform/growing_buffer.h"

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

// This program's own path, whole whatever letters its folders have.
std::optional<std::wstring> OwnPath() {
  // 32767 characters, the longest path Windows has, after seven doublings of MAX_PATH.
  return platform::AskGrowing(std::size_t{MAX_PATH}, L'\0', 8, [](std::wstring& buffer) {
    const auto capacity = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), capacity);
    if (length == 0) {
      return platform::BufferReply{};
    }
    // A path cut off to fit fills the buffer, and the call does not say how much it needs.
    if (length >= capacity) {
      return platform::BufferReply{false, 2 * buffer.size()};
    }
    buffer.resize(length);
    return platform::BufferReply{true, 0};
  });
}

// A message in the system's code page, for standard error.
std::string Narrow(const std::wstring& text) {
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          length, nullptr, nullptr);
  }
  return narrow;
}

// Why the window was not started: on standard error, or in a message box where no console is left
// to read it (which shows every letter of the path).
void TellFailure(const std::wstring& why, bool consoleless) {
  const std::wstring program(kProgram, kProgram + sizeof kProgram - 1);
  const std::wstring message = program + L": " + why + L"; --text and --json need no window";
  if (consoleless) {
    ::MessageBoxW(nullptr, message.c_str(), program.c_str(), MB_OK | MB_ICONERROR);
  } else {
    platform::console::WriteError(Narrow(message) + "\r\n");
  }
}

// Starts quorvane.exe from this program's folder, and leaves it to run without a console. The
// folder is named through the wide-character calls: an install folder whose letters the ANSI code
// page lacks would otherwise name no folder at all.
int StartWindow(bool consoleless) {
  const std::optional<std::wstring> own = OwnPath();
  const std::size_t slash = own ? own->find_last_of(L"\\/") : std::wstring::npos;
  if (slash == std::wstring::npos) {
    // Never a program by a relative name: that would be looked for in the working directory.
    TellFailure(L"cannot tell its own folder", consoleless);
    return app::kFailed;
  }
  const std::wstring path = own->substr(0, slash + 1) + L"quorvane.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + path + L"\"";
  if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                       nullptr, nullptr, &startup, &process) == 0) {
    TellFailure(L"cannot start " + path, consoleless);
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
