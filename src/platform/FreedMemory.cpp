#include "platform/FreedMemory.h"

// Any C library header tells which library this is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace discforge {

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace discforge
