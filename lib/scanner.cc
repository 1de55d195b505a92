#include "misc.h"
// Placeholder until the scanner is written.
