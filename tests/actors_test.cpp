#include "actors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Case {
  const char *why;
  std::string name;
  int want;
};

const Case cases[] = {
    {"whole name", "holdaven", 18},
    {"whole name", "dune", 8},
    {"whole name ending in a digit", "gc1", 11},
    {"first row", "afo", 0},
    {"last row", "zepra", 48},
    {"prefix of rows 2-5 gives the highest", "dor", 5},
    {"prefix of rows 2-7", "do", 7},
    {"prefix of rows 2-8", "d", 8},
    {"prefix of rows 34-36", "rk", 36},
    {"prefix of rows 32-39", "r", 39},
    {"prefix of rows 47-48", "z", 48},
    {"prefix of one row only", "du", 8},
    {"empty name matches every row", "", 48},
    {"case-sensitive", "Dune", 255},
    {"longer than the row", "dunes", 255},
    {"nine bytes: no row has a ninth", "holdavenx", 255},
    {"nine bytes of nothing known", "abcdefghi", 255},
    {"trailing zeros meet the row's padding", std::string("dune\0\0", 6), 8},
    {"nine bytes, zeros past the text", std::string("afo\0\0\0\0\0\0", 9), 0},
    {"nine bytes, a zero past a full row", std::string("holdaven\0", 9), 18},
    {"a blank is a byte like any other", "dune ", 255},
};

TEST(Matcher, Codes) {
  filltable();
  for (const Case &c : cases)
    EXPECT_EQ(findactor(c.name.data(), static_cast<uint16_t>(c.name.size())), c.want) << c.why;
}

// No row is the beginning of another, so each row's own text finds it.
TEST(Matcher, EveryRowFindsItself) {
  filltable();
  for (int k = 0; k < filas; k++) {
    const char *row = character[k];
    EXPECT_EQ(findactor(row, static_cast<uint16_t>(strlen(row))), k) << row;
    EXPECT_STREQ(actorname(static_cast<uint8_t>(k)), row);
    EXPECT_EQ(row[ancho - 2], '\0') << "rows hold at most 8 bytes";
  }
  EXPECT_STREQ(actorname(nomatch), "");
}

} // namespace
