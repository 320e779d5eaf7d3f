// The printing module's export, looked up by name when Print Info is first pressed.
#include <QtGlobal>
#include <type_traits>

#include "ui/main/qt/printing_module.h"
#include "ui/main/qt/report.h"

extern "C" Q_DECL_EXPORT void quorvane_print_from_window(const mainform::MainForm* main,
                                                         QWidget* parent) {
  report::PrintFromWindow(*main, parent);
}

// The export must keep the signature the program calls it with.
static_assert(std::is_same_v<decltype(&quorvane_print_from_window), report::PrintEntry>);
