#include "listing.h"
#include "platform.h"

#include <cstring>

FILE *original;
uint16_t numerovoc;
char tempchar[nombremax + 1];
uint16_t largo;

// The voc number's five bytes as read.
static uint8_t numvoc[5];

// Unread bytes are buf[ini, fin); leidos counts every byte taken from the
// stream, tope the most it may give.
// Page-aligned, so that the kernel's copy of each read into it stores whole
// cache lines: into a buffer that starts off a line, every store is split in
// two, some 8% of the run, and where the linker puts the buffer varies.
alignas(4096) static unsigned char buf[bloque];
static size_t ini, fin;
static uint64_t leidos, tope;
// Set on a read error.
static bool fallo;

void startlisting(uint64_t size) {
  ini = fin = 0;
  leidos = 0;
  tope = size;
  fallo = false;
}

// Takes what one read of the file gives: stdio's fread would wait for a
// whole block, holding back entries from a pipe whose writer stays open. No
// read asks for a byte past tope, so bytes appended to the listing during the
// run, such as its own report (tolvekpre l.txt >> l.txt), are never read.
static bool fill() {
  ini = fin = 0;
  const uint64_t resto = tope - leidos;
  const size_t pide = resto < sizeof buf ? static_cast<size_t>(resto) : sizeof buf;
  const long n = pide == 0 ? 0 : readlisting(original, buf, pide);
  if (n > 0) {
    fin = static_cast<size_t>(n);
    leidos += fin;
    return true;
  }
  fallo = n < 0;
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

bool readfailed() { return fallo; }
