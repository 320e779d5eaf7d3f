/* A FUSE file system of one file, "out", that takes every write and then fails when the file is
 * closed after a write, as a network file system reports a quota or write-back failure only then.
 * Usage: failing_flush MOUNTPOINT   (stays in the foreground until unmounted or killed)
 */
#define FUSE_USE_VERSION 31

#include <errno.h>
#include <fuse.h>
#include <string.h>
#include <sys/stat.h>

static int written;

static int GetAttr(const char *path, struct stat *status, struct fuse_file_info *file) {
  (void)file;
  memset(status, 0, sizeof *status);
  if (strcmp(path, "/") == 0) {
    status->st_mode = S_IFDIR | 0755;
    status->st_nlink = 2;
    return 0;
  }
  if (strcmp(path, "/out") == 0) {
    status->st_mode = S_IFREG | 0666;
    status->st_nlink = 1;
    return 0;
  }
  return -ENOENT;
}

static int Open(const char *path, struct fuse_file_info *file) {
  (void)file;
  return strcmp(path, "/out") == 0 ? 0 : -ENOENT;
}

static int Truncate(const char *path, off_t size, struct fuse_file_info *file) {
  (void)size;
  (void)file;
  return strcmp(path, "/out") == 0 ? 0 : -ENOENT;
}

static int Write(const char *path, const char *data, size_t size, off_t offset,
                 struct fuse_file_info *file) {
  (void)path;
  (void)data;
  (void)offset;
  (void)file;
  written = 1;
  return (int)size;
}

/* Every close of a descriptor flushes; the one after a write fails. */
static int Flush(const char *path, struct fuse_file_info *file) {
  (void)path;
  (void)file;
  if (written) {
    written = 0;
    return -EDQUOT;
  }
  return 0;
}

static const struct fuse_operations kOperations = {
    .getattr = GetAttr,
    .open = Open,
    .truncate = Truncate,
    .write = Write,
    .flush = Flush,
};

int main(int argc, char *argv[]) {
  if (argc != 2) {
    return 2;
  }
  char *arguments[] = {argv[0], "-f", "-s", "-o", "fsname=failing-flush", argv[1], NULL};
  return fuse_main(6, arguments, &kOperations, NULL);
}
