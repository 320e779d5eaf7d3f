// window-reader: looks at the running Windows program from outside, as another program on the
// same desktop does, for tests/win32/program_under_x.sh. It finds the main window by its title and
// answers one question per run; a failed check is printed and makes the exit status 1.
//   find                 wait until the window is shown
//   where                print the client area's corner and size, and the Exit button's centre
//   listing FILE         compare the copied listing with the text box and with a rebuild of the
//                        settings window's start-up in this process; write the copy to FILE
//   ticks                watch the captions across ticks of Timer1
//   focus                print the name of the control that has the focus
//   caret                print where Text1's selection starts and ends, and its first line shown
//   names                compare what assistive technology hears of the controls the design
//                        names with the design's names and the captions shown
//   close                press the close box
#include <windows.h>

#include <oleacc.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/recording_main_form.h"
#include "ui/main/main_layout.h"
#include "ui/settings/settings_form.h"

namespace {

using mainlayout::Id;

int failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    ++failures;
  }
}

HWND Main() {
  return ::FindWindowA(nullptr, mainlayout::kTitle);
}

std::string Text(HWND control) {
  // WM_GETTEXT is carried across processes: this reads the control's own text.
  const auto length = ::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> text(static_cast<std::size_t>(length) + 1);
  const auto got =
      ::SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data(), static_cast<std::size_t>(got));
}

std::string Caption(HWND main, Id id) {
  return Text(::GetDlgItem(main, static_cast<int>(id)));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  Check(start == text.size(), "the listing's last line ends with CR LF");
  return lines;
}

