// The main window without a window: it keeps the captions and the listing written into it and
// shows nothing. The program's start-up fills it where no window is wanted (quorvane --text), and
// the report reads it back as it would read the window.
#pragma once

#include <array>
#include <string>

#include "ui/main/main_form.h"

namespace mainform {

class RecordedForm : public MainForm {
 public:
  void SetCaption(Label label, const std::string& caption) override {
    captions_[static_cast<std::size_t>(label)] = caption;
  }
  [[nodiscard]] std::string Caption(Label label) const override {
    return captions_[static_cast<std::size_t>(label)];
  }
  void SetText1(const std::string& text) override { text1_ = text; }
  [[nodiscard]] std::string Text1() const override { return text1_; }
  void Show() override {}

 private:
  std::array<std::string, kLabels> captions_;
  std::string text1_ = "Text1";
};

}  // namespace mainform
