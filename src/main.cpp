#include "actors.h"
#include "listing.h"
#include "platform.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The actor index; on file systems that drop a trailing dot it shows as "tolvkvoc".
static const char indice[] = "tolvkvoc.";
// The last entry counter value handled: the index covers at most 4394
// entries, counters 0 to 4393, and later ones are ignored.
static const uint16_t ultimo = 4393;

static FILE *final;
static uint64_t tamanyo;
static uint16_t contador, vocs;
static uint8_t voc;
static bool espera;
// The index is at most 4394 bytes: a buffer of our own keeps it off the heap,
// and on glibc no putc writes it, only a flush or the close. Wine's
// msvcrt.dll, the runtime the Windows tests run on, also writes it out at
// each code 10, and so fails there first on a full disk.
static char ibuf[8192];

// A name from the reader never reaches past an actor's row.
static_assert(nombremax < ancho, "a speaker name must fit in a row of the actor table");

// Prints a message, formatted as printf does, and ends the run with status 1.
[[noreturn]] __attribute__((format(printf, 1, 2))) static void fail(const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vprintf(fmt, ap);
  va_end(ap);
  exit(EXIT_FAILURE);
}

// A pipe has no size, and a size of 0 says nothing: files under /proc and
// devices measure 0, as a file does that is empty when the run starts. The reader
// reads these to the end they have when it gets there; an empty file yields
// no entry either way. Any other listing ends at the size it has now,
// whatever is added to it.
static void measure() {
  // The reader reads the file through a buffer of its own; stdio must hold
  // none of the listing's bytes.
  setvbuf(original, nullptr, _IONBF, 0);
  tamanyo = UINT64_MAX;
  if (fseeko(original, 0, SEEK_END) == 0) {
    auto n = ftello(original);
    if (n > 0)
      tamanyo = static_cast<uint64_t>(n);
    rewind(original);
  }
}

// Reads the voice clip listing named on the command line and writes the
// actor index "tolvkvoc.": one byte per entry, in listing order, holding the
// code of the entry's speaker in the actor table, or 255 when no actor
// matches. Reports every entry on standard output. Exits 1, before touching
// the index, when the command line is wrong or the listing cannot be opened,
// and when the index cannot be made, is another run's, or cannot be written,
// or the listing cannot be read.
int makeindex(int argc, argchar **argv) {
  // The listing is measured before the banner is printed: a report appended
  // to its own listing ("l.txt >> l.txt") must not become part of it.
  if (argc == 2) {
    original = openlisting(argv[1]);
    if (original != nullptr)
      measure();
  }
  printf("TOLVEKPRE v1.17 - 2016\r\nPreparador para extraer archivos voc de TOLVEK ordenados por "
         "actores.\r\n\n");
  if (argc > 2) {
    fail("Demasiados param\xE9"
         "dicos!\n\r");
  }
  if (argc < 2)
    fail("No has especificado el archivo .txt\n\r");
  if (original == nullptr)
    fail("No encuentro %s o no puedo abrirlo\n\r", shown(argv[1]));
  // Opening the index truncates it; it must never be the listing itself, nor
  // the report's file ("> tolvkvoc."), where the two would overwrite each other.
  final = samefile(original, indice) || samefile(stdout, indice) ? nullptr : openindex(indice);
  if (final == nullptr)
    fail("No puedo crear tolvek.act\n\r");
  setvbuf(final, ibuf, _IOFBF, sizeof ibuf);

  filltable();
  vocs = ultimo;
  startlisting(tamanyo);
  // A listing of no known size may keep a read waiting for its next bytes:
  // the report and the index go out entry by entry, so that a terminal shows
  // each entry as its line is typed and a run interrupted while waiting keeps
  // the index of the entries handled.
  espera = tamanyo == UINT64_MAX;
  if (espera)
    fflush(stdout);

  for (contador = 0;; contador++) {
    if (!getentry())
      break;
    printf("\n\r%u - ", unsigned{numerovoc});
    printf("actor %s - ", tempchar);
    voc = findactor(tempchar, largo);
    printf(" %u (%s)", unsigned{voc}, actorname(voc));
    putc(voc, final);
    if (espera) {
      fflush(stdout);
      fflush(final);
    }
    // Where entries go out one by one, a failed write ends the run: nothing
    // read later can mend the index. Elsewhere the whole report comes first,
    // whenever the runtime writes. And nothing after the last entry's head can
    // change the report or the index, while waiting for its line end could
    // hang on a pipe held open.
    if ((espera && ferror(final) != 0) || contador == vocs)
      break;
    clearname();
    if (!skipline())
      break;
  }

  if (readfailed())
    fail("\n\rNo puedo leer %s\n\r", shown(argv[1]));
  // Wine's msvcrt.dll fclose returns 0 when its own last flush failed, so the
  // flush is checked here; a failed flush drops the bytes it could not write,
  // leaving the next nothing to fail on, so the error flag keeps each earlier
  // failure.
  const bool roto = fflush(final) != 0 || ferror(final) != 0;
  if (fclose(final) != 0 || roto)
    fail("\n\rNo puedo escribir tolvkvoc\n\r");
  fclose(original);
  printf("\n\rMission Completed!");
  return 0;
}
