#include "listing.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

FILE *original;
uint16_t numerovoc;
char tempchar[nombremax + 1];
uint16_t largo;

// The voc number's five bytes as read.
static uint8_t numvoc[5];

// Unread bytes are buf[ini, fin); leidos counts every byte taken from the stream.
// Page-aligned: the kernel's copy into a buffer that starts off a cache line
// costs some 8% of the whole run, and where the linker puts it varies.
alignas(4096) static unsigned char buf[bloque];
static size_t ini, fin;
static uint64_t leidos;
// Set at the end of the listing or on a read error; no read follows either.
static bool acabado, fallo;
// Whether a read may wait for its bytes: anything but a regular file.
static bool espera;

void startlisting() {
  ini = fin = 0;
  leidos = 0;
  acabado = fallo = false;
  struct stat st;
  espera = fstat(fileno(original), &st) != 0 || !S_ISREG(st.st_mode);
  memset(tempchar, 0, sizeof tempchar);
}

// Takes what one read of the descriptor gives: stdio's fread would wait for a
// whole block, holding back entries from a pipe whose writer stays open.
// Before a read that may wait, the report and the index go out as far as they
// stand, as stdio does for interactive input: a terminal shows each entry as
// its line is typed, and a run interrupted while waiting keeps its index.
static bool fill() {
  ini = fin = 0;
  while (!acabado) {
    if (espera)
      fflush(nullptr);
    auto n = read(fileno(original), buf, static_cast<unsigned>(sizeof buf));
    if (n > 0) {
      fin = static_cast<size_t>(n);
      leidos += fin;
      return true;
    }
    if (n < 0 && errno == EINTR)
      continue;
    acabado = true;
    fallo = n < 0;
  }
  return false;
}

// The next byte, or EOF at the end of the listing or on a read error.
static int next() {
  if (ini == fin && !fill())
    return EOF;
  return buf[ini++];
}

// Consumes bytes rather than seeking, so that pipes are read the same way.
static bool skip(int n) {
  for (; n > 0; n--) {
    if (next() == EOF)
      return false;
  }
  return true;
}

// Consumes up to and including the next byte c.
static bool scanto(unsigned char c) {
  for (;;) {
    const void *p = memchr(buf + ini, c, fin - ini);
    if (p) {
      ini = static_cast<size_t>(static_cast<const unsigned char *>(p) - buf) + 1;
      return true;
    }
    if (!fill())
      return false;
  }
}

bool getentry() {
  static const unsigned peso[5] = {10000, 1000, 100, 10, 1};
  if (!scanto('(') || !skip(3))
    return false;
  unsigned n = 0;
  for (int i = 0; i < 5; i++) {
    int c = next();
    if (c == EOF)
      return false;
    numvoc[i] = static_cast<uint8_t>(c);
    n += peso[i] * numvoc[i];
  }
  // Taking '0' off each digit at once; unsigned wrap-around keeps the low 16 bits right.
  numerovoc = static_cast<uint16_t>(n - '0' * 11111u);
  if (!skip(2))
    return false;
  for (largo = 0; largo < nombremax; largo++) {
    int c = next();
    if (c == EOF)
      return false;
    if (c == ':') {
      tempchar[largo] = 0;
      return true;
    }
    tempchar[largo] = static_cast<char>(c);
  }
  return true;
}

void clearname() { memset(tempchar, 0, nombremax); }

bool skipline() { return scanto('\n'); }

uint64_t getpos() { return leidos - (fin - ini); }

bool readfailed() { return fallo; }
