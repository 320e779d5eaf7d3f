/* A host program for the dead-share test: an empty FUSE directory whose volume questions (the size
 * and kind of the filesystem, the listing of its root) are answered only after a delay, as a network
 * share whose server has gone answers them. The attributes of the root and opening it answer at
 * once: Wine itself looks at every drive's root whenever it resolves a name, and its server opens
 * files for its clients, so a root that hangs there hangs all of Wine, which no program can bound.
 *
 * Wine's server, single-threaded, asks a volume's kind once whenever it opens the first file on it:
 * a stall there would freeze every Wine program alike, a limit of Wine that no program can bound
 * and that Windows does not share. The questions of a process whose name starts with SPARE are
 * therefore answered at once.
 *
 * Usage: stalling_share SECONDS MOUNTPOINT [SPARE]   (stays in the foreground until unmounted)
 * It answers at once until it gets SIGUSR1, and again after SIGUSR2: Wine's own services start
 * with the share alive, as they would have on a machine that lost its server later. A question
 * whose caller is killed is given up, as a share's client gives it up for a killed process.
 */
#define FUSE_USE_VERSION 31

#include <errno.h>
#include <fuse.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

static unsigned delay_seconds;
static volatile sig_atomic_t stalling;

static void Arm(int signal_number) {
  stalling = signal_number == SIGUSR1;
}

static void Interrupt(int signal_number) {
  (void)signal_number;
}

static const char *spared;

static int Spared(void) {
  if (spared == NULL) {
    return 0;
  }
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/comm", (int)fuse_get_context()->pid);
  FILE *comm = fopen(path, "r");
  if (comm == NULL) {
    return 0;
  }
  char name[64] = "";
  const int read = fgets(name, sizeof name, comm) != NULL;
  fclose(comm);
  return read && strncmp(name, spared, strlen(spared)) == 0;
}

/* 0 after the delay, -EINTR when the caller was interrupted meanwhile. */
static int Stall(void) {
  unsigned left = stalling && !Spared() ? delay_seconds : 0;
  while (left > 0) {
    if (fuse_interrupted()) {
      return -EINTR;
    }
    left = sleep(left);
  }
  return 0;
}

static void *Init(struct fuse_conn_info *conn, struct fuse_config *config) {
  (void)conn;
  /* Nothing cached by the kernel: every question reaches this program and waits. */
  config->attr_timeout = 0;
  config->entry_timeout = 0;
  config->negative_timeout = 0;
  /* A killed caller's question is interrupted with SIGALRM, which ends the sleep. */
  config->intr = 1;
  config->intr_signal = SIGALRM;
  return NULL;
}

static int GetAttr(const char *path, struct stat *st, struct fuse_file_info *info) {
  (void)info;
  if (strcmp(path, "/") != 0) {
    return -ENOENT;
  }
  memset(st, 0, sizeof *st);
  st->st_mode = S_IFDIR | 0755;
  st->st_nlink = 2;
  return 0;
}

static int OpenDir(const char *path, struct fuse_file_info *info) {
  (void)info;
  if (strcmp(path, "/") != 0) {
    return -ENOENT;
  }
  return 0;
}

static int ReadDir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t offset,
                   struct fuse_file_info *info, enum fuse_readdir_flags flags) {
  (void)offset;
  (void)info;
  (void)flags;
  if (strcmp(path, "/") != 0) {
    return -ENOENT;
  }
  const int stalled = Stall();
  if (stalled != 0) {
    return stalled;
  }
  fill(buffer, ".", NULL, 0, 0);
  fill(buffer, "..", NULL, 0, 0);
  return 0;
}

static int StatFs(const char *path, struct statvfs *st) {
  (void)path;
  const int stalled = Stall();
  if (stalled != 0) {
    return stalled;
  }
  memset(st, 0, sizeof *st);
  st->f_bsize = 4096;
  st->f_frsize = 4096;
  st->f_blocks = 262144; /* 1 GiB */
  st->f_bfree = 131072;
  st->f_bavail = 131072;
  st->f_namemax = 255;
  return 0;
}

int main(int argc, char *argv[]) {
  if (argc != 3 && argc != 4) {
    fprintf(stderr, "usage: %s SECONDS MOUNTPOINT [SPARE]\n", argv[0]);
    return 2;
  }
  spared = argc == 4 ? argv[3] : NULL;
  delay_seconds = (unsigned)strtoul(argv[1], NULL, 10);
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = Arm;
  sigaction(SIGUSR1, &action, NULL);
  sigaction(SIGUSR2, &action, NULL);
  action.sa_handler = Interrupt;
  sigaction(SIGALRM, &action, NULL);
  static const struct fuse_operations operations = {
      .getattr = GetAttr,
      .opendir = OpenDir,
      .readdir = ReadDir,
      .statfs = StatFs,
      .init = Init,
  };
  char *fuse_argv[] = {argv[0], "-f", "-o", "fsname=stalling-share,default_permissions", argv[2],
                       NULL};
  return fuse_main(5, fuse_argv, &operations, NULL);
}
