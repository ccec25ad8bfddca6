#include "listing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#ifdef _WIN32
#include <thread>
#include <windows.h>
#endif

namespace {

// Points the reader at a temporary file holding bytes, for one scope, as a
// listing whose first size bytes were there at the start.
class Listing {
public:
  explicit Listing(const std::string &bytes, uint64_t size = UINT64_MAX) : f_(tmpfile()) {
    fwrite(bytes.data(), 1, bytes.size(), f_);
    rewind(f_);
    original = f_;
    startlisting(size);
  }
  ~Listing() {
    fclose(f_);
    original = nullptr;
  }
  Listing(const Listing &) = delete;
  Listing &operator=(const Listing &) = delete;

private:
  FILE *f_;
};

// Runs the reader over original the way the driver does and writes down
// each entry as "number[name]", followed by " " when its line ended and by
// "$" when the listing ended inside it.
std::string entries() {
  std::string out;
  while (getentry()) {
    EXPECT_EQ(strlen(tempchar), largo) << "name length disagrees with its zero";
    out += std::to_string(numerovoc) + "[" + tempchar + "]";
    clearname();
    if (!skipline()) {
      out += "$";
      break;
    }
    out += " ";
  }
  return out;
}

std::string walk(const std::string &bytes, uint64_t size = UINT64_MAX) {
  Listing l(bytes, size);
  return entries();
}

struct Case {
  const char *why;
  std::string in;
  const char *want;
  // The listing's size at the start; the rest of in came later.
  uint64_t size = UINT64_MAX;
};

const Case cases[] = {
    // Voc number decoding.
    {"leading zeros", "(VOC00042) dune: hola\n", "42[dune] "},
    {"largest that fits", "(VOC65535) dune: x\n", "65535[dune] "},
    {"one past wraps to 0", "(VOC65536) dune: x\n", "0[dune] "},
    {"wraps modulo 65536", "(VOC99999) dune: x\n", "34463[dune] "},
    {"non-digit counts its distance from '0'", "(VOC0004A) x:\n", "57[x] "},
    {"bytes below '0' wrap too", "(VOC0000/) x:\n", "65535[x] "},
    // The name window.
    {"':' right after the skip: empty name", "(VOC00001) :texto\n", "1[] "},
    {"eight bytes then ':'", "(VOC00001) olmastre: hi\n", "1[olmastre] "},
    {"nine bytes, later ':' skipped with the line", "(VOC00001) abcdefghi:jk\n", "1[abcdefghi] "},
    {"blanks and case kept", "(VOC00001)  Dune : x\n", "1[ Dune ] "},
    {"line feed in the window swallows the next line",
     "(VOC00001) ab\n(VOC00002) cd: x\n(VOC00003) ef: y\n", "1[ab\n(VOC00] 3[ef] "},
    {"skipped bytes are never read as marks", "(:::00007::gz:\n", "7[gz] "},
    // Finding entries.
    {"heading and blank lines yield nothing", "TITULO\n\nESCENA 1\n(VOC00005) kiba: x\n",
     "5[kiba] "},
    {"text before '(' ignored, '(' after ':' has no effect",
     "12 -- (VOC00005) kiba: (VOC00009) no\n", "5[kiba] "},
    {"carriage returns go with the rest of the line",
     "(VOC00005) kiba: x\r\n(VOC00006) kine: y\r\n", "5[kiba] 6[kine] "},
    {"search runs across many lines", "a\nb\nc\n\n(VOC00007) nas:\n", "7[nas] "},
    // The end of the listing.
    {"empty listing", "", ""},
    {"no '(' at all", "solo texto\nsin entradas\n", ""},
    {"ends inside the three skipped bytes", "(VO", ""},
    {"ends inside the digits", "(VOC000", ""},
    {"ends inside the two skipped bytes", "(VOC00001)", ""},
    {"ends inside the name before ':'", "(VOC00001) dun", ""},
    {"ends right after ':'", "(VOC00001) dune:", "1[dune]$"},
    {"ends after nine name bytes", "(VOC00001) abcdefghi", "1[abcdefghi]$"},
    {"ends without a last line feed", "(VOC00001) dune: hola", "1[dune]$"},
    {"bytes without '(' after the last line", "(VOC00001) a:\nfin\n\n", "1[a] "},
    {"bytes added after the start are never read", "(VOC00001) a:\nFIN\n(VOC00002) b:\n", "1[a] ",
     18},
};

TEST(Reader, Entries) {
  for (const Case &c : cases)
    EXPECT_EQ(walk(c.in, c.size), c.want) << c.why;
}

// Entries that straddle the reader's buffer refills, at every offset of an
// entry head, read the same as anywhere else.
TEST(Reader, BufferBoundaries) {
  const std::string tail = "\n(VOC12345) nas: t\n(VOC00001) afo:";
  for (size_t pad = bloque - tail.size() - 2; pad <= bloque + 2; pad++) {
    std::string in = std::string(pad, 'x') + tail;
    Listing l(in);
    ASSERT_TRUE(getentry());
    EXPECT_EQ(numerovoc, 12345) << pad;
    EXPECT_STREQ(tempchar, "nas") << pad;
    ASSERT_TRUE(skipline());
    ASSERT_TRUE(getentry());
    EXPECT_STREQ(tempchar, "afo") << pad;
  }
}

// Long lines, several buffers each, read as short ones do.
TEST(Reader, LinesLongerThanTheBuffer) {
  std::string in;
  for (int i = 0; i < 3; i++) {
    in += "(VOC0000" + std::to_string(i) + ") gz: " + std::string(3 * bloque, 'y') + "\n" +
          std::string(2 * bloque, 'z') + "\n";
  }
  EXPECT_EQ(walk(in), "0[gz] 1[gz] 2[gz] ");
}

#ifdef _WIN32
// An empty message on a named pipe is no end; a server that ends the pipe has
// ended the listing, however it ends it.
TEST(Reader, NamedPipe) {
  const struct {
    const char *why;
    bool disconnects;
  } servers[] = {
      {"disconnects the pipe, as Windows documents", true},
      {"closes its handle only, as a server that exits does: a broken pipe", false},
  };
  for (const auto &s : servers) {
    const wchar_t *name = L"\\\\.\\pipe\\tolvek-test";
    HANDLE p =
        CreateNamedPipeW(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(p, INVALID_HANDLE_VALUE);
    original = _wfopen(name, L"rb");
    ASSERT_NE(original, nullptr);
    std::thread server([p, &s] {
      const char text[] = "(VOC00001) dune: a\n(VOC00002) gim: b\n";
      DWORD n;
      ConnectNamedPipe(p, nullptr);
      WriteFile(p, text, 0, &n, nullptr);
      WriteFile(p, text, sizeof text - 1, &n, nullptr);
      FlushFileBuffers(p);
      if (s.disconnects)
        DisconnectNamedPipe(p);
      CloseHandle(p);
    });
    startlisting(UINT64_MAX);
    EXPECT_EQ(entries(), "1[dune] 2[gim] ") << s.why;
    EXPECT_FALSE(readfailed()) << s.why;
    // Closed first, so that a failed read cannot leave the server's flush waiting.
    fclose(original);
    server.join();
  }
}
#endif

} // namespace

// The reader reads through the platform layer, which brings the program's
// own entry point, weak on POSIX: this one runs the tests.
int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
