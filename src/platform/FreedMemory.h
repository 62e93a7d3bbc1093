// Gives the memory of freed blocks back to the system where the allocator keeps it.
#pragma once

namespace discforge {

// A decoder's frame threads allocate their pictures in heaps of their own, and
// what they free stays there after the threads end: without this, the next
// decoder's pictures come on top of it, and the peak memory of a conversion
// grows by what the opening of its input left behind.
void ReturnFreedMemory();

} // namespace discforge
