#include "tests/fake/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "platform/backend/contract.h"
#include "platform/drives.h"
#include "platform/identity.h"
#include "platform/keyboard.h"
#include "platform/sysinfo.h"
#include "platform/text.h"
#include "platform/unicode.h"

namespace fake {
namespace {

struct State {
  Machine machine;
  std::vector<std::string> calls;
  std::string lastBuffer;
};

State& state() {
  static State instance;
  return instance;
}

void Log(std::string call) {
  state().calls.push_back(std::move(call));
}

void SeeBuffer(const char* buffer, std::size_t size) {
  state().lastBuffer = buffer == nullptr ? std::string() : std::string(buffer, size);
}

const Drive* Find(const char* root) {
  const auto& drives = state().machine.drives;
  const auto found = std::find_if(drives.begin(), drives.end(),
                                  [root](const Drive& drive) { return drive.root == root; });
  return found == drives.end() ? nullptr : &*found;
}

platform::UINT Directory(const char* name, const std::optional<std::string>& answer, char* buffer,
                         platform::UINT size) {
  Log(std::string(name) + "(" + std::to_string(size) + ")");
  SeeBuffer(buffer, size);
  return answer ? platform::contract::WriteOrNeed(*answer, buffer, size) : 0;
}

}  // namespace

Machine& machine() {
  return state().machine;
}

void Reset() {
  state() = State{};
}

const std::vector<std::string>& Calls() {
  return state().calls;
}

std::vector<std::string> CallsOf(const std::vector<std::string>& names) {
  std::vector<std::string> selected;
  for (const auto& call : state().calls) {
    const std::string name = call.substr(0, call.find('('));
    if (std::find(names.begin(), names.end(), name) != names.end()) {
      selected.push_back(call);
    }
  }
  return selected;
}

const std::string& LastBufferSeen() {
  return state().lastBuffer;
}

}  // namespace fake

namespace platform {

using fake::machine;

BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize) {
  fake::Log("GetComputerNameA(" + std::to_string(nSize ? *nSize : 0) + ")");
  fake::SeeBuffer(lpBuffer, nSize ? *nSize : 0);
  const auto& name = machine().computerName;
  return name ? contract::WriteName(*name, lpBuffer, nSize, false) : 0;
}

BOOL GetUserNameA(char* lpBuffer, DWORD* pcbBuffer) {
  fake::Log("GetUserNameA(" + std::to_string(pcbBuffer ? *pcbBuffer : 0) + ")");
  fake::SeeBuffer(lpBuffer, pcbBuffer ? *pcbBuffer : 0);
  const auto& name = machine().userName;
  return name ? contract::WriteName(*name, lpBuffer, pcbBuffer, true) : 0;
}

UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize) {
  return fake::Directory("GetWindowsDirectoryA", machine().windowsDirectory, lpBuffer, uSize);
}

UINT GetSystemDirectoryA(char* lpBuffer, UINT uSize) {
  return fake::Directory("GetSystemDirectoryA", machine().systemDirectory, lpBuffer, uSize);
}

DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer) {
  return fake::Directory("GetTempPathA", machine().tempPath, lpBuffer, nBufferLength);
}

char DirectorySeparator() {
  return machine().separator;
}

TextEncoding SystemTextEncoding() {
  return machine().textEncoding;
}

BOOL GetVersionExA(OSVERSIONINFOA* record) {
  fake::Log("GetVersionExA(" + std::to_string(record->dwOSVersionInfoSize) + ")");
  if (!machine().versionOk) {
    return 0;
  }
  record->dwMajorVersion = machine().major;
  record->dwMinorVersion = machine().minor;
  record->dwPlatformId = machine().platformId;
  std::strncpy(record->szCSDVersion, machine().csdVersion.c_str(), sizeof record->szCSDVersion - 1);
  return 1;
}

void GetSystemInfo(SYSTEM_INFO* record) {
  fake::Log("GetSystemInfo()");
  record->dwActiveProcessorMask = machine().activeMask;
  record->dwNumberOfProcessors = machine().processors;
  record->dwProcessorType = machine().processorType;
}

void GlobalMemoryStatus(MEMORYSTATUS* record) {
  fake::Log("GlobalMemoryStatus(" + std::to_string(record->dwLength) + ")");
  record->dwMemoryLoad = machine().memoryLoad;
  record->dwTotalPhys = machine().totalPhys;
  record->dwAvailPhys = machine().availPhys;
}

int GetKeyboardType(int nTypeFlag) {
  fake::Log("GetKeyboardType(" + std::to_string(nTypeFlag) + ")");
  switch (nTypeFlag) {
    case 0:
      return machine().keyboardType;
    case 2:
      return machine().functionKeys;
    default:
      return 0;
  }
}

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  fake::Log("GetLogicalDriveStringsA(" + std::to_string(nBufferLength) + ")");
  fake::SeeBuffer(lpBuffer, nBufferLength);
  if (machine().driveListFails) {
    return 0;
  }
  std::string list;
  for (const auto& drive : machine().drives) {
    list += drive.root;
    list += '\0';
  }
  return contract::WriteOrNeed(list, lpBuffer, nBufferLength);
}

UINT GetDriveTypeA(const char* root) {
  fake::Log(std::string("GetDriveTypeA(") + root + ")");
  const auto* drive = fake::Find(root);
  return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

BOOL GetDiskFreeSpaceExA(const char* root, std::uint64_t* available, std::uint64_t* total,
                         std::uint64_t* totalFree) {
  fake::Log(std::string("GetDiskFreeSpaceExA(") + root + ")");
  const auto* drive = fake::Find(root);
  if (drive == nullptr || !drive->sizeOk) {
    return 0;
  }
  *available = drive->freeBytes;
  *total = drive->totalBytes;
  *totalFree = drive->freeBytes;
  return 1;
}

BOOL GetVolumeInformationA(const char* root, char*, DWORD, DWORD* serial, DWORD*, DWORD*, char*,
                           DWORD) {
  fake::Log(std::string("GetVolumeInformationA(") + root + ")");
  const auto* drive = fake::Find(root);
  if (drive == nullptr || !drive->serialOk) {
    return 0;
  }
  if (serial != nullptr) {
    *serial = drive->serial;
  }
  return 1;
}

bool Dir(const char* path, int attributes, std::string* name) {
  fake::Log(std::string("Dir(") + path + "," + std::to_string(attributes) + ")");
  const auto* drive = fake::Find(path);
  if (drive == nullptr || !drive->readable) {
    return false;
  }
  *name = drive->label;
  return true;
}

}  // namespace platform

namespace platform::unicode {

// The fake machine's texts are its whole answers already.
std::optional<std::string> ComputerName() {
  return machine().computerName;
}

std::optional<std::string> UserName() {
  return machine().userName;
}

std::optional<std::string> WindowsDirectory() {
  return machine().windowsDirectory;
}

std::optional<std::string> SystemDirectory() {
  return machine().systemDirectory;
}

std::optional<std::string> TempPath() {
  return machine().tempPath;
}

std::optional<Volume> VolumeAt(const std::string& root) {
  fake::Log("VolumeAt(" + root + ")");
  const auto* drive = fake::Find(root.c_str());
  if (drive == nullptr || !drive->readable || !drive->serialOk) {
    return std::nullopt;
  }
  return Volume{drive->label, drive->serial};
}

}  // namespace platform::unicode
