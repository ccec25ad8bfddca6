// Actor table and speaker matching: turns a speaker name from the listing
// into the actor code that the index stores.
#ifndef TOLVEK_ACTORS_H
#define TOLVEK_ACTORS_H

#include <cstdint>

// The game has 49 speaking actors; a code is a row number.
constexpr int filas = 49;
// A row holds up to 8 name bytes and is zero to its end, so a compare of a
// name of at most 9 bytes never leaves its row. A 9-byte name matches only
// where its bytes past the row's text are zero, as "afo" and six zeros do.
constexpr int ancho = 10;
// The code written for a speaker that matches no row.
constexpr uint8_t nomatch = 255;

// The actor table, row k holding the name of actor k; valid after filltable.
extern char character[filas][ancho];

// Fills the actor table; call once before the first findactor.
void filltable();

// Returns the code of the last row whose first len bytes equal the len
// bytes of name, or nomatch if none does. The compare is byte for byte and
// case-sensitive, so a name matches every row it is the beginning of and
// the highest such row wins; len 0 matches every row and gives 48. len must
// be less than ancho.
uint8_t findactor(const char *name, uint16_t len);

// Returns the name of row code, or "" for a code with no row (nomatch).
const char *actorname(uint8_t code);

#endif
