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

// The print dialog's library, loaded on the first print rather than with the program: it brings
// the shell's libraries with it, which a run that does not print never needs.
struct CommonDialogs {
  decltype(&::PrintDlgA) printDlg = nullptr;
  decltype(&::CommDlgExtendedError) extendedError = nullptr;
};

// A function of a loaded library; through void (*)(), which GCC takes as any function's type.
template <typename Function>
Function Resolve(HMODULE library, const char* name) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): GetProcAddress's only way
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

const CommonDialogs& Comdlg32() {
  static const CommonDialogs functions = [] {
    CommonDialogs loaded;
    if (HMODULE library = LoadLibraryA("comdlg32.dll")) {
      loaded.printDlg = Resolve<decltype(&::PrintDlgA)>(library, "PrintDlgA");
      loaded.extendedError =
          Resolve<decltype(&::CommDlgExtendedError)>(library, "CommDlgExtendedError");
    }
    return loaded;
  }();
  return functions;
}

// PrintDlgA; FALSE with no error (as a cancel would give) only when the dialog ran.
BOOL PrintDialog(PRINTDLGA* dialog, bool* failed) {
  const CommonDialogs& comdlg = Comdlg32();
  if (comdlg.printDlg == nullptr || comdlg.extendedError == nullptr) {
    *failed = true;
    return FALSE;
  }
  const BOOL chosen = comdlg.printDlg(dialog);
  *failed = !chosen && comdlg.extendedError() != 0;
  return chosen;
}

}  // namespace

int MsgBox::Show(const std::string& prompt, int buttons, const std::string& title) {
  // Modal to the owner; the box's own message loop still delivers the owner's timer ticks.
  const int answer = MessageBoxA(owner_, prompt.c_str(), title.c_str(),
                                 static_cast<UINT>(buttons) | MB_SETFOREGROUND);
  return answer == 0 ? vbOK : answer;
}

CommonDialog::~CommonDialog() {
  Release();
}

void CommonDialog::Release() {
  if (devMode_ != nullptr) {
    GlobalFree(devMode_);
    devMode_ = nullptr;
  }
  if (devNames_ != nullptr) {
    GlobalFree(devNames_);
    devNames_ = nullptr;
  }
}

bool CommonDialog::ShowPrinter() {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner_;
  // The dialog starts on the system's default printer (no previous choice is handed in) and
  // offers no page ranges, which the report would ignore.
  dialog.Flags = PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
  dialog.nCopies = 1;
  bool failed = false;
  if (!PrintDialog(&dialog, &failed)) {
    // No error: the user cancelled; otherwise the dialog failed (no printer installed, ...).
    return !failed && !cancelError_;
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

HDC CommonDialog::CreatePrinterDC() const {
  if (devNames_ == nullptr) {
    // No printer chosen in a dialog: the default one, as the system's printer object would use.
    PRINTDLGA defaults{};
    defaults.lStructSize = sizeof(defaults);
    defaults.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    bool failed = false;
    if (!PrintDialog(&defaults, &failed)) {
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
