#include "diff/memoryhint.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

void AdviseHugePages(const void* data, size_t size)
{
#ifdef MADV_HUGEPAGE
    const size_t hugePage = 2u << 20;
    if (!data || size < 4 * hugePage)
        return;
    // Only the whole huge pages inside the buffer.
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + hugePage - 1) & ~(hugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(hugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}
