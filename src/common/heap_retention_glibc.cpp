#include "common/heap_retention.h"

// Any C library header defines __GLIBC__ on glibc systems; without one first,
// the test below is always false and the settings are never applied.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Blocks up to this size come from the heap, not from a mapping of their own
// that is unmapped again when freed (glibc's default is 128 KB, raised as it
// goes), and free memory at the top of the heap is kept up to this much.
constexpr int kMmapThresholdBytes = 4 * 1024 * 1024;
constexpr int kTrimThresholdBytes = 8 * 1024 * 1024;

}  // namespace

void KeepFreedHeapForReuse()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kMmapThresholdBytes);
    mallopt(M_TRIM_THRESHOLD, kTrimThresholdBytes);
#endif
}
