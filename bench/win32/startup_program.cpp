// The Windows program as it starts for a user, ending once its main window is drawn in full.
#include <windows.h>

#include "app/windows/program.h"
#include "bench/win32/shown.h"

int main() {
  app::Program program(::GetModuleHandleA(nullptr));
  program.Load();
  bench_support::RunUntilShown();
}
