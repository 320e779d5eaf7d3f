#include "platform/keyboard.h"

#include "platform/linux/sources.h"
#include "platform/linux/udev.h"

namespace platform {

int GetKeyboardType(int nTypeFlag) {
  if (nTypeFlag != 0 && nTypeFlag != 2) {
    return 0;
  }
  return linux_sources::KeyboardTypeFrom("", nTypeFlag, linux_udev::HasKeyboard());
}

}  // namespace platform
