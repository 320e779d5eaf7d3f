#include "platform/win32/dialogs.h"

#include <commdlg.h>

#include <string>

namespace platform::win32 {

namespace {

// GlobalLock and GlobalUnlock paired for the lifetime of one scope.
template <typename T>
class Locked {
 public:
  explicit Locked(HGLOBAL memory)
      : memory_(memory), data_(memory ? static_cast<T*>(GlobalLock(memory)) : nullptr) {}
  ~Locked() {
    if (data_ != nullptr) {
      GlobalUnlock(memory_);
    }
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  T* get() const { return data_; }

 private:
  HGLOBAL memory_;
  T* data_;
};

}  // namespace

int Win32MsgBox::Show(const std::string& prompt, int buttons, const std::string& title) {
  // Modal to the owner; the box's own message loop still delivers the owner's timer ticks.
  const int answer = MessageBoxA(owner_, prompt.c_str(), title.c_str(),
                                 static_cast<UINT>(buttons) | MB_SETFOREGROUND);
  return answer == 0 ? vbOK : answer;
}

Win32CommonDialog::~Win32CommonDialog() {
  Release();
}

void Win32CommonDialog::Release() {
  if (devMode_ != nullptr) {
    GlobalFree(devMode_);
    devMode_ = nullptr;
  }
  if (devNames_ != nullptr) {
    GlobalFree(devNames_);
    devNames_ = nullptr;
  }
}

bool Win32CommonDialog::ShowPrinter() {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner_;
  // The dialog starts on the system's default printer (no previous choice is handed in) and
  // offers no page ranges, which the report would ignore.
  dialog.Flags = PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
  dialog.nCopies = 1;
  if (!PrintDlgA(&dialog)) {
    // Zero: the user cancelled; otherwise the dialog failed (no printer installed, ...).
    const bool cancelled = CommDlgExtendedError() == 0;
    return cancelled && !cancelError_;
  }
  Release();
  devMode_ = dialog.hDevMode;
  devNames_ = dialog.hDevNames;
  copies_ = dialog.nCopies;
  // A driver that makes copies itself gets the number in its device mode; the report prints each
  // copy as a document of its own, so the driver is told to make one.
  if (Locked<DEVMODEA> mode(devMode_); mode.get() != nullptr) {
    if ((mode.get()->dmFields & DM_COPIES) != 0) {
      if (mode.get()->dmCopies > 1) {
        copies_ = mode.get()->dmCopies;
      }
      mode.get()->dmCopies = 1;
    }
  }
  return true;
}

HDC Win32CommonDialog::CreatePrinterDC() const {
  if (devNames_ == nullptr) {
    // No printer chosen in a dialog: the default one, as the system's printer object would use.
    PRINTDLGA defaults{};
    defaults.lStructSize = sizeof(defaults);
    defaults.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&defaults)) {
      return nullptr;
    }
    if (defaults.hDevMode != nullptr) {
      GlobalFree(defaults.hDevMode);
    }
    if (defaults.hDevNames != nullptr) {
      GlobalFree(defaults.hDevNames);
    }
    return defaults.hDC;
  }
  const Locked<DEVNAMES> names(devNames_);
  if (names.get() == nullptr) {
    return nullptr;
  }
  const char* base = reinterpret_cast<const char*>(names.get());
  const Locked<DEVMODEA> mode(devMode_);
  return CreateDCA(base + names.get()->wDriverOffset, base + names.get()->wDeviceOffset, nullptr,
                   mode.get());
}

}  // namespace platform::win32
