// A scriptable stand-in for the operating system: a test describes the machine, the calls answer
// from it with the platform's contract, and every call is logged in order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/types.h"

namespace fake {

struct Drive {
  std::string root;         // "C:\"
  platform::UINT type = 3;  // drive-type code
  bool sizeOk = true;       // the free-space query succeeds
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;  // for this user
  bool readable = true;         // the label search succeeds
  std::string label;
  bool serialOk = true;
  platform::DWORD serial = 0;
};

// A drive with a readable disk of the given kind, sizes, label and serial number.
inline Drive Disk(std::string root, platform::UINT type, std::uint64_t total, std::uint64_t free,
                  std::string label, platform::DWORD serial) {
  Drive drive;
  drive.root = std::move(root);
  drive.type = type;
  drive.totalBytes = total;
  drive.freeBytes = free;
  drive.label = std::move(label);
  drive.serial = serial;
  return drive;
}

struct Machine {
  // Text answers; nullopt makes the call fail. The text is written as it stands, NULs included.
  std::optional<std::string> computerName = "WORKSTATION";
  std::optional<std::string> userName = "alice";
  std::optional<std::string> windowsDirectory = "C:\\WINDOWS";
  std::optional<std::string> systemDirectory = "C:\\WINDOWS\\SYSTEM";
  std::optional<std::string> tempPath = "C:\\TEMP\\";
  char separator = '\\';
  // The 8-bit text's encoding (not logged: it is no probe's call).
  platform::TextEncoding textEncoding = platform::TextEncoding::CodePage;

  bool versionOk = true;
  platform::DWORD major = 4;
  platform::DWORD minor = 0;
  platform::DWORD platformId = 1;
  std::string csdVersion;

  platform::DWORD activeMask = 1;
  platform::DWORD processors = 1;
  platform::DWORD processorType = 586;

  platform::DWORD memoryLoad = 42;
  std::uint64_t totalPhys = 33554432;  // 32768 Kb
  std::uint64_t availPhys = 16777216;  // 16384 Kb

  int keyboardType = 4;
  int functionKeys = 12;

  bool driveListFails = false;
  std::vector<Drive> drives;
};

// The machine the calls answer from; Reset() puts back the defaults and clears the log.
Machine& machine();
void Reset();

// The calls made since the last Reset(), each as "Name(argument)", in order.
const std::vector<std::string>& Calls();
// The calls whose name is one of names, in order.
std::vector<std::string> CallsOf(const std::vector<std::string>& names);

// What the last text call found in the buffer it was handed, before it wrote its answer.
const std::string& LastBufferSeen();

}  // namespace fake
