#include "app/linux/display.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/linux/display_environment.h"
#include "ui/main/visible_text.h"

namespace app {
namespace {

// A message Qt gave while the start was held, and how much of the captured standard error had
// been written before it, so that both are passed on in the order they came.
struct HeldMessage {
  QtMsgType type;
  std::string category;
  std::string file;
  std::string function;
  int line;
  QString text;
  off_t capturedBefore;
};

// What is held while the application is made. Qt's own threads (the X connection's reader) may
// give messages meanwhile, so all of it is kept under the mutex.
struct Holding {
  std::mutex mutex;
  bool active = false;
  QtMessageHandler previous = nullptr;
  int realStandardError = -1;  // the standard error as it was before it was captured
  int captured = -1;           // what was written to the standard error meanwhile
  std::vector<HeldMessage> messages;
};

Holding& Held() {
  static Holding holding;
  return holding;
}

// A platform plugin Qt can find, by its metadata: no plugin is loaded to know it.
struct PlatformPlugin {
  std::string key;
  QString file;
  bool direct;  // in QT_QPA_PLATFORM_PLUGIN_PATH, which Qt tries before its library paths
};

// What the start tries, known before Qt is asked, for the line said when it fails.
struct Attempt {
  DisplayEnvironment environment;
  std::vector<std::string> platforms;
  // The platform plugins installed, read where they decide the platform or when the start failed.
  std::optional<std::vector<PlatformPlugin>> installed;
};

Attempt& Current() {
  static Attempt attempt;
  return attempt;
}

// The platform plugins in the order Qt looks at them.
std::vector<PlatformPlugin> InstalledPlatforms() {
  std::vector<std::pair<QString, bool>> folders;
  if (const QString path = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !path.isEmpty()) {
    folders.emplace_back(path, true);
  }
  for (const QString& root : QCoreApplication::libraryPaths()) {
    folders.emplace_back(root + QStringLiteral("/platforms"), false);
  }
  std::vector<PlatformPlugin> plugins;
  for (const auto& [folder, direct] : folders) {
    const QDir dir(folder);
    for (const QString& file : dir.entryList(QDir::Files)) {
      const QString path = dir.filePath(file);
      const QJsonObject meta = QPluginLoader(path).metaData();
      for (const auto key : meta.value(QStringLiteral("MetaData"))
                                .toObject()
                                .value(QStringLiteral("Keys"))
                                .toArray()) {
        plugins.push_back({key.toString().toLower().toStdString(), path, direct});
      }
    }
  }
  return plugins;
}

bool Installed(const Attempt& attempt, const std::string& platform) {
  return !attempt.installed ||
         std::any_of(attempt.installed->begin(), attempt.installed->end(),
                     [&platform](const PlatformPlugin& plugin) { return plugin.key == platform; });
}

// Why the plugin Qt takes for an installed platform cannot be loaded (a library it needs is
// missing); nullopt where it loads, and the start failed on the display. Qt takes the plugin in
// QT_QPA_PLATFORM_PLUGIN_PATH, else the first one along its library paths.
std::optional<std::string> LoadFailure(const std::vector<PlatformPlugin>& plugins,
                                       const std::string& platform) {
  std::optional<std::string> failure;
  bool triedDirect = false;
  bool triedPaths = false;
  for (const PlatformPlugin& plugin : plugins) {
    bool& tried = plugin.direct ? triedDirect : triedPaths;
    if (plugin.key != platform || tried) {
      continue;
    }
    tried = true;
    // The loader's own words: Qt's plugin loader remembers its failed load without them.
    if (void* library =
            ::dlopen(QFile::encodeName(plugin.file).constData(), RTLD_LAZY | RTLD_LOCAL)) {
      ::dlclose(library);
      return std::nullopt;
    }
    if (!failure) {
      const char* error = ::dlerror();
      failure = plugin.file.toStdString() + ": " + (error != nullptr ? error : "not loaded");
    }
  }
  return failure;
}

// The line for a start that failed: the first platform tried whose plugin is missing or cannot be
// loaded, else the first one's display that could not be opened. The plugins are read only now,
// when the start has failed: a start that succeeds never pays for it.
std::string FailedLine(Attempt& attempt) {
  if (!attempt.installed) {
    attempt.installed = InstalledPlatforms();
  }
  for (const std::string& platform : attempt.platforms) {
    if (!Installed(attempt, platform)) {
      return PlatformFailedLine(attempt.environment, platform, false);
    }
    if (const auto failure = LoadFailure(*attempt.installed, platform)) {
      return PluginFailedLine(platform, *failure);
    }
  }
  return PlatformFailedLine(attempt.environment,
                            attempt.platforms.empty() ? "xcb" : attempt.platforms.front(), true);
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written <= 0) {
      return;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Passes on what was held in the order it came: the captured standard error (the file capturedFd),
// escaped, to fd, and each message through pass.
void Replay(int capturedFd, const std::vector<HeldMessage>& messages, int fd,
            const std::function<void(const HeldMessage&)>& pass) {
  std::string captured;
  if (capturedFd >= 0) {
    char chunk[4096];
    ssize_t count = 0;
    while ((count = ::pread(capturedFd, chunk, sizeof chunk, static_cast<off_t>(captured.size()))) >
           0) {
      captured.append(chunk, static_cast<std::size_t>(count));
    }
  }
  std::size_t done = 0;
  const auto upTo = [&](std::size_t end) {
    end = std::clamp(end, done, captured.size());
    WriteAll(fd, visibletext::EscapedLines(std::string_view(captured).substr(done, end - done),
                                           platform::TextEncoding::Utf8));
    done = end;
  };
  for (const HeldMessage& message : messages) {
    upTo(static_cast<std::size_t>(message.capturedBefore));
    pass(message);
  }
  upTo(captured.size());
}

QMessageLogContext ContextOf(const HeldMessage& message) {
  return {message.file.c_str(), message.line, message.function.c_str(), message.category.c_str()};
}

QString Escaped(const QString& text) {
  return QString::fromStdString(
      visibletext::EscapedLines(text.toStdString(), platform::TextEncoding::Utf8));
}

// Only the platform's start can fail this early. What was held is written as Qt would have written
// it, since it holds the cause in Qt's and the window system's words ("could not connect to
// display", "Authorization required"), then one line of ours instead of Qt's abort and its advice
// to reinstall. Called with the mutex held; never returns.
[[noreturn]] void EndFailedStart(const Holding& holding) {
  const std::string line = FailedLine(Current());
  const int fd = holding.realStandardError >= 0 ? holding.realStandardError : STDERR_FILENO;
  Replay(holding.captured, holding.messages, fd, [fd](const HeldMessage& message) {
    WriteAll(
        fd,
        qFormatLogMessage(message.type, ContextOf(message), Escaped(message.text)).toStdString() +
            "\n");
  });
  WriteAll(fd, line);
  std::_Exit(kNoDisplayStatus);  // no destructors: the application is half made
}

void HoldOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  Holding& holding = Held();
  std::unique_lock lock(holding.mutex);
  if (!holding.active) {
    // From one of Qt's threads just after the start: said as it would have been.
    const QtMessageHandler previous = holding.previous;
    lock.unlock();
    if (previous != nullptr) {
      previous(type, context, text);
    }
    return;
  }
  if (type == QtFatalMsg) {
    EndFailedStart(holding);
  }
  auto text_of = [](const char* s) { return std::string(s != nullptr ? s : ""); };
  const off_t capturedBefore =
      holding.captured >= 0 ? ::lseek(holding.captured, 0, SEEK_CUR) : off_t{0};
  holding.messages.push_back({type, text_of(context.category), text_of(context.file),
                              text_of(context.function), context.line, text, capturedBefore});
}

// Held while the QApplication is made: Qt's messages of that time, and what the window system's
// own libraries write to the standard error meanwhile (libwayland's complaints about its socket,
// Xlib's about authorisation), are passed on when it ends, or with the line that says why the
// platform failed.
class DisplayGuard {
 public:
  DisplayGuard() {
    Holding& holding = Held();
    const std::lock_guard lock(holding.mutex);
    const int captured = ::memfd_create("quorvane-held-stderr", MFD_CLOEXEC);
    const int real = captured >= 0 ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    if (real >= 0 && ::dup2(captured, STDERR_FILENO) >= 0) {
      holding.captured = captured;
      holding.realStandardError = real;
    } else {
      if (real >= 0) {
        ::close(real);
      }
      if (captured >= 0) {
        ::close(captured);
      }
    }
    holding.active = true;
    holding.previous = qInstallMessageHandler(&HoldOrEnd);
  }
  ~DisplayGuard() {
    Holding& holding = Held();
    std::unique_lock lock(holding.mutex);
    holding.active = false;
    qInstallMessageHandler(holding.previous);
    if (holding.captured >= 0) {
      ::dup2(holding.realStandardError, STDERR_FILENO);
      ::close(holding.realStandardError);
      holding.realStandardError = -1;
    }
    const std::vector<HeldMessage> messages = std::move(holding.messages);
    holding.messages.clear();
    const int captured = std::exchange(holding.captured, -1);
    lock.unlock();
    // Qt's messages go through its handler as they would have gone, outside the lock: the
    // handler may be the program's own.
    Replay(captured, messages, STDERR_FILENO, [](const HeldMessage& message) {
      qt_message_output(message.type, ContextOf(message), Escaped(message.text));
    });
    if (captured >= 0) {
      ::close(captured);
    }
  }
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;
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
