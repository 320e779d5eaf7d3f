// Warm timings of the start-up and of one memory refresh, each beside its system-call reference.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdint>

#include "bench/raw_calls.h"
#include "probes/system.h"
#include "ui/main/recorded_form.h"
#include "ui/settings/settings_form.h"

namespace {

void FormLoad(benchmark::State& state) {
  mainform::RecordedForm main;
  for (auto _ : state) {
    settings::frmSystemInfo form([&main]() -> mainform::MainForm& { return main; });
    form.Form_Load();
    benchmark::DoNotOptimize(form.Text1().data());
  }
}
BENCHMARK(FormLoad)->Unit(benchmark::kMicrosecond);

void RawStartupCalls(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench_support::RawStartupCalls());
  }
}
BENCHMARK(RawStartupCalls)->Unit(benchmark::kMicrosecond);

void MemoryRefresh(benchmark::State& state) {
  mainform::RecordedForm main;
  settings::frmSystemInfo form([&main]() -> mainform::MainForm& { return main; });
  for (auto _ : state) {
    form.Timer1_Timer();
  }
}
BENCHMARK(MemoryRefresh);

void PreadMeminfo(benchmark::State& state) {
  const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
  std::array<char, 8192> text{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(::pread(fd, text.data(), text.size(), 0));
  }
  ::close(fd);
}
BENCHMARK(PreadMeminfo);

void OpenReadCloseMeminfo(benchmark::State& state) {
  std::array<char, 8192> text{};
  for (auto _ : state) {
    const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(::read(fd, text.data(), text.size()));
    ::close(fd);
  }
}
BENCHMARK(OpenReadCloseMeminfo);

void PutPoints(benchmark::State& state) {
  std::int64_t value = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(System::PutPoints(value));
    value = value * 7 + 3;
  }
}
BENCHMARK(PutPoints);

}  // namespace

BENCHMARK_MAIN();
