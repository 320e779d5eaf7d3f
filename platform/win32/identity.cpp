#include "platform/identity.h"

#include <windows.h>

namespace platform {

// platform::DWORD is a 32-bit unsigned int, Windows' DWORD an unsigned long of the same width: the
// in/out counts are copied across rather than cast.

BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize) {
  if (nSize == nullptr) {
    return 0;
  }
  ::DWORD size = *nSize;
  const BOOL ok = ::GetComputerNameA(lpBuffer, &size);
  *nSize = size;
  return ok;
}

BOOL GetUserNameA(char* lpBuffer, DWORD* pcbBuffer) {
  if (pcbBuffer == nullptr) {
    return 0;
  }
  ::DWORD size = *pcbBuffer;
  const BOOL ok = ::GetUserNameA(lpBuffer, &size);
  *pcbBuffer = size;
  return ok;
}

UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize) {
  return ::GetWindowsDirectoryA(lpBuffer, uSize);
}

UINT GetSystemDirectoryA(char* lpBuffer, UINT uSize) {
  return ::GetSystemDirectoryA(lpBuffer, uSize);
}

DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer) {
  return ::GetTempPathA(nBufferLength, lpBuffer);
}

char DirectorySeparator() {
  return '\\';
}

}  // namespace platform
