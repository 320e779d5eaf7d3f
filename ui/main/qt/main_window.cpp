#include "ui/main/qt/main_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <cstddef>
#include <utility>

#include "assets/qt/pictures.h"
#include "ui/main/qt/caption_label.h"

namespace mainwindow {
namespace {

using mainlayout::Id;

// The design is in twips; Qt places widgets in device-independent pixels, 96 to the inch.
constexpr int Pixels(int twips) {
  return mainlayout::Pixels(twips, 96);
}

QRect Place(const mainlayout::Control& control) {
  return {Pixels(control.left), Pixels(control.top), Pixels(control.width), Pixels(control.height)};
}

QColor Colour(mainlayout::Rgb rgb) {
  return {rgb.red, rgb.green, rgb.blue};
}

// The design's fixed text colour of a control; the others keep the system's.
void UseInk(QWidget* widget, mainlayout::Ink ink) {
  if (ink == mainlayout::Ink::Default) {
    return;
  }
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, Colour(mainlayout::InkColour(ink)));
  widget->setPalette(palette);
}

}  // namespace

// The window as a screen reader sees it: a frame named by its title (a plain top-level widget
// would be a nameless client area) whose children are the design's controls in reading order,
// without the headings, whatever the order of the widgets.
class FrameAccessible : public QAccessibleWidget {
 public:
  explicit FrameAccessible(MainWindow* window) : QAccessibleWidget(window, QAccessible::Window) {}

  [[nodiscard]] int childCount() const override {
    return static_cast<int>(mainlayout::kReadingOrder.size());
  }

  [[nodiscard]] QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) {
      return nullptr;
    }
    return QAccessible::queryAccessibleInterface(
        Window()->Control(mainlayout::kReadingOrder[static_cast<std::size_t>(index)]));
  }

  [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) {
      return -1;
    }
    for (int index = 0; index < childCount(); ++index) {
      if (Window()->Control(mainlayout::kReadingOrder[static_cast<std::size_t>(index)]) ==
          child->object()) {
        return index;
      }
    }
    return -1;
  }

 private:
  [[nodiscard]] MainWindow* Window() const { return static_cast<MainWindow*>(widget()); }
};

namespace {

QAccessibleInterface* FrameFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
    return new FrameAccessible(static_cast<MainWindow*>(object));
  }
  return nullptr;
}

}  // namespace

