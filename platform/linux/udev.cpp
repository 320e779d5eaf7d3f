#include "platform/linux/udev.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <systemd/sd-device.h>

#include "platform/linux/library.h"

namespace platform::linux_udev {
namespace {

struct SdDevice {
  decltype(&sd_device_new_from_devnum) new_from_devnum = nullptr;
  decltype(&sd_device_get_property_value) get_property_value = nullptr;
  decltype(&sd_device_unref) unref = nullptr;
  decltype(&sd_device_enumerator_new) enumerator_new = nullptr;
  decltype(&sd_device_enumerator_add_match_subsystem) add_match_subsystem = nullptr;
  decltype(&sd_device_enumerator_add_match_property) add_match_property = nullptr;
  decltype(&sd_device_enumerator_get_device_first) get_device_first = nullptr;
  decltype(&sd_device_enumerator_unref) enumerator_unref = nullptr;

  [[nodiscard]] bool Complete() const {
    return new_from_devnum != nullptr && get_property_value != nullptr && unref != nullptr &&
           enumerator_new != nullptr && add_match_subsystem != nullptr &&
           add_match_property != nullptr && get_device_first != nullptr &&
           enumerator_unref != nullptr;
  }
};

// The library's functions; null where udev does not run or libsystemd is not installed.
const SdDevice* Open() {
  static const SdDevice* const functions = []() -> const SdDevice* {
    if (!Runs()) {
      return nullptr;
    }
    void* library = linux_library::Open("libsystemd.so.0");
    if (library == nullptr) {
      return nullptr;
    }
    static SdDevice resolved;
    using linux_library::Resolve;
    Resolve(library, "sd_device_new_from_devnum", resolved.new_from_devnum);
    Resolve(library, "sd_device_get_property_value", resolved.get_property_value);
    Resolve(library, "sd_device_unref", resolved.unref);
    Resolve(library, "sd_device_enumerator_new", resolved.enumerator_new);
    Resolve(library, "sd_device_enumerator_add_match_subsystem", resolved.add_match_subsystem);
    Resolve(library, "sd_device_enumerator_add_match_property", resolved.add_match_property);
    Resolve(library, "sd_device_enumerator_get_device_first", resolved.get_device_first);
    Resolve(library, "sd_device_enumerator_unref", resolved.enumerator_unref);
    return resolved.Complete() ? &resolved : nullptr;
  }();
  return functions;
}

}  // namespace

bool Runs() {
  struct stat status {};
  return ::stat("/run/udev", &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<linux_drives::FsIdentity> BlockIdentity(std::uint32_t major, std::uint32_t minor) {
  const SdDevice* sd = Open();
  sd_device* device = nullptr;
  if (sd == nullptr || sd->new_from_devnum(&device, 'b', makedev(major, minor)) < 0 ||
      device == nullptr) {
    return std::nullopt;
  }
  auto identity = linux_drives::IdentityFromProperties(
      [sd, device](const char* key) -> std::optional<std::string> {
        const char* value = nullptr;
        if (sd->get_property_value(device, key, &value) < 0 || value == nullptr) {
          return std::nullopt;
        }
        return std::string(value);
      });
  sd->unref(device);
  return identity;
}

std::optional<bool> HasKeyboard() {
  const SdDevice* sd = Open();
  sd_device_enumerator* enumerator = nullptr;
  if (sd == nullptr || sd->enumerator_new(&enumerator) < 0 || enumerator == nullptr) {
    return std::nullopt;
  }
  std::optional<bool> found;
  if (sd->add_match_subsystem(enumerator, "input", 1) >= 0 &&
      sd->add_match_property(enumerator, "ID_INPUT_KEYBOARD", "1") >= 0) {
    found = sd->get_device_first(enumerator) != nullptr;
  }
  sd->enumerator_unref(enumerator);
  return found;
}

}  // namespace platform::linux_udev
