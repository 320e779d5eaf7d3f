// Dialogs and a printer object that write every call into one shared log, so a test sees the order
// of message box, print dialog and printing, and can make any call fail or act meanwhile.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/printer.h"
#include "ui/main/main_form.h"

namespace report_fakes {

using Log = std::vector<std::string>;

// The value labels of a machine the report tests print from.
inline void FillCaptions(mainform::MainForm& main) {
  using mainform::Label;
  main.SetCaption(Label::Label1, "KESTREL");
  main.SetCaption(Label::Label5, "ana");
  main.SetCaption(Label::Label7, "Linux");
  main.SetCaption(Label::Label9, "6.1");
  main.SetCaption(Label::Label26, "Pentium");
  main.SetCaption(Label::Label12, "16318464 Kb");
}

class FakeMsgBox : public platform::MsgBox {
 public:
  explicit FakeMsgBox(Log& log) : log_(log) {}
  int Show(const std::string& prompt, int buttons, const std::string& title) override {
    log_.push_back("MsgBox " + prompt + " | " + std::to_string(buttons) + " | " + title);
    return platform::vbOK;
  }

 private:
  Log& log_;
};

class FakeCommonDialog : public platform::CommonDialog {
 public:
  explicit FakeCommonDialog(Log& log) : log_(log) {}
  void SetCancelError(bool cancelError) override {
    cancelError_ = cancelError;
    log_.push_back(cancelError ? "CancelError true" : "CancelError false");
  }
  bool ShowPrinter() override {
    log_.emplace_back("ShowPrinter");
    if (whileShown) {
      whileShown();
    }
    return !(cancel && cancelError_);
  }
  int Copies() const override {
    log_.emplace_back("Copies");
    return copies;
  }

  int copies = 1;
  bool cancel = false;
  // Runs while the dialog is up, as a timer tick would.
  std::function<void()> whileShown;

 private:
  Log& log_;
  bool cancelError_ = false;
};

class FakePrinter : public platform::Printer {
 public:
  explicit FakePrinter(Log& log) : log_(log) {}
  bool SetCurrentX(double twips) override { return Call("CurrentX " + Number(twips)); }
  bool SetCurrentY(double twips) override { return Call("CurrentY " + Number(twips)); }
  bool SetFont(const std::string& face) override { return Call("Font '" + face + "'"); }
  bool SetFontSize(double points) override { return Call("FontSize " + Number(points)); }
  bool Print(const std::string& item) override { return Call("Print " + item); }
  bool EndDoc() override {
    const bool ok = Call("EndDoc");
    if (ok && afterEndDoc) {
      afterEndDoc();
    }
    return ok;
  }

  // The printer call (0 for the first) that fails; -1 for none.
  int failAt = -1;
  std::function<void()> afterEndDoc;

 private:
  static std::string Number(double value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
      text.pop_back();
    }
    return text;
  }
  bool Call(std::string entry) {
    const bool ok = calls_++ != failAt;
    log_.push_back(std::move(entry) + (ok ? "" : " -> fails"));
    return ok;
  }

  Log& log_;
  int calls_ = 0;
};

}  // namespace report_fakes
