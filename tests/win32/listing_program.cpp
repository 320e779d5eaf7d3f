// quorvane-listing: the Windows core as a console program. It runs the settings window's start-up
// with a main window that keeps what it is given, then prints the title, the labels and the
// listing.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

#include "assets/windows/resources.h"
#include "tests/support/recording_main_form.h"
#include "ui/main/main_layout.h"
#include "ui/settings/settings_form.h"

namespace {

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
  testing_support::RecordingMainForm main;
  settings::frmSystemInfo settingsWindow([&main]() -> mainform::MainForm& { return main; });
  settingsWindow.Form_Load();

  // The listing already ends its lines with CR LF, so stdout is switched to bytes as they are.
  std::fflush(stdout);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  const std::string crlf = "\r\n";
  Print(Title() + crlf + crlf);
  // Each value after what the window calls it.
  for (const mainlayout::Control& control : mainlayout::kControls) {
    if (control.meaning.value) {
      Print(std::string(mainlayout::Called(control)) + ": " + main.Caption(*control.meaning.value) +
            crlf);
    }
  }
  Print(crlf + main.Text1());
  return std::fflush(stdout) == 0 ? 0 : 1;
}
