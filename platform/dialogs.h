// The modal dialogs a window asks the platform for: a message box and the print dialog of a common
// dialog control. Failures are reported as results, never thrown, so a caller can trap them.
#pragma once

#include <string>

namespace platform {

// Message box styles, combined by adding them.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbQuestion = 32;

// The answer of a message box closed with its OK button.
inline constexpr int vbOK = 1;

class MsgBox {
 public:
  virtual ~MsgBox() = default;
  // Shows prompt with title, modally, in the given style, and returns the button pressed.
  virtual int Show(const std::string& prompt, int buttons, const std::string& title) = 0;
};

// The printer part of a common dialog control.
class CommonDialog {
 public:
  virtual ~CommonDialog() = default;
  // With CancelError set, the user's Cancel makes ShowPrinter fail.
  virtual void SetCancelError(bool cancelError) = 0;
  // Shows the print dialog modally. False when it fails or, with CancelError, when it is cancelled;
  // the printer object then prints with the choices made in it.
  [[nodiscard]] virtual bool ShowPrinter() = 0;
  // The number of copies chosen in the last print dialog.
  [[nodiscard]] virtual int Copies() const = 0;
};

}  // namespace platform
