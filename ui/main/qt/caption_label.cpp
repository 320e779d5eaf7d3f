#include "ui/main/qt/caption_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QImage>
#include <utility>

namespace mainwindow {
namespace {

// A value label as a screen reader sees it, read from the label when asked, so that nothing is
// made for it while no screen reader listens. It is static text, also for a memory figure: a value
// interface would offer a reader "Increase" and "Decrease" on something nobody edits, and have
// every refresh announced.
class CaptionAccessible : public QAccessibleWidget {
 public:
  explicit CaptionAccessible(CaptionLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText), label_(label) {}

  [[nodiscard]] QString text(QAccessible::Text type) const override {
    switch (type) {
      case QAccessible::Name:
        return label_->AccessibleName();
      case QAccessible::Description:
        return label_->Shortened() ? label_->Whole() : QString();
      default:
        return QAccessibleWidget::text(type);
    }
  }

 private:
  CaptionLabel* label_;
};

QAccessibleInterface* CaptionFactory(const QString& /*className*/, QObject* object) {
  if (auto* label = dynamic_cast<CaptionLabel*>(object)) {
    return new CaptionAccessible(label);
  }
  return nullptr;
}

// A tool tip that is rich text would be rendered as markup; a caption is shown as typed.
QString PlainToolTip(const QString& text) {
  if (!Qt::mightBeRichText(text)) {
    return text;
  }
  return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
         QStringLiteral("</p>");
}

}  // namespace

FittedCaption FitCaption(const QString& whole, const QFont& face, int width) {
  const CaptionFit fit = mainwindow::FitCaption(face.pointSizeF(), width, [&](double pointSize) {
    QFont font = face;
    if (pointSize != face.pointSizeF()) {
      font.setPointSizeF(pointSize);
    }
    return QFontMetrics(font).horizontalAdvance(whole);
  });
  FittedCaption fitted{face, whole, fit.shortened};
  if (fit.shortened && face.pointSizeF() > 0) {
    fitted.font.setPointSizeF(fit.pointSize);
  }
  if (fit.elided) {
    fitted.shown = QFontMetrics(fitted.font).elidedText(whole, Qt::ElideRight, width);
  }
  return fitted;
}

CaptionLabel::CaptionLabel(QWidget* parent, QString heading)
    : QLabel(parent), heading_(std::move(heading)) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(&CaptionFactory);
    return true;
  }();
  (void)factoryInstalled;
}

QString CaptionLabel::AccessibleName() const {
  return whole_.isEmpty() ? heading_ : heading_ + QStringLiteral(": ") + whole_;
}

void CaptionLabel::SetWhole(const QString& whole) {
  // The timer rewrites the memory figures every tick, mostly with the same text: that is no change
  // to lay out again or to announce.
  if (whole == whole_ && !text().isNull()) {
    return;
  }
  whole_ = whole;
  const QFont face = parentWidget() != nullptr ? parentWidget()->font() : font();
  const FittedCaption fitted = FitCaption(whole, face, contentsRect().width());
  // An unset font follows the window's again once the caption fits.
  if (fitted.font != face) {
    setFont(fitted.font);
  } else if (testAttribute(Qt::WA_SetFont)) {
    setFont(QFont());
  }
  // A label without a name of its own announces a new text as a new name itself.
  const bool nameAnnounced = text() != fitted.shown;
  setText(fitted.shown);
  const bool wasShortened = shortened_;
  shortened_ = fitted.shortened;
  if (shortened_ || wasShortened) {
    setToolTip(shortened_ ? PlainToolTip(whole) : QString());
  }
  // Only a listening screen reader needs to be told, and only of a new name, which it reads when it
  // comes to the label: no value change or live region, so a figure new every 1.4 s stays quiet.
  if (QAccessible::isActive()) {
    if (!nameAnnounced) {
      QAccessibleEvent named(this, QAccessible::NameChanged);
      QAccessible::updateAccessibility(&named);
    }
    if (shortened_ || wasShortened) {
      QAccessibleEvent described(this, QAccessible::DescriptionChanged);
      QAccessible::updateAccessibility(&described);
    }
  }
}

void CaptionLabel::SetBackground(const QImage& sky) {
  sky_ = sky;
  background_.reset();
}

void CaptionLabel::UseTextColour(const QColor& system) {
  QColor colour = Qt::black;
  // Black is also what an unreadable colour becomes, so it needs no measuring; the sky's pixels
  // are read only for another colour, once.
  if (system != colour) {
    if (!background_) {
      background_ = LuminanceUnder(sky_, geometry());
    }
    colour = ReadableTextColour(system, *background_);
  }
  QPalette shown = palette();
  shown.setColor(QPalette::WindowText, colour);
  setPalette(shown);
}

}  // namespace mainwindow
