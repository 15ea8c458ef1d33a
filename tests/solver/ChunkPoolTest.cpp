#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "ChunkPool.h"

using kelvara::ChunkPool;

// Every chunk of every run is done exactly once, by a valid thread, before Run() returns; runs
// follow each other closely, so a helper that still holds an old run's word must not take a
// chunk of the next one.
TEST(ChunkPool, RunsEveryChunkOnceBeforeReturning) {
    for (const int threads : {1, 2, 4}) {
        SCOPED_TRACE(threads);
        ChunkPool pool(threads);
        EXPECT_EQ(pool.Threads(), threads);
        for (std::uint32_t chunks : {0u, 1u, 2u, 7u, 64u, 1000u, 3u, 0u, 500u}) {
            for (int repeat = 0; repeat < 20; ++repeat) {
                std::vector<std::atomic<int>> done(chunks);
                std::atomic<bool> badThread{false};
                pool.Run(chunks, [&](int thread, std::uint32_t chunk) {
                    if (thread < 0 || thread >= threads) badThread = true;
                    done[chunk].fetch_add(1, std::memory_order_relaxed);
                });
                EXPECT_FALSE(badThread);
                for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) {
                    ASSERT_EQ(done[chunk].load(), 1) << "chunk " << chunk << " of " << chunks;
                }
            }
        }
    }
}
