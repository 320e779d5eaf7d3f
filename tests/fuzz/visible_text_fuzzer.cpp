// Any bytes as a volume label, mount point or host name may hold them: shown to people, they carry
// no control character, in UTF-8 text and in a Windows code page alike, and only a line break is
// kept where lines are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "ui/main/visible_text.h"

namespace {

using platform::TextEncoding;

// Whether shown holds a control character: C0 (but a kept line feed) or DEL anywhere; in UTF-8 text
// also a C1 control or line separator, or a byte 0x80 to 0x9F outside a valid sequence.
bool HoldsControl(std::string_view shown, TextEncoding encoding, bool linesKept) {
  while (!shown.empty()) {
    const auto byte = static_cast<unsigned char>(shown.front());
    if ((byte < 0x20 && !(linesKept && byte == '\n')) || byte == 0x7F) {
      return true;
    }
    std::size_t length = 1;
    if (byte >= 0x80 && encoding == TextEncoding::Utf8) {
      length = platform::Utf8SequenceLength(shown);
      const std::string_view sequence = shown.substr(0, length);
      if ((length == 0 && byte <= 0x9F) ||
          (length == 2 && byte == 0xC2 && static_cast<unsigned char>(shown[1]) <= 0x9F) ||
          sequence == "\xE2\x80\xA8" || sequence == "\xE2\x80\xA9") {
        return true;
      }
      length = length == 0 ? 1 : length;
    }
    shown.remove_prefix(length);
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::CodePage}) {
    const std::string shown = visibletext::Escaped(text, encoding);
    const std::string lines = visibletext::EscapedLines(text, encoding);
    // Each byte becomes at most an escape of four characters ("\x1b"; "\u009b" for two bytes).
    if (HoldsControl(shown, encoding, false) || HoldsControl(lines, encoding, true) ||
        shown.size() > 4 * size || lines.size() > shown.size()) {
      std::abort();
    }
  }
  return 0;
}
