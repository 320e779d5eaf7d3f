// A value label of the main window: shows a caption the computer reported so that it is never cut
// off, stays readable over the sky, and tells a screen reader what it is the value of.
#pragma once

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QString>
#include <optional>

#include "ui/main/caption_fit.h"
#include "ui/main/qt/readable_colour.h"

namespace mainwindow {

// A caption as drawn in a label of a given width, fitted as ui/main/caption_fit.h decides, elided
// with "…".
struct FittedCaption {
  QFont font;
  QString shown;
  bool shortened = false;  // drawn smaller or elided
};

FittedCaption FitCaption(const QString& whole, const QFont& face, int width);

// Deliberately without Q_OBJECT: it is a QLabel to Qt, to styles and to tests; only the
// accessibility factory tells it apart.
class CaptionLabel : public QLabel {
 public:
  // heading: what the value is, for its accessible name ("Computer Name").
  CaptionLabel(QWidget* parent, QString heading);

  // Shows the caption fitted to the label's width; the whole text stays in Whole().
  void SetWhole(const QString& whole);
  [[nodiscard]] const QString& Whole() const { return whole_; }
  // Drawn smaller or elided: the whole text is then the tool tip and the accessible description.
  [[nodiscard]] bool Shortened() const { return shortened_; }
  // "<heading>: <value>", or the heading alone while there is no value.
  [[nodiscard]] QString AccessibleName() const;

  // The picture under the label, then the colour the system gives label text, or black where that
  // would not stand out from every pixel of the picture under the label.
  void SetBackground(const QImage& sky);
  void UseTextColour(const QColor& system);

 private:
  QString heading_;
  QString whole_;
  bool shortened_ = false;
  QImage sky_;
  std::optional<LuminanceRange> background_;  // measured when first needed
};

}  // namespace mainwindow
