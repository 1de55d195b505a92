// Scanner internals shared within the misc unit (the PBM reader) and tests.
#ifndef SCAN_INTERNAL_H
#define SCAN_INTERNAL_H

#include "misc.h"

// The worker behind scan_get (advance 1) and scan_peek (advance 0): finds
// the next token, copies it into the token buffer and, when advancing, moves
// the cursor past it. Returns "" at the end of the input.
char *scan_get_or_peek(SCANNER *scanner, int advance);

#endif
