#include "platform/qt/printer.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>
#include <utility>

namespace platform::qt {

namespace {

constexpr double kTwipsPerInch = 1440;
// The largest font size the printer object accepts, as the platform's font sizes go.
constexpr double kMaxFontSize = 2160;

// The report lines up its captions in columns, which needs a fixed-pitch face; Liberation Mono is
// installed with the program on Linux, Courier New comes with Windows.
QFont FixedPitchFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamilies(
      {QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"), font.family()});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(10);
  return font;
}

}  // namespace

Printer::Printer(QPrinter& printer) : printer_(printer), font_(FixedPitchFont()) {}

Printer::~Printer() {
  // A document the command did not end is discarded rather than handed over half printed.
  if (painter_) {
    printer_.abort();
    painter_->end();
    if (!chosenFileName_.isEmpty()) {
      QFile::remove(printer_.outputFileName());
    }
  }
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
  if (face.empty()) {
    return true;
  }
  const QString family = QString::fromLocal8Bit(face);
  if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
    return false;
  }
  font_.setFamilies({family});
  return true;
}

bool Printer::SetFontSize(double points) {
  if (!(points > 0 && points <= kMaxFontSize)) {
    return false;
  }
  font_.setPointSizeF(points);
  return true;
}

bool Printer::Print(const std::string& item) {
  if (!StartDocIfNone()) {
    return false;
  }
  // CR LF ends a printed line; a lone LF is taken as one too, and a lone CR has no glyph to print.
  QString text = QString::fromLocal8Bit(item);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.remove(QLatin1Char('\r'));
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (const QString& line : lines) {
    if (!PrintLine(line)) {
      return false;
    }
  }
  return true;
}

bool Printer::EndDoc() {
  if (!painter_) {
    return true;
  }
  const bool ended = painter_->end();
  painter_.reset();
  currentX_ = 0;
  currentY_ = 0;
  return ended;
}

QString Printer::DocumentFileName(const QString& chosen, int document) {
  if (document <= 1) {
    return chosen;
  }
  const QString number = QStringLiteral("-") + QString::number(document);
  const QString suffix = QFileInfo(chosen).suffix();
  if (suffix.isEmpty()) {
    return chosen + number;
  }
  return chosen.left(chosen.size() - suffix.size() - 1) + number + QLatin1Char('.') + suffix;
}

bool Printer::StartDocIfNone() {
  if (painter_) {
    return true;
  }
  ++documents_;
  if (documents_ == 1) {
    chosenFileName_ = printer_.outputFileName();
  }
  if (!chosenFileName_.isEmpty()) {
    printer_.setOutputFileName(DocumentFileName(chosenFileName_, documents_));
  }
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(&printer_)) {
    return false;
  }
  painter_ = std::move(painter);
  return true;
}

// Prints text from the current position and moves to the start of the next line. Text wider than
// the page continues on the following lines, and a full page continues on a new one.
bool Printer::PrintLine(const QString& text) {
  const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
  const QFontMetricsF metrics(font_, &printer_);
  const double lineHeight = metrics.lineSpacing();
  double x = ToDeviceX(currentX_);
  double y = ToDeviceY(currentY_);
  if (!text.isEmpty()) {
    if (x > 0 && page.width() - x < metrics.maxWidth()) {
      x = 0;
      y += lineHeight;
    }
    QTextLayout layout(text, font_, &printer_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(layout.lineCount() == 1 ? page.width() - x : page.width());
    }
    layout.endLayout();
    for (int i = 0; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      if (i > 0) {
        x = 0;
        y += lineHeight;
      }
      if (y > 0 && y + lineHeight > page.height()) {
        if (!printer_.newPage()) {
          return false;
        }
        y = 0;
      }
      line.draw(painter_.get(), QPointF(x, y) - line.position());
    }
  }
  currentX_ = 0;
  currentY_ = ToTwipsY(y + lineHeight);
  return true;
}

double Printer::ToDeviceX(double twips) const {
  return twips * printer_.logicalDpiX() / kTwipsPerInch;
}

double Printer::ToDeviceY(double twips) const {
  return twips * printer_.logicalDpiY() / kTwipsPerInch;
}

double Printer::ToTwipsY(double device) const {
  return device * kTwipsPerInch / printer_.logicalDpiY();
}

}  // namespace platform::qt
