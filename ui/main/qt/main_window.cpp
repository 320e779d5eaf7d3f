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
#include <initializer_list>
#include <utility>

#include "assets/assets.h"
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
  palette.setColor(QPalette::WindowText,
                   Colour(ink == mainlayout::Ink::Blue ? mainlayout::kBlue : mainlayout::kMagenta));
  widget->setPalette(palette);
}

QPushButton* AddButton(QWidget* parent, Id id) {
  const mainlayout::Control& control = mainlayout::Find(id);
  auto* button = new QPushButton(QString::fromLatin1(control.text), parent);
  button->setObjectName(QString::fromLatin1(control.name));
  button->setGeometry(Place(control));
  // Return and Enter press the focused button, as Space does; outside a dialog Qt would ignore
  // them.
  button->setAutoDefault(true);
  return button;
}

// The window as a screen reader sees it: a frame named by its title (a plain top-level widget
// would be a nameless client area).
QAccessibleInterface* FrameFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<MainWindow*>(object), QAccessible::Window);
  }
  return nullptr;
}

void PlaceLabel(QLabel* label, const mainlayout::Control& control) {
  label->setObjectName(QString::fromLatin1(control.name));
  // Captions show what the computer reported, which must never be taken as markup.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(Place(control));
  UseInk(label, control.ink);
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
  static const bool frameFactoryInstalled = [] {
    QAccessible::installFactory(&FrameFactory);
    return true;
  }();
  (void)frameFactoryInstalled;
  setObjectName(QStringLiteral("main"));
  setWindowTitle(QString::fromLatin1(kTitle));
  setWindowIcon(assets::InformationIcon());
  setFont(DialogFont());
  // The client area, placed on the screen; a fixed size is what tells the window manager "no
  // resizing" (equal minimum and maximum size).
  setGeometry(Pixels(mainlayout::kClientLeft), Pixels(mainlayout::kClientTop),
              Pixels(mainlayout::kClientWidth), Pixels(mainlayout::kClientHeight));
  setFixedSize(Pixels(mainlayout::kClientWidth), Pixels(mainlayout::kClientHeight));

  // Row by row, top to bottom, as the design lists them; a value is named after its heading.
  Label1_ = AddValue(Id::Label1, Id::Label4);
  Label4_ = AddLabel(Id::Label4);
  Label5_ = AddValue(Id::Label5, Id::Label6);
  Label6_ = AddLabel(Id::Label6);
  Label26_ = AddValue(Id::Label26, "Processor");
  Label7_ = AddValue(Id::Label7, Id::Label8);
  Label8_ = AddLabel(Id::Label8);
  Label9_ = AddValue(Id::Label9, Id::Label10);
  Label10_ = AddLabel(Id::Label10);
  Command2_ = AddButton(this, Id::Command2);
  Label12_ = AddValue(Id::Label12, Id::Label17, CaptionLabel::Kind::Figure);
  Label17_ = AddLabel(Id::Label17);
  Command1_ = AddButton(this, Id::Command1);
  Label13_ = AddValue(Id::Label13, Id::Label18, CaptionLabel::Kind::Figure);
  Label18_ = AddLabel(Id::Label18);
  Label14_ = AddValue(Id::Label14, Id::Label19, CaptionLabel::Kind::Figure);
  Label19_ = AddLabel(Id::Label19);

  Image1_ = AddLabel(Id::Image1);
  // Stretched once to the control's size, in the screen's pixels; a 2x screen gets a larger size
  // of the icon rather than the 32-pixel one blown up.
  const qreal ratio = devicePixelRatioF();
  QPixmap stretched =
      QPixmap::fromImage(assets::InformationPicture(Image1_->size() * ratio, ratio));
  stretched.setDevicePixelRatio(ratio);
  Image1_->setPixmap(stretched);

  // The font is set before the design text goes in, so the text is laid out once, in its own face.
  const mainlayout::Control& text1 = mainlayout::Find(Id::Text1);
  Text1_ = new QPlainTextEdit(this);
  Text1_->setObjectName(QString::fromLatin1(text1.name));
  Text1_->setGeometry(Place(text1));
  Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Tab leaves the box for the buttons instead of typing a tab character.
  Text1_->setTabChangesFocus(true);
  QPalette textPalette = Text1_->palette();
  textPalette.setColor(QPalette::Base, Colour(mainlayout::kTextBoxBackground));
  textPalette.setColor(QPalette::Text, Colour(mainlayout::kTextBoxText));
  Text1_->setPalette(textPalette);
  // The scroll bars keep the window's look rather than the box's black and cyan.
  Text1_->horizontalScrollBar()->setPalette(palette());
  Text1_->verticalScrollBar()->setPalette(palette());
  QFont textFont(QString::fromLatin1(mainlayout::kTextBoxFace));
  textFont.setPointSizeF(mainlayout::kTextBoxPointsX100 / 100.0);
  textFont.setWeight(QFont::Normal);
  textFont.setStyleHint(QFont::SansSerif);
  textFont.setStyleStrategy(QFont::PreferNoShaping);  // as in DialogFont()
  Text1_->setFont(textFont);
  Text1_->setPlainText(QString::fromLatin1(text1.text));

  Label11_ = AddLabel(Id::Label11);
  UseReadableValueColours();

  // What a screen reader says: the values are named after their headings (each heading labels its
  // value), and the children are read in this order, each heading before its value, row by row.
  const std::pair<QLabel*, QLabel*> headed[] = {
      {Label4_, Label1_},   {Label6_, Label5_},   {Label8_, Label7_},  {Label10_, Label9_},
      {Label17_, Label12_}, {Label18_, Label13_}, {Label19_, Label14_}};
  for (const auto& [heading, value] : headed) {
    heading->setBuddy(value);
  }
  Image1_->setAccessibleName(QStringLiteral("Information"));
  Text1_->setAccessibleName(QStringLiteral("Settings listing"));
  for (QWidget* child : std::initializer_list<QWidget*>{
           Image1_,  Label4_,  Label1_,  Label6_,   Label5_,  Label8_,  Label7_,
           Label26_, Label10_, Label9_,  Command2_, Label17_, Label12_, Command1_,
           Label18_, Label13_, Label19_, Label14_,  Text1_,   Label11_}) {
    child->raise();  // the accessible children follow the order of the widget's children
  }

  setTabOrder(Text1_, Command1_);
  setTabOrder(Command1_, Command2_);
  Text1_->setFocus();

  connect(Command1_, &QPushButton::clicked, this, &MainWindow::Command1_Click);
  connect(Command2_, &QPushButton::clicked, this, &MainWindow::Command2_Click);
}

