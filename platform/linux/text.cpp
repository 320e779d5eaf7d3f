// Linux text is bytes, UTF-8 by convention: file names, labels and host names need not be valid
// UTF-8, and where they are not, each byte counts on its own.
#include "platform/text.h"

namespace platform {

TextEncoding SystemTextEncoding() {
  return TextEncoding::Utf8;
}

}  // namespace platform
