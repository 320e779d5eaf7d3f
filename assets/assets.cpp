#include "assets/assets.h"

#include "assets/icon_pixels.h"
#include "assets/sky_pixels.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <iterator>

namespace assets {

namespace {

// The pixels are used in place; only the pixmap made from them is a copy.
QPixmap InformationPixmap(const std::uint32_t* pixels, int size) {
  return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(pixels), size, size,
                                   static_cast<qsizetype>(size) * 4,
                                   QImage::Format_ARGB32_Premultiplied));
}

}  // namespace

QIcon InformationIcon() {
  QIcon icon;
  icon.addPixmap(InformationPixmap(pixels::kInformation32, pixels::kInformationLarge));
  icon.addPixmap(InformationPixmap(pixels::kInformation16, pixels::kInformationSmall));
  return icon;
}

QImage InformationPicture(const QSize& size) {
  // Each pixel takes the icon pixel under its centre, as a stretched picture is drawn; done here
  // rather than by Qt's general image transformation, whose code is large for 1,024 pixels.
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  constexpr int kSide = pixels::kInformationLarge;
  for (int y = 0; y < image.height(); ++y) {
    const int from = (2 * y + 1) * kSide / (2 * image.height());
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      row[x] = pixels::kInformation32[from * kSide + (2 * x + 1) * kSide / (2 * image.width())];
    }
  }
  return image;
}

QIcon ComputerIcon() {
  return QIcon(QString::fromLatin1(kComputerIcon));
}

QImage ShownSky() {
  using pixels::kShownSkyWidth;
  QImage sky(pixels::kShownSky, kShownSkyWidth, pixels::kShownSkyHeight, kShownSkyWidth,
             QImage::Format_Indexed8);
  sky.setColorTable(QList<QRgb>(std::begin(pixels::kSkyPalette), std::end(pixels::kSkyPalette)));
  return sky;
}

}  // namespace assets
