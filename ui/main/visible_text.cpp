#include "ui/main/visible_text.h"

namespace visibletext {
namespace {

void AppendHex(std::string& shown, std::string_view prefix, unsigned code, int digits) {
  constexpr char kDigits[] = "0123456789abcdef";
  shown += prefix;
  for (int digit = digits - 1; digit >= 0; --digit) {
    shown += kDigits[(code >> (4U * static_cast<unsigned>(digit))) & 0xFU];
  }
}

// A C0 control or DEL.
void AppendControl(std::string& shown, unsigned char byte) {
  switch (byte) {
    case '\t':
      shown += "\\t";
      break;
    case '\n':
      shown += "\\n";
      break;
    case '\r':
      shown += "\\r";
      break;
    default:
      AppendHex(shown, "\\x", byte, 2);
      break;
  }
}

// The code point of a UTF-8 sequence that must be shown as an escape, 0 for any other.
unsigned EscapedCharacter(std::string_view sequence) {
  const auto byte = [&sequence](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
  if (sequence.size() == 2 && byte(0) == 0xC2 && byte(1) <= 0x9F) {
    return byte(1);  // U+0080 to U+009F
  }
  if (sequence == "\xE2\x80\xA8" || sequence == "\xE2\x80\xA9") {
    return 0x2028U + (byte(2) - 0xA8U);
  }
  return 0;
}

std::string Escape(std::string_view text, platform::TextEncoding encoding, bool keepLineFeeds) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.front());
    if (byte < 0x80 || encoding == platform::TextEncoding::CodePage) {
      if ((byte < 0x20 || byte == 0x7F) && !(keepLineFeeds && byte == '\n')) {
        AppendControl(shown, byte);
      } else {
        shown += text.front();
      }
      text.remove_prefix(1);
      continue;
    }
    const std::size_t length = platform::Utf8SequenceLength(text);
    if (length == 0) {
      if (byte <= 0x9F) {
        AppendHex(shown, "\\x", byte, 2);
      } else {
        shown += text.front();  // no terminal takes it as a control
      }
      text.remove_prefix(1);
      continue;
    }
    const std::string_view sequence = text.substr(0, length);
    if (const unsigned character = EscapedCharacter(sequence); character != 0) {
      AppendHex(shown, "\\u", character, 4);
    } else {
      shown += sequence;
    }
    text.remove_prefix(length);
  }
  return shown;
}

}  // namespace

std::string Escaped(std::string_view text, platform::TextEncoding encoding) {
  return Escape(text, encoding, false);
}

std::string EscapedLines(std::string_view text, platform::TextEncoding encoding) {
  return Escape(text, encoding, true);
}

}  // namespace visibletext
