// quorvane-cli: the Windows program's command line, a console program beside quorvane.exe, so that
// cmd and PowerShell wait for it and its output can be piped and redirected. The same options as
// quorvane on Linux; without one it starts the window program beside it.
#include <windows.h>

#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/console.h"
#include "platform/console.h"
#include "platform/growing_buffer.h"

namespace {

constexpr char kProgram[] = "quorvane-cli";

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

// A path for a message, in the system's code page.
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

// Starts quorvane.exe from this program's folder, and leaves it to run. The folder is named through
// the wide-character calls: an install folder whose letters the ANSI code page lacks would
// otherwise name no folder at all.
int StartWindow() {
  const std::optional<std::wstring> own = OwnPath();
  const std::size_t slash = own ? own->find_last_of(L"\\/") : std::wstring::npos;
  if (slash == std::wstring::npos) {
    // Never a program by a relative name: that would be looked for in the working directory.
    platform::console::WriteError(
        std::string(kProgram) + ": cannot tell its own folder; --text and --json need no window\n");
    return app::kFailed;
  }
  const std::wstring path = own->substr(0, slash + 1) + L"quorvane.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + path + L"\"";
  if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process) == 0) {
    platform::console::WriteError(std::string(kProgram) + ": cannot start " + Narrow(path) +
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
