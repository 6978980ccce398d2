#include "core/allocator.h"

#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// The allocator keeps the blocks of some megabytes that a report's writer takes and frees
// for every page, on the writer's own thread: they come from its heap, and stay there once
// freed, for the next page.
class TstAllocator : public QObject
{
    Q_OBJECT

private slots:
    void largeBlocksStayForReuse()
    {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
        QSKIP("the GNU C library's own allocator is not the one in use");
#else
        zorbin::core::tuneAllocator();
        constexpr std::size_t size = 10 * 1024 * 1024;
        std::size_t mappedAlone = 0;
        std::size_t keptAfterFree = 0;
        std::thread writer([&]() {
            std::free(std::malloc(64)); // the thread's heap is made
            const struct mallinfo2 before = mallinfo2();
            void *block = std::malloc(size);
            std::memset(block, 1, size);
            const struct mallinfo2 taken = mallinfo2();
            mappedAlone = taken.hblkhd - before.hblkhd;
            std::free(block);
            // What the heap grew by for the block, still there once it is freed.
            const struct mallinfo2 freed = mallinfo2();
            keptAfterFree = std::min(freed.arena, taken.arena) - before.arena;
        });
        writer.join();
        QCOMPARE(mappedAlone, std::size_t(0));
        QVERIFY2(keptAfterFree >= size - 1024 * 1024, qPrintable(QString::number(keptAfterFree)));
#endif
    }
};

QTEST_GUILESS_MAIN(TstAllocator)
#include "tst_allocator.moc"
