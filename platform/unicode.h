// The names, directories and volume labels whole and in Unicode, for the facts document: the 8-bit
// calls the window uses lose what the ANSI code page cannot hold (a user named in Cyrillic on a
// Western code page) and what does not fit the window's 50-character buffers. Windows answers from
// its wide-character calls, converted to UTF-8; a system whose text is bytes (Linux) gives its
// bytes as they are, which are UTF-8 by convention but need not be. nullopt where the call fails.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::unicode {

std::optional<std::string> ComputerName();
std::optional<std::string> UserName();
// Without a trailing separator, as the 8-bit calls give them (the temporary directory with one).
std::optional<std::string> WindowsDirectory();
std::optional<std::string> SystemDirectory();
std::optional<std::string> TempPath();
// The volume at a drive root: its label ("" for a volume without one) and serial number; nullopt
// for one that cannot be read. A network root is asked with the same time bound as the 8-bit calls.
struct Volume {
  std::string label;
  std::uint32_t serial = 0;
};
std::optional<Volume> VolumeAt(const std::string& root);

}  // namespace platform::unicode
