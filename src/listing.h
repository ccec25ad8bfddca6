// Listing reader: walks a voice clip listing strictly forward, finding each
// entry, decoding its voc number and taking its speaker name.
//
// An entry begins at a '(' anywhere in the listing; counted from it, bytes 1-3
// are skipped, bytes 4-8 are the voc number's five digits, bytes 9-10 are
// skipped and the speaker name follows, ended by ':' within its nine bytes.
// Only the line feed ends a line. The reader works on any stream, seekable or
// not, through a fixed buffer of its own, reading the stream's file past stdio.
#ifndef TOLVEK_LISTING_H
#define TOLVEK_LISTING_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The speaker name window: at most nine bytes, then the zero that ends them.
constexpr int nombremax = 9;
// Bytes asked of the stream at a time: enough that reading costs what
// copying the file costs, small enough to stay in cache.
constexpr size_t bloque = 131072; // 128 KiB

// The listing. The driver opens it; then only this reader reads from it.
extern FILE *original;
// The voc number, decoded.
extern uint16_t numerovoc;
// The speaker name, zero-terminated; tempchar[nombremax] is always zero.
extern char tempchar[nombremax + 1];
// The number of bytes in the speaker name, 0 to nombremax.
extern uint16_t largo;

// Forgets all buffered bytes and begins reading original at its current
// position, taking at most size bytes from there: the listing ends at that
// size however much is added to it meanwhile, or earlier where the stream
// ends; this is the one place the size is enforced. UINT64_MAX reads to the
// stream's end. Call after opening or rewinding original, before the first
// getentry. The reader reads original's file past stdio, so stdio must hold
// none of its bytes: main.cpp makes the stream unbuffered (setvbuf _IONBF).
void startlisting(uint64_t size);

// Reads the next entry head: searches forward, across lines, for '(', skips
// 3 bytes, decodes the 5-byte voc number into numerovoc and takes the speaker
// name into tempchar and largo. The number is the five bytes read as decimal
// digits, each worth its distance from '0' whatever it is, modulo 65536. The
// name ends at the first ':', which is consumed and not kept, or after nine
// bytes; its bytes are kept as they are, line feeds included.
// Returns false, leaving the values undefined, when the listing ends or
// fails (see readfailed) before the head is whole.
bool getentry();

// Zeroes the name bytes, so that between entries tempchar holds no name at
// all. getentry ends every name with a zero itself: the report never needs it.
void clearname();

// Reads up to and including the next line feed. Returns false when the
// listing ends or fails before one.
bool skipline();

// Whether reading the listing failed; its end is no failure. Once getentry or
// skipline has returned false, the listing is done: call neither again before
// startlisting.
bool readfailed();

#endif
