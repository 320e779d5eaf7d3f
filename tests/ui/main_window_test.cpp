// The main window on Qt's offscreen platform: its design (window, controls, fonts, colours, focus),
// the plain-text captions and the listing's line breaks across the Qt boundary, the keyboard, and
// the two ways the event loop ends. (Readable in any palette and heard by screen readers: in
// main_window_reading_test.cpp.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetricsF>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "assets/qt/pictures.h"
#include "tests/support/window_design.h"
#include "tests/ui/main_window_fixture.h"
#include "tests/ui/qt_app.h"
#include "ui/main/qt/main_window.h"

namespace {

using mainform::Label;
using mainwindow::MainWindow;

using testing_support::DesignRow;
using testing_support::Look;
using testing_support::Widget;

const char* QtClass(Widget widget) {
  switch (widget) {
    case Widget::Button:
      return "QPushButton";
    case Widget::TextBox:
      return "QPlainTextEdit";
    case Widget::Label:
    case Widget::Picture:
      break;
  }
  return "QLabel";
}

int Px(int twips) {
  EXPECT_EQ(twips % 15, 0) << twips << " twips is not a whole number of pixels";
  return twips / 15;
}

QString TextOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    return label->text();
  }
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    return button->text();
  }
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    return edit->toPlainText();
  }
  return {};
}

using main_window_test::Window;

// ---- the design ----

class Control : public Window, public ::testing::WithParamInterface<DesignRow> {};

TEST_P(Control, StandsWhereTheDesignPutsItWithItsTextAndColour) {
  const DesignRow& row = GetParam();
  QWidget* widget = Find(row.name);
  ASSERT_NE(widget, nullptr);
  EXPECT_STREQ(widget->metaObject()->className(), QtClass(row.widget));
  EXPECT_EQ(widget->parentWidget(), window.get());
  EXPECT_EQ(widget->geometry(), QRect(Px(row.left), Px(row.top), Px(row.width), Px(row.height)));
  EXPECT_EQ(TextOf(widget), QString::fromLatin1(row.text));

  const QColor defaultText = window->palette().color(QPalette::WindowText);
  const QColor expected = row.look == Look::Blue      ? QColor(0, 0, 255)
                          : row.look == Look::Magenta ? QColor(255, 0, 255)
                                                      : defaultText;
  if (qobject_cast<QLabel*>(widget) != nullptr) {
    EXPECT_EQ(widget->palette().color(QPalette::WindowText), expected);
  }
}

TEST_P(Control, IsPlainTextWithoutAccessKeyAndTransparentWhenALabel) {
  QWidget* widget = Find(GetParam().name);
  ASSERT_NE(widget, nullptr);
  EXPECT_TRUE(QKeySequence::mnemonic(TextOf(widget)).isEmpty());
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
  }
}

