// udev's view of the devices, through libsystemd's sd-device. libsystemd is opened only where udev
// runs (/run/udev exists) and only when first needed: a container without udev never loads it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/linux/device_identity.h"

namespace platform::linux_udev {

// Whether udev runs on this machine.
bool Runs();

// The filesystem identity udev has for the block device major:minor; nullopt where udev does not
// run or does not know the device.
std::optional<linux_drives::FsIdentity> BlockIdentity(std::uint32_t major, std::uint32_t minor);

// Whether udev knows an input device that is a keyboard (ID_INPUT_KEYBOARD); nullopt where udev
// does not run or cannot be asked.
std::optional<bool> HasKeyboard();

}  // namespace platform::linux_udev
