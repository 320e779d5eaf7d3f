#include "app/linux/display.h"

#include <QApplication>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace app {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// A message Qt gave while the guard held it back.
struct HeldMessage {
  QtMsgType type;
  std::string category;
  std::string file;
  std::string function;
  int line;
  QString text;
};

std::vector<HeldMessage>& Held() {
  static std::vector<HeldMessage> held;
  return held;
}

void HoldOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // Only the platform's start can fail this early, and the held warnings only say why in Qt's
    // words ("could not connect to display"): one line of ours replaces them and the abort.
    std::fputs(kNoDisplay, stderr);
    std::fflush(stderr);
    std::_Exit(kNoDisplayStatus);  // no destructors: the application is half made
  }
  auto text_of = [](const char* s) { return std::string(s != nullptr ? s : ""); };
  Held().push_back({type, text_of(context.category), text_of(context.file),
                    text_of(context.function), context.line, text});
}

// Held while the QApplication is made: Qt's messages of that time are passed on when it ends,
// unless the platform failed.
class DisplayGuard {
 public:
  DisplayGuard() : previous_(qInstallMessageHandler(&HoldOrEnd)) {}
  ~DisplayGuard() {
    qInstallMessageHandler(previous_);
    for (const HeldMessage& message : Held()) {
      const QMessageLogContext context(message.file.c_str(), message.line, message.function.c_str(),
                                       message.category.c_str());
      qt_message_output(message.type, context, message.text);
    }
    Held().clear();
  }
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;

 private:
  QtMessageHandler previous_;
};

}  // namespace

bool DisplayNamed() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
  const char* platforms = std::getenv("QT_QPA_PLATFORM");
  if (platforms == nullptr || *platforms == '\0') {
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
  }
  // A list such as "xcb;offscreen" falls back from one platform to the next.
  std::string_view list = platforms;
  while (!list.empty()) {
    const std::string_view entry = list.substr(0, list.find(';'));
    list.remove_prefix(std::min(list.size(), entry.size() + 1));
    const std::string_view name = entry.substr(0, entry.find(':'));
    if (name != "xcb" || Set("DISPLAY")) {
      return true;  // Wayland finds its socket without the variable; other platforms need none
    }
  }
  return false;
#else
  return true;  // Windows and macOS have their one display
#endif
}

std::unique_ptr<QApplication> StartOnDisplay(int& argc, char** argv) {
  if (!DisplayNamed()) {
    std::fputs(kNoDisplay, stderr);
    return nullptr;
  }
  const DisplayGuard guard;
  return std::make_unique<QApplication>(argc, argv);
}

}  // namespace app