INSTANTIATE_TEST_SUITE_P(MainWindowDesign, Control, ::testing::ValuesIn(testing_support::kDesign),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Window, HasItsNameTitleAndFixedClientAreaAndStartsHidden) {
  EXPECT_EQ(window->objectName(), QStringLiteral("main"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("System Information Beta 0.96"));
  EXPECT_EQ(window->geometry(), QRect(115, 134, 413, 274));
  EXPECT_EQ(window->minimumSize(), QSize(413, 274));
  EXPECT_EQ(window->maximumSize(), QSize(413, 274));
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(Window, HasACloseBoxAndWindowMenuButCannotBeMinimizedOrMaximized) {
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(window->isWindow());
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(Window, LoadLeavesEveryValueLabelEmpty) {
  for (Label label : {Label::Label1, Label::Label5, Label::Label7, Label::Label9, Label::Label12,
                      Label::Label13, Label::Label14, Label::Label26}) {
    EXPECT_EQ(window->Caption(label), "");
  }
}

TEST_F(Window, Text1IsAnEditableBlackBoxWithCyanArialAndBothScrollBars) {
  auto* text = Find<QPlainTextEdit>("Text1");
  ASSERT_NE(text, nullptr);
  EXPECT_FALSE(text->isReadOnly());
  EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(text->palette().color(QPalette::Base), QColor(0, 0, 0));
  EXPECT_EQ(text->palette().color(QPalette::Text), QColor(0, 255, 255));
  const QFont font = text->font();
  EXPECT_EQ(font.family(), QStringLiteral("Arial"));
  EXPECT_DOUBLE_EQ(font.pointSizeF(), 9.75);
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_FALSE(font.italic());
  EXPECT_FALSE(font.underline());
  EXPECT_FALSE(font.strikeOut());
}

TEST_F(Window, LabelsAndButtonsUseASmallPlainFont) {
  const QFont font = window->font();
  EXPECT_GE(font.pointSizeF(), 7.5);
  EXPECT_LE(font.pointSizeF(), 9.0);
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_FALSE(font.italic());
  // Every heading fits its label at that size: a cut heading would be unreadable.
  for (const DesignRow& row : testing_support::kDesign) {
    auto* label = window->findChild<QLabel*>(QString::fromLatin1(row.name));
    if (label != nullptr && *row.text != '\0') {
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << row.name;
    }
  }
}

// Each character is set at its own advance, as a dialog draws text: kerning would pull pairs such
// as "AV" and "Te" together and make a caption narrower than the design measured it.
TEST_F(Window, TextIsSetWithoutKerningInTheLabelsAndInText1) {
  const QString pairs = QStringLiteral("AVATeWaYo");
  for (const QWidget* widget : {static_cast<const QWidget*>(Find<QLabel>("Label4")),
                                static_cast<const QWidget*>(Find<QPushButton>("Command2")),
                                static_cast<const QWidget*>(Find<QPlainTextEdit>("Text1"))}) {
    ASSERT_NE(widget, nullptr);
    const QFontMetricsF metrics(widget->font());
    qreal apart = 0;
    for (const QChar c : pairs) {
      apart += metrics.horizontalAdvance(c);
    }
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(pairs), apart) << widget->objectName().toStdString();
  }
}

TEST_F(Window, Image1StretchesTheInformationIcon) {
  auto* image = Find<QLabel>("Image1");
  ASSERT_NE(image, nullptr);
  // Stretched to the whole control, not drawn at the icon's 32 pixels in its corner.
  EXPECT_EQ(image->pixmap().deviceIndependentSize(), QSizeF(image->size()));
  EXPECT_EQ(image->pixmap().toImage(), assets::InformationPicture(image->size()));
}

// The sky is drawn at its own size from the client's top-left corner; labels let it show through.
TEST_F(Window, ShowsTheSkyUnscaledBehindTransparentLabels) {
  const QImage sky = assets::ShownSky();
  ASSERT_EQ(sky.size(), QSize(413, 274));
  window->SetCaption(Label::Label1, "");
  const QImage shown = window->grab().toImage();
  ASSERT_EQ(shown.size(), QSize(413, 274));
  // Corners and gaps between controls, and a point inside the empty Label1.
  for (const QPoint point : {QPoint(1, 1), QPoint(410, 2), QPoint(5, 271), QPoint(410, 271),
                             QPoint(10, 140), QPoint(200, 10)}) {
    EXPECT_EQ(shown.pixelColor(point), sky.pixelColor(point)) << point.x() << "," << point.y();
  }
}

// ---- what crosses the window's interface ----

TEST_F(Window, CaptionsAreShownAndReadBackAsTyped) {
  const std::string captions[] = {"<b>x</b>", "a & b", "%s %n", "Zo\xC3\xAB",
                                  "1\xC2\xA0"
                                  "2"};
  for (const std::string& caption : captions) {
    window->SetCaption(Label::Label1, caption);
    EXPECT_EQ(window->Caption(Label::Label1), caption);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), QString::fromUtf8(caption.c_str()));
  }
}

TEST_F(Window, EachValueLabelHasItsOwnCaption) {
  const std::pair<Label, const char*> labels[] = {
      {Label::Label1, "Label1"},   {Label::Label5, "Label5"},   {Label::Label7, "Label7"},
      {Label::Label9, "Label9"},   {Label::Label12, "Label12"}, {Label::Label13, "Label13"},
      {Label::Label14, "Label14"}, {Label::Label26, "Label26"}};
  for (const auto& [label, name] : labels) {
    window->SetCaption(label, std::string("value of ") + name);
  }
  for (const auto& [label, name] : labels) {
    EXPECT_EQ(Find<QLabel>(name)->text(), QStringLiteral("value of ") + QString::fromLatin1(name));
  }
}