// A plain sans-serif dialog font of 8 points: the rows are 255 twips (17 pixels) apart. The
// Windows dialog face comes first, then Arial's metric twin, so the headings fit their widths.
// Latin text is set unshaped, each character at its own advance as a dialog draws it, so the
// widths are the ones the design was measured in; scripts that need shaping still get it. It
// also keeps the OpenType layout code out of the start-up (about 0.6 MB).
QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      sky_(assets::ShownSky()) {
  SetUpFrame();
  AddControls();
  UseReadableValueColours();
  SetUpAccessibility();
  SetUpKeyboard();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetUpFrame() {
  setObjectName(QStringLiteral("main"));
  setWindowTitle(QString::fromLatin1(kTitle));
  setWindowIcon(assets::InformationIcon());
  setFont(DialogFont());
  // The client area, placed on the screen; a fixed size is what tells the window manager "no
  // resizing" (equal minimum and maximum size).
  setGeometry(Pixels(mainlayout::kClientLeft), Pixels(mainlayout::kClientTop),
              Pixels(mainlayout::kClientWidth), Pixels(mainlayout::kClientHeight));
  setFixedSize(Pixels(mainlayout::kClientWidth), Pixels(mainlayout::kClientHeight));
}

void MainWindow::AddControls() {
  // Row by row, top to bottom, as the design lists them.
  for (const mainlayout::Control& control : mainlayout::kControls) {
    QWidget* widget = nullptr;
    switch (control.kind) {
      case mainlayout::Kind::Label:
        widget = AddLabel(control);
        break;
      case mainlayout::Kind::Button:
        widget = AddButton(control);
        break;
      case mainlayout::Kind::Picture:
        widget = AddImage1(control);
        break;
      case mainlayout::Kind::TextBox:
        widget = AddText1(control);
        break;
    }
    widget->setObjectName(QString::fromLatin1(control.name));
    widget->setGeometry(Place(control));
    controls_[mainlayout::Index(control.id)] = widget;
  }
}

QWidget* MainWindow::AddLabel(const mainlayout::Control& control) {
  QLabel* label = nullptr;
  if (control.meaning.value) {
    // A value, named for screen readers after what it is.
    auto* value = new CaptionLabel(this, QString::fromLatin1(mainlayout::Called(control)));
    value->SetBackground(sky_);
    label = value;
  } else {
    label = new QLabel(this);
    label->setText(QString::fromLatin1(control.text));
  }
  // Captions show what the computer reported, which must never be taken as markup.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  UseInk(label, control.ink);
  return label;
}

QPushButton* MainWindow::AddButton(const mainlayout::Control& control) {
  auto* button = new QPushButton(QString::fromLatin1(control.text), this);
  // Return and Enter press the focused button, as Space does; outside a dialog Qt would ignore
  // them.
  button->setAutoDefault(true);
  return button;
}

QLabel* MainWindow::AddImage1(const mainlayout::Control& control) {
  auto* image = new QLabel(this);
  image->setTextFormat(Qt::PlainText);
  image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  image->setAccessibleName(QString::fromLatin1(mainlayout::Called(control)));
  // Stretched once to the control's size, in the screen's pixels; a 2x screen gets a larger size
  // of the icon rather than the 32-pixel one blown up.
  const qreal ratio = devicePixelRatioF();
  QPixmap stretched =
      QPixmap::fromImage(assets::InformationPicture(Place(control).size() * ratio, ratio));
  stretched.setDevicePixelRatio(ratio);
  image->setPixmap(stretched);
  return image;
}

QPlainTextEdit* MainWindow::AddText1(const mainlayout::Control& control) {
  auto* text = new QPlainTextEdit(this);
  text->setAccessibleName(QString::fromLatin1(mainlayout::Called(control)));
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Tab leaves the box for the buttons instead of typing a tab character.
  text->setTabChangesFocus(true);
  QPalette textPalette = text->palette();
  textPalette.setColor(QPalette::Base, Colour(mainlayout::kTextBoxBackground));
  textPalette.setColor(QPalette::Text, Colour(mainlayout::kTextBoxText));
  text->setPalette(textPalette);
  // The scroll bars keep the window's look rather than the box's black and cyan.
  text->horizontalScrollBar()->setPalette(palette());
  text->verticalScrollBar()->setPalette(palette());
  // The font is set before the design text goes in, so the text is laid out once, in its own face.
  QFont textFont(QString::fromLatin1(mainlayout::kTextBoxFace));
  textFont.setPointSizeF(mainlayout::kTextBoxPointsX100 / 100.0);
  textFont.setWeight(QFont::Normal);
  textFont.setStyleHint(QFont::SansSerif);
  textFont.setStyleStrategy(QFont::PreferNoShaping);  // as in DialogFont()
  text->setFont(textFont);
  text->setPlainText(QString::fromLatin1(control.text));
  return text;
}

void MainWindow::SetUpAccessibility() {
  static const bool frameFactoryInstalled = [] {
    QAccessible::installFactory(&FrameFactory);
    return true;
  }();
  (void)frameFactoryInstalled;
}

void MainWindow::SetUpKeyboard() {
  setTabOrder(Control(Id::Text1), Control(Id::Command1));
  setTabOrder(Control(Id::Command1), Control(Id::Command2));
  Control(Id::Text1)->setFocus();
  connect(static_cast<QPushButton*>(Control(Id::Command1)), &QPushButton::clicked, this,
          &MainWindow::Command1_Click);
  connect(static_cast<QPushButton*>(Control(Id::Command2)), &QPushButton::clicked, this,
          &MainWindow::Command2_Click);
}

void MainWindow::UseReadableValueColours() {
  const QColor system = palette().color(QPalette::WindowText);
  for (const mainlayout::Control& control : mainlayout::kControls) {
    if (control.meaning.value && !mainlayout::FixedInk(control)) {
      Value(*control.meaning.value)->UseTextColour(system);
    }
  }
}

CaptionLabel* MainWindow::Value(mainform::Label label) const {
  return static_cast<CaptionLabel*>(Control(mainlayout::ValueLabel(label)));
}

QPlainTextEdit* MainWindow::Text1Box() const {
  return static_cast<QPlainTextEdit*>(Control(Id::Text1));
}

void MainWindow::SetCaption(mainform::Label label, const std::string& caption) {
  Value(label)->SetWhole(
      QString::fromLocal8Bit(caption.data(), static_cast<qsizetype>(caption.size())));
}

std::string MainWindow::Caption(mainform::Label label) const {
  // The whole caption, also where the label shows it shortened: the report prints it whole.
  return Value(label)->Whole().toLocal8Bit().toStdString();
}

void MainWindow::SetText1(const std::string& text) {
  QString plain = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Text1Box()->setPlainText(plain);
}

std::string MainWindow::Text1() const {
  // The raw text, not toPlainText(): that one turns no-break spaces into blanks, and a host name or
  // label may hold them. Only the paragraph breaks become line breaks again.
  QString plain = Text1Box()->document()->toRawText();
  plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  plain.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return plain.toLocal8Bit().toStdString();
}

void MainWindow::Show() {
  show();
}

void MainWindow::Command1_Click() {
  QCoreApplication::exit(0);
}

void MainWindow::Command2_Click() {
  if (report_) {
    report_(*this, this);
  }
}

void MainWindow::SetReportAction(ReportAction action) {
  report_ = std::move(action);
}

void MainWindow::paintEvent(QPaintEvent* /*event*/) {
  // At its own size from the top-left corner: the window shows only that part of the picture.
  QPainter painter(this);
  painter.drawImage(0, 0, sky_);
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange && Control(Id::Label1) != nullptr) {
    UseReadableValueColours();
  }
  QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::exit(0);
}

}  // namespace mainwindow
