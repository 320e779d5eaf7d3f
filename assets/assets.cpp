#include "assets/assets.h"

#include "assets/icon_pixels.h"

#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QString>

namespace assets {

namespace {

// Reads a picture in a format Qt decodes itself. Without auto-detection Qt does not first load
// every image-format plugin to ask whether it recognises the content, which costs start-up time
// and memory.
QImage ReadBuiltIn(const char* path, const char* format) {
  QImageReader reader(QString::fromLatin1(path), format);
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

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

QPixmap Sky() {
  return QPixmap(QString::fromLatin1(kSky));
}

QImage Sky(const QSize& visible) {
  return ReadBuiltIn(kSky, "BMP").copy(QRect(QPoint(0, 0), visible));
}

}  // namespace assets
