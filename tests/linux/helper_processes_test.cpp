// The helper processes that ask paths that may lie on a share: they answer as the calls made here
// do, hold nothing of the program, are left behind at their deadline without holding up the other
// questions, and take the questions that wait when no more helpers can be started.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/helper_processes.h"
#include "platform/linux/mount_point.h"
#include "tests/support/private_namespaces.h"

namespace {

using namespace platform::linux_helpers;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A helper's answers for the tests, with async-signal-safe calls only, as a helper's must be:
// "sleep:N" answers a directory after N ms; "self" tells of the helper itself: its pid (facts'
// minor), its parent (sizes' available), how many descriptors it has beyond its socket (total)
// and whether its standard input, output and error are /dev/null (free).
Answer TestServe(const Question& question) {
  Answer answer;
  const char* path = question.path.data();
  if (path[0] == 's' && path[1] == 'e' && path[2] == 'l' && path[3] == 'f') {
    std::uint64_t beyond = 0;
    for (int fd = 4; fd < 1024; ++fd) {
      beyond += ::fcntl(fd, F_GETFD) != -1 ? 1 : 0;
    }
    bool null = true;
    for (int fd = 0; fd < 3; ++fd) {
      struct stat status {};
      null = null && ::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode) &&
             status.st_rdev == makedev(1, 3);
    }
    answer.sizes = platform::contract::DiskSizes{static_cast<std::uint64_t>(::getppid()), beyond,
                                                 null ? 1U : 0U};
    answer.facts = platform::linux_drives::PointFacts{};
    answer.facts->minor = static_cast<std::uint32_t>(::getpid());
    return answer;
  }
  long milliseconds = 0;
  for (const char* digit = path + 6; *digit >= '0' && *digit <= '9'; ++digit) {
    milliseconds = milliseconds * 10 + (*digit - '0');
  }
  const timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000};
  ::nanosleep(&wait, nullptr);
  answer.directory = true;
  return answer;
}

Question About(Question::Kind kind, const std::string& path) {
  return *Question::About(kind, path);
}

Question Sleep(int milliseconds) {
  return About(Question::Kind::kLook, "sleep:" + std::to_string(milliseconds));
}

// Whether the process has ended (gone, or a zombie its parent has not reaped yet).
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) {
    return true;
  }
  const auto close = line.rfind(')');
  return close != std::string::npos && line.compare(close + 2, 1, "Z") == 0;
}

TEST(Helpers, AnswerAsTheCallsHereDoAndHoldNothingOfTheProgram) {
  using platform::linux_drives::LookAtPath;
  using platform::linux_drives::MeasurePath;
  Helpers helpers;
  const auto deadline = Clock::now() + 10s;
  const auto look = helpers.Ask(About(Question::Kind::kLook, "/"), deadline);
  const auto measure = helpers.Ask(About(Question::Kind::kMeasure, "/"), deadline);
  const auto root = helpers.Ask(About(Question::Kind::kIsDirectory, "/"), deadline);
  const auto file = helpers.Ask(About(Question::Kind::kIsDirectory, "/proc/self/exe"), deadline);
  const auto looked = helpers.Await(look);
  const auto here = LookAtPath("/", true);
  ASSERT_TRUE(looked && looked->facts && here);
  EXPECT_EQ(looked->facts->mountId, here->mountId);
  EXPECT_TRUE(looked->facts->directory);
  ASSERT_TRUE(looked->facts->sizes && here->sizes);
  EXPECT_EQ(looked->facts->sizes->total, here->sizes->total);
  const auto measured = helpers.Await(measure);
  ASSERT_TRUE(measured && measured->sizes);
  EXPECT_EQ(measured->sizes->total, MeasurePath("/", nullptr)->total);
  EXPECT_TRUE(helpers.Await(root)->directory);
  EXPECT_FALSE(helpers.Await(file)->directory);  // the link is followed to the program file
  EXPECT_FALSE(helpers.Await(file));             // an answer is given once
  EXPECT_FALSE(Question::About(Question::Kind::kLook, std::string(PATH_MAX, 'a')));

  // A descriptor of the program's, such as the pipe its reader waits on, is not the helper's.
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  Helpers mine(TestServe);
  const auto self = mine.Await(mine.Ask(About(Question::Kind::kLook, "self"), deadline));
  ::close(pipe[0]);
  ::close(pipe[1]);
  ASSERT_TRUE(self && self->sizes && self->facts);
  EXPECT_NE(self->sizes->available, static_cast<std::uint64_t>(::getpid()));  // init's child
  EXPECT_EQ(self->sizes->total, 0U);
  EXPECT_EQ(self->sizes->free, 1U);
  // Nothing is asked any more: the helper ends.
  const auto pid = static_cast<pid_t>(self->facts->minor);
  for (int wait = 0; wait < 200 && !Ended(pid); ++wait) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_TRUE(Ended(pid));
}

