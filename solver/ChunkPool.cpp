#include "ChunkPool.h"

#include <algorithm>
#include <exception>

namespace kelvara {

namespace {

// The shared word: generation in the top 16 bits, chunk count in the next 24, next chunk in
// the low 24. The generation changes with every Run(), so a helper that read an old word can
// never take a chunk of a newer run with it.
constexpr std::uint64_t kChunkMask = (1u << 24) - 1;
// Pauses before a waiting thread gives up its processor (some tens of microseconds).
constexpr int kSpins = 1024;
// Most runs in a row done without helpers after they kept the caller waiting.
constexpr int kMaxBackoff = 64;

std::uint64_t Pack(std::uint64_t generation, std::uint64_t count, std::uint64_t next) {
    return (generation << 48) | (count << 24) | next;
}
std::uint32_t CountOf(std::uint64_t word) {
    return static_cast<std::uint32_t>((word >> 24) & kChunkMask);
}
std::uint32_t NextOf(std::uint64_t word) {
    return static_cast<std::uint32_t>(word & kChunkMask);
}

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

ChunkPool::ChunkPool(int threads) {
    try {
        for (int thread = 1; thread < threads; ++thread) {
            helpers_.emplace_back([this, thread] { Help(thread); });
        }
    } catch (...) {
        // A thread that cannot be started: the ones already running are stopped and joined.
        StopHelpers();
        throw;
    }
}

ChunkPool::~ChunkPool() {
    StopHelpers();
}

void ChunkPool::StopHelpers() {
    stop_.store(true, std::memory_order_relaxed);
    generation_ = (generation_ + 1) & 0xFFFF;
    work_.store(Pack(generation_, 0, 0), std::memory_order_release);
    work_.notify_all();
    for (auto& helper : helpers_) helper.join();
}

bool ChunkPool::Take(std::uint64_t& seen) {
    while (NextOf(seen) < CountOf(seen)) {
        if (work_.compare_exchange_weak(seen, seen + 1, std::memory_order_acq_rel,
                                        std::memory_order_acquire)) {
            return true;
        }
    }
    return false;
}

void ChunkPool::Run(std::uint32_t chunks, const Task& task) {
    chunks = std::min(chunks, kMaxChunks);
    if (chunks == 0) return;
    if (helpers_.empty() || alone_ > 0) {
        if (alone_ > 0) --alone_;
        for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) task(0, chunk);
        return;
    }
    task_.store(&task, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
    generation_ = (generation_ + 1) & 0xFFFF;
    work_.store(Pack(generation_, chunks, 0), std::memory_order_release);
    work_.notify_all();
    std::uint32_t mine = 0;
    for (std::uint64_t seen = work_.load(std::memory_order_relaxed); Take(seen);) {
        Do(task, 0, NextOf(seen));
        ++mine;
        seen = work_.load(std::memory_order_relaxed);
    }
    // Every chunk is taken; wait for the ones the helpers are still working on. A helper that
    // keeps the caller waiting longer than a short spin has most likely lost its processor.
    bool late = false;
    for (int spins = 0; done_.load(std::memory_order_acquire) + mine < chunks; ++spins) {
        if (spins < kSpins) {
            Pause();
        } else {
            late = true;
            std::this_thread::yield();
        }
    }
    if (late) {
        backoff_ = std::min(2 * backoff_ + 1, kMaxBackoff);
        alone_ = backoff_;
    } else {
        backoff_ /= 2;
    }
    // No helper uses the task any more: a chunk's exception can leave with the caller.
    if (failed_.load(std::memory_order_relaxed)) {
        failed_.store(false, std::memory_order_relaxed);
        std::exception_ptr failure;
        std::swap(failure, failure_);
        std::rethrow_exception(failure);
    }
}

void ChunkPool::Do(const Task& task, int thread, std::uint32_t chunk) {
    // After a failure the remaining chunks are only counted, so the run ends soon.
    if (failed_.load(std::memory_order_relaxed)) return;
    try {
        task(thread, chunk);
    } catch (...) {
        const std::lock_guard<std::mutex> lock(failureMutex_);
        if (!failure_) failure_ = std::current_exception();
        failed_.store(true, std::memory_order_relaxed);
    }
}

void ChunkPool::Help(int thread) {
    std::uint64_t seen = work_.load(std::memory_order_acquire);
    for (;;) {
        if (Take(seen)) {
            // The successful exchange read the word the caller stored after the task.
            Do(*task_.load(std::memory_order_relaxed), thread, NextOf(seen));
            done_.fetch_add(1, std::memory_order_release);
            seen = work_.load(std::memory_order_acquire);
            continue;
        }
        if (stop_.load(std::memory_order_relaxed)) return;
        // Nothing left in this word: spin a little for the next run, then sleep until it comes.
        int spins = 0;
        for (; spins < kSpins && work_.load(std::memory_order_acquire) == seen; ++spins) Pause();
        if (spins == kSpins) work_.wait(seen, std::memory_order_acquire);
        seen = work_.load(std::memory_order_acquire);
    }
}

}  // namespace kelvara
