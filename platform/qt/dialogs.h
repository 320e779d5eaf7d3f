// The message box and the print dialog on Qt: QMessageBox and QPrintDialog, both modal.
#pragma once

#include <functional>

#include "platform/dialogs.h"

class QDialog;
class QPrinter;
class QWidget;

namespace platform::qt {

// Runs a modal dialog and returns its result code. The default is QDialog::exec; a test answers
// the dialog without a user instead.
using DialogRunner = std::function<int(QDialog&)>;

class MsgBox final : public platform::MsgBox {
 public:
  explicit MsgBox(QWidget* parent, DialogRunner run = {});
  int Show(const std::string& prompt, int buttons, const std::string& title) override;

 private:
  QWidget* parent_;
  DialogRunner run_;
};

// The print dialog configures printer, which the printer object then prints on.
class CommonDialog final : public platform::CommonDialog {
 public:
  CommonDialog(QPrinter& printer, QWidget* parent, DialogRunner run = {});
  void SetCancelError(bool cancelError) override { cancelError_ = cancelError; }
  [[nodiscard]] bool ShowPrinter() override;
  [[nodiscard]] int Copies() const override { return copies_; }

 private:
  QPrinter& printer_;
  QWidget* parent_;
  DialogRunner run_;
  bool cancelError_ = false;
  int copies_ = 1;
};

}  // namespace platform::qt
