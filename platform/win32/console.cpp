#include "platform/console.h"

#include <windows.h>

#include <string>

namespace platform::console {
namespace {

// text in the console's own characters: a console takes UTF-16 whatever its code page, so that
// every letter of the report (in the system's code page) and of the document (in UTF-8) shows.
std::wstring Wide(std::string_view text, Encoding encoding) {
  const UINT codePage = encoding == Encoding::Utf8 ? CP_UTF8 : CP_ACP;
  const int length =
      ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) {
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
  }
  return wide;
}

std::string Reason(DWORD error) {
  char* message = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr);
  std::string reason = length > 0 ? std::string(message, length) : "error " + std::to_string(error);
  ::LocalFree(message);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == '.' || reason.back() == ' ')) {
    reason.pop_back();
  }
  return reason;
}

// Writes all of text to handle: to a console as UTF-16, to a pipe or file as the bytes given. The
// error of the failed write, or 0.
DWORD WriteAll(HANDLE handle, std::string_view text, Encoding encoding) {
  DWORD mode = 0;
  if (::GetConsoleMode(handle, &mode) != 0) {
    const std::wstring wide = Wide(text, encoding);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
      DWORD written = 0;
      if (::WriteConsoleW(handle, rest.data(), static_cast<DWORD>(rest.size()), &written,
                          nullptr) == 0) {
        return ::GetLastError();
      }
      rest.remove_prefix(written);
    }
    return 0;
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) == 0) {
      return ::GetLastError();
    }
    text.remove_prefix(written);
  }
  return 0;
}

}  // namespace

Outcome WriteOut(std::string_view text, Encoding encoding, std::string* why) {
  const DWORD error = WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), text, encoding);
  if (error == 0) {
    return Outcome::Written;
  }
  if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE) {
    return Outcome::Closed;  // the reading end of the pipe was closed
  }
  if (why != nullptr) {
    *why = Reason(error);
  }
  return Outcome::Failed;
}

bool CloseOut(std::string* why) {
  if (::CloseHandle(::GetStdHandle(STD_OUTPUT_HANDLE)) != 0) {
    return true;
  }
  const DWORD error = ::GetLastError();
  // A handle that was never given (a program started without standard output) has nothing to keep.
  if (error == ERROR_INVALID_HANDLE) {
    return true;
  }
  if (why != nullptr) {
    *why = Reason(error);
  }
  return false;
}

void WriteError(std::string_view text) {
  (void)WriteAll(::GetStdHandle(STD_ERROR_HANDLE), text, Encoding::SystemCodePage);
}

}  // namespace platform::console
