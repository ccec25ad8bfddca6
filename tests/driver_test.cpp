#include "platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// In dir, a run on a listing of one entry, then one on its index; exits with
// the second run's status.
[[noreturn]] void tworuns(const std::filesystem::path &dir) {
  std::filesystem::current_path(dir);
  std::ofstream("l.txt", std::ios::binary) << "(VOC00001) dune: uno\n";
  argchar prog[] = {'t', 0};
  argchar listing[] = {'l', '.', 't', 'x', 't', 0};
  argchar index[] = {'t', 'o', 'l', 'v', 'k', 'v', 'o', 'c', '.', 0};
  argchar *first[] = {prog, listing, nullptr};
  argchar *second[] = {prog, index, nullptr};
  makeindex(2, first);
  exit(makeindex(2, second));
}

// Two runs in one process, the second on the first one's index: it is
// refused as a first run on the index would be, whatever stream the first
// one closed. A sanitizer's report on stderr fails the empty pattern.
TEST(Driver, SecondRunOnTheFirstIndex) {
  // A folder of this test's own, which no other test run at once shares.
  std::filesystem::path dir;
  std::random_device pick;
  do {
    dir = std::filesystem::temp_directory_path() / ("tolvek-driver-" + std::to_string(pick()));
  } while (!std::filesystem::create_directory(dir));
  EXPECT_EXIT(tworuns(dir), testing::ExitedWithCode(1), "^$");
  std::filesystem::remove_all(dir);
}

} // namespace
