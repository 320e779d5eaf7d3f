// /proc/meminfo as the kernel, or a container's view of it, might write it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/sources.h"

using namespace platform::linux_sources;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto info = ParseMemInfo(text)) {
    // Available memory is never more than there is, and the load is a per cent.
    if (info->availableBytes > info->totalBytes || MemoryLoad(*info) > 100) {
      std::abort();
    }
  }
  return 0;
}
