#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Solver.h"

namespace kelvara {

// The solved table, built once on a background thread and then shared read-only.
//
// Start() begins the solve (at program start, or on first need); Ready() and Table() never
// block: Table() is null until the solve has finished and the same finished solver afterwards,
// published through an atomic pointer, so readers take no lock. OnReady() registers a callback
// that runs once the table is there: at once on the caller's thread when it already is, else on
// the solving thread, which is why a window hands it on to its own event loop. Wait() blocks
// until the table is ready (starting the solve if needed): for the engine front end and tests,
// never for a user-interface thread.
//
// Stop(), and the destructor, stop an unfinished solve after its current group and join the
// thread; callbacks that have not run by then never run.
class TableService {
  public:
    enum class State { Idle, Solving, Ready, Failed, Stopped };

    explicit TableService(int threads = 2);
    // A service around a table solved elsewhere, ready from the start; `solved` must be
    // complete and outlive the service.
    explicit TableService(const SolvedTable& solved);
    ~TableService();
    TableService(const TableService&) = delete;
    TableService& operator=(const TableService&) = delete;

    // Starts the background solve unless it has been started before.
    void Start();
    // Ends an unfinished solve (state Stopped, no table, no callbacks) and waits for its
    // thread; a finished one stays Ready. A stopped service is not started again.
    void Stop();

    bool Ready() const { return published_.load(std::memory_order_acquire) != nullptr; }
    const SolvedTable* Table() const { return published_.load(std::memory_order_acquire); }
    State CurrentState() const;

    // Starts the solve if needed and blocks until it ends; null only when it failed.
    const SolvedTable* Wait();

    void OnReady(std::function<void()> callback);

  private:
    void Run();

    const int threads_;
    std::unique_ptr<Solver> own_;
    std::atomic<const SolvedTable*> published_{nullptr};
    std::atomic<bool> stop_{false};

    mutable std::mutex mutex_;
    std::condition_variable finished_;
    State state_ = State::Idle;
    std::vector<std::function<void()>> callbacks_;
    std::thread worker_;
};

}  // namespace kelvara
