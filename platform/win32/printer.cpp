#include "platform/win32/printer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/win32/dialogs.h"

namespace platform::win32 {

namespace {

constexpr double kTwipsPerInch = 1440;
// The largest font size the printer object accepts, as the platform's font sizes go.
constexpr double kMaxFontSize = 2160;

// The part of text's first fit bytes that ends on a whole character, so that a double-byte
// character is never split between two lines; fit itself when even the first one is cut.
int WholeCharacters(std::string_view text, int fit) {
  int whole = 0;
  for (const char* at = text.data(); at < text.data() + fit;) {
    const char* next = CharNextA(at);
    if (next == at || next > text.data() + fit) {
      break;
    }
    whole = static_cast<int>(next - text.data());
    at = next;
  }
  return whole > 0 ? whole : fit;
}

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

// The report's face at its size in points, for the device's own resolution.
HFONT Printer::CreateReportFont() const {
  const int height = -static_cast<int>(std::lround(points_ * GetDeviceCaps(dc_, LOGPIXELSY) / 72));
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     FIXED_PITCH | FF_MODERN, face_.c_str());
}

// Puts a new font in place of the current one; the device context's own font, met at the first
// change, is kept so that Close() can give it back.
bool Printer::SelectFont() {
  HFONT font = CreateReportFont();
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
  const std::optional<Page> page = MeasurePage();
  if (!page) {
    return false;
  }
  Position at = LineStart(*page);
  if (!NewPageIfFull(*page, at)) {
    return false;
  }
  while (!text.empty()) {
    if (!PrintWhatFits(text, at, page->width)) {
      return false;
    }
    if (!text.empty() && !NextLine(*page, at)) {
      return false;
    }
  }
  currentX_ = 0;
  currentY_ = (at.y + page->lineHeight) * kTwipsPerInch / page->dpiY;
  return true;
}

// Nothing when the device cannot tell, or tells a measure that would never fill a line or a page.
std::optional<Printer::Page> Printer::MeasurePage() const {
  TEXTMETRICA metrics{};
  if (!GetTextMetricsA(dc_, &metrics)) {
    return std::nullopt;
  }
  Page page;
  page.lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  page.width = GetDeviceCaps(dc_, HORZRES);
  page.height = GetDeviceCaps(dc_, VERTRES);
  page.dpiX = GetDeviceCaps(dc_, LOGPIXELSX);
  page.dpiY = GetDeviceCaps(dc_, LOGPIXELSY);
  if (page.lineHeight <= 0 || page.width <= 0 || page.height <= 0 || page.dpiX <= 0 ||
      page.dpiY <= 0) {
    return std::nullopt;
  }
  return page;
}

// The current position on the device; one past the right edge starts the next line.
Printer::Position Printer::LineStart(const Page& page) const {
  Position at;
  at.x = static_cast<int>(std::lround(currentX_ * page.dpiX / kTwipsPerInch));
  at.y = static_cast<int>(std::lround(currentY_ * page.dpiY / kTwipsPerInch));
  if (at.x >= page.width) {
    at.x = 0;
    at.y += page.lineHeight;
  }
  return at;
}

// Prints as much of text as fits between at and the right edge, and takes it off text.
bool Printer::PrintWhatFits(std::string_view& text, Position at, int pageWidth) {
  const std::optional<int> fit = BytesThatFit(text, pageWidth - at.x);
  if (!fit || !TextOutA(dc_, at.x, at.y, text.data(), *fit)) {
    return false;
  }
  text.remove_prefix(static_cast<std::size_t>(*fit));
  return true;
}

// As many bytes as fit in width, whole characters only; at least one, so a line always moves on.
std::optional<int> Printer::BytesThatFit(std::string_view text, int width) const {
  int fit = 0;
  SIZE extent{};
  if (!GetTextExtentExPointA(dc_, text.data(), static_cast<int>(text.size()), width, &fit, nullptr,
                             &extent)) {
    return std::nullopt;
  }
  return WholeCharacters(text, std::clamp(fit, 1, static_cast<int>(text.size())));
}

// The rest of a line too wide for the page goes on at the left edge of the next line.
bool Printer::NextLine(const Page& page, Position& at) {
  at.x = 0;
  at.y += page.lineHeight;
  return NewPageIfFull(page, at);
}

// A line that would run past the page's foot goes to the top of a new page; a line at the top
// stays, even when taller than the page, so that printing always moves on.
bool Printer::NewPageIfFull(const Page& page, Position& at) {
  if (at.y > 0 && at.y + page.lineHeight > page.height) {
    if (!NewPage()) {
      return false;
    }
    at.y = 0;
  }
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
