#include "platform/keyboard.h"

#include "platform/linux/sources.h"
#include "platform/linux/udev.h"

namespace platform {

int GetKeyboardType(int nTypeFlag) {
  return linux_sources::KeyboardTypeFrom("", nTypeFlag, linux_udev::HasKeyboard);
}

}  // namespace platform
