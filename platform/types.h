// The integer types of the operating-system calls, with the widths the probes rely on.
#pragma once

#include <cstdint>

namespace platform {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;

}  // namespace platform
