#include "ui/main/qt/readable_colour.h"

#include <QImage>
#include <QRect>
#include <vector>

namespace mainwindow {
namespace {

mainlayout::Rgb Rgb(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return {static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
          static_cast<std::uint8_t>(rgb.blue())};
}

}  // namespace

LuminanceRange LuminanceUnder(const QImage& picture, const QRect& area) {
  if (picture.format() == QImage::Format_Indexed8) {
    std::vector<mainlayout::Rgb> palette;
    for (const QRgb entry : picture.colorTable()) {
      palette.push_back({static_cast<std::uint8_t>(qRed(entry)),
                         static_cast<std::uint8_t>(qGreen(entry)),
                         static_cast<std::uint8_t>(qBlue(entry))});
    }
    const IndexedPixels pixels{picture.constBits(), picture.bytesPerLine(), picture.width(),
                               picture.height(), palette};
    return LuminanceUnder(pixels, {area.left(), area.top(), area.width(), area.height()});
  }
  LuminanceRange range;
  const QRect inside = area.intersected(picture.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      range.Include(RelativeLuminance(Rgb(picture.pixelColor(x, y))));
    }
  }
  return range;
}

QColor ReadableTextColour(const QColor& wanted, const LuminanceRange& range) {
  const mainlayout::Rgb readable = ReadableTextColour(Rgb(wanted), range);
  return readable == Rgb(wanted) ? wanted : QColor(readable.red, readable.green, readable.blue);
}

}  // namespace mainwindow
