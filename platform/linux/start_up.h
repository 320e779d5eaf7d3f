// What may wait on a share or a directory service, asked together. The first time any of it is
// wanted, the user's passwd entry is looked up, the mount table read and every point on a share
// (or below one) looked at, with the temporary directory where the machine has shares, all within
// one bound from then: the start-up's waits end together instead of one after another, whichever
// the caller asks first. Where no share is mounted and the passwd file has the user, nothing is
// started beside the calling thread.
#pragma once

#include <optional>
#include <string>

#include "platform/backend/contract.h"
#include "platform/linux/drive_table.h"

namespace platform::linux_start_up {

// The drives of this process, read once.
linux_drives::DriveTable& Drives();

// Whether the mount table could be read: without it the machine's drives are not known, which is
// not the same as a machine without drives.
bool DrivesListed();

// The login name of the user the process runs as; nullopt where it has none, or its lookup
// failed or did not answer within the bound.
std::optional<std::string> UserName();

// TMPDIR, ending in "/", where it is absolute and names a directory; "/tmp/" otherwise, and where
// that could not be told within the bound (TMPDIR on a share that does not answer).
std::string TempDirectory();

// The sizes of the filesystem a directory lies on, asked within the bound where the machine has
// shares.
std::optional<contract::DiskSizes> MeasureDirectory(const std::string& path);

}  // namespace platform::linux_start_up
