#include "platform/MemoryUse.h"

#include <cstdlib> // names the C library, so that __GLIBC__ below is known

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace veskaro {

void mapLargeBlocksApart() {
#if defined(__GLIBC__)
    // glibc raises its mapping threshold each time a mapped block is freed, so the next picture's work
    // buffers come from the heap, where they stay with the process; a fixed threshold keeps them mapped.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

} // namespace veskaro
