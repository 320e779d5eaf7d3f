// The Windows program starts by loading the hidden settings window; the message loop then runs
// until Exit or the main window's close box ends it with status 0.
#include <windows.h>

#include "app/windows/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  app::Program program(instance);
  program.Load();
  return program.Run();
}