TEST(Helpers, AQuestionThatHangsIsGivenUpAtItsDeadlineAndHoldsUpNoOther) {
  Helpers helpers(TestServe);
  const auto start = Clock::now();
  const auto hangs = helpers.Ask(Sleep(5000), start + 200ms);
  std::vector<Helpers::Ticket> quick;
  quick.reserve(3);
  for (int i = 0; i < 3; ++i) {
    quick.push_back(helpers.Ask(Sleep(20), start + 5s));
  }
  bool late = false;
  EXPECT_FALSE(helpers.Await(hangs, &late));
  const auto waited = Clock::now() - start;
  EXPECT_TRUE(late);
  EXPECT_GE(waited, 200ms);
  EXPECT_LT(waited, 1500ms);
  for (const auto ticket : quick) {
    late = true;
    const auto answer = helpers.Await(ticket, &late);
    EXPECT_TRUE(answer && answer->directory);
    EXPECT_FALSE(late);
  }
  EXPECT_EQ(helpers.Started(), 4U);
}

TEST(Helpers, QuestionsWaitForAFreeHelperWhenNoMoreMayStart) {
  Helpers helpers(TestServe, 2);
  const auto deadline = Clock::now() + 5s;
  std::vector<Helpers::Ticket> tickets;
  tickets.reserve(12);
  for (int i = 0; i < 12; ++i) {
    tickets.push_back(helpers.Ask(Sleep(10), deadline));
  }
  for (const auto ticket : tickets) {
    const auto answer = helpers.Await(ticket);
    EXPECT_TRUE(answer && answer->directory);
  }
  EXPECT_EQ(helpers.Started(), 2U);
}

TEST(Helpers, UnderATaskLimitTheQuestionsWaitForTheHelpersThatStarted) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "needs root to become a user with a task limit";
  }
#ifdef QUORVANE_UNDER_EMULATOR
  GTEST_SKIP() << "under qemu-user the emulator's own threads count against the task limit";
#endif
  // A user of its own (no other process counts against its limit), with room for itself and two
  // more tasks: one helper and its starter, after which every start fails as it would on a machine
  // at its limit.
  const auto faults = testing_support::InPrivateNamespaces(0, [] {
    const auto user = static_cast<uid_t>(60000 + ::getpid() % 5000);
    const rlimit limit{3, 3};
    if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0 ||
        ::setrlimit(RLIMIT_NPROC, &limit) != 0) {
      return std::string("cannot become a user with a task limit");
    }
    Helpers helpers(TestServe);
    const auto deadline = Clock::now() + 5s;
    std::vector<Helpers::Ticket> tickets;
    tickets.reserve(10);
    for (int i = 0; i < 10; ++i) {
      tickets.push_back(helpers.Ask(Sleep(10), deadline));
    }
    std::string faults;
    for (const auto ticket : tickets) {
      const auto answer = helpers.Await(ticket);
      if (!answer || !answer->directory) {
        faults += "a question was not answered; ";
      }
    }
    if (helpers.Started() != 1) {
      faults += std::to_string(helpers.Started()) + " helpers started, not 1; ";
    }
    return faults;
  });
  ASSERT_TRUE(faults);
  EXPECT_EQ(*faults, "");
}

}  // namespace
