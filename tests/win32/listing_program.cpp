// quorvane-listing: the Windows core as a console program. It runs the settings window's start-up
// with a main window that keeps what it is given, then prints the title, the labels and the
// listing.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

#include "assets/windows/resources.h"
#include "ui/main/main_form.h"
#include "ui/settings/settings_form.h"

namespace {

using mainform::Label;

class PrintedMainForm : public mainform::MainForm {
 public:
  void SetCaption(Label label, const std::string& caption) override { captions_[label] = caption; }
  [[nodiscard]] std::string Caption(Label label) const override {
    const auto found = captions_.find(label);
    return found == captions_.end() ? std::string() : found->second;
  }
  void SetText1(const std::string& text) override { text1_ = text; }
  [[nodiscard]] std::string Text1() const override { return text1_; }
  void Show() override {}

 private:
  std::map<Label, std::string> captions_;
  std::string text1_;
};

std::string Title() {
  std::array<char, 128> title{};
  const int length = ::LoadStringA(::GetModuleHandleA(nullptr), QUORVANE_IDS_TITLE, title.data(),
                                   static_cast<int>(title.size()));
  return length > 0 ? std::string(title.data(), static_cast<std::size_t>(length)) : std::string();
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main() {
  PrintedMainForm main;
  settings::frmSystemInfo settingsWindow([&main]() -> mainform::MainForm& { return main; });
  settingsWindow.Form_Load();

  // The listing already ends its lines with CR LF, so stdout is switched to bytes as they are.
  std::fflush(stdout);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  const std::string crlf = "\r\n";
  Print(Title() + crlf + crlf);
  const std::array<std::pair<const char*, Label>, 8> labels{{
      {"Computer name", Label::Label1},
      {"User name", Label::Label5},
      {"Platform", Label::Label7},
      {"Version", Label::Label9},
      {"Processor", Label::Label26},
      {"Total memory", Label::Label12},
      {"Free memory", Label::Label13},
      {"Memory in use", Label::Label14},
  }};
  for (const auto& [name, label] : labels) {
    Print(std::string(name) + ": " + main.Caption(label) + crlf);
  }
  Print(crlf + main.Text1());
  return std::fflush(stdout) == 0 ? 0 : 1;
}
