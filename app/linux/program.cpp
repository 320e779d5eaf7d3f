#include "app/linux/program.h"

#include <QApplication>

#include "assets/qt/pictures.h"
#include "ui/main/qt/printing_module.h"
#include "version.h"

namespace app {

Program::Program()
    : frmSystemInfo_([this]() -> mainform::MainForm& {
        if (!main_) {
          main_ = std::make_unique<mainwindow::MainWindow>();
          main_->SetReportAction(&report::PrintOnDemand);
        }
        return *main_;
      }) {
  QApplication::setApplicationName(QStringLiteral("Quorvane"));
  QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
  QApplication::setOrganizationName(QStringLiteral("Pelvaro"));
  // The desktop entry's name: a Wayland compositor knows the window by it (its app id).
  QApplication::setDesktopFileName(QStringLiteral("example.pelvaro.Quorvane"));
  // No display name: Qt would append it to every window title.
  QApplication::setWindowIcon(assets::InformationIcon());
  // One face for everything: the system's default face would be loaded just for being the default.
  QApplication::setFont(mainwindow::DialogFont());
}

void Program::Load() {
  frmSystemInfo_.Load();
}

}  // namespace app
