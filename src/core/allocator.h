#pragma once

namespace zorbin::core {

// Sets the C library's allocator up for the way the program uses memory, before anything
// is allocated. Writing a report, the PDF writer takes and frees buffers of some ten
// megabytes for every page; by default each free hands those pages back to the system and
// the next page takes them again, which costs about a third of the writing. Large blocks
// are kept for reuse instead; blocks that are only reserved, never written, take no
// memory.
void tuneAllocator();

} // namespace zorbin::core
