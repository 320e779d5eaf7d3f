// One cold pass in a fresh process: "program" times the whole start-up work of Form_Load, "raw"
// times the system calls alone. bench/cold_start.sh runs each many times and reports the medians.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "bench/raw_calls.h"
#include "ui/main/recorded_form.h"
#include "ui/settings/settings_form.h"

int main(int argc, char** argv) {
  const bool raw = argc > 1 && std::strcmp(argv[1], "raw") == 0;
  mainform::RecordedForm main;
  const auto start = std::chrono::steady_clock::now();
  long keep = 0;
  if (raw) {
    keep = bench_support::RawStartupCalls();
  } else {
    settings::frmSystemInfo form([&main]() -> mainform::MainForm& { return main; });
    form.Form_Load();
    keep = static_cast<long>(form.Text1().size());
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%.1f %ld\n", std::chrono::duration<double, std::micro>(elapsed).count(), keep);
  return 0;
}
