#include "assets/qt/pictures.h"

#include "assets/icon_pixels.h"
#include "assets/information_drawing.h"
#include "assets/sky_pixels.h"

#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace assets {

namespace {

// The pixels are used in place; only the pixmap made from them is a copy.
QImage DesignImage(const std::uint32_t* pixels, int size) {
  return QImage(reinterpret_cast<const uchar*>(pixels), size, size,
                static_cast<qsizetype>(size) * 4, QImage::Format_ARGB32_Premultiplied);
}

// The icon at one size: the design's own picture at 16 and 32, the drawing made at build time up
// to 64, else the drawing made now.
QImage InformationImage(int size) {
  switch (size) {
    case pixels::kInformationSmall:
      return DesignImage(pixels::kInformation16, size);
    case 24:
      return DesignImage(pixels::kInformation24, size);
    case pixels::kInformationLarge:
      return DesignImage(pixels::kInformation32, size);
    case 48:
      return DesignImage(pixels::kInformation48, size);
    case 64:
      return DesignImage(pixels::kInformation64, size);
    default:
      break;
  }
  const std::vector<std::uint32_t> drawn = drawing::InformationIcon(size);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < size; ++y) {
    std::memcpy(image.scanLine(y), drawn.data() + static_cast<std::size_t>(y) * size,
                static_cast<std::size_t>(size) * 4);
  }
  return image;
}

// Draws each size when it is asked for: a window system that takes only the small sizes never
// has the large ones built.
class InformationEngine final : public QIconEngine {
 public:
  static constexpr int kLargestWindowIcon = 64;

  QIconEngine* clone() const override { return new InformationEngine; }
  QString key() const override { return QStringLiteral("quorvane-information"); }

  // The sizes a window's own icon is sent in: up to 64 pixels, which window managers show in title
  // bars and task lists; every listed size is built when the window is created. The larger ones
  // are drawn when asked for, and desktops take them from the icon theme.
  QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
    QList<QSize> sizes;
    for (const int size : drawing::kInformationSizes) {
      if (size <= kLargestWindowIcon) {
        sizes.append(QSize(size, size));
      }
    }
    return sizes;
  }

  QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
    const int side = qMin(size.width(), size.height());
    return {side, side};
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    const QSize actual = actualSize(size, mode, state);
    return actual.isEmpty() ? QPixmap() : QPixmap::fromImage(InformationImage(actual.width()));
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
    QPixmap drawn = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
    drawn.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), drawn);
  }
};

// Each pixel takes the icon pixel under its centre, as a stretched picture is drawn; done here
// rather than by Qt's general image transformation, whose code is large for 1,024 pixels.
QImage Stretched(const QSize& size) {
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

}  // namespace

QIcon InformationIcon() {
  return QIcon(new InformationEngine);
}

int NearestInformationSize(const QSize& pixels) {
  const int wanted = qMax(pixels.width(), pixels.height());
  int best = drawing::kInformationSizes[0];
  for (const int size : drawing::kInformationSizes) {
    // On a tie the larger: scaling down keeps more detail than scaling up.
    if (std::abs(size - wanted) <= std::abs(best - wanted)) {
      best = size;
    }
  }
  return best;
}

QImage InformationPicture(const QSize& size, double ratio) {
  if (ratio < 2) {
    return Stretched(size);
  }
  return InformationImage(NearestInformationSize(size))
      .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage ShownSky() {
  using pixels::kShownSkyWidth;
  QImage sky(pixels::kShownSky, kShownSkyWidth, pixels::kShownSkyHeight, kShownSkyWidth,
             QImage::Format_Indexed8);
  sky.setColorTable(QList<QRgb>(std::begin(pixels::kSkyPalette), std::end(pixels::kSkyPalette)));
  return sky;
}

}  // namespace assets
