// What assistive technology calls the Win32 main window's controls where the system's own name
// would say too little: a value label is "<heading>: <value>" ("Physical Memory: 24683748 Kb"),
// the text box "Settings listing" and the picture "Information", as the design table says. Such a
// control answers WM_GETOBJECT with the system's own accessible object for it under that name, so
// that its role, state, place and neighbours stay the system's. The libraries this takes are
// loaded when a client first asks, never at start-up.
#pragma once

#include <windows.h>

namespace mainwindow {

// The control, one of the design table's, is named after its row from now on; a value label's
// name follows its text.
void NameForAssistiveTechnology(HWND control);

}  // namespace mainwindow
