// A main window that records what is written into it, in order, for tests without a display.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/main/main_form.h"
#include "ui/main/main_layout.h"

namespace testing_support {

class RecordingMainForm : public mainform::MainForm {
 public:
  void SetCaption(mainform::Label label, const std::string& caption) override {
    captions[label] = caption;
    events.push_back(std::string(mainlayout::Find(label).name) + "=" + caption);
  }
  [[nodiscard]] std::string Caption(mainform::Label label) const override {
    const auto found = captions.find(label);
    return found == captions.end() ? std::string() : found->second;
  }
  void SetText1(const std::string& text) override {
    text1 = text;
    events.push_back(text.empty() ? "Text1=" : "Text1=<listing>");
  }
  [[nodiscard]] std::string Text1() const override { return text1; }
  void Show() override {
    visible = true;
    events.push_back("Show");
  }

  std::map<mainform::Label, std::string> captions;
  std::string text1 = "Text1";
  bool visible = false;
  std::vector<std::string> events;
};

}  // namespace testing_support
