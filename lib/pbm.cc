#include "misc.h"
// Placeholder until the PBM reader is written.
