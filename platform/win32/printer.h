// The printer object on GDI: each document is one StartDocA ... EndDoc on a device context of the
// printer chosen in the print dialog, so every EndDoc hands a separate job to the printer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/printer.h"

namespace platform::win32 {

class CommonDialog;

class Printer final : public platform::Printer {
 public:
  // dialog must outlive this object; its printer is used from the first output on.
  explicit Printer(const CommonDialog& dialog) : dialog_(dialog) {}
  ~Printer() override;
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  [[nodiscard]] bool SetCurrentX(double twips) override;
  [[nodiscard]] bool SetCurrentY(double twips) override;
  [[nodiscard]] bool SetFont(const std::string& face) override;
  [[nodiscard]] bool SetFontSize(double points) override;
  [[nodiscard]] bool Print(const std::string& item) override;
  [[nodiscard]] bool EndDoc() override;

 private:
  // What places a line on the device, in its units: the line's height, the printable area and
  // the dots per inch that convert the position from twips.
  struct Page {
    int lineHeight = 0;
    int width = 0;
    int height = 0;
    int dpiX = 0;
    int dpiY = 0;
  };
  // Device units from the printable area's top-left.
  struct Position {
    int x = 0;
    int y = 0;
  };

  bool StartDocIfNone();
  [[nodiscard]] HFONT CreateReportFont() const;
  bool SelectFont();
  bool PrintLine(std::string_view text);
  [[nodiscard]] std::optional<Page> MeasurePage() const;
  [[nodiscard]] Position LineStart(const Page& page) const;
  bool PrintWhatFits(std::string_view& text, Position at, int pageWidth);
  [[nodiscard]] std::optional<int> BytesThatFit(std::string_view text, int width) const;
  bool NextLine(const Page& page, Position& at);
  bool NewPageIfFull(const Page& page, Position& at);
  bool NewPage();
  // Gives the device context back, its own font first; the document must be ended or abandoned.
  void Close();
  // Abandons the open document, so the printer never receives half of it; always false.
  bool Fail();

  const CommonDialog& dialog_;
  HDC dc_ = nullptr;  // set while a document is open
  HFONT font_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  // The printer's fixed-pitch face, kept when the report assigns the empty name.
  std::string face_ = "Courier New";
  double points_ = 10;
  double currentX_ = 0;  // twips from the printable area's top-left
  double currentY_ = 0;
};

}  // namespace platform::win32
