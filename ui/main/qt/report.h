// The printed report with Qt's services: what the main window's "Print Info" button runs.
#pragma once

#include "platform/qt/dialogs.h"
#include "ui/main/main_form.h"

class QWidget;

namespace report {

// Runs Command2_Click with a QMessageBox, a QPrintDialog and a QPrinter, all modal to parent.
void PrintFromWindow(const mainform::MainForm& main, QWidget* parent);

// The same, with the modal dialogs run by run instead of by the user (for tests). A name of its own
// keeps PrintFromWindow a single function that a window can take as its report action.
void PrintFromWindowRunning(const mainform::MainForm& main, QWidget* parent,
                            const platform::qt::DialogRunner& run);

}  // namespace report
