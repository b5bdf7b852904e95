// The public header used from C++: declarations keep C linkage.
#include "zyostrelapi.h"

static_assert(ZYOSTREL_Status_MemoryFull == -52000, "status constants come from the table");

extern "C" int headerUsedFromCxx(void) { return zyOstrel_DisposeSimulation() == -1 ? 0 : 1; }
