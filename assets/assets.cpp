#include "assets/assets.h"

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

}  // namespace

QIcon InformationIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(ReadBuiltIn(kInformationIcon32, "PNG")));
  icon.addPixmap(QPixmap::fromImage(ReadBuiltIn(kInformationIcon16, "PNG")));
  return icon;
}

QPixmap InformationPicture() {
  return QPixmap::fromImage(ReadBuiltIn(kInformationIcon32, "PNG"));
}

QIcon ComputerIcon() {
  return QIcon(QString::fromLatin1(kComputerIcon));
}

QPixmap Sky() {
  return QPixmap(QString::fromLatin1(kSky));
}

QPixmap Sky(const QSize& visible) {
  // Cut while the picture still has 8 bits per pixel; only the cut part is converted.
  return QPixmap::fromImage(ReadBuiltIn(kSky, "BMP").copy(QRect(QPoint(0, 0), visible)));
}

}  // namespace assets
