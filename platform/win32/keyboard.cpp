#include "platform/keyboard.h"

#include <windows.h>

namespace platform {

int GetKeyboardType(int nTypeFlag) {
  return ::GetKeyboardType(nTypeFlag);
}

}  // namespace platform
