#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvara {

// A few helper threads that share out numbered chunks of work with the calling thread.
//
// Run() hands out the chunks one at a time through one atomic word (generation, count, next
// chunk), so whichever thread is free takes the next one: a helper that the machine does not
// schedule simply takes none, and Run() waits only for the chunks that were taken. The caller
// is thread 0 and always works too; Run() returns once every chunk is done, and everything the
// chunks wrote is then visible to the caller. Idle helpers spin briefly, then sleep on the word.
//
// On a busy machine a helper can lose its processor in the middle of a chunk, and the caller
// then waits for it. After a run that waited so, the next runs go without helpers, twice as
// many each time it happens again (up to a limit), so that sharing never costs much more than
// working alone.
class ChunkPool {
  public:
    using Task = std::function<void(int thread, std::uint32_t chunk)>;
    static constexpr std::uint32_t kMaxChunks = (1u << 24) - 1;

    // `threads` counts the caller: threads - 1 helpers are started (none for 1 or less).
    explicit ChunkPool(int threads);
    ~ChunkPool();
    ChunkPool(const ChunkPool&) = delete;
    ChunkPool& operator=(const ChunkPool&) = delete;

    int Threads() const { return static_cast<int>(helpers_.size()) + 1; }

    // Runs task(thread, chunk) for every chunk in [0, chunks), chunks <= kMaxChunks; thread is
    // 0 for the caller and 1.. for the helpers. Only one Run() at a time, from one thread. If a
    // chunk throws, the chunks not yet begun are skipped and Run() throws the first exception
    // once no thread is still in the task.
    void Run(std::uint32_t chunks, const Task& task);

  private:
    void Help(int thread);
    void StopHelpers();
    // Takes the next chunk of the word `seen` if it has one left; false otherwise.
    bool Take(std::uint64_t& seen);
    // Runs one chunk, keeping its exception for Run().
    void Do(const Task& task, int thread, std::uint32_t chunk);

    std::atomic<std::uint64_t> work_{0};
    std::atomic<const Task*> task_{nullptr};
    std::atomic<std::uint32_t> done_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    std::mutex failureMutex_;
    std::exception_ptr failure_;
    std::uint64_t generation_ = 0;
    // Runs still to go without helpers, and how many the next late run will cost.
    int alone_ = 0;
    int backoff_ = 0;
    std::vector<std::thread> helpers_;
};

}  // namespace kelvara
