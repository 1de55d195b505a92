// Forced into every source of the fuzz targets (-include). The C library
// declares exit() noexcept, so the compiler leaves out the clean-ups around
// calls of it; the fuzz targets turn exit() into an exception, and without
// the clean-ups every caught exit would leak the locals of the frames it
// leaves. Dropping that noexcept changes no behaviour.
#include <sys/cdefs.h>
#undef __THROW
#define __THROW
