// A filesystem's identity read from its device with libblkid, where udev does not run.
#include <blkid.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/linux/device_identity.h"
#include "platform/linux/library.h"

namespace platform::linux_drives {
namespace {

// libblkid is opened the first time a device can be read, not at start-up: where udev runs (most
// machines) or no device may be opened (containers), the program never needs it.
struct Blkid {
  decltype(&blkid_new_probe) new_probe = nullptr;
  decltype(&blkid_probe_set_device) set_device = nullptr;
  decltype(&blkid_probe_enable_superblocks) enable_superblocks = nullptr;
  decltype(&blkid_probe_set_superblocks_flags) set_superblocks_flags = nullptr;
  decltype(&blkid_do_safeprobe) do_safeprobe = nullptr;
  decltype(&blkid_probe_lookup_value) lookup_value = nullptr;
  decltype(&blkid_free_probe) free_probe = nullptr;

  [[nodiscard]] bool Complete() const {
    return new_probe != nullptr && set_device != nullptr && enable_superblocks != nullptr &&
           set_superblocks_flags != nullptr && do_safeprobe != nullptr && lookup_value != nullptr &&
           free_probe != nullptr;
  }
};

// The library's functions, or nullptr when it is not installed.
const Blkid* OpenBlkid() {
  static const Blkid* const blkid = []() -> const Blkid* {
    void* library = linux_library::Open("libblkid.so.1");
    if (library == nullptr) {
      return nullptr;
    }
    static Blkid functions;
    using linux_library::Resolve;
    Resolve(library, "blkid_new_probe", functions.new_probe);
    Resolve(library, "blkid_probe_set_device", functions.set_device);
    Resolve(library, "blkid_probe_enable_superblocks", functions.enable_superblocks);
    Resolve(library, "blkid_probe_set_superblocks_flags", functions.set_superblocks_flags);
    Resolve(library, "blkid_do_safeprobe", functions.do_safeprobe);
    Resolve(library, "blkid_probe_lookup_value", functions.lookup_value);
    Resolve(library, "blkid_free_probe", functions.free_probe);
    return functions.Complete() ? &functions : nullptr;
  }();
  return blkid;
}

}  // namespace

std::optional<FsIdentity> ProbeDevice(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<FsIdentity> identity;
  const Blkid* blkid = OpenBlkid();
  if (blkid_probe probe = blkid != nullptr ? blkid->new_probe() : nullptr) {
    if (blkid->set_device(probe, fd, 0, 0) == 0) {
      blkid->enable_superblocks(probe, 1);
      blkid->set_superblocks_flags(probe,
                                   BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE);
      if (blkid->do_safeprobe(probe) == 0) {
        FsIdentity found;
        const auto take = [blkid, probe](const char* name, std::string& into) {
          const char* value = nullptr;
          if (blkid->lookup_value(probe, name, &value, nullptr) == 0 && value != nullptr) {
            into = value;
          }
        };
        take("LABEL", found.label);
        take("UUID", found.uuid);
        take("TYPE", found.type);
        // The superblock was read: a missing label is no label.
        found.confirmed = true;
        identity = std::move(found);
      }
    }
    blkid->free_probe(probe);
  }
  ::close(fd);
  return identity;
}

}  // namespace platform::linux_drives
