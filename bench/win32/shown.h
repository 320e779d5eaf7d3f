// For the Windows start-up benchmark: waits until a window has been drawn in full (no message, and
// no paint, left for this thread), then prints the process's peak working set in KiB, the
// milliseconds from the process's creation to that moment and the processor time it used until then
// (user and kernel, milliseconds: less disturbed than the elapsed time by other work on a busy
// machine), and ends the process at once, as Exit does.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstdio>

namespace bench_support {

inline unsigned long long Ticks(FILETIME time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
}

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
  FILETIME now{};
  ::GetSystemTimePreciseAsFileTime(&now);
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  // FILETIME counts 100-nanosecond steps.
  std::printf("%llu %llu %llu\n",
              static_cast<unsigned long long>(counters.PeakWorkingSetSize / 1024),
              (Ticks(now) - Ticks(created)) / 10000, (Ticks(kernel) + Ticks(user)) / 10000);
  std::fflush(stdout);
  ::ExitProcess(0);
}

}  // namespace bench_support
