#include "common/heap_retention.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#if defined(__GLIBC__)
#include <malloc.h>

namespace {

// Blocks of these sizes are mappings of their own by glibc's default (128 KB,
// raised only by freeing a larger mapping first) and are handed back when freed.
// Once the setting is applied they come from the heap and stay there, free, for
// the next allocation.
TEST(HeapRetention, FreedBlocksStayInTheHeap)
{
    KeepFreedHeapForReuse();
    const std::size_t sizes[] = {512 * 1024, 3 * 1024 * 1024 + 512 * 1024};
    for (const std::size_t size : sizes) {
        const struct mallinfo2 before = mallinfo2();
        // volatile: the compiler may otherwise drop an allocation nothing reads.
        void* volatile block = std::malloc(size);
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, size);
        const struct mallinfo2 held = mallinfo2();
        std::free(block);
        const struct mallinfo2 after = mallinfo2();
        EXPECT_EQ(held.hblkhd, before.hblkhd) << size << " bytes were mapped on their own";
        EXPECT_EQ(after.arena, held.arena) << size << " bytes: the heap was trimmed when they were freed";
    }
}

}  // namespace
#endif
