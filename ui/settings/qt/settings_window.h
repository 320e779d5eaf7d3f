// The settings window as a non-visual Qt object: it owns the window's logic and its Timer1, which
// starts when the window is loaded and calls Timer1_Timer on the user-interface thread.
#pragma once

#include <QObject>
#include <QTimer>

#include "ui/settings/settings_form.h"

namespace settings {

class SettingsWindow : public QObject {
  Q_OBJECT

 public:
  SettingsWindow(frmSystemInfo::MainFormLoader loadMain, QObject* parent = nullptr);

  // Loads the window: starts Timer1 and runs Form_Load to its end. The timer's first tick can only
  // be handled after Form_Load returns, since both run on this thread.
  void Load();

  [[nodiscard]] frmSystemInfo& form() { return form_; }
  [[nodiscard]] QTimer& Timer1() { return Timer1_; }

 private:
  frmSystemInfo form_;
  QTimer Timer1_;
};

}  // namespace settings
