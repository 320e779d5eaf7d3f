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

// A question put to a worker: the answer it will give, and when its bound runs out.
template <typename Answer>
struct Asked {
  std::shared_ptr<Pending<Answer>> answer;
  std::chrono::steady_clock::time_point deadline;
};

// Defined with the table's code: its worker threads, and the roots whose types one worker asks in
// turn.
class Workers;
class TypeSurvey;

class DriveTable {
 public:
  explicit DriveTable(DriveCalls calls, std::chrono::milliseconds bound = kNetworkBound);
  // Waits for the questions still within their bound (not for those of a dead share). A process
  // that ends while a worker is inside a system call can hang at its end under Wine, or be killed.
  ~DriveTable();
  DriveTable(const DriveTable&) = delete;
  DriveTable& operator=(const DriveTable&) = delete;

  // The type of a root, asked once. The first call asks every root's type, one after another on
  // one worker, and each network root for its sizes and volume, on workers of their own, as soon
  // as its type is known: any number of dead shares costs one bound. Every question has the whole
  // bound from the moment it is asked. A root that does not tell its type in time is of unknown
  // type and is asked nothing again; the roots after it are asked by a fresh worker.
  std::uint32_t Type(const std::string& root);

  // A local drive answers on the calling thread; a network one within the bound, or not at all
  // once it has failed to answer in time.
  std::optional<contract::DiskSizes> Sizes(const std::string& path);
  std::optional<VolumeFacts> Volume(const std::string& path);
  std::optional<VolumeText> Text(const std::string& path);

 private:
  struct Root {
    std::shared_ptr<TypeSurvey> survey;  // the survey that asks this root's type
    std::size_t place = 0;               // the root's place in it
    std::optional<std::uint32_t> known;
    bool dead = false;
    Asked<contract::DiskSizes> sizes;  // a share's first answers, asked with its type, until taken
    Asked<VolumeFacts> volume;
  };

  // The root of key, surveyed with every listed root on first use (the mutex held).
  Root& Find(const std::string& key);
  // Asks path's question: on the calling thread for a local drive, within the bound for a share.
  template <typename Answer>
  std::optional<Answer> Ask(const std::string& path, Asked<Answer> Root::*first,
                            const std::function<std::optional<Answer>(const std::string&)>& call);

  DriveCalls calls_;
  std::chrono::milliseconds bound_;
  std::shared_ptr<Workers> workers_;
  std::mutex mutex_;  // guards the members below
  std::map<std::string, Root> roots_;
  bool surveyed_ = false;
};

}  // namespace platform::win32
