#include "ui/settings/qt/settings_window.h"

#include <utility>

namespace settings {

SettingsWindow::SettingsWindow(frmSystemInfo::MainFormLoader loadMain, QObject* parent)
    : QObject(parent), form_(std::move(loadMain)), Timer1_(this) {
  setObjectName(QStringLiteral("frmSystemInfo"));
  Timer1_.setObjectName(QStringLiteral("Timer1"));
  Timer1_.setInterval(frmSystemInfo::kTimerIntervalMs);
  Timer1_.setTimerType(Qt::PreciseTimer);
  connect(&Timer1_, &QTimer::timeout, this, [this] { form_.Timer1_Timer(); });
}

void SettingsWindow::Load() {
  Timer1_.start();
  form_.Form_Load();
}

}  // namespace settings
