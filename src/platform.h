// What differs between POSIX and Windows: the entry point, opening the
// listing by its name and reading it, opening the index for this run alone,
// the name as messages show it, and whether a stream and a file name are the
// same file.
// The build links one implementation: platform-posix.cpp or
// platform-win32.cpp.
#ifndef TOLVEK_PLATFORM_H
#define TOLVEK_PLATFORM_H

#include <cstdio>

// An argument as the platform's entry point receives it: UTF-16 on Windows,
// where the ANSI arguments hold '?' for every character the code page lacks.
#ifdef _WIN32
using argchar = wchar_t;
#else
using argchar = char;
#endif

// The whole run over argv, as main.cpp defines it; returns the exit status,
// or exits with status 1 itself on a failure. Each platform's entry point
// calls it after the set-up its file describes.
int makeindex(int argc, argchar **argv);

// Opens the file named name for reading in binary mode; nullptr if it
// cannot, or if name is a folder, or on Windows anything but a file, a pipe
// or a character device.
FILE *openlisting(const argchar *name);

// Reads at most n bytes of f's file into buf with one read of the system,
// past stdio's buffer, taking what the file has now rather than waiting for
// n. Returns the number of bytes read, 0 at the end of the file, or -1 on an
// error. The end of a pipe is its end however its writer ended it: on
// Windows, a server that disconnects its named pipe ends it as one that
// closes it does, and a write of 0 bytes into a pipe is no end.
long readlisting(FILE *f, unsigned char *buf, size_t n);

// Creates or opens the file named name for writing in binary mode and
// truncates it, once no other run of this program can write it; nullptr if
// it cannot be opened, or if another run has it open, which it then leaves
// untouched, as it does where a reader holds the file against writers (a
// shared flock, a Windows share mode without writing). A device such as
// /dev/full opens as any file does. Readers that let others write are never
// kept out.
FILE *openindex(const char *name);

// name as messages show it: unchanged on POSIX, in the ANSI code page on
// Windows, where the system converts what the code page lacks, and where a
// name that cannot be converted shows as "". The text may live in a static
// buffer that the next call overwrites.
const char *shown(const argchar *name);

// Whether name is the file f is open on, under this or any other name. False
// when either cannot be examined: a name that does not exist, or, under Wine,
// a standard handle inherited from a POSIX parent.
bool samefile(FILE *f, const char *name);

#endif
