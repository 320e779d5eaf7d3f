// Print Info's printing with Qt, kept in a module of its own that the program loads on the first
// press: Qt's printing library is then never loaded by a run that does not print.
#pragma once

#include <QString>
#include <QStringList>

#include "ui/main/main_form.h"

class QWidget;

namespace report {

// The module's one export: report::PrintFromWindow.
using PrintEntry = void (*)(const mainform::MainForm* main, QWidget* parent);
inline constexpr char kPrintEntry[] = "quorvane_print_from_window";

// Where the module is looked for, in order: beside the module whose code looks for it (the
// window's, which the program loaded from its own place, beside the printing module both in the
// build tree and where the install puts them), then at its full install path. Never the working
// directory.
QStringList PrintingModulePaths();

// The entry point of the first of paths that loads and exports it; nullptr if none does, with the
// reasons in error. Only absolute paths are loaded. A loaded module stays loaded for the rest of
// the run.
PrintEntry LoadPrinting(const QStringList& paths, QString& error);

// What the program's Print Info runs: the report from the module, which is loaded once; when it
// cannot be loaded, the user is told so instead.
void PrintOnDemand(const mainform::MainForm& main, QWidget* parent);

}  // namespace report
