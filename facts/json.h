// The facts as one JSON document (format 1), the shape docs/quorvane.schema.json describes. UTF-8
// throughout: a text that is not valid UTF-8 keeps its exact bytes in a sibling "<name>_base64",
// and carries U+FFFD for each byte that is not part of a valid sequence.
#pragma once

#include <string>
#include <string_view>

#include "facts/facts.h"

namespace facts {

inline constexpr int kFormat = 1;

// The document, indented, ending with a line feed.
std::string Json(const Facts& facts);

// Whether text is valid UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsUtf8(std::string_view text);

// text with each byte that is not part of a valid UTF-8 sequence replaced by U+FFFD.
std::string RepairedUtf8(std::string_view text);

std::string Base64(std::string_view bytes);

}  // namespace facts