std::string Clipboard() {
  std::string text;
  if (!::OpenClipboard(nullptr)) {
    return text;
  }
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(::GlobalLock(data))) {
      text = bytes;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

int Find() {
  for (int tries = 0; tries < 600; ++tries) {
    HWND main = Main();
    if (main && ::IsWindowVisible(main)) {
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::fprintf(stderr, "FAILED: no window titled \"%s\" within 30 s\n", mainlayout::kTitle);
  return 1;
}

int Where(HWND main) {
  RECT client{};
  ::GetClientRect(main, &client);
  POINT corner{0, 0};
  ::ClientToScreen(main, &corner);
  RECT exit{};
  ::GetWindowRect(::GetDlgItem(main, static_cast<int>(Id::Command1)), &exit);
  std::printf("%ld %ld %ld %ld %ld %ld\n", corner.x, corner.y, client.right, client.bottom,
              (exit.left + exit.right) / 2, (exit.top + exit.bottom) / 2);
  return 0;
}

int Listing(HWND main, const char* file) {
  const std::string copied = Clipboard();
  const std::string shown = Text(::GetDlgItem(main, static_cast<int>(Id::Text1)));
  Check(copied == shown, "Ctrl+A, Ctrl+C copies the text box's whole text, byte for byte");

  // The settings window's start-up, run again here on the same prefix: the same facts.
  testing_support::RecordingMainForm rebuilt;
  settings::frmSystemInfo form([&rebuilt]() -> mainform::MainForm& { return rebuilt; });
  form.Form_Load();
  const auto expected = Lines(form.Text1());
  const auto got = Lines(copied);
  Check(got.size() == expected.size(), "as many lines as the settings window's listing");
  const std::regex bytes(R"(Free disk space   = \d{1,3}(\.\d{3})* Bytes)");
  for (std::size_t i = 0; i < got.size() && i < expected.size(); ++i) {
    // Free space moves between two runs on a busy machine; its form is what can be compared.
    if (expected[i].rfind("Free disk space", 0) == 0 && std::regex_match(got[i], bytes)) {
      continue;
    }
    Check(got[i] == expected[i], "line " + std::to_string(i + 1) + ": \"" + got[i] +
                                     "\" instead of \"" + expected[i] + "\"");
  }
  for (const auto& [id, label] :
       std::map<Id, mainform::Label>{{Id::Label1, mainform::Label::Label1},
                                     {Id::Label5, mainform::Label::Label5},
                                     {Id::Label7, mainform::Label::Label7},
                                     {Id::Label9, mainform::Label::Label9},
                                     {Id::Label26, mainform::Label::Label26}}) {
    Check(Caption(main, id) == rebuilt.Caption(label),
          mainlayout::Find(id).name + std::string(" shows \"") + Caption(main, id) + "\"");
  }
  // Through its manifest the program is told the version Windows really has.
  Check(Caption(main, Id::Label9) == "10.0", "Label9 reads 10.0 on Windows 10");
  if (std::FILE* out = std::fopen(file, "wb")) {
    std::fwrite(copied.data(), 1, copied.size(), out);
    std::fclose(out);
  }
  return failures == 0 ? 0 : 1;
}

int Ticks(HWND main) {
  const std::vector<Id> memory{Id::Label12, Id::Label13, Id::Label14};
  std::map<Id, std::string> before;
  for (const auto& control : mainlayout::kControls) {
    if (control.kind != mainlayout::Kind::Picture) {
      before[control.id] = Caption(main, control.id);
    }
  }
  // Memory taken and touched here moves the free figure by far more than a kilobyte.
  const std::size_t size = 256U << 20U;
  auto* block = static_cast<char*>(::VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  for (std::size_t i = 0; block && i < size; i += 4096) {
    block[i] = 1;
  }
  // Three ticks and a bit.
  std::this_thread::sleep_for(std::chrono::milliseconds(4600));
  for (const auto& [id, text] : before) {
    const std::string now = Caption(main, id);
    const char* name = mainlayout::Find(id).name;
    if (id == Id::Label13) {
      Check(now != text, std::string(name) + " rewritten with the new free memory: " + now);
    } else if (id != Id::Label12 && id != Id::Label14) {
      Check(now == text, std::string(name) + " untouched by the timer");
    }
  }
  const std::regex kilobytes(R"(-?[1-9]\d* Kb|0 Kb)");
  Check(std::regex_match(Caption(main, Id::Label12), kilobytes), "Label12 in kilobytes");
  Check(std::regex_match(Caption(main, Id::Label13), kilobytes), "Label13 in kilobytes");
  Check(std::regex_match(Caption(main, Id::Label14), std::regex(R"(\d{1,3} %)")),
        "Label14 in per cent");
  ::VirtualFree(block, 0, MEM_RELEASE);
  return failures == 0 ? 0 : 1;
}

int Caret(HWND main) {
  HWND text1 = ::GetDlgItem(main, static_cast<int>(Id::Text1));
  // Both ends in the answer: a pointer into this process would mean nothing to the text box's.
  const auto selection = static_cast<DWORD>(::SendMessageA(text1, EM_GETSEL, 0, 0));
  std::printf("%u %u %ld\n", LOWORD(selection), HIWORD(selection),
              static_cast<long>(::SendMessageA(text1, EM_GETFIRSTVISIBLELINE, 0, 0)));
  return 0;
}

// What assistive technology hears of a control, asked across processes as a screen reader asks.
std::string Heard(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
    return "(no object)";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  char bytes[160] = "(no name)";
  if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr) {
    ::WideCharToMultiByte(CP_ACP, 0, name, -1, bytes, sizeof bytes, nullptr, nullptr);
    ::SysFreeString(name);
  }
  object->Release();
  return bytes;
}

int Names(HWND main) {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::fprintf(stderr, "FAILED: no COM in the reader\n");
    return 1;
  }
  const std::map<Id, std::string> expected{
      {Id::Label1, "Computer Name: " + Caption(main, Id::Label1)},
      {Id::Label5, "User Name: " + Caption(main, Id::Label5)},
      {Id::Label26, "Processor: " + Caption(main, Id::Label26)},
      {Id::Label7, "System Platform: " + Caption(main, Id::Label7)},
      {Id::Label9, "Version Info: " + Caption(main, Id::Label9)},
      {Id::Text1, "Settings listing"},
      {Id::Image1, "Information"},
  };
  for (const auto& [id, name] : expected) {
    const std::string heard = Heard(::GetDlgItem(main, static_cast<int>(id)));
    Check(heard == name, std::string(mainlayout::Find(id).name) + " is heard as \"" + heard +
                             "\", not \"" + name + "\"");
  }
  // The memory figures move between two questions; their form is what can be compared.
  const std::regex memory(R"(Physical Memory: \d+ Kb)");
  const std::string heard = Heard(::GetDlgItem(main, static_cast<int>(Id::Label12)));
  Check(std::regex_match(heard, memory), "Label12 is heard as \"" + heard + "\"");
  ::CoUninitialize();
  return failures == 0 ? 0 : 1;
}

int Focus(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info);
  const int id = info.hwndFocus ? ::GetDlgCtrlID(info.hwndFocus) : 0;
  for (const auto& control : mainlayout::kControls) {
    if (static_cast<int>(control.id) == id) {
      std::printf("%s\n", control.name);
      return 0;
    }
  }
  std::printf("none\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "find") {
    return Find();
  }
  HWND main = Main();
  if (!main) {
    std::fprintf(stderr, "FAILED: the window is not there\n");
    return 1;
  }
  if (command == "where") {
    return Where(main);
  }
  if (command == "listing" && argc > 2) {
    return Listing(main, argv[2]);
  }
  if (command == "ticks") {
    return Ticks(main);
  }
  if (command == "focus") {
    return Focus(main);
  }
  if (command == "caret") {
    return Caret(main);
  }
  if (command == "names") {
    return Names(main);
  }
  if (command == "close") {
    // What the close box does.
    return ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
  }
  std::fprintf(stderr,
               "usage: window-reader find|where|listing FILE|ticks|focus|caret|names|close\n");
  return 2;
}
