// The report through Qt's printer into PDF files, read back with pdftotext: the text line for line,
// page overflow, long lines, one file per copy, and the real print dialog driven as a user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/dialogs.h"
#include "platform/qt/printer.h"
#include "tests/support/recording_main_form.h"
#include "tests/support/run_program.h"
#include "tests/ui/report_fakes.h"
#include "ui/main/qt/report.h"
#include "ui/main/report.h"

namespace {

using mainform::Label;
using Lines = std::vector<std::string>;

class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "report_qt_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// gtest_main leaves a static registration as the only way in; gtest owns the environment.
// NOLINTNEXTLINE(cert-err58-cpp)
[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

struct PdfText {
  int pages = 0;
  Lines lines;  // pages joined, the report's left edge as column 0, no trailing blanks or lines
};

// The report's 16-point fixed-pitch characters are 0.6 em wide. Read on that grid, every character
// lands in its own column, so blanks and columns come back exactly as printed.
constexpr const char* kPitchPoints = "9.6";

PdfText ReadPdf(const QString& path) {
  const auto pdftotext =
      testing_support::RunProgram({"pdftotext", "-fixed", kPitchPoints, path.toStdString(), "-"});
  EXPECT_EQ(pdftotext.status, 0) << "pdftotext (poppler-utils) did not run";
  const std::string& out = pdftotext.out;
  PdfText text;
  std::string line;
  for (const char c : out) {
    if (c == '\f') {
      ++text.pages;
    } else if (c == '\n') {
      line.erase(line.find_last_not_of(' ') + 1);
      text.lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  std::size_t indent = std::string::npos;
  for (const std::string& printed : text.lines) {
    if (!printed.empty()) {
      indent = std::min(indent, printed.find_first_not_of(' '));
    }
  }
  for (std::string& printed : text.lines) {
    printed.erase(0, std::min(indent, printed.size()));
  }
  while (!text.lines.empty() && text.lines.back().empty()) {
    text.lines.pop_back();
  }
  return text;
}

// The right edge of the rightmost word on any page, and the page width, in points.
std::pair<double, double> RightmostInk(const QString& path) {
  const auto pdftotext =
      testing_support::RunProgram({"pdftotext", "-bbox", path.toStdString(), "-"});
  EXPECT_EQ(pdftotext.status, 0);
  const QString out = QString::fromStdString(pdftotext.out);
  double rightmost = 0;
  for (qsizetype at = out.indexOf(QLatin1String("xMax=\"")); at >= 0;
       at = out.indexOf(QLatin1String("xMax=\""), at + 1)) {
    const qsizetype start = at + 6;
    rightmost = std::max(rightmost,
                         out.mid(start, out.indexOf(QLatin1Char('"'), start) - start).toDouble());
  }
  const qsizetype width = out.indexOf(QLatin1String("<page width=\"")) + 13;
  return {rightmost, out.mid(width, out.indexOf(QLatin1Char('"'), width) - width).toDouble()};
}

Lines Split(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       start = end + 2, end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

class QtReport : public ::testing::Test {
 protected:
  QtReport() {
    report_fakes::FillCaptions(main);
    main.SetText1(
        "Scroll Down To View All Settings\r\n"
        "\r\n"
        "Computer Name          = KESTREL\r\n"
        "Windows Directory      = /usr\r\n"
        "\r\n"
        "Drive                = /home/ana/Photos and Films/\r\n"
        "Volume Label         = Grüße\r\n");
  }

  // The report as it should read: the facts, then the listing line for line.
  [[nodiscard]] Lines Expected() const {
    Lines lines = {"System Information Settings",
                   "Pelvaro",
                   "Computer Name: " + main.Caption(Label::Label1),
                   "User Name:     " + main.Caption(Label::Label5),
                   "Platform:      " + main.Caption(Label::Label7),
                   "Win Version:   " + main.Caption(Label::Label9),
                   "Processor:     " + main.Caption(Label::Label26),
                   "Physical RAM:  " + main.Caption(Label::Label12),
                   "Path Settings, Keyboard Settings, Drive Settings:"};
    for (const std::string& line : Split(main.Text1())) {
      lines.push_back(line);
    }
    // Blanks at the end of a line, and the empty line the listing's last line break leaves, leave
    // no ink to read back.
    for (std::string& line : lines) {
      line.erase(line.find_last_not_of(' ') + 1);
    }
    while (lines.back().empty()) {
      lines.pop_back();
    }
    return lines;
  }

  // Runs the command on Qt's printer with a PDF file as its output and fake dialogs; returns the
  // right edge of the printable area in points.
  double PrintToPdf(const QString& path, int copies = 1) {
    QPrinter qprinter(QPrinter::HighResolution);
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setOutputFileName(path);
    report_fakes::Log log;
    report_fakes::FakeMsgBox msgBox(log);
    report_fakes::FakeCommonDialog dialog(log);
    dialog.copies = copies;
    platform::qt::Printer printer(qprinter);
    report::Command2_Click(main, msgBox, dialog, printer);
    return qprinter.pageLayout().paintRect(QPageLayout::Point).right();
  }

  [[nodiscard]] QString File(const char* name) const { return dir.filePath(QLatin1String(name)); }

  testing_support::RecordingMainForm main;
  QTemporaryDir dir;
};

// Line for line and column for column: the six captions' values line up only in a fixed-pitch face.
TEST_F(QtReport, PdfReadsBackAsTheReportLineForLine) {
  PrintToPdf(File("report.pdf"));
  const PdfText pdf = ReadPdf(File("report.pdf"));
  EXPECT_EQ(pdf.pages, 1);
  EXPECT_EQ(pdf.lines, Expected());
}

TEST_F(QtReport, LongListingContinuesOnNewPagesAndLosesNoLine) {
  std::string listing;
  for (int i = 1; i <= 200; ++i) {
    listing += "Listing line " + std::to_string(i) + " of 200\r\n";
    if (i % 50 == 0) {
      listing += "\r\n";
    }
  }
  main.SetText1(listing);
  PrintToPdf(File("long.pdf"));
  const PdfText pdf = ReadPdf(File("long.pdf"));
  EXPECT_GE(pdf.pages, 4);
  EXPECT_EQ(pdf.lines, Expected());
}

TEST_F(QtReport, LineWiderThanThePageContinuesOnTheNextLines) {
  std::string wide;
  for (int i = 0; i < 40; ++i) {
    wide += "[" + std::to_string(100 + i) + "]-";
  }
  main.SetText1("before\r\n" + wide + "\r\nafter\r\n");
  const double printableRight = PrintToPdf(File("wide.pdf"));

  const Lines lines = ReadPdf(File("wide.pdf")).lines;
  const auto before = std::find(lines.begin(), lines.end(), "before");
  const auto after = std::find(lines.begin(), lines.end(), "after");
  ASSERT_NE(before, lines.end());
  ASSERT_NE(after, lines.end());
  EXPECT_GT(after - before, 2) << "the wide line took a single printed line";
  std::string joined;
  for (auto line = before + 1; line != after; ++line) {
    joined += *line;
  }
  EXPECT_EQ(joined, wide);
  const auto [rightmost, pageWidth] = RightmostInk(File("wide.pdf"));
  EXPECT_LE(rightmost, printableRight + 0.5) << "page width " << pageWidth;
}

TEST(QtPrinterFileNames, EachFurtherDocumentGetsANumberedNameBesideTheChosenOne) {
  struct Row {
    const char* chosen;
    int document;
    const char* expected;
  };
  const Row rows[] = {
      {"/tmp/out/report.pdf", 1, "/tmp/out/report.pdf"},
      {"/tmp/out/report.pdf", 2, "/tmp/out/report-2.pdf"},
      {"/tmp/out/report.pdf", 12, "/tmp/out/report-12.pdf"},
      {"/tmp/out/report", 3, "/tmp/out/report-3"},
      {"/tmp/my.dir/report", 2, "/tmp/my.dir/report-2"},
      {"/tmp/out/report.v1.pdf", 2, "/tmp/out/report.v1-2.pdf"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(platform::qt::Printer::DocumentFileName(QString::fromUtf8(row.chosen), row.document)
                  .toStdString(),
              row.expected)
        << row.chosen << " document " << row.document;
  }
}

// A copy that a failure interrupted is not handed over half printed; the copies before it stay.
TEST_F(QtReport, DocumentLeftOpenIsDiscarded) {
  {
    QPrinter qprinter(QPrinter::HighResolution);
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setOutputFileName(File("report.pdf"));
    platform::qt::Printer printer(qprinter);
    ASSERT_TRUE(printer.Print("copy 1"));
    ASSERT_TRUE(printer.EndDoc());
    ASSERT_TRUE(printer.Print("copy 2, interrupted"));
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.pdf"});
  EXPECT_EQ(ReadPdf(File("report.pdf")).lines, Lines{"copy 1"});
}

// PrintFromWindow with its dialogs answered by the test: the message box as it is shown, then the
// print dialog's choices (a PDF file, some copies) as the user would make them.
class PrintFromWindow : public QtReport {
 protected:
  void Press(int copies, bool accept = true) {
    report::PrintFromWindowRunning(main, nullptr, [&](QDialog& dialog) {
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        messages.push_back(box->windowTitle().toStdString() + " | " + box->text().toStdString());
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        return int{QMessageBox::Ok};
      }
      auto* print = qobject_cast<QPrintDialog*>(&dialog);
      EXPECT_NE(print, nullptr);
      print->printer()->setOutputFormat(QPrinter::PdfFormat);
      print->printer()->setOutputFileName(File("report.pdf"));
      print->printer()->setCopyCount(copies);
      return int{accept ? QDialog::Accepted : QDialog::Rejected};
    });
  }

  [[nodiscard]] QStringList Files() const {
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
  }

  std::vector<std::string> messages;
};

TEST_F(PrintFromWindow, ThreeCopiesAreThreeFilesEachWithTheWholeReport) {
  Press(3);
  EXPECT_EQ(messages, Lines{"Pelvaro Beta 0.95 | Systems Settings PrintOut"});
  EXPECT_EQ(Files(), (QStringList{"report-2.pdf", "report-3.pdf", "report.pdf"}));
  for (const char* name : {"report.pdf", "report-2.pdf", "report-3.pdf"}) {
    EXPECT_EQ(ReadPdf(File(name)).lines, Expected()) << name;
  }
}

TEST_F(PrintFromWindow, CancelPrintsNothingAfterTheMessageBox) {
  Press(2, false);
  EXPECT_EQ(messages.size(), 1U);
  EXPECT_TRUE(Files().isEmpty());
}

// The real dialogs, answered through their widgets while they run modally.
TEST_F(QtReport, PrintDialogChoicesOfFileAndCopiesAreHonoured) {
  const QString target = File("chosen.pdf");
  QString startedOn;
  int messageBoxes = 0;
  bool printDialogSeen = false;
  bool printDialogAccepted = false;
  QTimer answer;
  answer.setInterval(10);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      ++messageBoxes;
      box->button(QMessageBox::Ok)->click();
    } else if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
      if (printDialogAccepted) {
        ADD_FAILURE() << "the print dialog did not take the choices";
        print->reject();
        return;
      }
      auto* printers = print->findChild<QComboBox*>(QStringLiteral("printers"));
      auto* fileName = print->findChild<QLineEdit*>(QStringLiteral("filename"));
      auto* copies = print->findChild<QSpinBox*>(QStringLiteral("copies"));
      if (printers == nullptr || fileName == nullptr || copies == nullptr) {
        ADD_FAILURE() << "the print dialog has no printer list, file name or copies field";
        print->reject();
        return;
      }
      if (!printDialogSeen) {
        printDialogSeen = true;
        startedOn = printers->currentText();
      }
      // The dialog starts on the machine's default printer where it has one: the file output, the
      // list's last entry, is chosen as a user would, and OK pressed once the dialog shows it.
      const int fileOutput = printers->count() - 1;
      if (printers->currentIndex() != fileOutput || fileName->text() != target ||
          copies->value() != 2) {
        printers->setCurrentIndex(fileOutput);
        fileName->setText(target);
        copies->setValue(2);
        return;
      }
      printDialogAccepted = true;
      print->accept();
    }
  });
  answer.start();
  report::PrintFromWindow(main, nullptr);
  answer.stop();

  EXPECT_EQ(messageBoxes, 1);
  EXPECT_TRUE(printDialogSeen);
  // Where no printer is set up, the dialog starts on the file output (ctest gives this test a print
  // server address where nothing listens); beside a print server, on its default queue.
  const QString defaultPrinter = QPrinterInfo::defaultPrinterName();
  EXPECT_EQ(startedOn.startsWith(QLatin1String("Print to File")), defaultPrinter.isEmpty())
      << startedOn.toStdString();
  if (!defaultPrinter.isEmpty()) {
    EXPECT_EQ(startedOn, defaultPrinter);
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
            (QStringList{"chosen-2.pdf", "chosen.pdf"}));
  for (const char* name : {"chosen.pdf", "chosen-2.pdf"}) {
    EXPECT_EQ(ReadPdf(File(name)).lines, Expected()) << name;
  }
}

}  // namespace
