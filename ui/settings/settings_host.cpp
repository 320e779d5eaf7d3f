#include "ui/settings/settings_host.h"

#include <utility>

namespace settings {

SettingsHost::SettingsHost(frmSystemInfo::MainFormLoader loadMain, QObject* parent)
    : QObject(parent), form_(std::move(loadMain)), Timer1_(this) {
  setObjectName(QStringLiteral("frmSystemInfo"));
  Timer1_.setObjectName(QStringLiteral("Timer1"));
  Timer1_.setInterval(frmSystemInfo::kTimerIntervalMs);
  Timer1_.setTimerType(Qt::PreciseTimer);
  connect(&Timer1_, &QTimer::timeout, this, [this] { form_.Timer1_Timer(); });
}

void SettingsHost::Load() {
  Timer1_.start();
  form_.Form_Load();
}

}  // namespace settings
