// Entries of udev's database (/run/udev/data/b<major>:<minor>) and the serial made from a UUID.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/mounts.h"

using namespace platform::linux_volumes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const FsIdentity identity = ParseUdevData(text);
  if (identity.label.size() > size || identity.uuid.size() > size) {
    std::abort();
  }
  VolumeSerial(identity.uuid);
  VolumeSerial(text);
  if (DecodeUdevEscapes(text).size() > size) {
    std::abort();
  }
  return 0;
}
