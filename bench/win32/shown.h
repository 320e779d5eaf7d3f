// For the Windows start-up benchmark: waits until a window has been drawn in full (no message, and
// no paint, left for this thread), then prints the process's peak working set in KiB and ends the
// process at once, as Exit does, so that process start to exit measures start to shown.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstdio>

namespace bench_support {

[[noreturn]] inline void RunUntilShown() {
  MSG message{};
  for (;;) {
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    if (::GetQueueStatus(QS_ALLINPUT) == 0) {
      break;
    }
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  std::printf("%llu\n", static_cast<unsigned long long>(counters.PeakWorkingSetSize / 1024));
  std::fflush(stdout);
  ::ExitProcess(0);
}

}  // namespace bench_support
