#include "platform/win32/printer.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/dialogs.h"

namespace platform::win32 {

namespace {

constexpr double kTwipsPerInch = 1440;
// The largest font size the printer object accepts, as the platform's font sizes go.
constexpr double kMaxFontSize = 2160;

}  // namespace

Printer::~Printer() {
  // A document the command did not end is discarded rather than handed over half printed.
  (void)Fail();
}

bool Printer::SetCurrentX(double twips) {
  currentX_ = twips;
  return true;
}

bool Printer::SetCurrentY(double twips) {
  currentY_ = twips;
  return true;
}

bool Printer::SetFont(const std::string& face) {
  // An empty name keeps the face; GDI picks the nearest face for any other name, as a printer does.
  if (!face.empty()) {
    if (face.size() >= LF_FACESIZE) {
      return false;
    }
    face_ = face;
  }
  return dc_ == nullptr || SelectFont() || Fail();
}

bool Printer::SetFontSize(double points) {
  if (!(points > 0 && points <= kMaxFontSize)) {
    return false;
  }
  points_ = points;
  return dc_ == nullptr || SelectFont() || Fail();
}

bool Printer::Print(const std::string& item) {
  if (!StartDocIfNone()) {
    return false;
  }
  // CR LF ends a printed line; a lone LF is taken as one too, and a lone CR has no glyph to print.
  std::string_view rest = item;
  while (true) {
    const std::size_t end = rest.find('\n');
    std::string line(rest.substr(0, end));
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    if (!PrintLine(line)) {
      return Fail();
    }
    if (end == std::string_view::npos) {
      return true;
    }
    rest.remove_prefix(end + 1);
  }
}

bool Printer::EndDoc() {
  if (dc_ == nullptr) {
    return true;
  }
  if (EndPage(dc_) <= 0 || ::EndDoc(dc_) <= 0) {
    return Fail();
  }
  Close();
  currentX_ = 0;
  currentY_ = 0;
  return true;
}

bool Printer::StartDocIfNone() {
  if (dc_ != nullptr) {
    return true;
  }
  dc_ = dialog_.CreatePrinterDC();
  if (dc_ == nullptr) {
    return false;
  }
  DOCINFOA doc{};
  doc.cbSize = sizeof(doc);
  doc.lpszDocName = "System Information Settings";
  if (StartDocA(dc_, &doc) <= 0) {
    Close();
    return false;
  }
  if (StartPage(dc_) <= 0 || !SelectFont()) {
    return Fail();
  }
  return true;
}

bool Printer::SelectFont() {
  const int height = -static_cast<int>(std::lround(points_ * GetDeviceCaps(dc_, LOGPIXELSY) / 72));
  HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, face_.c_str());
  if (font == nullptr) {
    return false;
  }
  HGDIOBJ previous = SelectObject(dc_, font);
  if (previous == nullptr || previous == HGDI_ERROR) {
    DeleteObject(font);
    return false;
  }
  if (font_ == nullptr) {
    previousFont_ = previous;
  } else {
    DeleteObject(font_);
  }
  font_ = font;
  return true;
}

bool Printer::NewPage() {
  // Some drivers reset the device context's objects at a new page: the font is chosen again.
  return EndPage(dc_) > 0 && StartPage(dc_) > 0 && SelectObject(dc_, font_) != nullptr;
}

// Prints text from the current position and moves to the start of the next line. Text wider than
// the page continues on the following lines, and a full page continues on a new one.
bool Printer::PrintLine(std::string_view text) {
  TEXTMETRICA metrics{};
  if (!GetTextMetricsA(dc_, &metrics)) {
    return false;
  }
  const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  const int pageWidth = GetDeviceCaps(dc_, HORZRES);
  const int pageHeight = GetDeviceCaps(dc_, VERTRES);
  const int dpiX = GetDeviceCaps(dc_, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(dc_, LOGPIXELSY);
  if (lineHeight <= 0 || pageWidth <= 0 || pageHeight <= 0 || dpiX <= 0 || dpiY <= 0) {
    return false;
  }
  int x = static_cast<int>(std::lround(currentX_ * dpiX / kTwipsPerInch));
  int y = static_cast<int>(std::lround(currentY_ * dpiY / kTwipsPerInch));
  if (x >= pageWidth) {
    x = 0;
    y += lineHeight;
  }
  bool first = true;
  while (first || !text.empty()) {
    if (!first) {
      x = 0;
      y += lineHeight;
    }
    first = false;
    if (y > 0 && y + lineHeight > pageHeight) {
      if (!NewPage()) {
        return false;
      }
      y = 0;
    }
    if (text.empty()) {
      break;
    }
    // As many characters as fit beside x; at least one, so a line always moves on.
    int fit = 0;
    SIZE extent{};
    if (!GetTextExtentExPointA(dc_, text.data(), static_cast<int>(text.size()), pageWidth - x, &fit,
                               nullptr, &extent)) {
      return false;
    }
    fit = std::clamp(fit, 1, static_cast<int>(text.size()));
    // A double-byte character is never split between two lines.
    int whole = 0;
    for (const char* at = text.data(); at < text.data() + fit;) {
      const char* next = CharNextA(at);
      if (next == at || next > text.data() + fit) {
        break;
      }
      whole = static_cast<int>(next - text.data());
      at = next;
    }
    fit = whole > 0 ? whole : fit;
    if (!TextOutA(dc_, x, y, text.data(), fit)) {
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(fit));
  }
  currentX_ = 0;
  currentY_ = (y + lineHeight) * kTwipsPerInch / dpiY;
  return true;
}

void Printer::Close() {
  if (font_ != nullptr) {
    SelectObject(dc_, previousFont_);
    DeleteObject(font_);
    font_ = nullptr;
  }
  DeleteDC(dc_);
  dc_ = nullptr;
}

bool Printer::Fail() {
  if (dc_ != nullptr) {
    AbortDoc(dc_);
    Close();
  }
  return false;
}

}  // namespace platform::win32
