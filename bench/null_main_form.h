// A main window that keeps what is written and shows nothing, so that a benchmark measures the
// settings window's own work.
#pragma once

#include <array>
#include <string>

#include "ui/main/main_form.h"

namespace bench_support {

class NullMainForm : public mainform::MainForm {
 public:
  void SetCaption(mainform::Label label, const std::string& caption) override {
    captions_[static_cast<std::size_t>(label)] = caption;
  }
  [[nodiscard]] std::string Caption(mainform::Label label) const override {
    return captions_[static_cast<std::size_t>(label)];
  }
  void SetText1(const std::string& text) override { text1_ = text; }
  [[nodiscard]] std::string Text1() const override { return text1_; }
  void Show() override {}

 private:
  std::array<std::string, 8> captions_;
  std::string text1_;
};

}  // namespace bench_support
