#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
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

// A chunk that throws, on whichever thread, ends the run with its exception in the caller, and
// only after every chunk that had begun has ended; the pool works on afterwards.
TEST(ChunkPool, PassesAChunksExceptionToTheCaller) {
    for (const int threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        ChunkPool pool(threads);
        for (int repeat = 0; repeat < 20; ++repeat) {
            std::atomic<int> inside{0}, after{0};
            EXPECT_THROW(pool.Run(200,
                                  [&](int, std::uint32_t chunk) {
                                      inside.fetch_add(1);
                                      if (chunk == 17) {
                                          inside.fetch_sub(1);
                                          throw std::runtime_error("chunk 17");
                                      }
                                      std::this_thread::yield();
                                      inside.fetch_sub(1);
                                      after.fetch_add(1);
                                  }),
                         std::runtime_error);
            EXPECT_EQ(inside.load(), 0);
            EXPECT_LT(after.load(), 200);
            std::atomic<int> count{0};
            pool.Run(50, [&](int, std::uint32_t) { count.fetch_add(1); });
            EXPECT_EQ(count.load(), 50);
        }
    }
}
