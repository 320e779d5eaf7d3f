#include "ui/main/caption_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <utility>

namespace mainwindow {
namespace {

// The number a figure's caption starts with ("24683748 Kb", "7 %").
QVariant FigureValue(const QString& caption) {
  bool ok = false;
  const qlonglong value = caption.section(QLatin1Char(' '), 0, 0).toLongLong(&ok);
  return ok ? QVariant(value) : QVariant();
}

// A memory figure as a screen reader sees it: a label whose value changes, so that a new figure is
// announced as a value change of the same object.
class FigureAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit FigureAccessible(CaptionLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText), label_(label) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) {
      return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }

  [[nodiscard]] QVariant currentValue() const override { return FigureValue(label_->Whole()); }
  void setCurrentValue(const QVariant& /*value*/) override {}  // shown, never edited
  [[nodiscard]] QVariant maximumValue() const override { return {}; }
  [[nodiscard]] QVariant minimumValue() const override { return 0; }
  [[nodiscard]] QVariant minimumStepSize() const override { return 1; }

 private:
  CaptionLabel* label_;
};

QAccessibleInterface* FigureFactory(const QString& /*className*/, QObject* object) {
  auto* label = dynamic_cast<CaptionLabel*>(object);
  if (label != nullptr && label->KindOfValue() == CaptionLabel::Kind::Figure) {
    return new FigureAccessible(label);
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
  FittedCaption fitted{face, whole, false};
  if (QFontMetrics(face).horizontalAdvance(whole) <= width) {
    return fitted;
  }
  fitted.shortened = true;
  const qreal size = face.pointSizeF();
  // Half a point at a time; a face sized in pixels has no points to step down in.
  for (qreal smaller = size - 0.5; size > 0 && smaller >= kSmallestPointSize; smaller -= 0.5) {
    fitted.font.setPointSizeF(smaller);
    if (QFontMetrics(fitted.font).horizontalAdvance(whole) <= width) {
      return fitted;
    }
  }
  if (size > 0) {
    fitted.font.setPointSizeF(std::min(size, kSmallestPointSize));
  }
  fitted.shown = QFontMetrics(fitted.font).elidedText(whole, Qt::ElideRight, width);
  return fitted;
}

CaptionLabel::CaptionLabel(QWidget* parent, QString heading, Kind kind)
    : QLabel(parent), heading_(std::move(heading)), kind_(kind) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(&FigureFactory);
    return true;
  }();
  (void)factoryInstalled;
  setAccessibleName(heading_);
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
  setText(fitted.shown);
  setToolTip(fitted.shortened ? PlainToolTip(whole) : QString());
  setAccessibleDescription(fitted.shortened ? whole : QString());
  setAccessibleName(whole.isEmpty() ? heading_ : heading_ + QStringLiteral(": ") + whole);
  // Only a listening screen reader needs the announcement.
  if (kind_ == Kind::Figure && QAccessible::isActive()) {
    QAccessibleValueChangeEvent event(this, FigureValue(whole));
    QAccessible::updateAccessibility(&event);
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
