// The system's 8-bit text, as the calls give it: how it is encoded, and how a valid UTF-8 sequence
// is told, for every place that shows it to people or writes it into a document.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

enum class TextEncoding {
  Utf8,      // Linux's, by convention; Windows' where its ANSI code page is UTF-8
  CodePage,  // a Windows ANSI code page, whose bytes 0x80 to 0x9F are letters and signs
};

// The encoding of the text the 8-bit calls give.
TextEncoding SystemTextEncoding();

// The length of the valid UTF-8 sequence at the start of text, 0 where none starts there (no
// overlong forms, no surrogates, nothing past U+10FFFF).
inline std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) {
    return 0;
  }
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continues = [&](std::size_t i, unsigned lowest = 0x80, unsigned highest = 0xBF) {
    return i < text.size() && byte(i) >= lowest && byte(i) <= highest;
  };
  const unsigned lead = byte(0);
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    return continues(1) ? 2 : 0;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    // No overlong forms after E0, no surrogates after ED.
    const unsigned lowest = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned highest = lead == 0xED ? 0x9F : 0xBF;
    return continues(1, lowest, highest) && continues(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    // No overlong forms after F0, nothing past U+10FFFF after F4.
    const unsigned lowest = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned highest = lead == 0xF4 ? 0x8F : 0xBF;
    return continues(1, lowest, highest) && continues(2) && continues(3) ? 4 : 0;
  }
  return 0;
}

}  // namespace platform
