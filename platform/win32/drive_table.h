// The drives as the Windows drive calls see them for the life of the process: each root's type
// asked once, and every call on a network root held to one time bound. A share whose server is gone
// can keep each of these calls waiting for minutes, and start-up asks every drive several things.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend/bounded_call.h"
#include "platform/backend/contract.h"

namespace platform::win32 {

// The GetDriveType codes this table tells apart.
inline constexpr std::uint32_t kDriveUnknown = 0;
inline constexpr std::uint32_t kDriveRemote = 4;

struct VolumeFacts {
  std::string label;
  std::uint32_t serial = 0;
  std::uint32_t maximumLength = 0;
  std::uint32_t flags = 0;
  std::string fileSystem;
};

struct VolumeText {
  std::string label;  // UTF-8
  std::uint32_t serial = 0;
};

// The system's own calls, one root or path each; a failed call answers nothing.
struct DriveCalls {
  std::function<std::vector<std::string>()> roots;
  std::function<std::uint32_t(const std::string& root)> type;
  std::function<std::optional<contract::DiskSizes>(const std::string& path)> sizes;
  std::function<std::optional<VolumeFacts>(const std::string& path)> volume;
  // The volume's label from the wide-character call, in UTF-8, and its serial, for the facts
  // document.
  std::function<std::optional<VolumeText>(const std::string& path)> text;
};

// How long a network root is given to answer.
inline constexpr std::chrono::milliseconds kNetworkBound{2000};

// The root a path lies on ("N:\" for "n:\dir\"); any other path (a UNC one) stands for itself.
std::string RootOf(std::string_view path);

// The roots whose types one worker asks in turn (defined with the table's code).
struct TypeQueue;

class DriveTable {
 public:
  explicit DriveTable(DriveCalls calls, std::chrono::milliseconds bound = kNetworkBound);

  // The type of a root, asked once. The first call asks every root's type, one after another on one
  // worker, and every network root for its sizes and volume on workers of its own, so that any
  // number of dead shares costs one bound. A root that does not tell its type in time is of unknown
  // type and is not asked anything again; the roots after it are then asked on a fresh worker.
  std::uint32_t Type(const std::string& root);

  // A local drive answers on the calling thread; a network one within the bound, or not at all
  // once it has failed to answer in time.
  std::optional<contract::DiskSizes> Sizes(const std::string& path);
  std::optional<VolumeFacts> Volume(const std::string& path);
  std::optional<VolumeText> Text(const std::string& path);

 private:
  struct Root {
    std::shared_ptr<TypeQueue> queue;  // the worker's list this root's type is asked from
    std::size_t place = 0;             // its place in that list
    std::shared_ptr<Pending<std::uint32_t>> type;
    std::shared_ptr<Pending<contract::DiskSizes>> sizes;  // first answers of a share, until taken
    std::shared_ptr<Pending<VolumeFacts>> volume;
    std::chrono::steady_clock::time_point deadline;
    std::optional<std::uint32_t> known;
    bool dead = false;
  };

  Root& Survey(const std::string& key);  // the mutex held
  // Asks the types of keys, in order, on one worker (the mutex held).
  void Launch(const std::vector<std::string>& keys);
  void StartWorker(const std::shared_ptr<TypeQueue>& queue);
  // After root's type came too late: the roots its worker has not come to are given a fresh worker
  // and a fresh bound. True when root itself is one of them (the mutex held).
  bool Unblock(const Root& root);
  // Whether path's root is a network root that has not yet failed to answer; false for a dead one
  // in *dead.
  bool Remote(const std::string& path, bool* dead);
  template <typename Answer>
  std::optional<Answer> Bounded(
      const std::string& path, std::shared_ptr<Pending<Answer>> Root::*first,
      const std::function<std::optional<Answer>(const std::string&)>& call);

  DriveCalls calls_;
  std::chrono::milliseconds bound_;
  std::mutex mutex_;  // guards the members below
  std::map<std::string, Root> roots_;
  bool surveyed_ = false;
};

}  // namespace platform::win32
