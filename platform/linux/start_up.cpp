#include "platform/linux/start_up.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/linux/drive_list.h"
#include "platform/linux/helper_processes.h"
#include "platform/linux/mount_point.h"
#include "platform/linux/user_lookup.h"

namespace platform::linux_start_up {
namespace {

using linux_helpers::Helpers;
using linux_helpers::Question;
using Clock = std::chrono::steady_clock;

// The answer of one question to a helper, asked now with its own bound.
std::optional<linux_helpers::Answer> AskNow(Helpers& helpers,
                                            const std::optional<Question>& question, bool* late) {
  if (!question) {
    return std::nullopt;
  }
  return helpers.Await(helpers.Ask(*question, Clock::now() + linux_drives::kShareBound), late);
}

// Whether a path names a directory, asked on the calling thread.
bool IsDirectoryHere(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

class StartUp {
 public:
  // The members are started in the order they stand: the user's lookup first, since it may wait
  // on its own, then the drive table, whose share looks are waited for.
  StartUp()
      : deadline_(Clock::now() + linux_drives::kShareBound),
        user_(::geteuid()),
        table_(
            linux_drives::ReadDrives(Sources(), &listed_), linux_drives::MeasureAt,
            [this](const linux_drives::Place& place, bool* late) { return Measure(place, late); }) {
  }

  linux_drives::DriveTable& Drives() { return table_; }
  bool DrivesListed() const { return listed_; }

  std::optional<std::string> UserName() { return user_.Await(deadline_); }

  std::string TempDirectory() {
    // TMPDIR is honoured as the C library and the shell honour it, when it names a directory.
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir == nullptr || *tmpdir != '/') {
      return "/tmp/";
    }
    std::string path = tmpdir;
    if (!IsDirectory(path)) {
      return "/tmp/";
    }
    if (path.back() != '/') {
      path += '/';
    }
    return path;
  }

  std::optional<contract::DiskSizes> MeasureDirectory(const std::string& path) {
    if (helpers_ == nullptr) {
      return linux_drives::MeasureAt(linux_drives::Place{path});
    }
    auto answer = AskNow(*helpers_, Question::About(Question::Kind::kMeasure, path), nullptr);
    return answer ? answer->sizes : std::nullopt;
  }

 private:
  // The machine's sources, with the points on shares looked at by this process's helpers, along
  // with the temporary directory, so that the one deadline covers both.
  linux_drives::Sources Sources() {
    auto sources = linux_drives::ThisMachine();
    sources.lookShares = [this](const std::vector<std::string>& paths) {
      helpers_ = std::make_unique<Helpers>();
      const char* tmpdir = std::getenv("TMPDIR");
      if (tmpdir != nullptr && *tmpdir == '/') {
        if (const auto question = Question::About(Question::Kind::kIsDirectory, tmpdir)) {
          const std::lock_guard lock(mutex_);
          tempAsked_ = tmpdir;
          tempTicket_ = helpers_->Ask(*question, deadline_);
        }
      }
      return linux_drives::LookInHelpers(*helpers_, paths, deadline_);
    };
    return sources;
  }

  // A share's sizes asked again, within a bound of their own.
  std::optional<contract::DiskSizes> Measure(const linux_drives::Place& place, bool* late) {
    if (helpers_ == nullptr) {
      return std::nullopt;
    }
    auto question = Question::About(Question::Kind::kMeasure, place.path);
    if (question && place.drive) {
      question->drive = true;
      question->mount = place.mount;
    }
    auto answer = AskNow(*helpers_, question, late);
    return answer ? answer->sizes : std::nullopt;
  }

  // Whether the path is a directory: in a helper where the machine has shares (the path may lie on
  // one, or lead to one by a link), the answer asked along with the share looks where it is the
  // same path; an answer that does not come in time counts as no directory.
  bool IsDirectory(const std::string& path) {
    if (helpers_ == nullptr) {
      return IsDirectoryHere(path);
    }
    // A helper's answer is kept, so that a share that did not answer is not waited for again.
    const std::lock_guard lock(mutex_);
    if (tempKnown_ && tempKnown_->first == path) {
      return tempKnown_->second;
    }
    std::optional<linux_helpers::Answer> answer;
    if (tempTicket_ && tempAsked_ == path) {
      answer = helpers_->Await(*std::exchange(tempTicket_, std::nullopt));
    } else {
      answer = AskNow(*helpers_, Question::About(Question::Kind::kIsDirectory, path), nullptr);
    }
    const bool directory = answer && answer->directory;
    tempKnown_ = std::pair(path, directory);
    return directory;
  }

  Clock::time_point deadline_;
  linux_identity::UserLookup user_;
  std::unique_ptr<Helpers> helpers_;  // only where the mount table has shares
  std::mutex mutex_;                  // guards the temporary directory's members below
  std::string tempAsked_;
  std::optional<Helpers::Ticket> tempTicket_;
  std::optional<std::pair<std::string, bool>> tempKnown_;
  bool listed_ = false;             // set by reading the drive table
  linux_drives::DriveTable table_;  // last: reading it waits on the members above
};

StartUp& Started() {
  static StartUp startUp;
  return startUp;
}

}  // namespace

linux_drives::DriveTable& Drives() {
  return Started().Drives();
}

bool DrivesListed() {
  return Started().DrivesListed();
}

std::optional<std::string> UserName() {
  return Started().UserName();
}

std::string TempDirectory() {
  return Started().TempDirectory();
}

std::optional<contract::DiskSizes> MeasureDirectory(const std::string& path) {
  return Started().MeasureDirectory(path);
}

}  // namespace platform::linux_start_up
