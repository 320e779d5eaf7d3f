// The printer object: positions in twips from the printable area's top-left, a font, and lines of
// text. The first output after EndDoc starts a new document. Every operation reports failure by its
// result (no printer, a printer error, a rejected setting), never by throwing.
#pragma once

#include <string>

namespace platform {

class Printer {
 public:
  virtual ~Printer() = default;
  [[nodiscard]] virtual bool SetCurrentX(double twips) = 0;
  [[nodiscard]] virtual bool SetCurrentY(double twips) = 0;
  // The font face; an empty name keeps the current face.
  [[nodiscard]] virtual bool SetFont(const std::string& face) = 0;
  [[nodiscard]] virtual bool SetFontSize(double points) = 0;
  // Prints one item at the current position and ends the line. Each CR LF inside the item ends a
  // printed line too. Text is 8-bit in the platform's encoding.
  [[nodiscard]] virtual bool Print(const std::string& item) = 0;
  // Ends the current document and hands it to the printer.
  [[nodiscard]] virtual bool EndDoc() = 0;
};

}  // namespace platform
