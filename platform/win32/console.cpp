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

// The code page of the report written to a pipe or a file: the console's (the OEM code page unless
// chcp changed it), which type, find and more read files in and PowerShell decodes a program's
// output with; the OEM code page where the program has no console.
UINT PipeCodePage() {
  const UINT codePage = ::GetConsoleOutputCP();
  return codePage != 0 ? codePage : ::GetOEMCP();
}

// Text in the system's code page, in codePage instead: a letter that has no place there becomes
// "?", as the window's 8-bit calls give a letter the system's code page lacks.
std::string InPipeCodePage(std::string_view text, UINT codePage) {
  if (codePage == ::GetACP() || text.empty()) {
    return std::string(text);
  }
  const std::wstring wide = Wide(text, Encoding::SystemCodePage);
  const int length = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
  if (length <= 0) {
    return std::string(text);  // a code page Windows cannot write: the bytes as they are
  }
  std::string bytes(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                        length, nullptr, nullptr);
  return bytes;
}

// Writes all of text to handle: to a console as UTF-16; to a pipe or file the document as its
// UTF-8 bytes and the report in the pipe's code page. The error of the failed write, or 0.
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
  const std::string bytes =
      encoding == Encoding::Utf8 ? std::string(text) : InPipeCodePage(text, PipeCodePage());
  std::string_view rest = bytes;
  while (!rest.empty()) {
    DWORD written = 0;
    if (::WriteFile(handle, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) == 0) {
      return ::GetLastError();
    }
    rest.remove_prefix(written);
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
