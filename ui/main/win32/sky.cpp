#include "ui/main/win32/sky.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "assets/windows/resources.h"

namespace mainwindow {
namespace {

// The part of the sky picture that shows, at its own size from the top-left corner, in the
// screen's format: the window and each label draw from it without converting the whole picture's
// 8-bit pixels again. Where the client area is larger than the picture, the rest is the dialog
// colour.
GdiObject<HBITMAP> ShownSky(HINSTANCE resources, int width, int height) {
  GdiObject<HBITMAP> picture(static_cast<HBITMAP>(::LoadImageA(
      resources, MAKEINTRESOURCEA(QUORVANE_IDB_SKY), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!picture) {
    return nullptr;
  }
  HDC screen = ::GetDC(nullptr);
  GdiObject<HBITMAP> shown(::CreateCompatibleBitmap(screen, width, height));
  MemoryDc target(::CreateCompatibleDC(screen));
  MemoryDc source(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  if (!shown || !target || !source) {
    return picture;
  }
  const Selection into(target.get(), shown.get());
  const Selection from(source.get(), picture.get());
  const RECT all{0, 0, width, height};
  ::FillRect(target.get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
  BITMAP size{};
  ::GetObjectA(picture.get(), sizeof size, &size);
  ::BitBlt(target.get(), 0, 0, std::min(width, static_cast<int>(size.bmWidth)),
           std::min(height, static_cast<int>(size.bmHeight)), source.get(), 0, 0, SRCCOPY);
  return shown;
}

mainlayout::Rgb DialogColour() {
  const COLORREF colour = ::GetSysColor(COLOR_BTNFACE);
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

}  // namespace

Sky::Sky(HINSTANCE resources, int dpi)
    : shown_(ShownSky(resources, mainlayout::Pixels(mainlayout::kClientWidth, dpi),
                      mainlayout::Pixels(mainlayout::kClientHeight, dpi))) {
  ReadPixels(resources);
  if (!shown_) {
    return;
  }
  // One pair of memory DCs for every control: under Wine each new DC costs more than the copy.
  HDC screen = ::GetDC(nullptr);
  MemoryDc target(::CreateCompatibleDC(screen));
  MemoryDc source(::CreateCompatibleDC(screen));
  if (!target || !source) {
    ::ReleaseDC(nullptr, screen);
    return;
  }
  const Selection from(source.get(), shown_.get());
  for (const mainlayout::Control& control : mainlayout::kControls) {
    if (control.kind != mainlayout::Kind::Label && control.kind != mainlayout::Kind::Picture) {
      continue;
    }
    const int width = mainlayout::Pixels(control.width, dpi);
    const int height = mainlayout::Pixels(control.height, dpi);
    GdiObject<HBITMAP> picture(::CreateCompatibleBitmap(screen, width, height));
    if (!picture) {
      continue;
    }
    {
      const Selection into(target.get(), picture.get());
      ::BitBlt(target.get(), 0, 0, width, height, source.get(),
               mainlayout::Pixels(control.left, dpi), mainlayout::Pixels(control.top, dpi),
               SRCCOPY);
    }
    const std::size_t index = mainlayout::Index(control.id);
    brushes_[index].reset(::CreatePatternBrush(picture.get()));
    pictures_[index] = std::move(picture);
  }
  ::ReleaseDC(nullptr, screen);
}

void Sky::Paint(HDC dc, int width, int height) const {
  if (!shown_) {
    return;
  }
  MemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) {
    return;
  }
  const Selection selected(memory.get(), shown_.get());
  ::BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void Sky::ReadPixels(HINSTANCE resources) {
  // A bitmap resource is a packed DIB: its header, its palette, then its rows, bottom up unless its
  // height is negative, each padded to four bytes.
  HRSRC found = ::FindResourceA(resources, MAKEINTRESOURCEA(QUORVANE_IDB_SKY),
                                MAKEINTRESOURCEA(2));  // RT_BITMAP
  HGLOBAL loaded = found ? ::LoadResource(resources, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
  const DWORD size = found ? ::SizeofResource(resources, found) : 0;
  BITMAPINFOHEADER header{};
  if (!bytes || size < sizeof header) {
    return;
  }
  std::memcpy(&header, bytes, sizeof header);
  const std::size_t colours = header.biClrUsed != 0 ? header.biClrUsed : 256;
  const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  const std::ptrdiff_t stride = (static_cast<std::ptrdiff_t>(header.biWidth) * 8 + 31) / 32 * 4;
  const std::size_t offset = header.biSize + colours * sizeof(RGBQUAD);
  if (header.biBitCount != 8 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
      colours > 256 || offset + static_cast<std::size_t>(stride) * height > size) {
    return;
  }
  for (std::size_t i = 0; i < colours; ++i) {
    RGBQUAD entry{};
    std::memcpy(&entry, bytes + header.biSize + i * sizeof entry, sizeof entry);
    palette_.push_back({entry.rgbRed, entry.rgbGreen, entry.rgbBlue});
  }
  width_ = header.biWidth;
  height_ = height;
  const std::uint8_t* rows = bytes + offset;
  top_ = header.biHeight < 0 ? rows : rows + stride * (height - 1);
  stride_ = header.biHeight < 0 ? stride : -stride;
}

LuminanceRange Sky::LuminanceUnder(const RECT& area) const {
  const IndexedPixels picture{top_, stride_, width_, height_, palette_};
  LuminanceRange range = mainwindow::LuminanceUnder(
      picture, {area.left, area.top, area.right - area.left, area.bottom - area.top});
  if (!top_ || area.right > width_ || area.bottom > height_) {
    range.Include(RelativeLuminance(DialogColour()));
  }
  return range;
}

HBRUSH Sky::Behind(mainlayout::Id id) const {
  const std::size_t index = mainlayout::Index(id);
  if (index < brushes_.size() && brushes_[index]) {
    return brushes_[index].get();
  }
  return ::GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace mainwindow
