// The program starts by loading the hidden settings window; its start-up creates, fills and shows
// the main window, and the event loop runs until Exit or the main window's close box ends it.
#include <QApplication>
#include <memory>

#include "assets/assets.h"
#include "ui/main/main_window.h"
#include "ui/settings/settings_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quorvane"));
  QApplication::setApplicationVersion(QStringLiteral("0.96"));
  QApplication::setOrganizationName(QStringLiteral("Pelvaro"));
  // No display name: Qt would append it to every window title.
  QApplication::setWindowIcon(assets::InformationIcon());

  // Declared before the settings window, so that its timer stops before the main window goes.
  std::unique_ptr<mainwindow::MainWindow> main;
  settings::SettingsHost frmSystemInfo([&main]() -> mainform::MainForm& {
    if (!main) {
      main = std::make_unique<mainwindow::MainWindow>();
    }
    return *main;
  });
  frmSystemInfo.Load();
  return QApplication::exec();
}
