// Standard output and standard error for the program's command line: text written whole, or the
// reason it could not be. A console is written in its own characters (Windows' console takes
// UTF-16, whatever its code page). A pipe or a file gets UTF-8 as it is, and the system's 8-bit
// text in the code page its readers expect (on Linux the same bytes; on Windows the console's
// code page, the OEM code page by default).
#pragma once

#include <string>
#include <string_view>

namespace platform::console {

// What the bytes are: UTF-8 (the JSON document) or the 8-bit text of the system's calls (the
// report, which is what the window shows).
enum class Encoding { Utf8, SystemCodePage };

enum class Outcome {
  Written,
  Closed,  // the reader has gone (a pipe closed early): nothing to say about it
  Failed,  // anything else (a full disk): *why says what
};

Outcome WriteOut(std::string_view text, Encoding encoding, std::string* why);
// Closes standard output once all is written: a file system may report only then that the text
// could not be kept (a network file system's quota or write-back failure). False with *why then.
bool CloseOut(std::string* why);
// One line, as it stands, for the user to read.
void WriteError(std::string_view text);

}  // namespace platform::console
