// Runs the whole program, in process, on arbitrary bytes as a listing and
// checks what must hold for any listing: the run ends with the completion
// line and status 0; there is one index byte per report line, at most 4394 of
// them; each byte is an actor code (0-48 or 255), the one printed on its line,
// after a speaker name of at most nine bytes.
#include "actors.h"
#include "platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string slurp(const char *name) {
  std::string s;
  FILE *f = fopen(name, "rb");
  if (f == nullptr)
    abort();
  char b[65536];
  size_t n;
  while ((n = fread(b, 1, sizeof b, f)) > 0)
    s.append(b, n);
  fclose(f);
  return s;
}

const std::string banner = "TOLVEKPRE v1.17 - 2016\r\nPreparador para extraer archivos voc de "
                           "TOLVEK ordenados por actores.\r\n\n";
const std::string done = "\n\rMission Completed!";

// Reads the report line at out[at], whose index byte is code; returns where
// the next line begins, or npos when no reading of the line fits.
size_t line(const std::string &out, size_t at, uint8_t code) {
  if (out.compare(at, 2, "\n\r") != 0)
    return std::string::npos;
  at += 2;
  size_t digits = at;
  while (at < out.size() && out[at] >= '0' && out[at] <= '9')
    at++;
  if (at == digits || at - digits > 5 || out.compare(at, 9, " - actor ") != 0)
    return std::string::npos;
  at += 9;
  // The name is printed as it was read, so try every length it may have.
  const std::string tail = " -  " + std::to_string(code) + " (" + actorname(code) + ")";
  for (size_t len = 0; len <= 9; len++) {
    if (out.compare(at + len, tail.size(), tail) == 0 &&
        memchr(out.data() + at, '\0', len) == nullptr)
      return at + len + tail.size();
  }
  return std::string::npos;
}

// The program works in the current folder; each run goes into one of its own
// and back, so that the fuzzer's relative paths keep working.
int home, scratch;
char dir[] = "/tmp/listing_fuzzer.XXXXXX";

// The scratch folder goes when the fuzzer ends; a crash leaves it to look at.
void cleanup() {
  for (const char *name : {"listing", "out", "tolvkvoc."})
    unlinkat(scratch, name, 0);
  rmdir(dir);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (mkdtemp(dir) == nullptr)
    abort();
  home = open(".", O_RDONLY | O_DIRECTORY);
  scratch = open(dir, O_RDONLY | O_DIRECTORY);
  if (home < 0 || scratch < 0 || fchdir(scratch) != 0 || freopen("out", "w+b", stdout) == nullptr ||
      fchdir(home) != 0)
    abort();
  atexit(cleanup);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (fchdir(scratch) != 0)
    abort();
  FILE *f = fopen("listing", "wb");
  if (f == nullptr || fwrite(data, 1, size, f) != size || fclose(f) != 0)
    abort();
  fflush(stdout);
  if (ftruncate(fileno(stdout), 0) != 0)
    abort();
  rewind(stdout);

  char prog[] = "tolvekpre";
  char arg[] = "listing";
  char *argv[] = {prog, arg, nullptr};
  if (makeindex(2, argv) != 0)
    abort();
  fflush(stdout);

  const std::string out = slurp("out");
  const std::string index = slurp("tolvkvoc.");
  if (index.size() > 4394 || out.compare(0, banner.size(), banner) != 0)
    abort();
  size_t at = banner.size();
  for (char byte : index) {
    const auto code = static_cast<uint8_t>(byte);
    if (code >= filas && code != nomatch)
      abort();
    at = line(out, at, code);
    if (at == std::string::npos)
      abort();
  }
  if (out.compare(at, std::string::npos, done) != 0)
    abort();
  if (fchdir(home) != 0)
    abort();
  return 0;
}
