// udev's property values (escaped labels, UUIDs) as a device might carry them, and the serial made
// from a UUID.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/device_identity.h"

using namespace platform::linux_drives;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Each property gets its own slice of the input, split at NULs.
  std::string_view rest = text;
  const FsIdentity identity = IdentityFromProperties([&rest](const char* key) {
    const std::string_view name(key);
    const auto nul = rest.find('\0');
    const std::string_view value = rest.substr(0, nul);
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    return name.size() % 3 == 0 ? std::nullopt : std::optional(std::string(value));
  });
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
