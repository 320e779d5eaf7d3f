// The message box and the print dialog on Win32: MessageBoxA and PrintDlgA, both modal to the
// owner window. The print dialog keeps the printer the user chose, from which the printer object
// makes its device context.
#pragma once

#include <windows.h>

#include "platform/dialogs.h"

namespace platform::win32 {

class MsgBox final : public platform::MsgBox {
 public:
  explicit MsgBox(HWND owner) : owner_(owner) {}
  int Show(const std::string& prompt, int buttons, const std::string& title) override;

 private:
  HWND owner_;
};

class CommonDialog final : public platform::CommonDialog {
 public:
  explicit CommonDialog(HWND owner) : owner_(owner) {}
  ~CommonDialog() override;
  CommonDialog(const CommonDialog&) = delete;
  CommonDialog& operator=(const CommonDialog&) = delete;

  void SetCancelError(bool cancelError) override { cancelError_ = cancelError; }
  [[nodiscard]] bool ShowPrinter() override;
  [[nodiscard]] int Copies() const override { return copies_; }

  // A device context on the printer chosen in the last dialog, or on the system's default printer
  // when none was chosen; nullptr when there is no printer. The caller deletes it.
  [[nodiscard]] HDC CreatePrinterDC() const;

 private:
  void Release();

  HWND owner_;
  bool cancelError_ = false;
  int copies_ = 1;
  HGLOBAL devMode_ = nullptr;  // the choices, owned, for CreatePrinterDC
  HGLOBAL devNames_ = nullptr;
};

}  // namespace platform::win32
