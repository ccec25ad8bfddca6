#include "actors.h"
#include "listing.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The actor index; on file systems that drop a trailing dot it shows as "tolvkvoc".
static const char indice[] = "tolvkvoc.";
// The last entry counter value handled: the index covers at most 4394
// entries, counters 0 to 4393, and later ones are ignored.
static const uint16_t ultimo = 4393;

#ifdef _WIN32
// The console runtime expands wildcards in the arguments only when asked to:
// "*.txt" matching two listings must count as two arguments.
extern "C" {
int _dowildcard = -1;
}
#endif

static FILE *final;
static uint64_t tamanyo, pos;
static uint16_t contador, vocs;
static uint8_t voc;
// The index is at most 4394 bytes; a buffer of our own keeps it off the heap.
static char ibuf[8192];

// Prints a message, formatted as printf does, and ends the run with status 1.
[[noreturn]] __attribute__((format(printf, 1, 2))) static void fail(const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vprintf(fmt, ap);
  va_end(ap);
  exit(EXIT_FAILURE);
}

static bool isdir(FILE *f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
}

#ifndef _WIN32
// Started with a standard descriptor closed, the listing or the index would
// take its number and stdout would write the report into the index; a reader
// of the report that goes away must not kill the run before the index is
// whole. The report is best-effort, as on the Windows console.
static void guardstdio() {
  for (int fd = 0; fd <= 2; fd++) {
    if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", O_RDWR) != fd)
      exit(EXIT_FAILURE);
  }
  signal(SIGPIPE, SIG_IGN);
}
#endif

// Whether name is the file f is open on, under this or any other name.
#ifdef _WIN32
// The runtime's stat has no inode numbers; the volume and file index are the same thing.
static bool samefile(FILE *f, const char *name) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  HANDLE h = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  bool same = GetFileInformationByHandle(h, &b) &&
              GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fileno(f))), &a) &&
              a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
              a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(h);
  return same;
}
#else
static bool samefile(FILE *f, const char *name) {
  struct stat a;
  struct stat b;
  return fstat(fileno(f), &a) == 0 && stat(name, &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}
#endif

#ifdef _WIN32
// Arguments arrive wide (wmain): the runtime's ANSI ones hold '?' for every
// character the code page lacks, and such a listing would never open.
static FILE *openlisting(const wchar_t *name) { return _wfopen(name, L"rb"); }

// The name as the console shows it, in the ANSI code page; a character the
// code page lacks comes out as the system converts it.
static const char *shown(const wchar_t *name) {
  // An argument is at most 32767 units, each at most two bytes there.
  static char ansi[2 * 32768];
  if (WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, static_cast<int>(sizeof ansi), nullptr,
                          nullptr) == 0)
    ansi[0] = '\0';
  return ansi;
}
#else
static FILE *openlisting(const char *name) { return fopen(name, "rb"); }
static const char *shown(const char *name) { return name; }
#endif

// Reads the voice clip listing named on the command line and writes the
// actor index "tolvkvoc.": one byte per entry, in listing order, holding the
// code of the entry's speaker in the actor table, or 255 when no actor
// matches. Reports every entry on standard output. Exits 1, before touching
// the index, when the command line is wrong or the listing cannot be opened,
// and when the index cannot be made or written or the listing read.
#ifdef _WIN32
int wmain(int argc, wchar_t **argv) {
#else
int main(int argc, char **argv) {
  guardstdio();
#endif
  printf("TOLVEKPRE v1.17 - 2016\r\nPreparador para extraer archivos voc de TOLVEK ordenados por "
         "actores.\r\n\n");
  if (argc > 2) {
    fail("Demasiados param\xE9"
         "dicos!\n\r");
  }
  if (argc < 2)
    fail("No has especificado el archivo .txt\n\r");

  original = openlisting(argv[1]);
  if (original == nullptr || isdir(original))
    fail("No encuentro %s o no puedo abrirlo\n\r", shown(argv[1]));
  // Opening the index truncates it; it must never be the listing itself, nor
  // the report's file ("> tolvkvoc."), where the two would overwrite each other.
  if (samefile(original, indice) || samefile(stdout, indice))
    fail("No puedo crear tolvek.act\n\r");
  final = fopen(indice, "w+b");
  if (final == nullptr)
    fail("No puedo crear tolvek.act\n\r");
  // The reader reads the descriptor through a buffer of its own; stdio must
  // hold none of the listing's bytes.
  setvbuf(original, nullptr, _IONBF, 0);
  setvbuf(final, ibuf, _IOFBF, sizeof ibuf);

  filltable();
  vocs = ultimo;
  // A pipe has no size, and a size of 0 says nothing: files under /proc and
  // devices measure 0, and so does a file still being written. The reader
  // finds the end of these instead; an empty file yields no entry either way.
  tamanyo = UINT64_MAX;
  if (fseeko(original, 0, SEEK_END) == 0) {
    off_t n = ftello(original);
    if (n > 0)
      tamanyo = static_cast<uint64_t>(n);
    rewind(original);
  }
  startlisting();

  for (contador = 0;; contador++) {
    if (!getentry())
      break;
    printf("\n\r%u - ", unsigned{numerovoc});
    printf("actor %s - ", tempchar);
    voc = findactor(tempchar, largo);
    printf(" %u (%s)", unsigned{voc}, actorname(voc));
    if (putc(voc, final) == EOF)
      fail("\n\rNo puedo escribir tolvkvoc\n\r");
    // Nothing after the last entry's head can change the report or the
    // index: waiting for its line end could hang on a pipe held open.
    if (contador == vocs)
      break;
    clearname();
    if (!skipline())
      break;
    pos = getpos();
    if (pos >= tamanyo)
      break;
  }

  if (readfailed())
    fail("\n\rNo puedo leer %s\n\r", shown(argv[1]));
  if (fclose(final) != 0)
    fail("\n\rNo puedo escribir tolvkvoc\n\r");
  fclose(original);
  printf("\n\rMission Completed!");
  return 0;
}
