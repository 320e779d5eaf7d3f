// The 8-bit calls answer in the ANSI code page, which a system may have set to UTF-8.
#include "platform/text.h"

#include <windows.h>

namespace platform {

TextEncoding SystemTextEncoding() {
  return ::GetACP() == CP_UTF8 ? TextEncoding::Utf8 : TextEncoding::CodePage;
}

}  // namespace platform
