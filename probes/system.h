// Module System: one operation per fact about the computer. Each asks the operating system once and
// never raises an error to its caller: a failed call gives the operation's fixed fallback. Text is
// 8-bit, in the platform's own encoding, and is passed on unchanged but for the steps each names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace System {

// Identity and directories. Names: "" when the call fails; the user name also when it does not fit
// the 50-character buffer, while the computer name is asked for again and comes back whole.
// Directories end with the platform's separator; "" when the call fails.
std::string ComputerName();
std::string UserName();
std::string WinDir();
std::string SystemDir();
std::string TempDir();

// Version and platform text. A platform id the probe does not know leaves strPlatform as it was.
void WinVer(std::int16_t& intMajor, std::int16_t& intMinor, std::string& strPlatform);

// Processor name ("80386", "80486", "Intel Pentium"; an unknown type leaves strProcessor as it
// was), the number of processors, and the mask of the active ones.
void SystemInfo(std::string& strProcessor, std::int32_t& lngNumOfProcessors,
                std::int32_t& lngActiveProcessor);

// Memory in use (per cent), total and available physical memory in kilobytes of 1024 bytes, rounded
// half to even and saturating at the largest 32-bit value.
void FreeMemory(std::uint8_t& btePercentUsed, std::int32_t& lngTotalRam, std::int32_t& lngFreeRam);

std::string KeyboardType();
std::uint8_t FunctionKeys();

// Drives. A root is the text the platform lists for a drive ("C:\", or "/home/" on Linux).
std::string DriveType(const std::string& strRoot);
// Adds the drives of each kind to the counters; it does not set them to 0 first.
void Drives(std::int16_t& intRemovable, std::int16_t& intNotRemovable, std::int16_t& intCD,
            std::int16_t& intRAM, std::int16_t& intNetwork);
// Total and free (for this user) bytes; 0 and 0 when the drive cannot be measured.
void DriveInfo(const std::string& strRoot, std::int64_t& lngTotalSpace, std::int64_t& lngFreeSpace);
// The volume's label; "NoName" for a readable volume without one, "" for one that cannot be read.
std::string VolumeLabel(const std::string& strRoot);
// "XXXX-XXXX" in upper-case hexadecimal; "0000-0000" when the call fails.
std::string SerialNumber(const std::string& strRoot);
// Decimal text with "." between groups of three digits, whatever the locale: 1234567 ->
// "1.234.567".
std::string PutPoints(std::int64_t lngNumber);

// The drive roots in the platform's order, asked for with a 10-character list first and once more
// with the length the platform needs. nullopt when the request fails, which a list without a drive
// is not.
std::optional<std::vector<std::string>> LogicalDriveRoots();

}  // namespace System
