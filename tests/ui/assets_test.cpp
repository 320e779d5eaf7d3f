// The pictures: the generator still draws exactly the committed files, and the files are what the
// windows and the Windows resource script expect (formats, sizes, colours, masks).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "assets/qt/pictures.h"
#include "assets/sky_pixels.h"
#include "tests/support/run_program.h"
#include "tests/ui/qt_app.h"

namespace {

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The information icon as committed: the program draws it from its compiled pixels, and only the
// Windows resource script and desktop icon themes take the files.
constexpr char kInformationFile[] = QUORVANE_ASSETS_DIR "/information.ico";

QByteArray Committed(const char* name) {
  return Read(QStringLiteral(QUORVANE_ASSETS_DIR "/") + QString::fromLatin1(name));
}

std::uint32_t U16(const QByteArray& bytes, int at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

std::uint32_t U32(const QByteArray& bytes, int at) {
  return U16(bytes, at) | U16(bytes, at + 2) << 16;
}

class Pictures : public ::testing::Test {
 protected:
  Pictures() { testing_support::App(); }
};

class Generated : public Pictures, public ::testing::WithParamInterface<const char*> {
 protected:
  // One run of the generator for all three files.
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    exitCode_ =
        testing_support::RunProgram({QUORVANE_GENERATOR, dir_->path().toStdString()}).status;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline int exitCode_ = -1;
};

TEST_P(Generated, TheGeneratorWritesTheCommittedBytes) {
  ASSERT_TRUE(dir_->isValid());
  ASSERT_EQ(exitCode_, 0);
  const QByteArray fresh = Read(dir_->filePath(QString::fromLatin1(GetParam())));
  ASSERT_FALSE(fresh.isEmpty());
  EXPECT_TRUE(fresh == Committed(GetParam()))
      << GetParam() << " differs from the generator's output: run quorvane_regenerate_assets";
}

INSTANTIATE_TEST_SUITE_P(
    EveryPicture, Generated,
    ::testing::Values("sky.bmp", "information.ico", "computer.ico", "program.ico"),
    [](const auto& info) {
      return std::string(info.param).substr(0, std::string(info.param).find('.'));
    });

TEST_F(Pictures, TheSkyIsAn8BitBitmapOf65ColoursUncompressed) {
  const QByteArray bmp = Committed("sky.bmp");
  ASSERT_EQ(bmp.size(), 307514);
  EXPECT_EQ(bmp.left(2), QByteArray("BM"));
  EXPECT_EQ(U32(bmp, 2), 307514U);
  EXPECT_EQ(U32(bmp, 10), 14U + 40U + 65U * 4U);  // pixels right after the palette
  EXPECT_EQ(U32(bmp, 14), 40U);
  EXPECT_EQ(U32(bmp, 18), 640U);
  EXPECT_EQ(U32(bmp, 22), 480U);
  EXPECT_EQ(U16(bmp, 28), 8U);
  EXPECT_EQ(U32(bmp, 30), 0U);  // BI_RGB
  EXPECT_EQ(U32(bmp, 46), 65U);
}

// The committed bitmap as Qt's own reader decodes it: the reference for the pixels built in.
QImage SkyFile() {
  QImageReader reader(QStringLiteral(QUORVANE_ASSETS_DIR "/sky.bmp"), "BMP");
  return reader.read();
}

// Blue sky with white clouds: blue dominates the sky, pure white tops the clouds, and the part the
// window shows is not one flat colour.
TEST_F(Pictures, TheSkyIsBlueWithWhiteClouds) {
  const QImage sky = SkyFile();
  ASSERT_EQ(sky.size(), QSize(640, 480));
  EXPECT_EQ(sky.colorCount(), 65);
  int blue = 0, white = 0, total = 0;
  for (int y = 0; y < 480; y += 4) {
    for (int x = 0; x < 640; x += 4) {
      const QColor c = sky.pixelColor(x, y);
      ++total;
      blue += (c.blue() > c.red() + 40 && c.blue() > c.green()) ? 1 : 0;
      white += (c.red() > 235 && c.green() > 235 && c.blue() > 235) ? 1 : 0;
    }
  }
  EXPECT_GT(blue, total / 2);
  EXPECT_GT(white, total / 20);
  EXPECT_LT(white, total / 2);
}

// The sky built into the program is the bitmap's top-left corner, pixel for pixel and with the
// bitmap's colours (rows turned top to bottom, palette bytes turned into colours), and it is read
// where it lies in the program rather than copied.
TEST_F(Pictures, TheShownSkyIsTheBitmapsTopLeftCornerReadInPlace) {
  const QImage shown = assets::ShownSky();
  ASSERT_EQ(shown.size(), QSize(413, 274));
  EXPECT_EQ(shown.format(), QImage::Format_Indexed8);
  const QImage file = SkyFile();
  EXPECT_EQ(shown.colorTable(), file.colorTable());
  EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
            file.copy(0, 0, 413, 274).convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(shown.constBits(), assets::pixels::kShownSky);
}

// The generator refuses a file that is not an 8-bit sky instead of writing pixels from it.
TEST_F(Pictures, TheGeneratorRefusesABitmapThatIsNotTheSky) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile bad(dir.filePath(QStringLiteral("bad.bmp")));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write(Committed("sky.bmp").left(2000));  // the header promises more rows than follow
  bad.close();
  const QString out = dir.filePath(QStringLiteral("sky_pixels.cpp"));
  EXPECT_EQ(testing_support::RunProgram({QUORVANE_GENERATOR, "--shown-sky",
                                         bad.fileName().toStdString(), out.toStdString()})
                .status,
            1);
  EXPECT_FALSE(QFile::exists(out));
}

struct IconCheck {
  const char* path;  // where Qt reads it: the program's resource, or the committed file
  const char* file;
};

void PrintTo(const IconCheck& icon, std::ostream* os) {
  *os << icon.file;
}

class Icon : public Pictures, public ::testing::WithParamInterface<IconCheck> {};

TEST_P(Icon, HoldsA16Colour32And16PixelImageWithMasks) {
  const QByteArray ico = Committed(GetParam().file);
  ASSERT_GE(ico.size(), 6 + 2 * 16);
  EXPECT_EQ(U16(ico, 0), 0U);
  EXPECT_EQ(U16(ico, 2), 1U);  // icon, not cursor
  ASSERT_EQ(U16(ico, 4), 2U);
  const int sizes[] = {32, 16};
  for (int i = 0; i < 2; ++i) {
    const int entry = 6 + 16 * i;
    const int size = sizes[i];
    EXPECT_EQ(static_cast<std::uint8_t>(ico[entry]), size);
    EXPECT_EQ(static_cast<std::uint8_t>(ico[entry + 1]), size);
    EXPECT_EQ(static_cast<std::uint8_t>(ico[entry + 2]), 16);  // colours
    EXPECT_EQ(U16(ico, entry + 6), 4U);                        // bits per pixel
    const std::uint32_t length = U32(ico, entry + 8);
    const std::uint32_t offset = U32(ico, entry + 12);
    const int colourBits = size * ((size * 4 + 31) / 32) * 4;
    const int maskBits = size * ((size + 31) / 32) * 4;
    EXPECT_EQ(length, 40U + 16U * 4U + colourBits + maskBits);
    ASSERT_LE(offset + length, static_cast<std::uint32_t>(ico.size()));
    EXPECT_EQ(U32(ico, static_cast<int>(offset) + 8), 2U * size);  // colour bits and mask
  }

  QImageReader reader(QString::fromLatin1(GetParam().path));
  EXPECT_EQ(reader.imageCount(), 2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(reader.jumpToImage(i));
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(sizes[i], sizes[i]));
    // The corners lie outside the drawing: the mask makes them see-through.
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(sizes[i] - 1, 0).alpha(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    BothIcons, Icon,
    ::testing::Values(IconCheck{kInformationFile, "information.ico"},
                      IconCheck{QUORVANE_ASSETS_DIR "/computer.ico", "computer.ico"}),
    [](const auto& info) {
      return std::string(info.param.file).substr(0, std::string(info.param.file).find('.'));
    });

// One of an icon's two images, read by Qt's own icon reader: 32 or 16 pixels.
QImage IconImage(const char* path, int size) {
  QImageReader reader(QString::fromLatin1(path));
  return reader.jumpToImage(size == 32 ? 0 : 1) ? reader.read() : QImage();
}

bool IsWhite(QColor c) {
  return c.red() == 255 && c.green() == 255 && c.blue() == 255;
}
bool IsDarkBlue(QColor c) {
  return c.red() == 0 && c.green() == 0 && c.blue() == 128;
}
// The disc: dark blue, with a lighter blue edge where the light falls.
bool IsDisc(QColor c) {
  return c.red() == 0 && c.green() == 0 && c.blue() >= 128;
}
bool IsGrey(QColor c) {
  return c.red() == c.green() && c.green() == c.blue() && c.red() >= 96 && c.red() <= 200;
}

// Down the middle of a picture of the icon: how many white runs (the dot and the stem of the i)
// stand on the dark blue disc. Smoothed edges, neither white nor disc, are passed over.
int WhiteRunsDownTheMiddle(const QImage& image) {
  int runs = 0;
  bool inWhite = false;
  for (int y = 0; y < image.height(); ++y) {
    const QColor c = image.pixelColor(image.width() / 2, y);
    const bool white = c.red() > 200 && c.green() > 200 && c.blue() > 200;
    const bool disc = c.red() < 60 && c.green() < 60 && c.blue() >= 100;
    if (white || disc) {
      runs += (white && !inWhite) ? 1 : 0;
      inWhite = white;
    }
  }
  return runs;
}

// A white i on a dark blue disc: the design's two sizes in the icon file, and every size the
// program's icon offers.
TEST_F(Pictures, TheInformationIconIsAWhiteIOnADarkBlueDisc) {
  for (const int size : {32, 16}) {
    const QImage image = IconImage(kInformationFile, size);
    ASSERT_EQ(image.width(), size);
    const int mid = size / 2;
    // Down the middle: disc, the dot, disc, the stem, disc.
    int whiteRuns = 0;
    bool inWhite = false;
    for (int y = 2; y < size - 2; ++y) {
      const QColor c = image.pixelColor(mid, y);
      EXPECT_TRUE(IsWhite(c) || IsDisc(c)) << size << " at y " << y;
      whiteRuns += (IsWhite(c) && !inWhite) ? 1 : 0;
      inWhite = IsWhite(c);
    }
    EXPECT_EQ(whiteRuns, 2) << "the dot and the stem of the i, at " << size;
    // Left and right of the letter the disc is dark blue.
    EXPECT_TRUE(IsDarkBlue(image.pixelColor(size / 5, mid))) << size;
    EXPECT_TRUE(IsDarkBlue(image.pixelColor(size - 1 - size / 5, mid))) << size;
  }
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QImage image = assets::InformationIcon().pixmap(QSize(size, size)).toImage();
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(WhiteRunsDownTheMiddle(image), 2) << size;
    EXPECT_TRUE(IsDarkBlue(image.pixelColor(size / 5, size / 2))) << size;
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
  }
}

// Every size of the icon theme is drawn at its size, with smoothed edges from 48 pixels up, not the
// 32-pixel picture enlarged, and the icon theme's files are these pictures. A window sends the
// sizes up to 64 pixels to the window manager; only those are built when it is created.
TEST_F(Pictures, TheIconIsDrawnAtEverySizeAsTheIconThemeHasIt) {
  const QIcon icon = assets::InformationIcon();
  const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
  EXPECT_EQ(icon.availableSizes(),
            QList<QSize>({{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
  for (const int size : sizes) {
    const QImage drawn =
        icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(drawn.size(), QSize(size, size));
    QSet<QRgb> colours;
    int softEdge = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        colours.insert(drawn.pixel(x, y));
        const int alpha = qAlpha(drawn.pixel(x, y));
        softEdge += (alpha > 0 && alpha < 255) ? 1 : 0;
      }
    }
    if (size >= 48) {
      EXPECT_GT(colours.size(), 16) << size;
      EXPECT_GT(softEdge, size) << size;
    }

    const QString file = QStringLiteral(QUORVANE_ICON_DIR "/information-%1.png").arg(size);
    const QImage installed = QImage(file).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(installed.size(), QSize(size, size)) << file.toStdString();
    int worst = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const QRgb a = drawn.pixel(x, y), b = installed.pixel(x, y);
        // Colours of nearly transparent pixels are not kept exactly through premultiplying.
        if (qAlpha(a) >= 16) {
          worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                            std::abs(qBlue(a) - qBlue(b))});
        }
        worst = std::max(worst, std::abs(qAlpha(a) - qAlpha(b)));
      }
    }
    EXPECT_LE(worst, 8) << file.toStdString();
  }

  QFile svg(QStringLiteral(QUORVANE_ICON_DIR "/information.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&svg);
  ASSERT_TRUE(xml.readNextStartElement());
  EXPECT_EQ(xml.name(), QStringLiteral("svg"));
  EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 32 32"));
  while (!xml.atEnd()) {
    xml.readNext();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}

// The picture control takes the size nearest its device pixels on a 2x or larger screen, drawn
// smoothly; below 2x it stays the design's 32-pixel picture stretched.
TEST_F(Pictures, ThePictureIsSharpOnLargeScreens) {
  struct Nearest {
    QSize pixels;
    int size;
  };
  for (const Nearest& n :
       {Nearest{{51, 49}, 48}, Nearest{{102, 98}, 128}, Nearest{{153, 147}, 128},
        Nearest{{204, 196}, 256}, Nearest{{20, 20}, 24}, Nearest{{300, 10}, 256}}) {
    EXPECT_EQ(assets::NearestInformationSize(n.pixels), n.size) << n.pixels.width();
  }
  EXPECT_EQ(assets::InformationPicture(QSize(76, 73), 1.5),
            assets::InformationPicture(QSize(76, 73)));

  const QImage sharp = assets::InformationPicture(QSize(102, 98), 2);
  ASSERT_EQ(sharp.size(), QSize(102, 98));
  const QImage blownUp = assets::InformationPicture(QSize(102, 98), 1);
  EXPECT_NE(sharp, blownUp);
  // The 32-pixel picture's edges step by three device pixels; the drawn 128-pixel one is smooth:
  // more distinct colours than the 16 of the design.
  QSet<QRgb> colours;
  for (int y = 0; y < sharp.height(); ++y) {
    for (int x = 0; x < sharp.width(); ++x) {
      colours.insert(sharp.pixel(x, y));
    }
  }
  EXPECT_GT(colours.size(), 16);
  EXPECT_EQ(WhiteRunsDownTheMiddle(sharp), 2);
}

// The Windows program file's icon: the design's two images byte for byte, then the drawing at 48,
// 64 and 256 pixels in 32 bits with alpha (the largest as PNG), as shortcuts and the list of
// installed programs show it.
TEST_F(Pictures, TheProgramFilesIconAddsTheDrawingToTheDesign) {
  const QByteArray ico = Committed("program.ico");
  const QByteArray design = Committed("information.ico");
  ASSERT_GE(ico.size(), 6 + 5 * 16);
  ASSERT_EQ(U16(ico, 4), 5U);
  const auto body = [](const QByteArray& file, int image) {
    const int entry = 6 + 16 * image;
    return file.mid(static_cast<int>(U32(file, entry + 12)),
                    static_cast<int>(U32(file, entry + 8)));
  };
  for (int i = 0; i < 2; ++i) {
    // The same entry but for where the image starts.
    EXPECT_EQ(ico.mid(6 + 16 * i, 12), design.mid(6 + 16 * i, 12)) << "entry " << i;
    EXPECT_TRUE(body(ico, i) == body(design, i)) << "image " << i;
  }
  const int sizes[] = {48, 64, 256};
  for (int i = 0; i < 3; ++i) {
    const int entry = 6 + 16 * (i + 2);
    EXPECT_EQ(static_cast<std::uint8_t>(ico[entry]), sizes[i] & 0xFF);
    EXPECT_EQ(U16(ico, entry + 6), 32U);
    QByteArray bytes = body(ico, i + 2);
    EXPECT_EQ(bytes.startsWith("\x89PNG"), sizes[i] == 256) << sizes[i];
    QImage image;
    if (sizes[i] == 256) {
      image = QImage::fromData(bytes, "PNG");
    } else {
      QImageReader reader(QStringLiteral(QUORVANE_ASSETS_DIR "/program.ico"));
      ASSERT_TRUE(reader.jumpToImage(i + 2));
      image = reader.read();
    }
    ASSERT_EQ(image.size(), QSize(sizes[i], sizes[i]));
    image = image.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(WhiteRunsDownTheMiddle(image), 2) << sizes[i];
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << sizes[i];
    EXPECT_TRUE(IsDarkBlue(image.pixelColor(sizes[i] / 5, sizes[i] / 2))) << sizes[i];
  }
}

// The icon compiled into the program as pixels is the icon file's own two images.
TEST_F(Pictures, TheProgramsIconIsTheIconFilesImages) {
  const QIcon icon = assets::InformationIcon();
  for (const int size : {32, 16}) {
    const QImage file =
        IconImage(kInformationFile, size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(file.width(), size);
    const QImage compiled = icon.pixmap(QSize(size, size))
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(compiled, file) << size;
  }
}

// Stretching repeats the icon's pixels and never blends them: at the icon's size it is the icon,
// twice the size turns each pixel into a 2x2 block, and an odd size keeps the icon's colours only.
TEST_F(Pictures, TheStretchedIconRepeatsItsPixels) {
  const QImage icon =
      IconImage(kInformationFile, 32).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ASSERT_EQ(icon.size(), QSize(32, 32));
  EXPECT_EQ(assets::InformationPicture(QSize(32, 32)), icon);

  const QImage doubled = assets::InformationPicture(QSize(64, 64));
  ASSERT_EQ(doubled.size(), QSize(64, 64));
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(doubled.pixel(x, y), icon.pixel(x / 2, y / 2)) << x << "," << y;
    }
  }

  QSet<QRgb> colours;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      colours.insert(icon.pixel(x, y));
    }
  }
  const QImage odd = assets::InformationPicture(QSize(51, 49));
  ASSERT_EQ(odd.size(), QSize(51, 49));
  for (int y = 0; y < 49; ++y) {
    for (int x = 0; x < 51; ++x) {
      ASSERT_TRUE(colours.contains(odd.pixel(x, y))) << x << "," << y;
    }
  }
  EXPECT_EQ(odd.pixel(0, 0), icon.pixel(0, 0));
  EXPECT_EQ(odd.pixel(50, 48), icon.pixel(31, 31));
  EXPECT_EQ(odd.pixel(25, 24), icon.pixel(16, 16));
}

// A monitor with a grey screen above a system unit and a keyboard.
TEST_F(Pictures, TheComputerIconIsAMonitorOverAUnitAndAKeyboard) {
  for (const int size : {32, 16}) {
    const QImage image = IconImage(QUORVANE_ASSETS_DIR "/computer.ico", size);
    ASSERT_EQ(image.width(), size);
    EXPECT_TRUE(IsGrey(image.pixelColor(size / 2, size / 4))) << "screen at " << size;
    // Something opaque fills the bottom rows (unit and keyboard) across most of the width.
    for (const int y : {size * 3 / 4, size - 2}) {
      int opaque = 0;
      for (int x = 0; x < size; ++x) {
        opaque += image.pixelColor(x, y).alpha() == 255 ? 1 : 0;
      }
      EXPECT_GT(opaque, size * 3 / 4) << "row " << y << " at " << size;
    }
  }
}

}  // namespace
