// The drive calls answered for the machine's mounted volumes. The drive table is read once per
// process, on first use: start-up asks for every drive in turn and must not re-read mountinfo each
// time.
#include "platform/volumes.h"

#include <blkid.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "platform/contract.h"
#include "platform/linux/mounts.h"

namespace platform {

namespace linux_volumes {

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

template <typename Function>
void Resolve(void* library, const char* name, Function& into) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym's only way to a function
  into = reinterpret_cast<Function>(::dlsym(library, name));
}

// The library's functions, or nullptr when it is not installed.
const Blkid* OpenBlkid() {
  static const Blkid* const blkid = []() -> const Blkid* {
    void* library = ::dlopen("libblkid.so.1", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      return nullptr;
    }
    static Blkid functions;
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
        identity = std::move(found);
      }
    }
    blkid->free_probe(probe);
  }
  ::close(fd);
  return identity;
}

}  // namespace linux_volumes

namespace {

using namespace linux_volumes;

DriveTable& Machine() {
  static DriveTable table(ReadVolumes(Sources{"/", ProbeDevice}));
  return table;
}

// Copies text and its NUL into a caller's buffer; false when it does not fit.
bool Fill(std::string_view text, char* buffer, DWORD size) {
  if (buffer == nullptr) {
    return true;
  }
  if (text.size() + 1 > size) {
    return false;
  }
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}

}  // namespace

DWORD GetLogicalDriveStringsA(DWORD nBufferLength, char* lpBuffer) {
  try {
    // The list's own NULs are copied with it; the call adds the closing one.
    return contract::WriteOrNeed(Machine().List(), lpBuffer, nBufferLength);
  } catch (...) {
    return 0;
  }
}

UINT GetDriveTypeA(const char* lpRootPathName) {
  try {
    const Volume* volume = lpRootPathName == nullptr ? nullptr : Machine().Find(lpRootPathName);
    return volume == nullptr ? DRIVE_NO_ROOT_DIR : volume->type;
  } catch (...) {
    return DRIVE_UNKNOWN;
  }
}

BOOL GetDiskFreeSpaceExA(const char* lpDirectoryName, std::uint64_t* lpFreeBytesAvailableToCaller,
                         std::uint64_t* lpTotalNumberOfBytes,
                         std::uint64_t* lpTotalNumberOfFreeBytes) {
  try {
    if (lpDirectoryName == nullptr) {
      return 0;
    }
    DriveTable& table = Machine();
    const Volume* volume = table.Find(lpDirectoryName);
    // Any other directory may lie on a share, so it is asked with the same bound.
    const auto sizes = volume != nullptr ? table.Size(*volume)
                                         : MeasureBounded(lpDirectoryName, kShareBound, Statvfs);
    if (!sizes) {
      return 0;
    }
    if (lpFreeBytesAvailableToCaller != nullptr) {
      *lpFreeBytesAvailableToCaller = sizes->available;
    }
    if (lpTotalNumberOfBytes != nullptr) {
      *lpTotalNumberOfBytes = sizes->total;
    }
    if (lpTotalNumberOfFreeBytes != nullptr) {
      *lpTotalNumberOfFreeBytes = sizes->free;
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

BOOL GetVolumeInformationA(const char* lpRootPathName, char* lpVolumeNameBuffer,
                           DWORD nVolumeNameSize, DWORD* lpVolumeSerialNumber,
                           DWORD* lpMaximumComponentLength, DWORD* lpFileSystemFlags,
                           char* lpFileSystemNameBuffer, DWORD nFileSystemNameSize) {
  try {
    DriveTable& table = Machine();
    const Volume* volume = lpRootPathName == nullptr ? nullptr : table.Find(lpRootPathName);
    if (volume == nullptr || !table.Readable(*volume)) {
      return 0;
    }
    if (!Fill(volume->identity.label, lpVolumeNameBuffer, nVolumeNameSize) ||
        !Fill(volume->identity.type, lpFileSystemNameBuffer, nFileSystemNameSize)) {
      return 0;
    }
    if (lpVolumeSerialNumber != nullptr) {
      // A volume without a UUID (a share, a RAM-disk) has no serial: 0.
      *lpVolumeSerialNumber = VolumeSerial(volume->identity.uuid).value_or(0);
    }
    if (lpMaximumComponentLength != nullptr) {
      *lpMaximumComponentLength = 255;
    }
    if (lpFileSystemFlags != nullptr) {
      *lpFileSystemFlags = 0;
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

bool Dir(const char* lpPathName, int attributes, std::string* name) {
  try {
    if ((attributes & kAttributeVolume) == 0 || name == nullptr) {
      return false;
    }
    DriveTable& table = Machine();
    const Volume* volume = lpPathName == nullptr ? nullptr : table.Find(lpPathName);
    if (volume == nullptr || !table.Readable(*volume)) {
      return false;
    }
    *name = volume->identity.label;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform
