#include "platform.h"

#include <io.h>
#include <share.h>
#include <windows.h>

// The console runtime expands wildcards in the arguments only when asked to:
// "*.txt" matching two listings must count as two arguments.
extern "C" {
int _dowildcard = -1;
}

// The system's handle of the file f is open on.
static HANDLE handle(FILE *f) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the runtime hands out handles as integers.
  return reinterpret_cast<HANDLE>(_get_osfhandle(fileno(f)));
}

// Some names open what is neither a file, a pipe nor a device, such as the
// pipe file system's root, \\.\pipe\; refused as a folder is, they never
// cost an old index.
FILE *openlisting(const wchar_t *name) {
  FILE *f = _wfopen(name, L"rb");
  if (f != nullptr && GetFileType(handle(f)) == FILE_TYPE_UNKNOWN) {
    fclose(f);
    return nullptr;
  }
  return f;
}

long readlisting(FILE *f, unsigned char *buf, size_t n) {
  HANDLE h = handle(f);
  DWORD got;
  // A read of 0 bytes ends a file, the console or NUL. On a pipe it is a
  // write of 0 bytes at the other end, and more may follow while the peek
  // finds the pipe open; Wine also reads 0 bytes at the end of a POSIX FIFO,
  // which it cannot peek.
  while (ReadFile(h, buf, static_cast<DWORD>(n), &got, nullptr) != 0) {
    if (got > 0 || GetFileType(h) != FILE_TYPE_PIPE ||
        PeekNamedPipe(h, nullptr, 0, nullptr, nullptr, nullptr) == 0)
      return static_cast<long>(got);
  }
  // A pipe closed by its writer is broken, one whose server disconnected it
  // is not connected: both have ended, though the runtime's _read takes only
  // the first for the end.
  const DWORD why = GetLastError();
  return why == ERROR_BROKEN_PIPE || why == ERROR_PIPE_NOT_CONNECTED ? 0 : -1;
}

// Sharing is checked before the file is truncated: a second run's open fails
// and leaves the first one's index whole.
FILE *openindex(const char *name) { return _fsopen(name, "w+b", _SH_DENYWR); }

const char *shown(const wchar_t *name) {
  // An argument is at most 32767 units, each at most three bytes in any ANSI
  // code page, UTF-8 included.
  static char ansi[3 * 32768];
  if (WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, static_cast<int>(sizeof ansi), nullptr,
                          nullptr) == 0)
    ansi[0] = '\0';
  return ansi;
}

// The runtime's stat has no inode numbers; the volume and file index are the same thing.
bool samefile(FILE *f, const char *name) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  HANDLE h = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  bool same = GetFileInformationByHandle(h, &b) != 0 &&
              GetFileInformationByHandle(handle(f), &a) != 0 &&
              a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
              a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(h);
  return same;
}

int wmain(int argc, wchar_t **argv) { return makeindex(argc, argv); }
