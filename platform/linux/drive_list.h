// The drives of a Linux machine: its mount table read, the drives chosen from it, each one's
// device identified and its point looked at. The reader takes the root of the tree to read ("/" on
// a real machine) and the sources that answer for what a tree cannot hold (udev, the devices, what
// a mount point shows now), so that tests can point it at a fixture tree.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend/contract.h"
#include "platform/linux/device_identity.h"
#include "platform/linux/helper_processes.h"
#include "platform/linux/mount_point.h"
#include "platform/linux/mount_table.h"

namespace platform::linux_drives {

// A drive as the drive calls answer for it.
struct Drive {
  std::string root;        // the mount point ending in "/"
  std::uint32_t type = 0;  // a DRIVE_* code
  MountEntry mount;
  // On a share, or below one: looked at and sized only in a helper process, within a bound.
  bool bounded = false;
  bool late = false;  // bounded, and its point did not answer in time when the table was read
  FsIdentity identity;
  std::uint64_t uniqueMountId = 0;  // as its point showed it when read; 0 where not known
  // Its sizes, measured on the directory that was checked to be the drive's when the table was
  // read; the first size query takes them while they are fresh instead of looking again.
  std::optional<contract::DiskSizes> reading;
  std::chrono::steady_clock::time_point readAt;
};

// Where a drive is measured: its mount point, and the mount that must be there.
Place PlaceOf(const Drive& drive);

// What a point on a share or below one shows, looked at within the bound: no facts where it could
// not be looked at, or did not answer in time (late).
struct ShareLook {
  std::optional<PointFacts> facts;
  bool late = false;
};

// Called once where the table has shares, with every point that may wait on one and may be a drive
// (perhaps none): what each shows, in their order, all asked at once.
using LookAtShares = std::function<std::vector<ShareLook>(const std::vector<std::string>& paths)>;

// Where the drives of a tree are read from.
struct Sources {
  std::string root = "/";
  DeviceProbe probe;  // libblkid where udev does not run; may be empty
  UdevIdentity udev;  // empty where udev does not run
  // What a mount point shows; empty for a fixture tree, where only a file bound over a path (no
  // directory under root) is told apart.
  LookAt look;
  // The points on a share or below one; empty where such points are not looked at (given the
  // benefit of the doubt) and a share's own point is looked at with look.
  LookAtShares lookShares;
};

// The looks lookShares gives, asked of helper processes until deadline.
std::vector<ShareLook> LookInHelpers(linux_helpers::Helpers& helpers,
                                     const std::vector<std::string>& paths,
                                     std::chrono::steady_clock::time_point deadline);

// The sources of the machine this runs on; the points on shares are looked at in helpers of their
// own, within kShareBound.
Sources ThisMachine();

// The drives of the machine under sources.root, read once: mountinfo, fstab, sysfs, and the label
// and serial from udev, /dev/disk/by-label and by-uuid, or the device probe. *tableRead (where
// given) tells whether the mount table could be read: without it there is no list at all.
std::vector<Drive> ReadDrives(const Sources& sources, bool* tableRead = nullptr);

}  // namespace platform::linux_drives
