#include "core/allocator.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace zorbin::core {

void tuneAllocator()
{
#ifdef __GLIBC__
    // Blocks under 32 MB come from the heap, and a heap gives memory back only when more
    // than 128 MB lie free at its top (a thread's heap is at most 64 MB: it keeps its own).
    // Pictures of hundreds of megabytes are still mapped alone and given back when freed.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
#endif
}

} // namespace zorbin::core
