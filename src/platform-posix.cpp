#include "platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

// fopen opens a folder for reading here, and only the first read fails.
FILE *openlisting(const char *name) {
  FILE *f = fopen(name, "rb");
  struct stat st;
  if (f != nullptr && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    fclose(f);
    return nullptr;
  }
  return f;
}

// The lock comes before the truncation, so that a second run leaves the first
// one's index whole; it is released when the run ends, however it ends.
// Where the file system takes no lock at all, the run goes on unguarded.
FILE *openindex(const char *name) {
  int fd = open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd == -1)
    return nullptr;
  struct stat st;
  FILE *f = nullptr;
  if ((flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) && fstat(fd, &st) == 0 &&
      (!S_ISREG(st.st_mode) || ftruncate(fd, 0) == 0))
    f = fdopen(fd, "w+b");
  if (f == nullptr)
    close(fd);
  return f;
}

long readlisting(FILE *f, unsigned char *buf, size_t n) {
  ssize_t got;
  do {
    got = read(fileno(f), buf, n);
  } while (got < 0 && errno == EINTR);
  return got;
}

const char *shown(const char *name) { return name; }

bool samefile(FILE *f, const char *name) {
  struct stat a;
  struct stat b;
  return fstat(fileno(f), &a) == 0 && stat(name, &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

// Started with a standard descriptor closed, the listing or the index would
// take its number and stdout would write the report into the index; a reader
// of the report that goes away must not kill the run before the index is
// whole, and a file size limit must fail a write, as a full disk does, not
// kill the run. The report is best-effort, as on the Windows console.
// Weak, so that the fuzzer and the unit tests, which bring their own main,
// can link this file.
__attribute__((weak)) int main(int argc, char **argv) {
  for (int fd = 0; fd <= 2; fd++) {
    if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", O_RDWR) != fd)
      exit(EXIT_FAILURE);
  }
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  return makeindex(argc, argv);
}
