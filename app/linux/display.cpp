#include "app/linux/display.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/linux/display_environment.h"

namespace app {
namespace {

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

// What the start tries, known before Qt is asked, for the line said when it fails.
struct Attempt {
  DisplayEnvironment environment;
  std::vector<std::string> platforms;
  // The platform plugins installed, read where they decide the platform or when the start failed.
  std::optional<std::vector<std::string>> installed;
};

Attempt& Current() {
  static Attempt attempt;
  return attempt;
}

// The keys of the platform plugins Qt can find, from their metadata: no plugin is loaded.
std::vector<std::string> InstalledPlatforms() {
  QStringList folders;
  if (const QString path = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !path.isEmpty()) {
    folders << path;
  }
  for (const QString& root : QCoreApplication::libraryPaths()) {
    folders << root + QStringLiteral("/platforms");
  }
  std::vector<std::string> keys;
  for (const QString& folder : folders) {
    const QDir dir(folder);
    for (const QString& file : dir.entryList(QDir::Files)) {
      const QJsonObject meta = QPluginLoader(dir.filePath(file)).metaData();
      for (const auto key : meta.value(QStringLiteral("MetaData"))
                                .toObject()
                                .value(QStringLiteral("Keys"))
                                .toArray()) {
        keys.push_back(key.toString().toLower().toStdString());
      }
    }
  }
  return keys;
}

bool Installed(const Attempt& attempt, const std::string& platform) {
  return !attempt.installed || std::find(attempt.installed->begin(), attempt.installed->end(),
                                         platform) != attempt.installed->end();
}

// The line for a start that failed: the first platform tried whose plugin is missing, else the
// first one's display that could not be opened. The plugins are read only now, when the start has
// failed: a start that succeeds never pays for it.
std::string FailedLine(Attempt& attempt) {
  if (!attempt.installed) {
    attempt.installed = InstalledPlatforms();
  }
  for (const std::string& platform : attempt.platforms) {
    if (!Installed(attempt, platform)) {
      return PlatformFailedLine(attempt.environment, platform, false);
    }
  }
  return PlatformFailedLine(attempt.environment,
                            attempt.platforms.empty() ? "xcb" : attempt.platforms.front(), true);
}

// The standard error as it was before the guard took it; -1 while it is not taken.
int& RealStandardError() {
  static int fd = -1;
  return fd;
}

void HoldOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // Only the platform's start can fail this early, and the held warnings only say why in Qt's
    // words ("could not connect to display"): one line of ours replaces them and the abort.
    const std::string line = FailedLine(Current());
    const int fd = RealStandardError() >= 0 ? RealStandardError() : STDERR_FILENO;
    (void)!::write(fd, line.data(), line.size());
    std::_Exit(kNoDisplayStatus);  // no destructors: the application is half made
  }
  auto text_of = [](const char* s) { return std::string(s != nullptr ? s : ""); };
  Held().push_back({type, text_of(context.category), text_of(context.file),
                    text_of(context.function), context.line, text});
}

// Held while the QApplication is made: Qt's messages of that time, and what the window system's
// own libraries write to the standard error meanwhile (libwayland's complaints about its socket),
// are passed on when it ends, unless the platform failed.
class DisplayGuard {
 public:
  DisplayGuard() : previous_(qInstallMessageHandler(&HoldOrEnd)) {
    const int held = ::memfd_create("quorvane-held-stderr", MFD_CLOEXEC);
    const int real = held >= 0 ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    if (real >= 0 && ::dup2(held, STDERR_FILENO) >= 0) {
      held_ = held;
      RealStandardError() = real;
    } else {
      if (real >= 0) {
        ::close(real);
      }
      if (held >= 0) {
        ::close(held);
      }
    }
  }
  ~DisplayGuard() {
    if (held_ >= 0) {
      ::dup2(RealStandardError(), STDERR_FILENO);
      ::close(RealStandardError());
      RealStandardError() = -1;
      char chunk[4096];
      ssize_t count = 0;
      ::lseek(held_, 0, SEEK_SET);
      while ((count = ::read(held_, chunk, sizeof chunk)) > 0) {
        (void)!::write(STDERR_FILENO, chunk, static_cast<std::size_t>(count));
      }
      ::close(held_);
    }
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
  int held_ = -1;
};

}  // namespace

std::unique_ptr<QApplication> StartOnDisplay(int& argc, char** argv) {
  Attempt& attempt = Current();
  attempt.environment = DisplayEnvironment::OfProcess();
  const DisplayEnvironment& environment = attempt.environment;
  if (const auto line = NoDisplayLine(environment)) {
    std::fputs(line->c_str(), stderr);
    return nullptr;
  }
  attempt.platforms = NamedPlatforms(environment);
  if (attempt.platforms.empty()) {
    attempt.platforms = PlatformsToTry(environment, [&attempt] {
      attempt.installed = InstalledPlatforms();
      return Installed(attempt, "wayland");
    });
    std::string list;
    for (const std::string& platform : attempt.platforms) {
      list += (list.empty() ? "" : ";") + platform;
    }
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(list));
  }
  const DisplayGuard guard;
  return std::make_unique<QApplication>(argc, argv);
}

}  // namespace app
