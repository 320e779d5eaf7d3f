// The main window as the rest of the program sees it: its value labels, its text box and showing
// it. The settings window writes into it through this interface, the report reads it back, and
// tests put a recording fake in its place. Text is 8-bit as the platform gave it; line breaks are
// CR LF.
#pragma once

#include <string>

namespace mainform {

// The value labels, by their names in the window.
enum class Label { Label1, Label5, Label7, Label9, Label12, Label13, Label14, Label26 };
inline constexpr int kLabels = 8;

class MainForm {
 public:
  virtual ~MainForm() = default;
  virtual void SetCaption(Label label, const std::string& caption) = 0;
  [[nodiscard]] virtual std::string Caption(Label label) const = 0;
  virtual void SetText1(const std::string& text) = 0;
  [[nodiscard]] virtual std::string Text1() const = 0;
  // Shows the window, not modally.
  virtual void Show() = 0;
};

}  // namespace mainform
