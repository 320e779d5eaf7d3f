// The printed report with Win32's services: what the Windows main window's "Print Info" runs.
#pragma once

#include <windows.h>

#include "ui/main/main_form.h"

namespace report {

// Runs Command2_Click with MessageBoxA, PrintDlgA and a GDI printer, all modal to owner.
void PrintFromWindow(const mainform::MainForm& main, HWND owner);

}  // namespace report