MainWindow::~MainWindow() = default;

QLabel* MainWindow::AddLabel(mainlayout::Id id) {
  const mainlayout::Control& control = mainlayout::Find(id);
  auto* label = new QLabel(this);
  PlaceLabel(label, control);
  label->setText(QString::fromLatin1(control.text));
  return label;
}

CaptionLabel* MainWindow::AddValue(mainlayout::Id id, mainlayout::Id heading,
                                   CaptionLabel::Kind kind) {
  return AddValue(id, mainlayout::Find(heading).text, kind);
}

CaptionLabel* MainWindow::AddValue(mainlayout::Id id, const char* heading,
                                   CaptionLabel::Kind kind) {
  auto* label = new CaptionLabel(this, QString::fromLatin1(heading), kind);
  PlaceLabel(label, mainlayout::Find(id));
  label->SetBackground(sky_);
  return label;
}

void MainWindow::UseReadableValueColours() {
  const QColor system = palette().color(QPalette::WindowText);
  for (CaptionLabel* value : {Label1_, Label5_, Label26_, Label7_, Label9_, Label12_, Label14_}) {
    value->UseTextColour(system);
  }
}

CaptionLabel* MainWindow::ValueLabel(mainform::Label label) const {
  using mainform::Label;
  switch (label) {
    case Label::Label1:
      return Label1_;
    case Label::Label5:
      return Label5_;
    case Label::Label7:
      return Label7_;
    case Label::Label9:
      return Label9_;
    case Label::Label12:
      return Label12_;
    case Label::Label13:
      return Label13_;
    case Label::Label14:
      return Label14_;
    case Label::Label26:
      return Label26_;
  }
  return Label1_;
}

void MainWindow::SetCaption(mainform::Label label, const std::string& caption) {
  ValueLabel(label)->SetWhole(
      QString::fromLocal8Bit(caption.data(), static_cast<qsizetype>(caption.size())));
}

std::string MainWindow::Caption(mainform::Label label) const {
  // The whole caption, also where the label shows it shortened: the report prints it whole.
  return ValueLabel(label)->Whole().toLocal8Bit().toStdString();
}

void MainWindow::SetText1(const std::string& text) {
  QString plain = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Text1_->setPlainText(plain);
}

std::string MainWindow::Text1() const {
  // The raw text, not toPlainText(): that one turns no-break spaces into blanks, and a host name or
  // label may hold them. Only the paragraph breaks become line breaks again.
  QString plain = Text1_->document()->toRawText();
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
  if (event->type() == QEvent::PaletteChange && Label1_ != nullptr) {
    UseReadableValueColours();
  }
  QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::exit(0);
}

}  // namespace mainwindow
