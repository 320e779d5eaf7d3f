// Text from the machine as people are shown it: in the window's captions and listing, the printed
// report, --text and the program's error lines. A host name, mount point or volume label may hold
// any byte; shown raw, a line feed would forge a line of the report and an ESC would reach the
// reader's terminal as a command. Every control character is therefore shown as an escape:
//   \t \n \r                 tab, line feed, carriage return
//   \x1b                     any other C0 control, and DEL (\x7f)
//   \u009b                   in UTF-8 text, a C1 control (U+0080 to U+009F), and the Unicode line
//                            and paragraph separators (\u2028, \u2029), which break lines too
//   \x9b                     in UTF-8 text, a byte 0x80 to 0x9F that is not part of a valid
//                            sequence: an 8-bit terminal takes it as a C1 control (0x9b as CSI)
// In a Windows code page the bytes 0x80 to 0x9F are letters and signs and stay as they are. The
// backslash itself stays as it is: every Windows path holds one. Documents for programs (the JSON
// facts) keep the exact text instead.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace visibletext {

// text with every control character shown as its escape.
std::string Escaped(std::string_view text, platform::TextEncoding encoding);

// The same, but each line feed stays a line break: text of several lines passed on from a library.
std::string EscapedLines(std::string_view text, platform::TextEncoding encoding);

}  // namespace visibletext
