#include "platform/keyboard.h"

#include "platform/linux/sources.h"

namespace platform {

int GetKeyboardType(int nTypeFlag) {
  return linux_sources::KeyboardTypeFrom("", nTypeFlag);
}

}  // namespace platform
