// Names and directories of the computer, asked for with the 8-bit calls' contract: the caller hands
// a buffer and its capacity (terminating NUL included); the answer is written at the buffer's
// start, followed by a NUL, and the rest of the buffer is left as it was.
#pragma once

#include "platform/types.h"

namespace platform {

// Network name of the computer. On entry *nSize is the capacity; on success the result is non-zero
// and *nSize the name's length without NUL. A name that does not fit fails (0) and leaves the
// buffer alone, with *nSize set to the capacity it needs.
BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize);

// Name of the user the program runs as. On entry *pcbBuffer is the capacity; on success the result
// is non-zero and *pcbBuffer the length with NUL. A name that does not fit fails (0).
BOOL GetUserNameA(char* lpBuffer, DWORD* pcbBuffer);

// The operating system's main directory, its system-library directory, and the directory for
// temporary files. Each returns the length written without NUL; when the answer does not fit, the
// capacity it needs (NUL included), which is greater than uSize, and the buffer is left alone; 0
// when the call fails. The main and system directories come without a trailing separator, the
// temporary directory with one.
UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize);
UINT GetSystemDirectoryA(char* lpBuffer, UINT uSize);
DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer);

// The separator this system ends a directory with: '\\' on Windows, '/' elsewhere.
char DirectorySeparator();

}  // namespace platform
