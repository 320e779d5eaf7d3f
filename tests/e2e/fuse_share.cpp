// A network share for the share tests, served with FUSE: each mount point given is a share of its
// own, served by a thread of its own, typed "fuse.sshfs" so that the program lists it as a network
// drive. Its root holds two empty directories, "sub" (for a mount below the share) and "tmp" (for a
// temporary directory on it); it reports 1 GiB, half of it free. The kernel caches nothing, so
// every look at a path on it asks this program.
//
// Usage: fuse_share MODE MOUNTPOINT...   (stays in the foreground until SIGTERM or SIGINT)
//   answer        answers at once
//   silent        takes every question and never answers, as a share whose server is gone
//   stall:SECONDS answers each question after SECONDS
//   cue           answers at once until SIGUSR1, then never again
#define FUSE_USE_VERSION 31

#include <fuse_lowlevel.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> quiet{false};
unsigned stallSeconds = 0;

constexpr fuse_ino_t kRoot = FUSE_ROOT_ID;
constexpr fuse_ino_t kSub = 2;
constexpr fuse_ino_t kTmp = 3;

// Whether to answer the question: false leaves it unanswered for good; true after the stall.
bool Answers() {
  if (quiet) {
    return false;
  }
  if (stallSeconds > 0) {
    ::sleep(stallSeconds);
  }
  return true;
}

struct stat DirectoryAttributes(fuse_ino_t inode) {
  struct stat attributes {};
  attributes.st_ino = inode;
  attributes.st_mode = S_IFDIR | 0777;
  attributes.st_nlink = inode == kRoot ? 4 : 2;
  return attributes;
}

bool Known(fuse_ino_t inode) {
  return inode == kRoot || inode == kSub || inode == kTmp;
}

void Lookup(fuse_req_t request, fuse_ino_t parent, const char* name) {
  if (!Answers()) {
    return;
  }
  const std::string_view wanted(name);
  const fuse_ino_t inode = parent != kRoot   ? 0
                           : wanted == "sub" ? kSub
                           : wanted == "tmp" ? kTmp
                                             : 0;
  if (inode == 0) {
    fuse_reply_err(request, ENOENT);
    return;
  }
  fuse_entry_param entry{};
  entry.ino = inode;
  entry.attr = DirectoryAttributes(inode);
  fuse_reply_entry(request, &entry);
}

void GetAttr(fuse_req_t request, fuse_ino_t inode, fuse_file_info* /*info*/) {
  if (!Answers()) {
    return;
  }
  if (!Known(inode)) {
    fuse_reply_err(request, ENOENT);
    return;
  }
  const struct stat attributes = DirectoryAttributes(inode);
  fuse_reply_attr(request, &attributes, 0);
}

void OpenDir(fuse_req_t request, fuse_ino_t inode, fuse_file_info* info) {
  if (!Answers()) {
    return;
  }
  if (!Known(inode)) {
    fuse_reply_err(request, ENOENT);
    return;
  }
  fuse_reply_open(request, info);
}

void ReadDir(fuse_req_t request, fuse_ino_t inode, size_t size, off_t offset,
             fuse_file_info* /*info*/) {
  if (!Answers()) {
    return;
  }
  std::vector<char> buffer(size);
  std::size_t used = 0;
  const char* names[] = {".", "..", "sub", "tmp"};
  const fuse_ino_t inodes[] = {inode, kRoot, kSub, kTmp};
  const off_t count = inode == kRoot ? 4 : 2;
  for (off_t next = offset; next < count; ++next) {
    const struct stat attributes = DirectoryAttributes(inodes[next]);
    const std::size_t entry = fuse_add_direntry(request, buffer.data() + used, size - used,
                                                names[next], &attributes, next + 1);
    if (entry > size - used) {
      break;
    }
    used += entry;
  }
  fuse_reply_buf(request, buffer.data(), used);
}

void StatFs(fuse_req_t request, fuse_ino_t /*inode*/) {
  if (!Answers()) {
    return;
  }
  struct statvfs sizes {};
  sizes.f_bsize = 4096;
  sizes.f_frsize = 4096;
  sizes.f_blocks = 262144;  // 1 GiB
  sizes.f_bfree = 131072;
  sizes.f_bavail = 131072;
  sizes.f_namemax = 255;
  fuse_reply_statfs(request, &sizes);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s answer|silent|stall:SECONDS|cue MOUNTPOINT...\n", argv[0]);
    return 2;
  }
  const std::string_view mode = argv[1];
  if (mode == "silent") {
    quiet = true;
  } else if (mode.starts_with("stall:")) {
    stallSeconds = static_cast<unsigned>(std::strtoul(argv[1] + 6, nullptr, 10));
  } else if (mode != "answer" && mode != "cue") {
    std::fprintf(stderr, "%s: unknown mode %s\n", argv[0], argv[1]);
    return 2;
  }
  // The signals are taken by this thread alone, the sessions' threads never see them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGUSR1);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  fuse_lowlevel_ops operations{};
  operations.lookup = Lookup;
  operations.getattr = GetAttr;
  operations.opendir = OpenDir;
  operations.readdir = ReadDir;
  operations.statfs = StatFs;
  std::vector<fuse_session*> sessions;
  for (int i = 2; i < argc; ++i) {
    char program[] = "fuse_share";
    char options[] = "-oallow_other,fsname=quorvane-test-share,subtype=sshfs";
    char* arguments[] = {program, options, nullptr};
    fuse_args args = FUSE_ARGS_INIT(2, arguments);
    fuse_session* session = fuse_session_new(&args, &operations, sizeof operations, nullptr);
    if (session == nullptr || fuse_session_mount(session, argv[i]) != 0) {
      std::fprintf(stderr, "%s: cannot mount %s\n", argv[0], argv[i]);
      return 1;
    }
    sessions.push_back(session);
    std::thread([session] { fuse_session_loop(session); }).detach();
  }
  for (;;) {
    int signal = 0;
    sigwait(&signals, &signal);
    if (signal == SIGUSR1) {
      quiet = true;
      continue;
    }
    // Unmounted here; the questions still unanswered fail once this process is gone.
    for (fuse_session* session : sessions) {
      fuse_session_unmount(session);
    }
    std::_Exit(0);
  }
}