TEST_F(Window, Text1ShowsCrLfAsLinesAndGivesBackTheSameBytes) {
  const std::string listing =
      "Scroll Down To View All Settings\r\n"
      "Temp Directory       = /tmp/\r\n"
      "\r\n"
      "Disk /media/caf\xC3\xA9 \xC2\xA0x/ :\r\n"
      "Volumelabel       = <i>&amp;</i>\t%d\r\n";
  window->SetText1(listing);
  auto* text = Find<QPlainTextEdit>("Text1");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->document()->blockCount(), 6);
  EXPECT_EQ(text->document()->findBlockByNumber(1).text(),
            QStringLiteral("Temp Directory       = /tmp/"));
  EXPECT_FALSE(text->toPlainText().contains(QLatin1Char('\r')));
  EXPECT_EQ(window->Text1(), listing);

  window->SetText1("");
  EXPECT_EQ(window->Text1(), "");
}

TEST_F(Window, WhatTheUserTypesIntoText1IsReadBackWithCrLf) {
  window->SetText1("one\r\n");
  auto* text = Find<QPlainTextEdit>("Text1");
  ASSERT_NE(text, nullptr);
  text->moveCursor(QTextCursor::End);
  QTest::keyClicks(text, "two");
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(window->Text1(), "one\r\ntwo\r\n");
}

// ---- focus ----

TEST_F(Window, FocusStartsInText1AndTabGoesToExitThenPrintInfo) {
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), Find("Text1"));
  const char* order[] = {"Command1", "Command2", "Text1"};
  for (const char* name : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Find(name)) << name;
  }
  window->SetText1("unchanged");
  QTest::keyClick(Find("Text1"), Qt::Key_Tab);
  EXPECT_EQ(window->Text1(), "unchanged") << "Tab typed into Text1";
}

TEST_F(Window, ReturnAndEnterPressTheFocusedButtonAsSpaceDoes) {
  int runs = 0;
  window->SetReportAction([&](const mainform::MainForm&, QWidget*) { ++runs; });
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  auto* printInfo = Find<QPushButton>("Command2");
  ASSERT_NE(printInfo, nullptr);
  printInfo->setFocus();
  QTest::keyClick(printInfo, Qt::Key_Return);
  EXPECT_EQ(runs, 1);
  QTest::keyClick(printInfo, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(runs, 2);
  QTest::keyClick(printInfo, Qt::Key_Space);
  EXPECT_EQ(runs, 3);
  // Return in the listing is still a new line, not a press of a button.
  Find("Text1")->setFocus();
  QTest::keyClick(Find("Text1"), Qt::Key_Return);
  EXPECT_EQ(runs, 3);
}

// ---- buttons and closing ----

class Ending : public Window {
 protected:
  // Runs the event loop with action queued; the result is the loop's exit code, or -1 when only the
  // watchdog ended it.
  int RunWith(const std::function<void()>& action) {
    QApplication::setQuitOnLastWindowClosed(false);  // only the window itself may end the loop
    window->Show();
    QTimer::singleShot(0, window.get(), action);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    watchdog.start(10000);
    return QApplication::exec();
  }
};

TEST_F(Ending, ExitEndsTheEventLoop) {
  EXPECT_EQ(RunWith([this] { QTest::mouseClick(Find("Command1"), Qt::LeftButton); }), 0);
}

TEST_F(Ending, TheCloseBoxEndsTheEventLoopAsExitDoes) {
  EXPECT_EQ(RunWith([this] { window->close(); }), 0);
}

TEST_F(Window, PrintInfoHandsTheWindowToTheReport) {
  int runs = 0;
  const mainform::MainForm* form = nullptr;
  QWidget* parent = nullptr;
  window->SetReportAction([&](const mainform::MainForm& f, QWidget* p) {
    ++runs;
    form = &f;
    parent = p;
  });
  QTest::mouseClick(Find("Command2"), Qt::LeftButton);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(form, window.get());
  EXPECT_EQ(parent, window.get());
}

}  // namespace
