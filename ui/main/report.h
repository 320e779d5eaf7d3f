// The printed report behind the "Print Info" button: the key facts the main window shows, then its
// whole listing, one document per copy chosen in the print dialog. Plain C++ over the platform's
// dialogs and printer, so it runs the same with Qt's services and with a test's fakes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs.h"
#include "platform/printer.h"
#include "ui/main/main_form.h"

namespace report {

// What one copy prints, item by item: the title, the maker, the six key facts as the window shows
// them after their captions, a heading, and the whole listing as one item (its lines end with
// CR LF).
std::vector<std::string> Lines(const mainform::MainForm& main);

// The same as text, every line ended by lineBreak (the listing's own CR LF become it too): what
// the program writes for --text.
std::string Text(const mainform::MainForm& main, std::string_view lineBreak);

// Command2_Click: runs to its end or ends silently at the first failure (Cancel included). Copies
// already ended stay printed; the copy in progress is left to the printer object.
void Command2_Click(const mainform::MainForm& main, platform::MsgBox& msgBox,
                    platform::CommonDialog& CommonDialog1, platform::Printer& Printer);

}  // namespace report
