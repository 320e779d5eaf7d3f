// The "Print Info" command on fake dialogs and a fake printer: the message box on every press, the
// exact printer calls per copy, Cancel and failures ending it silently, and captions read as they
// print.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_main_form.h"
#include "tests/ui/report_fakes.h"
#include "ui/main/report.h"

namespace {

using mainform::Label;
using report_fakes::Log;

constexpr const char* kMsgBox = "MsgBox Systems Settings PrintOut | 32 | Pelvaro Beta 0.95";

Log BeforePrinting() {
  return {kMsgBox, "CancelError true", "ShowPrinter", "Copies"};
}

class PrintInfo : public ::testing::Test {
 protected:
  PrintInfo() {
    report_fakes::FillCaptions(main);
    main.SetCaption(Label::Label13, "9000000 Kb");
    main.SetCaption(Label::Label14, "44 %");
    main.SetText1("Scroll Down To View All Settings\r\n\r\nComputer Name        = KESTREL\r\n");
  }

  Log Press() {
    report::Command2_Click(main, msgBox, dialog, printer);
    return log;
  }

  // One whole copy as the printer sees it, with the memory line given.
  static Log Copy(const std::string& memory = "16318464 Kb") {
    return {"CurrentX 0",
            "CurrentY 0",
            "Font ''",
            "FontSize 16",
            "Print System Information Settings",
            "Print Pelvaro",
            "Print Computer Name: KESTREL",
            "Print User Name:     ana",
            "Print Platform:      Linux",
            "Print Win Version:   6.1",
            "Print Processor:     Pentium",
            "Print Physical RAM:  " + memory,
            "Print Path Settings, Keyboard Settings, Drive Settings:",
            "Print Scroll Down To View All Settings\r\n\r\nComputer Name        = KESTREL\r\n",
            "EndDoc"};
  }

  static Log Concat(const std::vector<Log>& parts) {
    Log all;
    for (const Log& part : parts) {
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }

  testing_support::RecordingMainForm main;
  Log log;
  report_fakes::FakeMsgBox msgBox{log};
  report_fakes::FakeCommonDialog dialog{log};
  report_fakes::FakePrinter printer{log};
};

TEST_F(PrintInfo, OneCopyIsOneDocumentWithTheFactsThenTheListing) {
  EXPECT_EQ(Press(), Concat({BeforePrinting(), Copy()}));
}

TEST_F(PrintInfo, ThreeCopiesAreThreeWholeDocumentsEachFromTheTopLeft) {
  dialog.copies = 3;
  EXPECT_EQ(Press(), Concat({BeforePrinting(), Copy(), Copy(), Copy()}));
}

TEST_F(PrintInfo, NoCopiesChosenPrintsNothing) {
  for (const int copies : {0, -1}) {
    log.clear();
    dialog.copies = copies;
    EXPECT_EQ(Press(), BeforePrinting()) << copies << " copies";
  }
}

TEST_F(PrintInfo, CancelEndsSilentlyAfterTheMessageBox) {
  dialog.cancel = true;
  EXPECT_EQ(Press(), (Log{kMsgBox, "CancelError true", "ShowPrinter"}));
}

TEST_F(PrintInfo, EveryPressShowsTheMessageBoxAgain) {
  dialog.cancel = true;
  Press();
  dialog.cancel = false;
  EXPECT_EQ(Press(),
            Concat({{kMsgBox, "CancelError true", "ShowPrinter"}, BeforePrinting(), Copy()}));
}

TEST_F(PrintInfo, EmptyCaptionsPrintTheirPaddedCaptionAlone) {
  for (const Label label : {Label::Label1, Label::Label5, Label::Label7, Label::Label9,
                            Label::Label26, Label::Label12}) {
    main.SetCaption(label, "");
  }
  main.SetText1("");
  const Log printed = Press();
  const Log expected = {"Print Computer Name: ",
                        "Print User Name:     ",
                        "Print Platform:      ",
                        "Print Win Version:   ",
                        "Print Processor:     ",
                        "Print Physical RAM:  ",
                        "Print Path Settings, Keyboard Settings, Drive Settings:",
                        "Print "};
  EXPECT_EQ(Log(printed.begin() + 10, printed.end() - 1), expected);
}

TEST_F(PrintInfo, MemoryLineShowsTheCaptionAsItIsWhenPrinted) {
  // A timer tick while the print dialog is up, and another between the copies.
  dialog.copies = 2;
  dialog.whileShown = [this] { main.SetCaption(Label::Label12, "8 Kb"); };
  printer.afterEndDoc = [this] { main.SetCaption(Label::Label12, "1234567 Kb"); };
  EXPECT_EQ(Press(), Concat({BeforePrinting(), Copy("8 Kb"), Copy("1234567 Kb")}));
}

// --text writes what a copy prints, line by line, each line ended as the system ends lines: the
// listing's own CR LF too, and its last one ends its last line.
TEST_F(PrintInfo, TheTextIsWhatACopyPrintsWithTheSystemsLineBreaks) {
  const std::string facts =
      "System Information Settings|Pelvaro|Computer Name: KESTREL|User Name:     ana|"
      "Platform:      Linux|Win Version:   6.1|Processor:     Pentium|"
      "Physical RAM:  16318464 Kb|Path Settings, Keyboard Settings, Drive Settings:|"
      "Scroll Down To View All Settings||Computer Name        = KESTREL|";
  for (const std::string lineBreak : {"\n", "\r\n"}) {
    std::string expected;
    for (const char c : facts) {
      expected += c == '|' ? lineBreak : std::string(1, c);
    }
    EXPECT_EQ(report::Text(main, lineBreak), expected);
  }
}

// A failure during the second copy: the first copy stays ended, the second is neither continued
// nor ended, and nothing follows. Each row makes a different call of copy 2 fail.
class FailureInCopy2 : public PrintInfo, public ::testing::WithParamInterface<int> {};

TEST_P(FailureInCopy2, EndsTheCommandAtOnce) {
  const int copyLength = static_cast<int>(Copy().size());
  const int failing = GetParam();
  dialog.copies = 3;
  printer.failAt = copyLength + failing;

  Log copy2 = Copy();
  copy2.resize(failing + 1);
  copy2.back() += " -> fails";
  EXPECT_EQ(Press(), Concat({BeforePrinting(), Copy(), copy2}));
}

// 0 CurrentX, 2 Font, 3 FontSize, 4 the first line, 7 a caption line, 13 the listing, 14 EndDoc.
INSTANTIATE_TEST_SUITE_P(Calls, FailureInCopy2, ::testing::Values(0, 2, 3, 4, 7, 13, 14));

}  // namespace
