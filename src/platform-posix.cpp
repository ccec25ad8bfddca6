#include "platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
// whole. The report is best-effort, as on the Windows console.
// Weak, so that the fuzzer, which brings its own main, can link this file.
__attribute__((weak)) int main(int argc, char **argv) {
  for (int fd = 0; fd <= 2; fd++) {
    if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", O_RDWR) != fd)
      exit(EXIT_FAILURE);
  }
  signal(SIGPIPE, SIG_IGN);
  return makeindex(argc, argv);
}
