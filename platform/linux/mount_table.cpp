#include "platform/linux/mount_table.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>

#include "platform/linux/sources.h"

namespace platform::linux_drives {

bool HasOption(std::string_view options, std::string_view option) {
  while (!options.empty()) {
    const auto comma = options.find(',');
    if (options.substr(0, comma) == option) {
      return true;
    }
    if (comma == std::string_view::npos) {
      break;
    }
    options.remove_prefix(comma + 1);
  }
  return false;
}

bool IsLoop(const MountEntry& mount) {
  constexpr std::uint32_t kLoopMajor = 7;
  return mount.major == kLoopMajor || mount.source.starts_with("/dev/loop");
}

bool IsRealDeviceName(std::string_view source) {
  return source.starts_with("/dev/") && source != "/dev/root";
}

bool IsBlockBacked(const MountEntry& mount) {
  return mount.major != 0 || mount.source.starts_with("/dev/");
}

bool IsRamType(std::string_view fsType) {
  return fsType == "tmpfs" || fsType == "ramfs";
}

std::string UnescapeOctal(std::string_view text) {
  if (text.find('\\') == std::string_view::npos) {
    return std::string(text);  // nearly every field: nothing to turn back
  }
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const char a = text[i + 1];
      const char b = text[i + 2];
      const char c = text[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        result += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
        i += 3;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> mounts;
  mounts.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::vector<std::string_view> fields;
  fields.reserve(16);
  linux_sources::ForEachLine(text, [&mounts, &fields](std::string_view line) {
    linux_sources::SplitFields(line, fields);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    if (fields.size() < 9) {
      return;
    }
    const auto separator = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
    if (fields.end() - separator < 3) {
      return;
    }
    MountEntry mount;
    const std::string_view id = fields[0];
    if (std::from_chars(id.data(), id.data() + id.size(), mount.id).ec != std::errc()) {
      mount.id = 0;
    }
    const std::string_view device = fields[2];
    const auto colon = device.find(':');
    if (colon == std::string_view::npos) {
      return;
    }
    const char* begin = device.data();
    if (std::from_chars(begin, begin + colon, mount.major).ec != std::errc() ||
        std::from_chars(begin + colon + 1, begin + device.size(), mount.minor).ec != std::errc()) {
      return;
    }
    mount.root = UnescapeOctal(fields[3]);
    mount.mountPoint = UnescapeOctal(fields[4]);
    mount.options = std::string(fields[5]);
    mount.fsType = UnescapeOctal(separator[1]);
    mount.source = UnescapeOctal(separator[2]);
    if (fields.end() - separator > 3) {
      mount.superOptions = std::string(separator[3]);
    }
    if (mount.mountPoint.empty() || mount.mountPoint.front() != '/') {
      return;
    }
    mounts.push_back(std::move(mount));
  });
  return mounts;
}

std::vector<std::string> HiddenMountPoints(std::string_view fstab) {
  std::vector<std::string> hidden;
  linux_sources::ForEachLine(fstab, [&hidden](std::string_view line) {
    const auto fields = linux_sources::Fields(line);
    if (fields.size() < 4 || fields[0].front() == '#') {
      return;
    }
    if (HasOption(fields[3], "x-gvfs-hide")) {
      hidden.push_back(UnescapeOctal(fields[1]));
    }
  });
  return hidden;
}

bool IsNetworkType(std::string_view fsType) {
  // Shares of other machines, and a virtual machine's folders of its host.
  static constexpr std::string_view kShares[] = {"nfs",         "nfs4",
                                                 "cifs",        "smb3",
                                                 "smbfs",       "ncpfs",
                                                 "9p",          "afs",
                                                 "ceph",        "glusterfs",
                                                 "lustre",      "davfs",
                                                 "sshfs",       "fuse.sshfs",
                                                 "fuse.rclone", "fuse.glusterfs",
                                                 "fuse.s3fs",   "fuse.curlftpfs",
                                                 "fuse.davfs2", "virtiofs",
                                                 "vboxsf",      "fuse.vmhgfs-fuse"};
  return std::find(std::begin(kShares), std::end(kShares), fsType) != std::end(kShares);
}

bool NeedsBoundedQuery(const MountEntry& mount) {
  return IsNetworkType(mount.fsType) || mount.fsType.starts_with("fuse");
}

}  // namespace platform::linux_drives
