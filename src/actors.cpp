#include "actors.h"

#include <cstring>

char character[filas][ancho];

// In ascending byte order; none is the beginning of another.
static const char *const nombres[filas] = {
    "afo",     "arn",      "dorfalo", "dorinbas", "dorkimut", "dorsel", "dotil",
    "dovesta", "dune",     "falune",  "fisomar",  "gc1",      "gc2",    "gelmon",
    "gim",     "gorta",    "gove",    "gz",       "holdaven", "jostel", "kemalto",
    "kiba",    "kine",     "nabrolt", "nas",      "nelvirta", "nopa",   "nr1",
    "nr2",     "olmastre", "olve",    "pume",     "rafino",   "ribel",  "rk1",
    "rk2",     "rk3",      "rv1",     "rv2",      "rv3",      "sape",   "silora",
    "tek",     "timol",    "tuva",    "ulbanta",  "urvin",    "zamolu", "zepra",
};

void filltable() {
  memset(character, 0, sizeof character);
  for (int k = 0; k < filas; k++)
    memcpy(character[k], nombres[k], strlen(nombres[k]));
}

uint8_t findactor(const char *name, uint16_t len) {
  uint8_t code = nomatch;
  // No early exit: a later row that also matches takes the code.
  for (uint8_t contador3 = 0; contador3 < filas; contador3++) {
    uint16_t contador2 = 0;
    while (contador2 < len && name[contador2] == character[contador3][contador2])
      contador2++;
    if (contador2 == len)
      code = contador3;
  }
  return code;
}

const char *actorname(uint8_t code) { return code < filas ? character[code] : ""; }
